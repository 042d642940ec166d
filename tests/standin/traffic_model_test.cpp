#include "standins/service/traffic_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace kvr::standin {
namespace {

constexpr double t0 = 1796618766.0; // a Monday morning in December 2026

Scenario lf_eham() {
    return gf_loadScenario(std::filesystem::path(VANTREL_SOURCE_DIR) / "scenarios/traffic/eham.json");
}

const TrafficModel& lf_model() {
    static const TrafficModel model(lf_eham());
    return model;
}

double lf_turn(double from, double to) {
    return std::fmod(to - from + 540.0, 360.0) - 180.0;
}

double lf_metres(const Scenario& s, const AircraftSnapshot& a, const AircraftSnapshot& b) {
    const Point pa = s.toLocal(a.latitude, a.longitude);
    const Point pb = s.toLocal(b.latitude, b.longitude);
    return std::hypot(pb.x - pa.x, pb.y - pa.y);
}

TEST(Route, RoundsCornersAndSlowsDownWhereTheyAreTight) {
    // A right angle at 250 kt flown on a 2500 m radius: about 3 degrees a second.
    const Route air({{{0, 0}, 5000, 250}, {{0, 20000}, 5000, 250}, {{20000, 20000}, 5000, 250}}, 2500.0, 3.5);
    double fastest = 0.0;
    for (double t = 0; t + 5 <= air.duration(); t += 1.0)
        fastest = std::max(fastest, std::abs(lf_turn(air.at(t).trackDeg, air.at(t + 5).trackDeg)) / 5.0);
    EXPECT_GT(fastest, 2.0);
    EXPECT_LT(fastest, 3.6);
    EXPECT_NEAR(air.at(air.duration()).at.x, 20000.0, 1e-6);

    // A U-turn on short legs: the radius shrinks, so the speed must drop to keep the turn rate.
    const Route tight({{{0, 0}, 0, 15}, {{0, 60}, 0, 15}, {{2, 0}, 0, 15}}, 35.0, 20.0);
    for (double t = 0; t + 2 <= tight.duration(); t += 0.5)
        EXPECT_LE(std::abs(lf_turn(tight.at(t).trackDeg, tight.at(t + 2).trackDeg)) / 2.0, 21.0) << t;

    // Constant acceleration between the speeds of the points.
    const Route roll({{{0, 0}, 0, 0.2}, {{0, 1800}, 0, 150}}, 35.0);
    EXPECT_NEAR(roll.at(roll.duration()).speedKt, 150.0, 1e-6);
    EXPECT_NEAR(roll.at(roll.duration() / 2).speedKt, 75.1, 0.5);
}

TEST(TrafficModel, SameSeedGivesTheSameTrafficAndAnotherSeedOther) {
    const TrafficModel again(lf_eham());
    Scenario other = lf_eham();
    other.seed += 1;
    const TrafficModel reseeded(other);
    const auto a = lf_model().liveTraffic(t0, {}, false);
    const auto b = again.liveTraffic(t0, {}, false);
    const auto c = reseeded.liveTraffic(t0, {}, false);
    ASSERT_GT(a.size(), 10u);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].callsign, b[i].callsign);
        EXPECT_EQ(a[i].latitude, b[i].latitude);
        EXPECT_EQ(a[i].timestamp, b[i].timestamp);
    }
    std::set<std::string> first, reseededCallsigns;
    for (const auto& x : a)
        first.insert(x.callsign);
    for (const auto& x : c)
        reseededCallsigns.insert(x.callsign);
    EXPECT_NE(first, reseededCallsigns);
}

