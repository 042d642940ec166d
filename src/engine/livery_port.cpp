#include "engine/livery_port.h"

namespace kvr::port {

// Without the livery library in the build no livery is installed, so nothing matches and every aircraft
// is dropped before it reaches the simulator.
void matchLiveAircraftLivery(MatchSubject& record) {
    record.liveryTitle = {};
}

bool matchStaticAircraftLivery(MatchSubject& record, const MatchStand&) {
    record.liveryTitle = {};
    return false;
}

} // namespace kvr::port
