#include "app/closing_down.h"
#include "bgl_fixtures/bgl_airports.h"
#include "core/message_line.h"
#include "whole_run_fixture.h"

#include <fmt/format.h>

#include <string>
#include <vector>

#include <unistd.h>

namespace kvr::test {
namespace {

TEST(ProductionSwitch, CaseIsIgnoredTheLastRecognisedWinsOthersAreIgnored) {
    EXPECT_EQ(lf_readProductionSwitch(L"vantrel"), std::nullopt);
    EXPECT_EQ(lf_readProductionSwitch(L"vantrel /PRODUCTION"), true);
    EXPECT_EQ(lf_readProductionSwitch(L"vantrel --Production"), true);
    EXPECT_EQ(lf_readProductionSwitch(L"vantrel --production --no-production"), false);
    EXPECT_EQ(lf_readProductionSwitch(L"vantrel --no-production /production --verbose"), true);
    EXPECT_EQ(lf_readProductionSwitch(L"vantrel production -production --productions"), std::nullopt);
    EXPECT_EQ(lf_readProductionSwitch(L"--production"), std::nullopt) << "the program name is not a switch";
}

TEST(ShortName, BothPlaceholdersGetTheShortName) {
    EXPECT_EQ(lf_formatShortNameTwice("{} must be run from the {} folder!"),
              "Vantrel must be run from the Vantrel folder!");
}

using CloseButton = MainWindowTest;

TEST_F(CloseButton, ShowsItsMessageAndRequestsTheStopWithoutClosingTheWindow) {
    ASSERT_TRUE(openWindow());
    SendMessageW(window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "Close window button clicked, closing Vantrel ...");
    EXPECT_TRUE(userClosed);
    EXPECT_TRUE(stopRequested);
    EXPECT_EQ(exitReason, ExitReason::userClosedSim);
    EXPECT_TRUE(IsWindow(window()));
    EXPECT_EQ(logText().find("Close window button"), std::string::npos) << "shown without logging";

    gf_clearMessage();
    SendMessageW(window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "Close window button clicked, closing Vantrel ...");
    EXPECT_EQ(exitReason, ExitReason::userClosedSim);
    EXPECT_TRUE(IsWindow(window()));
}

TEST_F(CloseButton, AfterAReaderErrorTheReasonStaysAndItsDelayToo) {
    ASSERT_TRUE(openWindow());
    gf_requestExit(ExitReason::readerError, 15);
    SendMessageW(window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(exitReason, ExitReason::readerError);
    EXPECT_EQ(restartDelaySeconds, 15);
    EXPECT_TRUE(userClosed);
}

TEST_F(CloseButton, EditAndStaticColoursAreLightBlueOnTheDcBrush) {
    ASSERT_TRUE(openWindow());
    // The answer is a brush the control paints its background with.
    EXPECT_EQ(SendMessageW(window(), WM_CTLCOLOREDIT, 0, 0),
              reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH)));
    EXPECT_EQ(SendMessageW(window(), WM_CTLCOLORSTATIC, 0, 0),
              reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH)));
}

TEST_F(WholeRun, WithoutDocsTheErrorStaysRedUntilTheUserClosesThenThePositionIsStored) {
    const int code = runClosingWhen([] { return !gf_messageLineSnapshot().errorText.empty(); });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(gf_messageLineSnapshot().errorText, "41: Vantrel must be run from the Vantrel folder!");
    const std::string log = logText();
    EXPECT_NE(log.find("Error 41: Vantrel must be run from the Vantrel folder!\n"), std::string::npos);
    EXPECT_NE(log.find("Exiting: SYSTEM ERROR\n"), std::string::npos);
    EXPECT_EQ(storedValue("MAIN_WINDOW_X"), "400");
    EXPECT_FALSE(std::filesystem::exists(appDataFolder / "parameters.xml.tmp"));
}

