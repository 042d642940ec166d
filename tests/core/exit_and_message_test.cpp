#include "core/exit_request.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/user_error.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace kvr {
namespace {

class StopStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        gf_resetStopState();
        gf_clearMessageAndError();
    }
    void TearDown() override {
        gf_resetStopState();
        gf_clearMessageAndError();
        gf_closeLogFile();
    }
};

TEST(UserError, MessageCarriesTheCodeExceptFor99) {
    EXPECT_STREQ(UserErrorException(88, "airports.enc broken").what(), "88: airports.enc broken");
    EXPECT_STREQ(UserErrorException(99, "just the text").what(), "just the text");
    EXPECT_EQ(UserErrorException(41, "x").code(), 41);
}

TEST(ExitReasonNames, AreTheLoggedTexts) {
    EXPECT_STREQ(gf_exitReasonName(ExitReason::notYetSet), "NOT YET SET");
    EXPECT_STREQ(gf_exitReasonName(ExitReason::userClosedSim), "USER CLOSED SIM");
    EXPECT_STREQ(gf_exitReasonName(ExitReason::newVersion), "NEW VERSION");
}

TEST_F(StopStateTest, FirstRequestWinsReasonAndDelay) {
    gf_requestExit(ExitReason::readerError, 15);
    gf_requestExit(ExitReason::systemError, 0);
    EXPECT_TRUE(stopRequested);
    EXPECT_EQ(exitReason, ExitReason::readerError);
    EXPECT_EQ(restartDelaySeconds, 15);
}

TEST_F(StopStateTest, CloseButtonKeepsAnEarlierReasonButWinsWhenFirst) {
    gf_requestExit(ExitReason::readerError, 15);
    gf_requestExit(ExitReason::userClosedSim, 0);
    EXPECT_TRUE(userClosed);
    EXPECT_EQ(exitReason, ExitReason::readerError);
    gf_resetStopState();
    gf_requestExit(ExitReason::userClosedSim, 0);
    gf_requestExit(ExitReason::newSettings, 3);
    EXPECT_EQ(exitReason, ExitReason::userClosedSim);
    EXPECT_EQ(restartDelaySeconds, 15) << "the close button never touches the delay";
}

// A loop that sees a stop flag reads the reason next; it must never find NOT YET SET.
TEST_F(StopStateTest, WhoeverSeesTheStopFindsItsReason) {
    constexpr int rounds = 100000;
    std::atomic<int> go{0};
    std::atomic<int> done{0};
    std::thread requester([&] {
        for (int i = 1; i <= rounds; ++i) {
            while (go.load() != i)
                std::this_thread::yield();
            gf_requestExit(i % 2 ? ExitReason::newSettings : ExitReason::userClosedSim, 3);
            done = i;
        }
    });
    int unset = 0;
    for (int i = 1; i <= rounds; ++i) {
        gf_resetStopState();
        go = i;
        while (!stopRequested.load() && !userClosed.load())
            std::this_thread::yield();
        unset += exitReason.load() == ExitReason::notYetSet;
        while (done.load() != i)
            std::this_thread::yield();
    }
    requester.join();
    EXPECT_EQ(unset, 0);
}

TEST_F(StopStateTest, WorkerErrorAfterAStopShowsButKeepsTheFirstReason) {
    gf_requestExit(ExitReason::simWasClosed, 0);
    gf_onWorkerError("Traffic Reader", true);
    EXPECT_EQ(exitReason, ExitReason::simWasClosed);
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "The Traffic Reader has stopped with an error");
}

TEST_F(StopStateTest, WorkerErrorChoosesRestartOrSystemError) {
    gf_onWorkerError("Authenticater", true);
    EXPECT_EQ(exitReason, ExitReason::readerError);
    EXPECT_EQ(restartDelaySeconds, 15);
    gf_resetStopState();
    gf_onWorkerError("Weather Reader", false);
    EXPECT_EQ(exitReason, ExitReason::systemError);
    EXPECT_EQ(restartDelaySeconds, 0);
}

TEST_F(StopStateTest, MessagesAreDroppedWhileAnErrorIsShown) {
    test::TempFolder folder;
    gf_openLogFile(folder.path());
    gf_setMessageRoundCounter(7);
    gf_showMessage("hello", true);
    EXPECT_EQ(gf_messageLineSnapshot().messageRound, 7);
    gf_showError("broken");
    gf_showMessage("ignored", true);
    const auto line = gf_messageLineSnapshot();
    EXPECT_EQ(line.errorText, "broken");
    EXPECT_EQ(line.messageText, "");
    EXPECT_EQ(line.messageRound, 0);
    gf_closeLogFile();
    const std::string log = test::readFileText(folder / "Log.txt");
    EXPECT_NE(log.find("\nhello\nError broken\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("ignored"), std::string::npos);
}

TEST_F(StopStateTest, EmptyMessageRecordsRoundZeroAndLogsNothing) {
    gf_setMessageRoundCounter(0);
    gf_showMessage("first round", false);
    EXPECT_EQ(gf_messageLineSnapshot().messageRound, 1) << "round 0 still counts as a set message";
    gf_showMessage("", true);
    EXPECT_EQ(gf_messageLineSnapshot().messageRound, 0);
}

} // namespace
} // namespace kvr

#include "core/no_match_names.h"

namespace kvr {
namespace {

TEST(NoMatchNames, ListedOnceEachSortedAndClearedOnRequest) {
    test::TempFolder folder;
    gf_openLogFile(folder.path());
    gf_logNoMatch(); // nothing yet: no lines
    gf_addNoMatchName("PH-BXB KLM B738");
    gf_addNoMatchName("D-AIZA DLH A320");
    gf_addNoMatchName("PH-BXB KLM B738");
    gf_logNoMatch();
    gf_clearNoMatchNames();
    gf_logNoMatch();
    gf_closeLogFile();
    const std::string log = test::readFileText(folder / "Log.txt");
    const std::string expected = "\n\nNo match found for:\nD-AIZA DLH A320\nPH-BXB KLM B738\n\n";
    EXPECT_NE(log.find(expected), std::string::npos) << log;
    EXPECT_EQ(log.find("No match found for:"), log.rfind("No match found for:"));
}

} // namespace
} // namespace kvr
