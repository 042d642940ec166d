// The phases of a live aircraft and the moves between them. Each new current sample may change the
// phase: touch-down (landing), slow enough on the ground (taxi), faster than 40 kt on the ground
// (take-off), lift-off (flying), and stopped near a free stand (parking: a glide onto the stand, then
// parked). A parked aircraft whose samples leave the stand pushes back straight, waits and taxis; unless
// only straight pushbacks are wanted, its nose turns towards where it will go on the way back, or it
// leaves forwards when that is where its samples go.
#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"
#include "settings/parameter_table.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvr {

namespace {

constexpr double radToDeg = 180.0 / std::numbers::pi;

double nmPerTick(double knots) {
    return knots * tuning::secondsPerTick / 3600.0;
}

void releaseStand(LiveAc& aircraft) {
    if (port::Stand* stand = lf_standByNumber(aircraft.standNumber))
        stand->occupied = false;
    aircraft.standNumber = 0;
}

} // namespace

void lf_setNavLights(const AcRecord& aircraft, bool on) {
    if (aircraft.fsltl || aircraft.objectId == 0 || aircraft.simState != SimState::active)
        return;
    port::queueNavLights(aircraft.objectId, on ? 1u : 0u);
}

bool lf_wantsNavLights(const LiveAc& aircraft) {
    return aircraft.phase != AcPhase::parked || NAV_LIGHTS_WHILE_PARKED.value();
}

void lf_onNewSegment(LiveAc& aircraft, std::int64_t tick) {
    const PositionSample& a = aircraft.samples.front();
    if (a.dueTick > tick)
        return;
    aircraft.onGround = !a.airborne;
    aircraft.slowSamples =
        !a.airborne && a.groundSpeed < tuning::parkingSpeedKt ? aircraft.slowSamples + 1 : 0;
    switch (aircraft.phase) {
    case AcPhase::flying:
        if (!a.airborne)
            aircraft.phase = AcPhase::landing;
        break;
    case AcPhase::landing:
    case AcPhase::take_off:
        if (a.airborne)
            aircraft.phase = AcPhase::flying;
        else if (a.groundSpeed < tuning::taxiAfterLandingKt)
            aircraft.phase = AcPhase::taxi;
        break;
    case AcPhase::taxi:
        if (a.airborne)
            aircraft.phase = AcPhase::flying;
        else if (a.groundSpeed > tuning::takeOffSpeedKt)
            aircraft.phase = AcPhase::take_off;
        else if (!aircraft.departed && aircraft.slowSamples >= tuning::parkingSlowSamples) {
            const auto stand =
                lf_findNearestStand(a.latitude, a.longitude, aircraft, tuning::parkingSearchNm, true);
            if (stand != port::standList.end())
                lf_startParking(aircraft, *stand, tick);
        }
        break;
    default:
        break;
    }
}

void lf_startParking(LiveAc& aircraft, port::Stand& stand, std::int64_t tick) {
    stand.occupied = true;
    aircraft.standNumber = stand.number;
    aircraft.standLatitude = stand.latitude;
    aircraft.standLongitude = stand.longitude;
    aircraft.standHeading = stand.heading;
    aircraft.phase = AcPhase::parking;
    aircraft.phaseStartTick = tick;
    aircraft.phaseStart = aircraft.current;
    aircraft.moveDistanceNm = lf_flatDistanceNm(aircraft.current.latitude, aircraft.current.longitude,
                                                stand.latitude, stand.longitude);
}

void lf_glideToStand(LiveAc& aircraft, std::int64_t tick) {
    const double travelled =
        static_cast<double>(tick - aircraft.phaseStartTick) * nmPerTick(tuning::glideSpeedKt);
    const double f = aircraft.moveDistanceNm > 0.0 ? std::min(1.0, travelled / aircraft.moveDistanceNm) : 1.0;
    if (f >= 1.0) {
        lf_arriveAtStand(aircraft, tick);
        return;
    }
    const MotionState& start = aircraft.phaseStart;
    MotionState& current = aircraft.current;
    current.latitude = start.latitude + (aircraft.standLatitude - start.latitude) * f;
    current.longitude = start.longitude + lf_shorterArcDeg(start.longitude, aircraft.standLongitude) * f;
    const double standHeadingDeg = aircraft.standHeading * radToDeg;
    current.heading =
        std::fmod(start.heading + lf_shorterArcDeg(start.heading, standHeadingDeg) * f + 360.0, 360.0);
    current.groundSpeed = tuning::glideSpeedKt;
    current.pitch = 0.0;
    current.bank = 0.0;
    aircraft.onGround = true;
}

