#pragma once
// Services of the main window and the traffic engine that the stand files call. The application
// installs them when it starts; until then (tools, tests) an unset hook does nothing.
#include <cstdint>
#include <functional>
#include <optional>

namespace kvr {

struct ParkingHooks {
    std::function<void(std::int32_t nm)> setRange; // sets RANGE, its list and the range copies
    std::function<void()> applyAutoRangeSetting;   // applies AUTO_RANGE
    std::function<void()> syncMaxFitCombo;         // MAX_FIT_FL follows MAX_FIT
    std::function<void()> updateParkControls;      // parking controls follow RT_PARKTRAFFIC_ONLY
    std::function<bool()> nowButtonAllowed;        // whether "Now" may be enabled
    // The traffic engine's ground reference altitude (feet), none without a park airport.
    std::function<void(std::optional<double> feet)> setGroundReferenceAltitude;
};

void gf_installParkingHooks(ParkingHooks hooks);
const ParkingHooks& gf_parkingHooks();

} // namespace kvr
