#pragma once
// Paths of the scenario traffic in a flat local frame round the airport (x east, y north, metres) and the
// motion of an aircraft along them.
#include <optional>
#include <vector>

namespace kvr::standin {

inline constexpr double metresPerNm = 1852.0;
inline constexpr double knotsToMs = 1852.0 / 3600.0;

struct Point {
    double x = 0.0;
    double y = 0.0;
};

// A waypoint: where, how high (ft) and how fast (kt) the aircraft is there.
struct Waypoint {
    Point at;
    double altitudeFt = 0.0;
    double speedKt = 0.0;
};

// Where an aircraft is at one moment of a route.
struct RouteState {
    Point at;
    double altitudeFt = 0.0;
    double speedKt = 0.0;
    double trackDeg = 0.0; // direction of motion
    double verticalRateFpm = 0.0;
};

// A route through waypoints whose corners are rounded with the given turn radius, flown with constant
// acceleration between the speeds of consecutive points. Corners too sharp for the radius are rounded as
// much as the legs allow; with a maximum turn rate the aircraft slows down in such a corner so that it
// never turns faster.
class Route {
public:
    Route(const std::vector<Waypoint>& waypoints, double turnRadiusM, double maxTurnRateDegS = 0.0);

    double duration() const { return times_.empty() ? 0.0 : times_.back(); }
    double length() const { return distances_.empty() ? 0.0 : distances_.back(); }
    // The state t seconds after the start, clamped to the route's ends.
    RouteState at(double t) const;

private:
    std::vector<Waypoint> points_;  // the rounded route, densely sampled in its turns
    std::vector<double> distances_; // cumulative metres
    std::vector<double> times_;     // cumulative seconds
};

double gf_bearingDeg(Point from, Point to); // 0 north, clockwise
Point gf_offset(Point from, double bearingDeg, double metres);

} // namespace kvr::standin
