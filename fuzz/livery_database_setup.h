#pragma once
// A small livery data base for the registration-code targets: the livery paths below the process's
// scratch folder and a catalogue of a few titles, built once per process.
#include <string>
#include <vector>

namespace kvr::fuzz {

// The titles of the data base; the seed files name them.
const std::vector<std::string>& fixedLiveryTitles();

void buildFixedLiveryDatabase();

// Every registration code of the map points into the data base's own title strings.
void checkRegcodeMap();

} // namespace kvr::fuzz
