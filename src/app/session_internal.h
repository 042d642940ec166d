#pragma once
// The parts of the session that tests reach directly.
#include "app/session.h"

namespace kvr {

// Waits for a running flight and the user aircraft's position; false when a stop was requested meanwhile.
bool lf_requestSimAircraft();
// Waits up to 15 s for the first traffic report and logs when none came.
void lf_showNoTrafficHint();
// The 10 ms loop: the engine's tick on every tick while a flight runs, a round on each new set of
// user-aircraft data.
void lf_sessionLoop();
// The loop's step while no flight runs.
void lf_onFlightNotRunning();

// What a round does besides lf_processRound, by its number r (counting from 1).
struct RoundSteps {
    bool fiveRound = false;       // r mod 5 = 0: indicators, traffic box, reserved stand, Re-read
    bool periodic = false;        // and r mod 15 = 0 as well: lf_periodicTasks
    bool parkAirportTick = false; // otherwise r mod 16 = 0, unless a static-parking update is half done
    bool liveOnStatic = false;    // otherwise r mod 61 = 0
};
RoundSteps lf_roundSteps(int round, bool staticUpdateHalfDone);

} // namespace kvr
