#include "core/exit_request.h"

namespace kvr {

std::atomic<bool> stopRequested{false};
std::atomic<bool> userClosed{false};
std::atomic<ExitReason> exitReason{ExitReason::notYetSet};
std::atomic<int> restartDelaySeconds{0};
std::atomic<int> exitCode{0};

const char* gf_exitReasonName(ExitReason reason) {
    switch (reason) {
    case ExitReason::notYetSet: return "NOT YET SET";
    case ExitReason::simWasClosed: return "SIM WAS CLOSED";
    case ExitReason::newFlight: return "NEW FLIGHT";
    case ExitReason::newSettings: return "NEW SETTINGS";
    case ExitReason::userClosedSim: return "USER CLOSED SIM";
    case ExitReason::simConnectError: return "SIMCONNECT ERROR";
    case ExitReason::readerError: return "READER ERROR";
    case ExitReason::systemError: return "SYSTEM ERROR";
    case ExitReason::newVersion: return "NEW VERSION";
    }
    return "UNKNOWN";
}

void gf_requestExit(ExitReason reason, int seconds) {
    if (reason == ExitReason::userClosedSim) {
        userClosed.exchange(true);
        stopRequested.exchange(true);
        ExitReason expected = ExitReason::notYetSet;
        exitReason.compare_exchange_strong(expected, ExitReason::userClosedSim);
        return;
    }
    if (!stopRequested.exchange(true)) {
        restartDelaySeconds.store(seconds);
        exitReason.store(reason);
    }
}

void gf_resetStopState() {
    userClosed.store(false);
    stopRequested.store(false);
    exitReason.store(ExitReason::notYetSet);
}

} // namespace kvr
