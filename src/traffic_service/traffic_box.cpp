#include "traffic_service/traffic_box.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvr {

namespace {
double lf_radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}
} // namespace

TrafficBox gf_boxAround(double latitude, double longitude, double rangeNm) {
    TrafficBox box;
    const double dLat = rangeNm / 60.0;
    // Near the poles the longitude span grows without bound: the box then covers every longitude.
    const double cosLat = std::cos(lf_radians(std::clamp(latitude, -89.0, 89.0)));
    const double dLon = std::min(180.0, rangeNm / (60.0 * cosLat));
    box.south = std::max(-90.0, latitude - dLat);
    box.north = std::min(90.0, latitude + dLat);
    box.west = std::max(-180.0, longitude - dLon);
    box.east = std::min(180.0, longitude + dLon);
    box.centreLatitude = latitude;
    box.centreLongitude = longitude;
    box.rangeNm = static_cast<int>(std::lround(rangeNm));
    box.valid = true;
    return box;
}

} // namespace kvr
