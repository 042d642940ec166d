#pragma once

namespace kvr {

// A spherical earth of mean radius 6,371,000 m; 1 nm = 1852 m, 1 ft = 0.3048 m. The error against
// the ellipsoid (up to about 0.5 %) is far below what the traffic positions need.
inline constexpr double earthRadiusMetres = 6371000.0;
inline constexpr double metresPerNauticalMile = 1852.0;
inline constexpr double metresPerFoot = 0.3048;

struct GeoPoint {
    double latitude = 0.0;  // degrees
    double longitude = 0.0; // degrees, -180 up to (not including) 180
};

// Great-circle distance between two points given in degrees, in nautical miles.
double gf_distanceNm(double latitude1, double longitude1, double latitude2, double longitude2);

// Initial bearing (true) from the first point to the second, in radians 0 up to (not including) 2 pi;
// 0 for two equal points.
double gf_initialBearing(double latitude1, double longitude1, double latitude2, double longitude2);

// The point reached from a start (degrees) along the great circle that leaves it on the given bearing
// (radians, true) after the given distance in feet.
GeoPoint gf_destinationPoint(double latitude, double longitude, double bearingRadians, double distanceFeet);

} // namespace kvr