TEST_F(WholeRun, ProductionModeEndsByItselfWithExitCodeZero) {
    stageProgram();
    standin::setProcessArguments({L"vantrel", L"/Production"});
    exitCode = 5;
    const int code = runClosingWhen([] { return false; }); // nobody closes: the pass ends on its own
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(productionMode);
    EXPECT_NE(logText().find("Exiting: USER CLOSED SIM\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(parametersFilePath)) << "the pass read the settings";
}

TEST_F(WholeRun, AnAirportScanCutShortByTheCloseBoxStaysOnForTheNextStart) {
    stageProgram();
    writeParameters(R"(<parameter name="SCAN_LIVERIES" value="false"/>)"
                    R"(<parameter name="SCAN_AIRPORTS" value="true"/>)");
    // Far more airport packages than the scan takes in the moment between its first stand file and the close.
    const fixtures::BglFile egll = fixtures::bglFileWith({fixtures::bglGridAirport("EGLL", 51.47, -0.46, 2)});
    for (int i = 0; i < 400; ++i)
        fixtures::writeBglFile(steamPackages / "Community" / fmt::format("airport-{}", i) / "EGLL.bgl", egll);
    const int code = runWithUser([] {
        EXPECT_TRUE(waitFor([] { return std::filesystem::exists("airports/my_thirdparty/EGLL.xml"); }));
        closeBox();
    });
    EXPECT_EQ(code, 0);
    const std::string log = logText();
    EXPECT_NE(log.find("Airports scan cut short by a stop"), std::string::npos) << log;
    EXPECT_EQ(log.find("Airports scan successful"), std::string::npos) << log;
    EXPECT_NE(log.find("Exiting: USER CLOSED SIM\n"), std::string::npos) << log;
    EXPECT_EQ(storedValue("SCAN_AIRPORTS"), "true");
}

TEST_F(WholeRun, ASettingsChangeDuringTheHoldRestartsAndOnlyTheCloseBoxEnds) {
    stageProgram();
    const int code = runWithUser([this] {
        EXPECT_TRUE(waitFor([this] { return logCount("Holding for 2 seconds") == 1; }));
        // While the program waits for the simulator, switching the airport scan on restarts it.
        PostMessageW(mainWindowHandle.load(), WM_COMMAND, MAKEWPARAM(SCAN_AIRPORTS.controlId, BN_CLICKED), 0);
        EXPECT_TRUE(waitFor([this] { return logCount("Holding for 2 seconds") == 2; })) << "no second pass";
        closeBox();
    });
    EXPECT_EQ(code, 0);
    const std::string log = logText();
    const auto restart = log.find("Exiting: NEW SETTINGS\n");
    ASSERT_NE(restart, std::string::npos) << log;
    EXPECT_NE(log.find("Restart countdown finished\n", restart), std::string::npos) << log;
    EXPECT_NE(log.find("Exiting: USER CLOSED SIM\n", restart), std::string::npos) << log;
}

TEST_F(WholeRun, ACommunityPathEnteredAfterError150RestartsTheProgram) {
    stageProgram();
    std::filesystem::remove_all(steamPackages);
    const std::filesystem::path packages = folder / "sim" / "Packages";
    std::filesystem::create_directories(packages / "Community");
    const int code = runWithUser([&] {
        EXPECT_TRUE(waitFor([] { return gf_messageLineSnapshot().errorText.starts_with("150: "); }));
        HWND edit = ALL_INSTALL_PATH.windowHandle.load();
        SetWindowTextW(edit, utf8_to_wide(packages.string()).c_str());
        PostMessageW(edit, WM_CHAR, 13, 0); // Enter
        EXPECT_TRUE(waitFor([this] { return logCount("Holding for 2 seconds") == 1; }))
            << "the restarted pass found the install";
        closeBox();
    });
    EXPECT_EQ(code, 0);
    const std::string log = logText();
    const auto error = log.find("Exiting: SYSTEM ERROR\n");
    ASSERT_NE(error, std::string::npos) << log;
    EXPECT_NE(log.find("Community path found, Vantrel will restart ...\n", error), std::string::npos) << log;
    EXPECT_NE(log.find("Exiting: USER CLOSED SIM\n", error), std::string::npos) << log;
    EXPECT_EQ(storedValue("MSFS_INSTALL_PATH"), packages.string());
}

TEST_F(WholeRun, AStartRemovesTheTemporaryFilesKilledRunsLeftAndNothingElse) {
    stageProgram();
    standin::setProcessArguments({L"vantrel", L"/production"});
    const std::string earlier = std::to_string(getpid() + 1);
    const std::string running = std::to_string(getpid());
    const std::vector<std::filesystem::path> leftovers{
        appDataFolder / ("parameters.xml.tmp" + earlier + "_0"),
        appDataFolder / "orig_dest" / ("17.pln.tmp" + earlier + "_3"),
        std::filesystem::path("airports/learned/thirdparty/Fly Test") / ("EHAM.xml.tmp" + earlier + "_12"),
        "airports/my_park_airports.txt.tmp1_0",
        "output/errors/InlineRegcodes.txt.tmp99999999999999999999_1",
        "updates/Vantrel.zip.part7_0",
        "input/versions.json.part7_1"};
    const std::vector<std::filesystem::path> kept{"airports/EHAM.xml.tmp" + running + "_5",
                                                  "airports/notes.tmp1_2.txt",
                                                  "airports/EHAM.xml.tmp12",
                                                  "airports/EHAM.xml.tmpx_2",
                                                  "airports/.tmp1_2",
                                                  "input/my_regcodes/codes.txt.tmp1_2",
                                                  "docs/readme.tmp1_2"};
    for (const auto& files : {leftovers, kept})
        for (const std::filesystem::path& file : files) {
            std::filesystem::create_directories(file.parent_path());
            writeFileText(file, "half a file");
        }
    EXPECT_EQ(runClosingWhen([] { return false; }), 0);
    for (const std::filesystem::path& file : leftovers)
        EXPECT_FALSE(std::filesystem::exists(file)) << file;
    for (const std::filesystem::path& file : kept)
        EXPECT_TRUE(std::filesystem::exists(file)) << file;
    EXPECT_NE(logText().find("Removed 7 temporary files left by an earlier run\n"), std::string::npos);
}

// New settings during the first pass's livery scan restart the program, the close box during the second
// pass's scan ends it; neither stopped scan touches the catalogue of the last complete one.
TEST_F(WholeRun, AStoppedLiveryScanEndsWithItsRequestersReasonAndKeepsTheCatalogue) {
    stageProgram();
    writeParameters(
        R"(<parameter name="SCAN_LIVERIES" value="true"/><parameter name="SCAN_AIRPORTS" value="false"/>)"
        R"(<parameter name="LAST_EPOCH_TIME:" value="2147483647"/>)");
    writeAiPackage(3000);
    const std::string previousCatalogue = readFileText("output/LiveriesScanned.xml");
    std::vector<std::string> cataloguesAtClosingDown;
    gf_installClosingDownObserver(
        [&] { cataloguesAtClosingDown.push_back(readFileText("output/LiveriesScanned.xml")); });
    const int code = runWithUser([this] {
        EXPECT_TRUE(waitFor([this] { return logCount("liveries scan automatic starts") == 1; }));
        PostMessageW(mainWindowHandle.load(), WM_COMMAND, MAKEWPARAM(SCAN_AIRPORTS.controlId, BN_CLICKED), 0);
        EXPECT_TRUE(waitFor([this] { return logCount("liveries scan automatic starts") == 2; }))
            << "no second pass";
        closeBox();
    });
    gf_installClosingDownObserver(nullptr);
    EXPECT_EQ(code, 0);
    const std::string log = logText();
    const auto restart = log.find("Exiting: NEW SETTINGS\n");
    ASSERT_NE(restart, std::string::npos) << log;
    EXPECT_NE(log.find("Exiting: USER CLOSED SIM\n", restart), std::string::npos) << log;
    EXPECT_EQ(log.find("SYSTEM ERROR"), std::string::npos) << log;
    EXPECT_EQ(log.find("Error "), std::string::npos) << log;
    EXPECT_EQ(cataloguesAtClosingDown, std::vector<std::string>(2, previousCatalogue));
    EXPECT_EQ(storedValue("SCAN_LIVERIES"), "true") << "the next start scans again";
}

// The usual update: a new program folder, the user's old settings with the scan switched off.
TEST_F(WholeRun, WithoutACatalogueTheLiveriesAreScannedAsIfAskedFor) {
    stageProgram();
    std::filesystem::remove("output/LiveriesScanned.xml");
    writeAiPackage(2);
    const int code = runClosingWhen([this] {
        return logCount("Holding for 2 seconds") == 1 || !gf_messageLineSnapshot().errorText.empty();
    });
    EXPECT_EQ(code, 0);
    const std::string log = logText();
    EXPECT_EQ(log.find("Error "), std::string::npos) << log;
    EXPECT_NE(log.find("liveries scan automatic starts"), std::string::npos) << log;
    EXPECT_NE(readFileText("output/LiveriesScanned.xml").find(R"(title="Scanned KLM 1")"), std::string::npos);
}

// A reader that fails for good stops the session with SYSTEM ERROR; the path the user then enters is a
// fix that restarts the program.
TEST_F(WholeRun, ACommunityPathEnteredAfterAnErrorStopRestartsTheProgram) {
    stageProgram();
    const std::filesystem::path packages = folder / "sim" / "Packages";
    std::filesystem::create_directories(packages / "Community");
    const int code = runWithUser([&] {
        EXPECT_TRUE(waitFor([this] { return logCount("Holding for 2 seconds") == 1; }));
        gf_onWorkerError("Traffic Reader", false);
        EXPECT_TRUE(waitFor([this] { return logCount("Exiting: SYSTEM ERROR") == 1; }));
        enter(ALL_INSTALL_PATH, packages.string());
        EXPECT_TRUE(waitFor([this] { return logCount("Holding for 2 seconds") == 2; })) << "no restart";
        closeBox();
    });
    EXPECT_EQ(code, 0);
    const std::string log = logText();
    EXPECT_NE(log.find("Community path found, Vantrel will restart ...\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Exiting: USER CLOSED SIM\n"), std::string::npos) << log;
    EXPECT_EQ(storedValue("MSFS_INSTALL_PATH"), packages.string());
}

// With KEEP_SIM_TIME_PAR on, the shift outlives the session; chosen while the program waits for the
// simulator, it is in force and saved at once.
TEST_F(WholeRun, ATimeShiftChosenBeforeTheSimulatorIsThereIsAppliedAndSavedAtOnce) {
    stageProgram(R"(<parameter name="KEEP_SIM_TIME_PAR" value="true"/>)");
    const int code = runWithUser([this] {
        EXPECT_TRUE(waitFor([this] { return logCount("Holding for 2 seconds") == 1; }));
        EXPECT_TRUE(standin::chooseComboItem(TIME_SHIFT_HOURS.windowHandle.load(), 3));
        EXPECT_TRUE(
            waitFor([] { return gf_messageLineSnapshot().messageText == "Time shifted 180 minutes"; }));
        EXPECT_EQ(storedValue("TIME_SHIFT_HOURS"), "3");
        closeBox();
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(storedValue("TIME_SHIFT_HOURS"), "3") << "kept at the session's end";
}

// Every session end empties DESTINATION; its box shows that.
TEST_F(WholeRun, TheDestinationBoxIsEmptiedWithItsSettingAtTheSessionEnd) {
    stageProgram(R"(<parameter name="DESTINATION" value="EHAM"/>)");
    const int code = runWithUser([this] {
        EXPECT_TRUE(waitFor([] { return boxText(DESTINATION) == "EHAM"; }));
        EXPECT_TRUE(standin::click(SCAN_AIRPORTS.windowHandle.load())); // a restart while waiting
        EXPECT_TRUE(waitFor([this] { return logCount("Holding for 2 seconds") == 2; }));
        EXPECT_EQ(boxText(DESTINATION), "");
        closeBox();
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(storedValue("DESTINATION"), "");
}

TEST_F(WholeRun, WithoutItsTitleResourceTheProgramEndsWithZeroAndALogLine) {
    EXPECT_EQ(gf_runMainWindow(reinterpret_cast<HINSTANCE>(0x1234)), 0);
    EXPECT_NE(logText().find("Failed to load application title\n"), std::string::npos);
    EXPECT_EQ(mainWindowHandle.load(), nullptr);
}

} // namespace
} // namespace kvr::test
