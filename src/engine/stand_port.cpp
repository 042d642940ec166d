#include "engine/stand_port.h"

namespace kvr::port {

void addStandOption(std::vector<StandOption>& options, std::optional<std::uint32_t>& result,
                    const StandVisitor& aircraft, std::uint32_t day, int slot, std::string_view callsign,
                    const std::string& registration, bool coupled) {
    gf_addStandOption(options, result, aircraft, day, slot, callsign, registration, coupled);
}

void addOptionCallsign(std::vector<StandOption>& options, std::uint32_t id, std::string_view callsign) {
    gf_addOptionCallsign(options, id, callsign);
}

bool updateOptions(std::vector<StandOption>& options, std::vector<int>& slots, std::uint32_t id) {
    return kvr::updateOptions(options, slots, id);
}

bool updateOptionsWrapped(std::vector<StandOption>& options, std::vector<int>& slots, std::uint32_t id1,
                          std::uint32_t id2) {
    return kvr::updateOptionsWrapped(options, slots, id1, id2);
}

} // namespace kvr::port