void lf_arriveAtStand(LiveAc& aircraft, std::int64_t tick) {
    MotionState& current = aircraft.current;
    current.latitude = aircraft.standLatitude;
    current.longitude = aircraft.standLongitude;
    current.heading = std::fmod(aircraft.standHeading * radToDeg + 360.0, 360.0);
    current.groundSpeed = 0.0;
    current.pitch = 0.0;
    current.bank = 0.0;
    aircraft.onGround = true;
    aircraft.phase = AcPhase::parked;
    aircraft.parkedSinceTick = tick;
    aircraft.stoodSinceParked = false;
    if (!lf_wantsNavLights(aircraft))
        lf_setNavLights(aircraft, false);
    lf_addRealStandOption(aircraft);
}

void lf_checkDeparture(LiveAc& aircraft, std::int64_t tick) {
    const PositionSample& a = aircraft.samples.front();
    if (a.dueTick > tick)
        return;
    if (a.standing)
        aircraft.stoodSinceParked = true;
    const double fromStand =
        lf_flatDistanceNm(a.latitude, a.longitude, aircraft.standLatitude, aircraft.standLongitude);
    // An aircraft that has not yet stood still is still creeping onto its real stand.
    const bool moving = (aircraft.stoodSinceParked && a.groundSpeed >= tuning::departureSpeedKt) ||
                        fromStand > tuning::parkingSearchNm;
    if (!moving)
        return;

    lf_recordStay(aircraft);
    const bool lightsWereOff = !lf_wantsNavLights(aircraft);
    releaseStand(aircraft);
    aircraft.departed = true;
    aircraft.phaseStartTick = tick;
    aircraft.phaseStart = aircraft.current;
    aircraft.segmentDueTick = -1;

    const PositionSample& ahead = aircraft.samples.back();
    const double standHeadingDeg = aircraft.standHeading * radToDeg;
    const double towardsAhead =
        lf_shorterArcDeg(standHeadingDeg, lf_flatBearingDeg(aircraft.standLatitude, aircraft.standLongitude,
                                                            ahead.latitude, ahead.longitude));
    const bool straightOnly = STRAIGHT_PBS_ONLY.value();
    if (!aircraft.values.pushesBack ||
        (!straightOnly && std::abs(towardsAhead) < tuning::forwardDepartureDeg)) {
        aircraft.phase = AcPhase::taxi;
    } else {
        aircraft.phase = AcPhase::pushing_back;
        aircraft.moveDistanceNm = tuning::pushbackWingspans * 2.0 * aircraft.halfWingspan;
        aircraft.pushbackTurnDeg =
            straightOnly ? 0.0
                         : std::clamp(towardsAhead, -tuning::maxPushbackTurnDeg, tuning::maxPushbackTurnDeg);
    }
    if (lightsWereOff)
        lf_setNavLights(aircraft, true);
}

void lf_pushBack(LiveAc& aircraft, std::int64_t tick) {
    MotionState& current = aircraft.current;
    const double step = nmPerTick(tuning::pushbackSpeedKt);
    const double travelled = static_cast<double>(tick - aircraft.phaseStartTick) * step;
    if (travelled >= aircraft.moveDistanceNm) {
        current.heading = std::fmod(aircraft.phaseStart.heading + aircraft.pushbackTurnDeg + 360.0, 360.0);
        aircraft.phase = AcPhase::pushed_back;
        aircraft.phaseStartTick = tick;
        current.groundSpeed = 0.0;
        return;
    }
    const double half = aircraft.moveDistanceNm / 2.0;
    if (travelled > half && aircraft.pushbackTurnDeg != 0.0)
        current.heading = std::fmod(aircraft.phaseStart.heading +
                                        aircraft.pushbackTurnDeg * (travelled - half) / half + 360.0,
                                    360.0);
    lf_moveAlong(current.latitude, current.longitude, current.heading + 180.0, step);
    current.groundSpeed = tuning::pushbackSpeedKt;
    current.pitch = 0.0;
    current.bank = 0.0;
    aircraft.onGround = true;
}

} // namespace kvr
