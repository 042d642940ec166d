// Taking aircraft out of the simulator: the one removal operation and the rules that call it.
#include "core/geodesy.h"
#include "core/log.h"
#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvr {

namespace {

template <typename Aircraft>
void removeFromSim(Aircraft& aircraft, std::deque<port::CreateRequest>& createQueue) {
    switch (aircraft.simState) {
    case SimState::buffer:
        aircraft.removed = true;
        break;
    case SimState::adding2sim:
        if (aircraft.removeWhenCreated)
            break;
        if (lf_removeQueuedCreates(createQueue, aircraft.callsign))
            aircraft.removed = true;
        else
            aircraft.removeWhenCreated = true;
        break;
    case SimState::active:
        aircraft.simState = SimState::removingfromsim;
        lf_pendingRemovals().push_back(aircraft.objectId);
        if (followedObject == aircraft.objectId)
            followedObject = 0;
        break;
    case SimState::removingfromsim:
        break;
    }
}

double distanceFromUser(const LiveAc& aircraft, const port::UserAcData& user) {
    return gf_distanceNm(user.latitude, user.longitude, aircraft.current.latitude,
                         aircraft.current.longitude);
}

} // namespace

void removeAircraftFromSim(LiveAc& aircraft) {
    if (port::Stand* stand = lf_standByNumber(aircraft.standNumber)) {
        lf_recordStay(aircraft);
        stand->occupied = false;
    }
    aircraft.standNumber = 0;
    removeFromSim(aircraft, createDequeLive);
}

void removeAircraftFromSim(StaticAc& aircraft) {
    if (port::Stand* stand = lf_standByNumber(aircraft.standNumber))
        stand->occupied = false;
    removeFromSim(aircraft, createDequeStatic);
}

bool lf_removeQueuedCreates(std::deque<port::CreateRequest>& queue, std::string_view callsign) {
    return std::erase_if(queue, [callsign](const port::CreateRequest& request) {
               return request.tailNumber == callsign;
           }) > 0;
}

bool lf_removeFarthestLive(double distanceNm) {
    const port::UserAcData user = port::latestUserAcData();
    LiveAc* farthest = nullptr;
    double farthestDistance = distanceNm;
    for (LiveAc& aircraft : liveAcList) {
        if (aircraft.simState != SimState::active || aircraft.removed)
            continue;
        const double distance = distanceFromUser(aircraft, user);
        if (distance > farthestDistance) {
            farthest = &aircraft;
            farthestDistance = distance;
        }
    }
    if (!farthest)
        return true;
    removeAircraftFromSim(*farthest);
    return false;
}

bool lf_removeParkedAtStand(const port::Stand* stand) {
    if (!stand)
        return false;
    for (StaticAc& aircraft : staticAcList)
        if (aircraft.simState == SimState::active && aircraft.standNumber == stand->number) {
            removeAircraftFromSim(aircraft);
            return true;
        }
    for (LiveAc& aircraft : liveAcList)
        if (aircraft.simState == SimState::active && aircraft.phase == AcPhase::parked &&
            aircraft.standNumber == stand->number) {
            removeAircraftFromSim(aircraft);
            return true;
        }
    return false;
}

void lf_removeAllStatic() {
    for (StaticAc& aircraft : staticAcList)
        removeAircraftFromSim(aircraft);
}

void lf_removeExcessLiveParked(int count) {
    while (count-- > 0) {
        LiveAc* longest = nullptr;
        for (LiveAc& aircraft : liveAcList)
            if (aircraft.simState == SimState::active && aircraft.phase == AcPhase::parked &&
                (!longest || aircraft.parkedSinceTick < longest->parkedSinceTick))
                longest = &aircraft;
        if (!longest)
            return;
        const port::Stand* stand = lf_standByNumber(longest->standNumber);
        gf_logLine(fmt::format("live parked {} at {} removed", longest->callsign, stand ? stand->id : "?"));
        removeAircraftFromSim(*longest);
    }
}

void lf_removeAcInFrontOfUser() {
    const port::UserAcData user = port::latestUserAcData();
    for (LiveAc& aircraft : liveAcList) {
        if (aircraft.simState != SimState::active || aircraft.onGround)
            continue;
        if (std::abs(aircraft.current.altitude - user.altitude) > tuning::inFrontHeightFt)
            continue;
        if (distanceFromUser(aircraft, user) > tuning::inFrontDistanceNm)
            continue;
        const double bearing = gf_initialBearing(user.latitude, user.longitude, aircraft.current.latitude,
                                                 aircraft.current.longitude) *
                               180.0 / std::numbers::pi;
        if (std::abs(lf_shorterArcDeg(user.heading, bearing)) > tuning::inFrontAngleDeg)
            continue;
        gf_logLine(fmt::format("{} removed: in front of the user aircraft", aircraft.callsign));
        removeAircraftFromSim(aircraft);
    }
}

bool lf_removeForCollisionWithStatic(LiveAc& aircraft) {
    aircraft.lastStaticCheck = {aircraft.current.latitude, aircraft.current.longitude};
    const std::string ownStatic = aircraft.reportCallsign + "*";
    for (const StaticAc& parked : staticAcList) {
        if (parked.simState != SimState::active || parked.callsign == ownStatic)
            continue;
        const double limit = (aircraft.halfWingspan + parked.halfWingspan) * tuning::staticCollisionFactor;
        if (gf_distanceNm(aircraft.current.latitude, aircraft.current.longitude, parked.latitude,
                          parked.longitude) <= limit) {
            gf_logLine(
                fmt::format("{} removed: collision with static {}", aircraft.callsign, parked.callsign));
            removeAircraftFromSim(aircraft);
            return true;
        }
    }
    return false;
}

} // namespace kvr
