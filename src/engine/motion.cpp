// Where a live aircraft is shown each tick: between the two samples round the tick, dead reckoned past
// the last one, and never faster than its reported speed allows, so that a gap (after a turn, a pushback
// or the creation) is closed smoothly instead of by a jump. In the air it flies along the path its samples
// describe (flight_path.cpp).
#include "core/log.h"
#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvr {

namespace {

constexpr double degToRad = std::numbers::pi / 180.0;
constexpr double radToDeg = 180.0 / std::numbers::pi;
constexpr double minutesPerDegree = 60.0;
constexpr double feetPerSecondPerKnot = 1.6878098571;
constexpr double metresPerSecondPerKnot = 0.5144444444;
constexpr double gravity = 9.80665;
constexpr double secondsPerHour = 3600.0;
// The nose sits a little above the flight path in the air.
constexpr double bodyAngleDeg = 2.0;

double wrap360(double degrees) {
    double wrapped = std::fmod(degrees, 360.0);
    return wrapped < 0.0 ? wrapped + 360.0 : wrapped;
}

double wrapLongitude(double longitude) {
    if (longitude >= -180.0 && longitude < 180.0)
        return longitude;
    const double shifted = std::fmod(longitude + 180.0, 360.0);
    return (shifted < 0.0 ? shifted + 360.0 : shifted) - 180.0;
}

double headingOf(const PositionSample& sample) {
    return sample.heading ? *sample.heading : sample.track;
}

double approach(double current, double target, double maxStep) {
    return current + std::clamp(target - current, -maxStep, maxStep);
}

double nmPerTick(double knots) {
    return knots * tuning::secondsPerTick / secondsPerHour;
}

double airPitch(const PositionSample& sample) {
    return lf_pitchForClimb(sample.groundSpeed, sample.verticalRate) + bodyAngleDeg;
}

// Pitch at the ends of the segment from the current sample to the next, computed once per segment.
void refreshSegment(LiveAc& aircraft, std::int64_t tick) {
    const PositionSample& a = aircraft.samples.front();
    const bool newCurrent = aircraft.segmentDueTick != a.dueTick;
    if (!newCurrent && aircraft.segmentSampleCount == aircraft.samples.size())
        return;
    aircraft.segmentDueTick = a.dueTick;
    aircraft.segmentSampleCount = aircraft.samples.size();
    const PositionSample* b = aircraft.samples.size() >= 2 ? &aircraft.samples[1] : nullptr;
    if (b && a.airborne) {
        aircraft.flightSegment = lf_flightSegmentOf(a, *b);
        // The tracks compared in one frame: over a pole the track turns round without a turn.
        const FrameOffset& leaving = aircraft.flightSegment.startTangent;
        const FrameOffset& meeting = aircraft.flightSegment.endTangent;
        const double turnDeg = std::atan2(leaving.east * meeting.north - leaving.north * meeting.east,
                                          leaving.east * meeting.east + leaving.north * meeting.north) *
                               radToDeg;
        if (b->airborne && std::abs(turnDeg) > tuning::turnSeenDeg)
            aircraft.turnSeenTick = b->dueTick;
    }
    aircraft.segmentPitchStart = a.airborne ? airPitch(a) : 0.0;
    aircraft.segmentPitchEnd = b ? (b->airborne ? airPitch(*b) : 0.0) : aircraft.segmentPitchStart;
    if (newCurrent)
        lf_onNewSegment(aircraft, tick);
    if (aircraft.phase == AcPhase::take_off && b && b->airborne)
        aircraft.segmentPitchEnd = std::max(aircraft.segmentPitchEnd, aircraft.values.rotationPitchDeg);
}

double segmentFraction(const LiveAc& aircraft, std::int64_t tick) {
    if (aircraft.samples.size() < 2)
        return 0.0;
    const PositionSample& a = aircraft.samples[0];
    const PositionSample& b = aircraft.samples[1];
    if (b.dueTick <= a.dueTick || tick <= a.dueTick)
        return 0.0;
    return std::min(1.0, static_cast<double>(tick - a.dueTick) / static_cast<double>(b.dueTick - a.dueTick));
}

// The reported ground speed round the tick, for the bounds of the shown aircraft's speed.
double reportedSpeedAt(const LiveAc& aircraft, std::int64_t tick) {
    const PositionSample& a = aircraft.samples.front();
    if (aircraft.samples.size() < 2)
        return a.groundSpeed;
    const double f = segmentFraction(aircraft, tick);
    return a.groundSpeed + (aircraft.samples[1].groundSpeed - a.groundSpeed) * f;
}

bool isShowable(const MotionState& state) {
    return std::isfinite(state.latitude) && std::isfinite(state.longitude) && std::isfinite(state.altitude) &&
           std::isfinite(state.heading) && std::isfinite(state.pitch) && std::isfinite(state.bank) &&
           std::isfinite(state.groundSpeed) && std::abs(state.latitude) <= 90.0 &&
           std::abs(state.longitude) <= 180.0;
}

// The point of the path to fly towards in the air: on the segment worked out for the two samples round
// the tick, or dead reckoned past the last one.
PathPoint airTargetAt(const LiveAc& aircraft, std::int64_t tick) {
    const PositionSample& a = aircraft.samples.front();
    if (aircraft.samples.size() >= 2 && aircraft.flightSegment.fromTick == a.dueTick &&
        aircraft.flightSegment.toTick == aircraft.samples[1].dueTick)
        return lf_pathPointAt(aircraft.flightSegment, a, aircraft.samples[1],
                              segmentFraction(aircraft, tick));
    const MotionState state = lf_sampleStateAt(aircraft, tick);
    PathPoint point;
    point.latitude = state.latitude;
    point.longitude = state.longitude;
    point.altitude = state.altitude;
    point.speedKt = state.groundSpeed;
    point.direction = lf_alongBearing(state.heading, 1.0);
    return point;
}

void followOnGround(MotionState& current, MotionState& target) {
    if (target.groundSpeed < tuning::standingSpeedKt)
        target.heading = current.heading;
    const double maxStep = nmPerTick(
        std::max(target.groundSpeed, current.groundSpeed) * tuning::catchUpFactor + tuning::catchUpKt);
    const double gap =
        lf_flatDistanceNm(current.latitude, current.longitude, target.latitude, target.longitude);
    double desiredHeading = target.heading;
    if (gap <= maxStep) {
        current.latitude = target.latitude;
        current.longitude = target.longitude;
    } else {
        const double bearing =
            lf_flatBearingDeg(current.latitude, current.longitude, target.latitude, target.longitude);
        lf_moveAlong(current.latitude, current.longitude, bearing, maxStep);
        if (gap > tuning::steerTowardsGapNm)
            desiredHeading = bearing;
    }
    const double maxTurn = tuning::groundTurnDegPerSecond * tuning::secondsPerTick;
    current.heading = wrap360(
        current.heading + std::clamp(lf_shorterArcDeg(current.heading, desiredHeading), -maxTurn, maxTurn));
    current.groundSpeed = target.groundSpeed;
}

} // namespace

