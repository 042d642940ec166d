#pragma once
// The end of every run-thread pass: the session is closed down, then either a new pass starts after the
// restart countdown (NEW SETTINGS, SIMCONNECT ERROR, READER ERROR) or the program ends.
#include <functional>

namespace kvr {

void lf_closingDown();
// Counts restartDelaySeconds down in the message line, one second per step.
void lf_restartCountdown();
// Every per-session value back to its start (readers, simulator link, traffic tables, window, stop state).
void lf_resetSessionState();
// A Community path was entered and found: restart with NEW SETTINGS after 3 s.
void lf_restartForCommunityPath();

// Called at the start of every closing down, while the simulator link still runs (the platform layer
// takes its picture of the simulated world there). One observer; an empty function removes it.
void gf_installClosingDownObserver(std::function<void()> observer);

} // namespace kvr
