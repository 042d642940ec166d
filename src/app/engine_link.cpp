// The traffic engine is not part of this build yet: its tables stay empty, so every round finds no
// aircraft to work on.
#include "app/engine_link.h"

#include "core/log.h"

#include <atomic>

namespace kvr::engine_link {

namespace {

void lf_reportMissing() {
    static std::atomic<bool> reported{false};
    if (!reported.exchange(true))
        gf_logLine("The traffic engine is not available in this build");
}

} // namespace

void wire() {}
void reserveTrafficTables() {
    lf_reportMissing();
}
void setKeepReportsFlag(bool) {}
void handleAddingStack() {}
void processSimNotifications() {}
void clearTrafficTables() {}
void clearSpawnCache() {}
void clearSpawnedCallsigns() {}
std::string nearestStandName(double, double) {
    return {};
}
void setGroundReferenceAltitude(std::optional<double>) {}
void removeParkedAtStand(const std::string&) {}
void checkLiveOnStatic() {}
void serveDuplicateCheck(TimeSlot) {}
std::optional<std::uint32_t> followCallsign(const std::string&) {
    return std::nullopt;
}
void removeAllStatic() {}
void refreshCallsignList() {}
void removeGroundCollisionWithUser(double, double, double) {}
void removeAcInFrontOfUser() {}
void checkLiveAgainstStaticOnGround() {}
void removeBlockedCallsign(const std::string&) {}
ParkedCounts parkedCounts() {
    return {};
}
std::size_t parkPositionCount() {
    return 0;
}
void rebuildTraffic() {}

} // namespace kvr::engine_link
