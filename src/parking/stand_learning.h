#pragma once
// The traffic engine's learning of stand use: the only writers of a stand's options during a session.
// Run thread only.
#include "parking/stand.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvr {

// Learned updates since the park airport was loaded; shown in the status display and the save message.
extern std::atomic<int> learnedUpdateCount;

// The aircraft seen at the stand, as the traffic engine's record gives it.
struct StandVisitor {
    std::string_view operatorCode;
    std::string_view type;
};

// Adds an option for an aircraft seen at a stand in one slot (0..47) of a weekday (1..7), unless the
// same registration already holds exactly this one slot on that day there. result is the new option's
// id, or none. A slot outside 0..47 throws std::out_of_range.
void gf_addStandOption(std::vector<StandOption>& options, std::optional<std::uint32_t>& result,
                       const StandVisitor& aircraft, std::uint32_t day, int slot, std::string_view callsign,
                       const std::string& registration, bool coupled);

// Records a callsign (one trailing "_" dropped) on the option with that id: first callsign, else
// second callsign.
void gf_addOptionCallsign(std::vector<StandOption>& options, std::uint32_t id, std::string_view callsign);

// Sets the slots of a stay (taken from the back of the list, which empties it) in the option with
// that id. False when there is no such option or a slot is outside 0..47 (logged).
bool updateOptions(std::vector<StandOption>& options, std::vector<int>& slots, std::uint32_t id);

// The same for a stay that crosses midnight (slots newest first): the part up to slot 47 goes into
// option id1, the part from slot 0 on into option id2; the newest slot is left out.
bool updateOptionsWrapped(std::vector<StandOption>& options, std::vector<int>& slots, std::uint32_t id1,
                          std::uint32_t id2);

} // namespace kvr
