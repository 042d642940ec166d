// Which aircraft each removal rule takes, and which it leaves.
#include "engine_fixture.h"

#include "core/geodesy.h"

#include <numbers>

namespace kvr::test {
namespace {

using RemovalRulesTest = EngineTest;

GeoPoint from(double bearingDeg, double nm) {
    return gf_destinationPoint(airportLatitude, airportLongitude, bearingDeg * std::numbers::pi / 180.0,
                               nm * 1852.0 / 0.3048);
}

TEST_F(RemovalRulesTest, AnAircraftWhoseReportsStopGoesAfterAMinuteAParkedOneAfterAnHour) {
    addActiveLive(1, "KLM1", airportLatitude + 0.1, airportLongitude, 3000, false, AcPhase::flying);
    LiveAc& parked = addActiveLive(2, "KLM2", airportLatitude, airportLongitude, 0, true, AcPhase::parked);
    parked.parkedSinceTick = trafficTick.load();
    tick(6000);
    EXPECT_EQ(live(1)->simState, SimState::active);
    tick(2);
    EXPECT_EQ(live(1), nullptr);
    tick(60 * 60 * 100 - 6002);
    EXPECT_EQ(live(2)->simState, SimState::active);
    tick(2);
    EXPECT_EQ(live(2), nullptr);
    EXPECT_EQ(echo.removals, (std::vector<port::SimObjectId>{1001, 1002}));
}

TEST_F(RemovalRulesTest, OnlyAirborneAircraftCloseAheadOfTheUserAreRemoved) {
    port::setUserAircraft({airportLatitude, airportLongitude, 3000, 200, 90}, false, 0.01);
    const GeoPoint ahead = from(95, 0.8);
    const GeoPoint beside = from(140, 0.8);
    const GeoPoint farAhead = from(90, 1.2);
    addActiveLive(1, "AHEAD", ahead.latitude, ahead.longitude, 3500, false, AcPhase::flying);
    addActiveLive(2, "BESIDE", beside.latitude, beside.longitude, 3000, false, AcPhase::flying);
    addActiveLive(3, "HIGH", ahead.latitude, ahead.longitude, 4100, false, AcPhase::flying);
    addActiveLive(4, "FAR", farAhead.latitude, farAhead.longitude, 3000, false, AcPhase::flying);
    addActiveLive(5, "GROUND", ahead.latitude, ahead.longitude, 3000, true, AcPhase::taxi);
    lf_removeAcInFrontOfUser();
    for (std::uint32_t id = 1; id <= 5; ++id)
        EXPECT_EQ(live(id)->simState == SimState::removingfromsim, id == 1) << id;
}

TEST_F(RemovalRulesTest, TheFarthestActiveAircraftBeyondTheDistanceGoes) {
    for (std::uint32_t id = 1; id <= 3; ++id) {
        const GeoPoint at = from(0, id * 4.0);
        addActiveLive(id, "KLM" + std::to_string(id), at.latitude, at.longitude, 3000, false,
                      AcPhase::flying);
    }
    EXPECT_TRUE(lf_removeFarthestLive(20));
    EXPECT_FALSE(lf_removeFarthestLive(-1.0));
    EXPECT_EQ(live(3)->simState, SimState::removingfromsim);
    EXPECT_FALSE(lf_removeFarthestLive(6));
    EXPECT_EQ(live(2)->simState, SimState::removingfromsim);
    EXPECT_TRUE(lf_removeFarthestLive(6));
    EXPECT_EQ(live(1)->simState, SimState::active);
}

TEST_F(RemovalRulesTest, ALiveAircraftOnAStaticOneWithAnotherCallsignGoes) {
    const port::Stand& stand = addStand("C1", airportLatitude, airportLongitude, 0, 30);
    const StaticAc& parked = addActiveStatic("SAS5", stand);
    const double reach =
        (parked.halfWingspan + gf_makeAcRecord(makeReport(1, "X", 0, 0, 0, 0, 0, 0, 0, true)).halfWingspan) *
        1.1;
    const GeoPoint inside = from(0, reach * 0.9);
    const GeoPoint outside = from(0, reach * 1.1);
    LiveAc& near = addActiveLive(1, "KLM1", inside.latitude, inside.longitude);
    LiveAc& clear = addActiveLive(2, "KLM2", outside.latitude, outside.longitude);
    LiveAc& itself = addActiveLive(3, "SAS5", inside.latitude, inside.longitude);
    EXPECT_TRUE(lf_removeForCollisionWithStatic(near));
    EXPECT_FALSE(lf_removeForCollisionWithStatic(clear));
    EXPECT_FALSE(lf_removeForCollisionWithStatic(itself));
    EXPECT_EQ(near.simState, SimState::removingfromsim);
    EXPECT_EQ(clear.lastStaticCheck.latitude, outside.latitude);
}

TEST_F(RemovalRulesTest, StaticAircraftOfAFlightNowLiveAreRemoved) {
    const port::Stand& a = addStand("C1", airportLatitude, airportLongitude, 0, 30);
    const port::Stand& b = addStand("C2", airportLatitude + 0.001, airportLongitude, 0, 30);
    const port::Stand& c = addStand("C3", airportLatitude + 0.002, airportLongitude, 0, 30);
    addActiveStatic("KLM1", a);
    StaticAc& second = addActiveStatic("KLM9", b);
    second.optionCallsign2 = "KLM2";
    addActiveStatic("KLM3", c);
    addActiveLive(1, "KLM1", airportLatitude + 0.1, airportLongitude, 3000, false, AcPhase::flying);
    addActiveLive(2, "KLM2", airportLatitude + 0.1, airportLongitude, 3000, false, AcPhase::flying);
    lf_checkLiveOnStatic();
    EXPECT_EQ(staticAcList[0].simState, SimState::removingfromsim);
    EXPECT_EQ(staticAcList[1].simState, SimState::removingfromsim);
    EXPECT_EQ(staticAcList[2].simState, SimState::active);
    EXPECT_FALSE(a.occupied);
}

TEST_F(RemovalRulesTest, DuplicatesAreTheSameAirframeFlightOrOnTheGroundThePlaceItStands) {
    const port::Stand& a = addStand("C1", airportLatitude, airportLongitude, 0, 30);
    const port::Stand& b = addStand("C2", airportLatitude + 0.001, airportLongitude, 0, 30);
    const port::Stand& c = addStand("C3", airportLatitude + 0.002, airportLongitude, 0, 30);
    const port::Stand& d = addStand("C4", airportLatitude + 0.003, airportLongitude, 0, 30);
    addActiveStatic("TRA1", a).registration = "PH-XRA";
    addActiveStatic("KLM77", b);
    addActiveStatic("OTHER", c);
    addActiveStatic("FAR", d);
    LiveAc& aircraft = addActiveLive(1, "KLM66", c.latitude, c.longitude);
    aircraft.registration = "PH-XRA";
    aircraft.coupledCallsign = "KLM77";
    lf_removeDuplicates(aircraft, false);
    EXPECT_EQ(staticAcList[0].simState, SimState::removingfromsim);
    EXPECT_EQ(staticAcList[1].simState, SimState::removingfromsim);
    EXPECT_EQ(staticAcList[2].simState, SimState::active);
    lf_removeDuplicates(aircraft, true);
    EXPECT_EQ(staticAcList[2].simState, SimState::removingfromsim);
    EXPECT_EQ(staticAcList[3].simState, SimState::active);
}

TEST_F(RemovalRulesTest, StandAndParkingRemovalsTakeTheRightAircraft) {
    const port::Stand& a = addStand("C1", airportLatitude, airportLongitude, 0, 30);
    const port::Stand& b = addStand("C2", airportLatitude + 0.001, airportLongitude, 0, 30);
    addActiveStatic("SAS5", a);
    for (std::uint32_t id = 1; id <= 3; ++id) {
        LiveAc& parked =
            addActiveLive(id, "KLM" + std::to_string(id), b.latitude, b.longitude, 0, true, AcPhase::parked);
        parked.standNumber = id == 2 ? b.number : 0;
        parked.parkedSinceTick = trafficTick.load() - id * 1000;
    }
    EXPECT_TRUE(lf_removeParkedAtStand(&a));
    EXPECT_EQ(staticAcList[0].simState, SimState::removingfromsim);
    EXPECT_TRUE(lf_removeParkedAtStand(&b));
    EXPECT_EQ(live(2)->simState, SimState::removingfromsim);
    EXPECT_FALSE(lf_removeParkedAtStand(&b));
    EXPECT_FALSE(lf_removeParkedAtStand(nullptr));
    lf_removeExcessLiveParked(1);
    EXPECT_EQ(live(3)->simState, SimState::removingfromsim);
    EXPECT_EQ(live(1)->simState, SimState::active);
}

TEST_F(RemovalRulesTest, RemovingAllStaticAircraftWithdrawsQueuedOnesAndWaitsForSentOnes) {
    const port::Stand& a = addStand("C1", airportLatitude, airportLongitude, 0, 30);
    const port::Stand& b = addStand("C2", airportLatitude + 0.001, airportLongitude, 0, 30);
    const port::Stand& c = addStand("C3", airportLatitude + 0.002, airportLongitude, 0, 30);
    addActiveStatic("SAS5", a);
    echo.answerCreations = false;
    port::parkPositions = {{0, 1, c.number, 0, "KLM", "B738", "KLM80", "", "", true},
                           {0, 1, b.number, 0, "KLM", "B738", "KLM81", "", "", true}};
    tick(2);
    ASSERT_EQ(staticAcList.size(), 3u);
    ASSERT_EQ(echo.creations.size(), 1u);
    lf_removeAllStatic();
    EXPECT_EQ(staticAcList[0].simState, SimState::removingfromsim);
    EXPECT_TRUE(staticAcList[1].removeWhenCreated);
    EXPECT_TRUE(staticAcList[2].removed);
    EXPECT_TRUE(createDequeStatic.empty());
    EXPECT_FALSE(a.occupied || b.occupied || c.occupied);
    tick(100);
    EXPECT_EQ(echo.creations.size(), 1u);
    EXPECT_EQ(staticAcList.size(), 1u);
}

} // namespace
} // namespace kvr::test
