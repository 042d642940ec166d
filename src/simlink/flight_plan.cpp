#include "simlink/flight_plan.h"

#include "core/log.h"
#include "core/native_path.h"
#include "core/xml_util.h"
#include "settings/parameters_file.h"

#include <fmt/format.h>

#include <cmath>

namespace kvr {

GuardedPath flightPlanFolder;

namespace {

std::string lf_escapeXml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// One coordinate as degrees, minutes and seconds with its hemisphere letter: N52° 18' 31.00"
std::string lf_dms(double value, char positive, char negative) {
    const double magnitude = std::abs(value);
    auto hundredths = static_cast<long long>(std::llround(magnitude * 360000.0));
    const long long degrees = hundredths / 360000;
    hundredths -= degrees * 360000;
    const long long minutes = hundredths / 6000;
    hundredths -= minutes * 6000;
    return fmt::format("{}{}\u00b0 {}' {:.2f}\"", value < 0 ? negative : positive, degrees, minutes,
                       static_cast<double>(hundredths) / 100.0);
}

std::string lf_lla(const AirportPoint& point) {
    return fmt::format("{},{},{:+010.2f}", lf_dms(point.latitude, 'N', 'S'),
                       lf_dms(point.longitude, 'E', 'W'), point.elevationFt);
}

std::string lf_airportWaypoint(const AirportPoint& point) {
    const std::string code = lf_escapeXml(point.code);
    return fmt::format("        <ATCWaypoint id=\"{0}\">\n"
                       "            <ATCWaypointType>Airport</ATCWaypointType>\n"
                       "            <WorldPosition>{1}</WorldPosition>\n"
                       "            <ICAO>\n"
                       "                <ICAOIdent>{0}</ICAOIdent>\n"
                       "            </ICAO>\n"
                       "        </ATCWaypoint>\n",
                       code, lf_lla(point));
}

} // namespace

void gf_createFlightPlanFolder() {
    const std::filesystem::path folder = appDataFolder / "orig_dest";
    std::filesystem::create_directories(folder);
    flightPlanFolder.set(folder);
}

std::string gf_flightPlanText(const CreateRequest& request) {
    const std::string origin = lf_escapeXml(request.origin.code);
    const std::string destination = lf_escapeXml(request.destination.code);
    const auto cruise = static_cast<long long>(std::llround(std::max(request.cruisingAltitudeFt, 0.0)));
    return fmt::format("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<SimBase.Document Type=\"AceXML\" version=\"1,0\">\n"
                       "    <Descr>AceXML Document</Descr>\n"
                       "    <FlightPlan.FlightPlan>\n"
                       "        <Title>{0} to {1}</Title>\n"
                       "        <FPType>IFR</FPType>\n"
                       "        <RouteType>HighAlt</RouteType>\n"
                       "        <CruisingAlt>{2}</CruisingAlt>\n"
                       "        <DepartureID>{0}</DepartureID>\n"
                       "        <DepartureLLA>{3}</DepartureLLA>\n"
                       "        <DestinationID>{1}</DestinationID>\n"
                       "        <DestinationLLA>{4}</DestinationLLA>\n"
                       "        <Descr>{0}, {1}</Descr>\n"
                       "        <DepartureName>{0}</DepartureName>\n"
                       "        <DestinationName>{1}</DestinationName>\n"
                       "{5}{6}"
                       "    </FlightPlan.FlightPlan>\n"
                       "</SimBase.Document>\n",
                       origin, destination, cruise, lf_lla(request.origin), lf_lla(request.destination),
                       lf_airportWaypoint(request.origin), lf_airportWaypoint(request.destination));
}

std::filesystem::path gf_writeFlightPlan(SimObjectId objectId, const CreateRequest& request) {
    if (request.origin.code.empty() || request.destination.code.empty())
        return {};
    const std::filesystem::path folder = flightPlanFolder.get();
    if (folder.empty()) {
        gf_logError(fmt::format("gf_writeFlightPlan: no flight-plan folder for {}", request.tailNumber));
        return {};
    }
    const std::filesystem::path file = folder / fmt::format("{}.pln", objectId);
    if (!gf_replaceFileAtomically(file, gf_flightPlanText(request))) {
        gf_logError(fmt::format("gf_writeFlightPlan: {} cannot be written", gf_pathToUtf8(file)));
        return {};
    }
    return file;
}

} // namespace kvr
