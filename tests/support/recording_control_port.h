#pragma once
// Stands in for the main window's controls for the life of the object and records what is done to them,
// by control id.
#include "settings/control_services.h"

#include <cstdint>
#include <map>

namespace kvr::test {

class RecordingControlPort : public ControlPort {
public:
    RecordingControlPort() { gf_installControlPort(this); }
    ~RecordingControlPort() override { gf_installControlPort(nullptr); }
    RecordingControlPort(const RecordingControlPort&) = delete;
    RecordingControlPort& operator=(const RecordingControlPort&) = delete;

    void showControlNumber(NumParameter&) override {}
    void showControlText(StringParameter&) override {}
    void setCheckMark(CheckBoxParameter& box, bool checked) override { checks[box.controlId] = checked; }
    void enableControl(WindowControl& control, bool enabled) override {
        this->enabled[control.controlId] = enabled;
    }
    // A control nobody enabled counts as disabled.
    bool isControlEnabled(const WindowControl& control) override {
        const auto it = enabled.find(control.controlId);
        return it != enabled.end() && it->second;
    }
    void selectComboIndex(WindowControl& control, int index) override {
        selections[control.controlId] = index;
    }
    void invalidateControlsArea() override {}

    std::map<std::uint16_t, bool> checks;
    std::map<std::uint16_t, int> selections;
    std::map<std::uint16_t, bool> enabled;
};

} // namespace kvr::test
