#include "app/combo_fill.h"
#include "app/control_state.h"
#include "app/control_state_internal.h"
#include "app/shell_open.h"
#include "app_fixture.h"
#include "core/shared_state.h"

namespace kvr::test {
namespace {

class ControlState : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(openWindow());
        gf_installAutoRangeHooks({});
    }
    void TearDown() override {
        gf_installAutoRangeHooks({});
        controlsBusy = false;
        MainWindowTest::TearDown();
    }
    static bool enabled(const WindowControl& c) { return IsWindowEnabled(c.windowHandle.load()) != FALSE; }
    static int selection(const WindowControl& c) {
        return static_cast<int>(SendMessageW(c.windowHandle.load(), CB_GETCURSEL, 0, 0));
    }
};

TEST_F(ControlState, BusyDisablesTheParkingControlsAndFreeRestoresTheTimeControlsAsTheyWere) {
    gf_enableControl(nowButton);
    gf_enableControl(reReadButton);
    gf_disableControl(SIM_TIME); // disabled before the calculation: stays disabled after it
    gf_disableControlsWhileBusy();
    EXPECT_TRUE(controlsBusy);
    EXPECT_TRUE(nowButtonAllowed);
    for (WindowControl* c : std::initializer_list<WindowControl*>{
             &parking_percentage, &MAX_FIT_FL, &MAX_PARK_SEL, &MAX_LIVE_SEL, &WEEK, &PARK_SOFT,
             &flushStaticButton, &nowButton, &reReadButton, &SIM_TIME, &KEEP_SIM_TIME_PAR, &TIME_SHIFT_DAYS,
             &TIME_SHIFT_HOURS, &TIME_SHIFT_MINS, &RT_PARKTRAFFIC_ONLY})
        EXPECT_FALSE(enabled(*c)) << c->controlId;

    gf_enableControlsAfterBusy();
    EXPECT_FALSE(controlsBusy);
    EXPECT_EQ(statusDisplay.minutesToStaticUpdate, 19);
    for (WindowControl* c : std::initializer_list<WindowControl*>{
             &MAX_PARK_SEL, &MAX_LIVE_SEL, &KEEP_SIM_TIME_PAR, &TIME_SHIFT_DAYS, &TIME_SHIFT_HOURS,
             &TIME_SHIFT_MINS, &RT_PARKTRAFFIC_ONLY, &nowButton, &flushStaticButton, &reReadButton, &WEEK,
             &PARK_SOFT, &parking_percentage, &MAX_FIT_FL})
        EXPECT_TRUE(enabled(*c)) << c->controlId;
    EXPECT_FALSE(enabled(SIM_TIME));
}

TEST_F(ControlState, WithInitialLoadOnlyTheNowButtonIsLeftAlone) {
    INITIAL_LOAD_ONLY.setValue(true);
    gf_enableControl(nowButton);
    gf_disableControlsWhileBusy();
    EXPECT_TRUE(enabled(nowButton));
    gf_disableControl(nowButton);
    gf_enableControlsAfterBusy();
    EXPECT_FALSE(enabled(nowButton));
}

TEST_F(ControlState, ParkTrafficOnlyDisablesTheLearnedParkingControls) {
    RT_PARKTRAFFIC_ONLY.setValue(true);
    gf_updateParkControls();
    for (WindowControl* c :
         std::initializer_list<WindowControl*>{&PARK_SOFT, &WEEK, &parking_percentage, &MAX_FIT_FL})
        EXPECT_FALSE(enabled(*c));
    EXPECT_TRUE(enabled(MAX_PARK_SEL));
    gf_enableControlsAfterBusy();
    EXPECT_FALSE(enabled(WEEK)) << "freeing the controls keeps the park-traffic rule";
    RT_PARKTRAFFIC_ONLY.setValue(false);
    gf_updateParkControls();
    EXPECT_TRUE(enabled(WEEK));
}

