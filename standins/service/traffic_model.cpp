#include "standins/service/traffic_model.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace kvr::standin {

namespace {

constexpr double glideFtPerNm = 318.4; // a 3 degree approach path
constexpr double thresholdCrossingFt = 50.0;
constexpr double airTurnRadiusM = 4000.0;
constexpr double groundTurnRadiusM = 35.0;
constexpr double groundTurnRateDegS = 20.0;
constexpr double airTurnRateDegS = 3.5;
constexpr double climbOutNm = 60.0;
constexpr double approachNm = 40.0;
constexpr double rotationM = 1800.0;
constexpr double maxEngineStartS = 90.0;
constexpr double maxRunwayHoldS = 90.0;

std::uint64_t lf_mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

std::uint64_t lf_hash(std::uint64_t seed, std::int64_t n, std::uint64_t salt) {
    return lf_mix(seed ^ lf_mix(static_cast<std::uint64_t>(n) * 0x9E3779B97F4A7C15ULL + salt));
}

double lf_unit(std::uint64_t h) {
    return static_cast<double>(h >> 11) * 0x1.0p-53;
}

std::int64_t lf_floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

std::size_t lf_mod(std::int64_t a, std::size_t b) {
    const auto m = static_cast<std::int64_t>(b);
    return static_cast<std::size_t>(((a % m) + m) % m);
}

std::string lf_withoutDash(std::string text) {
    std::erase(text, '-');
    return text;
}

std::string lf_squawk(std::uint64_t h) {
    std::string code;
    for (int i = 0; i < 4; ++i) {
        code.push_back(static_cast<char>('0' + (h & 7)));
        h >>= 3;
    }
    return code;
}

double lf_bearingOfCode(const std::string& code) {
    std::uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : code)
        h = (h ^ c) * 1099511628211ULL;
    return lf_unit(lf_mix(h)) * 360.0;
}

// Runway heading to 5 nm, then at most a right angle per turn towards the destination, climbing to FL200.
std::vector<Waypoint> lf_climbOut(Point rotation, double runwayHeading, double destinationBearing,
                                  double elevation) {
    const Point fiveNm = gf_offset(rotation, runwayHeading, 5.0 * metresPerNm);
    const double turn = std::fmod(destinationBearing - runwayHeading + 540.0, 360.0) - 180.0;
    const Point turned = gf_offset(fiveNm, runwayHeading + std::clamp(turn, -90.0, 90.0), 10.0 * metresPerNm);
    return {{rotation, elevation, 150.0},
            {fiveNm, elevation + 2500.0, 190.0},
            {turned, elevation + 6000.0, 230.0},
            {gf_offset(turned, destinationBearing, climbOutNm * metresPerNm), elevation + 20000.0, 300.0}};
}

// A weighted pattern of fleet indices, shuffled by the seed, and each slot's rank among its entry's slots.
void lf_buildPattern(const std::vector<FleetEntry>& fleet, std::uint64_t seed,
                     std::vector<std::size_t>& pattern, std::vector<std::size_t>& rank) {
    pattern.clear();
    for (std::size_t i = 0; i < fleet.size(); ++i)
        pattern.insert(pattern.end(), static_cast<std::size_t>(fleet[i].weight), i);
    for (std::size_t i = pattern.size(); i > 1; --i)
        std::swap(pattern[i - 1], pattern[lf_hash(seed, static_cast<std::int64_t>(i), 77) % i]);
    rank.assign(pattern.size(), 0);
    std::vector<std::size_t> seen(fleet.size(), 0);
    for (std::size_t i = 0; i < pattern.size(); ++i)
        rank[i] = seen[pattern[i]]++;
}

struct CountryBlock {
    const char* prefix;
    std::uint32_t base;
};

// Address blocks of the registering countries (first address used by this scenario's aircraft).
constexpr CountryBlock countryBlocks[] = {
    {"PH-", 0x484000}, {"G-", 0x400000},  {"D-", 0x3C4000},  {"F-", 0x390000},  {"HB-", 0x4B0000},
    {"OE-", 0x440000}, {"EC-", 0x340000}, {"TC-", 0x4B8000}, {"A7-", 0x06A000}, {"A6-", 0x896000},
    {"LX-", 0x4D0000}, {"EI-", 0x4CA000}, {"9H-", 0x4D2000}, {"SE-", 0x4A8000}, {"OY-", 0x458000},
    {"LN-", 0x478000}, {"N", 0xA00000},
};

} // namespace

