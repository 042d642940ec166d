// Live aircraft on the ground, told by the service's replies through the Traffic Reader: pushbacks, a
// wait on a taxilane, a stay under noisy reports, an arrival at a static aircraft's stand, a landing roll.
#include "engine_fixture.h"

#include "core/geodesy.h"
#include "traffic_service/readers.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace kvr::test {
namespace {

GeoPoint offset(const port::LiveAircraft& from, double bearingDeg, double metres) {
    return gf_destinationPoint(from.latitude, from.longitude, bearingDeg * std::numbers::pi / 180.0,
                               metres / 0.3048);
}

double metresFromStand(const LiveAc& aircraft, const port::Stand& stand) {
    return gf_distanceNm(aircraft.current.latitude, aircraft.current.longitude, stand.latitude,
                         stand.longitude) *
           1852.0;
}

class GroundRoadTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        trafficReader.reset();
        gf_installReportIntake();
        throughReader = true;
    }
    template <typename Watch> void watch(double seconds, Watch each) {
        for (int i = 0; i < static_cast<int>(seconds * tuning::ticksPerSecond); ++i) {
            tick();
            each();
        }
    }
};

// From stands facing north the tail swings east (nose ends at 270), west (at 90) or goes straight back, with
// and without a reported heading; each aircraft then stops and moves off forwards along the given track.
TEST_F(GroundRoadTest, EveryPushbackEndsWithTheNoseWhereTheReportsTrackSays) {
    const double tailTurns[] = {-90, 90, 0, -90, 90, 0};
    const double taxiTracks[] = {270, 90, 15, 270, 90, 15};
    for (std::uint32_t k = 0; k < 6; ++k) {
        const double longitude = airportLongitude + 0.01 * k;
        addStand(fmt::format("P{}", k), airportLatitude, longitude, 0, 30);
        std::vector<Leg> legs{{40, 0, 0, 0, true}, {20, 3, 180, 0, true}};
        for (int step = 1; step <= 6; ++step)
            legs.push_back({3, 3, 180 + tailTurns[k] * step / 6.0, 0, true});
        legs.insert(legs.end(), {{20, 0, 0, 0, true}, {60, 10, taxiTracks[k], 0, true}});
        auto path = pathReports(0x4CA100 + k, fmt::format("RYR{}", k), epoch0, airportLatitude, longitude, 0,
                                legs, 1.0);
        double nose = 0; // backing out at 3 kt, the nose points against the track
        for (port::LiveAircraft& report : path)
            if (k >= 3 && report.groundSpeed > 0)
                report.heading = nose =
                    std::fmod(report.track + (report.groundSpeed == 3 ? 180.0 : 0.0), 360.0);
            else if (k >= 3)
                report.heading = nose;
        schedule(std::move(path));
    }
    double noses[6] = {-1, -1, -1, -1, -1, -1};
    watch(200, [&] {
        for (std::uint32_t k = 0; k < 6; ++k)
            if (const LiveAc* aircraft = live(0x4CA100 + k);
                aircraft && aircraft->phase == AcPhase::pushed_back)
                noses[k] = aircraft->current.heading;
    });
    for (int k = 0; k < 6; ++k)
        EXPECT_LE(std::abs(lf_shorterArcDeg(noses[k], taxiTracks[k])), 30.0) << k << ": nose " << noses[k];
}

// Taxiing east, the aircraft waits 40 s with free stands 80 m north and 60 m south, then turns into its own.
TEST_F(GroundRoadTest, AWaitOnATaxilaneParksNowhereAndTheAircraftParksOnItsOwnStand) {
    auto path = pathReports(0x4CA200, "KLM77", epoch0, airportLatitude, airportLongitude, 0,
                            {{30, 15, 90, 0, true},
                             {40, 0, 90, 0, true},
                             {20, 15, 90, 0, true},
                             {16, 5, 0, 0, true},
                             {120, 0, 0, 0, true}},
                            2.0);
    const GeoPoint north = offset(path[15], 0, 80);
    const GeoPoint south = offset(path[15], 180, 60);
    addStand("N1", north.latitude, north.longitude, 180, 30);
    addStand("S1", south.latitude, south.longitude, 0, 30);
    const port::Stand& own = addStand("E9", path.back().latitude, path.back().longitude, 0, 30);
    schedule(std::move(path));
    bool elsewhere = false;
    watch(280, [&] { elsewhere = elsewhere || port::standList[0].occupied || port::standList[1].occupied; });
    ASSERT_NE(live(0x4CA200), nullptr);
    EXPECT_FALSE(elsewhere);
    EXPECT_EQ(live(0x4CA200)->phase, AcPhase::parked);
    EXPECT_LT(metresFromStand(*live(0x4CA200), own), 0.01);
}

