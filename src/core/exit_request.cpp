#include "core/exit_request.h"

#include <mutex>

namespace kvr {

namespace {
// Orders the requests: the reason is stored before the stop flag, so whoever sees the flag finds the reason.
std::mutex requestMutex;

// Under requestMutex.
void lf_storeRequest(ExitReason reason, int seconds) {
    restartDelaySeconds.store(seconds);
    exitReason.store(reason);
    stopRequested.exchange(true);
}
} // namespace

std::atomic<bool> stopRequested{false};
std::atomic<bool> userClosed{false};
std::atomic<ExitReason> exitReason{ExitReason::notYetSet};
std::atomic<int> restartDelaySeconds{0};
std::atomic<int> exitCode{0};

const char* gf_exitReasonName(ExitReason reason) {
    switch (reason) {
    case ExitReason::notYetSet:
        return "NOT YET SET";
    case ExitReason::simWasClosed:
        return "SIM WAS CLOSED";
    case ExitReason::newFlight:
        return "NEW FLIGHT";
    case ExitReason::newSettings:
        return "NEW SETTINGS";
    case ExitReason::userClosedSim:
        return "USER CLOSED SIM";
    case ExitReason::simConnectError:
        return "SIMCONNECT ERROR";
    case ExitReason::readerError:
        return "READER ERROR";
    case ExitReason::systemError:
        return "SYSTEM ERROR";
    case ExitReason::newVersion:
        return "NEW VERSION";
    }
    return "UNKNOWN";
}

void gf_requestExit(ExitReason reason, int seconds) {
    std::lock_guard lock(requestMutex);
    if (reason == ExitReason::userClosedSim) {
        ExitReason expected = ExitReason::notYetSet;
        exitReason.compare_exchange_strong(expected, ExitReason::userClosedSim);
        userClosed.exchange(true);
        stopRequested.exchange(true);
        return;
    }
    if (!stopRequested.load())
        lf_storeRequest(reason, seconds);
}

void gf_requestExitOverError(ExitReason reason, int seconds) {
    std::lock_guard lock(requestMutex);
    if (!stopRequested.load() || (exitReason.load() == ExitReason::systemError && !userClosed.load()))
        lf_storeRequest(reason, seconds);
}

bool gf_stopping() {
    return stopRequested.load() || userClosed.load();
}

void gf_resetStopState() {
    std::lock_guard lock(requestMutex);
    userClosed.store(false);
    stopRequested.store(false);
    exitReason.store(ExitReason::notYetSet);
}

} // namespace kvr
