#pragma once
// What Enter in the three edit boxes does, and the Block/Unblock operations the push buttons share.
#include "settings/parameter.h"

#include <string>

namespace kvr {

// Enter in the box of that setting (ALL_INSTALL_PATH, BLOCK_CALLSIGN or DESTINATION).
void lf_onEditBoxEnter(ControlStringParameter& setting);

// Empties BLOCK_CALLSIGN when a callsign is blocked ("no more blocking of live aircraft '{}'").
void lf_unblockCallsign();
// Blocks the callsign as given, without validation or message.
void lf_blockCallsign(const std::string& callsign);

// Applies a known destination airport: stored, shown, saved, and made the first park airport.
// The run thread calls it at start-up for a stored destination.
void lf_setDestination(const std::string& code, double latitude, double longitude);

} // namespace kvr
