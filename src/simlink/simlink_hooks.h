#pragma once
// Services of higher subsystems that the simulator link calls. The application wires them once at
// start-up (gf_setSimLinkHooks); until then they do nothing.
#include <functional>
#include <string>

namespace kvr {

struct SimLinkHooks {
    // The stands subsystem's gf_learnUserStand: remembers the user's stand at the park airport. Called on
    // the SimClient thread on FlightLoaded, on the new-file event and when the thread ends.
    std::function<void()> learnUserStand;
    // The name of the stand within 55 m of the position (the traffic engine's gf_nearestStandName), or
    // empty. Called on the SimClient thread with each user position answer.
    std::function<std::string(double latitude, double longitude)> userStandName;
};

void gf_setSimLinkHooks(SimLinkHooks hooks);

// Callers in the link.
void gf_callLearnUserStand();
std::string gf_userStandNameAt(double latitude, double longitude);

} // namespace kvr
