#pragma once
// The stand files the demo's download server serves: stock files of a few large airports, and an
// archived simulator add-on file and third-party file of the demo airport EHAM.
#include "tools/stand_fixtures/stand_fixtures.h"

#include <filesystem>
#include <vector>

namespace kvr::fixtures {

struct DemoStandFile {
    std::filesystem::path relativePath; // below the downloads folder, e.g. MSFS/archive/stock/EHAM.xml
    StandFileSpec spec;
};

std::vector<DemoStandFile> gf_demoStandFiles();

// Writes every demo stand file below the downloads folder.
void gf_writeDemoStandFiles(const std::filesystem::path& downloadsFolder);

} // namespace kvr::fixtures
