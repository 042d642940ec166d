#pragma once
// The scenario's traffic as a pure function of time: the same seed and time always give the same aircraft,
// so a time offset replays the past exactly.
#include "standins/service/route.h"
#include "standins/service/scenario.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kvr::standin {

struct AircraftSnapshot {
    std::uint32_t address = 0;
    std::string callsign;
    std::string type;
    std::string registration;
    std::string operatorCode;
    std::string flightNumber;
    std::string origin;
    std::string destination;
    std::string squawk;
    double latitude = 0.0;
    double longitude = 0.0;
    double altitudeFt = 0.0; // above sea level
    double groundSpeedKt = 0.0;
    double trackDeg = 0.0;
    double verticalRateFpm = 0.0;
    bool onGround = false;
    double trueAirspeedKt = 0.0;
    double headingDeg = 0.0;
    std::optional<double> bankDeg;
    double timestamp = 0.0;
    std::string standName;    // parked traffic
    double parkedSince = 0.0; // parked traffic
};

struct LatLonBox {
    double south = -90.0;
    double west = -180.0;
    double north = 90.0;
    double east = 180.0;
    bool contains(double latitude, double longitude) const {
        return latitude >= south && latitude <= north && longitude >= west && longitude <= east;
    }
};

// One movement of an aircraft: a sequence of timed phases along routes or standing still.
struct Movement {
    struct Phase {
        double start = 0.0;
        double end = 0.0;
        std::shared_ptr<const Route> route; // none: standing at `standing`
        RouteState standing;
        bool onGround = true;
        bool nose180 = false; // pushed back: the nose points against the motion
        double standingHeading = 0.0;
    };
    AircraftSnapshot identity; // who flies it; the position fields are filled per moment
    std::vector<Phase> phases;
    double start() const { return phases.empty() ? 0.0 : phases.front().start; }
    double end() const { return phases.empty() ? 0.0 : phases.back().end; }
};

class TrafficModel {
public:
    explicit TrafficModel(Scenario scenario);

    const Scenario& scenario() const { return scenario_; }

    // Reports of the aircraft moving at time t inside the box: for each, the latest report at or before t;
    // with history, also the earlier reports of the buffer span, oldest first.
    std::vector<AircraftSnapshot> liveTraffic(double t, const LatLonBox& box, bool history) const;
    // The aircraft parked at stands at time t inside the box.
    std::vector<AircraftSnapshot> parkedTraffic(double t, const LatLonBox& box) const;

    // Every movement that takes place at time t (tests walk these to check speeds and turn rates).
    std::vector<std::shared_ptr<const Movement>> movementsAt(double t) const;
    // Where a movement is at time t; empty outside its time span.
    std::optional<AircraftSnapshot> snapshot(const Movement& movement, double t) const;

private:
    struct Turnaround {
        std::shared_ptr<const Movement> arrival;
        std::shared_ptr<const Movement> departure;
        AircraftSnapshot parked; // identity, stand and parked-since
        double parkedFrom = 0.0;
        double parkedUntil = 0.0;
    };

    std::shared_ptr<const Turnaround> turnaround(std::int64_t k) const;
    std::shared_ptr<const Movement> overflight(std::int64_t j) const;
    std::shared_ptr<const Movement> localFlight(std::int64_t j) const;
    std::shared_ptr<const Turnaround> buildTurnaround(std::int64_t k) const;
    std::shared_ptr<const Movement> buildOverflight(std::int64_t j) const;
    std::shared_ptr<const Movement> buildLocalFlight(std::int64_t j) const;
    void forEachCandidate(double from, double to,
                          const std::function<void(const std::shared_ptr<const Movement>&)>& visit) const;
    double reportTime(const Movement& movement, double t) const;

    // The parts of a turnaround that depend only on its stand.
    struct StandRoutes {
        std::shared_ptr<const Route> taxiIn;   // touchdown .. stand
        std::shared_ptr<const Route> pushback; // stand .. the taxi lane, tail first
        std::shared_ptr<const Route> taxiOut;  // the taxi lane .. holding point
        double startHeading = 0.0;             // nose after the pushback
    };

    Scenario scenario_;
    std::shared_ptr<const Route> approach_;
    std::shared_ptr<const Route> takeoff_; // holding point .. rotation
    std::vector<StandRoutes> standRoutes_;
    std::vector<std::size_t> fleetPattern_; // fleet index per turnaround slot
    std::vector<std::size_t> patternRank_;  // occurrence of the slot's entry within the pattern
    std::unordered_map<std::string, std::uint32_t> addresses_;
    std::vector<std::size_t> overflightPattern_;
    std::vector<std::size_t> overflightRank_;
    double maxTurnaroundS_ = 0.0;

    mutable std::mutex cacheMutex_;
    mutable std::map<std::int64_t, std::shared_ptr<const Turnaround>> turnarounds_;
    mutable std::map<std::int64_t, std::shared_ptr<const Movement>> overflights_;
    mutable std::map<std::int64_t, std::shared_ptr<const Movement>> locals_;
};

// 24-bit addresses for registrations: the block of the registration's country plus a running number.
std::unordered_map<std::string, std::uint32_t>
gf_assignAddresses(const std::vector<std::string>& registrations);

} // namespace kvr::standin
