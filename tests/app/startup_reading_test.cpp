// The start-up reading of a run-thread pass, its folders, the install path and the hold before the service.
#include "app/run_thread_internal.h"
#include "app/session_state.h"
#include "core/shared_state.h"
#include "session_fixture.h"
#include "simlink/flight_plan.h"

#include <ctime>

namespace kvr::test {
namespace {

using namespace std::chrono_literals;

TEST(InstallPathCleanUp, CommunityAtTheEndIsCutWithEitherSeparator) {
    EXPECT_EQ(lf_installPathWithoutCommunity(R"(D:\MSFS\Community)"), R"(D:\MSFS)");
    EXPECT_EQ(lf_installPathWithoutCommunity(R"(D:\Community)"), "D:");
    EXPECT_EQ(lf_installPathWithoutCommunity("/home/pilot/msfs/Community"), "/home/pilot/msfs");
    EXPECT_EQ(lf_installPathWithoutCommunity("Community"), std::nullopt);
    EXPECT_EQ(lf_installPathWithoutCommunity(R"(D:\MSFS\MyCommunity)"), std::nullopt);
    EXPECT_EQ(lf_installPathWithoutCommunity(R"(D:\MSFS\Community\)"), std::nullopt);
    EXPECT_EQ(lf_installPathWithoutCommunity(R"(D:\MSFS\community)"), std::nullopt);
}

TEST(ServiceHold, TwoSecondsAfterTheLastVisitAndNeverLonger) {
    const std::time_t now = 1'750'000'000;
    EXPECT_EQ(lf_holdSeconds(now, 0), 0);
    EXPECT_EQ(lf_holdSeconds(now, now), 2);
    EXPECT_EQ(lf_holdSeconds(now, now - 1), 1);
    EXPECT_EQ(lf_holdSeconds(now, now - 2), 0);
    EXPECT_EQ(lf_holdSeconds(now, now + 86400), 2) << "a visit in the future holds no longer than one now";
}

using StartupReading = SessionTest;

TEST_F(StartupReading, FirstPassReadsEverythingCleansThePathAndFindsTheInstall) {
    writeParameters(R"(<parameter name="MSFS_INSTALL_PATH" value=""/>)"
                    R"(<parameter name="TIME_SHIFT_HOURS" value="2"/>)");
    lf_readStartupData();
    EXPECT_TRUE(dbaseLoaded);
    EXPECT_TRUE(msfs2020Selected);
    EXPECT_EQ(MSFS_INSTALL_PATH.value(), steamPackages.string());
    EXPECT_EQ(storedValue("MSFS_INSTALL_PATH"), steamPackages.string());
    EXPECT_EQ(ALL_INSTALL_PATH.value(), steamPackages.string());
    EXPECT_TRUE(timeShiftActive) << "a stored shift is applied quietly";
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "");
    for (const char* made : {"output/info", "output/errors", "airports/learned/stock",
                             "airports/learned/simaddon", "airports/learned/thirdparty",
                             "airports/my_simaddon", "airports/my_thirdparty", "input/my_regcodes"})
        EXPECT_TRUE(std::filesystem::is_directory(made)) << made;
    EXPECT_NE(logText().find("cannot be reached, going on offline"), std::string::npos) << "update check ran";
    const TimeSlot slot = gf_currentTimeSlot();
    EXPECT_GE(slot.weekday, 1);
    EXPECT_LE(slot.weekday, 7);
    EXPECT_EQ(slot.slot, gf_halfHourIndex(gf_now()));
}

TEST_F(StartupReading, RestartPassSkipsTheUpdateCheckAndTheDataBase) {
    lf_readStartupData();
    ASSERT_TRUE(dbaseLoaded);
    std::filesystem::remove("input/dbase.enc");
    gf_flushLog();
    const std::size_t before = logText().size();
    restartPending = true;
    EXPECT_NO_THROW(lf_readStartupData()) << "the data base is not read again";
    EXPECT_EQ(logText().substr(before).find("going on offline"), std::string::npos) << "no update check";
}

// The data base reader keeps its first result for the whole process, so the two passes run in a process
// of their own: exit code 1 when the failed reading did not end the first pass or did not count, 2 when
// the restart pass tried again. That process runs the test anew with a scratch folder of its own, which
// it removes before it ends (its exit runs no destructors).
TEST_F(StartupReading, AFailedDataBaseIsNotTriedAgainOnARestart) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto exitWith = [this](int code) {
        gf_closeLogFile();
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(folder.path(), ignored);
        std::_Exit(code);
    };
    EXPECT_EXIT(
        {
            std::filesystem::remove("input/dbase.enc");
            bool failed = false;
            try {
                lf_readStartupData();
            } catch (const std::runtime_error&) {
                failed = true;
            }
            if (!failed || !dbaseLoaded)
                exitWith(1);
            restartPending = true;
            try {
                lf_readStartupData();
            } catch (const std::exception&) {
                exitWith(2);
            }
            exitWith(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(StartupReading, WithoutAnyInstallTheUserIsAskedForTheCommunityFolder) {
    std::filesystem::remove_all(steamPackages);
    try {
        lf_readStartupData();
        FAIL() << "no install path";
    } catch (const UserErrorException& e) {
        EXPECT_EQ(std::string(e.what()),
                  "150: No install path detected. Type the full path to your Community "
                  "folder above, then press Enter");
    }
}

TEST_F(StartupReading, ProductionModeLeavesTheEndToTheRunThreadAfterTheScan) {
    productionMode = true;
    lf_readStartupData();
    EXPECT_FALSE(stopRequested) << "a stop now would cut the livery scan short";
    exitCode = 3;
    lf_closeIfProduction();
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(userClosed);
    EXPECT_TRUE(stopRequested);
    EXPECT_EQ(exitReason, ExitReason::userClosedSim);
}

TEST_F(StartupReading, DataFoldersAreMadeAndStaleRegistrationCodesRemoved) {
    writeFileText("input/AIG-regcodes0.xml", "<root/>");
    writeFileText("input/AIG-regcodes00.xml", "<root/>");
    lf_createDataFolders();
    EXPECT_FALSE(std::filesystem::exists("input/AIG-regcodes0.xml"));
    EXPECT_FALSE(std::filesystem::exists("input/AIG-regcodes00.xml"));
    EXPECT_TRUE(std::filesystem::is_directory("airports/learned/thirdparty"));

    std::filesystem::remove_all("output");
    writeFileText("output", "a file where a folder belongs");
    try {
        lf_createDataFolders();
        FAIL() << "output is a file";
    } catch (const std::filesystem::filesystem_error& e) {
        EXPECT_NE(std::string(e.what()).find("create_directories"), std::string::npos) << e.what();
    }
}

TEST_F(StartupReading, TheHoldShowsItsSecondsAndAStopSkipsTheSession) {
    SCAN_AIRPORTS.setValue(false);
    LAST_EPOCH_TIME.setValue(static_cast<std::int32_t>(std::time(nullptr)));
    std::filesystem::create_directories("airports/my_thirdparty/FlyTampa");
    gf_requestExit(ExitReason::userClosedSim, 0);
    const auto start = std::chrono::steady_clock::now();
    lf_scansHoldAndSession();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "the hold gives way to the stop";
    EXPECT_EQ(gf_messageLineSnapshot().messageText,
              "Holding for 2 seconds... (RT API cannot be revisited within 2 seconds)")
        << "the hold comes before the stop is looked at";
    EXPECT_EQ(statusDisplay.thirdPartyAirportCount, 1u);
    EXPECT_EQ(exitReason, ExitReason::userClosedSim);
    EXPECT_TRUE(flightPlanFolder.get().empty()) << "the session never started";
}

} // namespace
} // namespace kvr::test
