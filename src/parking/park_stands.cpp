#include "parking/park_stands.h"

#include "core/file_util.h"
#include "core/geodesy.h"
#include "core/log.h"
#include "core/meta_info.h"
#include "core/native_path.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "core/user_error.h"
#include "core/xml_util.h"
#include "parking/learned_file_internal.h"
#include "parking/park_airport.h"
#include "parking/parking_hooks.h"
#include "parking/quality_factors.h"
#include "parking/quality_factors_internal.h"
#include "parking/stand_file_internal.h"
#include "parking/stand_lookup.h"
#include "parking/stand_lookup_internal.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>
#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <numeric>

namespace kvr {

std::atomic<bool> parkAirportLoaded{false};
std::int32_t rtTrafficWeek = 0;

namespace {

const std::filesystem::path parkAirportFile = airportsDir / "park_airport.xml";
const std::filesystem::path destinationFile = airportsDir / "airport.xml";

bool lf_isLocalPath(const std::string& path) {
    return path.compare(0, 8, "airports") == 0;
}

// Without a learned file the park settings follow what the stand file says of its stand use: little
// real use but assumed use known favours soft options over the whole week; much real use needs neither.
void lf_switchParkSettingsByQuality() {
    const auto [real, soft] = qualityFactors;
    if (real <= 2 && soft >= 1) {
        PARK_SOFT.setValue(true);
        gf_showCheckMark(PARK_SOFT);
        WEEK.setValue(true);
        gf_showCheckMark(WEEK);
        MAX_FIT_FL.setValue(24.0f);
        if (const auto index = MAX_FIT_FL.choiceIndexOf(24.0f))
            gf_selectComboIndex(MAX_FIT_FL, *index);
    } else if (real >= 46) {
        PARK_SOFT.setValue(false);
        gf_showCheckMark(PARK_SOFT);
        WEEK.setValue(false);
        gf_showCheckMark(WEEK);
    }
}

void lf_parkingPercentageByStockStands() {
    const auto airport = gf_findAirport(currentParkAirport.code);
    const std::int32_t stockStands = airport ? airport->stands : 0;
    parking_percentage.setValue(stockStands == 1 ? 100 : stockStands == 2 ? 50 : 30);
    gf_logIndented(fmt::format("{:24}: {}%", parking_percentage.name(), parking_percentage.value()));
    if (const auto index = parking_percentage.choiceIndexOf(parking_percentage.value()))
        gf_selectComboIndex(parking_percentage, *index);
    gf_enableControl(parking_percentage);
}

// Stands overlap when their circles, widened by a tenth of their distance, meet. Each pair is looked for
// from its larger stand only, within 2 x radius / 1.1 of it along one axis of the earth-centred frame:
// no coordinate differs by more than the chord, and no chord is longer than the great circle. The axis is
// the one along which the stands spread most, so that a row of stands on one parallel or one meridian,
// or one stand of a huge radius, costs a sort and a look at each stand's neighbours, not every pair.
void lf_findOverlaps() {
    const std::size_t count = standList.size();
    if (count == 0)
        return;
    const double radiusNm = earthRadiusMetres / metresPerNauticalMile;
    std::vector<std::array<double, 3>> points(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double phi = standList[i].latitude * std::numbers::pi / 180.0;
        const double lambda = standList[i].longitude * std::numbers::pi / 180.0;
        points[i] = {radiusNm * std::cos(phi) * std::cos(lambda), radiusNm * std::cos(phi) * std::sin(lambda),
                     radiusNm * std::sin(phi)};
    }
    std::size_t axis = 0;
    double widest = -1.0;
    for (std::size_t k = 0; k < 3; ++k) {
        const auto [low, high] = std::minmax_element(
            points.begin(), points.end(), [k](const auto& a, const auto& b) { return a[k] < b[k]; });
        if ((*high)[k] - (*low)[k] > widest) {
            widest = (*high)[k] - (*low)[k];
            axis = k;
        }
    }
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return points[a][axis] < points[b][axis]; });
    std::vector<double> coordinates(count);
    for (std::size_t i = 0; i < count; ++i)
        coordinates[i] = points[order[i]][axis];