TEST(AutoRangeFigures, GroundHeightsAndDistanceToTheParkAirport) {
    const auto range = [](bool ground, double altitude, std::optional<double> distance) {
        return lf_autoRangeFor(AutoRangeInputs{ground, altitude, distance});
    };
    EXPECT_EQ(range(true, 50000, 300.0), 10) << "on the ground, whatever the altitude";
    EXPECT_EQ(range(false, 48001, 5.0), 100);
    EXPECT_EQ(range(false, 48000, 5.0), 40) << "not above AR_ABOVE_HEIGHT, but above AIRP_HEIGHT";
    EXPECT_EQ(range(false, 18000, 5.0), 10) << "not above AIRP_HEIGHT";
    EXPECT_EQ(range(false, 3000, 7.0), 10);
    EXPECT_EQ(range(false, 3000, 7.4), 8);
    EXPECT_EQ(range(false, 3000, 9.5), 10) << "9.5 rounds to 10";
    EXPECT_EQ(range(false, 3000, 18.9), 20);
    EXPECT_EQ(range(false, 3000, 32.4), 30);
    EXPECT_EQ(range(false, 3000, 36.6), 35) << "n = 37";
    EXPECT_EQ(range(false, 3000, 37.0), 40);
    EXPECT_EQ(range(false, 3000, std::nullopt), 40) << "no park airport";
}

TEST_F(ControlState, SetRangeSelectsTheChoiceAndKeepsTheCopiesInStep) {
    lf_fillNumberCombo(RANGE);
    gf_setRange(25);
    EXPECT_EQ(RANGE.value(), 25);
    EXPECT_EQ(selection(RANGE), 12);
    EXPECT_EQ(rangeNm, 25);
    EXPECT_EQ(rangeMetres, 25 * 1852 + 10000);
    gf_setRange(7); // not a choice: the list keeps its selection
    EXPECT_EQ(RANGE.value(), 7);
    EXPECT_EQ(selection(RANGE), 12);
    gf_setRange(500);
    EXPECT_EQ(RANGE.value(), 100);
    EXPECT_EQ(rangeNm, 100);
    EXPECT_EQ(storedValue("RANGE"), "<no file>") << "gf_setRange saves nothing";
}

TEST_F(ControlState, AutoRangeOffBeforeEverOnRestoresTheDefaultAndOnAgainDecides) {
    lf_fillNumberCombo(RANGE);
    AUTO_RANGE.setValue(false);
    RANGE.setValue(12);
    gf_applyAutoRangeSetting();
    EXPECT_EQ(RANGE.value(), 40);
    EXPECT_TRUE(enabled(RANGE));

    int boxUpdates = 0;
    AutoRangeInputs aircraft{false, 3000, 7.4};
    gf_installAutoRangeHooks({[&] { return std::optional(aircraft); }, [&] { ++boxUpdates; }});
    RANGE.setValue(65);
    AUTO_RANGE.setValue(true);
    gf_applyAutoRangeSetting();
    EXPECT_EQ(RANGE.value(), 8);
    EXPECT_EQ(boxUpdates, 1);
    EXPECT_FALSE(enabled(RANGE));
    lf_applyAutoRange();
    EXPECT_EQ(boxUpdates, 1) << "the traffic box moves only when the range changed";

    AUTO_RANGE.setValue(false);
    gf_applyAutoRangeSetting();
    EXPECT_EQ(RANGE.value(), 65) << "the manual range remembered when the automatic range was switched on";
}

TEST_F(ControlState, WithoutTheUserAircraftTheAutomaticRangeDecidesNothing) {
    RANGE.setValue(65);
    AUTO_RANGE.setValue(true);
    gf_applyAutoRangeSetting();
    EXPECT_EQ(RANGE.value(), 65);
}

TEST(MaxFit, HoursOfEveryBandAndBack) {
    const std::pair<int, float> table[] = {
        {47, 24}, {44, 24}, {43, 21}, {38, 21}, {37, 18}, {32, 18},  {31, 15}, {26, 15},  {25, 12},
        {22, 12}, {21, 11}, {20, 11}, {19, 10}, {18, 10}, {17, 9},   {16, 9},  {15, 8},   {14, 8},
        {13, 7},  {12, 7},  {11, 6},  {10, 6},  {9, 5},   {2, 1.5f}, {1, 1},   {0, 0.5f}, {-3, 0.5f}};
    for (const auto& [maxFit, hours] : table)
        EXPECT_FLOAT_EQ(gf_maxFitToFloat(maxFit), hours) << maxFit;
    EXPECT_EQ(gf_hoursToMaxFit(6), 11);
    EXPECT_EQ(gf_hoursToMaxFit(10), 19);
    EXPECT_EQ(gf_hoursToMaxFit(12), 23);
    EXPECT_EQ(gf_hoursToMaxFit(0.5f), 0);
    EXPECT_EQ(gf_hoursToMaxFit(24), 47);
    EXPECT_EQ(gf_hoursToMaxFit(1.5f), 2);
}

