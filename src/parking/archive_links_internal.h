#pragma once
// Links from scanned airports to archived stand files, and the report of BGL files the scan cannot decode.
#include "parking/stand.h"

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

namespace kvr {

// Held for the whole linking of one airport, its publisher search included, so that its scan messages
// stay together and no two tasks write link files at once.
extern std::mutex linkMutex;

// Fills the record's BGL path, publisher, manufacturer and creator, and writes the link file when the data
// base lists the airport in the archive; true when it did. archivedCount: the stands of the archived file.
bool lf_linkAirports(ApfRecord& record, std::uint32_t& archivedCount, const std::filesystem::path& path);
std::optional<std::string> lf_linkSimaddonAirport(const ApfRecord& record);
// Searches only the list of the selected simulator.
std::optional<std::string> lf_linkThirdpartyAirport(const std::string& publisher, const ApfRecord& record,
                                                    std::uint32_t& archivedCount);

// A BGL file that holds a record the decoder does not know (MSFS 2024): its code is looked for in the file
// name, the package manifest and the path, and a known add-on airport still gets its link file.
void lf_reportNotRecognised(const std::filesystem::path& path);
// The code found for such a file; empty when none.
std::string lf_reportNonComplying(const std::filesystem::path& path);

} // namespace kvr
