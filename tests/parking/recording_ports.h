#pragma once
// Records what the stand files do to the window's controls and the parking hooks.
#include "parking/parking_hooks.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"

#include <map>
#include <string>
#include <vector>

namespace kvr::test {

class RecordingControlPort : public ControlPort {
public:
    RecordingControlPort() { gf_installControlPort(this); }
    ~RecordingControlPort() override { gf_installControlPort(nullptr); }

    void showControlNumber(NumParameter&) override {}
    void showControlText(StringParameter&) override {}
    void setCheckMark(CheckBoxParameter& box, bool checked) override { checks[box.controlId] = checked; }
    void enableControl(WindowControl& control, bool enabled) override {
        enabled_[control.controlId] = enabled;
    }
    bool isControlEnabled(const WindowControl& control) override {
        const auto it = enabled_.find(control.controlId);
        return it != enabled_.end() && it->second;
    }
    void selectComboIndex(WindowControl& control, int index) override {
        selections[control.controlId] = index;
    }
    void invalidateControlsArea() override {}

    std::map<std::uint16_t, bool> checks;
    std::map<std::uint16_t, int> selections;
    std::map<std::uint16_t, bool> enabled_;
};

// Hooks that behave like the window's services in the parts the stand files rely on, and log their calls.
struct RecordedHooks {
    RecordedHooks() {
        ParkingHooks hooks;
        hooks.setRange = [this](std::int32_t nm) {
            calls.push_back("setRange " + std::to_string(nm));
            RANGE.setClamped(nm);
        };
        hooks.applyAutoRangeSetting = [this] { calls.push_back("applyAutoRange"); };
        hooks.syncMaxFitCombo = [this] {
            calls.push_back("syncMaxFit");
            MAX_FIT_FL.setValue(MAX_FIT.value() >= 44 ? 24.0f : (MAX_FIT.value() + 1) / 2.0f);
        };
        hooks.updateParkControls = [this] { calls.push_back("updateParkControls"); };
        hooks.nowButtonAllowed = [this] { return nowAllowed; };
        hooks.setGroundReferenceAltitude = [this](std::optional<double> feet) { groundAltitude = feet; };
        gf_installParkingHooks(std::move(hooks));
    }
    ~RecordedHooks() { gf_installParkingHooks({}); }

    std::vector<std::string> calls;
    bool nowAllowed = true;
    std::optional<double> groundAltitude = -9999.0;
};

} // namespace kvr::test
