#pragma once
#include <string>
#include <vector>

namespace kvr {

// Livery titles the registration-code files mark as not to be used. Filled on the run thread before the
// livery scan walks its folders; the aircraft.cfg tasks only read it while they run.
extern std::vector<std::string> dontUseTitles;

} // namespace kvr
