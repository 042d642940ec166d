// Static aircraft from the chosen parking positions.
#include "engine_fixture.h"

namespace kvr::test {
namespace {

using StaticParkingTest = EngineTest;

TEST_F(StaticParkingTest, EachTickTakesTheLastPositionAndPutsItsAircraftOnTheStand) {
    const port::Stand& a = addStand("C1", airportLatitude, airportLongitude, 90, 30);
    const port::Stand& b = addStand("C2", airportLatitude + 0.001, airportLongitude, 180, 30);
    gf_setGroundReferenceAltitude(-11.0);
    port::parkPositions = {{0x484C01, 0, a.number, 3, "KLM", "B738", "KLM1", "", "PH-BXA", true},
                           {0, 1, b.number, 1, "TRA", "B737", "TRA2", "TRA3", "PH-XRA", true}};
    lf_createStaticParking();
    ASSERT_EQ(port::parkPositions.size(), 1u);
    ASSERT_EQ(staticAcList.size(), 1u);
    const StaticAc& learned = staticAcList[0];
    EXPECT_EQ(learned.callsign, "TRA2*");
    EXPECT_EQ(learned.optionCallsign, "TRA2");
    EXPECT_EQ(learned.optionCallsign2, "TRA3");
    EXPECT_EQ(learned.kind, 1u);
    EXPECT_EQ(learned.standNumber, b.number);
    EXPECT_EQ(learned.simState, SimState::adding2sim);
    EXPECT_TRUE(b.occupied);
    ASSERT_EQ(createDequeStatic.size(), 1u);
    EXPECT_EQ(createDequeStatic[0].tailNumber, "TRA2*");
    EXPECT_DOUBLE_EQ(createDequeStatic[0].latitude, b.latitude);
    EXPECT_NEAR(createDequeStatic[0].headingDeg, 180, 1e-9);
    EXPECT_EQ(createDequeStatic[0].altitudeFt, -11.0);
    EXPECT_TRUE(createDequeStatic[0].onGround);

    tick(60);
    EXPECT_TRUE(port::parkPositions.empty());
    ASSERT_EQ(staticAcList.size(), 2u);
    EXPECT_EQ(staticAcList[1].id, 0x484C01u);
    EXPECT_EQ(staticAcList[1].kind, 0u);
    EXPECT_EQ(staticAcList[0].simState, SimState::active);
    EXPECT_EQ(echo.byTail("TRA2*")->created.title, matchedTitles[1]);
}

TEST_F(StaticParkingTest, APositionWithoutLiveryOrStandIsDropped) {
    const port::Stand& a = addStand("C1", airportLatitude, airportLongitude, 90, 30);
    staticMatcherFinds = false;
    port::parkPositions = {{0, 1, 7, 0, "KLM", "B738", "KLM1", "", "", true},
                           {0, 1, a.number, 0, "KLM", "B738", "KLM2", "", "", true}};
    tick(3);
    EXPECT_TRUE(port::parkPositions.empty());
    EXPECT_TRUE(staticAcList.empty());
    EXPECT_FALSE(a.occupied);
    EXPECT_TRUE(echo.creations.empty());
}

} // namespace
} // namespace kvr::test
