#include "core/log.h"

#include "core/exit_request.h"
#include "core/native_path.h"
#include "core/program_version.h"
#include "core/time_util.h"

#include <fmt/format.h>

#include <fstream>
#include <system_error>

namespace kvr {

std::mutex logMutex;

namespace {

std::ofstream logStream; // guarded by logMutex

void lf_rotateBackups(const std::filesystem::path& folder) {
    // Oldest first, so that no generation overwrites the next before it has moved on.
    const char* names[] = {"Log000.txt", "Log00.txt", "Log0.txt", "Log.txt"};
    std::error_code ec;
    std::filesystem::remove(folder / names[0], ec);
    for (int i = 1; i < 4; ++i) {
        if (std::filesystem::exists(folder / names[i], ec))
            std::filesystem::rename(folder / names[i], folder / names[i - 1], ec);
    }
}

void lf_write(const char* prefix, const std::string& text, bool flush) {
    std::lock_guard lock(logMutex);
    if (!logStream.is_open())
        return;
    logStream << prefix << text << '\n';
    if (flush)
        logStream.flush();
}

} // namespace

void gf_openLogFile(const std::filesystem::path& folder) {
    std::lock_guard lock(logMutex);
    if (logStream.is_open())
        logStream.close();
    lf_rotateBackups(folder);
    const auto path = folder / "Log.txt";
    logStream.open(path, std::ios::binary | std::ios::trunc);
    if (!logStream.is_open())
        throw std::runtime_error("Failed to write file " + gf_pathToUtf8(path));
    logStream << fmt::format("{} (utc) {} version {} for {}", gf_timeToText(std::time(nullptr)),
                             programShortName, programVersionText, supportedSimulators)
              << '\n';
    logStream.flush();
}

void gf_closeLogFile() {
    std::lock_guard lock(logMutex);
    if (logStream.is_open())
        logStream.close();
}

bool gf_logIsOpen() {
    std::lock_guard lock(logMutex);
    return logStream.is_open();
}

void gf_logLine(const std::string& text) { lf_write("", text, false); }

void gf_logError(const std::string& text) { lf_write("==> ", text, true); }

void gf_logIndented(const std::string& text) { lf_write("          ", text, false); }

void gf_logUnlessQuiet(const std::string& text) {
    if (!stopRequested.load() && !userClosed.load())
        gf_logLine(text);
}

void gf_flushLog() {
    std::lock_guard lock(logMutex);
    if (logStream.is_open())
        logStream.flush();
}

void gf_logLineLocked(const std::string& text) {
    if (logStream.is_open())
        logStream << text << '\n';
}

} // namespace kvr