std::unordered_map<std::string, std::uint32_t>
gf_assignAddresses(const std::vector<std::string>& registrations) {
    std::unordered_map<std::string, std::uint32_t> addresses;
    std::unordered_map<std::uint32_t, std::uint32_t> nextInBlock;
    for (const auto& registration : registrations) {
        if (addresses.contains(registration))
            throw std::runtime_error(fmt::format("registration {} is listed twice", registration));
        std::uint32_t base = 0x700000;
        for (const auto& block : countryBlocks)
            if (registration.starts_with(block.prefix)) {
                base = block.base;
                break;
            }
        addresses[registration] = base + nextInBlock[base]++;
    }
    return addresses;
}

TrafficModel::TrafficModel(Scenario scenario) : scenario_(std::move(scenario)) {
    const Scenario& s = scenario_;
    const double elevation = s.elevationFt;
    std::vector<std::string> registrations;
    for (const auto* fleet : {&s.fleet, &s.overflightFleet})
        for (const auto& entry : *fleet)
            registrations.insert(registrations.end(), entry.registrations.begin(), entry.registrations.end());
    for (const auto& local : s.localTypes)
        registrations.insert(registrations.end(), local.registrations.begin(), local.registrations.end());
    addresses_ = gf_assignAddresses(registrations);
    lf_buildPattern(s.fleet, s.seed, fleetPattern_, patternRank_);
    lf_buildPattern(s.overflightFleet, s.seed + 1, overflightPattern_, overflightRank_);

    const ScenarioRunway& arrival = s.arrivalRunway;
    const double back = arrival.headingDeg + 180.0;
    std::vector<Waypoint> approach;
    for (const auto& [nm, kt] : {std::pair{approachNm, 250.0}, {15.0, 210.0}, {8.0, 170.0}, {4.0, 150.0}})
        approach.push_back({gf_offset(arrival.threshold, back, nm * metresPerNm),
                            elevation + thresholdCrossingFt + nm * glideFtPerNm, kt});
    approach.push_back({arrival.threshold, elevation + thresholdCrossingFt, 140.0});
    const Point touchdown = gf_offset(arrival.threshold, arrival.headingDeg, 300.0);
    approach.push_back({touchdown, elevation, 135.0});
    approach_ = std::make_shared<Route>(approach, airTurnRadiusM, airTurnRateDegS);

    const ScenarioRunway& departure = s.departureRunway;
    const Point holdingPoint = s.taxiOut.back();
    takeoff_ = std::make_shared<Route>(
        std::vector<Waypoint>{
            {holdingPoint, elevation, 0.5},
            {departure.threshold, elevation, 8.0},
            {gf_offset(departure.threshold, departure.headingDeg, rotationM), elevation, 150.0}},
        groundTurnRadiusM, groundTurnRateDegS);

    double longestGround = 0.0;
    for (const auto& stand : s.stands) {
        // Taxi lanes run across the stand's nose line: in along the lane side that faces the arriving
        // traffic, out along the side that faces the way to the runway.
        const auto lf_lane = [&](Point towards) {
            const double bearing = gf_bearingDeg(stand.pushbackPoint, towards);
            const double right = stand.headingDeg + 90.0;
            return std::abs(std::fmod(bearing - right + 540.0, 360.0) - 180.0) <= 90.0 ? right
                                                                                       : right + 180.0;
        };
        const double laneIn = lf_lane(s.taxiIn.back());
        const double laneOut = lf_lane(s.taxiOut.front());
        StandRoutes routes;
        std::vector<Waypoint> in{
            {touchdown, elevation, 135.0},
            {gf_offset(arrival.threshold, arrival.headingDeg, arrival.exitAfterM), elevation, 20.0}};
        for (const Point& p : s.taxiIn)
            in.push_back({p, elevation, 18.0});
        in.push_back({gf_offset(stand.pushbackPoint, laneIn, 80.0), elevation, 10.0});
        in.push_back({stand.pushbackPoint, elevation, 5.0});
        in.push_back({stand.at, elevation, 0.2});
        routes.taxiIn = std::make_shared<Route>(in, groundTurnRadiusM, groundTurnRateDegS);

        const Point laneEnd = gf_offset(stand.pushbackPoint, laneOut + 180.0, 40.0);
        routes.pushback = std::make_shared<Route>(std::vector<Waypoint>{{stand.at, elevation, 2.0},
                                                                        {stand.pushbackPoint, elevation, 2.0},
                                                                        {laneEnd, elevation, 0.2}},
                                                  25.0, groundTurnRateDegS);
        routes.startHeading = laneOut;
        std::vector<Waypoint> out{{laneEnd, elevation, 0.2},
                                  {gf_offset(stand.pushbackPoint, laneOut, 80.0), elevation, 10.0}};
        for (std::size_t i = 0; i < s.taxiOut.size(); ++i)
            out.push_back({s.taxiOut[i], elevation, i + 1 == s.taxiOut.size() ? 5.0 : 16.0});
        routes.taxiOut = std::make_shared<Route>(out, groundTurnRadiusM, groundTurnRateDegS);
        longestGround = std::max(longestGround, routes.taxiIn->duration() + routes.pushback->duration() +
                                                    routes.taxiOut->duration());
        standRoutes_.push_back(std::move(routes));
    }
    // The longest climb-out turns all the way round.
    const Point rotation = gf_offset(departure.threshold, departure.headingDeg, rotationM);
    const Route worstClimb(
        lf_climbOut(rotation, departure.headingDeg, departure.headingDeg + 180.0, elevation), airTurnRadiusM,
        airTurnRateDegS);
    maxTurnaroundS_ = 0.5 * s.turnaroundIntervalS + approach_->duration() + longestGround + s.maxParkedS +
                      maxEngineStartS + maxRunwayHoldS + takeoff_->duration() + worstClimb.duration() + 60.0;
    const auto concurrent = static_cast<std::size_t>(std::ceil(maxTurnaroundS_ / s.turnaroundIntervalS)) + 1;
    if (fleetPattern_.size() < concurrent)
        throw std::runtime_error(
            fmt::format("the fleet weights add up to {}, but {} turnarounds can overlap: raise the weights",
                        fleetPattern_.size(), concurrent));
}

