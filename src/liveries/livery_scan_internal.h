#pragma once
#include "liveries/fltsim_section_internal.h"
#include "liveries/livery_scan.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kvr {

// The folders to scan, in scan order (at most ten in practice).
using LiveryFolders = std::vector<std::filesystem::path>;

// Manual mode: the existing lfolder paths in setting order. Throws UserErrorException 243 at the first
// one that does not exist.
void lf_checkLiveryFolders(LiveryFolders& folders);
// Automatic mode: the AI packages of the Community folder in the order AI_PACKAGE_SELECTOR chooses,
// then user-aitraffic.
void lf_autoScanSelectedPackages(const std::filesystem::path& community, LiveryFolders& folders);
// Each appends the first Community entry named like its package, when there is one.
void lf_autoScanAig(const std::filesystem::path& community, LiveryFolders& folders);
void lf_autoScanFsltl(const std::filesystem::path& community, LiveryFolders& folders);
void lf_autoScanJustFlight(const std::filesystem::path& community, LiveryFolders& folders);
void lf_autoScanIvaoMtl(const std::filesystem::path& community, LiveryFolders& folders);
void lf_autoScanUserAiTraffic(const std::filesystem::path& community, LiveryFolders& folders);

enum class LiveryScanEnd {
    noLivery, // nothing written
    saved,    // the catalogue and the reports are written
    notSaved, // the catalogue could not be replaced; its liveries went to gf_useUnsavedScan
    stopped,  // a stop request cut the scan short; nothing written
};

// Scans every folder into scannedLiveries, then corrects, prioritises, sorts, de-duplicates and writes
// the catalogue and the reports.
LiveryScanEnd lf_scanLiveryFolders(const LiveryFolders& folders);

// Shows the scan's progress in the message line, at most once a second.
class ScanProgress {
public:
    explicit ScanProgress(std::string scanningText);
    void fileFound(std::size_t liveriesSoFar);

private:
    std::string scanningText_;
    std::size_t files_ = 0;
    std::chrono::steady_clock::time_point nextShow_;
};

struct FolderWalkOptions {
    // How long the walk waits for one task's result before it drops it.
    std::chrono::milliseconds resultWait = std::chrono::seconds(10);
    // Replaces the task body that the path chooses (tests).
    std::function<FileLiveries(std::uint32_t, const std::filesystem::path&)> taskBody;
    ScanProgress* progress = nullptr;
};

// Walks the folder recursively, reads every aircraft.cfg in a task of its own and appends the liveries
// to scannedLiveries, those of each file together and in the order the walk met the files.
void lf_searchLiveriesinFolder(std::uint32_t folderNumber, const std::filesystem::path& folder,
                               const FolderWalkOptions& options = {});

// Where the scanned folder's own name begins in the text of the walk's paths: the folders above it are
// the user's own (a drive named "My Airports and Aircraft") and do not count for the skip words.
std::size_t lf_ownNameStart(const std::filesystem::path& folder);
// Whether the walk stays out of an entry's subtree: scenery and add-on aircraft packages (by words from
// the scanned folder's own name on), and paths too long to be worth it.
bool lf_skipsDescent(const std::filesystem::path& path, std::size_t ownNameStart);
// aircraft.cfg in any letter case.
bool lf_isAircraftCfgName(const std::filesystem::path& path);

} // namespace kvr
