#pragma once
// What the simulator link knows about the simulator and the user aircraft, shared with the run thread.
#include "simlink/sim_records.h"

#include <atomic>
#include <cstdint>

namespace kvr {

// True from a session reset until the simulator connection is open.
extern std::atomic<bool> waitingForSim;
// A flight runs in the simulator; cleared on quit and when the SimClient thread fails.
extern std::atomic<bool> flightActive;
// Set after a failed SimConnect request: no further requests are made this session.
extern std::atomic<bool> simLinkSuspended;
// Set on every answer with the user aircraft's position (about once a second); the session loop takes it
// with an atomic exchange, one round per answer.
extern std::atomic<bool> newData;
// Some answer with the user aircraft's position has come this session.
extern std::atomic<bool> userAcDataReceived;
// The last "SIM ON GROUND" answer.
extern std::atomic<bool> userOnGround;
// The on-ground request was answered while the user position was known.
extern std::atomic<bool> userAcDataValid;
// Half the user aircraft's wingspan, nautical miles.
extern std::atomic<double> userHalfWingspan;
// The simulator's UTC time, seconds since 1970.
extern std::atomic<std::uint64_t> simUtcTime;

// The latest answer; guarded by simQueueMutex (gf_requestUserAcPosition and gf_latestUserAcData copy it).
extern UserAcData userAcData;

// A copy of userAcData without asking the simulator for a new answer.
UserAcData gf_latestUserAcData();

// Per-session state back to its start: userAcDataReceived, userAcDataValid, flightActive,
// simLinkSuspended and newData cleared, userAcData zero, queues, double buffer and notifications empty.
// The connection itself belongs to the SimClient thread, which closes it when it ends.
void gf_resetSimLink();

} // namespace kvr
