#include "core/day_time.h"
#include "core/file_util.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/meta_info.h"
#include "core/native_path.h"
#include "core/xml_util.h"
#include "parking/learned_file_internal.h"
#include "parking/stand_file_internal.h"
#include "refdata/version_data.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

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

// What the options of one stand already cover, by aircraft and kind: the union of their half-hour sets.
// A new option is the same as a known one exactly when it shares a slot with that union.
class KnownOptions {
public:
    explicit KnownOptions(const Stand& stand) {
        for (const StandOption& option : stand.options)
            add(option);
    }
    bool knows(const StandOption& option) const {
        const auto found = slots_.find(keyOf(option));
        return found != slots_.end() && (found->second & option.halfHours) != 0;
    }
    void add(const StandOption& option) { slots_[keyOf(option)] |= option.halfHours; }

private:
    using Key = std::tuple<std::uint32_t, std::uint32_t, std::string, std::string, std::string>;
    static Key keyOf(const StandOption& o) { return {o.day, o.real, o.registration, o.airline, o.type}; }
    std::map<Key, std::uint64_t> slots_;
};

bool lf_mergeInto(const std::string& id, pugi::xml_node parkpos, bool older, Stand& stand,
                  KnownOptions& known);

// The stands of the stand file by id (the first of equal ids), and what each already knows, built as the
// learned parkpos elements reach them; beside them the ids of the manual stands taken so far. A learned
// parkpos that is not manual merges into a stand of the stand file only: were manual stands merge targets,
// the outcome would hang on the order of the elements, which the saving does not keep (the parkpos elements
// that gave no stand are written after the stands), and the file would read back otherwise.
class StandsById {
public:
    StandsById() {
        for (std::size_t i = 0; i < standList.size(); ++i)
            index_.emplace(standList[i].id, i);
    }
    bool holds(const std::string& id) const { return index_.contains(id) || manualIds_.contains(id); }
    void addLast() { manualIds_.insert(standList.back().id); }
    bool merge(const std::string& id, pugi::xml_node parkpos, bool older) {
        const auto found = index_.find(id);
        if (found == index_.end())
            return false;
        Stand& stand = standList[found->second];
        auto known = known_.find(found->second);
        if (known == known_.end())
            known = known_.emplace(found->second, KnownOptions(stand)).first;
        return lf_mergeInto(id, parkpos, older, stand, known->second);
    }

private:
    std::unordered_map<std::string, std::size_t> index_;
    std::unordered_set<std::string> manualIds_;
    std::unordered_map<std::size_t, KnownOptions> known_;
};

// A manual stand that gives no stand is kept as read (false).
bool lf_addManualStand(const std::string& id, pugi::xml_node parkpos, const std::string& path,
                       StandsById& stands) {
    if (stands.holds(id)) {
        gf_logError(fmt::format("manually created standid {} already exists in {}", id, path));
        return false;
    }
    // Judged as the file is saved (six decimals for the position, one for the radius), or a stand taken
    // now would be refused when the saved file is read.
    const auto asWritten = [&parkpos](const char* name, int decimals) {
        const double value = parkpos.attribute(name).as_double(0.0);
        return std::strtod(fmt::format("{:.{}f}", value, decimals).c_str(), nullptr);
    };
    const double latitude = asWritten("latitude", 6);
    const double longitude = asWritten("longitude", 6);
    const double radius = asWritten("radius", 1);
    if ((std::fabs(latitude) <= 0.0001 && std::fabs(longitude) <= 0.0001) || radius == 0.0 ||
        !std::isfinite(latitude) || !std::isfinite(longitude)) {
        gf_logError(fmt::format("manually created standid {} misses correct attributes in {}", id, path));
        return false;
    }
    if (!lf_readParkpos(parkpos, id, 0))
        return false;
    standList.back().manual = true;
    stands.addLast();
    return true;
}

// What was learned at a stand the stand file no longer gives (or gives in a form the reader refuses) is
// still the user's: it is written back as it was read.
void lf_mergeStands(const pugi::xml_document& doc, bool older, const std::string& path,
                    ParkAirportFileInfo& info) {
    StandsById stands;
    for (pugi::xml_node parkpos : lf_parkpositionsOf(doc).children("parkpos")) {
        const std::string id = parkpos.attribute("id").value();
        if (parkpos.attribute("manual").as_bool(false)) {
            if (!lf_addManualStand(id, parkpos, path, stands))
                info.keptParkpos.push_back(lf_elementText(parkpos));
            continue;
        }
        if (!stands.merge(id, parkpos, older)) {
            gf_logLine(fmt::format("learned stand {} in {} not found?", id, path));
            info.keptParkpos.push_back(lf_elementText(parkpos));
        }
    }
}