double TrafficModel::reportTime(const Movement& movement, double t) const {
    const double interval = scenario_.reportIntervalS;
    const double phase = static_cast<double>(movement.identity.address % 1000) / 1000.0 * interval;
    return phase + std::floor((t - phase) / interval) * interval;
}

std::shared_ptr<const TrafficModel::Turnaround> TrafficModel::buildTurnaround(std::int64_t k) const {
    const Scenario& s = scenario_;
    const double elevation = s.elevationFt;
    const double start = static_cast<double>(k) * s.turnaroundIntervalS +
                         lf_unit(lf_hash(s.seed, k, 1)) * s.turnaroundIntervalS * 0.5;
    const std::size_t slot = lf_mod(k, fleetPattern_.size());
    const FleetEntry& entry = s.fleet[fleetPattern_[slot]];
    const std::int64_t occurrence =
        lf_floorDiv(k, static_cast<std::int64_t>(fleetPattern_.size())) * entry.weight +
        static_cast<std::int64_t>(patternRank_[slot]);
    const std::string& registration = entry.registrations[lf_mod(occurrence, entry.registrations.size())];
    const std::size_t standIndex = lf_mod(k, s.stands.size());
    const ScenarioStand& stand = s.stands[standIndex];
    const StandRoutes& routes = standRoutes_[standIndex];
    const std::string& other = entry.routes[lf_hash(s.seed, k, 2) % entry.routes.size()];
    const int span = (entry.lastFlightNumber - entry.firstFlightNumber) / 2;
    const int number = entry.firstFlightNumber +
                       2 * static_cast<int>(lf_hash(s.seed, k, 3) % static_cast<std::uint64_t>(span));

    AircraftSnapshot identity;
    identity.address = addresses_.at(registration);
    identity.registration = registration;
    identity.type = entry.type;
    identity.operatorCode = entry.airline;
    const auto lf_flight = [&](int n, AircraftSnapshot& who) {
        who.callsign =
            entry.airline.empty() ? lf_withoutDash(registration) : entry.airline + std::to_string(n);
        who.flightNumber = entry.iata.empty() ? std::string() : entry.iata + std::to_string(n);
    };

    auto turnaround = std::make_shared<Turnaround>();
    auto arrival = std::make_shared<Movement>();
    arrival->identity = identity;
    lf_flight(number, arrival->identity);
    arrival->identity.origin = other;
    arrival->identity.destination = s.airportCode;
    arrival->identity.squawk = lf_squawk(lf_hash(s.seed, k, 4));
    double t = start;
    arrival->phases.push_back({t, t + approach_->duration(), approach_, {}, false, false, 0.0});
    t += approach_->duration();
    arrival->phases.push_back({t, t + routes.taxiIn->duration(), routes.taxiIn, {}, true, false, 0.0});
    t += routes.taxiIn->duration();

    turnaround->parkedFrom = t;
    turnaround->parkedUntil =
        t + s.minParkedS + lf_unit(lf_hash(s.seed, k, 5)) * (s.maxParkedS - s.minParkedS);
    turnaround->parked = arrival->identity;
    turnaround->parked.standName = stand.name;
    turnaround->parked.parkedSince = turnaround->parkedFrom;
    turnaround->parked.headingDeg = stand.headingDeg;
    turnaround->parked.trackDeg = stand.headingDeg;
    turnaround->parked.onGround = true;
    turnaround->parked.altitudeFt = elevation;
    // A parked position is measured, not drawn: a few metres off the stand's centre.
    const Point measured =
        gf_offset(stand.at, lf_unit(lf_hash(s.seed, k, 6)) * 360.0, lf_unit(lf_hash(s.seed, k, 7)) * 6.0);
    s.toLatLon(measured, turnaround->parked.latitude, turnaround->parked.longitude);

    auto departure = std::make_shared<Movement>();
    departure->identity = identity;
    lf_flight(number + 1, departure->identity);
    departure->identity.origin = s.airportCode;
    departure->identity.destination = other;
    departure->identity.squawk = lf_squawk(lf_hash(s.seed, k, 8));
    t = turnaround->parkedUntil;
    departure->phases.push_back({t, t + routes.pushback->duration(), routes.pushback, {}, true, true, 0.0});
    t += routes.pushback->duration();
    const RouteState laneEnd = routes.pushback->at(routes.pushback->duration());
    const double engineStart = 45.0 + lf_unit(lf_hash(s.seed, k, 9)) * (maxEngineStartS - 45.0);
    departure->phases.push_back({t,
                                 t + engineStart,
                                 nullptr,
                                 {laneEnd.at, elevation, 0.0, routes.startHeading, 0.0},
                                 true,
                                 false,
                                 routes.startHeading});
    t += engineStart;
    departure->phases.push_back({t, t + routes.taxiOut->duration(), routes.taxiOut, {}, true, false, 0.0});
    t += routes.taxiOut->duration();
    const Point holdingPoint = s.taxiOut.back();
    const double lineUpHeading = gf_bearingDeg(holdingPoint, s.departureRunway.threshold);
    const double runwayHold = 20.0 + lf_unit(lf_hash(s.seed, k, 10)) * (maxRunwayHoldS - 20.0);
    departure->phases.push_back({t,
                                 t + runwayHold,
                                 nullptr,
                                 {holdingPoint, elevation, 0.0, lineUpHeading, 0.0},
                                 true,
                                 false,
                                 lineUpHeading});
    t += runwayHold;
    departure->phases.push_back({t, t + takeoff_->duration(), takeoff_, {}, true, false, 0.0});
    t += takeoff_->duration();
    const double heading = s.departureRunway.headingDeg;
    const Point rotation = gf_offset(s.departureRunway.threshold, heading, rotationM);
    auto climb = std::make_shared<Route>(lf_climbOut(rotation, heading, lf_bearingOfCode(other), elevation),
                                         airTurnRadiusM, airTurnRateDegS);
    departure->phases.push_back({t, t + climb->duration(), climb, {}, false, false, 0.0});

    turnaround->arrival = std::move(arrival);
    turnaround->departure = std::move(departure);
    return turnaround;
}

