// How an aircraft in the air follows its samples. Between two samples its path bends with their tracks:
// a curve through both positions that leaves the first along its track and meets the second along its
// own, so that a turn between two reports is flown as a turn and not cut along the straight line. The
// shown aircraft flies along its nose towards that path, faster or slower than the path point of the
// moment, but never backwards or sideways: a report that lies behind it slows it down until the path
// meets it.
#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvr {

namespace {

constexpr double degToRad = std::numbers::pi / 180.0;
constexpr double radToDeg = 180.0 / std::numbers::pi;
constexpr double secondsPerHour = 3600.0;
// The tangent of the largest angle at which the shown aircraft meets its path.
const double interceptTangent = std::tan(tuning::maxInterceptDeg * degToRad);

double wrap360(double degrees) {
    if (degrees >= 0.0 && degrees < 360.0)
        return degrees;
    const double wrapped = std::fmod(degrees, 360.0);
    return wrapped < 0.0 ? wrapped + 360.0 : wrapped;
}

} // namespace

FlightSegment lf_flightSegmentOf(const PositionSample& a, const PositionSample& b) {
    FlightSegment segment;
    segment.fromTick = a.dueTick;
    segment.toTick = b.dueTick;
    segment.frame = lf_frameAt(a.latitude, a.longitude);
    segment.chord = lf_offsetIn(segment.frame, b.latitude, b.longitude);
    segment.hours = static_cast<double>(b.dueTick - a.dueTick) * tuning::secondsPerTick / secondsPerHour;
    const double longestNm = lf_lengthNm(segment.chord) * tuning::longestTangentChords;
    segment.startTangent = lf_alongBearing(a.track, std::min(a.groundSpeed * segment.hours, longestNm));
    segment.endTangent = lf_alongBearing(b.track + lf_bearingTurnAt(segment.frame, b.latitude, b.longitude),
                                         std::min(b.groundSpeed * segment.hours, longestNm));
    return segment;
}

PathPoint lf_pathPointAt(const FlightSegment& segment, const PositionSample& a, const PositionSample& b,
                         double f) {
    // The cubic Hermite curve of the two positions and tangents, and its derivative.
    const double f2 = f * f;
    const double f3 = f2 * f;
    const double h10 = f3 - 2.0 * f2 + f;
    const double h01 = 3.0 * f2 - 2.0 * f3;
    const double h11 = f3 - f2;
    const double d10 = 3.0 * f2 - 4.0 * f + 1.0;
    const double d01 = 6.0 * f - 6.0 * f2;
    const double d11 = 3.0 * f2 - 2.0 * f;
    const FrameOffset& m0 = segment.startTangent;
    const FrameOffset& m1 = segment.endTangent;
    const FrameOffset& chord = segment.chord;
    const FrameOffset at{h10 * m0.east + h01 * chord.east + h11 * m1.east,
                         h10 * m0.north + h01 * chord.north + h11 * m1.north};
    const FrameOffset pace{d10 * m0.east + d01 * chord.east + d11 * m1.east,
                           d10 * m0.north + d01 * chord.north + d11 * m1.north};

    PathPoint point;
    point.bearingTurn = lf_pointAt(segment.frame, at, point.latitude, point.longitude);
    point.altitude = a.altitude + (b.altitude - a.altitude) * f;
    const double paceNm = lf_lengthNm(pace);
    if (paceNm > 0.0 && segment.hours > 0.0) {
        point.direction = {pace.east / paceNm, pace.north / paceNm};
        point.speedKt = paceNm / segment.hours;
    } else {
        point.direction = lf_alongBearing(a.track + lf_shorterArcDeg(a.track, b.track) * f, 1.0);
        point.speedKt = a.groundSpeed + (b.groundSpeed - a.groundSpeed) * f;
    }
    return point;
}

MotionState lf_flightPathAt(const PositionSample& a, const PositionSample& b, double f) {
    const PathPoint point = lf_pathPointAt(lf_flightSegmentOf(a, b), a, b, f);
    MotionState state;
    state.latitude = point.latitude;
    state.longitude = point.longitude;
    state.altitude = point.altitude;
    state.groundSpeed = point.speedKt;
    state.heading =
        wrap360(std::atan2(point.direction.east, point.direction.north) * radToDeg - point.bearingTurn);
    return state;
}

