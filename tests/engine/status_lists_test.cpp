// Counts and lists the window and static parking read.
#include "engine_fixture.h"

#include "core/status_display.h"
#include "settings/parameter_table.h"

namespace kvr::test {
namespace {

using StatusListsTest = EngineTest;

TEST_F(StatusListsTest, ParkedCountsListAndCallsignChoices) {
    const port::Stand& stand = addStand("C1", airportLatitude, airportLongitude, 0, 30);
    LiveAc& parked = addActiveLive(1, "KLM1", airportLatitude, airportLongitude, 0, true, AcPhase::parked);
    parked.standNumber = stand.number;
    parked.parkedSinceTick = trafficTick.load() - 125 * 60 * 100;
    addActiveLive(2, "KLM2", airportLatitude, airportLongitude, 0, true, AcPhase::parked).simState =
        SimState::adding2sim;
    addActiveLive(3, "DLH3", airportLatitude, airportLongitude, 0, true, AcPhase::taxi);
    addActiveLive(4, "AFR4", airportLatitude, airportLongitude, 3000, false, AcPhase::flying);
    addActiveStatic("SAS5", stand);
    addActiveStatic("SAS6", stand).simState = SimState::adding2sim;

    EXPECT_EQ(lf_countParkedLive(true), 1u);
    EXPECT_EQ(lf_countParkedLive(false), 2u);
    EXPECT_EQ(lf_countStaticInSim(true), 1u);
    EXPECT_EQ(lf_countStaticInSim(false), 2u);

    lf_listLiveParked();
    ASSERT_EQ(liveParkedList.size(), 1u);
    EXPECT_EQ(liveParkedList[0].callsign, "KLM1");
    EXPECT_EQ(liveParkedList[0].standNumber, stand.number);
    EXPECT_EQ(liveParkedList[0].minutesParked, 125);

    followedObject = 1003;
    statusDisplay.changeTexts([](StatusTexts& texts) { texts.objectIdText = "= 1003"; });
    lf_resetCallsignSelection();
    EXPECT_EQ(CALLSIGN_2_OBJECTID.choices(), (std::vector<std::string>{"AFR4", "DLH3"}));
    EXPECT_EQ(followedObject, 0u);
    EXPECT_TRUE(statusDisplay.texts().objectIdText.empty());
}

} // namespace
} // namespace kvr::test
