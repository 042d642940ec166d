#pragma once
// The static parking positions chosen for the park airport's stands, which the traffic engine turns into
// static aircraft. Run thread only.
#include <cstdint>
#include <string>
#include <vector>

namespace kvr {

// One chosen static parking position.
struct ParkPosition {
    std::uint32_t aircraftId = 0; // address of a parked aircraft, the id of a kept static one; 0 learned
    std::uint32_t kind = 0;       // 0 from parked traffic, 1 from a learned stand option
    std::uint32_t standNumber = 0;
    // Half-hour slots since the aircraft parked (parked traffic), or the fit offset of the option (learned).
    std::uint32_t age = 0;
    std::string airline;
    std::string type;
    std::string callsign;
    std::string secondCallsign; // the option's second callsign; empty for parked traffic
    std::string registration;
    bool flag = false; // stays at the stand through the next half-hour slot
};

// The engine creates one static aircraft per tick from the LAST entry, so the list is kept with the
// oldest position first and the youngest created first.
extern std::vector<ParkPosition> parkPositions;

} // namespace kvr
