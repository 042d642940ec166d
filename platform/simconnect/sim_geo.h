#pragma once
// Small spherical-earth helpers of the simulated simulator (it does not use the program's own).
#include <algorithm>
#include <cmath>

namespace kvr::simsim {

inline constexpr double earthRadiusNm = 3440.065;
inline constexpr double feetPerNm = 6076.115;
inline constexpr double metresPerNm = 1852.0;

inline double toRadians(double degrees) {
    return degrees * M_PI / 180.0;
}
inline double toDegrees(double radians) {
    return radians * 180.0 / M_PI;
}

inline double distanceNm(double lat1, double lon1, double lat2, double lon2) {
    const double p1 = toRadians(lat1), p2 = toRadians(lat2);
    const double dp = p2 - p1, dl = toRadians(lon2 - lon1);
    const double a = std::sin(dp / 2) * std::sin(dp / 2) +
                     std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
    return 2 * earthRadiusNm * std::asin(std::min(1.0, std::sqrt(a)));
}

// Initial true bearing from the first point to the second, 0..360 degrees.
inline double bearingDeg(double lat1, double lon1, double lat2, double lon2) {
    const double p1 = toRadians(lat1), p2 = toRadians(lat2), dl = toRadians(lon2 - lon1);
    const double y = std::sin(dl) * std::cos(p2);
    const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    return std::fmod(toDegrees(std::atan2(y, x)) + 360.0, 360.0);
}

struct LatLon {
    double latitude;
    double longitude;
};

inline LatLon destinationPoint(double lat, double lon, double bearing, double distance) {
    const double d = distance / earthRadiusNm, b = toRadians(bearing), p1 = toRadians(lat);
    const double p2 = std::asin(std::sin(p1) * std::cos(d) + std::cos(p1) * std::sin(d) * std::cos(b));
    const double l2 = toRadians(lon) + std::atan2(std::sin(b) * std::sin(d) * std::cos(p1),
                                                  std::cos(d) - std::sin(p1) * std::sin(p2));
    return {toDegrees(p2), std::remainder(toDegrees(l2), 360.0)};
}

} // namespace kvr::simsim
