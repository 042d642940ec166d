#include "parking/parking_hooks.h"

#include <utility>

namespace kvr {

namespace {
ParkingHooks installedHooks;
}

void gf_installParkingHooks(ParkingHooks hooks) {
    installedHooks = std::move(hooks);
}

const ParkingHooks& gf_parkingHooks() {
    return installedHooks;
}

} // namespace kvr