TEST_F(ControlState, MaxFitListSelectsItsHoursOrKeepsTheSelectionFor11) {
    lf_fillNumberCombo(MAX_FIT_FL);
    EXPECT_EQ(standin::comboItems(MAX_FIT_FL.windowHandle).front(), "0.5");
    EXPECT_EQ(standin::comboItems(MAX_FIT_FL.windowHandle).back(), "24.0");
    MAX_FIT.setValue(47);
    gf_syncMaxFitCombo();
    EXPECT_FLOAT_EQ(MAX_FIT_FL.value(), 24);
    EXPECT_EQ(selection(MAX_FIT_FL), 19);
    MAX_FIT.setValue(20);
    gf_syncMaxFitCombo();
    EXPECT_FLOAT_EQ(MAX_FIT_FL.value(), 11);
    EXPECT_EQ(selection(MAX_FIT_FL), 19) << "11 hours is no choice";
    MAX_FIT.setValue(3);
    gf_syncMaxFitCombo();
    EXPECT_EQ(selection(MAX_FIT_FL), 3);
}

TEST_F(ControlState, ListsAreRefilledWithTheirChoicesAndTheCurrentValueSelected) {
    AIRP_HEIGHT.setValue(36000);
    lf_fillNumberCombo(AIRP_HEIGHT);
    lf_fillNumberCombo(AIRP_HEIGHT); // refilling never doubles the entries
    const auto heights = standin::comboItems(AIRP_HEIGHT.windowHandle);
    ASSERT_EQ(heights.size(), 11u);
    EXPECT_EQ(heights[9], "36000");
    EXPECT_EQ(selection(AIRP_HEIGHT), 9);

    SIM_CHOICE.setValue("MSFS 2024");
    lf_fillStringCombo(SIM_CHOICE);
    EXPECT_EQ(standin::comboItems(SIM_CHOICE.windowHandle),
              (std::vector<std::string>{"MSFS 2020", "MSFS 2024"}));
    EXPECT_EQ(findComboIndex(SIM_CHOICE), 1);
    EXPECT_EQ(selection(SIM_CHOICE), 1);

    CALLSIGN_2_OBJECTID.setChoices({"KLM1", "DLH2"});
    CALLSIGN_2_OBJECTID.setValue("none of them");
    lf_fillGlobalCombo();
    EXPECT_EQ(standin::comboItems(CALLSIGN_2_OBJECTID.windowHandle).size(), 2u);
    EXPECT_EQ(selection(CALLSIGN_2_OBJECTID), CB_ERR);
    CALLSIGN_2_OBJECTID.setChoices({});
}

TEST_F(ControlState, ShellOpensExistingPathsOnlyAndLogsWhatItCannotOpen) {
    standin::clearRecordedCalls();
    writeFileText(folder / "tblo.zip", "zip");
    EXPECT_TRUE(gf_openWithShell(folder / "tblo.zip"));
    EXPECT_FALSE(gf_openWithShell(folder / "missing.zip"));
    const auto calls = standin::shellExecuteCalls();
    ASSERT_EQ(calls.size(), 1u) << "a missing path never reaches the shell";
    EXPECT_EQ(calls[0].operation, "open");
    EXPECT_EQ(calls[0].file, (folder / "tblo.zip").string());
    gf_openManual();
    EXPECT_NE(logText().find("Could not open local folder with Manual\n"), std::string::npos);
    gf_openParametersFolder();
    EXPECT_EQ(standin::shellExecuteCalls().back().file, appDataFolder.string());
}

} // namespace
} // namespace kvr::test
