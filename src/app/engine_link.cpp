#include "app/engine_link.h"

#include "core/geodesy.h"
#include "engine/traffic_engine.h"
#include "liveries/livery_matching.h"

#include <algorithm>
#include <cmath>

namespace kvr::engine_link {

namespace {

// Two aircraft touch when their distance is below the sum of their half wingspans with this margin.
constexpr double liveCollisionMargin = 1.15;
constexpr double staticCollisionMargin = 1.1;
// A position counts as moved when it differs by this much in latitude or longitude.
constexpr double movedDegrees = 1e-8;

bool lf_moved(double latitude, double longitude, const GeoPoint& last) {
    return std::abs(latitude - last.latitude) >= movedDegrees ||
           std::abs(longitude - last.longitude) >= movedDegrees;
}

bool lf_active(const AcRecord& aircraft) {
    return !aircraft.removed && aircraft.simState == SimState::active;
}

// Where the user aircraft stood when the static aircraft were last checked against it.
GeoPoint lastStaticCheck;

bool lf_removeLiveTouchingUser(double latitude, double longitude, double userHalfWingspanNm) {
    for (LiveAc& aircraft : liveAcList) {
        if (!aircraft.onGround || !lf_active(aircraft))
            continue;
        if (gf_distanceNm(latitude, longitude, aircraft.current.latitude, aircraft.current.longitude) <=
            (userHalfWingspanNm + aircraft.halfWingspan) * liveCollisionMargin) {
            removeAircraftFromSim(aircraft);
            return true;
        }
    }
    return false;
}

void lf_removeStaticTouchingUser(double latitude, double longitude, double userHalfWingspanNm) {
    if (!lf_moved(latitude, longitude, lastStaticCheck))
        return;
    lastStaticCheck = {latitude, longitude};
    for (StaticAc& aircraft : staticAcList) {
        if (lf_active(aircraft) &&
            gf_distanceNm(latitude, longitude, aircraft.latitude, aircraft.longitude) <=
                (userHalfWingspanNm + aircraft.halfWingspan) * staticCollisionMargin) {
            removeAircraftFromSim(aircraft);
            return;
        }
    }
}

} // namespace

void wire() {
    gf_installReportIntake();
    // Every subject the matchers see is one of the engine's aircraft records, whose head it is.
    gf_installMatchHooks(
        {port::isFailedLiveryTitle, port::failedAircraftTexts,
         [](const MatchSubject& subject) { return gf_describeFlight(static_cast<const AcRecord&>(subject)); },
         [](const MatchSubject& subject) {
             return gf_describeFlightLong(static_cast<const AcRecord&>(subject));
         }});
}

void reserveTrafficTables() {
    lf_reserveTrafficTables();
}
void setKeepReportsFlag(bool keep) {
    lf_setKeepReportsFlag(keep);
}
void handleAddingStack() {
    lf_handleAddingStack();
}
void processSimNotifications() {
    lf_processSimNotifications();
}
void clearTrafficTables() {
    lf_clearTrafficTables();
}
void clearSpawnCache() {
    spawnCache.clear();
}
void clearSpawnedCallsigns() {
    spawnedCallsigns.clear();
}
void logReportIntake() {
    gf_logReportIntake();
}

std::string nearestStandName(double latitude, double longitude) {
    return gf_nearestStandName(latitude, longitude);
}

void setGroundReferenceAltitude(std::optional<double> feet) {
    gf_setGroundReferenceAltitude(feet);
}

void checkLiveOnStatic() {
    lf_checkLiveOnStatic();
}

void serveDuplicateCheck(TimeSlot now) {
    if (duplicateCheckIds.empty())
        return;
    const auto aircraft = std::find_if(liveAcList.begin(), liveAcList.end(), [](const LiveAc& a) {
        return !a.removed && a.id == duplicateCheckIds.front();
    });
    // The engine's tick drops the id of an aircraft that is gone; until then it waits here.
    if (aircraft == liveAcList.end())
        return;
    if (!aircraft->coupledSearchDone && now.weekday > 0 && now.slot >= 0) {
        lf_searchForCoupledCsAroundThisTime({static_cast<std::uint32_t>(now.weekday), now.slot}, *aircraft);
        aircraft->coupledSearchDone = true;
    }
    lf_removeDuplicates(*aircraft, aircraft->onGround);
    duplicateCheckIds.pop_front();
}

std::optional<std::uint32_t> followCallsign(const std::string& callsign) {
    for (const LiveAc& aircraft : liveAcList)
        if (lf_active(aircraft) && aircraft.callsign == callsign) {
            followedObject = aircraft.objectId;
            return aircraft.objectId;
        }
    return std::nullopt;
}

void removeAllStatic() {
    lf_removeAllStatic();
}
void refreshCallsignList() {
    lf_refreshCallsignList();
}

void removeGroundCollisionWithUser(double latitude, double longitude, double userHalfWingspanNm) {
    if (!lf_removeLiveTouchingUser(latitude, longitude, userHalfWingspanNm))
        lf_removeStaticTouchingUser(latitude, longitude, userHalfWingspanNm);
}

void removeAcInFrontOfUser() {
    lf_removeAcInFrontOfUser();
}

void checkLiveAgainstStaticOnGround() {
    if (staticAcList.empty())
        return;
    for (LiveAc& aircraft : liveAcList) {
        if (!aircraft.onGround || (aircraft.phase != AcPhase::taxi && aircraft.phase != AcPhase::parking))
            continue;
        if (!lf_moved(aircraft.current.latitude, aircraft.current.longitude, aircraft.lastStaticCheck))
            continue;
        if (lf_active(aircraft))
            lf_removeForCollisionWithStatic(aircraft);
    }
}

void removeBlockedCallsign(const std::string& callsign) {
    for (LiveAc& aircraft : liveAcList)
        if (lf_active(aircraft) && aircraft.callsign == callsign) {
            removeAircraftFromSim(aircraft);
            return;
        }
}

ParkedCounts parkedCounts() {
    ParkedCounts counts;
    counts.parkedLive = lf_countParkedLive(true);
    counts.activeLive =
        static_cast<unsigned>(std::count_if(liveAcList.begin(), liveAcList.end(), [](const LiveAc& a) {
            return lf_active(a) && a.phase != AcPhase::parked;
        }));
    counts.staticInSim = lf_countStaticInSim(true);
    return counts;
}

std::size_t parkPositionCount() {
    return port::parkPositions.size();
}

void rebuildTraffic() {
    for (LiveAc& aircraft : liveAcList)
        if (aircraft.simState == SimState::active || aircraft.simState == SimState::adding2sim)
            removeAircraftFromSim(aircraft);
    std::erase_if(liveAcList, [](const LiveAc& aircraft) { return aircraft.removed; });
    lf_removeAllStatic();
}

} // namespace kvr::engine_link