bool lf_mergeInto(const std::string& id, pugi::xml_node parkpos, bool older, Stand& stand,
                  KnownOptions& known) {
    if (stand.id != id)
        return false;
    if (parkpos.attribute("radius_change").as_bool(false)) {
        const double radiusMetres = parkpos.attribute("radius").as_double(0.0);
        if (lf_isUsableRadius(radiusMetres)) {
            stand.radius = radiusMetres * standMetresToNm;
            stand.radiusChange = true;
        } else {
            gf_logError(fmt::format("learned radius '{}' of stand {} is out of range, not used",
                                    parkpos.attribute("radius").value(), id));
        }
    }
    if (parkpos.attribute("cargo_change").as_bool(false)) {
        stand.cargo = parkpos.attribute("cargo").as_bool(false);
        stand.cargoChange = true;
    }
    if (older)
        return true;
    std::uint32_t nextId = stand.options.empty() ? 1 : stand.options.back().aircraftId + 1;
    for (pugi::xml_node opt : parkpos.children("opt")) {
        const std::uint64_t halfHours = gf_hours2bitset(opt.attribute("hh").value()).to_ullong();
        if (halfHours == 0) {
            gf_logError("empty bit set");
            continue;
        }
        // A weekday outside 1..7 is used by no fit and would not read back as itself.
        const int day = opt.attribute("day").as_int(0);
        if (day < 1 || day > 7) {
            gf_logError(fmt::format("learned option of stand {} with day '{}' skipped", id,
                                    opt.attribute("day").value()));
            continue;
        }
        OptIdentity identity = lf_readOptIdentity(opt);
        StandOption option;
        option.airline = std::move(identity.airline);
        option.type = std::move(identity.type);
        option.registration = opt.attribute("reg").value();
        option.callsign = std::move(identity.callsign);
        option.callsign2 = std::move(identity.callsign2);
        option.halfHours = halfHours;
        option.aircraftId = nextId;
        option.day = static_cast<std::uint32_t>(day);
        option.fromStandFile = 0;
        option.real = opt.attribute("soft").as_bool(false) ? 0 : 1;
        option.coupled = opt.attribute("cpl").as_bool(false);
        if (known.knows(option))
            continue;
        known.add(option);
        stand.options.push_back(std::move(option));
        ++nextId;
    }
    return true;
}

// The learned file is written anew when the airport is given up: what it held is copied aside first.
// When that fails the copy is owed, and the file is not written over until it is made. Returns what
// became of the file, for the log line.
std::string lf_copyAside(const std::filesystem::path& path, ParkAirportFileInfo& info) {
    if (gf_save1GenerationOf(path))
        return "saved as *.0.xml";
    info.learnedCopyOwed = true;
    return "not copied aside, so it is not written over";
}

// A handmade file replaces the stand file's stands. One that cannot be read leaves them in place and is
// copied aside first, since the learned file is written back over it when the airport is given up.
void lf_replaceByHandmadeStands(const pugi::xml_document& doc, const std::filesystem::path& path,
                                ParkAirportFileInfo& info) {
    std::vector<Stand> standFileStands = std::move(standList);
    standList.clear();
    try {
        lf_readParkpositions(doc, &info.keptParkpos);
    } catch (const std::exception&) {
        standList = std::move(standFileStands);
        info.keptParkpos.clear();
        lf_copyAside(path, info);
        throw;
    }
    handmadeApf = true;
}

} // namespace

bool lf_mergeLearnedParkpos(const std::string& id, pugi::xml_node parkpos, bool older, Stand& stand) {
    KnownOptions known(stand);
    return lf_mergeInto(id, parkpos, older, stand, known);
}

void lf_readLearned(const std::filesystem::path& path, ParkAirportFileInfo& info) {
    const std::string pathText = gf_pathToUtf8(path);
    try {
        // Content whose saving failed is newer than the file.
        const UnsavedLearnedFile* unsaved = lf_findUnsavedLearnedFile(path);
        pugi::xml_document loaded;
        if (unsaved) {
            info.learnedCopyOwed = unsaved->copyOwed;
        } else if (const pugi::xml_parse_result result = loaded.load_file(path.c_str()); !result) {
            gf_logError(fmt::format("{} found, but could not be loaded, {}: {}", pathText,
                                    lf_copyAside(path, info), result.description()));
            return;
        }
        const pugi::xml_document& doc = unsaved ? unsaved->document : loaded;
        gf_logLine(fmt::format("Read from learned airport file: '{}'{}", pathText,
                               unsaved ? " (as it was before its saving failed)" : ""));
        gf_flushLog();

        const auto meta = gf_readFileMetaInfo(doc, MetaVariant::learnedFile);
        // A version that does not read as numbers would make every option look old and drop it.
        const auto version = meta.accepted ? VersionData::fromText(meta.version) : std::nullopt;
        if (!version) {
            gf_logError(fmt::format("{} found, but its meta block is missing or has no readable version, {}",
                                    pathText, lf_copyAside(path, info)));
            return;
        }
        const auto handmade = gf_findParameterValue(doc, "handmade");
        const bool older = *version < firstVersionWithKeptOptions;
        if (older) {
            gf_logLine("\nThis learned file was created with and older Vantrel version than 11.10.0,\n"
                       "All flights will be cleared, except for a handmade file\n");
            // The options it drops were still the user's.
            if (!handmade)
                gf_logLine(fmt::format("{} {}", pathText, lf_copyAside(path, info)));
        }

        const std::string learnedName = gf_findParameterValue(doc, "airport_name").value_or("");
        if (learnedName != info.airportName)
            gf_showMessage(fmt::format("Warning: learned file airport name: '{}' differs from archived file "
                                       "airport name: '{}'",
                                       learnedName, info.airportName),
                           true);

        lf_applyLearnedParameters(doc);

        if (handmade) {
            lf_replaceByHandmadeStands(doc, path, info);
            gf_logIndented(fmt::format("{:24}: {}", "handmade", *handmade));
            return;
        }
        handmadeApf = false;
        lf_mergeStands(doc, older, pathText, info);
    } catch (const std::exception& e) {
        gf_logLine(fmt::format("{}: {}", "lf_readLearned", e.what()));
    }
}

} // namespace kvr
