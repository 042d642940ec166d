#pragma once

namespace kvr {

// A latitude/longitude box of the location-traffic query and its centre.
struct TrafficBox {
    double south = 0.0;
    double west = 0.0;
    double north = 0.0;
    double east = 0.0;
    double centreLatitude = 0.0;
    double centreLongitude = 0.0;
    int rangeNm = 0;
    bool valid = false; // false until a reference position was given
};

// The box reaching rangeNm north, south, east and west of the centre, clamped to the poles and to
// -180..180 degrees of longitude.
TrafficBox gf_boxAround(double latitude, double longitude, double rangeNm);

} // namespace kvr
