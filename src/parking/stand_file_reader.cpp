#include "core/day_time.h"
#include "core/log.h"
#include "core/text_util.h"
#include "core/user_error.h"
#include "parking/registered_identity_internal.h"
#include "parking/stand_file_internal.h"

#include <fmt/format.h>

#include <cmath>
#include <sstream>
#include <unordered_set>

namespace kvr {

std::string lf_elementText(pugi::xml_node element) {
    std::ostringstream text;
    element.print(text, "", pugi::format_raw);
    return text.str();
}

void lf_readParkpositions(const pugi::xml_document& doc, std::vector<std::string>* refused) {
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
        if (!lf_readParkpos(parkpos, id, 1) && refused)
            refused->push_back(lf_elementText(parkpos));
    }
}

namespace {

// No stand is wider than this; larger radii are typing errors, and at astronomic sizes the metre text
// the writer produces no longer reads back to the same radius.
constexpr double maxStandRadiusMetres = 10000.0;

// The writer keeps six decimals: a position that it would write as 0/0 is no position, or the stand
// would vanish at the next reading of the saved file.
bool lf_writtenAsZero(double degrees) {
    return fmt::format("{:.6f}", std::fabs(degrees)) == "0.000000";
}

bool lf_isUsablePlace(double latitude, double longitude, double headingDegrees, double radiusMetres) {
    return std::fabs(latitude) <= 90.0 && std::fabs(longitude) <= 180.0 && std::isfinite(headingDegrees) &&
           lf_isUsableRadius(radiusMetres);
}

// Layouts give headings such as 509.4 or -90: any finite heading is a direction. One written as 360.0
// (one decimal) is north, held as 0 so that it reads back as itself.
double lf_headingRadians(double degrees) {
    double heading = std::fmod(degrees, 360.0);
    if (heading < 0.0)
        heading += 360.0;
    const double radians = heading * standDegreesToRadians;
    return fmt::format("{:.1f}", radians * standRadiansToDegrees) == "360.0" ? 0.0 : radians;
}

} // namespace

bool lf_isUsableRadius(double radiusMetres) {
    return radiusMetres >= 0.0 && radiusMetres <= maxStandRadiusMetres;
}

bool lf_readParkpos(pugi::xml_node parkpos, const std::string& id, std::uint32_t fromStandFile) {
    // The stand id goes into my_park_airports.txt as the user's reserved stand, after a comma.
    if (id.find(',') != std::string::npos) {
        gf_logError(fmt::format("Parking position '{}' has a comma in its id, skipped", id));
        return false;
    }
    const double latitude = parkpos.attribute("latitude").as_double(0.0);
    const double longitude = parkpos.attribute("longitude").as_double(0.0);
    if (lf_writtenAsZero(latitude) && lf_writtenAsZero(longitude))
        return false;
    const double radiusMetres = parkpos.attribute("radius").as_double(0.0);
    const double headingDegrees = parkpos.attribute("heading").as_double(0.0);
    // Comparisons also refuse "nan"; "inf" is out of every range.
    if (!lf_isUsablePlace(latitude, longitude, headingDegrees, radiusMetres)) {
        gf_logError(fmt::format("Parking position '{}' has no usable latitude, longitude, heading or radius, "
                                "skipped",
                                id));
        return false;
    }
    const bool cargo = parkpos.attribute("cargo").as_bool(false);
    const bool ramp = parkpos.attribute("ramp").as_bool(false);
    const bool heli = parkpos.attribute("heli").as_bool(false);

    std::vector<StandOption> options;
    options.reserve(static_cast<std::size_t>(
        std::distance(parkpos.children("opt").begin(), parkpos.children("opt").end())));
    std::uint32_t nextId = 1;
    for (pugi::xml_node opt : parkpos.children("opt")) {
        const std::string hours = opt.attribute("hh").value();
        const unsigned day = opt.attribute("day").as_uint(0);
        if (hours.empty() || day < 1 || day > 7)
            continue;
        const std::uint64_t halfHours = gf_hours2bitset(hours).to_ullong();
        // An option without a slot would be counted and used nowhere, and vanish at the next saving.
        if (halfHours == 0) {
            gf_logError("empty bit set");
            continue;
        }
        OptIdentity identity = lf_readOptIdentity(opt);
        StandOption& option = options.emplace_back();
        option.airline = std::move(identity.airline);
        option.type = std::move(identity.type);
        option.registration = opt.attribute("reg").value();
        option.callsign = std::move(identity.callsign);
        option.callsign2 = std::move(identity.callsign2);
        option.halfHours = halfHours;
        option.aircraftId = nextId++;
        option.day = day;
        option.fromStandFile = fromStandFile;
        option.real = opt.attribute("soft").as_bool(false) ? 0 : 1;
        option.coupled = opt.attribute("cpl").as_bool(false);
    }
    standList.emplace_back(id, std::move(options),
                           StandPlacement{latitude, longitude, lf_headingRadians(headingDegrees)},
                           radiusMetres, cargo, ramp, heli);
    return true;
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
