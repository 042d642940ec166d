#include "parking/airport_scan.h"

#include "core/exit_request.h"
#include "core/file_util.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/native_path.h"
#include "core/shared_state.h"
#include "core/shell_port.h"
#include "core/text_util.h"
#include "parking/airport_scan_internal.h"
#include "parking/learned_file.h"
#include "parking/stand_file.h"
#include "parking/stand_lookup.h"
#include "parking/tblo_zip.h"
#include "parking/tblo_zip_internal.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "simlink/sim_install.h"

#include <fmt/format.h>

#include <algorithm>

namespace kvr {

namespace fs = std::filesystem;

std::vector<std::string> scanMessages;
std::mutex scanMessageMutex;
std::atomic<bool> airportFilesChanged{false};
std::atomic<std::int32_t> tbloCount{0};

const fs::path airportsScanLogFile = fs::path("output") / "AirportsScanLog.txt";

namespace {

constexpr std::size_t scanMessageReserve = 2048;
constexpr std::size_t maxScanRoots = 10;
constexpr std::string_view simaddonPublisher = "simaddon";

void lf_throwUnlessFolder(const fs::path& folder) {
    std::error_code ec;
    const bool exists = fs::exists(folder, ec);
    if (ec)
        throw fs::filesystem_error("exists", folder, ec);
    if (!exists && !fs::create_directories(folder, ec) && ec)
        throw fs::filesystem_error("create_directory", folder, ec);
}

// An empty tblo folder for this scan's collection.
void lf_prepareTbloFolder() {
    std::error_code ec;
    const bool exists = fs::exists(tbloDir, ec);
    if (ec)
        throw fs::filesystem_error("exists", tbloDir, ec);
    if (exists) {
        gf_removeFilesFromDirectory(tbloDir);
        return;
    }
    if (!fs::create_directory(tbloDir, ec) && ec)
        throw fs::filesystem_error("create_directory", tbloDir, ec);
}

void lf_addRoot(std::vector<fs::path>& roots, fs::path root) {
    if (!root.empty())
        roots.push_back(std::move(root));
}

void lf_writeScanLog() {
    std::vector<std::string> lines;
    {
        std::lock_guard lock(scanMessageMutex);
        lines = scanMessages;
    }
    std::error_code ec;
    fs::create_directories(airportsScanLogFile.parent_path(), ec);
    const std::string path = gf_pathToUtf8(airportsScanLogFile);
    if (gf_writeLines(lines, airportsScanLogFile))
        gf_logLine(path + " written");
    else
        gf_logError(path + " could not be written");
    gf_flushLog();
}

void lf_removeTbloFolder() {
    std::error_code ec;
    fs::remove_all(tbloDir, ec);
    if (ec)
        gf_logError(fmt::format("remove_all({}) failed: {}", gf_pathToUtf8(tbloDir), ec.message()));
}

} // namespace

void gf_appendScanMessage(std::string text) {
    std::lock_guard lock(scanMessageMutex);
    scanMessages.push_back(std::move(text));
}

std::size_t lf_utf16Length(const std::string& utf8) {
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80)
            ++units;
        if ((byte & 0xF8) == 0xF0)
            ++units; // outside the basic plane: a surrogate pair
    }
    return units;
}

std::string lf_findCommunityFolder(const std::string& text) {
    const auto at = text.find("Community");
    return at == std::string::npos ? text : text.substr(at);
}

void lf_generatePositionFile(ApfRecord& record, std::uint32_t helipadCounter) {
    const std::size_t stands = record.stands.size();
    if (stands == 0)
        return;
    if (!record.publisher.empty())
        record.bglPath = lf_findCommunityFolder(record.bglPath);
    const fs::path folder = record.publisher == simaddonPublisher ? mySimaddonDir : myThirdpartyDir;
    const std::string fileName = gf_xmlFileName(record.code);
    const std::size_t helipads = helipadCounter < 2 ? 0 : helipadCounter - 1;
    const std::string helipadText =
        helipads == 0 ? std::string()
                      : fmt::format(", of which {} helipad{}", helipads, gf_pluralSuffix(helipads));
    gf_appendScanMessage(
        fmt::format("Generated {}: {} position{}{}", fileName, stands, gf_pluralSuffix(stands), helipadText));
    std::sort(record.stands.begin(), record.stands.end(),
              [](const Stand& a, const Stand& b) { return a.id < b.id; });
    lf_throwUnlessFolder(folder);
    // Two files holding the same airport write the same name at once: each write goes to a temporary file
    // of its own that is renamed into place, so the later one wins whole.
    const fs::path target = folder / gf_pathFromUtf8(fileName);
    if (!gf_writeApf(record, target, ApfWriteMode::full, metaSimCode.load())) {
        gf_appendScanMessage(fmt::format("{}Generating {} did not succeed", "===> ", gf_pathToUtf8(target)));
        return;
    }
    airportFilesChanged = true;
}

