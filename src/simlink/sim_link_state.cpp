#include "simlink/sim_link_state.h"

#include "simlink/sim_queues.h"

#include <mutex>

namespace kvr {

std::atomic<bool> waitingForSim{true};
std::atomic<bool> flightActive{false};
std::atomic<bool> simLinkSuspended{false};
std::atomic<bool> newData{false};
std::atomic<bool> userAcDataReceived{false};
std::atomic<bool> userOnGround{false};
std::atomic<bool> userAcDataValid{false};
std::atomic<double> userHalfWingspan{0.0};
std::atomic<std::uint64_t> simUtcTime{0};
UserAcData userAcData;

UserAcData gf_latestUserAcData() {
    std::lock_guard lock(simQueueMutex);
    return userAcData;
}

void gf_resetSimLink() {
    userAcDataReceived = false;
    userAcDataValid = false;
    flightActive = false;
    simLinkSuspended = false;
    newData = false;
    gf_clearSimQueues();
    std::lock_guard lock(simQueueMutex);
    userAcData = UserAcData{};
}

} // namespace kvr