// Every movement under way at t0, sampled each second from its first to its last report.
TEST(TrafficModel, MovementsStayWithinWhatAircraftFly) {
    const TrafficModel& model = lf_model();
    const Scenario& s = model.scenario();
    int groundSamples = 0, airSamples = 0;
    for (const auto& movement : model.movementsAt(t0)) {
        std::optional<AircraftSnapshot> previous;
        std::vector<AircraftSnapshot> window;
        for (double t = movement->start(); t <= movement->end(); t += 1.0) {
            const auto now = model.snapshot(*movement, t);
            ASSERT_TRUE(now);
            const std::string who =
                movement->identity.callsign + " at +" + std::to_string(t - movement->start());
            EXPECT_LE(now->groundSpeedKt, now->onGround ? 155.0 : 490.0) << who;
            EXPECT_LE(std::abs(now->verticalRateFpm), 3000.0) << who;
            EXPECT_GE(now->altitudeFt, s.elevationFt - 1.0) << who;
            if (previous) {
                // No jumps: one second covers at most what the faster of the two speeds allows.
                const double most = std::max(previous->groundSpeedKt, now->groundSpeedKt) * knotsToMs + 0.5;
                EXPECT_LE(lf_metres(s, *previous, *now), most) << who;
                EXPECT_LE(std::abs(now->groundSpeedKt - previous->groundSpeedKt) * knotsToMs, 3.0) << who;
            }
            window.push_back(*now);
            if (window.size() > 6)
                window.erase(window.begin());
            if (window.size() == 6 && window.front().groundSpeedKt > 3.0 &&
                window.back().groundSpeedKt > 3.0 && window.front().onGround == window.back().onGround) {
                const double rate = std::abs(lf_turn(window.front().trackDeg, window.back().trackDeg)) / 5.0;
                EXPECT_LE(rate, now->onGround ? 21.0 : 4.0) << who;
                (now->onGround ? groundSamples : airSamples)++;
            }
            if (now->bankDeg) {
                EXPECT_LE(std::abs(*now->bankDeg), 30.0) << who;
            }
            previous = now;
        }
    }
    EXPECT_GT(groundSamples, 1000);
    EXPECT_GT(airSamples, 1000);
}

TEST(TrafficModel, ApproachesFollowAThreeDegreePathToTheRunway) {
    const TrafficModel& model = lf_model();
    const Scenario& s = model.scenario();
    int checked = 0;
    for (const auto& report : model.liveTraffic(t0, {}, false)) {
        if (report.destination != "EHAM" || report.onGround || report.origin == "EHAM")
            continue;
        const Point at = s.toLocal(report.latitude, report.longitude);
        const double nm =
            std::hypot(at.x - s.arrivalRunway.threshold.x, at.y - s.arrivalRunway.threshold.y) / metresPerNm;
        EXPECT_NEAR(report.altitudeFt - s.elevationFt, 50.0 + nm * 318.4, 60.0) << report.callsign;
        EXPECT_NEAR(report.trackDeg, s.arrivalRunway.headingDeg, 0.5) << report.callsign;
        EXPECT_LT(report.verticalRateFpm, 0.0) << report.callsign;
        ++checked;
    }
    EXPECT_GT(checked, 2);
}

TEST(TrafficModel, ArrivalsParkAtAStandAndPushBackFromIt) {
    const TrafficModel& model = lf_model();
    const Scenario& s = model.scenario();
    int followed = 0;
    for (const auto& movement : model.movementsAt(t0)) {
        if (movement->identity.destination != "EHAM" || movement->identity.origin == "")
            continue;
        const auto last = model.snapshot(*movement, movement->end());
        const auto parked = model.parkedTraffic(movement->end() + 60.0, {});
        const auto mine = std::find_if(parked.begin(), parked.end(), [&](const AircraftSnapshot& p) {
            return p.address == movement->identity.address;
        });
        ASSERT_NE(mine, parked.end()) << movement->identity.callsign;
        EXPECT_LT(lf_metres(s, *last, *mine), 8.0);
        EXPECT_LT(last->groundSpeedKt, 1.0);
        EXPECT_NEAR(mine->parkedSince, movement->end(), 1e-6);
        const auto stand = std::find_if(s.stands.begin(), s.stands.end(),
                                        [&](const ScenarioStand& st) { return st.name == mine->standName; });
        ASSERT_NE(stand, s.stands.end());
        EXPECT_NEAR(std::abs(lf_turn(last->headingDeg, stand->headingDeg)), 0.0, 1.0) << "parked nose-in";
        ++followed;
    }
    EXPECT_GT(followed, 0);

    // A pushback moves tail first: the nose points against the motion.
    int pushbacks = 0;
    for (double t = t0; t < t0 + 3600 && pushbacks == 0; t += 20)
        for (const auto& report : model.liveTraffic(t, {}, false))
            if (report.onGround && report.origin == "EHAM" && report.groundSpeedKt > 1.0 &&
                report.groundSpeedKt < 2.5 &&
                std::abs(std::abs(lf_turn(report.trackDeg, report.headingDeg)) - 180.0) < 1.0)
                ++pushbacks;
    EXPECT_GT(pushbacks, 0);
}

