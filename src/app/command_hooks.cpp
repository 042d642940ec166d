#include "app/command_hooks.h"

#include "core/log.h"

#include <fmt/format.h>

#include <mutex>
#include <set>
#include <utility>

namespace kvr {

namespace {

std::mutex hooksMutex;
CommandHooks installedHooks;
std::set<std::string> featuresReported; // guarded by hooksMutex

CommandHooks lf_hooks() {
    std::lock_guard lock(hooksMutex);
    return installedHooks;
}

void lf_reportMissing(const std::string& feature) {
    {
        std::lock_guard lock(hooksMutex);
        if (!featuresReported.insert(feature).second)
            return;
    }
    gf_logLine(fmt::format("{} is not available in this build", feature));
}

// Calls the hook outside the lock: a hook may itself install hooks or take its own locks.
template <typename Hook, typename... Args>
void lf_call(Hook CommandHooks::*member, const char* feature, Args&&... args) {
    const Hook hook = lf_hooks().*member;
    if (hook)
        hook(std::forward<Args>(args)...);
    else
        lf_reportMissing(feature);
}

} // namespace

void gf_installCommandHooks(CommandHooks hooks) {
    std::lock_guard lock(hooksMutex);
    installedHooks = std::move(hooks);
    featuresReported.clear();
}

void gf_hookRestartForCommunityPath() {
    lf_call(&CommandHooks::restartForCommunityPath, "Restart for a new Community path");
}

void gf_hookAddDestinationParkAirport(const std::string& code, double latitude, double longitude) {
    lf_call(&CommandHooks::addDestinationParkAirport, "Destination park airport", code, latitude, longitude);
}

void gf_hookClearAirportScanSuccess() {
    lf_call(&CommandHooks::clearAirportScanSuccess, "Airport scan");
}

} // namespace kvr
