#include "app/commands_internal.h"
#include "commands_fixture.h"
#include "liveries/livery_paths.h"
#include "simlink/sim_link_state.h"

#include <cmath>

namespace kvr::test {
namespace {

using Lists = CommandsTest;

TEST_F(Lists, ChoosingTheSelectedTextDoesNothingWhileANumberIsSavedAgain) {
    std::filesystem::remove(parametersFilePath);
    choose(SIM_CHOICE, 0);
    choose(AI_PACKAGE_SELECTOR, *findComboIndex(AI_PACKAGE_SELECTOR));
    CALLSIGN_2_OBJECTID.setChoices({"DLH4", "KLM1"});
    CALLSIGN_2_OBJECTID.setValue("KLM1");
    lf_fillGlobalCombo();
    choose(CALLSIGN_2_OBJECTID, 1);
    EXPECT_FALSE(std::filesystem::exists(parametersFilePath));
    EXPECT_FALSE(stopRequested);
    EXPECT_FALSE(callsignSelectionChanged);
    EXPECT_EQ(message(), "");

    chooseValue(RANGE, 40);
    EXPECT_EQ(storedValue("RANGE"), "40");
}

TEST_F(Lists, NumbersAreStoredSavedAndActedOn) {
    chooseValue(MATCHING_DEPTH, 2);
    EXPECT_EQ(storedValue("MATCHING_DEPTH"), "2");
    EXPECT_FALSE(matchingDepthRaised) << "lowering";
    chooseValue(MATCHING_DEPTH, 2);
    EXPECT_FALSE(matchingDepthRaised) << "the same depth";
    chooseValue(MATCHING_DEPTH, 3);
    EXPECT_TRUE(matchingDepthRaised);

    chooseValue(RANGE, 65);
    EXPECT_EQ(RANGE.value(), 65);
    EXPECT_EQ(storedValue("RANGE"), "65");
    EXPECT_EQ(rangeNm, 65);
    EXPECT_EQ(rangeMetres, 65 * 1852 + 10000);

    chooseValue(parking_percentage, 55);
    EXPECT_EQ(parking_percentage.value(), 55);
    EXPECT_EQ(storedValue("parking_percentage"), "<absent>") << "kept for this run only";
}

TEST_F(Lists, MaxFitHoursBecomeHalfHourSlots) {
    for (auto [hours, slots] : {std::pair{6.0f, 11}, std::pair{10.0f, 19}, std::pair{12.0f, 23},
                                std::pair{0.5f, 0}, std::pair{24.0f, 47}}) {
        choose(MAX_FIT_FL, *MAX_FIT_FL.choiceIndexOf(hours));
        EXPECT_FLOAT_EQ(MAX_FIT_FL.value(), hours);
        EXPECT_EQ(MAX_FIT.value(), slots) << hours;
        EXPECT_EQ(storedValue("MAX_FIT"), std::to_string(slots));
    }
    EXPECT_EQ(storedValue("MAX_FIT_FL"), "<absent>");
}

TEST_F(Lists, TimeShiftListsApplyAndSaveTheWholeShiftAtOnce) {
    chooseValue(TIME_SHIFT_DAYS, 1);
    chooseValue(TIME_SHIFT_HOURS, 2);
    chooseValue(TIME_SHIFT_MINS, 30);
    EXPECT_EQ(message(), "Time shifted 1590 minutes");
    EXPECT_EQ(storedValue("TIME_SHIFT_DAYS"), "1");
    EXPECT_EQ(storedValue("TIME_SHIFT_HOURS"), "2");
    EXPECT_EQ(storedValue("TIME_SHIFT_MINS"), "30");
    EXPECT_FALSE(timeShiftRequested) << "no simulator, no traffic of the old time";

    waitingForSim = false;
    chooseValue(TIME_SHIFT_MINS, 0);
    EXPECT_EQ(storedValue("TIME_SHIFT_MINS"), "0");
    EXPECT_TRUE(timeShiftRequested) << "the run thread removes the traffic of the old time";
}

TEST_F(Lists, ChoosingACallsignAsksForItsObjectId) {
    CALLSIGN_2_OBJECTID.setChoices({"DLH4", "KLM1"});
    lf_fillGlobalCombo();
    statusDisplay.changeTexts([](StatusTexts& t) { t.objectIdText = "= 42"; });
    gf_disableControl(unblockButton);
    choose(CALLSIGN_2_OBJECTID, 1);
    EXPECT_EQ(CALLSIGN_2_OBJECTID.value(), "KLM1");
    EXPECT_TRUE(callsignSelectionChanged);
    EXPECT_EQ(statusDisplay.texts().objectIdText, "");
    EXPECT_TRUE(enabled(blockButton));
    gf_enableControl(unblockButton);
    choose(CALLSIGN_2_OBJECTID, 0);
    EXPECT_FALSE(enabled(blockButton)) << "Block only while nothing is blocked";
}

TEST_F(Lists, SwitchingTheSimulatorForgetsTheOldOneAndRestarts) {
    gf_setLiveryWorkingFolder(folder.path());
    std::filesystem::create_directories(folder / "output");
    writeFileText(folder / "output" / "LiveriesScanned.xml", "<root/>");
    SCAN_AIRPORTS.setValue(false);
    SCAN_LIVERIES.setValue(false);
    gf_showCheckMark(SCAN_AIRPORTS);
    ALL_INSTALL_PATH.setValue("/sim/2020");
    gf_showControlText(ALL_INSTALL_PATH);
    MYSIMADDON24_VERSION.setValue("1.2.3");

    choose(SIM_CHOICE, 1);
    EXPECT_EQ(SIM_CHOICE.value(), "MSFS 2024");
    EXPECT_EQ(storedValue("SIM_CHOICE"), "MSFS 2024");
    EXPECT_FALSE(msfs2020Selected);
    EXPECT_FALSE(std::filesystem::exists(folder / "output" / "LiveriesScanned.xml"));
    EXPECT_FALSE(liveriesProcessed);
    EXPECT_EQ(hooksSeen.airportScanCleared, 1);
    EXPECT_TRUE(SCAN_AIRPORTS.value() && SCAN_LIVERIES.value());
    EXPECT_EQ(storedValue("SCAN_AIRPORTS"), "true");
    EXPECT_EQ(storedValue("SCAN_LIVERIES"), "true");
    EXPECT_TRUE(checked(SCAN_AIRPORTS));
    EXPECT_TRUE(logged("Switching Simulator to MSFS 2024"));
    EXPECT_EQ(ALL_INSTALL_PATH.value(), "");
    EXPECT_EQ(boxText(ALL_INSTALL_PATH), "");
    EXPECT_EQ(storedValue("MYSIMADDON24_VERSION"), "");
    EXPECT_EQ(exitReason, ExitReason::newSettings);
    EXPECT_EQ(restartDelaySeconds, 3);
    gf_setLiveryWorkingFolder({});
}

TEST_F(Lists, ACatalogueThatCannotBeRemovedIsLoggedAndTheSwitchStops) {
    gf_setLiveryWorkingFolder(folder.path());
    std::filesystem::create_directories(folder / "output" / "LiveriesScanned.xml" / "inside");
    choose(SIM_CHOICE, 1);
    const std::string log = logText();
    const auto line = log.find("==> lf_HandleWMCOMMAND exception ");
    ASSERT_NE(line, std::string::npos);
    EXPECT_NE(log.find("LiveriesScanned.xml", line), std::string::npos);
    EXPECT_EQ(storedValue("SIM_CHOICE"), "MSFS 2024") << "already saved when the switch failed";
    EXPECT_FALSE(stopRequested);
    gf_setLiveryWorkingFolder({});
}

TEST_F(Lists, OnlyASelectionChangeWithASelectionIsTaken) {
    const WPARAM dropDown = MAKEWPARAM(RANGE.controlId, 7); // CBN_DROPDOWN
    EXPECT_FALSE(lf_HandleWMCOMMAND(window(), dropDown));
    SendMessageW(RANGE.windowHandle.load(), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_FALSE(lf_getComboSelection(window(), RANGE.controlId, MAKEWPARAM(RANGE.controlId, CBN_SELCHANGE)));
    EXPECT_FALSE(lf_HandleWMCOMMAND(window(), MAKEWPARAM(RANGE.controlId, CBN_SELCHANGE)));
    EXPECT_FALSE(lf_HandleWMCOMMAND(window(), MAKEWPARAM(40000, BN_CLICKED)));
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(window(), &update, FALSE));
    EXPECT_EQ(update.top, 112);
    EXPECT_EQ(RANGE.value(), 40);
    const auto selection =
        lf_getComboSelection(window(), AIRP_RANGE.controlId, MAKEWPARAM(AIRP_RANGE.controlId, CBN_SELCHANGE));
    ASSERT_TRUE(selection);
    EXPECT_EQ(*selection, (std::pair<int, std::string>{3, "20"}));
}

class LiveLimit : public CommandsTest {
protected:
    static LiveAc liveAt(std::uint32_t id, double northNm) {
        LiveAc aircraft;
        aircraft.id = id;
        aircraft.objectId = id;
        aircraft.simState = SimState::active;
        aircraft.current.latitude = 52.0 + northNm / 60.0;
        aircraft.current.longitude = 4.0;
        return aircraft;
    }
};

TEST_F(LiveLimit, LoweringTheLimitRemovesTheFarthestLiveAircraftOnePerExcess) {
    port::setUserAircraft(UserAcData{52.0, 4.0, 0, 0, 0}, true, 0.01);
    for (std::uint32_t i = 1; i <= 12; ++i)
        liveAcList.push_back(liveAt(i, static_cast<double>((i * 7) % 13)));
    chooseValue(MAX_LIVE_SEL, 10);
    EXPECT_EQ(storedValue("MAX_LIVE_SEL"), "10");
    EXPECT_TRUE(liveLimitRequested);
    gf_serveEngineRequests();
    std::vector<std::uint32_t> removed;
    for (const LiveAc& a : liveAcList)
        if (a.simState == SimState::removingfromsim)
            removed.push_back(a.id);
    // Distances 7i mod 13: the two largest are 12 (i = 11) and 11 (i = 9).
    EXPECT_EQ(removed, (std::vector<std::uint32_t>{9, 11}));

    chooseValue(MAX_LIVE_SEL, 25);
    gf_serveEngineRequests();
    EXPECT_EQ(std::count_if(liveAcList.begin(), liveAcList.end(),
                            [](const LiveAc& a) { return a.simState == SimState::removingfromsim; }),
              2);
}

} // namespace
} // namespace kvr::test
