#include "engine/stand_port.h"

namespace kvr::port {

std::vector<Stand> standList;
std::vector<ParkPosition> parkPositions;
std::atomic<int> learnedUpdateCount{0};

Stand::Stand(std::string id, std::vector<StandOption> options, const StandPlacement& placement,
             double radiusMetres, bool cargo, bool ramp, bool heli)
    : options(std::move(options)), id(std::move(id)), latitude(placement.latitude),
      longitude(placement.longitude), heading(placement.heading), radius(radiusMetres / 1852.0), cargo(cargo),
      ramp(ramp), heli(heli) {
    overlapping.reserve(8);
}

// The parking library, which keeps the learned stand options, is not part of this build: nothing is
// learned and the stays are not recorded.
void addStandOption(std::vector<StandOption>&, std::optional<std::uint32_t>& result, const StandVisitor&,
                    std::uint32_t, int, std::string_view, const std::string&, bool) {
    result.reset();
}

void addOptionCallsign(std::vector<StandOption>&, std::uint32_t, std::string_view) {}

bool updateOptions(std::vector<StandOption>&, std::vector<int>& slots, std::uint32_t) {
    slots.clear();
    return false;
}

bool updateOptionsWrapped(std::vector<StandOption>&, std::vector<int>& slots, std::uint32_t, std::uint32_t) {
    slots.clear();
    return false;
}

} // namespace kvr::port
