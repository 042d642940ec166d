#pragma once
// What the window's commands call in the session, the park airports and the airport scan. Those parts
// install their functions once at start-up; a hook that is not installed logs "<feature> is not available
// in this build" the first time it is called and does nothing.
#include <functional>
#include <string>

namespace kvr {

struct CommandHooks {
    // Time shift: SIM_TIME was switched (lf_applySimTimeSetting).
    std::function<void()> applySimTimeSetting;
    // Time shift: a new shift in minutes, not quiet, from the three time-shift lists (lf_applyTimeShift).
    std::function<void(int minutes, bool quiet)> applyTimeShift;
    // Round processing: schedules a static-parking update (lf_showStaticParkingCountdown).
    std::function<void()> showStaticParkingCountdown;
    // Round processing: the rounds of 60 until the next automatic static-parking update
    // (staticUpdateCountdown), set by "Now".
    std::function<void(int count)> setStaticUpdateCountdown;
    // Closing down: the restart after a new Community path (lf_restartForCommunityPath).
    std::function<void()> restartForCommunityPath;
    // Park airports: the destination becomes the first park airport (lf_addDestinationParkAirport).
    std::function<void(const std::string& code, double latitude, double longitude)> addDestinationParkAirport;
    // Airport scan: forget that the last scan succeeded, so that the next start-up scans again.
    std::function<void()> clearAirportScanSuccess;
};

// Replaces every hook; an empty member falls back to the "not available" line.
void gf_installCommandHooks(CommandHooks hooks);

// The calls the commands make.
void gf_hookApplySimTimeSetting();
void gf_hookApplyTimeShift(int minutes, bool quiet);
void gf_hookShowStaticParkingCountdown();
void gf_hookSetStaticUpdateCountdown(int count);
void gf_hookRestartForCommunityPath();
void gf_hookAddDestinationParkAirport(const std::string& code, double latitude, double longitude);
void gf_hookClearAirportScanSuccess();

} // namespace kvr