double lf_shorterArcDeg(double fromDeg, double toDeg) {
    if (const double direct = toDeg - fromDeg; direct > -180.0 && direct <= 180.0)
        return direct;
    double difference = std::fmod(toDeg - fromDeg, 360.0);
    if (difference > 180.0)
        difference -= 360.0;
    else if (difference <= -180.0)
        difference += 360.0;
    return difference;
}

double lf_bankForTurn(double groundSpeedKt, double turnDegPerSecond) {
    const double speed = groundSpeedKt * metresPerSecondPerKnot;
    const double bank = std::atan(speed * turnDegPerSecond * degToRad / gravity) * radToDeg;
    return std::clamp(bank, -tuning::maxBankDeg, tuning::maxBankDeg);
}

double lf_pitchForClimb(double groundSpeedKt, double verticalRateFpm) {
    const double forward = groundSpeedKt * feetPerSecondPerKnot;
    const double up = verticalRateFpm / 60.0;
    if (forward <= 0.0 && up == 0.0)
        return 0.0;
    return std::atan2(up, std::max(forward, 0.0)) * radToDeg;
}

double lf_flatDistanceNm(double latitude1, double longitude1, double latitude2, double longitude2) {
    const double north = (latitude2 - latitude1) * minutesPerDegree;
    const double east = lf_shorterArcDeg(longitude1, longitude2) * minutesPerDegree *
                        std::cos((latitude1 + latitude2) * 0.5 * degToRad);
    return lf_lengthNm({east, north});
}

