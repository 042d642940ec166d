#include "core/day_time.h"
#include "core/log.h"
#include "core/meta_info.h"
#include "core/program_version.h"
#include "core/xml_util.h"
#include "parking/registered_identity_internal.h"
#include "parking/stand_file_internal.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

#include <cmath>
#include <optional>

namespace kvr {

namespace {

bool lf_appendNumber(pugi::xml_node parameters, const std::string& name, std::int64_t value) {
    return lf_appendParameterElement(parameters, name, fmt::format("{}", value));
}

bool lf_appendAirportSettings(pugi::xml_node parameters) {
    // MAX_FIT itself: the hours of MAX_FIT_FL stand for bands of it (11 hours for 20 and 21), so a value
    // taken back from the hours would move at every saving.
    const std::int32_t maxFit = MAX_FIT.value();
    return lf_appendNumber(parameters, RANGE.name(), RANGE.value()) &&
           lf_appendBoolParameterElement(parameters, AUTO_RANGE.name(), AUTO_RANGE.value()) &&
           lf_appendBoolParameterElement(parameters, WEEK.name(), WEEK.value()) &&
           lf_appendBoolParameterElement(parameters, PARK_SOFT.name(), PARK_SOFT.value()) &&
           lf_appendNumber(parameters, parking_percentage.name(), parking_percentage.value()) &&
           lf_appendBoolParameterElement(parameters, INITIAL_LOAD_ONLY.name(), INITIAL_LOAD_ONLY.value()) &&
           lf_appendNumber(parameters, MAX_FIT.name(), maxFit) &&
           lf_appendBoolParameterElement(parameters, RT_PARKTRAFFIC_ONLY.name(),
                                         RT_PARKTRAFFIC_ONLY.value()) &&
           lf_appendNumber(parameters, MAX_LIVE_SEL.name(), MAX_LIVE_SEL.value());
}

void lf_appendTrue(pugi::xml_node node, const char* name) {
    lf_appendBoolAttribute(node, name, true);
}

void lf_writePosition(pugi::xml_node parkpos, const Stand& stand) {
    lf_appendStringAttribute(parkpos, "latitude", fmt::format("{:.6f}", stand.latitude));
    lf_appendStringAttribute(parkpos, "longitude", fmt::format("{:.6f}", stand.longitude));
    lf_appendStringAttribute(parkpos, "heading",
                             fmt::format("{:.1f}", stand.heading * standRadiansToDegrees));
    lf_appendStringAttribute(parkpos, "radius", fmt::format("{:.1f}", stand.radius * standNmToMetres));
    // A heli stand carries its cargo flag only when set, so that it reads back.
    if (stand.heli) {
        lf_appendTrue(parkpos, "heli");
        if (stand.cargo)
            lf_appendTrue(parkpos, "cargo");
    } else {
        lf_appendBoolAttribute(parkpos, "cargo", stand.cargo);
    }
    lf_appendBoolAttribute(parkpos, "ramp", stand.ramp);
    if (stand.manual)
        lf_appendTrue(parkpos, "manual");
}

// A learned file repeats the position only where the stand file cannot supply it: stands added by
// hand, and every stand of a handmade file, which replaces the stand file. A handmade stand whose
// radius was learned keeps its position too, or it would be lost at the next reading.
void lf_writeLearnedStand(pugi::xml_node parkpos, const Stand& stand) {
    if (stand.manual || handmadeApf) {
        lf_writePosition(parkpos, stand);
        return;
    }
    if (stand.radiusChange) {
        lf_appendTrue(parkpos, "radius_change");
        lf_appendStringAttribute(parkpos, "radius", fmt::format("{:.1f}", stand.radius * standNmToMetres));
    }
    if (stand.cargoChange) {
        lf_appendTrue(parkpos, "cargo_change");
        lf_appendBoolAttribute(parkpos, "cargo", stand.cargo);
    }
}

// The runs of a half-hour set, "first:last" or one slot each, joined by commas as the reader takes them.
// One run is the form gf_bitsetToHours gives.
std::optional<std::string> lf_hoursText(std::uint64_t halfHours) {
    const HalfHourSet slots(halfHours);
    std::string text;
    std::size_t slot = 0;
    while (slot < slots.size()) {
        if (!slots.test(slot)) {
            ++slot;
            continue;
        }
        std::size_t last = slot;
        while (last + 1 < slots.size() && slots.test(last + 1))
            ++last;
        if (!text.empty())
            text += ',';
        text += slot == last ? fmt::format("{}", slot) : fmt::format("{}:{}", slot, last);
        slot = last + 1;
    }
    if (text.empty())
        return std::nullopt;
    return text;
}

void lf_writeOptions(pugi::xml_node parkpos, const Stand& stand) {
    for (const StandOption& option : stand.options) {
        if (option.aircraftId == 0)
            continue;
        const auto hours = lf_hoursText(option.halfHours);
        if (!hours) {
            gf_logError(fmt::format("bit set problem: {} {} {}", option.registration, option.callsign,
                                    fmt::format("{:3} {:4}", option.airline, option.type)));
            continue;
        }
        pugi::xml_node opt = parkpos.append_child("opt");
        lf_appendStringAttribute(opt, "reg", option.registration);
        if (!lf_registeredIdentity(option.registration)) {
            lf_appendStringAttribute(opt, "airl", option.airline);
            lf_appendStringAttribute(opt, "type", option.type);
        }
        if (option.real == 0)
            lf_appendTrue(opt, "soft");
        lf_appendStringAttribute(opt, "day", fmt::format("{}", option.day));
        lf_appendStringAttribute(opt, "hh", *hours);
        // A second callsign after an empty first one is kept as ":second".
        if (!option.callsign.empty() || !option.callsign2.empty())
            lf_appendStringAttribute(opt, "cs",
                                     option.callsign2.empty() ? option.callsign
                                                              : option.callsign + ":" + option.callsign2);
        if (option.coupled)
            lf_appendTrue(opt, "cpl");
    }
}

} // namespace

bool lf_writeApfParameters(pugi::xml_node root, const ApfRecord& record, ApfWriteMode mode) {
    pugi::xml_node parameters = root.append_child("parameters");
    if (!parameters)
        return false;
    const bool full = mode == ApfWriteMode::full;
    lf_appendParameterElement(parameters, "airport_name", record.airportName);
    lf_appendParameterElement(parameters, "publisher", record.publisher);
    if (handmadeApf)
        lf_appendParameterElement(parameters, "handmade", "true");
    if (handmadeApf || full)
        lf_appendNumber(parameters, "altitude", record.altitude);
    if (full)
        lf_appendNumber(parameters, "num_parkpos", static_cast<std::int64_t>(record.stands.size()));
    if (handmadeApf) {
        lf_appendNumber(parameters, "Qf_real", record.qfReal);
        lf_appendNumber(parameters, "Qf_soft", record.qfSoft);
    }
    if (record.publisher.empty()) {
        lf_appendParameterElement(parameters, "BGLpath", record.bglPath);
        lf_appendParameterElement(parameters, "manufacturer", record.manufacturer);
        lf_appendParameterElement(parameters, "creator", record.creator);
    }
    if (!full)
        lf_appendAirportSettings(parameters);
    return true;
}

bool lf_buildApfDocument(pugi::xml_document& doc, const ApfRecord& record, ApfWriteMode mode, int simKind) {
    MetaInfo meta = gf_makeMetaInfo(programVersionText);
    gf_setSimKind(meta, simKind);
    if (!gf_writeMetaInfo(doc, meta))
        return false;
    pugi::xml_node root = doc.child("root");
    if (!root)
        root = doc.append_child("root");
    if (!root || !lf_writeApfParameters(root, record, mode))
        return false;
    pugi::xml_node parkpositions = root.append_child("parkpositions");
    if (!parkpositions)
        return false;
    for (const Stand& stand : record.stands) {
        pugi::xml_node parkpos = parkpositions.append_child("parkpos");
        lf_appendStringAttribute(parkpos, "id", stand.id);
        if (mode == ApfWriteMode::full) {
            lf_writePosition(parkpos, stand);
            continue;
        }
        lf_writeLearnedStand(parkpos, stand);
        lf_writeOptions(parkpos, stand);
    }
    if (mode == ApfWriteMode::learned)
        for (const std::string& kept : record.keptParkpos) {
            pugi::xml_document element;
            if (element.load_string(kept.c_str()))
                parkpositions.append_copy(element.document_element());
        }
    return true;
}

std::string lf_saveApfDocument(pugi::xml_document& doc, const std::filesystem::path& path) {
    if (path.has_parent_path()) {
        std::error_code ec;
        std::filesystem::create_directories(path.parent_path(), ec);
        if (ec)
            return ec.message();
    }
    std::string failure;
    if (!gf_saveXml(doc, path, &failure))
        return failure.empty() ? std::string("unknown error") : failure;
    return std::string();
}

bool gf_writeApf(const ApfRecord& record, const std::filesystem::path& path, ApfWriteMode mode, int simKind) {
    pugi::xml_document doc;
    return lf_buildApfDocument(doc, record, mode, simKind) && lf_saveApfDocument(doc, path).empty();
}

} // namespace kvr
