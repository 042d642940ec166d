#pragma once
// The aircraft data base: types, type fixes, airlines, registrations, publishers and the add-on airport
// lists, read once per process from input/dbase.enc and then only read, from any thread.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace kvr {

// Indexes every per-category table.
enum class AircraftCategory : std::uint8_t {
    light = 0,
    buzjet = 1,
    large = 2,
    heavy = 3,
    highPerformance = 4,
    rotorcraft = 5,
};
inline constexpr int aircraftCategoryCount = 6;

// "Light", "Buzjets", "Large", "Heavy", "HighPerf", "Rotorcraft".
const char* gf_aircraftCategoryName(AircraftCategory category);

// What the data base knows of one registration.
struct DbaseRecord {
    std::string airline;      // ICAO airline code
    std::string type;         // ICAO type designator
    std::string operatorCode; // operator, may differ from the airline; may be empty
    bool cargo = false;
};

// Per publisher, the codes of its archived stand files, each followed by its number of stands ("EHAM190").
struct ThirdPartyAirports {
    std::string publisher;
    std::vector<std::string> codes;
};

extern std::set<std::string> aircraftTypeSet;          // known ICAO type designators
extern std::map<std::string, std::string> typeFixes;   // wrong designator -> correct one
extern std::unordered_set<std::string> icaoAirlineSet; // three-letter codes; "ZZZ" and "PVT" always in it
extern std::vector<std::vector<std::string>> publisherNames; // groups of names, the first is canonical
extern std::set<std::string> simAddonAirportCodes;           // the simulator's own add-on airports
extern std::vector<ThirdPartyAirports> thirdPartyAirports20;
extern std::vector<ThirdPartyAirports> thirdPartyAirports24;

// Reads input/dbase.enc (relative to the working folder); later calls in the process return the first
// result. False when the decrypted XML does not parse, is not a data base or holds no aircraft types
// (each logged with its own line; the tables stay as they were). Throws std::runtime_error
// "{} not available" for a missing file and "{} stream decrypt failed" for one that cannot be decrypted.
bool gf_readDbase();

// The category of an ICAO type; an unknown type is large.
AircraftCategory gf_getAircraftCategory(std::string_view type);

// Half the wingspan in nm; for an unknown type, or one without a span, the average of its category.
double gf_getWingspan(std::string_view type);

bool gf_isIcaoAirline(std::string_view code);

// The record of a registration, trying its written variants in order (lf_registrationVariants); the
// first hit wins.
std::optional<DbaseRecord> gf_lookupRegistration(std::string_view registration);
// The record's airline / operator code; empty when the registration is empty or unknown.
std::string gf_airlineOfRegistration(std::string_view registration);
std::string gf_operatorOfRegistration(std::string_view registration);

// The first registration of the data base (file order) shorter than 6 characters that occurs inside the
// text.
std::optional<std::string> gf_findShortRegcodeIn(std::string_view text);

} // namespace kvr
