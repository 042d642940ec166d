#pragma once
// The scenario file of the stand-in's live-traffic service (format in docs/service-protocol.md).
#include "standins/service/route.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kvr::standin {

struct ScenarioRunway {
    std::string name;
    double headingDeg = 0.0;
    Point threshold; // local frame
    double lengthM = 0.0;
    double exitAfterM = 0.0; // arrivals leave the runway this far past the threshold
};

struct ScenarioStand {
    std::string name;
    Point at;
    double headingDeg = 0.0; // nose direction of a parked aircraft
    Point pushbackPoint;     // where a pushback ends and a taxi in turns towards the stand
};

struct FleetEntry {
    std::string airline; // ICAO code; empty for private aircraft (callsign = registration)
    std::string iata;    // flight-number prefix
    std::string type;
    int weight = 1;
    std::vector<std::string> registrations;
    std::vector<std::string> routes; // other airports the flights come from and go to
    int firstFlightNumber = 100;
    int lastFlightNumber = 9998;
};

struct LocalType {
    std::string type;
    std::vector<std::string> registrations;
    double altitudeFt = 1500.0;
    double speedKt = 100.0;
};

struct MetarStation {
    std::string code;
    double latitude = 0.0;
    double longitude = 0.0;
    double qnh = 1013.0;
    std::string metar;
};

struct Account {
    std::string key;
    int status = 200;
    std::string account;
};

struct Scenario {
    std::uint64_t seed = 1;
    std::string airportCode;
    double latitude = 0.0; // reference point: origin of the local frame
    double longitude = 0.0;
    double elevationFt = 0.0;
    ScenarioRunway arrivalRunway;
    ScenarioRunway departureRunway;
    std::vector<Point> taxiIn;  // runway exit .. apron
    std::vector<Point> taxiOut; // apron .. holding point of the departure runway
    std::vector<ScenarioStand> stands;
    std::vector<FleetEntry> fleet;           // turnarounds at the airport
    std::vector<FleetEntry> overflightFleet; // cruising through the area
    std::vector<LocalType> localTypes;
    double turnaroundIntervalS = 150.0;
    double minParkedS = 1800.0;
    double maxParkedS = 4800.0;
    double overflightIntervalS = 240.0;
    double localFlightIntervalS = 600.0;
    double reportIntervalS = 5.0;
    double bufferS = 60.0;
    std::vector<MetarStation> stations;
    std::vector<Account> accounts;

    Point toLocal(double latitude, double longitude) const;
    void toLatLon(Point local, double& latitude, double& longitude) const;
};

// Reads and checks a scenario; throws std::runtime_error naming the file and the fault.
Scenario gf_loadScenario(const std::filesystem::path& file);
Scenario gf_parseScenario(const std::string& jsonText);

} // namespace kvr::standin
