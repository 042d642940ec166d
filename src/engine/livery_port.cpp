#include "engine/livery_port.h"

namespace kvr::port {

void matchLiveAircraftLivery(MatchSubject& record) {
    gf_matchLiveAircraftLivery(record);
}

bool matchStaticAircraftLivery(MatchSubject& record, const MatchStand& stand) {
    return gf_matchStaticAircraftLivery(record, stand);
}

} // namespace kvr::port
