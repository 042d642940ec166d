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

constexpr double radToDeg = 180.0 / std::numbers::pi;
constexpr double secondsPerHour = 3600.0;

double wrap360(double degrees) {
    const double wrapped = std::fmod(degrees, 360.0);
    return wrapped < 0.0 ? wrapped + 360.0 : wrapped;
}

} // namespace

MotionState lf_flightPathAt(const PositionSample& a, const PositionSample& b, double f) {
    const LocalFrame frame = lf_frameAt(a.latitude, a.longitude);
    const FrameOffset chord = lf_offsetIn(frame, b.latitude, b.longitude);
    const double chordNm = std::hypot(chord.east, chord.north);
    const double hours = static_cast<double>(b.dueTick - a.dueTick) * tuning::secondsPerTick / secondsPerHour;
    const auto tangent = [&](double trackDeg, double groundSpeedKt) {
        return lf_alongBearing(trackDeg,
                               std::min(groundSpeedKt * hours, chordNm * tuning::longestTangentChords));
    };
    const FrameOffset m0 = tangent(a.track, a.groundSpeed);
    const FrameOffset m1 = tangent(b.track + lf_bearingTurnAt(frame, b.latitude, b.longitude), b.groundSpeed);
    // The cubic Hermite curve of the two positions and tangents, and its derivative.
    const double f2 = f * f;
    const double f3 = f2 * f;
    const double h10 = f3 - 2.0 * f2 + f;
    const double h01 = 3.0 * f2 - 2.0 * f3;
    const double h11 = f3 - f2;
    const double d10 = 3.0 * f2 - 4.0 * f + 1.0;
    const double d01 = 6.0 * f - 6.0 * f2;
    const double d11 = 3.0 * f2 - 2.0 * f;
    const FrameOffset at{h10 * m0.east + h01 * chord.east + h11 * m1.east,
                         h10 * m0.north + h01 * chord.north + h11 * m1.north};
    const FrameOffset pace{d10 * m0.east + d01 * chord.east + d11 * m1.east,
                           d10 * m0.north + d01 * chord.north + d11 * m1.north};

    MotionState state;
    const double turn = lf_pointAt(frame, at, state.latitude, state.longitude);
    state.altitude = a.altitude + (b.altitude - a.altitude) * f;
    const double paceNm = std::hypot(pace.east, pace.north);
    if (paceNm > 0.0 && hours > 0.0) {
        state.heading = wrap360(std::atan2(pace.east, pace.north) * radToDeg - turn);
        state.groundSpeed = paceNm / hours;
    } else {
        state.heading = wrap360(a.track + lf_shorterArcDeg(a.track, b.track) * f);
        state.groundSpeed = a.groundSpeed + (b.groundSpeed - a.groundSpeed) * f;
    }
    return state;
}

std::optional<double> lf_groundBelowFt(const LiveAc& aircraft) {
    std::optional<double> ground;
    for (const PositionSample& sample : aircraft.samples)
        if (!sample.airborne)
            ground = std::max(ground.value_or(sample.altitude), sample.altitude);
    if (groundReferenceAltitude && !port::standList.empty() &&
        lf_flatDistanceNm(aircraft.current.latitude, aircraft.current.longitude,
                          port::standList.front().latitude,
                          port::standList.front().longitude) < tuning::groundReferenceRangeNm)
        ground = std::max(ground.value_or(*groundReferenceAltitude), *groundReferenceAltitude);
    return ground;
}

double lf_flyTowards(MotionState& current, const MotionState& target, double reportedKt) {
    const LocalFrame frame = lf_frameAt(current.latitude, current.longitude);
    const FrameOffset gap = lf_offsetIn(frame, target.latitude, target.longitude);
    const double pathBearing = target.heading + lf_bearingTurnAt(frame, target.latitude, target.longitude);
    const FrameOffset forward = lf_alongBearing(pathBearing, 1.0);
    // How far the path point lies ahead along the path, and to the right of the path through it.
    const double ahead = gap.east * forward.east + gap.north * forward.north;
    const double aside = gap.east * forward.north - gap.north * forward.east;

    const double lookAheadNm =
        std::max(target.groundSpeed * tuning::pathLookAheadSeconds / secondsPerHour, tuning::pathLookAheadNm);
    const double intercept = std::clamp(std::atan2(aside, lookAheadNm) * radToDeg, -tuning::maxInterceptDeg,
                                        tuning::maxInterceptDeg);
    const double maxTurn = tuning::airTurnDegPerSecond * tuning::secondsPerTick;
    const double turn =
        std::clamp(lf_shorterArcDeg(current.heading, pathBearing + intercept), -maxTurn, maxTurn);

    const double speed = std::clamp(target.groundSpeed + ahead * secondsPerHour / tuning::closeGapSeconds,
                                    reportedKt * tuning::slowestShareOfReported,
                                    reportedKt * tuning::catchUpFactor + tuning::catchUpKt);
    current.heading = lf_moveAlong(current.latitude, current.longitude, wrap360(current.heading + turn),
                                   speed * tuning::secondsPerTick / secondsPerHour);
    current.groundSpeed = speed;
    return lf_bankForTurn(speed, turn / tuning::secondsPerTick);
}

} // namespace kvr
