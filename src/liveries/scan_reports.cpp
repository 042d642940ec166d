#include "liveries/scan_reports_internal.h"

#include "core/file_util.h"
#include "core/log.h"
#include "core/native_path.h"
#include "core/text_util.h"
#include "liveries/livery_data.h"
#include "liveries/livery_paths.h"
#include "liveries/scan_report_lists.h"
#include "refdata/aircraft_dbase.h"

#include <fmt/format.h>

#include <algorithm>

namespace kvr {

namespace fs = std::filesystem;

namespace {

// Corrections made from the data base's registrations; run thread only.
std::vector<std::string> conversionLines;

std::vector<std::string> lf_sortedLines(const ScanReportList& list) {
    std::vector<std::string> lines = list.lines();
    std::sort(lines.begin(), lines.end());
    return lines;
}

// One level only: output exists from start-up on.
void lf_makeErrorsFolder() {
    if (!fs::exists(liveryPaths.errorsFolder))
        fs::create_directory(liveryPaths.errorsFolder);
}

const char* lf_flagText(bool flag) {
    return flag ? "true" : "false";
}

} // namespace

ScanReportPaths lf_scanReportPaths() {
    const fs::path& errors = liveryPaths.errorsFolder;
    const fs::path& info = liveryPaths.infoFolder;
    return ScanReportPaths{errors / "InvalidAirlineCodes.txt",
                           errors / "InvalidAircraftCodes.txt",
                           errors / "Fixes.txt",
                           errors / "InvalidAircraftCfgFiles.txt",
                           errors / "IncompleFltsimSections.txt",
                           info / "AircraftCfgWithNoFltsimSection.txt",
                           info / "AirlineModelConversions.txt"};
}

void lf_removeScanFiles() {
    const ScanReportPaths paths = lf_scanReportPaths();
    try {
        // The catalogue is not among them: a scan that is stopped or finds nothing must leave the next
        // start-up a catalogue to read, and a complete new one replaces it in one step.
        for (const fs::path* file : std::initializer_list<const fs::path*>{
                 &paths.cfgWithoutFltsim, &liveryPaths.inlineRegcodes, &paths.invalidAirlineCodes,
                 &paths.invalidAircraftCodes, &paths.fixes, &paths.invalidAircraftCfgFiles,
                 &paths.incompleteSections})
            fs::remove(*file);
        // Fails while the user keeps files of his own there; the folder then simply stays.
        fs::remove(liveryPaths.errorsFolder);
    } catch (const std::exception& error) {
        gf_logLine(fmt::format("problems with removing previous files: {}", error.what()));
    }
}

void lf_logConversions() {
    for (LiveryData& livery : scannedLiveries) {
        if (livery.atcid.empty())
            continue;
        const auto record = gf_lookupRegistration(livery.atcid);
        if (!record)
            continue;
        if (livery.cargo != record->cargo) {
            conversionLines.push_back(fmt::format("{:80} {} cargo {} => {}", livery.title, livery.atcid,
                                                  lf_flagText(livery.cargo), lf_flagText(record->cargo)));
            livery.cargo = record->cargo;
        }
        // A record without an airline or a type has nothing to correct with.
        const std::string& airline = record->operatorCode.empty() ? record->airline : record->operatorCode;
        if (!airline.empty() && livery.airl != airline) {
            conversionLines.push_back(
                fmt::format("{:80} {} airl {} => {}", livery.title, livery.atcid, livery.airl, airline));
            livery.airl = airline;
        }
        if (!record->type.empty() && livery.type != record->type) {
            conversionLines.push_back(fmt::format("{:80} {} model {} => {}", livery.title, livery.atcid,
                                                  livery.type, record->type));
            livery.type = record->type;
        }
    }
}

const std::vector<std::string>& lf_conversionLines() {
    return conversionLines;
}

void lf_clearConversionLines() {
    conversionLines.clear();
}

void lf_writeFixesFile() {
    const fs::path path = lf_scanReportPaths().fixes;
    try {
        fs::create_directories(liveryPaths.errorsFolder);
        gf_writeLines(modelFixesList.lines(), path);
    } catch (const std::exception& error) {
        gf_logLine(fmt::format("Error writing file {}: {}", gf_pathToUtf8(path), error.what()));
    }
}

void lf_writeScanReports() {
    const ScanReportPaths paths = lf_scanReportPaths();
    const bool noErrors = invalidAirlineCodesList.empty() && invalidModelCodesList.empty() &&
                          modelFixesList.empty() && invalidCfgFilesList.empty() &&
                          incompleteSectionsList.empty();
    gf_logLine(noErrors ? "\nNo errors" : "\nErrors:");

    if (!invalidAirlineCodesList.empty()) {
        const auto lines = lf_sortedLines(invalidAirlineCodesList);
        lf_makeErrorsFolder();
        gf_writeLines(lines, paths.invalidAirlineCodes);
        gf_logLine(fmt::format("{} invalid airline code{}, see {}", lines.size(),
                               gf_pluralSuffix(lines.size()), gf_pathToUtf8(paths.invalidAirlineCodes)));
    }
    if (!invalidModelCodesList.empty()) {
        const auto lines = lf_sortedLines(invalidModelCodesList);
        lf_makeErrorsFolder();
        gf_writeLines(lines, paths.invalidAircraftCodes);
        gf_logLine(fmt::format("{} invalid model code{}, see {}", lines.size(), gf_pluralSuffix(lines.size()),
                               gf_pathToUtf8(paths.invalidAircraftCodes)));
    }
    if (!modelFixesList.empty()) {
        lf_writeFixesFile();
        gf_logLine(fmt::format("{} code fixes, see {}", modelFixesList.size(), gf_pathToUtf8(paths.fixes)));
    }
    if (!invalidCfgFilesList.empty()) {
        const auto lines = lf_sortedLines(invalidCfgFilesList);
        lf_makeErrorsFolder();
        gf_writeLines(lines, paths.invalidAircraftCfgFiles);
        gf_logLine(fmt::format("{} invalid aircraft.cfg files, see {}", lines.size(),
                               gf_pathToUtf8(paths.invalidAircraftCfgFiles)));
    }
    if (!incompleteSectionsList.empty()) {
        auto lines = lf_sortedLines(incompleteSectionsList);
        const std::size_t recorded = lines.size();
        lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
        lf_makeErrorsFolder();
        gf_writeLines(lines, paths.incompleteSections);
        gf_logLine(fmt::format("{} incomplete [fltsim.x] sections, see {}", recorded,
                               gf_pathToUtf8(paths.incompleteSections)));
    }

    gf_logLine("\nInformation:");
    if (!emptyCfgFilesList.empty()) {
        const auto lines = lf_sortedLines(emptyCfgFilesList);
        gf_writeLines(lines, paths.cfgWithoutFltsim);
        gf_logLine(fmt::format("{} empty aircraft.cfg files, see {}", lines.size(),
                               gf_pathToUtf8(paths.cfgWithoutFltsim)));
    }
    if (!conversionLines.empty()) {
        gf_writeLines(conversionLines, paths.conversions);
        gf_logLine(fmt::format("{} liveries updated with real live data from dbase, see {}",
                               conversionLines.size(), gf_pathToUtf8(paths.conversions)));
    }
}

} // namespace kvr
