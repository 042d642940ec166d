#pragma once
// The stands of the park airport and their learned uses. Only the run thread touches them.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kvr {

// One learned use of a stand: who stood there, on which weekday, during which half-hour slots.
struct StandOption {
    std::string airline;
    std::string type;
    std::string registration;
    std::string callsign;
    std::string callsign2;
    std::uint64_t halfHours = 0;     // bit n = slot n, n = 0..47
    std::uint32_t aircraftId = 0;    // 1.. within its stand; 0 marks an unused option, never written
    std::uint32_t day = 0;           // weekday 1..7
    std::uint32_t fromStandFile = 0; // 1: read with a full stand set; 0: learned
    std::uint32_t real = 0;          // 1: seen in real traffic; 0: soft (assumed)
    bool coupled = false;
};

// Who an opt element names; moved out of its reader, never copied.
struct OptIdentity {
    std::string callsign;
    std::string callsign2;
    std::string airline;
    std::string type;

    OptIdentity() = default;
    OptIdentity(OptIdentity&&) noexcept = default;
    OptIdentity& operator=(OptIdentity&&) noexcept = default;
    OptIdentity(const OptIdentity&) = delete;
    OptIdentity& operator=(const OptIdentity&) = delete;
};

struct StandPlacement {
    double latitude;  // degrees
    double longitude; // degrees
    double heading;   // radians
};

inline constexpr double standMetresToNm = 0.0005399568034557236; // 1 / 1852
inline constexpr double standNmToMetres = 1852.0;
inline constexpr double standRadiansToDegrees = 57.29577951308232;
inline constexpr double standDegreesToRadians = 0.017453292519943295;

// One stand of the park airport. Radii are held in nautical miles, headings in radians.
struct Stand {
    Stand(std::string id, std::vector<StandOption> options, const StandPlacement& placement,
          double radiusMetres, bool cargo, bool ramp, bool heli);
    // The stand list grows by moving its stands.
    Stand(Stand&&) noexcept = default;
    Stand& operator=(Stand&&) noexcept = default;
    Stand(const Stand&) = default;
    Stand& operator=(const Stand&) = default;

    std::vector<StandOption> options;
    std::string id;
    std::vector<std::uint32_t> overlapping; // numbers of the stands whose circles overlap this one
    double latitude;
    double longitude;
    double heading;
    double radius;
    std::uint32_t number = 0;  // 1..N in standList order once the list is numbered
    bool manual = false;       // added by hand in a learned file
    bool radiusChange = false; // radius learned
    bool cargoChange = false;  // cargo flag learned
    // Run-time state of static parking.
    bool chosen = false;
    bool blocked = false;
    bool occupied = false;
    bool reservedForUser = false;
    bool cargo;
    bool ramp;
    bool heli;
};

// The stands of the current park airport, in file order.
extern std::vector<Stand> standList;

// Set while the park airport's stands come from a handmade learned file.
extern bool handmadeApf;

void gf_clearStands();

// What the park airport's stand file says about itself; emptied before each reading.
struct ParkAirportFileInfo {
    std::string airportName;
    std::string publisher;
    std::int32_t altitude = 0; // feet
    std::string fileName;      // the file the stands were read from: the learned file when handmade
    // The airport's learned file, read from and saved to; empty when the stand file has none.
    std::filesystem::path learnedPath;
    // The learned file could not be copied aside when it was read: it is copied before it is written over.
    bool learnedCopyOwed = false;
    // parkpos elements of the learned file that gave no stand (their stand is missing from the stand file
    // or was refused, or a manual stand was refused), as read: written back unchanged.
    std::vector<std::string> keptParkpos;
};

// What gf_writeApf writes: a scanned airport or the learned state of the park airport.
struct ApfRecord {
    std::string code; // ICAO code; names the file
    std::string airportName;
    std::string bglPath;
    std::string publisher;
    std::string manufacturer;
    std::string creator;
    std::int32_t qfReal = 0;
    std::int32_t qfSoft = 0;
    std::int32_t altitude = 0; // feet
    std::vector<Stand> stands;
    std::vector<std::string> keptParkpos; // learned files: parkpos elements written back as they were read
};

} // namespace kvr
