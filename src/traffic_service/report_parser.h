#pragma once
#include "traffic_service/aircraft_reports.h"

#include <nlohmann/json_fwd.hpp>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kvr {

// Positions in the 48-value aircraft array of the service's traffic replies.
namespace reportField {
enum : std::size_t {
    address = 0,
    callsign = 1,
    latitude = 2,
    longitude = 3,
    baroAltitude = 4,
    groundSpeed = 5,
    track = 6,
    verticalRate = 7,
    onGround = 8,
    timestamp = 9,
    icaoType = 10,
    registration = 11,
    operatorCode = 12,
    flightNumber = 13,
    origin = 14,
    destination = 15,
    squawk = 16,
    trueAirspeed = 17,
    heading = 18,
    bank = 19,
    geometricAltitude = 20,
    source = 21,
    standName = 22,
    parkedSince = 23,
    count = 48,
};
} // namespace reportField

inline constexpr int standardQnh = 1013;
inline constexpr int minimumQnh = 900;
inline constexpr int maximumQnh = 1100;

// The last second of the year 9999: a later report time is no time the program can show or count with.
inline constexpr double latestReportTimestamp = 253402300799.0;

// The fastest ground speed a report may give, kt. The fastest aircraft ever flown made about 1,900 kt over
// the ground; a faster report is a garbled one, and dead reckoning with it would fling the aircraft far
// from its reports.
inline constexpr double fastestGroundSpeedKt = 2000.0;

// The ground speed of an aircraft array when it is a number no aircraft flies: negative or above
// fastestGroundSpeedKt; empty otherwise (also when it is null).
std::optional<double> gf_impossibleGroundSpeed(const nlohmann::json& values);

// Reads one aircraft array into a report without filtering. Empty when the array is not valid: not exactly
// 48 values, an address that is not 1..6 hex digits above 0, a position outside the earth or at 0/0, a
// timestamp not above 0 or beyond latestReportTimestamp, a numeric field that is neither a number nor null,
// a text field that is neither a text nor null, or an impossible ground speed (gf_impossibleGroundSpeed). A
// null ground speed or track is marked missing (read as 0); the track is turned into 0..360. The altitude is
// the reported barometric altitude, not yet corrected.
std::optional<LiveAircraft> gf_readAircraftArray(const nlohmann::json& values);

// The same array read as parked traffic; the stand name and parked-since time included.
std::optional<ParkedAircraft> gf_readParkedArray(const nlohmann::json& values);

// The barometric altitude (feet above the 1013.25 hPa level) turned into an altitude above sea level.
double gf_correctAltitudeWithQnh(double baroAltitudeFt, int qnh);

// The reply with every number a double cannot hold ("1e999" is valid JSON) written as a text instead, so
// that the reply parses and only the arrays that hold such a number fail their validation; empty when the
// body holds none.
std::optional<std::string> gf_quoteOutOfRangeNumbers(std::string_view body);
// The reply as JSON, its numbers beyond a double read as texts (quotedNumbers tells whether there were
// any); discarded when the body is no JSON even so.
nlohmann::json gf_parseReply(std::string_view body, bool& quotedNumbers);

// Parses a 24-bit address written in hex; empty for anything else (also 0 and values above 0xFFFFFF).
std::optional<std::uint32_t> gf_parseAddress(std::string_view text);

} // namespace kvr
