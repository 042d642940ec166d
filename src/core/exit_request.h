#pragma once
#include <atomic>
#include <cstdint>

namespace kvr {

enum class ExitReason : std::uint32_t {
    notYetSet = 0,
    simWasClosed = 1,
    newFlight = 2,
    newSettings = 3,
    userClosedSim = 4,
    simConnectError = 5,
    readerError = 6,
    systemError = 7,
    newVersion = 8,
};

// "NOT YET SET", "SIM WAS CLOSED", ... as closing down logs them.
const char* gf_exitReasonName(ExitReason reason);

// The stop state of the running session; lives for the whole process.
extern std::atomic<bool> stopRequested;
extern std::atomic<bool> userClosed;
extern std::atomic<ExitReason> exitReason;
extern std::atomic<int> restartDelaySeconds;
extern std::atomic<int> exitCode;

// The exit request. USER CLOSED SIM sets userClosed and stopRequested and takes the reason only
// while none is set; every other reason is first-wins: only the requester that finds
// stopRequested clear sets the reason and the restart delay. The reason is in place before either flag
// is set.
void gf_requestExit(ExitReason reason, int seconds);

// A request that may also take over an error stop: first-wins as above, and while the session waits
// after a SYSTEM ERROR that the user has not closed yet, the reason and the restart delay are replaced
// (the user fixed what the error asked for).
void gf_requestExitOverError(ExitReason reason, int seconds);

// A stop is on its way (an exit request or the close box): every wait and every long walk gives up.
bool gf_stopping();

// Back to the start of a session: userClosed, stopRequested cleared, reason NOT YET SET.
// The restart delay and the exit code keep their values.
void gf_resetStopState();

} // namespace kvr
