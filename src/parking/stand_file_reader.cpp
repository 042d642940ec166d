#include "core/day_time.h"
#include "core/text_util.h"
#include "core/user_error.h"
#include "parking/registered_identity_internal.h"
#include "parking/stand_file_internal.h"

#include <fmt/format.h>

#include <cmath>
#include <unordered_set>

namespace kvr {

void lf_readParkpositions(const pugi::xml_document& doc) {
    pugi::xml_node top = doc.child("root");
    if (!top)
        top = doc;
    const pugi::xml_node parkpositions = top.child("parkpositions");
    if (!parkpositions)
        return;
    std::unordered_set<std::string> seen;
    seen.reserve(512);
    unsigned number = 0;
    for (pugi::xml_node parkpos : parkpositions.children("parkpos")) {
        ++number;
        const pugi::xml_attribute idAttribute = parkpos.attribute("id");
        if (!idAttribute)
            throw UserErrorException(
                93, fmt::format("Parking position #{} has no '{}' attribute.", number, "id"));
        std::string id = gf_trim(idAttribute.value());
        if (id.empty())
            throw UserErrorException(
                93, fmt::format("Parking position #{} has empty '{}' attribute.", number, "id"));
        if (!seen.insert(id).second)
            throw UserErrorException(94, fmt::format("Parking position '{}' appears more than once.", id));
        lf_readParkpos(parkpos, id, 1);
    }
}

void lf_readParkpos(pugi::xml_node parkpos, const std::string& id, std::uint32_t fromStandFile) {
    const double latitude = parkpos.attribute("latitude").as_double(0.0);
    const double longitude = parkpos.attribute("longitude").as_double(0.0);
    // "nan" and "inf" read as numbers, but no stand is there, and the stand list is sorted by latitude.
    if ((latitude == 0.0 && longitude == 0.0) || !std::isfinite(latitude) || !std::isfinite(longitude))
        return;
    const double radiusMetres = parkpos.attribute("radius").as_double(0.0);
    const double headingDegrees = parkpos.attribute("heading").as_double(0.0);
    const bool cargo = parkpos.attribute("cargo").as_bool(false);
    const bool ramp = parkpos.attribute("ramp").as_bool(false);
    const bool heli = parkpos.attribute("heli").as_bool(false);

    std::vector<StandOption> options;
    options.reserve(static_cast<std::size_t>(
        std::distance(parkpos.children("opt").begin(), parkpos.children("opt").end())));
    std::uint32_t nextId = 1;
    for (pugi::xml_node opt : parkpos.children("opt")) {
        OptIdentity identity = lf_readOptIdentity(opt);
        const std::string hours = opt.attribute("hh").value();
        const unsigned day = opt.attribute("day").as_uint(0);
        if (hours.empty() || day < 1 || day > 7)
            continue;
        StandOption& option = options.emplace_back();
        option.airline = std::move(identity.airline);
        option.type = std::move(identity.type);
        option.registration = opt.attribute("reg").value();
        option.callsign = std::move(identity.callsign);
        option.callsign2 = std::move(identity.callsign2);
        option.halfHours = gf_hours2bitset(hours).to_ullong();
        option.aircraftId = nextId++;
        option.day = day;
        option.fromStandFile = fromStandFile;
        option.real = opt.attribute("soft").as_bool(false) ? 0 : 1;
        option.coupled = opt.attribute("cpl").as_bool(false);
    }
    standList.emplace_back(id, std::move(options),
                           StandPlacement{latitude, longitude, headingDegrees * standDegreesToRadians},
                           radiusMetres, cargo, ramp, heli);
}

OptIdentity lf_readOptIdentity(pugi::xml_node opt) {
    OptIdentity identity;
    try {
        const std::string callsigns = opt.attribute("cs").value();
        const auto colon = callsigns.find(':');
        identity.callsign = callsigns.substr(0, colon);
        if (colon != std::string::npos)
            identity.callsign2 = callsigns.substr(colon + 1);
        if (auto known = lf_registeredIdentity(opt.attribute("reg").value())) {
            identity.airline = std::move(known->airline);
            identity.type = std::move(known->type);
        } else {
            identity.airline = opt.attribute("airl").value();
            identity.type = opt.attribute("type").value();
        }
    } catch (const std::exception&) {
        // What was read so far stays; an option with an unreadable identity is still a use of the stand.
    }
    return identity;
}

} // namespace kvr