// Five minutes at the stand, a report every 2 s with up to 4 m of jitter and 0-3 kt, one of them 150 m east
// (within the ground limit: 300 kt for 2 + 2 s is 617 m).
TEST_F(GroundRoadTest, NoisySpeedsAndOneStrayReportNeverEndAStay) {
    const port::Stand& stand = addStand("C4", airportLatitude, airportLongitude, 90, 30);
    auto path = pathReports(0x4CA300, "TRA33", epoch0, airportLatitude, airportLongitude, 0,
                            {{300, 0, 90, 0, true}}, 2.0);
    std::mt19937 random(34);
    std::uniform_real_distribution<double> metres(-4.0, 4.0);
    std::uniform_real_distribution<double> knots(0.0, 3.0);
    for (std::size_t i = 1; i < path.size(); ++i) {
        const GeoPoint north = offset(path[i], 0, metres(random));
        path[i].latitude = north.latitude;
        path[i].longitude = gf_destinationPoint(north.latitude, north.longitude, std::numbers::pi / 2,
                                                metres(random) / 0.3048)
                                .longitude;
        path[i].groundSpeed = knots(random);
    }
    const GeoPoint stray = offset(path[60], 90, 150);
    path[60].latitude = stray.latitude;
    path[60].longitude = stray.longitude;
    schedule(std::move(path));
    bool stayed = true;
    watch(330, [&] {
        if (const LiveAc* aircraft = live(0x4CA300); aircraft && aircraft->simState != SimState::buffer)
            stayed = stayed && aircraft->phase == AcPhase::parked && stand.occupied &&
                     metresFromStand(*aircraft, stand) < 0.01;
    });
    ASSERT_NE(live(0x4CA300), nullptr);
    EXPECT_TRUE(stayed);
}

TEST_F(GroundRoadTest, ALiveAircraftArrivingAtAStaticsStandMakesTheStaticGiveWay) {
    auto path = pathReports(0x4CA400, "EZY44", epoch0, airportLatitude - 0.003, airportLongitude, 0,
                            {{60, 10, 0, 0, true}, {120, 0, 0, 0, true}}, 2.0);
    port::Stand& held = addStand("B2", path.back().latitude, path.back().longitude, 0, 30);
    const GeoPoint east = offset(path.back(), 90, 50);
    addStand("B3", east.latitude, east.longitude, 0, 30);
    const port::SimObjectId staticObject = addActiveStatic("DLH5", held).objectId;
    held.occupied = true;
    schedule(std::move(path));
    run(240);
    ASSERT_NE(live(0x4CA400), nullptr);
    EXPECT_EQ(std::count(echo.removals.begin(), echo.removals.end(), staticObject), 1);
    EXPECT_EQ(live(0x4CA400)->phase, AcPhase::parked);
    EXPECT_LT(metresFromStand(*live(0x4CA400), held), 0.01);
}

// Touch-down after 60 s at 700 ft/min from 700 ft; on the roll from 100 to 45 kt every third report says
// airborne at 18 ft. The ground reports all give 0 ft.
TEST_F(GroundRoadTest, AGroundFlagFlickeringOnTheLandingRollDoesNotLiftTheAircraft) {
    auto path = pathReports(
        0x4CA500, "KLM55", epoch0, airportLatitude, airportLongitude - 0.06, 700,
        {{60, 140, 90, -700, false}, {20, 100, 90, 0, true}, {20, 45, 90, 0, true}, {30, 15, 90, 0, true}},
        1.0);
    for (std::size_t i = 61; i < 100; i += 3) {
        path[i].onGround = false;
        path[i].altitude = 18;
    }
    schedule(std::move(path));
    int liftOffs = 0;
    int ticksLanded = 0;
    double highestOnGround = 0; // from 3 s after the touch-down
    AcPhase before = AcPhase::birth;
    watch(140, [&] {
        const LiveAc* aircraft = live(0x4CA500);
        if (!aircraft || aircraft->simState != SimState::active)
            return;
        liftOffs += before == AcPhase::landing && aircraft->phase == AcPhase::flying;
        before = aircraft->phase;
        if (aircraft->phase != AcPhase::flying && ++ticksLanded > 3 * tuning::ticksPerSecond)
            highestOnGround = std::max(highestOnGround, aircraft->current.altitude);
    });
    EXPECT_EQ(before, AcPhase::taxi);
    EXPECT_EQ(liftOffs, 0);
    EXPECT_LT(highestOnGround, 1.0);
}

} // namespace
} // namespace kvr::test