double lf_flatBearingDeg(double latitude1, double longitude1, double latitude2, double longitude2) {
    const double north = latitude2 - latitude1;
    const double east =
        lf_shorterArcDeg(longitude1, longitude2) * std::cos((latitude1 + latitude2) * 0.5 * degToRad);
    if (north == 0.0 && east == 0.0)
        return 0.0;
    return wrap360(std::atan2(east, north) * radToDeg);
}

bool lf_foldOverPole(double& latitude, double& longitude) {
    if (std::abs(latitude) <= 90.0) {
        longitude = wrapLongitude(longitude);
        return false;
    }
    latitude = std::copysign(180.0, latitude) - latitude;
    longitude = wrapLongitude(longitude + 180.0);
    return true;
}

double lf_moveAlong(double& latitude, double& longitude, double bearingDeg, double distanceNm) {
    const LocalFrame frame = lf_frameAt(latitude, longitude);
    return wrap360(bearingDeg -
                   lf_pointAt(frame, lf_alongBearing(bearingDeg, distanceNm), latitude, longitude));
}

void lf_trimSamples(LiveAc& aircraft, std::int64_t tick) {
    auto& samples = aircraft.samples;
    std::size_t passed = 0;
    while (passed < samples.size() && samples[passed].dueTick <= tick)
        ++passed;
    if (passed >= 2)
        samples.erase(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(passed - 1));
}

MotionState lf_sampleStateAt(const LiveAc& aircraft, std::int64_t tick) {
    const PositionSample& a = aircraft.samples.front();
    MotionState state;
    state.latitude = a.latitude;
    state.longitude = a.longitude;
    state.altitude = a.altitude;
    // In the air the nose points where the aircraft goes.
    state.heading = a.airborne ? a.track : headingOf(a);
    state.groundSpeed = a.groundSpeed;
    if (tick <= a.dueTick)
        return state;
    if (aircraft.samples.size() >= 2) {
        const PositionSample& b = aircraft.samples[1];
        const double f = segmentFraction(aircraft, tick);
        if (a.airborne)
            return lf_flightPathAt(a, b, f);
        state.latitude = a.latitude + (b.latitude - a.latitude) * f;
        state.longitude = wrapLongitude(a.longitude + lf_shorterArcDeg(a.longitude, b.longitude) * f);
        state.altitude = a.altitude + (b.altitude - a.altitude) * f;
        state.heading = wrap360(headingOf(a) + lf_shorterArcDeg(headingOf(a), headingOf(b)) * f);
        state.groundSpeed = a.groundSpeed + (b.groundSpeed - a.groundSpeed) * f;
        return state;
    }
    // An aircraft in the air cannot stop: it flies on along its track at its reported speed until the
    // next report comes or its reports are given up, however rarely its receivers hear it. On the ground
    // it may well have stopped. The climb is held after a short while, and a descent is only followed
    // down to a ground the aircraft's samples or the park airport show: where the ground is not known,
    // the next report tells how far down it went.
    const std::int64_t past = tick - a.dueTick;
    const std::int64_t movingTicks = a.airborne ? tuning::staleTicks : tuning::deadReckoningTicks;
    const double seconds = static_cast<double>(std::min(past, movingTicks)) * tuning::secondsPerTick;
    if (a.airborne && aircraft.turnSeenTick >= a.dueTick - tuning::cautiousAfterTurnTicks)
        state.groundSpeed *= tuning::slowestShareOfReported;
    const double trackOnArrival =
        lf_moveAlong(state.latitude, state.longitude, a.track, state.groundSpeed * seconds / secondsPerHour);
    if (a.airborne) {
        state.heading = trackOnArrival;
        const double climbSeconds =
            static_cast<double>(std::min(past, tuning::deadReckoningTicks)) * tuning::secondsPerTick;
        const std::optional<double> ground = lf_groundBelowFt(aircraft);
        if (a.verticalRate > 0.0)
            state.altitude += a.verticalRate * climbSeconds / 60.0;
        else if (ground)
            state.altitude = std::max(state.altitude + a.verticalRate * climbSeconds / 60.0,
                                      std::min(*ground, state.altitude));
    }
    if (past > movingTicks)
        state.groundSpeed = 0.0;
    return state;
}

