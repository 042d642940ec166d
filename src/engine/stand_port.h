#pragma once
// The engine's view of the park airport's stands, the chosen static parking positions and the learning of
// stand use. The only engine file that names the parking library.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvr::port {

// One learned use of a stand.
struct StandOption {
    std::string airline;
    std::string type;
    std::string registration;
    std::string callsign;
    std::string callsign2;
    std::uint64_t halfHours = 0; // bit n = slot n, n = 0..47
    std::uint32_t aircraftId = 0;
    std::uint32_t day = 0; // weekday 1..7
    std::uint32_t fromStandFile = 0;
    std::uint32_t real = 0;
    bool coupled = false;
};

struct StandPlacement {
    double latitude;  // degrees
    double longitude; // degrees
    double heading;   // radians
};

// One stand of the park airport; radius in nautical miles, heading in radians.
struct Stand {
    Stand(std::string id, std::vector<StandOption> options, const StandPlacement& placement,
          double radiusMetres, bool cargo, bool ramp, bool heli);

    std::vector<StandOption> options;
    std::string id;
    std::vector<std::uint32_t> overlapping;
    double latitude;
    double longitude;
    double heading;
    double radius;
    std::uint32_t number = 0; // 1..N in list order
    bool manual = false;
    bool radiusChange = false;
    bool cargoChange = false;
    bool chosen = false;
    bool blocked = false;
    bool occupied = false;
    bool reservedForUser = false;
    bool cargo;
    bool ramp;
    bool heli;
};

// The stands of the park airport, in file order. Run thread only.
extern std::vector<Stand> standList;

// One chosen static parking position; the engine takes them from the end of parkPositions.
struct ParkPosition {
    std::uint32_t aircraftId = 0; // address of a parked aircraft; 0 for a learned position
    std::uint32_t kind = 0;       // 0 from parked traffic, 1 from a learned stand option
    std::uint32_t standNumber = 0;
    std::uint32_t age = 0;
    std::string airline;
    std::string type;
    std::string callsign;
    std::string secondCallsign;
    std::string registration;
    bool flag = false;
};
extern std::vector<ParkPosition> parkPositions;

// Learned updates since the park airport was loaded.
extern std::atomic<int> learnedUpdateCount;

// The aircraft seen at a stand.
struct StandVisitor {
    std::string_view operatorCode;
    std::string_view type;
};

// The learning of stand use: an option for an aircraft seen at a stand in one slot of a weekday, a
// callsign on an option, and the slots of a stay (newest first; taken from the back).
void addStandOption(std::vector<StandOption>& options, std::optional<std::uint32_t>& result,
                    const StandVisitor& aircraft, std::uint32_t day, int slot, std::string_view callsign,
                    const std::string& registration, bool coupled);
void addOptionCallsign(std::vector<StandOption>& options, std::uint32_t id, std::string_view callsign);
bool updateOptions(std::vector<StandOption>& options, std::vector<int>& slots, std::uint32_t id);
bool updateOptionsWrapped(std::vector<StandOption>& options, std::vector<int>& slots, std::uint32_t id1,
                          std::uint32_t id2);

} // namespace kvr::port