    // The larger of two stands: by radius, then by place in the list.
    const auto larger = [](std::size_t a, std::size_t b) {
        return standList[a].radius > standList[b].radius ||
               (standList[a].radius == standList[b].radius && a > b);
    };
    for (std::size_t a = 0; a < count; ++a) {
        Stand& stand = standList[a];
        const double reach = 2.0 * stand.radius / 1.1 * (1.0 + 1e-9) + 1e-9;
        const double centre = points[a][axis];
        const auto first = std::lower_bound(coordinates.begin(), coordinates.end(), centre - reach);
        const auto last = std::upper_bound(coordinates.begin(), coordinates.end(), centre + reach);
        for (auto it = first; it != last; ++it) {
            const std::size_t b = order[static_cast<std::size_t>(it - coordinates.begin())];
            if (b == a || !larger(a, b))
                continue;
            Stand& other = standList[b];
            if (stand.radius + other.radius >
                1.1 * gf_distanceNm(stand.latitude, stand.longitude, other.latitude, other.longitude)) {
                stand.overlapping.push_back(other.number);
                other.overlapping.push_back(stand.number);
            }
        }
    }
    for (Stand& stand : standList) {
        std::sort(stand.overlapping.begin(), stand.overlapping.end());
        stand.overlapping.shrink_to_fit();
    }
}

std::string lf_readApf(const std::string& path, ParkAirportFileInfo& info) {
    std::filesystem::path file = gf_pathFromUtf8(path);
    if (!lf_isLocalPath(path)) {
        if (std::string error = lf_downloadApf(path, parkAirportFile); !error.empty())
            return error;
        file = parkAirportFile;
    }
    handmadeApf = false;
    pugi::xml_document doc;
    if (!doc.load_file(file.c_str()))
        return fmt::format("{}: could not load file: {}", path, gf_pathToUtf8(file));
    if (!gf_readFileMetaInfo(doc, MetaVariant::standFile).accepted)
        return fmt::format("{}: refused to load", path);

    rtTrafficWeek = gf_readParameterValue(doc, "RT_traffic_week").value_or(0);
    info.publisher = gf_findParameterValue(doc, "publisher").value_or("");
    const auto altitude = gf_readParameterValue(doc, "altitude");
    if (!altitude)
        throw UserErrorException(65, "Parameter altitude not found");
    info.altitude = *altitude;
    currentParkAirport.altitude = *altitude;
    info.airportName = gf_findParameterValue(doc, "airport_name").value_or("");

    lf_readParkpositions(doc);
    const auto qfReal = gf_readParameterValue(doc, "Qf_real");
    const auto qfSoft = gf_readParameterValue(doc, "Qf_soft");
    // A file without factors starts from nothing known rather than from the previous airport's factors.
    qualityFactors = qfReal && qfSoft ? QualityFactorPair{*qfReal, *qfSoft} : QualityFactorPair{0, 0};

    airportParameterSnapshot = lf_currentAirportParameters();
    const std::filesystem::path learned = lf_learnedApfPath(path, info.publisher);
    info.learnedPath = learned;
    std::error_code ec;
    if (!learned.empty() && (std::filesystem::exists(learned, ec) || lf_findUnsavedLearnedFile(learned))) {
        lf_readLearned(learned, info);
        qualityFactors = gf_computeQualityFactors();
        if (handmadeApf)
            gf_logLine("A handmade airport file overruled the archived file!");
    } else {
        gf_logLine("learned does not exist");
        gf_flushLog();
        lf_switchParkSettingsByQuality();
        lf_parkingPercentageByStockStands();
    }

    statusDisplay.standCount = static_cast<unsigned>(standList.size());
    gf_invalidateArea(ScreenArea::whole);
    std::uint32_t number = 0;
    for (Stand& stand : standList)
        stand.number = ++number;
    lf_findOverlaps();

    info.fileName = handmadeApf ? gf_pathToUtf8(learned) : path;
    gf_logLine(fmt::format("Airport file read from '{}' for {}", info.fileName, info.airportName));
    statusDisplay.changeTexts([&info](StatusTexts& texts) { texts.publisherText = info.publisher; });
    statusDisplay.handmadeStandFile = handmadeApf;
    gf_invalidateArea(ScreenArea::statusPane);

    const std::string qualityText = lf_formatQualityFactors();
    gf_logIndented(fmt::format("{:24}: {}", "publisher", info.publisher));
    gf_logIndented(fmt::format("{:24}: {} ft", "altitude", info.altitude));
    gf_logIndented(fmt::format("{:24}: {}", "num_parkpos", standList.size()));
    gf_logIndented(fmt::format("{:24}: {}", "quality factor", qualityText));
    gf_logIndented(fmt::format("{:24}: {}", "RT traffic week", rtTrafficWeek));

    statusDisplay.changeTexts([&qualityText](StatusTexts& texts) { texts.qualityFactorText = qualityText; });
    gf_invalidateArea(ScreenArea::statusPane);
    parkAirportLoaded = true;
    gf_enableControl(flushStaticButton);

    if (const auto& setAltitude = gf_parkingHooks().setGroundReferenceAltitude)
        setAltitude(currentParkAirport.code.empty() ? std::nullopt
                                                    : std::optional<double>(currentParkAirport.altitude));
    gf_invalidateArea(ScreenArea::whole);
    return standList.empty() ? "no stands found" : "";
}

