#include "app/control_state.h"
#include "commands_fixture.h"

namespace kvr::test {
namespace {

using CheckBoxes = CommandsTest;

std::vector<CheckBoxParameter*> allBoxes() {
    std::vector<CheckBoxParameter*> boxes;
    for (WindowControl* control : gf_allControls())
        if (auto* box = dynamic_cast<CheckBoxParameter*>(control))
            boxes.push_back(box);
    return boxes;
}

TEST_F(CheckBoxes, EveryBoxTogglesItsSettingItsMarkAndParametersXml) {
    waitingForSim = false; // the scan boxes would otherwise end the session
    const auto boxes = allBoxes();
    ASSERT_EQ(boxes.size(), 22u);
    for (CheckBoxParameter* box : boxes) {
        const bool before = box->value();
        ASSERT_EQ(checked(*box), before) << box->name();
        ASSERT_TRUE(clickOn(*box)) << box->name();
        EXPECT_EQ(box->value(), !before) << box->name();
        EXPECT_EQ(checked(*box), !before) << box->name();
        EXPECT_EQ(storedValue(box->name()), before ? "false" : "true") << box->name();
        clickOn(*box);
        EXPECT_EQ(box->value(), before) << box->name();
        EXPECT_EQ(storedValue(box->name()), before ? "true" : "false") << box->name();
    }
    EXPECT_FALSE(stopRequested);
}

TEST_F(CheckBoxes, ScansRestartAtOnceOnlyWhileTheSimulatorIsAwaited) {
    SCAN_LIVERIES.setValue(false);
    gf_showCheckMark(SCAN_LIVERIES);
    waitingForSim = false;
    clickOn(SCAN_LIVERIES);
    EXPECT_EQ(message(), "Your liveries will be scanned at the next start of Vantrel");
    EXPECT_FALSE(enabled(AI_PACKAGE_SELECTOR));
    EXPECT_FALSE(stopRequested);
    EXPECT_TRUE(liveriesProcessed) << "a connected session keeps its livery data base";
    clickOn(SCAN_LIVERIES);
    EXPECT_TRUE(enabled(AI_PACKAGE_SELECTOR));
    EXPECT_EQ(message(), "");

    waitingForSim = true;
    clickOn(SCAN_LIVERIES);
    EXPECT_EQ(message(), "Your liveries will be scanned");
    EXPECT_TRUE(logged("Your liveries will be scanned"));
    EXPECT_FALSE(liveriesProcessed);
    EXPECT_EQ(exitReason, ExitReason::newSettings);
    EXPECT_EQ(restartDelaySeconds, 2);

    // The first request wins.
    resetWorld();
    gf_requestExit(ExitReason::readerError, 15);
    SCAN_AIRPORTS.setValue(false);
    gf_showCheckMark(SCAN_AIRPORTS);
    clickOn(SCAN_AIRPORTS);
    EXPECT_EQ(message(), "Your airports will be scanned");
    EXPECT_EQ(exitReason, ExitReason::readerError);
    EXPECT_EQ(restartDelaySeconds, 15);
}

TEST_F(CheckBoxes, WindowRangeAndParkingBoxesActOnTheirControls) {
    clickOn(ALWAYS_ON_TOP);
    EXPECT_TRUE(GetWindowLongPtrW(window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    clickOn(ALWAYS_ON_TOP);
    EXPECT_FALSE(GetWindowLongPtrW(window(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    // Switched off before it was ever on: the range comes back to its default.
    gf_setRange(80);
    clickOn(AUTO_RANGE);
    EXPECT_FALSE(enabled(AR_ABOVE_HEIGHT));
    EXPECT_TRUE(enabled(RANGE));
    EXPECT_EQ(RANGE.value(), 40);
    EXPECT_EQ(rangeNm, 40);
    clickOn(AUTO_RANGE);
    EXPECT_TRUE(enabled(AR_ABOVE_HEIGHT));
    EXPECT_FALSE(enabled(RANGE));

    clickOn(RT_PARKTRAFFIC_ONLY);
    EXPECT_TRUE(parkTrafficOnlyChanged);
    EXPECT_FALSE(enabled(WEEK));
    EXPECT_FALSE(enabled(MAX_FIT_FL));
    clickOn(RT_PARKTRAFFIC_ONLY);
    EXPECT_FALSE(parkTrafficOnlyChanged) << "the flag holds the new value";
    EXPECT_TRUE(enabled(WEEK));

    nowButtonAllowed = true;
    clickOn(INITIAL_LOAD_ONLY);
    EXPECT_EQ(message(),
              "Initial Load Only: static parked aircraft are generated once, no renewal every 20 minutes");
    EXPECT_FALSE(enabled(nowButton));
    clickOn(INITIAL_LOAD_ONLY);
    EXPECT_TRUE(enabled(nowButton));

    clickOn(SIM_TIME);
    EXPECT_TRUE(simTimeSwitched);
}

TEST_F(CheckBoxes, NavLightsReachTheActiveParkedAircraftInTheRunThreadsRound) {
    StaticAc parkedStatic;
    parkedStatic.simState = SimState::active;
    parkedStatic.objectId = 11;
    StaticAc waitingStatic;
    waitingStatic.simState = SimState::adding2sim;
    waitingStatic.objectId = 12;
    StaticAc fsltlStatic = parkedStatic;
    fsltlStatic.objectId = 13;
    fsltlStatic.fsltl = true;
    staticAcList = {parkedStatic, waitingStatic, fsltlStatic};
    LiveAc parkedLive;
    parkedLive.simState = SimState::active;
    parkedLive.phase = AcPhase::parked;
    parkedLive.objectId = 21;
    LiveAc taxiingLive = parkedLive;
    taxiingLive.phase = AcPhase::taxi;
    taxiingLive.objectId = 22;
    liveAcList = {parkedLive, taxiingLive};

    clickOn(NAV_LIGHTS_WHILE_PARKED); // default on: now off
    {
        std::lock_guard lock(simQueueMutex);
        EXPECT_TRUE(simQueues.lights.empty()) << "the GUI thread leaves the traffic tables alone";
    }
    EXPECT_TRUE(navLightsRequested);
    gf_serveEngineRequests();
    EXPECT_FALSE(navLightsRequested);
    std::lock_guard lock(simQueueMutex);
    ASSERT_EQ(simQueues.lights.size(), 3u) << "FSLTL liveries take the lights like any other";
    EXPECT_EQ(simQueues.lights[0].objectId, 11u);
    EXPECT_EQ(simQueues.lights[1].objectId, 13u);
    EXPECT_EQ(simQueues.lights[2].objectId, 21u);
    for (const NavLightsEvent& lights : simQueues.lights)
        EXPECT_EQ(lights.value, 0u);
}

} // namespace
} // namespace kvr::test
