#include "core/geodesy.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvr {

namespace {

constexpr double degreesToRadians = std::numbers::pi / 180.0;
constexpr double radiansToDegrees = 180.0 / std::numbers::pi;

} // namespace

double gf_distanceNm(double latitude1, double longitude1, double latitude2, double longitude2) {
    const double phi1 = latitude1 * degreesToRadians;
    const double phi2 = latitude2 * degreesToRadians;
    const double sinHalfDPhi = std::sin((phi2 - phi1) / 2.0);
    const double sinHalfDLambda = std::sin((longitude2 - longitude1) * degreesToRadians / 2.0);
    // Haversine: stays accurate for the short distances between stands, where the cosine form loses
    // its digits. Clamping guards asin against rounding just above 1 for antipodes.
    const double h =
        sinHalfDPhi * sinHalfDPhi + std::cos(phi1) * std::cos(phi2) * sinHalfDLambda * sinHalfDLambda;
    const double angle = 2.0 * std::asin(std::sqrt(std::clamp(h, 0.0, 1.0)));
    return angle * earthRadiusMetres / metresPerNauticalMile;
}

double gf_initialBearing(double latitude1, double longitude1, double latitude2, double longitude2) {
    const double phi1 = latitude1 * degreesToRadians;
    const double phi2 = latitude2 * degreesToRadians;
    const double dLambda = (longitude2 - longitude1) * degreesToRadians;
    const double y = std::sin(dLambda) * std::cos(phi2);
    const double x = std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dLambda);
    if (x == 0.0 && y == 0.0)
        return 0.0;
    const double bearing = std::atan2(y, x);
    return bearing < 0.0 ? bearing + 2.0 * std::numbers::pi : bearing;
}

GeoPoint gf_destinationPoint(double latitude, double longitude, double bearingRadians, double distanceFeet) {
    const double angle = distanceFeet * metresPerFoot / earthRadiusMetres;
    const double phi1 = latitude * degreesToRadians;
    const double lambda1 = longitude * degreesToRadians;
    const double sinPhi2 =
        std::sin(phi1) * std::cos(angle) + std::cos(phi1) * std::sin(angle) * std::cos(bearingRadians);
    const double phi2 = std::asin(std::clamp(sinPhi2, -1.0, 1.0));
    const double lambda2 = lambda1 + std::atan2(std::sin(bearingRadians) * std::sin(angle) * std::cos(phi1),
                                                std::cos(angle) - std::sin(phi1) * sinPhi2);
    double shifted = std::fmod(lambda2 * radiansToDegrees + 180.0, 360.0);
    if (shifted < 0.0)
        shifted += 360.0;
    return {phi2 * radiansToDegrees, shifted - 180.0};
}

} // namespace kvr
