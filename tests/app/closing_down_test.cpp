// Closing down: what each exit reason leads to, the per-session resets and the restart countdown.
#include "app/closing_down.h"
#include "bgl_fixtures/bgl_airports.h"
#include "parking/airport_scan.h"
#include "session_fixture.h"
#include "simlink/flight_plan.h"

#include <future>
#include <set>
#include <vector>

namespace kvr::test {
namespace {

using namespace std::chrono_literals;

class ClosingDown : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        lf_loadParameters();
        gf_installClosingDownObserver({});
    }
    void TearDown() override {
        gf_installClosingDownObserver({});
        SessionTest::TearDown();
    }
};

TEST_F(ClosingDown, AReaderErrorRestartsWithoutTheScansAndResetsTheSession) {
    gf_setParameterAndSave(DESTINATION, "EHAM");
    gf_setParameterAndSave(BLOCK_CALLSIGN, "KLM1234");
    gf_requestExit(ExitReason::readerError, 0);
    staticUpdateCountdown = 7;
    exitCode = 4;
    roundCounter = 99;
    lf_closingDown();
    const std::string log = logText();
    EXPECT_NE(log.find("Exiting: READER ERROR\n"), std::string::npos);
    EXPECT_EQ(log.find("Restarting after"), std::string::npos) << "a delay of 0 has no countdown";
    EXPECT_TRUE(restartPending);
    EXPECT_EQ(storedValue("SCAN_LIVERIES"), "false");
    EXPECT_EQ(storedValue("DESTINATION"), "");
    EXPECT_EQ(storedValue("BLOCK_CALLSIGN"), "");
    EXPECT_FALSE(stopRequested);
    EXPECT_EQ(exitReason, ExitReason::notYetSet);
    EXPECT_EQ(roundCounter, 0);
    EXPECT_TRUE(waitingForSim);
    EXPECT_EQ(statusDisplay.trafficLampState, 3);
    EXPECT_EQ(staticUpdateCountdown, 7) << "kept across sessions";
    EXPECT_EQ(exitCode, 4);
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "") << "the reset empties the message line";
}

TEST_F(ClosingDown, AnAirportScanCutShortByAnErrorRestartRunsAgainAtTheNextStart) {
    MSFS_INSTALL_PATH.setValue(steamPackages.string());
    fixtures::writeBglFile(steamPackages / "Community" / "airport-egll" / "EGLL.bgl",
                           fixtures::bglFileWith({fixtures::bglGridAirport("EGLL", 51.47, -0.46, 2)}));
    gf_setCheckSetting(SCAN_AIRPORTS, true);
    gf_requestExit(ExitReason::simConnectError, 0); // the simulator link fails while the scan runs
    gf_scanAddonAirports();
    lf_closingDown();
    EXPECT_TRUE(restartPending);
    EXPECT_NE(logText().find("Airports scan cut short by a stop"), std::string::npos);
    EXPECT_EQ(storedValue("SCAN_AIRPORTS"), "true");
}

TEST_F(ClosingDown, TheCloseBoxDuringARestartEndsTheProgramInstead) {
    gf_requestExit(ExitReason::readerError, 3);
    auto closing = std::async(std::launch::async, [] { lf_closingDown(); });
    ASSERT_TRUE(eventually(
        [] { return gf_messageLineSnapshot().messageText.starts_with("Restarting after"); }, 5000ms));
    gf_requestExit(ExitReason::userClosedSim, 0); // the close box
    EXPECT_EQ(closing.wait_for(2s), std::future_status::ready) << "the countdown stops";
    EXPECT_EQ(exitReason, ExitReason::readerError) << "the reason stays the first one";
    EXPECT_FALSE(restartPending);
    EXPECT_TRUE(userClosed) << "no reset: the program ends";
}

TEST_F(ClosingDown, NewSettingsRestartKeepsTheScansAndLogsItsNotice) {
    gf_requestExit(ExitReason::newSettings, 0);
    lf_closingDown();
    EXPECT_TRUE(restartPending);
    EXPECT_EQ(storedValue("SCAN_LIVERIES"), "true");
    EXPECT_NE(logText().find("Exiting: NEW SETTINGS\nPrepare for a restart ...\n"), std::string::npos)
        << "logged although the stop is requested";
}

