#include "standins/service/traffic_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvr::standin {

namespace {

constexpr std::size_t cacheLimit = 4000;
constexpr double gravity = 9.80665;
constexpr double overflightSpanS = 1500.0; // 160 nm at 430 kt or more
constexpr double localSpanS = 3000.0;      // 60 nm at 72 kt or more

template <typename Value, typename Build>
std::shared_ptr<const Value> lf_cached(std::mutex& mutex,
                                       std::map<std::int64_t, std::shared_ptr<const Value>>& cache,
                                       std::int64_t key, Build&& build) {
    {
        std::lock_guard lock(mutex);
        if (const auto found = cache.find(key); found != cache.end())
            return found->second;
    }
    auto built = build();
    std::lock_guard lock(mutex);
    if (cache.size() >= cacheLimit)
        cache.clear();
    return cache.emplace(key, std::move(built)).first->second;
}

double lf_turnDeg(double from, double to) {
    return std::fmod(to - from + 540.0, 360.0) - 180.0;
}

std::int64_t lf_index(double t, double interval) {
    return static_cast<std::int64_t>(std::floor(t / interval));
}

} // namespace

std::shared_ptr<const TrafficModel::Turnaround> TrafficModel::turnaround(std::int64_t k) const {
    return lf_cached(cacheMutex_, turnarounds_, k, [&] { return buildTurnaround(k); });
}

std::shared_ptr<const Movement> TrafficModel::overflight(std::int64_t j) const {
    return lf_cached(cacheMutex_, overflights_, j, [&] { return buildOverflight(j); });
}

std::shared_ptr<const Movement> TrafficModel::localFlight(std::int64_t j) const {
    return lf_cached(cacheMutex_, locals_, j, [&] { return buildLocalFlight(j); });
}

void TrafficModel::forEachCandidate(
    double from, double to, const std::function<void(const std::shared_ptr<const Movement>&)>& visit) const {
    const Scenario& s = scenario_;
    const double t = to;
    for (std::int64_t k = lf_index(from - maxTurnaroundS_, s.turnaroundIntervalS) - 1;
         k <= lf_index(t, s.turnaroundIntervalS); ++k) {
        const auto tr = turnaround(k);
        visit(tr->arrival);
        visit(tr->departure);
    }
    if (!overflightPattern_.empty())
        for (std::int64_t j = lf_index(from - overflightSpanS, s.overflightIntervalS) - 1;
             j <= lf_index(t, s.overflightIntervalS); ++j)
            visit(overflight(j));
    if (!s.localTypes.empty())
        for (std::int64_t j = lf_index(from - localSpanS, s.localFlightIntervalS) - 1;
             j <= lf_index(t, s.localFlightIntervalS); ++j)
            visit(localFlight(j));
}

std::vector<std::shared_ptr<const Movement>> TrafficModel::movementsAt(double t) const {
    std::vector<std::shared_ptr<const Movement>> found;
    forEachCandidate(t, t, [&](const std::shared_ptr<const Movement>& movement) {
        if (movement->start() <= t && t <= movement->end())
            found.push_back(movement);
    });
    return found;
}

std::optional<AircraftSnapshot> TrafficModel::snapshot(const Movement& movement, double t) const {
    if (t < movement.start() || t > movement.end())
        return std::nullopt;
    const auto phase = std::find_if(movement.phases.begin(), movement.phases.end(),
                                    [t](const Movement::Phase& p) { return t <= p.end; });
    AircraftSnapshot snapshot = movement.identity;
    RouteState state = phase->standing;
    double heading = phase->standingHeading;
    if (phase->route) {
        state = phase->route->at(t - phase->start);
        heading = phase->nose180 ? std::fmod(state.trackDeg + 180.0, 360.0) : state.trackDeg;
        if (!phase->onGround) {
            // The bank of a coordinated turn at the rate the route turns at this moment.
            // Measured over a few seconds: the rounded corners are drawn in short straight pieces.
            const RouteState before = phase->route->at(t - phase->start - 3.0);
            const RouteState ahead = phase->route->at(t - phase->start + 3.0);
            const double rate = lf_turnDeg(before.trackDeg, ahead.trackDeg) / 6.0 * std::numbers::pi / 180.0;
            snapshot.bankDeg =
                std::atan(state.speedKt * knotsToMs * rate / gravity) * 180.0 / std::numbers::pi;
        }
    }
    scenario_.toLatLon(state.at, snapshot.latitude, snapshot.longitude);
    snapshot.altitudeFt = state.altitudeFt;
    snapshot.groundSpeedKt = state.speedKt;
    snapshot.trackDeg = state.trackDeg;
    snapshot.verticalRateFpm = state.verticalRateFpm;
    snapshot.onGround = phase->onGround;
    snapshot.trueAirspeedKt = state.speedKt;
    snapshot.headingDeg = heading;
    snapshot.timestamp = t;
    return snapshot;
}

std::vector<AircraftSnapshot> TrafficModel::liveTraffic(double t, const LatLonBox& box, bool history) const {
    std::vector<AircraftSnapshot> reports;
    const double interval = scenario_.reportIntervalS;
    const int pastReports = history ? static_cast<int>(scenario_.bufferS / interval) : 0;
    forEachCandidate(t - pastReports * interval - interval, t,
                     [&](const std::shared_ptr<const Movement>& movement) {
                         const double latest = reportTime(*movement, t);
                         for (int i = pastReports; i >= 0; --i) {
                             const auto snapshot = this->snapshot(*movement, latest - i * interval);
                             if (snapshot && box.contains(snapshot->latitude, snapshot->longitude))
                                 reports.push_back(*snapshot);
                         }
                     });
    return reports;
}

std::vector<AircraftSnapshot> TrafficModel::parkedTraffic(double t, const LatLonBox& box) const {
    std::vector<AircraftSnapshot> parked;
    const Scenario& s = scenario_;
    for (std::int64_t k = lf_index(t - maxTurnaroundS_, s.turnaroundIntervalS) - 1;
         k <= lf_index(t, s.turnaroundIntervalS); ++k) {
        const auto tr = turnaround(k);
        if (tr->parkedFrom <= t && t < tr->parkedUntil &&
            box.contains(tr->parked.latitude, tr->parked.longitude)) {
            AircraftSnapshot snapshot = tr->parked;
            snapshot.timestamp = std::min(t, tr->parkedFrom + 30.0);
            parked.push_back(std::move(snapshot));
        }
    }
    return parked;
}

} // namespace kvr::standin
