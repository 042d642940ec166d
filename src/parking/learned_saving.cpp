// Saving what was learned at the park airport into its learned stand file.
#include "core/log.h"
#include "core/native_path.h"
#include "core/shared_state.h"
#include "core/text_util.h"
#include "core/time_util.h"
#include "parking/park_airport.h"
#include "parking/quality_factors.h"
#include "parking/stand_file.h"
#include "parking/stand_learning.h"
#include "parking/static_parking.h"
#include "parking/static_parking_internal.h"

#include <fmt/format.h>

#include <algorithm>
#include <bit>
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

} // namespace

// A learned file is saved where it was looked for when the stand file was read, so that the next visit
// finds it. A save that fails is logged; the learned data stay in memory until the next save.
void lf_saveLearnedAirports() {
    const std::filesystem::path& path = parkAirportFileInfo.learnedPath;
    bool saved = false;
    try {
        ApfRecord record;
        record.code = currentParkAirport.code;
        record.airportName = parkAirportFileInfo.airportName;
        record.publisher = parkAirportFileInfo.publisher;
        record.altitude = parkAirportFileInfo.altitude;
        record.stands = lf_learnedStands();
        if (handmadeApf) {
            qualityFactors = gf_computeQualityFactors();
            record.qfReal = qualityFactors.first;
            record.qfSoft = qualityFactors.second;
        }
        if (path.empty())
            gf_logLine(fmt::format("no learned file for '{}'", parkAirportFileInfo.fileName));
        else
            saved = gf_writeApf(record, path, ApfWriteMode::learned, metaSimCode.load());
    } catch (const std::exception& e) {
        gf_logError(fmt::format("{}: {}", "lf_saveLearnedAirports", e.what()));
    }
    if (saved) {
        const int updates = learnedUpdateCount.load();
        gf_logLine(fmt::format("{}{} '{}' saved with {} update{}", gf_nowHms(),
                               handmadeApf ? " handmade" : "", gf_pathToUtf8(path), updates,
                               gf_pluralSuffixInt(updates)));
    } else {
        gf_logLine(fmt::format("{} saving '{}' did not succeed", gf_nowHms(), gf_pathToUtf8(path)));
    }
}

} // namespace kvr
