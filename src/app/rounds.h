#pragma once
// A round is one arrival of new user-aircraft data from the simulator, about once a second. Run thread
// only.

namespace kvr {

// Every round: the message line's expiry, the parked counts, the time slot, the simulator clock, one
// duplicate check, the window's requests and the collision removals round the user aircraft.
void lf_processRound();
// Every 15th round: the two-phase static-parking update, and in rounds of 30, 60, 1200 and 86400 the
// matching depth, the automatic range, the 20-minute static-parking refresh and the housekeeping.
void lf_periodicTasks();
// Serves a pending "Re-read" unless the controls are busy.
void lf_handleReReadRequest();
// The parked and active counts of the status display.
void lf_updateParkedCounts();
// Schedules a static-parking update for the next 15-round step and tells the user when it comes.
void lf_showStaticParkingCountdown();

} // namespace kvr