void lf_checkScanFolders(const std::vector<fs::path>& folders) {
    for (const fs::path& folder : folders) {
        if (folder.empty())
            continue;
        std::error_code ec;
        const fs::file_status status = fs::status(folder, ec);
        if (ec && status.type() != fs::file_type::not_found)
            throw fs::filesystem_error("status", folder, ec);
        if (!fs::exists(status)) {
            gf_showMessage(gf_pathToUtf8(folder) + " does not exist, skipped!", true);
            continue;
        }
        if (!fs::is_directory(status)) {
            gf_showMessage(gf_pathToUtf8(folder) + " is not a folder name, skipped!", true);
            continue;
        }
        lf_scanAirportFolder(folder);
    }
}

AirportScanOutcome lf_scanAirports(const std::vector<fs::path>& folders) {
    gf_logLine(
        fmt::format("The scan will search {} folder{}", folders.size(), gf_pluralSuffix(folders.size())));
    gf_flushLog();
    std::error_code ec;
    fs::remove(airportsScanLogFile, ec);
    if (ec) {
        gf_logLine("problems with removing previous files (maybe still open?): " + ec.message());
        gf_flushLog();
    }
    tbloCount = 0;
    {
        std::lock_guard lock(scanMessageMutex);
        scanMessages.clear();
        scanMessages.reserve(scanMessageReserve);
    }
    lf_checkScanFolders(folders);
    // A stop ends the walk and the tasks early: the stand files deleted before the walk are not all back.
    const bool complete = !gf_stopping();
    lf_writeScanLog();
    gf_clearMessage();
    {
        std::lock_guard lock(scanMessageMutex);
        scanMessages.clear();
    }
    if (!complete) {
        gf_logLine("Airports scan cut short by a stop: not every add-on airport was scanned, the scan runs "
                   "again at the next start");
        gf_flushLog();
        return {false, airportFilesChanged.load()};
    }
    lf_collectThirdpartyFiles(lf_listXmlStems(myThirdpartyDir));
    const bool changed = airportFilesChanged.load();
    if (changed) {
        gf_logLine("Airports scan successful");
        gf_flushLog();
    }
    return {true, changed};
}

void gf_scanAddonAirports() {
    gf_showMessage("Scanning for addon airports ...");
    gf_logLine(fmt::format("\n++++++++++++++++++++++++ airports scan {} starts +++++++++++++++++++++++++++++",
                           "automatic "));
    gf_flushLog();
    lf_prepareTbloFolder();

    const bool msfs2020 = msfs2020Selected.load();
    std::vector<fs::path> roots;
    roots.reserve(maxScanRoots);
    if (msfs2020)
        lf_addRoot(roots, gf_simPath("Official"));
    lf_addRoot(roots, gf_simPath("Community"));

    // Under MSFS 2024 airports/my_simaddon holds the downloaded add-on package, which the scan keeps.
    if (msfs2020)
        gf_removeFilesFromDirectory(mySimaddonDir);
    gf_removeFilesFromDirectory(myThirdpartyDir);
    // Link files are written without creating folders; both must be there before the first task.
    for (const fs::path& folder : {mySimaddonDir, myThirdpartyDir})
        lf_throwUnlessFolder(folder);

    const AirportScanOutcome outcome = lf_scanAirports(roots);
    if (outcome.complete) {
        if (!outcome.changed)
            gf_showMessage("Warning: Scan has not found any add-on airports", true);
        gf_setCheckSetting(SCAN_AIRPORTS, false);
    }
    gf_invalidateArea(ScreenArea::whole);
    if (tbloCount.load() == 0)
        lf_removeTbloFolder();
    gf_logLine("-------------------------- airports scan ends    ----------------------------\n");
    gf_flushLog();
}

} // namespace kvr
