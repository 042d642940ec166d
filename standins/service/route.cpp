#include "standins/service/route.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace kvr::standin {

namespace {

constexpr double degrees = 180.0 / std::numbers::pi;
constexpr double arcStepDeg = 4.0;
constexpr double minimumSpeedKt = 0.2;

double lf_distance(Point a, Point b) {
    return std::hypot(b.x - a.x, b.y - a.y);
}

double lf_normalised(double deg) {
    deg = std::fmod(deg, 360.0);
    return deg < 0 ? deg + 360.0 : deg;
}

// Signed smallest turn from a to b in degrees (-180..180).
double lf_turn(double a, double b) {
    double d = std::fmod(b - a + 540.0, 360.0) - 180.0;
    return d;
}

Waypoint lf_between(const Waypoint& a, const Waypoint& b, double fraction) {
    Waypoint w;
    w.at = {a.at.x + (b.at.x - a.at.x) * fraction, a.at.y + (b.at.y - a.at.y) * fraction};
    w.altitudeFt = a.altitudeFt + (b.altitudeFt - a.altitudeFt) * fraction;
    w.speedKt = a.speedKt + (b.speedKt - a.speedKt) * fraction;
    return w;
}

} // namespace

double gf_bearingDeg(Point from, Point to) {
    return lf_normalised(std::atan2(to.x - from.x, to.y - from.y) * degrees);
}

Point gf_offset(Point from, double bearingDeg, double metres) {
    const double r = bearingDeg / degrees;
    return {from.x + std::sin(r) * metres, from.y + std::cos(r) * metres};
}

Route::Route(const std::vector<Waypoint>& waypoints, double turnRadiusM, double maxTurnRateDegS) {
    if (waypoints.size() < 2)
        throw std::invalid_argument("a route needs two waypoints");
    points_.push_back(waypoints.front());
    for (std::size_t i = 1; i + 1 < waypoints.size(); ++i) {
        const Waypoint& previous = waypoints[i - 1];
        const Waypoint& corner = waypoints[i];
        const Waypoint& next = waypoints[i + 1];
        const double inBearing = gf_bearingDeg(previous.at, corner.at);
        const double outBearing = gf_bearingDeg(corner.at, next.at);
        const double turn = lf_turn(inBearing, outBearing);
        const double lengthIn = lf_distance(previous.at, corner.at);
        const double lengthOut = lf_distance(corner.at, next.at);
        if (std::abs(turn) < 1.0 || lengthIn < 1e-6 || lengthOut < 1e-6) {
            points_.push_back(corner);
            continue;
        }
        // Tangent length of the rounded corner, limited to half of each leg.
        const double halfTurn = std::abs(turn) / 2.0 / degrees;
        double tangent = turnRadiusM * std::tan(halfTurn);
        tangent = std::min({tangent, lengthIn / 2.0, lengthOut / 2.0});
        const double radius = tangent / std::tan(halfTurn);
        Waypoint start = lf_between(corner, previous, tangent / lengthIn);
        Waypoint end = lf_between(corner, next, tangent / lengthOut);
        if (maxTurnRateDegS > 0.0) {
            const double cornerSpeedKt = radius * (maxTurnRateDegS / degrees) / knotsToMs;
            start.speedKt = std::min(start.speedKt, cornerSpeedKt);
            end.speedKt = std::min(end.speedKt, cornerSpeedKt);
        }
        const int steps = std::max(2, static_cast<int>(std::ceil(std::abs(turn) / arcStepDeg)));
        const double side = turn > 0 ? 90.0 : -90.0;
        const Point centre = gf_offset(start.at, inBearing + side, radius);
        const double startAngle = gf_bearingDeg(centre, start.at);
        for (int s = 0; s <= steps; ++s) {
            const double fraction = static_cast<double>(s) / steps;
            Waypoint w = s == 0 ? start : (s == steps ? end : lf_between(start, end, fraction));
            if (s > 0 && s < steps)
                w.at = gf_offset(centre, startAngle + turn * fraction, radius);
            points_.push_back(w);
        }
    }
    points_.push_back(waypoints.back());

    distances_.assign(points_.size(), 0.0);
    times_.assign(points_.size(), 0.0);
    for (std::size_t i = 1; i < points_.size(); ++i) {
        const double d = lf_distance(points_[i - 1].at, points_[i].at);
        const double v0 = std::max(points_[i - 1].speedKt, minimumSpeedKt) * knotsToMs;
        const double v1 = std::max(points_[i].speedKt, minimumSpeedKt) * knotsToMs;
        distances_[i] = distances_[i - 1] + d;
        times_[i] = times_[i - 1] + 2.0 * d / (v0 + v1);
    }
}

RouteState Route::at(double t) const {
    t = std::clamp(t, 0.0, duration());
    const auto upper = std::upper_bound(times_.begin(), times_.end(), t);
    std::size_t i = static_cast<std::size_t>(std::distance(times_.begin(), upper));
    i = std::clamp<std::size_t>(i, 1, points_.size() - 1);
    const Waypoint& a = points_[i - 1];
    const Waypoint& b = points_[i];
    const double d = distances_[i] - distances_[i - 1];
    const double v0 = std::max(a.speedKt, minimumSpeedKt) * knotsToMs;
    const double v1 = std::max(b.speedKt, minimumSpeedKt) * knotsToMs;
    const double tau = std::clamp(t - times_[i - 1], 0.0, times_[i] - times_[i - 1]);
    const double acceleration = d > 0.0 ? (v1 * v1 - v0 * v0) / (2.0 * d) : 0.0;
    const double travelled = std::min(d, v0 * tau + 0.5 * acceleration * tau * tau);
    const double fraction = d > 0.0 ? travelled / d : 0.0;
    const double speed = v0 + acceleration * tau;

    RouteState state;
    state.at = {a.at.x + (b.at.x - a.at.x) * fraction, a.at.y + (b.at.y - a.at.y) * fraction};
    state.altitudeFt = a.altitudeFt + (b.altitudeFt - a.altitudeFt) * fraction;
    state.speedKt = std::max(0.0, speed / knotsToMs);
    state.trackDeg = gf_bearingDeg(a.at, b.at);
    state.verticalRateFpm = d > 0.0 ? (b.altitudeFt - a.altitudeFt) / d * speed * 60.0 : 0.0;
    return state;
}

} // namespace kvr::standin