std::shared_ptr<const Movement> TrafficModel::buildOverflight(std::int64_t j) const {
    const Scenario& s = scenario_;
    const double start = static_cast<double>(j) * s.overflightIntervalS +
                         lf_unit(lf_hash(s.seed, j, 11)) * s.overflightIntervalS * 0.5;
    const std::size_t slot = lf_mod(j, overflightPattern_.size());
    const FleetEntry& entry = s.overflightFleet[overflightPattern_[slot]];
    const std::int64_t occurrence =
        lf_floorDiv(j, static_cast<std::int64_t>(overflightPattern_.size())) * entry.weight +
        static_cast<std::int64_t>(overflightRank_[slot]);
    const std::string& registration = entry.registrations[lf_mod(occurrence, entry.registrations.size())];
    const int span = entry.lastFlightNumber - entry.firstFlightNumber;
    const int number =
        entry.firstFlightNumber + static_cast<int>(lf_hash(s.seed, j, 12) % static_cast<std::uint64_t>(span));

    auto movement = std::make_shared<Movement>();
    AircraftSnapshot& who = movement->identity;
    who.address = addresses_.at(registration);
    who.registration = registration;
    who.type = entry.type;
    who.operatorCode = entry.airline;
    who.callsign =
        entry.airline.empty() ? lf_withoutDash(registration) : entry.airline + std::to_string(number);
    who.flightNumber = entry.iata.empty() ? std::string() : entry.iata + std::to_string(number);
    const std::size_t from = lf_hash(s.seed, j, 13) % entry.routes.size();
    who.origin = entry.routes[from];
    who.destination = entry.routes[(from + 1) % entry.routes.size()];
    who.squawk = lf_squawk(lf_hash(s.seed, j, 14));

    const double bearing = lf_unit(lf_hash(s.seed, j, 15)) * 360.0;
    const double offsetNm = (lf_unit(lf_hash(s.seed, j, 16)) - 0.5) * 50.0;
    const Point centre = gf_offset({0.0, 0.0}, bearing + 90.0, offsetNm * metresPerNm);
    const double altitude = (300.0 + 10.0 * std::floor(lf_unit(lf_hash(s.seed, j, 17)) * 10.0)) * 100.0;
    const double speed = 430.0 + lf_unit(lf_hash(s.seed, j, 18)) * 50.0;
    auto route = std::make_shared<Route>(
        std::vector<Waypoint>{{gf_offset(centre, bearing + 180.0, 80.0 * metresPerNm), altitude, speed},
                              {gf_offset(centre, bearing, 80.0 * metresPerNm), altitude, speed}},
        airTurnRadiusM, airTurnRateDegS);
    movement->phases.push_back({start, start + route->duration(), route, {}, false, false, 0.0});
    return movement;
}

