#pragma once
// Services of the main window and the traffic engine that the stand files call. The application
// installs them when it starts; until then (tools, tests) an unset hook does nothing.
#include "traffic_service/aircraft_reports.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace kvr {

struct ParkingHooks {
    std::function<void(std::int32_t nm)> setRange; // sets RANGE, its list and the range copies
    std::function<void()> applyAutoRangeSetting;   // applies AUTO_RANGE
    std::function<void()> syncMaxFitCombo;         // MAX_FIT_FL follows MAX_FIT
    std::function<void()> updateParkControls;      // parking controls follow RT_PARKTRAFFIC_ONLY
    std::function<bool()> nowButtonAllowed;        // whether "Now" may be enabled
    // The traffic engine's ground reference altitude (feet), none without a park airport.
    std::function<void(std::optional<double> feet)> setGroundReferenceAltitude;

    // The busy state of the parking controls while static parking is calculated
    // (gf_disableControlsWhileBusy, gf_enableControlsAfterBusy, controlsBusy); unset: never busy.
    std::function<void()> disableControlsWhileBusy;
    std::function<void()> enableControlsAfterBusy;
    std::function<bool()> controlsBusy;
    // Sets the countdown to the next automatic static-parking update back to 20 (once a minute).
    std::function<void()> restartStaticUpdateCountdown;
    // The hours of a MAX_FIT value (gf_maxFitToFloat), used for the log lines of the fits; unset: half
    // an hour per slot.
    std::function<float(int maxFit)> maxFitToHours;
    // The parked traffic round the user aircraft, none when it did not come. Unset: the Traffic Reader
    // (gf_receiveParkedTraffic, then its list). Tests give their own.
    std::function<std::optional<std::vector<ParkedAircraft>>()> receiveParkedTraffic;
};

void gf_installParkingHooks(ParkingHooks hooks);
const ParkingHooks& gf_parkingHooks();

} // namespace kvr