TEST_F(ClosingDown, TheUserClosingQuitsAndTheFlightPlanFolderGoes) {
    const std::filesystem::path plans = folder / "orig_dest";
    std::filesystem::create_directories(plans);
    writeFileText(plans / "12.pln", "<plan/>");
    flightPlanFolder.set(plans);
    restartPending = true;
    gf_requestExit(ExitReason::userClosedSim, 0);
    lf_closingDown();
    EXPECT_FALSE(std::filesystem::exists(plans));
    EXPECT_FALSE(restartPending);
    EXPECT_TRUE(stopRequested) << "no reset before the end";
    EXPECT_NE(logText().find("Exiting: USER CLOSED SIM\n"), std::string::npos);
    flightPlanFolder.set({});
}

TEST_F(ClosingDown, ASystemErrorWaitsForTheUser) {
    gf_showError("broken");
    exitReason = ExitReason::systemError;
    auto closing = std::async(std::launch::async, [] { lf_closingDown(); });
    EXPECT_EQ(closing.wait_for(700ms), std::future_status::timeout) << "the error stays up";
    EXPECT_EQ(gf_messageLineSnapshot().errorText, "broken");
    gf_requestExit(ExitReason::userClosedSim, 0);
    EXPECT_EQ(closing.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(exitReason, ExitReason::systemError);
    EXPECT_FALSE(restartPending);
    EXPECT_NE(logText().find("User closed Vantrel\n"), std::string::npos);
}

TEST_F(ClosingDown, TheTimeShiftEndsWithTheSessionUnlessItIsKept) {
    SIM_TIME.setValue(true);
    KEEP_SIM_TIME_PAR.setValue(false);
    TIME_SHIFT_HOURS.setValue(5);
    timeShiftActive = true;
    gf_requestExit(ExitReason::userClosedSim, 0);
    lf_closingDown();
    EXPECT_FALSE(timeShiftActive);
    EXPECT_EQ(storedValue("SIM_TIME"), "false");
    EXPECT_EQ(TIME_SHIFT_HOURS.value(), 0);

    KEEP_SIM_TIME_PAR.setValue(true);
    SIM_TIME.setValue(false);
    TIME_SHIFT_HOURS.setValue(5);
    lf_closingDown();
    EXPECT_EQ(TIME_SHIFT_HOURS.value(), 5) << "kept";

    SIM_TIME.setValue(true);
    lf_closingDown();
    EXPECT_EQ(TIME_SHIFT_HOURS.value(), 0) << "kept, but the simulator's clock is followed anew";
    EXPECT_EQ(storedValue("SIM_TIME"), "false") << "only the first closing saved it";
}

TEST_F(ClosingDown, TheObserverSeesTheSessionBeforeTheLinkStops) {
    std::vector<std::string> seen;
    gf_installClosingDownObserver([&] { seen.push_back(gf_exitReasonName(exitReason.load())); });
    gf_requestExit(ExitReason::simWasClosed, 0);
    lf_closingDown();
    EXPECT_EQ(seen, std::vector<std::string>{"SIM WAS CLOSED"});
}

TEST_F(ClosingDown, TheCountdownShowsEverySecondAndLogsItsEnd) {
    restartDelaySeconds = 3;
    std::set<std::string> texts;
    std::atomic<bool> done{false};
    auto watcher = std::async(std::launch::async, [&] {
        while (!done) {
            texts.insert(gf_messageLineSnapshot().messageText);
            std::this_thread::sleep_for(20ms);
        }
    });
    const auto start = std::chrono::steady_clock::now();
    lf_restartCountdown();
    const auto took = std::chrono::steady_clock::now() - start;
    done = true;
    watcher.get();
    EXPECT_GE(took, 2900ms);
    EXPECT_LT(took, 4s);
    EXPECT_TRUE(texts.contains("Restarting after 3 seconds"));
    EXPECT_TRUE(texts.contains("Restarting after 2 seconds"));
    EXPECT_TRUE(texts.contains("Restarting after 1 second"));
    const std::string log = logText();
    EXPECT_NE(log.find("Restarting after 3 seconds\n" + std::string(48, '-') + "\n"), std::string::npos);
    EXPECT_NE(log.find("Restart countdown finished\n"), std::string::npos);
    EXPECT_EQ(log.find("Restarting after 2 seconds"), std::string::npos) << "the steps are not logged";
}

} // namespace
} // namespace kvr::test
