#pragma once
// The engine's view of the park airport's stands, the chosen static parking positions and the learning of
// stand use. The only engine file that names the parking library.
#include "parking/park_positions.h"
#include "parking/stand.h"
#include "parking/stand_learning.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvr::port {

using kvr::Stand;
using kvr::StandOption;
using kvr::StandPlacement;
using kvr::StandVisitor;
inline std::vector<Stand>& standList = kvr::standList;
inline std::atomic<int>& learnedUpdateCount = kvr::learnedUpdateCount;

using kvr::ParkPosition;
// Filled by the static parking of the park airport.
inline std::vector<ParkPosition>& parkPositions = kvr::parkPositions;

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
