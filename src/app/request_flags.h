#pragma once
// What the window's commands ask of the run thread. The GUI thread raises a flag (an atomic exchange to
// true); the run thread takes it with an atomic exchange to false in its next round, so a request raised
// twice between two rounds is served once.
#include <atomic>

namespace kvr {

// Served by the round processing.
extern std::atomic<bool> csToOidRequested;          // "cs->oid:": refresh the callsign list
extern std::atomic<bool> reReadRequested;           // "Re-read": re-read the park airports
extern std::atomic<bool> flushStaticRequested;      // "Flush static": remove every static aircraft
extern std::atomic<bool> blockedCallsignChanged;    // BLOCK_CALLSIGN was set or emptied
extern std::atomic<bool> callsignSelectionChanged;  // another callsign was chosen in CALLSIGN_2_OBJECTID
extern std::atomic<bool> matchingDepthRaised;       // MATCHING_DEPTH was raised
extern std::atomic<bool> parkTrafficOnlyChanged;    // holds the new value of RT_PARKTRAFFIC_ONLY
extern std::atomic<bool> staticParkingNowRequested; // a static-parking update is scheduled
// A time shift rebuilds the traffic and a static-parking update brackets the controls as busy, both the run
// thread's own work, so the window only asks for them.
extern std::atomic<bool> timeShiftRequested;              // a chosen shift is in force: rebuild the traffic
extern std::atomic<bool> simTimeSwitched;                 // SIM_TIME was switched
extern std::atomic<bool> staticParkingCountdownRequested; // "Now": schedule an update, restart the countdown

// The traffic tables belong to the run thread, so what a command does to them waits for
// gf_serveEngineRequests.
extern std::atomic<bool> callsignSelectionResetRequested; // lf_resetCallsignSelection
extern std::atomic<bool> navLightsRequested;              // NAV_LIGHTS_WHILE_PARKED to the parked aircraft
extern std::atomic<bool> liveLimitRequested;              // remove the live aircraft beyond MAX_LIVE_SEL

// The GUI thread's half of lf_resetCallsignSelection: the chosen callsign and its object-id text are
// emptied at once; the followed object and the callsign list follow in the run thread's next round.
void gf_requestCallsignSelectionReset();

// Run thread, at the start of every round: carries out the three engine requests above, each with the
// settings as they are then.
void gf_serveEngineRequests();

} // namespace kvr
