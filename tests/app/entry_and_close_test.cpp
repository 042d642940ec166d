#include "app/closing_down.h"
#include "app_fixture.h"
#include "bgl_fixtures/bgl_airports.h"
#include "core/utf.h"

#include <fmt/format.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace kvr::test {
namespace {

using namespace std::chrono_literals;

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

// The whole program on the test's thread: the window, its message loop and a run-thread pass.
class WholeRun : public MainWindowTest {
protected:
    void SetUp() override {
        registerClass = false;
        MainWindowTest::SetUp();
        previous = std::filesystem::current_path();
        std::filesystem::create_directories(folder / "program");
        std::filesystem::current_path(folder / "program");
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        standin::setProcessArguments({});
        MainWindowTest::TearDown();
    }
    // Runs the program until its loop ends; meanwhile the user closes the window once `closeWhen` holds.
    template <typename Condition> int runClosingWhen(Condition closeWhen) {
        std::atomic<bool> ended{false};
        auto user = std::async(std::launch::async, [&] {
            while (!ended && !(closeWhen() && mainWindowHandle.load()))
                std::this_thread::sleep_for(10ms);
            if (!ended)
                PostMessageW(mainWindowHandle.load(), WM_CLOSE, 0, 0);
        });
        const int code = gf_runMainWindow(GetModuleHandleW(nullptr));
        ended = true;
        user.get();
        return code;
    }
    // What the start-up reading needs: data files, a simulator install, a livery catalogue, no scans, and a
    // last visit to the service that makes every pass hold for 2 s.
    void stageProgram() {
        std::filesystem::create_directories("docs");
        std::filesystem::copy(std::filesystem::path(VANTREL_DIST_DIR) / "input", "input");
        std::filesystem::create_directories(steamPackages / "Community");
        setenv("VANTREL_DOWNLOAD_URL", "http://127.0.0.1:9", 1);
        writeParameters(
            R"(<parameter name="SCAN_LIVERIES" value="false"/><parameter name="SCAN_AIRPORTS" value="false"/>)"
            R"(<parameter name="LAST_EPOCH_TIME:" value="2147483647"/>)");
        std::filesystem::create_directories("output");
        writeFileText(
            "output/LiveriesScanned.xml",
            R"(<?xml version="1.0"?><root><meta><info name="author" value="Vantrel"/></meta><liveries>)"
            R"(<liv airl="KLM" type="B738" title="Boeing 737-800 KLM"/></liveries></root>)");
    }
    // Runs the program until its loop ends while `user` plays the user on a thread of its own.
    int runWithUser(const std::function<void()>& user) {
        auto acting = std::async(std::launch::async, user);
        const int code = gf_runMainWindow(GetModuleHandleW(nullptr));
        acting.get();
        return code;
    }
    static bool waitFor(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (!condition() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        return condition();
    }
    std::size_t logCount(const std::string& text) {
        const std::string log = logText();
        std::size_t count = 0;
        for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    }
    static void closeBox() { PostMessageW(mainWindowHandle.load(), WM_CLOSE, 0, 0); }
    // A user-aitraffic package of `files` aircraft.cfg files, one KLM livery each.
    void writeAiPackage(std::size_t files) {
        const std::filesystem::path package = steamPackages / "Community" / "user-aitraffic";
        for (std::size_t i = 0; i < files; ++i) {
            const std::filesystem::path model = package / ("model" + std::to_string(i));
            std::filesystem::create_directories(model);
            writeFileText(model / "aircraft.cfg", "[GENERAL]\nicao_type_designator = \"B738\"\n\n[FLTSIM.0]\n"
                                                  "title = \"Scanned KLM " +
                                                      std::to_string(i) + "\"\nicao_airline = \"KLM\"\n");
        }
    }

    std::filesystem::path previous;
    std::filesystem::path steamPackages = folder / "config" / "Microsoft Flight Simulator" / "Packages";
};

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

TEST_F(WholeRun, WithoutItsTitleResourceTheProgramEndsWithZeroAndALogLine) {
    EXPECT_EQ(gf_runMainWindow(reinterpret_cast<HINSTANCE>(0x1234)), 0);
    EXPECT_NE(logText().find("Failed to load application title\n"), std::string::npos);
    EXPECT_EQ(mainWindowHandle.load(), nullptr);
}

} // namespace
} // namespace kvr::test