// The scratch copy of a downloaded stand file goes whatever the lookup found.
struct DestinationFileRemover {
    ~DestinationFileRemover() { gf_removeFileWarn(destinationFile); }
};

} // namespace

std::string gf_readApf(const std::string& path, ParkAirportFileInfo& info) {
    if (path.empty())
        return fmt::format("{}: xml is empty", "gf_readApf");
    if (currentParkAirport.code.empty())
        return fmt::format("{}: no park airport set", "gf_readApf");
    try {
        return lf_readApf(path, info);
    } catch (const UserErrorException&) {
        throw;
    } catch (const std::exception& e) {
        return fmt::format("{}: {}", "gf_readApf", e.what());
    }
}

double gf_readDestApfForClosestStand(const std::string& code, double latitude, double longitude,
                                     std::string& standId) {
    try {
        const std::string path = gf_findArchivedStockApf(code);
        if (path.empty())
            return 100.0;
        std::filesystem::path file = gf_pathFromUtf8(path);
        std::optional<DestinationFileRemover> remover;
        if (!lf_isLocalPath(path)) {
            remover.emplace();
            if (!lf_downloadApf(path, destinationFile).empty())
                return 100.0;
            file = destinationFile;
        }
        pugi::xml_document doc;
        if (!doc.load_file(file.c_str()))
            return 100.0;
        // Files this program writes keep their stands under root; others may have them at the top.
        pugi::xml_node parkpositions = doc.child("root").child("parkpositions");
        if (!parkpositions)
            parkpositions = doc.child("parkpositions");
        double best = 100.0;
        for (pugi::xml_node parkpos : parkpositions.children("parkpos")) {
            const double distance =
                gf_distanceNm(latitude, longitude, parkpos.attribute("latitude").as_double(),
                              parkpos.attribute("longitude").as_double());
            if (distance < best) {
                best = distance;
                standId = parkpos.attribute("id").value();
            }
        }
        return best;
    } catch (const std::exception& e) {
        gf_logError(fmt::format("{}: {}", "gf_readDestApfForClosestStand", e.what()));
        return 100.0;
    }
}

} // namespace kvr
