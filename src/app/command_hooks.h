#pragma once
// What the window's commands call in the session, the park airports and the airport scan. Those parts
// install their functions once at start-up; a hook that is not installed logs "<feature> is not available
// in this build" the first time it is called and does nothing.
#include <functional>
#include <string>

namespace kvr {

struct CommandHooks {
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
void gf_hookRestartForCommunityPath();
void gf_hookAddDestinationParkAirport(const std::string& code, double latitude, double longitude);
void gf_hookClearAirportScanSuccess();

} // namespace kvr
