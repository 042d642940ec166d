#pragma once
#include "parking/stand.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace kvr {

// How one folder walk runs its tasks; tests replace the body and shorten the wait. A body ends soon after
// its stop token asks it to: the walk waits for every task it started.
struct AirportWalkOptions {
    std::function<void(const std::filesystem::path&, std::stop_token)> taskBody; // empty: lf_processBGLfile
    std::chrono::milliseconds resultWait{10000};
};

struct AirportScanOutcome {
    bool complete = false; // every root walked and every task run to its end: no stop came
    bool changed = false;  // airportFilesChanged
};

// Scans the roots and writes the scan log; a complete scan collects the tblo files too.
AirportScanOutcome lf_scanAirports(const std::vector<std::filesystem::path>& folders);
void lf_checkScanFolders(const std::vector<std::filesystem::path>& folders);
void lf_scanAirportFolder(const std::filesystem::path& root, const AirportWalkOptions& options = {});
// Package folders and files the walk keeps out of: long paths and aircraft, tutorial, AI-traffic and
// similar packages, by words anywhere in the path below the root.
bool lf_isSkippedPackageFolder(const std::filesystem::path& root, const std::filesystem::path& path);

// Writes the generated stand file of one airport; nothing for an airport without stands.
void lf_generatePositionFile(ApfRecord& record, std::uint32_t helipadCounter);
// The text from its first "Community" on; the whole text when there is none.
std::string lf_findCommunityFolder(const std::string& text);

// Its length in UTF-16 code units (each byte that starts a character counts once, a 4-byte one twice).
std::size_t lf_utf16Length(const std::string& utf8);

} // namespace kvr
