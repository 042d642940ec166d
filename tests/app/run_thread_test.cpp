// The controls after the start-up reading, the text accessor, and the catch clauses of the run thread.
#include "app/main_window_internal.h"
#include "app/run_thread_internal.h"
#include "core/shared_state.h"
#include "core/utf.h"
#include "session_fixture.h"

#include <fmt/format.h>

#include <new>

namespace kvr::test {
namespace {

class ControlStates : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        ASSERT_TRUE(openWindow());
    }
    static bool enabled(const WindowControl& c) { return IsWindowEnabled(c.windowHandle.load()) != FALSE; }
    static int selection(const WindowControl& c) {
        return static_cast<int>(SendMessageW(c.windowHandle.load(), CB_GETCURSEL, 0, 0));
    }
    bool checked(const CheckBoxParameter& box) {
        return IsDlgButtonChecked(window(), box.controlId) == BST_CHECKED;
    }
};

TEST_F(ControlStates, AfterTheSettingsAreReadTheTableHolds) {
    writeParameters(R"(<parameter name="AUTO_RANGE" value="true"/><parameter name="RANGE" value="25"/>)"
                    R"(<parameter name="SIM_CHOICE" value="MSFS 2024"/><parameter name="WEEK" value="true"/>)"
                    R"(<parameter name="BLOCK_CALLSIGN" value="KLM1234"/>)");
    lf_loadParameters();
    nowButtonAllowed = false;
    metaSimCode = 2;
    parking_percentage.setValue(55);
    gf_enableControl(tbloButton);
    gf_enableControl(reReadButton);
    gf_enableControl(DESTINATION);
    lf_initControlStates();

    EXPECT_TRUE(checked(WEEK)) << "check marks show what was read";
    EXPECT_FALSE(enabled(tbloButton));
    EXPECT_FALSE(enabled(RANGE)) << "the automatic range decides";
    EXPECT_EQ(selection(RANGE), *RANGE.choiceIndexOf(25));
    EXPECT_TRUE(enabled(AR_ABOVE_HEIGHT));
    EXPECT_TRUE(enabled(unblockButton)) << "a callsign is blocked";
    EXPECT_FALSE(enabled(blockButton));
    EXPECT_FALSE(enabled(nowButton));
    EXPECT_TRUE(nowButtonAllowed);
    EXPECT_FALSE(enabled(csToOidButton));
    EXPECT_FALSE(enabled(CALLSIGN_2_OBJECTID));
    EXPECT_FALSE(msfs2020Selected);
    EXPECT_EQ(selection(SIM_CHOICE), 1);
    EXPECT_EQ(metaSimCode, 1);
    EXPECT_FALSE(enabled(DESTINATION));
    EXPECT_FALSE(enabled(reReadButton));
    EXPECT_FALSE(enabled(flushStaticButton));
    EXPECT_EQ(parking_percentage.value(), 30) << "never stored, 30 after every start";
    EXPECT_EQ(selection(parking_percentage), *parking_percentage.choiceIndexOf(30));
    EXPECT_TRUE(enabled(parking_percentage)) << "the park controls follow RT_PARKTRAFFIC_ONLY last";
    EXPECT_EQ(selection(MAX_FIT_FL), *MAX_FIT_FL.choiceIndexOf(24.0f));
    EXPECT_TRUE(enabled(AI_PACKAGE_SELECTOR));
    EXPECT_TRUE(enabled(INITIAL_LOAD_ONLY));
}

TEST_F(ControlStates, AManualRangeReadFromTheSettingsIsTheRangeTheTrafficUses) {
    writeParameters(R"(<parameter name="AUTO_RANGE" value="false"/><parameter name="RANGE" value="30"/>)");
    lf_loadParameters();
    rangeNm = 40;
    lf_initControlStates();
    EXPECT_EQ(selection(RANGE), *RANGE.choiceIndexOf(30));
    EXPECT_EQ(rangeNm, 30);
    EXPECT_EQ(rangeMetres, 30 * 1852 + 10000);
}

TEST_F(ControlStates, TextOfAControlById) {
    SetWindowTextW(BLOCK_CALLSIGN.windowHandle.load(), L"Zürich 12");
    EXPECT_EQ(lf_getTextFromId(BLOCK_CALLSIGN.controlId), "Zürich 12");
    SetWindowTextW(BLOCK_CALLSIGN.windowHandle.load(), L"");
    EXPECT_EQ(lf_getTextFromId(BLOCK_CALLSIGN.controlId), "");
    EXPECT_EQ(lf_getTextFromId(4711), "");
    EXPECT_NE(logText().find("GetDlgItem failed for ID 4711\n"), std::string::npos);
}

// The catch clauses: which errors set the reason directly and which only as the first stop request.
class CatchClauses : public SessionTest {};

TEST_F(CatchClauses, AUserErrorSetsTheReasonEvenOverAnEarlierRequest) {
    gf_requestExit(ExitReason::readerError, 15);
    lf_runGuarded([] { throw UserErrorException(402, "expired"); });
    EXPECT_EQ(exitReason, ExitReason::systemError);
    EXPECT_EQ(restartDelaySeconds, 15);
    EXPECT_EQ(gf_messageLineSnapshot().errorText, "402: expired");
}

TEST_F(CatchClauses, FormatErrorsShowBothLinesAndStopFirstWins) {
    lf_runGuarded([] { throw fmt::format_error("bad field"); });
    EXPECT_EQ(gf_messageLineSnapshot().errorText, "bad field");
    const std::string log = logText();
    EXPECT_NE(log.find("Error std::format error: bad field\nError bad field\n"), std::string::npos) << log;
    EXPECT_TRUE(stopRequested);
    EXPECT_EQ(exitReason, ExitReason::systemError);
    EXPECT_EQ(restartDelaySeconds, 0);
}

TEST_F(CatchClauses, StandardErrorsAfterAnEarlierRequestKeepItsReason) {
    gf_requestExit(ExitReason::readerError, 15);
    lf_runGuarded([] { throw std::bad_alloc(); });
    EXPECT_EQ(exitReason, ExitReason::readerError);
    EXPECT_EQ(restartDelaySeconds, 15);
    gf_resetStopState();
    lf_runGuarded([] {
        throw std::filesystem::filesystem_error("status", "docs", std::make_error_code(std::errc::io_error));
    });
    EXPECT_EQ(exitReason, ExitReason::systemError);
    EXPECT_NE(gf_messageLineSnapshot().errorText.find("status"), std::string::npos);
    gf_resetStopState();
    gf_clearMessageAndError();
    lf_runGuarded([] { throw 42; });
    EXPECT_EQ(gf_messageLineSnapshot().errorText, "Unknown exception");
    EXPECT_EQ(exitReason, ExitReason::systemError);
    EXPECT_FALSE(stopRequested) << "an unknown exception sets the reason without a stop";
}

} // namespace
} // namespace kvr::test