void lf_followSamples(LiveAc& aircraft, std::int64_t tick) {
    refreshSegment(aircraft, tick);
    if (aircraft.phase == AcPhase::parking || aircraft.phase == AcPhase::parked)
        return;
    const PositionSample& a = aircraft.samples.front();
    MotionState& current = aircraft.current;
    const bool onGround = !a.airborne;
    aircraft.onGround = onGround;
    double targetAltitude = 0.0;
    double turnBank = 0.0;
    if (onGround) {
        MotionState target = lf_sampleStateAt(aircraft, tick);
        followOnGround(current, target);
        targetAltitude = target.altitude;
    } else {
        const PathPoint target = airTargetAt(aircraft, tick);
        turnBank = lf_flyTowards(aircraft, target, reportedSpeedAt(aircraft, tick));
        targetAltitude = target.altitude;
    }

    const double climbFpm = std::max(std::abs(a.verticalRate) * 1.5, tuning::minClimbFeetPerMinute);
    current.altitude = approach(current.altitude, targetAltitude, climbFpm / 60.0 * tuning::secondsPerTick);
    if (!onGround)
        if (const std::optional<double> ground = lf_groundBelowFt(aircraft))
            current.altitude = std::max(current.altitude, *ground);

    const double f = segmentFraction(aircraft, tick);
    const double pitch =
        aircraft.segmentPitchStart + (aircraft.segmentPitchEnd - aircraft.segmentPitchStart) * f;
    current.pitch = approach(current.pitch, pitch, tuning::pitchRateDegPerSecond * tuning::secondsPerTick);
    const double bank = onGround ? 0.0
                        : a.bank ? std::clamp(*a.bank, -tuning::maxBankDeg, tuning::maxBankDeg)
                                 : turnBank;
    current.bank = approach(current.bank, bank, tuning::bankRateDegPerSecond * tuning::secondsPerTick);
}

port::PositionUpdate lf_positionUpdateOf(const LiveAc& aircraft) {
    // The simulator counts pitch nose down and bank left wing down as positive.
    port::PositionUpdate update;
    update.objectId = aircraft.objectId;
    update.latitude = aircraft.current.latitude;
    update.longitude = aircraft.current.longitude;
    update.altitudeFt = aircraft.current.altitude;
    update.pitchRad = -aircraft.current.pitch * degToRad;
    update.bankRad = -aircraft.current.bank * degToRad;
    update.headingRad = aircraft.current.heading * degToRad;
    return update;
}

bool lf_updateLiveAc(LiveAc& aircraft, std::int64_t tick, port::PositionUpdate& update) {
    const MotionState shownBefore = aircraft.current;
    lf_trimSamples(aircraft, tick);
    const std::int64_t silent = tick - aircraft.samples.back().dueTick;
    const std::int64_t limit =
        aircraft.phase == AcPhase::parked ? tuning::staleParkedTicks : tuning::staleTicks;
    if (silent > limit) {
        removeAircraftFromSim(aircraft);
        return false;
    }
    switch (aircraft.phase) {
    case AcPhase::parked:
        lf_checkDeparture(aircraft, tick);
        if (aircraft.phase == AcPhase::parked &&
            (tick - aircraft.parkedSinceTick) % tuning::parkedUpdateTicks != 0)
            return false;
        break;
    case AcPhase::parking:
        lf_glideToStand(aircraft, tick);
        break;
    case AcPhase::pushing_back:
        lf_pushBack(aircraft, tick);
        break;
    case AcPhase::pushed_back:
        if (tick - aircraft.phaseStartTick < tuning::pushedBackWaitTicks)
            break;
        aircraft.phase = AcPhase::taxi;
        aircraft.segmentDueTick = -1;
        lf_followSamples(aircraft, tick);
        break;
    default:
        lf_followSamples(aircraft, tick);
        break;
    }
    // Nothing out of range goes to the simulator: the aircraft stays where it was last shown.
    if (!isShowable(aircraft.current)) {
        if (!aircraft.unshowableLogged)
            gf_logLine(
                fmt::format("{} ({:06X}): position out of range held back", aircraft.callsign, aircraft.id));
        aircraft.unshowableLogged = true;
        aircraft.current = shownBefore;
        if (!isShowable(aircraft.current))
            return false;
    }
    update = lf_positionUpdateOf(aircraft);
    return true;
}

} // namespace kvr
