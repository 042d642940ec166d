// Saving what was learned at the park airport into its learned stand file.
#include "core/file_util.h"
#include "core/log.h"
#include "core/native_path.h"
#include "core/program_version.h"
#include "core/shared_state.h"
#include "core/text_util.h"
#include "core/time_util.h"
#include "parking/learned_file_internal.h"
#include "parking/park_airport.h"
#include "parking/quality_factors.h"
#include "parking/stand_file.h"
#include "parking/stand_file_internal.h"
#include "parking/stand_learning.h"
#include "parking/static_parking.h"
#include "parking/static_parking_internal.h"

#include <fmt/format.h>

#include <algorithm>
#include <bit>
#include <memory>
#include <tuple>

namespace kvr {

namespace {

// Options in the file follow the week: by day, then by the first half-hour, then by aircraft.
bool lf_optionBefore(const StandOption& a, const StandOption& b) {
    return std::forward_as_tuple(a.day, std::countr_zero(a.halfHours), a.registration, a.airline, a.type,
                                 a.callsign) < std::forward_as_tuple(b.day, std::countr_zero(b.halfHours),
                                                                     b.registration, b.airline, b.type,
                                                                     b.callsign);
}

// An option left out of one calculation (its id set to 0 while its aircraft was elsewhere) is still
// learned: every option is written, numbered afresh.
void lf_renumberOptions(Stand& stand) {
    std::uint32_t id = 0;
    for (StandOption& option : stand.options)
        option.aircraftId = ++id;
}

std::vector<Stand> lf_learnedStands() {
    std::vector<Stand> stands;
    stands.reserve(standList.size());
    for (const Stand& stand : standList) {
        Stand copy = stand;
        if (!handmadeApf) {
            std::erase_if(copy.options, [](const StandOption& option) { return option.fromStandFile == 1; });
            std::stable_sort(copy.options.begin(), copy.options.end(), lf_optionBefore);
            if (!copy.manual && copy.options.empty() && !copy.radiusChange && !copy.cargoChange)
                continue;
        }
        lf_renumberOptions(copy);
        stands.push_back(std::move(copy));
    }
    return stands;
}

// Learned files whose saving failed, each with its newest content; the run thread's own.
std::vector<std::unique_ptr<UnsavedLearnedFile>>& lf_unsavedLearnedFiles() {
    static std::vector<std::unique_ptr<UnsavedLearnedFile>> unsaved;
    return unsaved;
}

// Copies the file on disk aside when that is still owed, then writes the content over it. Empty when it
// was written, else why not.
std::string lf_writeUnsaved(UnsavedLearnedFile& file) {
    std::error_code ec;
    if (file.copyOwed && std::filesystem::exists(file.path, ec)) {
        if (!gf_save1GenerationOf(file.path))
            return "its earlier content could not be copied aside first";
        file.copyOwed = false;
    }
    return lf_saveApfDocument(file.document, file.path);
}

void lf_logUnsaved(const UnsavedLearnedFile& file, const std::string& reason, LearnedSaving saving) {
    if (saving == LearnedSaving::atClosingDown) {
        gf_logError(fmt::format("learned file '{}' could not be saved at closing down: {}; what was learned "
                                "there since its last saving is lost when {} ends",
                                gf_pathToUtf8(file.path), reason, programShortName));
        return;
    }
    gf_logError(fmt::format("learned file '{}' not written: {}; what was learned stays in memory and is "
                            "saved at the next unloading of a park airport or at closing down",
                            gf_pathToUtf8(file.path), reason));
}

} // namespace

const UnsavedLearnedFile* lf_findUnsavedLearnedFile(const std::filesystem::path& path) {
    for (const auto& file : lf_unsavedLearnedFiles())
        if (file->path == path)
            return file.get();
    return nullptr;
}

void lf_discardUnsavedLearnedFiles() {
    lf_unsavedLearnedFiles().clear();
}

void gf_saveUnsavedLearnedFiles(LearnedSaving saving) {
    auto& unsaved = lf_unsavedLearnedFiles();
    std::erase_if(unsaved, [saving](const std::unique_ptr<UnsavedLearnedFile>& file) {
        const std::string reason = lf_writeUnsaved(*file);
        if (reason.empty())
            gf_logLine(fmt::format("{} '{}' saved at last", gf_nowHms(), gf_pathToUtf8(file->path)));
        else
            lf_logUnsaved(*file, reason, saving);
        return reason.empty();
    });
}

// A learned file is saved where it was looked for when the stand file was read, so that the next visit
// finds it. A save that fails is logged and its content kept, to be read at the next visit and written
// at the next saving.
void lf_saveLearnedAirports(LearnedSaving saving) {
    const std::filesystem::path& path = parkAirportFileInfo.learnedPath;
    std::unique_ptr<UnsavedLearnedFile> file;
    std::string reason;
    try {
        ApfRecord record;
        record.code = currentParkAirport.code;
        record.airportName = parkAirportFileInfo.airportName;
        record.publisher = parkAirportFileInfo.publisher;
        record.altitude = parkAirportFileInfo.altitude;
        record.stands = lf_learnedStands();
        record.keptParkpos = parkAirportFileInfo.keptParkpos;
        if (handmadeApf) {
            qualityFactors = gf_computeQualityFactors();
            record.qfReal = qualityFactors.first;
            record.qfSoft = qualityFactors.second;
        }
        if (path.empty()) {
            gf_logLine(fmt::format("no learned file for '{}'", parkAirportFileInfo.fileName));
            reason = "no path";
        } else {
            file = std::make_unique<UnsavedLearnedFile>();
            file->path = path;
            file->copyOwed = parkAirportFileInfo.learnedCopyOwed;
            if (!lf_buildApfDocument(file->document, record, ApfWriteMode::learned, metaSimCode.load()))
                reason = "the document could not be built";
        }
    } catch (const std::exception& e) {
        gf_logError(fmt::format("{}: {}", "lf_saveLearnedAirports", e.what()));
        reason = e.what();
    }
    const bool built = file && reason.empty();
    auto& unsaved = lf_unsavedLearnedFiles();
    // What an earlier failed saving kept for this file was read at this visit and is part of the new content.
    if (built)
        std::erase_if(unsaved,
                      [&](const std::unique_ptr<UnsavedLearnedFile>& kept) { return kept->path == path; });
    gf_saveUnsavedLearnedFiles(saving);
    if (built)
        reason = lf_writeUnsaved(*file);
    if (reason.empty()) {
        const int updates = learnedUpdateCount.load();
        gf_logLine(fmt::format("{}{} '{}' saved with {} update{}", gf_nowHms(),
                               handmadeApf ? " handmade" : "", gf_pathToUtf8(path), updates,
                               gf_pluralSuffixInt(updates)));
        return;
    }
    gf_logLine(fmt::format("{} saving '{}' did not succeed", gf_nowHms(), gf_pathToUtf8(path)));
    if (built) {
        lf_logUnsaved(*file, reason, saving);
        unsaved.push_back(std::move(file));
    }
}

} // namespace kvr
