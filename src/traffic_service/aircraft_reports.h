#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace kvr {

// The common head of the report records and of the traffic engine's aircraft records.
struct AircraftBase {
    std::string operatorCode; // ICAO operator code; empty for private aircraft
    std::string icaoType;
    std::string registration;
    std::string callsign;
    std::string flightNumber;
    std::string origin;
    std::string destination;
    std::string squawk;
    double timestamp = 0.0; // epoch seconds of the report (service time, shifted by the time offset)
};

// One position report of a live aircraft, validated and filtered by the Traffic Reader.
struct LiveAircraft : AircraftBase {
    std::uint32_t address = 0; // 24-bit ICAO address, above 0
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;     // ft; corrected with the QNH while airborne, as reported on the ground
    double groundSpeed = 0.0;  // kt
    double track = 0.0;        // degrees, 0 up to (not including) 360
    double verticalRate = 0.0; // ft/min
    bool onGround = false;
    double trueAirspeed = 0.0; // kt
    std::optional<double> heading;
    std::optional<double> bank;
    std::optional<double> geometricAltitude; // ft
    int category = 2;                        // AircraftCategory of the type, from the category hook
    // The service sent no ground speed or no track (null): the Traffic Reader fills in what the aircraft
    // made good since its earlier report before it hands the report over.
    bool groundSpeedMissing = false;
    bool trackMissing = false;
};

// One aircraft of the parked traffic round the user aircraft.
struct ParkedAircraft : AircraftBase {
    double latitude = 0.0;
    double longitude = 0.0;
    std::uint32_t address = 0;
    int age = 0; // whole half-hour slots since the aircraft was parked
    std::string standName;
    double parkedSince = 0.0; // epoch seconds; 0 when the service did not say
};

} // namespace kvr
