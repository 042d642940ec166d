#include "core/exit_request.h"
#include "core/folder_walk.h"
#include "core/native_path.h"
#include "core/scan_slots.h"
#include "core/text_util.h"
#include "parking/airport_scan.h"
#include "parking/airport_scan_internal.h"
#include "parking/bgl_reader_internal.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <deque>
#include <future>
#include <stdexcept>
#include <string_view>
#include <thread>

namespace kvr {

namespace fs = std::filesystem;

namespace {

// Windows refuses longer paths without the long-path prefix.
constexpr std::size_t longPathUnits = 250;

constexpr std::array<std::string_view, 14> skippedPackageWords{
    "fs-base",       "tutorials",           "aircraft",   "bushtrip",
    "discovery",     "point-of-interest",   "simobjects", "vcockpits",
    "aig-aitraffic", "justflight-aircraft", "fsltl",      "gsx-pro",
    "gsx-world",     "landingchallenge"};

// Scenery files of these kinds hold airports that only repeat or patch the real ones.
constexpr std::array<std::string_view, 3> skippedSceneryWords{"statics", "afcad updates", "_heliports"};

std::string lf_lowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

bool lf_containsAny(const std::string& text, const auto& words) {
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view word) { return text.find(word) != std::string::npos; });
}

// The text of a walked path below the root.
std::string lf_textBelowRoot(const std::string& rootText, std::string pathText) {
    // The folders above the root are the user's own ("D:/Discovery Sims/my statics/MSFS/Community"); the
    // walk's paths begin with the root's text.
    if (pathText.starts_with(rootText))
        pathText.erase(0, rootText.size());
    return pathText;
}

// How often a wait for a task looks at the stop request.
constexpr std::chrono::milliseconds stopPollInterval{20};

// One started task: its file, its result, and the way to ask it to stop.
struct ScanTask {
    fs::path file;
    std::future<void> result;
    std::stop_source stop;
};

// Starts the task on a thread of its own that is not joined. The task gives its slot back however it ends.
ScanTask lf_startTask(const AirportWalkOptions& options, const fs::path& path) {
    std::function<void(const fs::path&, std::stop_token)> body = options.taskBody;
    if (!body)
        body = [](const fs::path& file, std::stop_token stop) { lf_processBGLfile(file, std::move(stop)); };
    ScanTask started;
    started.file = path;
    std::packaged_task<void()> task([body = std::move(body), path, stop = started.stop.get_token()] {
        ScanSlotRelease slot;
        body(path, stop);
    });
    started.result = task.get_future();
    activeScanTasks.fetch_add(1);
    try {
        std::thread(std::move(task)).detach();
    } catch (...) {
        activeScanTasks.fetch_sub(1);
        throw;
    }
    return started;
}

// Waits for the oldest task and takes its result, which throws the task's exception. A stop request asks
// every pending task to stop; each ends at its next step, and the scan counts as cut short. Without a stop
// every file is read to its end: a task still reading after `wait` (a large file, a slow disk, a virus
// scanner looking at every file opened) is named in the scan log once and awaited, since stopping it would
// lose the airports it has not reached while the scan counted as done. No task outlives the walk.
void lf_awaitOldest(std::deque<ScanTask>& pending, std::chrono::milliseconds wait) {
    ScanTask& oldest = pending.front();
    const auto deadline = std::chrono::steady_clock::now() + wait;
    bool named = false;
    while (oldest.result.wait_for(stopPollInterval) != std::future_status::ready) {
        if (gf_stopping()) {
            for (ScanTask& task : pending)
                task.stop.request_stop();
        } else if (!named && std::chrono::steady_clock::now() >= deadline) {
            named = true;
            gf_appendScanMessage(
                fmt::format("{}{} is still being read after {:g} seconds, the scan waits for it", "===> ",
                            gf_pathToUtf8(oldest.file), std::chrono::duration<double>(wait).count()));
        }
    }
    oldest.result.get();
}

} // namespace

bool lf_isSkippedPackageFolder(const fs::path& root, const fs::path& path) {
    std::string text = gf_pathToUtf8(path);
    if (lf_utf16Length(text) >= longPathUnits)
        return true;
    return lf_containsAny(lf_lowerAscii(lf_textBelowRoot(gf_pathToUtf8(root), std::move(text))),
                          skippedPackageWords);
}

void lf_scanAirportFolder(const fs::path& root, const AirportWalkOptions& options) {
    const std::string rootText = gf_pathToUtf8(root);
    gf_appendScanMessage(fmt::format("Scanning for {} airports in {}", "addon ", rootText));
    const auto maxTasks = static_cast<std::size_t>(std::max(maxScanTasks.load(), std::int32_t{1}));
    std::deque<ScanTask> pending;

    FolderWalk walk(root);
    for (auto walked = walk.next(); walked; walked = walk.next()) {
        const fs::path& path = walked->entry.path();
        try {
            if (lf_isSkippedPackageFolder(root, path)) {
                walk.keepOut();
                continue;
            }
            std::error_code typeError;
            if (!walked->entry.is_regular_file(typeError) ||
                gf_toUpper(gf_pathToUtf8(path.extension())) != ".BGL")
                continue;
            if (lf_containsAny(lf_textBelowRoot(rootText, gf_pathToUtf8(path)), skippedSceneryWords) ||
                !lf_hasAirportSection(path))
                continue;
            if (gf_stopping())
                break;
            gf_waitForScanSlot();
            pending.push_back(lf_startTask(options, path));
        } catch (const std::exception& error) {
            gf_appendScanMessage(fmt::format("{} airports search in folder {} aborted, cause: {}", "===> ",
                                             rootText, error.what()));
            continue;
        }
        if (pending.size() <= maxTasks)
            continue;
        try {
            lf_awaitOldest(pending, options.resultWait);
        } catch (const std::exception& error) {
            gf_appendScanMessage(fmt::format("{} airports search aborted, futs inner,\n{}\n{}\n{}", "===> ",
                                             error.what(), pending.size(), gf_pathToUtf8(path)));
        }
        pending.pop_front();
    }

    for (; !pending.empty(); pending.pop_front()) {
        try {
            lf_awaitOldest(pending, options.resultWait);
        } catch (const std::exception& error) {
            gf_appendScanMessage(fmt::format("{} airports search in {} aborted, futs outer error: {}",
                                             "===> ", rootText, error.what()));
        }
    }
}

} // namespace kvr
