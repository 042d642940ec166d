// The phases of a live aircraft and the moves between them. Each new current sample may change the
// phase: touch-down (landing), slow enough on the ground (taxi), faster than 40 kt on the ground
// (take-off), lift-off (flying), and stopped at a stand (parking: a glide onto the stand, then parked).
// A parked aircraft whose reports leave the stand and keep away from it pushes back straight, waits and
// taxis; unless only straight pushbacks are wanted, its nose turns to where the reports put it once the
// pushback is over, or it leaves forwards when that is where its reports go.
#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"
#include "settings/parameter_table.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

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

// The reports stop here: this one and the next stand still at one place, or this one is slow and is the
// last. An aircraft that merely slows or waits a moment on its way has a next report that moves.
bool reportsStop(const LiveAc& aircraft) {
    const PositionSample& a = aircraft.samples.front();
    if (a.airborne)
        return false;
    if (aircraft.samples.size() < 2)
        return a.groundSpeed < tuning::parkingSpeedKt;
    const PositionSample& b = aircraft.samples[1];
    return a.standing && b.standing &&
           lf_flatDistanceNm(a.latitude, a.longitude, b.latitude, b.longitude) <= tuning::leftStandNm;
}

bool awayFromWhereItStood(const LiveAc& aircraft, const PositionSample& sample) {
    return lf_flatDistanceNm(sample.latitude, sample.longitude, aircraft.stoodAt.latitude,
                             aircraft.stoodAt.longitude) > tuning::leftStandNm;
}

// Where the reports put the nose once the pushback is over; true when they already move off forwards.
// Backing out, the tail goes where the reports' track says and the nose points the other way; the first
// report that turns away from the tail's way (more after a stop, when the tug has let go) moves off
// forwards, nose first. A reported heading is the nose itself.
bool noseAfterPushback(const LiveAc& aircraft, double& noseDeg) {
    double tailWayDeg = aircraft.standHeading * radToDeg + 180.0;
    std::optional<double> reportedNoseDeg;
    bool stopped = false;
    for (const PositionSample& sample : aircraft.samples) {
        if (sample.groundSpeed < tuning::departureSpeedKt) {
            stopped = true;
            continue;
        }
        const double limit = stopped ? tuning::pushbackReversalAfterStopDeg : tuning::pushbackReversalDeg;
        if (std::abs(lf_shorterArcDeg(tailWayDeg, sample.track)) > limit) {
            noseDeg = sample.heading.value_or(sample.track);
            return true;
        }
        tailWayDeg = sample.track;
        reportedNoseDeg = sample.heading;
        stopped = false;
    }
    noseDeg = reportedNoseDeg.value_or(tailWayDeg + 180.0);
    return false;
}

// The nose's turn over the pushback, from the reports held now. Once they move off forwards it is known;
// until then the reports that come in may still tell it better.
void aimPushback(LiveAc& aircraft) {
    double noseDeg = 0;
    aircraft.pushbackEndKnown = noseAfterPushback(aircraft, noseDeg);
    aircraft.pushbackTurnDeg = std::clamp(lf_shorterArcDeg(aircraft.standHeading * radToDeg, noseDeg),
                                          -tuning::maxPushbackTurnDeg, tuning::maxPushbackTurnDeg);
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
        else if (!aircraft.departed && reportsStop(aircraft)) {
            const auto stand = lf_findStandHolding(a.latitude, a.longitude, aircraft);
            if (stand != port::standList.end())
                lf_startParking(aircraft, *stand, tick);
        }
        break;
    default:
        break;
    }
}

void lf_takeStand(LiveAc& aircraft, port::Stand& stand) {
    lf_makeRoomAtStand(aircraft, stand);
    stand.occupied = true;
    aircraft.standNumber = stand.number;
    aircraft.standLatitude = stand.latitude;
    aircraft.standLongitude = stand.longitude;
    aircraft.standHeading = stand.heading;
    if (aircraft.samples.empty())
        aircraft.stoodAt = {stand.latitude, stand.longitude};
    else
        aircraft.stoodAt = {aircraft.samples.front().latitude, aircraft.samples.front().longitude};
}

void lf_startParking(LiveAc& aircraft, port::Stand& stand, std::int64_t tick) {
    lf_takeStand(aircraft, stand);
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
    if (!lf_wantsNavLights(aircraft))
        lf_setNavLights(aircraft, false);
    lf_addRealStandOption(aircraft);
}

void lf_checkDeparture(LiveAc& aircraft, std::int64_t tick) {
    const auto& samples = aircraft.samples;
    if (samples.size() < 2 || samples.front().dueTick > tick)
        return;
    // One report off the stand (a wrong position, a speed from noise) ends no stay: the aircraft has left
    // once the current report and the next one both lie away from where it stood.
    const PositionSample& next = samples[1];
    if (!awayFromWhereItStood(aircraft, samples.front()) || !awayFromWhereItStood(aircraft, next))
        return;

    lf_recordStay(aircraft);
    const bool lightsWereOff = !lf_wantsNavLights(aircraft);
    releaseStand(aircraft);
    aircraft.departed = true;
    aircraft.phaseStartTick = tick;
    aircraft.phaseStart = aircraft.current;
    aircraft.segmentDueTick = -1;

    const double wayOutDeg =
        lf_shorterArcDeg(aircraft.standHeading * radToDeg,
                         lf_flatBearingDeg(aircraft.stoodAt.latitude, aircraft.stoodAt.longitude,
                                           next.latitude, next.longitude));
    const bool straightOnly = STRAIGHT_PBS_ONLY.value();
    if (!aircraft.values.pushesBack || (!straightOnly && std::abs(wayOutDeg) < tuning::forwardDepartureDeg)) {
        aircraft.phase = AcPhase::taxi;
    } else {
        aircraft.phase = AcPhase::pushing_back;
        aircraft.moveDistanceNm = tuning::pushbackWingspans * 2.0 * aircraft.halfWingspan;
        aircraft.pushbackTurnDeg = 0.0;
        aircraft.pushbackEndKnown = straightOnly;
        if (!straightOnly)
            aimPushback(aircraft);
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
    if (travelled <= half && !aircraft.pushbackEndKnown)
        aimPushback(aircraft);
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

void lf_settleGroundFlicker(std::vector<PositionSample>& samples) {
    for (std::size_t first = 1; first + 1 < samples.size(); ++first) {
        if (!samples[first].airborne || samples[first - 1].airborne)
            continue;
        std::size_t end = first;
        while (end < samples.size() && samples[end].airborne)
            ++end;
        if (end == samples.size())
            return;
        const PositionSample& before = samples[first - 1];
        if (samples[end].timestamp - before.timestamp <= tuning::groundFlickerSeconds)
            for (std::size_t i = first; i < end; ++i) {
                samples[i].airborne = false;
                samples[i].altitude = before.altitude;
                samples[i].standing = samples[i].groundSpeed < tuning::standingSpeedKt;
            }
        first = end;
    }
}

} // namespace kvr