std::optional<double> lf_groundBelowFt(const LiveAc& aircraft) {
    std::optional<double> ground;
    for (const PositionSample& sample : aircraft.samples)
        if (!sample.airborne)
            ground = std::max(ground.value_or(sample.altitude), sample.altitude);
    // A quick look at the latitude first: most aircraft are far from the park airport.
    if (groundReferenceAltitude && !port::standList.empty() &&
        std::abs(aircraft.current.latitude - port::standList.front().latitude) * 60.0 <
            tuning::groundReferenceRangeNm &&
        lf_flatDistanceNm(aircraft.current.latitude, aircraft.current.longitude,
                          port::standList.front().latitude,
                          port::standList.front().longitude) < tuning::groundReferenceRangeNm)
        ground = std::max(ground.value_or(*groundReferenceAltitude), *groundReferenceAltitude);
    return ground;
}

double lf_flyTowards(LiveAc& aircraft, const PathPoint& target, double reportedKt) {
    MotionState& current = aircraft.current;
    const LocalFrame frame = lf_frameAt(current.latitude, current.longitude);
    const FrameOffset gap = lf_offsetIn(frame, target.latitude, target.longitude);
    FrameOffset forward = target.direction;
    if (frame.polar)
        forward = lf_alongBearing(std::atan2(forward.east, forward.north) * radToDeg - target.bearingTurn +
                                      lf_bearingTurnAt(frame, target.latitude, target.longitude),
                                  1.0);
    // How far the path point lies ahead along the path, and to the right of the path through it.
    const double ahead = gap.east * forward.east + gap.north * forward.north;
    const double aside = gap.east * forward.north - gap.north * forward.east;

    // Towards the path lookAheadNm ahead, at most at 45 degrees to it.
    const double lookAheadNm =
        std::max(target.speedKt * tuning::pathLookAheadSeconds / secondsPerHour, tuning::pathLookAheadNm);
    const double across = std::clamp(aside, -lookAheadNm * interceptTangent, lookAheadNm * interceptTangent);
    const FrameOffset wanted{forward.east * lookAheadNm + forward.north * across,
                             forward.north * lookAheadNm - forward.east * across};
    // The turn towards it, at most maxTurn this tick: the sine and cosine of the angle from the nose.
    NoseDirection& noseDirection = aircraft.nose;
    if (noseDirection.headingDeg != current.heading) {
        const double headingRad = current.heading * degToRad;
        noseDirection = {current.heading, {std::sin(headingRad), std::cos(headingRad)}};
    }
    const FrameOffset nose = noseDirection.unit;
    const double sine = wanted.east * nose.north - wanted.north * nose.east;
    const double cosine = wanted.east * nose.east + wanted.north * nose.north;
    const double maxTurn = tuning::airTurnDegPerSecond * tuning::secondsPerTick * degToRad;
    const double wantedNm = lf_lengthNm(wanted);
    double turn = std::copysign(maxTurn, sine);
    // Below a tenth of a degree the sine is the angle.
    if (cosine > 0.0 && std::abs(sine) < wantedNm * maxTurn)
        turn = sine / wantedNm;

    const double speed = std::clamp(target.speedKt + ahead * secondsPerHour / tuning::closeGapSeconds,
                                    reportedKt * tuning::slowestShareOfReported,
                                    reportedKt * tuning::catchUpFactor + tuning::catchUpKt);
    const double stepNm = speed * tuning::secondsPerTick / secondsPerHour;
    // The nose turned by the small angle (at most a tenth of a degree, where these terms of the sine and
    // cosine are exact to the last bit), without a sine and cosine of its own.
    const double turnSine = turn - turn * turn * turn / 6.0;
    const double turnCosine = 1.0 - turn * turn / 2.0 + turn * turn * turn * turn / 24.0;
    const FrameOffset turned{nose.east * turnCosine + nose.north * turnSine,
                             nose.north * turnCosine - nose.east * turnSine};
    const double arrivalTurn =
        lf_pointAt(frame, {turned.east * stepNm, turned.north * stepNm}, current.latitude, current.longitude);
    current.heading = wrap360(current.heading + (turn * radToDeg) - arrivalTurn);
    if (arrivalTurn == 0.0)
        noseDirection = {current.heading, turned};
    current.groundSpeed = speed;
    return turn == 0.0 ? 0.0 : lf_bankForTurn(speed, turn * radToDeg / tuning::secondsPerTick);
}

} // namespace kvr