std::shared_ptr<const Movement> TrafficModel::buildLocalFlight(std::int64_t j) const {
    const Scenario& s = scenario_;
    const LocalType& local = s.localTypes[lf_mod(j, s.localTypes.size())];
    const std::int64_t occurrence = lf_floorDiv(j, static_cast<std::int64_t>(s.localTypes.size()));
    const std::string& registration = local.registrations[lf_mod(occurrence, local.registrations.size())];
    const double start = static_cast<double>(j) * s.localFlightIntervalS +
                         lf_unit(lf_hash(s.seed, j, 21)) * s.localFlightIntervalS * 0.5;

    auto movement = std::make_shared<Movement>();
    AircraftSnapshot& who = movement->identity;
    who.address = addresses_.at(registration);
    who.registration = registration;
    who.type = local.type;
    who.callsign = lf_withoutDash(registration);
    who.squawk = "7000";
    const double bearing = lf_unit(lf_hash(s.seed, j, 22)) * 360.0;
    const double offsetNm = 4.0 + lf_unit(lf_hash(s.seed, j, 23)) * 10.0;
    const Point centre = gf_offset({0.0, 0.0}, bearing + 90.0, offsetNm * metresPerNm);
    const double altitude = s.elevationFt + local.altitudeFt;
    auto route = std::make_shared<Route>(
        std::vector<Waypoint>{
            {gf_offset(centre, bearing + 180.0, 30.0 * metresPerNm), altitude, local.speedKt},
            {gf_offset(centre, bearing, 30.0 * metresPerNm), altitude, local.speedKt}},
        airTurnRadiusM, airTurnRateDegS);
    movement->phases.push_back({start, start + route->duration(), route, {}, false, false, 0.0});
    return movement;
}

} // namespace kvr::standin
