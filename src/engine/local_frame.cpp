// Offsets east and north round a point, for the few miles between an aircraft and its samples. Away from
// the poles the earth is taken as flat there, which is quick; near a pole, where the meridians meet and a
// bearing turns as the aircraft passes, the offsets follow great circles.
#include "core/geodesy.h"
#include "engine/engine_internal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvr {

namespace {

constexpr double degToRad = std::numbers::pi / 180.0;
constexpr double radToDeg = 180.0 / std::numbers::pi;
constexpr double minutesPerDegree = 60.0;
constexpr double feetPerNm = metresPerNauticalMile / metresPerFoot;
// Beyond this latitude the flat frame would bend the paths too much.
constexpr double polarLatitude = 80.0;

} // namespace

LocalFrame lf_frameAt(double latitude, double longitude) {
    return {latitude, longitude, std::cos(latitude * degToRad), std::abs(latitude) > polarLatitude};
}

FrameOffset lf_alongBearing(double bearingDeg, double distanceNm) {
    return {std::sin(bearingDeg * degToRad) * distanceNm, std::cos(bearingDeg * degToRad) * distanceNm};
}

FrameOffset lf_offsetIn(const LocalFrame& frame, double latitude, double longitude) {
    if (!frame.polar)
        return {lf_shorterArcDeg(frame.longitude, longitude) * minutesPerDegree * frame.cosine,
                (latitude - frame.latitude) * minutesPerDegree};
    return lf_alongBearing(gf_initialBearing(frame.latitude, frame.longitude, latitude, longitude) * radToDeg,
                           gf_distanceNm(frame.latitude, frame.longitude, latitude, longitude));
}

double lf_bearingTurnAt(const LocalFrame& frame, double latitude, double longitude) {
    if (!frame.polar || (latitude == frame.latitude && longitude == frame.longitude))
        return 0.0;
    const double out = gf_initialBearing(frame.latitude, frame.longitude, latitude, longitude) * radToDeg;
    const double back = gf_initialBearing(latitude, longitude, frame.latitude, frame.longitude) * radToDeg;
    return lf_shorterArcDeg(back + 180.0, out);
}

double lf_pointAt(const LocalFrame& frame, FrameOffset offset, double& latitude, double& longitude) {
    if (!frame.polar) {
        latitude = frame.latitude + offset.north / minutesPerDegree;
        longitude = frame.longitude + offset.east / (minutesPerDegree * std::max(frame.cosine, 1e-6));
        return lf_foldOverPole(latitude, longitude) ? 180.0 : 0.0;
    }
    const double distanceNm = lf_lengthNm(offset);
    const GeoPoint point = gf_destinationPoint(frame.latitude, frame.longitude,
                                               std::atan2(offset.east, offset.north), distanceNm * feetPerNm);
    latitude = point.latitude;
    longitude = point.longitude;
    return lf_bearingTurnAt(frame, latitude, longitude);
}

} // namespace kvr
