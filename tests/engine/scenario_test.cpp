// Whole roads of live aircraft through the engine: an arrival that lands, taxis and parks, a departure
// that pushes back, taxis, takes off and leaves, with every position the simulator gets checked for
// jumps.
#include "engine_fixture.h"

#include "core/geodesy.h"
#include "settings/parameter_table.h"

#include <numbers>
#include <optional>

namespace kvr::test {
namespace {

// The largest distance between two consecutive updates of an object, nm.
double largestStep(const EchoObject& object) {
    double largest = 0;
    for (std::size_t i = 1; i < object.moves.size(); ++i)
        largest = std::max(largest, gf_distanceNm(object.moves[i - 1].latitude, object.moves[i - 1].longitude,
                                                  object.moves[i].latitude, object.moves[i].longitude));
    return largest;
}

double stepAllowedNm(double fastestReportedKt) {
    return (fastestReportedKt * 1.3 + 12.0) * tuning::secondsPerTick / 3600.0;
}

class ScenarioTest : public EngineTest {
protected:
    // Records each phase the aircraft goes through, once per change.
    void runWatching(std::uint32_t id, double seconds) {
        for (int i = 0; i < static_cast<int>(seconds * tuning::ticksPerSecond); ++i) {
            tick();
            if (const LiveAc* aircraft = live(id); aircraft && aircraft->simState == SimState::active &&
                                                   (phases.empty() || phases.back() != aircraft->phase))
                phases.push_back(aircraft->phase);
        }
    }
    std::vector<AcPhase> phases;
};

TEST_F(ScenarioTest, ArrivalLandsTaxisAndParksAtTheNearestStand) {
    std::vector<port::LiveAircraft> path =
        pathReports(0x484C01, "KLM1234", epoch0, airportLatitude, airportLongitude - 0.1, 2400,
                    {{200, 140, 90, -700, false},
                     {20, 100, 90, 0, true},
                     {10, 50, 90, 0, true},
                     {60, 15, 0, 0, true},
                     {20, 4, 0, 0, true},
                     {150, 0, 0, 0, true}});
    const port::LiveAircraft& last = path.back();
    const GeoPoint standPoint = gf_destinationPoint(last.latitude, last.longitude, 0.0, 30.0 / 0.3048);
    addStand("A1", last.latitude + 0.003, last.longitude, 0, 30);
    const port::Stand& stand = addStand("E7", standPoint.latitude, standPoint.longitude, 10, 30);
    addStand("E8", standPoint.latitude, standPoint.longitude + 0.0012, 10, 30);
    schedule(std::move(path));

    runWatching(0x484C01, 520);

    const LiveAc* aircraft = live(0x484C01);
    ASSERT_NE(aircraft, nullptr);
    EXPECT_EQ(phases, (std::vector<AcPhase>{AcPhase::flying, AcPhase::landing, AcPhase::taxi,
                                            AcPhase::parking, AcPhase::parked}));
    EXPECT_EQ(aircraft->standNumber, stand.number);
    EXPECT_TRUE(port::standList[1].occupied);
    EXPECT_FALSE(port::standList[0].occupied);
    EXPECT_NEAR(aircraft->current.latitude, stand.latitude, 1e-9);
    EXPECT_NEAR(aircraft->current.heading, 10.0, 1e-6);

    const EchoObject* object = echo.byTail("KLM1234");
    ASSERT_NE(object, nullptr);
    EXPECT_FALSE(object->created.onGround);
    EXPECT_EQ(object->created.title, matchedTitles[0]);
    EXPECT_GT(object->moves.size(), 30000u);
    EXPECT_LE(largestStep(*object), stepAllowedNm(140));
    EXPECT_NEAR(object->moves.back().latitude, stand.latitude, 1e-9);
}

TEST_F(ScenarioTest, DeparturePushesBackStraightTaxisTakesOffAndLeavesWhenItsReportsEnd) {
    STRAIGHT_PBS_ONLY.setValue(true);
    const port::Stand& stand = addStand("D3", airportLatitude, airportLongitude, 0, 40);
    std::vector<port::LiveAircraft> path = departureReports();
    for (port::LiveAircraft& report : path)
        report.heading = 0.0;
    schedule(std::move(path));

    double halfSpan = 0;
    double pushStartLatitude = 0;
    double furthestBack = 0;
    bool headingKept = true;
    for (int i = 0; i < 420 * tuning::ticksPerSecond; ++i) {
        tick();
        const LiveAc* aircraft = live(0x4CA001);
        if (!aircraft || aircraft->simState != SimState::active)
            continue;
        if (phases.empty() || phases.back() != aircraft->phase) {
            phases.push_back(aircraft->phase);
            if (aircraft->phase == AcPhase::pushing_back) {
                halfSpan = aircraft->halfWingspan;
                pushStartLatitude = aircraft->current.latitude;
            }
        }
        if (aircraft->phase == AcPhase::pushing_back || aircraft->phase == AcPhase::pushed_back) {
            headingKept = headingKept && std::abs(aircraft->current.heading) < 1e-9;
            furthestBack = std::max(furthestBack, (pushStartLatitude - aircraft->current.latitude) * 60.0);
        }
    }

    EXPECT_EQ(phases, (std::vector<AcPhase>{AcPhase::parked, AcPhase::pushing_back, AcPhase::pushed_back,
                                            AcPhase::taxi, AcPhase::take_off, AcPhase::flying}));
    EXPECT_TRUE(headingKept);
    EXPECT_NEAR(furthestBack, 3.0 * halfSpan, 0.0002);
    EXPECT_FALSE(stand.occupied);
    EXPECT_EQ(live(0x4CA001), nullptr);
    const port::SimObjectId id = echo.idOfTail("RYR55");
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(echo.objects[id].removed);
    EXPECT_TRUE(echo.objects[id].created.onGround);
    EXPECT_LE(largestStep(echo.objects[id]), stepAllowedNm(160));
}

// The pushed aircraft moves off at 95 degrees after its pushback: its nose turns the most a pushback turns.
TEST_F(ScenarioTest,
       WithoutStraightPushbacksTheNoseTurnsToWhereTheReportsMoveOffOrTheAircraftLeavesForwards) {
    addStand("D3", airportLatitude, airportLongitude, 0, 40);
    addStand("D4", airportLatitude, airportLongitude + 0.01, 0, 40);
    std::vector<port::LiveAircraft> pushed = pathReports(
        0x4CA001, "RYR55", epoch0, airportLatitude, airportLongitude, 0,
        {{60, 0, 0, 0, true}, {15, 3, 180, 0, true}, {10, 0, 180, 0, true}, {120, 15, 95, 0, true}});
    std::vector<port::LiveAircraft> forward =
        pathReports(0x4CA002, "RYR56", epoch0, airportLatitude, airportLongitude + 0.01, 0,
                    {{60, 0, 0, 0, true}, {120, 8, 10, 0, true}});
    for (port::LiveAircraft& report : forward)
        report.heading = 0.0;
    schedule(std::move(pushed));
    schedule(std::move(forward));

    std::vector<AcPhase> forwardPhases;
    double headingPushedBack = -1;
    for (int i = 0; i < 200 * tuning::ticksPerSecond; ++i) {
        tick();
        const LiveAc* pushing = live(0x4CA001);
        if (pushing && pushing->simState == SimState::active && pushing->phase == AcPhase::pushed_back)
            headingPushedBack = pushing->current.heading;
        const LiveAc* leaving = live(0x4CA002);
        if (leaving && leaving->simState == SimState::active &&
            (forwardPhases.empty() || forwardPhases.back() != leaving->phase))
            forwardPhases.push_back(leaving->phase);
    }
    EXPECT_NEAR(headingPushedBack, 90.0, 1e-6);
    EXPECT_EQ(forwardPhases, (std::vector<AcPhase>{AcPhase::parked, AcPhase::taxi}));
}

// An airliner heard once a minute (sparse coverage, MLAT, satellite) flies on between its reports: it never
// slows down in the air and never falls further behind than the time its reports are shown late.
TEST_F(ScenarioTest, AnAirlinerReportedOnceAMinuteKeepsItsPace) {
    constexpr double speedKt = 550;
    const double startLatitude = airportLatitude - 0.2;
    schedule(pathReports(0x4B1801, "SWR12", epoch0, startLatitude, airportLongitude, 35000,
                         {{20 * 60 + 1, speedKt, 0}}, 60.0));
    // Reports are shown 30 s after their time.
    const double allowedLagNm = speedKt * 30.0 / 3600.0 + 0.1;

    std::optional<port::PositionUpdate> secondBefore;
    double slowestKt = speedKt;
    double largestLagNm = 0;
    int secondsShown = 0;
    for (int second = 0; second < 20 * 60 + 30; ++second) {
        run(1);
        const EchoObject* object = echo.byTail("SWR12");
        if (!object || object->moves.empty())
            continue;
        const port::PositionUpdate shown = object->moves.back();
        const double flownFeet = speedKt * (now() - epoch0) / 3600.0 * 1852.0 / 0.3048;
        const GeoPoint newest = gf_destinationPoint(startLatitude, airportLongitude, 0.0, flownFeet);
        largestLagNm = std::max(
            largestLagNm, gf_distanceNm(shown.latitude, shown.longitude, newest.latitude, newest.longitude));
        if (secondBefore)
            slowestKt = std::min(slowestKt, gf_distanceNm(secondBefore->latitude, secondBefore->longitude,
                                                          shown.latitude, shown.longitude) *
                                                3600.0);
        secondBefore = shown;
        ++secondsShown;
    }
    EXPECT_GT(secondsShown, 19 * 60);
    EXPECT_GE(slowestKt, speedKt / 2);
    EXPECT_LE(largestLagNm, allowedLagNm);
}

TEST_F(ScenarioTest, AnAircraftWhoseCreationIsNeverAnsweredIsForgottenOnceItsReportsEnd) {
    echo.answerCreations = false;
    schedule(pathReports(0x484C02, "KLM9", epoch0, airportLatitude + 0.1, airportLongitude, 3000,
                         {{20, 200, 90, 0, false}}));
    run(40);
    ASSERT_NE(live(0x484C02), nullptr);
    EXPECT_EQ(live(0x484C02)->simState, SimState::adding2sim);
    run(70);
    EXPECT_TRUE(live(0x484C02)->removeWhenCreated);
    run(70);
    EXPECT_EQ(live(0x484C02), nullptr);
}

} // namespace
} // namespace kvr::test
