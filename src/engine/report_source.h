#pragma once
// The engine's view of the live-traffic client: the report records, the hand-over of report batches and
// the live aircraft collected for static parking. The only engine file that names the client.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kvr::port {

struct AircraftBase {
    std::string operatorCode;
    std::string icaoType;
    std::string registration;
    std::string callsign;
    std::string flightNumber;
    std::string origin;
    std::string destination;
    std::string squawk;
    double timestamp = 0.0; // epoch seconds of the report
};

// One position report of a live aircraft.
struct LiveAircraft : AircraftBase {
    std::uint32_t address = 0; // 24-bit ICAO address
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;     // ft
    double groundSpeed = 0.0;  // kt
    double track = 0.0;        // degrees
    double verticalRate = 0.0; // ft/min
    bool onGround = false;
    double trueAirspeed = 0.0; // kt
    std::optional<double> heading;
    std::optional<double> bank;
    std::optional<double> geometricAltitude;
    int category = 2; // AircraftCategory of the type
};

// The callsigns and addresses of the live aircraft the client saw while collecting.
struct SeenLiveMaps {
    std::unordered_map<std::string, std::uint32_t> callsigns;
    std::unordered_map<std::uint32_t, std::string> addresses;
};

// Moves the collected maps out and clears the collect flag.
SeenLiveMaps takeSeenLiveMaps();

// The handler the client calls, on its own thread, with each batch of new reports; it moves out what it
// takes.
using ReportBatchHandler = std::function<void(std::vector<LiveAircraft>& batch)>;
void setReportBatchHandler(ReportBatchHandler handler);

} // namespace kvr::port
