#include "core/day_time.h"
#include "core/file_util.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/meta_info.h"
#include "core/xml_util.h"
#include "parking/learned_file_internal.h"
#include "parking/stand_file_internal.h"
#include "refdata/version_data.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

namespace kvr {

const std::filesystem::path learnedDir = airportsDir / "learned";
const std::filesystem::path myThirdpartyDir = airportsDir / "my_thirdparty";
const std::filesystem::path mySimaddonDir = airportsDir / "my_simaddon";

namespace {

// Options learned by older versions were recorded under other rules and are not kept.
constexpr VersionData firstVersionWithKeptOptions{11, 10, 0};

pugi::xml_node lf_parkpositionsOf(const pugi::xml_document& doc) {
    pugi::xml_node parkpositions = doc.child("root").child("parkpositions");
    return parkpositions ? parkpositions : doc.child("parkpositions");
}

void lf_addManualStand(const std::string& id, pugi::xml_node parkpos, const std::string& path) {
    const bool exists =
        std::any_of(standList.begin(), standList.end(), [&id](const Stand& s) { return s.id == id; });
    if (exists) {
        gf_logError(fmt::format("manually created standid {} already exists in {}", id, path));
        return;
    }
    const double latitude = parkpos.attribute("latitude").as_double(0.0);
    const double longitude = parkpos.attribute("longitude").as_double(0.0);
    const double radius = parkpos.attribute("radius").as_double(0.0);
    if ((std::fabs(latitude) <= 0.0001 && std::fabs(longitude) <= 0.0001) || radius == 0.0 ||
        !std::isfinite(latitude) || !std::isfinite(longitude)) {
        gf_logError(fmt::format("manually created standid {} misses correct attributes in {}", id, path));
        return;
    }
    lf_readParkpos(parkpos, id, 0);
    standList.back().manual = true;
}

void lf_mergeStands(const pugi::xml_document& doc, bool older, const std::string& path) {
    for (pugi::xml_node parkpos : lf_parkpositionsOf(doc).children("parkpos")) {
        const std::string id = parkpos.attribute("id").value();
        if (parkpos.attribute("manual").as_bool(false)) {
            lf_addManualStand(id, parkpos, path);
            continue;
        }
        const bool merged = std::any_of(standList.begin(), standList.end(), [&](Stand& stand) {
            return lf_mergeLearnedParkpos(id, parkpos, older, stand);
        });
        if (!merged)
            gf_logLine(fmt::format("learned stand {} in {} not found?", id, path));
    }
}

// A handmade file replaces the stand file's stands. One that cannot be read leaves them in place and is
// copied aside first, since the learned file is written back over it when the airport is given up.
void lf_replaceByHandmadeStands(const pugi::xml_document& doc, const std::filesystem::path& path) {
    std::vector<Stand> standFileStands = std::move(standList);
    standList.clear();
    try {
        lf_readParkpositions(doc);
    } catch (const std::exception&) {
        standList = std::move(standFileStands);
        gf_save1GenerationOf(path);
        throw;
    }
    handmadeApf = true;
}

} // namespace

bool lf_sameOption(const StandOption& a, const StandOption& b) {
    return a.day == b.day && a.real == b.real && a.registration == b.registration && a.airline == b.airline &&
           a.type == b.type && (a.halfHours & b.halfHours) != 0;
}

bool lf_mergeLearnedParkpos(const std::string& id, pugi::xml_node parkpos, bool older, Stand& stand) {
    if (stand.id != id)
        return false;
    if (parkpos.attribute("radius_change").as_bool(false)) {
        stand.radius = parkpos.attribute("radius").as_double(0.0) * standMetresToNm;
        stand.radiusChange = true;
    }
    if (parkpos.attribute("cargo_change").as_bool(false)) {
        stand.cargo = parkpos.attribute("cargo").as_bool(false);
        stand.cargoChange = true;
    }
    if (older)
        return true;
    std::uint32_t nextId = stand.options.empty() ? 1 : stand.options.back().aircraftId + 1;
    for (pugi::xml_node opt : parkpos.children("opt")) {
        OptIdentity identity = lf_readOptIdentity(opt);
        const std::uint64_t halfHours = gf_hours2bitset(opt.attribute("hh").value()).to_ullong();
        if (halfHours == 0) {
            gf_logError("empty bit set");
            continue;
        }
        StandOption option;
        option.airline = std::move(identity.airline);
        option.type = std::move(identity.type);
        option.registration = opt.attribute("reg").value();
        option.callsign = std::move(identity.callsign);
        option.callsign2 = std::move(identity.callsign2);
        option.halfHours = halfHours;
        option.aircraftId = nextId;
        option.day = static_cast<std::uint32_t>(opt.attribute("day").as_int(0));
        option.fromStandFile = 0;
        option.real = opt.attribute("soft").as_bool(false) ? 0 : 1;
        option.coupled = opt.attribute("cpl").as_bool(false);
        const bool known = std::any_of(stand.options.begin(), stand.options.end(),
                                       [&option](const StandOption& o) { return lf_sameOption(option, o); });
        if (known)
            continue;
        stand.options.push_back(std::move(option));
        ++nextId;
    }
    return true;
}

void lf_readLearned(const std::filesystem::path& path, const ParkAirportFileInfo& info) {
    const std::string pathText = path.string();
    try {
        pugi::xml_document doc;
        const pugi::xml_parse_result loaded = doc.load_file(path.c_str());
        if (!loaded) {
            gf_save1GenerationOf(path);
            gf_logError(fmt::format("{} found, but could not be loaded, saved as *.0.xml: {}", pathText,
                                    loaded.description()));
            return;
        }
        gf_logLine(fmt::format("Read from learned airport file: '{}'", pathText));
        gf_flushLog();

        const auto meta = gf_readFileMetaInfo(doc, MetaVariant::learnedFile);
        if (!meta.accepted)
            return;
        const bool older =
            VersionData::fromText(meta.version).value_or(VersionData{}) < firstVersionWithKeptOptions;
        if (older)
            gf_logLine("\nThis learned file was created with and older Vantrel version than 11.10.0,\n"
                       "All flights will be cleared, except for a handmade file\n");

        const std::string learnedName = gf_findParameterValue(doc, "airport_name").value_or("");
        if (learnedName != info.airportName)
            gf_showMessage(fmt::format("Warning: learned file airport name: '{}' differs from archived file "
                                       "airport name: '{}'",
                                       learnedName, info.airportName),
                           true);

        lf_applyLearnedParameters(doc);

        if (const auto handmade = gf_findParameterValue(doc, "handmade")) {
            lf_replaceByHandmadeStands(doc, path);
            gf_logIndented(fmt::format("{:24}: {}", "handmade", *handmade));
            return;
        }
        handmadeApf = false;
        lf_mergeStands(doc, older, pathText);
    } catch (const std::exception& e) {
        gf_logLine(fmt::format("{}: {}", "lf_readLearned", e.what()));
    }
}

} // namespace kvr
