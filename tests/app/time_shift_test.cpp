// Time shift: the two-week limit, the three settings, the messages and the rebuild of the traffic.
#include "app/combo_fill.h"
#include "app/time_shift.h"
#include "session_fixture.h"

namespace kvr::test {
namespace {

class TimeShift : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        ASSERT_TRUE(openWindow());
        for (NumComboParameter* combo : {&TIME_SHIFT_DAYS, &TIME_SHIFT_HOURS, &TIME_SHIFT_MINS})
            lf_fillNumberCombo(*combo);
    }
    static int selection(const WindowControl& c) {
        return static_cast<int>(SendMessageW(c.windowHandle.load(), CB_GETCURSEL, 0, 0));
    }
    static std::string shown() { return gf_messageLineSnapshot().messageText; }
};

TEST_F(TimeShift, TwoWeeksFillTheSettingsToTheirLimitsAndMoreIsCut) {
    lf_applyTimeShift(maxTimeShiftMinutes, true);
    EXPECT_EQ(TIME_SHIFT_DAYS.value(), 13) << "14 clamped";
    EXPECT_EQ(TIME_SHIFT_HOURS.value(), 23) << "24 clamped";
    EXPECT_EQ(TIME_SHIFT_MINS.value(), 0);
    EXPECT_EQ(storedValue("TIME_SHIFT_DAYS"), "13");
    EXPECT_EQ(logText().find("Time shifting is limited to 2 weeks"), std::string::npos);

    lf_applyTimeShift(maxTimeShiftMinutes + 1, true);
    EXPECT_NE(logText().find("Time shifting is limited to 2 weeks\n"), std::string::npos);
    EXPECT_TRUE(timeShiftActive);
}

TEST_F(TimeShift, DaysHoursMinutesAndTheMessageOfAShift) {
    lf_applyTimeShift(1500, false);
    EXPECT_EQ(TIME_SHIFT_DAYS.value(), 1);
    EXPECT_EQ(TIME_SHIFT_HOURS.value(), 1);
    EXPECT_EQ(TIME_SHIFT_MINS.value(), 0);
    EXPECT_EQ(selection(TIME_SHIFT_HOURS), 1);
    EXPECT_NE(logText().find("Time shifted 1500 minutes\n"), std::string::npos);
    EXPECT_TRUE(staticParkingNowRequested) << "the static aircraft are placed again for the new time";
    EXPECT_EQ(shown(), "Vantrel will update static parking in 15 seconds ...");

    lf_applyTimeShift(1, false);
    EXPECT_NE(logText().find("Time shifted 1 minute\n"), std::string::npos);
    EXPECT_EQ(TIME_SHIFT_MINS.value(), 1);
}

TEST_F(TimeShift, QuietShiftsShowNothingButZeroAndLeaveTheTrafficAlone) {
    lf_applyTimeShift(90, true);
    EXPECT_EQ(shown(), "");
    EXPECT_FALSE(staticParkingNowRequested);
    EXPECT_TRUE(timeShiftActive);

    lf_applyTimeShift(0, true);
    EXPECT_EQ(shown(), "Time shift = 0");
    EXPECT_FALSE(staticParkingNowRequested);
    EXPECT_FALSE(timeShiftActive);
}

TEST_F(TimeShift, SimulatorTimeOnWaitsForTheNextRoundOffGoesBackToZero) {
    TIME_SHIFT_HOURS.setValue(3);
    SIM_TIME.setValue(true);
    lastSimUtcSeconds = 12345;
    lf_applySimTimeSetting();
    EXPECT_EQ(lastSimUtcSeconds, 0) << "the next round applies the simulator's clock at once";
    EXPECT_FALSE(IsWindowEnabled(TIME_SHIFT_HOURS.windowHandle.load()));
    EXPECT_EQ(TIME_SHIFT_HOURS.value(), 3);

    SIM_TIME.setValue(false);
    simUtcTime = 1'750'000'000;
    lf_applySimTimeSetting();
    EXPECT_EQ(TIME_SHIFT_HOURS.value(), 0);
    EXPECT_EQ(lastSimUtcSeconds, 1'750'000'000);
    EXPECT_NE(logText().find("Time shift = 0\n"), std::string::npos);
    EXPECT_TRUE(controlsBusy) << "the static parking is placed again";
    EXPECT_FALSE(IsWindowEnabled(TIME_SHIFT_HOURS.windowHandle.load())) << "not while busy";
    gf_enableControlsAfterBusy();
    EXPECT_TRUE(IsWindowEnabled(TIME_SHIFT_HOURS.windowHandle.load()));
}

} // namespace
} // namespace kvr::test
