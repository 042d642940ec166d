#include "core/exit_request.h"
#include "core/folder_walk.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/native_path.h"
#include "core/scan_slots.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "core/text_util.h"
#include "liveries/aircraft_cfg_reader_internal.h"
#include "liveries/catalogue_file.h"
#include "liveries/livery_database.h"
#include "liveries/livery_scan_internal.h"
#include "liveries/livery_scan_pool_internal.h"
#include "liveries/regcode_files.h"
#include "liveries/scan_reports_internal.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <stdexcept>
#include <string_view>
#include <tuple>

namespace kvr {

namespace fs = std::filesystem;

namespace {

// Paths of this length (UTF-8 bytes) or longer are not descended into.
constexpr std::size_t longPathBytes = 250;

bool lf_isIvaoPath(const std::string& pathText) {
    return pathText.find("ivao_x-csl") != std::string::npos || pathText.find("IVAO_MTL") != std::string::npos;
}

// Takes the oldest pending result into the scanned liveries; a result that does not come in time is
// dropped with its file.
void lf_collectOldest(std::deque<std::future<FileLiveries>>& pending, std::chrono::milliseconds wait) {
    try {
        if (pending.front().wait_for(wait) != std::future_status::ready)
            throw std::runtime_error("Future wait timed out after 10 seconds");
        lf_claimTitles(pending.front().get(), scannedLiveries);
    } catch (const std::exception& error) {
        gf_logError(fmt::format("liveries inner search aborted: {}", error.what()));
    }
    pending.pop_front();
}

// After the walk: every result in walk order. A task that failed costs only its own file; a result that
// does not come in time ends the collection, and the results still pending are dropped. A stopped scan
// writes nothing, so its results are not waited for.
void lf_collectRemaining(std::deque<std::future<FileLiveries>>& pending, std::chrono::milliseconds wait) {
    if (gf_stopping()) {
        pending.clear();
        return;
    }
    try {
        while (!pending.empty()) {
            if (pending.front().wait_for(wait) != std::future_status::ready)
                throw std::runtime_error("Future wait timed out after 10 seconds");
            lf_collectOldest(pending, wait);
        }
    } catch (const std::exception& error) {
        gf_logError(fmt::format("liveries search aborted, futs outer, {}", error.what()));
    }
    pending.clear();
}

// For each airline and type only the liveries of the lowest-numbered folder that has that pair stay.
void lf_prioritizeFolders(std::list<LiveryData>& liveries) {
    std::map<std::pair<std::string_view, std::string_view>, std::uint32_t> lowest;
    for (const LiveryData& livery : liveries) {
        const auto [entry, added] = lowest.try_emplace({livery.airl, livery.type}, livery.folderNumber);
        if (!added)
            entry->second = std::min(entry->second, livery.folderNumber);
    }
    std::list<LiveryData> kept;
    for (auto it = liveries.begin(); it != liveries.end();) {
        const auto next = std::next(it);
        if (it->folderNumber == lowest.at({it->airl, it->type}))
            kept.splice(kept.end(), liveries, it);
        it = next;
    }
    liveries = std::move(kept);
}

} // namespace

ScanProgress::ScanProgress(std::string scanningText)
    : scanningText_(std::move(scanningText)),
      nextShow_(std::chrono::steady_clock::now() + std::chrono::seconds(1)) {}

void ScanProgress::fileFound(std::size_t liveriesSoFar) {
    ++files_;
    const auto now = std::chrono::steady_clock::now();
    if (now < nextShow_)
        return;
    nextShow_ = now + std::chrono::seconds(1);
    gf_showMessage(fmt::format("{} {} aircraft.cfg file{}, {} liverie{}", scanningText_, files_,
                               gf_pluralSuffix(files_), liveriesSoFar, gf_pluralSuffix(liveriesSoFar)));
}

std::size_t lf_ownNameStart(const fs::path& folder) {
    const fs::path name = folder.has_filename() ? folder.filename() : folder.parent_path().filename();
    const std::size_t at = gf_pathToUtf8(folder).rfind(gf_pathToUtf8(name));
    return at == std::string::npos ? 0 : at;
}

bool lf_skipsDescent(const fs::path& path, std::size_t ownNameStart) {
    static const std::array<std::string_view, 9> skipWords{"airport",  "lvfr",        "mkstudios",
                                                           "simwings", "fsdreamteam", "navigraph",
                                                           "flytampa", "inibuilds",   "_CVT_"};
    const std::string pathText = gf_pathToUtf8(path);
    const std::string_view text = std::string_view(pathText).substr(std::min(ownNameStart, pathText.size()));
    if (std::any_of(skipWords.begin(), skipWords.end(),
                    [&](std::string_view word) { return text.find(word) != std::string::npos; }))
        return true;
    return pathText.size() >= longPathBytes;
}

bool lf_isAircraftCfgName(const fs::path& path) {
    return gf_toUpper(gf_pathToUtf8(path.extension())) == ".CFG" &&
           gf_toUpper(gf_pathToUtf8(path.stem())) == "AIRCRAFT";
}

void lf_searchLiveriesinFolder(std::uint32_t folderNumber, const fs::path& folder,
                               const FolderWalkOptions& options) {
    const int maxTasks = std::max(1, maxScanTasks.load());
    LiveryScanPool pool(maxTasks);
    std::deque<std::future<FileLiveries>> pending;
    const auto taskBody = options.taskBody;
    const std::size_t ownNameStart = lf_ownNameStart(folder);

    FolderWalk walk(folder);
    for (auto walked = walk.next(); walked; walked = walk.next()) {
        // A package of tens of thousands of files takes longer than the close box may wait.
        if (gf_stopping())
            break;
        const fs::path& path = walked->entry.path();
        try {
            if (walked->folder) {
                if (lf_skipsDescent(path, ownNameStart))
                    walk.keepOut();
                continue;
            }
            std::error_code typeError;
            if (!walked->entry.is_regular_file(typeError) || !lf_isAircraftCfgName(path))
                continue;
            // While every slot is taken, the oldest task is the one to wait for: its result is due first,
            // and waiting on it wakes the walk the moment it is there, where polling for a slot sleeps
            // longer than a small file takes to read.
            if (!pending.empty() && activeScanTasks.load() >= maxTasks)
                lf_collectOldest(pending, options.resultWait);
            gf_waitForScanSlot();
            const bool ivao = lf_isIvaoPath(gf_pathToUtf8(path));
            activeScanTasks.fetch_add(1);
            try {
                pending.push_back(pool.start([folderNumber, path, ivao, taskBody] {
                    ScanSlotRelease slot;
                    // The pool runs what is queued before it ends; after a stop nobody takes the result.
                    if (gf_stopping())
                        return FileLiveries{};
                    if (taskBody)
                        return taskBody(folderNumber, path);
                    return ivao ? lf_searchLiveriesinIVAOFile(folderNumber, path)
                                : lf_searchLiveriesinFile(folderNumber, path);
                }));
            } catch (...) {
                activeScanTasks.fetch_sub(1);
                throw;
            }
            if (options.progress)
                options.progress->fileFound(scannedLiveries.size());
            if (pending.size() > static_cast<std::size_t>(maxTasks))
                lf_collectOldest(pending, options.resultWait);
        } catch (const std::exception& failure) {
            gf_logError(
                fmt::format("liveries search in {} aborted, cause: {}", gf_pathToUtf8(path), failure.what()));
        }
    }
    lf_collectRemaining(pending, options.resultWait);
}

LiveryScanEnd lf_scanLiveryFolders(const LiveryFolders& folders) {
    // A stop that came before the scan began leaves the previous catalogue and reports alone.
    if (gf_stopping())
        return LiveryScanEnd::stopped;
    // A scan that stopped or found nothing left its titles and report lines behind.
    scannedLiveries.clear();
    lf_clearScanReports();
    lf_removeScanFiles();
    lf_processRegcodeFiles();

    ScanProgress progress(
        fmt::format("Scanning {}for liveries ...", LIG_PRIORITIZE.value() ? "prioritized " : ""));
    FolderWalkOptions options;
    options.progress = &progress;
    std::uint32_t folderNumber = 0;
    std::size_t total = 0;
    std::size_t previousCount = 0;
    for (const fs::path& folder : folders) {
        if (folder.empty())
            continue;
        if (!fs::exists(folder)) {
            gf_logLine(gf_pathToUtf8(folder) + " does not exist, skipped!");
            continue;
        }
        if (!fs::is_directory(folder)) {
            gf_logLine(gf_pathToUtf8(folder) + " is not a folder name, skipped!");
            continue;
        }
        if (folderNumber < 10)
            ++folderNumber;
        if (gf_stopping())
            continue;
        lf_searchLiveriesinFolder(folderNumber, folder, options);
        // The count of a stopped walk would read as all the folder holds.
        if (gf_stopping()) {
            gf_logLine(fmt::format("Liveries scan of {} cut short by a stop", gf_pathToUtf8(folder)));
            break;
        }
        const std::size_t found = scannedLiveries.size() - previousCount;
        const std::string foundIn = fmt::format("found in {}", gf_pathToUtf8(folder));
        if (found < 1)
            gf_logLine("No liveries " + foundIn);
        else
            gf_logLine(fmt::format("{} liverie{} {}", found, gf_pluralSuffix(found), foundIn));
        total += found;
        previousCount = scannedLiveries.size();
    }

    // Every step after the walk takes longer the more was found; a stop between them ends the scan.
    const auto stopped = [] {
        if (!gf_stopping())
            return false;
        scannedLiveries.clear();
        return true;
    };
    if (stopped())
        return LiveryScanEnd::stopped;
    if (scannedLiveries.empty()) {
        statusDisplay.liveryCount.store(0);
        gf_invalidateArea(ScreenArea::statusPane);
        return LiveryScanEnd::noLivery;
    }
    if (folders.size() > 1)
        gf_logLine(fmt::format("{} in total", total));

    lf_logConversions();
    if (stopped())
        return LiveryScanEnd::stopped;
    if (LIG_PRIORITIZE.value())
        lf_prioritizeFolders(scannedLiveries);
    if (stopped())
        return LiveryScanEnd::stopped;
    scannedLiveries.sort([](const LiveryData& a, const LiveryData& b) {
        return std::tie(a.airl, a.type, a.title) < std::tie(b.airl, b.type, b.title);
    });
    scannedLiveries.unique(lf_sameLiveryData);
    if (stopped())
        return LiveryScanEnd::stopped;
    const bool saved = lf_writeLiveriesScanned();
    if (stopped())
        return LiveryScanEnd::stopped;
    // A catalogue that cannot be replaced must not bring back the stale one it holds: this start builds
    // its livery data base from the liveries just scanned.
    const LiveryScanEnd end = saved ? LiveryScanEnd::saved : LiveryScanEnd::notSaved;
    if (end == LiveryScanEnd::notSaved)
        gf_useUnsavedScan(std::move(scannedLiveries));
    scannedLiveries.clear();

    lf_writeScanReports();
    lf_clearScanReports();
    gf_clearMessage();
    return end;
}

} // namespace kvr
