#pragma once
#include "refdata/aircraft_dbase.h"

#include <filesystem>
#include <unordered_map>

namespace kvr {

struct AircraftTypeEntry {
    AircraftCategory category = AircraftCategory::large;
    double halfWingspanNm = 0.0; // 0: not known
    std::vector<std::string> similar;
};

// Half spans (nm) of a typical member of each category, for a category the data base gives no span at all,
// so that spacing and collision checks never work with a zero size.
inline constexpr std::array<double, aircraftCategoryCount> fallbackHalfWingspanNm{
    11.0 / 2 / 1852, 18.0 / 2 / 1852, 34.0 / 2 / 1852, 60.0 / 2 / 1852, 10.0 / 2 / 1852, 12.0 / 2 / 1852};

// The tables behind the lookups that no other subsystem reads directly.
struct AircraftTables {
    std::unordered_map<std::string, AircraftTypeEntry> types;
    std::unordered_map<std::string, DbaseRecord> registrations;
    std::vector<std::string> shortRegistrations; // shorter than 6 characters, file order
    std::array<double, aircraftCategoryCount> averageHalfWingspanNm = fallbackHalfWingspanNm;
};
extern AircraftTables aircraftTables;

// Replaces every table of the aircraft data base with one encrypted file; the reading behind gf_readDbase
// without its once-per-process guard. On false or an exception the tables keep what they held.
bool lf_readDbaseFile(const std::filesystem::path& encryptedFile);

// The spellings tried for a registration, in order: for 5 or more characters, not beginning with 'N' and
// without '-', first two characters + "-" + rest, then first character + "-" + rest; then itself.
std::vector<std::string> lf_registrationVariants(std::string_view registration);

} // namespace kvr
