// Rounds: the schedule of the session loop, the message expiry, the simulator clock, the window's requests
// and the two-phase static-parking update.
#include "app/rounds.h"
#include "app/session_internal.h"
#include "app/time_shift.h"
#include "parking/park_stands.h"
#include "session_fixture.h"

#include <ctime>

namespace kvr::test {
namespace {

TEST(RoundSchedule, FiveFifteenSixteenAndSixtyOne) {
    auto steps = [](int round, bool halfDone = false) {
        const RoundSteps s = lf_roundSteps(round, halfDone);
        return std::string(s.fiveRound ? "5" : "") + (s.periodic ? "P" : "") +
               (s.parkAirportTick ? "T" : "") + (s.liveOnStatic ? "L" : "");
    };
    EXPECT_EQ(steps(1), "");
    EXPECT_EQ(steps(5), "5");
    EXPECT_EQ(steps(15), "5P");
    EXPECT_EQ(steps(16), "T");
    EXPECT_EQ(steps(16, true), "") << "no park-airport tick while a static update is half done";
    EXPECT_EQ(steps(30), "5P");
    EXPECT_EQ(steps(60), "5P");
    EXPECT_EQ(steps(61), "L");
    EXPECT_EQ(steps(80), "5") << "a multiple of 5 and of 16 runs the 5-round steps only";
    EXPECT_EQ(steps(976), "TL") << "16 x 61";
    EXPECT_EQ(steps(1220), "5") << "20 x 61: the 61-round check is skipped in a 5-round";
}

class Rounds : public SessionTest {
protected:
    static std::string shown() { return gf_messageLineSnapshot().messageText; }
    // Runs rounds until roundCounter reaches the number, with the periodic tasks where the loop runs them.
    static void runRoundsTo(int round) {
        while (roundCounter.load() < round) {
            lf_processRound();
            if (lf_roundSteps(roundCounter.load(), staticUpdatePhase.load()).periodic)
                lf_periodicTasks();
        }
    }
};

TEST_F(Rounds, AMessageStaysTwentyFiveRounds) {
    gf_setMessageRoundCounter(9);
    lf_processRound(); // round 10 of the message line
    gf_showMessage("ten");
    for (int round = 11; round <= 34; ++round)
        lf_processRound();
    EXPECT_EQ(shown(), "ten") << "still there in round 34";
    lf_processRound();
    EXPECT_EQ(shown(), "") << "cleared in round 35";
}

TEST_F(Rounds, ABlankMessageRoundNeverClears) {
    gf_showMessage("kept");
    {
        std::lock_guard lock(messageMutex);
        messageLine.messageRound = 0;
    }
    for (int i = 0; i < 40; ++i)
        lf_processRound();
    EXPECT_EQ(shown(), "kept");
}

TEST_F(Rounds, TheSimulatorClockIsFollowedOnceAndOnlyForRealSteps) {
    SIM_TIME.setValue(true);
    const auto now = static_cast<std::uint64_t>(std::time(nullptr));
    simUtcTime = now - 90 * 60;
    lf_processRound();
    EXPECT_EQ(TIME_SHIFT_HOURS.value() * 60 + TIME_SHIFT_MINS.value(), 90);
    EXPECT_TRUE(timeShiftActive);
    EXPECT_NE(logText().find("Time shifted 90 minutes\n"), std::string::npos);

    TIME_SHIFT_HOURS.setValue(0);
    simUtcTime = now - 90 * 60 + 20; // a drift below 30 s
    lf_processRound();
    EXPECT_EQ(TIME_SHIFT_HOURS.value(), 0) << "nothing applied";

    simUtcTime = now + 3600; // the simulator ahead of the real clock
    lf_processRound();
    EXPECT_FALSE(timeShiftActive);
    EXPECT_EQ(TIME_SHIFT_MINS.value(), 0);
}

TEST_F(Rounds, FlushStaticSwitchesInitialLoadOnlyOnForThisRunOnly) {
    lf_loadParameters();
    flushStaticRequested = true;
    lf_processRound();
    EXPECT_TRUE(INITIAL_LOAD_ONLY.value());
    EXPECT_EQ(storedValue("INITIAL_LOAD_ONLY"), "false");
    EXPECT_FALSE(flushStaticRequested);
}

TEST_F(Rounds, CsToOidEmptiesTheTextAndTheNextRoundLooksTheSelectionUp) {
    statusDisplay.changeTexts([](StatusTexts& t) { t.objectIdText = "= 42"; });
    csToOidRequested = true;
    lf_processRound();
    EXPECT_EQ(statusDisplay.texts().objectIdText, "");
    EXPECT_TRUE(callsignSelectionChanged);
    lf_processRound();
    EXPECT_EQ(statusDisplay.texts().objectIdText, "has left") << "no such aircraft in the simulator";
    EXPECT_FALSE(callsignSelectionChanged);
}

TEST_F(Rounds, ABlockRequestWithoutACallsignOnlyClearsTheFlag) {
    blockedCallsignChanged = true;
    lf_processRound();
    EXPECT_FALSE(blockedCallsignChanged);
}

TEST_F(Rounds, AStaticUpdateRequestedInRoundSevenRunsItsPhasesInRoundsFifteenAndThirty) {
    runRoundsTo(7);
    lf_showStaticParkingCountdown();
    EXPECT_EQ(shown(), "Vantrel will update static parking in 8 seconds ...");
    EXPECT_TRUE(controlsBusy);
    runRoundsTo(14);
    EXPECT_FALSE(staticUpdatePhase);
    runRoundsTo(15);
    EXPECT_TRUE(staticUpdatePhase) << "first phase";
    EXPECT_TRUE(staticParkingNowRequested);
    runRoundsTo(29);
    EXPECT_TRUE(staticUpdatePhase);
    runRoundsTo(30);
    EXPECT_FALSE(staticUpdatePhase) << "second phase";
    EXPECT_FALSE(staticParkingNowRequested);
    EXPECT_EQ(shown(), "");
}

TEST_F(Rounds, AChosenTimeShiftRebuildsTheTrafficInTheNextRound) {
    timeShiftRequested = true; // the hours list, with a simulator connected
    lf_processRound();
    EXPECT_FALSE(timeShiftRequested);
    EXPECT_TRUE(staticParkingNowRequested) << "the static aircraft are placed again for the new time";
}

// "Now" makes the controls busy, and so does the first phase of the update it schedules; the end of the
// update must bring back the time controls as they were before the first.
TEST_F(Rounds, AfterAnUpdateFromNowTheTimeControlsAreEnabledAgain) {
    ASSERT_TRUE(openWindow());
    lf_setTimeControlsEnabled(true);
    staticUpdateCountdown = 3;
    staticParkingCountdownRequested = true;
    runRoundsTo(15);
    EXPECT_EQ(staticUpdateCountdown, staticUpdateCountdownStart);
    ASSERT_TRUE(staticUpdatePhase) << "first phase";
    EXPECT_FALSE(gf_isControlEnabled(SIM_TIME));
    gf_enableControlsAfterBusy(); // as the static parking does once its positions are placed
    for (WindowControl* control : std::initializer_list<WindowControl*>{
             &SIM_TIME, &KEEP_SIM_TIME_PAR, &TIME_SHIFT_DAYS, &TIME_SHIFT_HOURS, &TIME_SHIFT_MINS})
        EXPECT_TRUE(gf_isControlEnabled(*control)) << control->controlId;
}

TEST_F(Rounds, ACountdownOfOneSecondHasNoPluralAndTheRefreshComesEveryTwentyMinutes) {
    runRoundsTo(14);
    lf_showStaticParkingCountdown();
    EXPECT_EQ(shown(), "Vantrel will update static parking in 1 second ...");
    staticParkingNowRequested = false;
    controlsBusy = false;

    parkAirportLoaded = true;
    staticUpdateCountdown = 2;
    runRoundsTo(60);
    EXPECT_EQ(staticUpdateCountdown, 1);
    EXPECT_FALSE(staticParkingNowRequested);
    runRoundsTo(120);
    EXPECT_EQ(staticUpdateCountdown, staticUpdateCountdownStart);
    EXPECT_TRUE(staticParkingNowRequested) << "the automatic refresh is due";
    parkAirportLoaded = false;
}

} // namespace
} // namespace kvr::test
