#include "parking/stand.h"

#include <utility>

namespace kvr {

std::vector<Stand> standList;
bool handmadeApf = false;

Stand::Stand(std::string id_, std::vector<StandOption> options_, const StandPlacement& placement,
             double radiusMetres, bool cargo_, bool ramp_, bool heli_)
    : options(std::move(options_)), id(std::move(id_)), latitude(placement.latitude),
      longitude(placement.longitude), heading(placement.heading), radius(radiusMetres * standMetresToNm),
      cargo(cargo_), ramp(ramp_), heli(heli_) {
    overlapping.reserve(8);
}

void gf_clearStands() {
    standList.clear();
}

} // namespace kvr
