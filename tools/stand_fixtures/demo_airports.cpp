#include "tools/stand_fixtures/demo_airports.h"

#include "core/geodesy.h"

#include <fmt/format.h>

#include <cmath>
#include <numbers>
#include <string>

namespace kvr::fixtures {

namespace {

constexpr double feetPerMetre = 1.0 / 0.3048;
constexpr double radiansPerDegree = std::numbers::pi / 180.0;

double lf_normalised(double degrees) {
    const double d = std::fmod(degrees, 360.0);
    return d < 0.0 ? d + 360.0 : d;
}

GeoPoint lf_offset(const GeoPoint& from, double bearingDegrees, double metres) {
    return gf_destinationPoint(from.latitude, from.longitude, bearingDegrees * radiansPerDegree,
                               metres * feetPerMetre);
}

// A pier leaves the terminal on a bearing; its stands stand nose-in on both sides, the left side taking
// the odd numbers and the right side the even ones, as airports usually number them.
struct Pier {
    std::string prefix;
    double bearing;       // degrees true, from the terminal centre outwards
    double startMetres;   // distance of the first stand pair from the terminal centre
    double spacingMetres; // between neighbouring stands on one side
    double offsetMetres;  // from the pier axis to the stand centres
    int pairs;
    int firstNumber;
    double radiusMetres;
};

// A row of remote, cargo or general-aviation stands; every stand faces the same way.
struct Apron {
    std::string prefix;
    GeoPoint start;
    double rowBearing;
    double spacingMetres;
    int count;
    int firstNumber;
    int numberStep;
    double heading;
    double radiusMetres;
    bool cargo;
    bool ramp;
};

struct Helipad {
    std::string id;
    GeoPoint place;
    double radiusMetres;
};

struct DemoAirport {
    std::string code;
    std::string name;
    int altitudeFeet;
    GeoPoint terminal;
    std::vector<Pier> piers;
    std::vector<Apron> aprons;
    std::vector<Helipad> helipads;
};

void lf_addPier(const DemoAirport& airport, const Pier& pier, StandFileSpec& spec) {
    for (int i = 0; i < pier.pairs; ++i) {
        const GeoPoint axis =
            lf_offset(airport.terminal, pier.bearing, pier.startMetres + i * pier.spacingMetres);
        for (int side = 0; side < 2; ++side) {
            const double sideBearing = pier.bearing + (side == 0 ? -90.0 : 90.0);
            const GeoPoint centre = lf_offset(axis, sideBearing, pier.offsetMetres);
            StandPlace place;
            place.id = fmt::format("{}{}", pier.prefix, pier.firstNumber + 2 * i + side);
            place.latitude = centre.latitude;
            place.longitude = centre.longitude;
            place.heading = lf_normalised(sideBearing + 180.0); // nose towards the pier
            place.radius = pier.radiusMetres;
            place.ramp = false;
            spec.stands.push_back(gf_standSpec(place));
        }
    }
}

void lf_addApron(const Apron& apron, StandFileSpec& spec) {
    for (int i = 0; i < apron.count; ++i) {
        const GeoPoint centre = lf_offset(apron.start, apron.rowBearing, i * apron.spacingMetres);
        StandPlace place;
        place.id = fmt::format("{}{}", apron.prefix, apron.firstNumber + i * apron.numberStep);
        place.latitude = centre.latitude;
        place.longitude = centre.longitude;
        place.heading = lf_normalised(apron.heading);
        place.radius = apron.radiusMetres;
        place.cargo = apron.cargo;
        place.ramp = apron.ramp;
        spec.stands.push_back(gf_standSpec(place));
    }
}

StandFileSpec lf_standFile(const DemoAirport& airport, const std::string& publisher) {
    StandFileSpec spec;
    spec.copyright = "Vantrel demo data";
    for (const Pier& pier : airport.piers)
        lf_addPier(airport, pier, spec);
    for (const Apron& apron : airport.aprons)
        lf_addApron(apron, spec);
    for (const Helipad& pad : airport.helipads) {
        StandPlace place{pad.id, pad.place.latitude, pad.place.longitude, 0.0, pad.radiusMetres};
        place.heli = true;
        spec.stands.push_back(gf_standSpec(place));
    }
    spec.parameters = {{"airport_name", airport.name},
                       {"publisher", publisher},
                       {"altitude", std::to_string(airport.altitudeFeet)},
                       {"num_parkpos", std::to_string(spec.stands.size())}};
    return spec;
}

// Positions are modelled on the real aprons closely enough for the demo: piers fan out from the
// terminal centre, remote and cargo stands stand in rows.
DemoAirport lf_schiphol() {
    DemoAirport a{"EHAM", "Amsterdam Airport Schiphol", -11, {52.3094, 4.7622}, {}, {}, {}};
    a.piers = {{"B", 80.0, 300.0, 60.0, 45.0, 5, 13, 22.0}, {"C", 45.0, 300.0, 60.0, 45.0, 5, 5, 22.0},
               {"D", 10.0, 300.0, 70.0, 50.0, 7, 2, 32.0},  {"E", 330.0, 320.0, 75.0, 52.0, 6, 2, 36.0},
               {"F", 295.0, 320.0, 80.0, 55.0, 4, 2, 40.0}, {"G", 255.0, 320.0, 80.0, 55.0, 5, 2, 40.0},
               {"H", 205.0, 300.0, 55.0, 40.0, 4, 1, 20.0}};
    a.aprons = {{"R", {52.3021, 4.7740}, 90.0, 75.0, 6, 72, 2, 0.0, 36.0, false, true},
                {"S", {52.2890, 4.7650}, 90.0, 85.0, 6, 72, 2, 180.0, 42.0, true, true},
                {"V", {52.3135, 4.7890}, 180.0, 30.0, 4, 1, 1, 270.0, 12.0, false, true}};
    a.helipads = {{"helipad1", {52.3055, 4.7815}, 15.0}, {"helipad2", {52.3052, 4.7830}, 15.0}};
    return a;
}

DemoAirport lf_heathrow() {
    DemoAirport a{"EGLL", "London Heathrow Airport", 83, {51.4703, -0.4600}, {}, {}, {}};
    a.piers = {{"A", 0.0, 150.0, 70.0, 50.0, 5, 10, 36.0},
               {"B", 90.0, 600.0, 70.0, 50.0, 6, 32, 36.0},
               {"3", 180.0, 160.0, 65.0, 48.0, 6, 301, 34.0},
               {"2", 120.0, 900.0, 60.0, 45.0, 5, 219, 30.0}};
    a.aprons = {{"6", {51.4610, -0.4760}, 90.0, 80.0, 6, 601, 1, 0.0, 40.0, true, true},
                {"R", {51.4790, -0.4320}, 90.0, 60.0, 5, 10, 1, 180.0, 30.0, false, true}};
    a.helipads = {{"helipad1", {51.4650, -0.4420}, 15.0}};
    return a;
}

DemoAirport lf_frankfurt() {
    DemoAirport a{"EDDF", "Frankfurt am Main Airport", 364, {50.0500, 8.5695}, {}, {}, {}};
    a.piers = {{"A", 60.0, 180.0, 65.0, 48.0, 6, 10, 34.0},
               {"B", 0.0, 170.0, 65.0, 48.0, 7, 20, 34.0},
               {"C", 300.0, 170.0, 60.0, 45.0, 5, 4, 30.0},
               {"D", 120.0, 700.0, 60.0, 45.0, 4, 1, 30.0},
               {"E", 160.0, 750.0, 75.0, 52.0, 4, 2, 38.0}};
    a.aprons = {{"F", {50.0420, 8.5930}, 90.0, 85.0, 6, 212, 2, 0.0, 42.0, true, true},
                {"V", {50.0455, 8.5480}, 90.0, 70.0, 6, 101, 1, 180.0, 34.0, false, true}};
    a.helipads = {{"helipad1", {50.0470, 8.5610}, 15.0}};
    return a;
}

DemoAirport lf_charlesDeGaulle() {
    DemoAirport a{"LFPG", "Paris Charles de Gaulle Airport", 392, {49.0040, 2.5710}, {}, {}, {}};
    a.piers = {{"K", 200.0, 340.0, 70.0, 50.0, 5, 21, 36.0},
               {"L", 160.0, 340.0, 70.0, 50.0, 5, 21, 36.0},
               {"M", 120.0, 340.0, 70.0, 50.0, 5, 21, 36.0},
               {"F", 20.0, 500.0, 55.0, 42.0, 5, 21, 24.0}};
    a.aprons = {{"N", {49.0150, 2.5400}, 90.0, 85.0, 6, 21, 2, 180.0, 42.0, true, true}};
    a.helipads = {{"helipad1", {49.0090, 2.5860}, 15.0}};
    return a;
}

} // namespace

std::vector<DemoStandFile> gf_demoStandFiles() {
    std::vector<DemoStandFile> files;
    for (const DemoAirport& airport : {lf_schiphol(), lf_heathrow(), lf_frankfurt(), lf_charlesDeGaulle()})
        files.push_back({std::filesystem::path("MSFS/archive/stock") / (airport.code + ".xml"),
                         lf_standFile(airport, "stock")});
    const DemoAirport schiphol = lf_schiphol();
    files.push_back({"MSFS/archive/simaddon/EHAM.xml", lf_standFile(schiphol, "simaddon")});
    for (const char* sim : {"MSFS", "MSFS2024"}) {
        StandFileSpec thirdParty = lf_standFile(schiphol, "FlyTampa");
        thirdParty.sim = std::string(sim) == "MSFS" ? "2020" : "2024";
        files.push_back({std::filesystem::path(sim) / "archive/thirdparty/FlyTampa/EHAM.xml", thirdParty});
    }
    return files;
}

void gf_writeDemoStandFiles(const std::filesystem::path& downloadsFolder) {
    for (const DemoStandFile& file : gf_demoStandFiles())
        gf_writeStandFile(downloadsFolder / file.relativePath, file.spec);
}

} // namespace kvr::fixtures
