#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace kvr {

// One airport of the airports data base.
struct Airport {
    std::string code;        // ICAO code as written in the data base
    std::string iata;        // may be empty
    std::string name;        // may be empty
    double latitude = 0.0;   // degrees
    double longitude = 0.0;  // degrees
    double altitude = 0.0;   // feet
    std::int32_t stands = 0; // stock stands on the download server; 1 or more: a stock stand file exists
};

// Filled once per process by gf_readAirports and sorted by code (byte order; of a repeated code only the
// first entry is kept), then only read, from any thread.
extern std::vector<Airport> airportTable;
// The codes of airportTable.
extern std::unordered_set<std::string> airportCodeSet;

// Reads input/airports.enc (relative to the working folder) into the table, once per process; later calls
// return at once. True when the table is not empty. Throws UserErrorException 88 naming the file and the
// cause when the file is missing, cannot be decrypted or does not parse; a file without a usable airport
// is logged ("gf_readAirports: {} holds no airports") and read as nothing.
bool gf_readAirports();

// The airport whose code equals the text exactly (case-sensitive).
std::optional<Airport> gf_findAirport(std::string_view code);

// Whether the code is an airport of the data base (exact).
bool gf_isKnownAirport(std::string_view code);

// Its code ("?" when empty), followed by " (" name ")" when it has a name.
std::string gf_airportDisplayText(const Airport& airport);

// Upper-cases the first 4 characters of the name and gives the code of the first airport (table order)
// that is a prefix of them; empty when none.
std::string gf_airportCodeFromName(std::string_view name);

// The code of the first airport (table order) that occurs in the path with a dash before and after it,
// compared ASCII case-insensitively; empty when none.
std::string gf_airportCodeInPath(std::string_view pathText);

} // namespace kvr
