#include "simlink/simlink_hooks.h"

#include <mutex>

namespace kvr {

namespace {
std::mutex hooksMutex;
SimLinkHooks hooks; // guarded by hooksMutex

// A copy, so that no lock is held while the hook runs.
SimLinkHooks lf_hooks() {
    std::lock_guard lock(hooksMutex);
    return hooks;
}
} // namespace

void gf_setSimLinkHooks(SimLinkHooks newHooks) {
    std::lock_guard lock(hooksMutex);
    hooks = std::move(newHooks);
}

void gf_callLearnUserStand() {
    if (const auto learn = lf_hooks().learnUserStand)
        learn();
}

std::string gf_userStandNameAt(double latitude, double longitude) {
    if (const auto lookUp = lf_hooks().userStandName)
        return lookUp(latitude, longitude);
    return {};
}

} // namespace kvr
