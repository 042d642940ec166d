#pragma once
#include <string>

namespace kvr {

// Names of the aircraft for which no livery could be matched; listed in Log.txt at closing down.
void gf_addNoMatchName(const std::string& name);
// When the set is not empty: "\nNo match found for:", each name on its own line, then an empty line.
void gf_logNoMatch();
// Emptied when MATCHING_DEPTH was raised, so that the next list shows what still fails.
void gf_clearNoMatchNames();

} // namespace kvr
