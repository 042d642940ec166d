#pragma once
// The SimClient thread: the simulator connection, the only caller of the client library's dispatch.
//
// SimClient opens the connection (retrying every 2 s until it succeeds or is stopped), sets up the data
// definitions and events, and then dispatches what the simulator sends: the "Sim" state (flightActive),
// the user aircraft's answers (userAcData, newData, userOnGround, simUtcTime, the status display), and on
// each "Frame" the queued creations, removals, light events and position updates (sim_queues.h). Created
// objects are recognised by the ATC id of the object assigned to their creation and reported to the engine.
// A user aircraft that jumps more than 5 nm between two answers ("Teleport"), a loaded flight and a new
// aircraft file end the session with NEW FLIGHT (45 s) once the user aircraft's data has arrived; the
// simulator quitting or the connection breaking calls gf_onSimDisconnected.
#include "simlink/sim_records.h"

#include "core/watched_thread.h"

#include <stop_token>

namespace kvr {

// The thread body; returns when stopped or when the connection has ended.
void SimClient(std::stop_token stop);

// The running SimClient thread; replaced at each session start, ended at closing down.
extern WatchedThread simClientThread;

// Under simQueueMutex and unless simLinkSuspended: asks once for the user aircraft's data (request 109,
// definition 403); returns the latest answer.
UserAcData gf_requestUserAcPosition();
// Under simQueueMutex: asks once for the user aircraft's title (request 106, definition 407) and model
// (request 107, definition 408).
void gf_requestUserAcTitleAndModel();
// Under simQueueMutex: asks for the user aircraft's on-ground data every second (request 108, definition
// 409). False when the request failed or there is no connection; the caller reports that.
bool gf_requestUserAcOnGround();
// Shows "SimConnect request error", suspends the link and ends the session with SIMCONNECT ERROR and a
// 9 s restart (first request wins).
void gf_onSimConnectRequestError();

} // namespace kvr