TEST(TrafficModel, NoStandHoldsTwoAircraftAndNoAddressIsSeenTwiceAtOnce) {
    const TrafficModel& model = lf_model();
    for (double t = t0; t < t0 + 86400.0; t += 1200.0) {
        std::set<std::string> stands;
        std::set<std::uint32_t> addresses;
        std::set<std::string> registrations;
        for (const auto& p : model.parkedTraffic(t, {})) {
            EXPECT_TRUE(stands.insert(p.standName).second) << p.standName << " at " << t;
            EXPECT_TRUE(addresses.insert(p.address).second);
            EXPECT_TRUE(registrations.insert(p.registration).second);
        }
        for (const auto& r : model.liveTraffic(t, {}, false)) {
            EXPECT_TRUE(addresses.insert(r.address).second) << r.registration << " at " << t;
            EXPECT_TRUE(registrations.insert(r.registration).second) << r.registration << " at " << t;
        }
        EXPECT_GT(stands.size(), 5u);
    }
}

TEST(TrafficModel, HistoryAddsEarlierReportsAndTheBoxLimitsWhatIsSeen) {
    const TrafficModel& model = lf_model();
    const auto latest = model.liveTraffic(t0, {}, false);
    const auto buffered = model.liveTraffic(t0, {}, true);
    EXPECT_GT(buffered.size(), latest.size() * 5);
    std::map<std::uint32_t, std::vector<double>> times;
    for (const auto& r : buffered)
        times[r.address].push_back(r.timestamp);
    for (const auto& r : latest) {
        const auto& mine = times[r.address];
        ASSERT_FALSE(mine.empty());
        EXPECT_EQ(mine.back(), r.timestamp) << "oldest first, the latest report last";
        EXPECT_LE(r.timestamp, t0);
        EXPECT_GT(r.timestamp, t0 - model.scenario().reportIntervalS);
        for (std::size_t i = 1; i < mine.size(); ++i)
            EXPECT_NEAR(mine[i] - mine[i - 1], model.scenario().reportIntervalS, 1e-6);
    }
    const LatLonBox airport{52.28, 4.70, 52.34, 4.82};
    const auto nearby = model.liveTraffic(t0, airport, false);
    EXPECT_LT(nearby.size(), latest.size());
    for (const auto& r : nearby)
        EXPECT_TRUE(airport.contains(r.latitude, r.longitude));
}

TEST(Scenario, RefusesFilesThatCannotMakeSoundTraffic) {
    const std::string good = R"({"seed": 3, "airport": {"icao": "TEST", "lat": 50, "lon": 5},
      "arrivalRunway": {"name": "36", "heading": 0, "lat": 49.98, "lon": 5.0, "length": 3000},
      "departureRunway": {"name": "36", "heading": 0, "lat": 49.98, "lon": 5.0, "length": 3000},
      "taxiIn": [[50.0, 5.01]], "taxiOut": [[49.98, 5.001]],
      "stands": [{"name": "A1", "lat": 50.0, "lon": 5.012, "heading": 90}],
      "fleet": [{"airline": "KLM", "type": "B738", "weight": 1, "registrations": ["PH-BXA", "PH-BXB"], "routes": ["EGLL"]}],
      "timing": {"minParkedMinutes": 1, "maxParkedMinutes": 2, "turnaroundInterval": 1800},
      "stations": [], "accounts": []})";
    EXPECT_NO_THROW(gf_parseScenario(good));
    const auto refused = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        EXPECT_THROW(gf_parseScenario(text), std::runtime_error) << to;
    };
    refused(R"("PH-BXA", "PH-BXB")", R"("PH-BXA")"); // a registration per concurrent turnaround
    refused(R"("maxParkedMinutes": 2)", R"("maxParkedMinutes": 200)"); // a stand would be needed twice
    refused(R"("airport")", R"("airfield")");
    refused(R"("length": 3000)", R"("length": "long")");
    refused(R"([[50.0, 5.01]])", R"([[50.0]])");
    EXPECT_THROW(gf_parseScenario("{not json"), std::runtime_error);
    EXPECT_THROW(gf_assignAddresses({"PH-BXA", "PH-BXA"}), std::runtime_error);
    const auto addresses = gf_assignAddresses({"PH-BXA", "G-EZAA", "PH-BXB", "N771UA"});
    EXPECT_EQ(addresses.at("PH-BXA") >> 15, 0x480000u >> 15) << "Dutch block";
    EXPECT_EQ(addresses.at("G-EZAA") >> 18, 0x400000u >> 18) << "British block";
    EXPECT_NE(addresses.at("PH-BXA"), addresses.at("PH-BXB"));
}

} // namespace
} // namespace kvr::standin
