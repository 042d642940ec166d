#pragma once
// The stand ids and positions of the park airport as other threads may see them. The run thread owns
// standList; it publishes a copy here whenever the list is filled or emptied, so that the simulator
// link's thread can name the user's stand without touching standList.
#include <string>

namespace kvr {

// Copies the ids and positions of standList. Run thread, after every change of the list's stands.
void gf_publishStandNames();

// The id of the nearest published stand within 55 m of the position; empty when none. Any thread: wire
// it as the simulator link's userStandName hook.
std::string gf_standNameNear(double latitude, double longitude);

} // namespace kvr
