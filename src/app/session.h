#pragma once
// One traffic session: from the start of the simulator link to the stop request.

namespace kvr {

// Starts the simulator link, waits for the user aircraft, logs in at the live-traffic service, starts
// both readers, watches that traffic arrives and runs the session loop. Returns when the loop has ended
// or when the session did not get past its start; closing down follows on the run thread.
void gf_runSession();

} // namespace kvr
