#pragma once
// Records what the stand files do to the window's controls and the parking hooks.
#include "parking/parking_hooks.h"
#include "settings/parameter_table.h"
#include "support/recording_control_port.h"

#include <optional>
#include <string>
#include <vector>

namespace kvr::test {

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
