#include "core/message_line.h"
#include "core/shared_state.h"
#include "core/user_error.h"
#include "liveries/aircraft_cfg_reader_internal.h"
#include "liveries/livery_scan_internal.h"
#include "liveries/scan_reports_internal.h"
#include "livery_fixtures/bulk_tree.h"
#include "livery_fixtures/cfg_text.h"
#include "livery_fixtures/demo_packages.h"
#include "livery_scan_test_support.h"
#include "settings/ai_package_orders.h"
#include "settings/control_services.h"
#include "support/folder_link.h"

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <chrono>
#include <future>
#include <thread>

namespace kvr {
namespace {

namespace fs = std::filesystem;
using namespace fixtures;
using test::FolderLinks;

// Records what the scan does to the package selector's combo box.
class RecordingControlPort : public ControlPort {
public:
    void showControlNumber(NumParameter&) override {}
    void showControlText(StringParameter&) override {}
    void setCheckMark(CheckBoxParameter&, bool) override {}
    void enableControl(WindowControl& control, bool enabled) override {
        if (&control == static_cast<WindowControl*>(&AI_PACKAGE_SELECTOR))
            selectorEnabled = enabled;
    }
    bool isControlEnabled(const WindowControl&) override { return true; }
    void selectComboIndex(WindowControl&, int) override {}
    void invalidateControlsArea() override {}
    bool selectorEnabled = true;
};

class LiveryScanDriverTest : public test::LiveryScanTest {
protected:
    void SetUp() override {
        LiveryScanTest::SetUp();
        gf_installControlPort(&port);
        maxScanTasks.store(4);
        msfs2020Selected.store(true);
        lf_loadParameters();
    }
    void TearDown() override {
        gf_installControlPort(nullptr);
        gf_installLiveryScanShellActions({});
        LiveryScanTest::TearDown();
    }

    // One aircraft.cfg of the type with one livery per title, all of the airline.
    fs::path writeCfg(const fs::path& modelFolder, const std::string& type, const std::string& airline,
                      const std::vector<std::string>& titles, CfgEncoding encoding = CfgEncoding::utf8) {
        AircraftCfg cfg;
        cfg.icaoType = type;
        for (const std::string& title : titles)
            cfg.sections.push_back({title, airline, "", "GATE", "T", {}});
        writeCfgFile(modelFolder / "aircraft.cfg", aircraftCfgText(cfg), encoding);
        return modelFolder / "aircraft.cfg";
    }

    // The liveries of the written catalogue as "airl type title".
    std::vector<std::string> catalogue() {
        pugi::xml_document doc;
        std::vector<std::string> rows;
        if (!doc.load_file(liveryPaths.liveriesScanned.c_str()))
            return rows;
        for (const pugi::xml_node liv : doc.child("root").child("liveries").children("liv"))
            rows.push_back(std::string(liv.attribute("airl").value()) + " " + liv.attribute("type").value() +
                           " " + liv.attribute("title").value());
        return rows;
    }

    int scanError() {
        try {
            gf_scanLiveries();
        } catch (const UserErrorException& error) {
            lastErrorText = error.what();
            return error.code();
        }
        return 0;
    }

    static void loadDemoReferenceData() {
        for (const FleetLivery& livery : demoFleet()) {
            aircraftTypeSet.insert(livery.type);
            if (!livery.airline.empty())
                icaoAirlineSet.insert(livery.airline);
        }
        for (const char* heavy : {"B744", "B748", "B77L", "MD11", "A388", "B772", "B77W", "B789", "B78X",
                                  "A332", "A333", "A359", "B764", "B763", "B788"})
            aircraftTables.types[heavy].category = AircraftCategory::heavy;
    }

    RecordingControlPort port;
    std::string lastErrorText;
};

TEST_F(LiveryScanDriverTest, PackagesAreTakenInTheSelectedOrderWithUserTrafficLast) {
    const fs::path community = folder / "Community";
    for (const char* name : {"aig-aitraffic-oci-beta", "justflight-fstraffic-module", "IVAO_MTL_v2",
                             "user-aitraffic", "fsltl-traffic-base_CVT_", "airport-eham"})
        fs::create_directories(community / name);
    AI_PACKAGE_SELECTOR.setValue("MTL, JF");
    LiveryFolders folders;
    lf_autoScanSelectedPackages(community, folders);
    EXPECT_EQ(folders, (LiveryFolders{community / "IVAO_MTL_v2", community / "justflight-fstraffic-module",
                                      community / "user-aitraffic"}));
    EXPECT_NE(logText().find("Automatic IVAO_MTL scan found folder: '" +
                             (community / "IVAO_MTL_v2").string() + "'"),
              std::string::npos);

    folders.clear();
    AI_PACKAGE_SELECTOR.setValue(aiPackageOrders().front().choiceText);
    lf_autoScanSelectedPackages(community, folders);
    EXPECT_EQ(folders.size(), 4u) << "the converted FSLTL copy is never taken";

    AI_PACKAGE_SELECTOR.setValue("MTL,JF");
    try {
        lf_autoScanSelectedPackages(community, folders);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "AI_PACKAGE_SELECTOR not set");
    }
}

TEST_F(LiveryScanDriverTest, OnlyTheFirstMatchingEntryInListingOrderIsTaken) {
    const fs::path community = folder / "Community";
    fs::create_directories(community / "aig-aitraffic-oci");
    fs::create_directories(community / "my-aig-aitraffic-oci-copy");
    const fs::path first = fs::directory_iterator(community)->path();
    LiveryFolders folders;
    lf_autoScanAig(community, folders);
    EXPECT_EQ(folders, LiveryFolders{first});
    EXPECT_THROW(lf_autoScanAig(folder / "none", folders), fs::filesystem_error);
}

TEST_F(LiveryScanDriverTest, ManualFolderThatDoesNotExistStopsTheScanBeforeItStarts) {
    LIG_AUTOMATIC.setValue(false);
    fs::create_directories(folder / "liveries");
    lfolder0.setValue((folder / "liveries").string());
    lfolder2.setValue((folder / "gone").string());
    test::writeFileText(liveryPaths.liveriesScanned, "previous");
    EXPECT_EQ(scanError(), 243);
    EXPECT_EQ(lastErrorText, "243: the path pointed to by parameter 'lfolder2' does not exist, see Log.txt!");
    EXPECT_NE(logText().find("==> lfolder2: '" + (folder / "gone").string() + "' does not exist"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(liveryPaths.liveriesScanned));
    EXPECT_FALSE(port.selectorEnabled);
}

TEST_F(LiveryScanDriverTest, ManualModeWithoutFoldersShowsWhereToSetThem) {
    LIG_AUTOMATIC.setValue(false);
    std::vector<std::string> opened;
    gf_installLiveryScanShellActions(
        {[&] { opened.push_back("manual"); }, [&] { opened.push_back("parameters"); }});
    EXPECT_EQ(scanError(), 48);
    EXPECT_EQ(
        lastErrorText,
        "48: Exit Vantrel first!   Then set one or more lfolder parameters to your liveries, see Manual 5.2");
    EXPECT_EQ(opened, (std::vector<std::string>{"manual", "parameters"}));
    EXPECT_FALSE(port.selectorEnabled);
}

TEST_F(LiveryScanDriverTest, ScansThatFindNothing) {
    EXPECT_EQ(scanError(), 43) << "no simulator path";
    EXPECT_TRUE(port.selectorEnabled);
    MSFS_INSTALL_PATH.setValue((folder / "sim").string());
    fs::create_directories(folder / "sim" / "Community" / "unrelated");
    EXPECT_EQ(scanError(), 43) << "no AI package";

    fs::create_directories(folder / "sim" / "Community" / "user-aitraffic" / "empty");
    port.selectorEnabled = false;
    EXPECT_EQ(scanError(), 143);
    EXPECT_TRUE(port.selectorEnabled);
    EXPECT_TRUE(SCAN_LIVERIES.value()) << "the next start scans again";
    EXPECT_NE(
        logText().find("No liveries found in " + (folder / "sim" / "Community" / "user-aitraffic").string()),
        std::string::npos);

    LIG_AUTOMATIC.setValue(false);
    lfolder5.setValue((folder / "sim" / "Community" / "user-aitraffic").string());
    port.selectorEnabled = false;
    EXPECT_EQ(scanError(), 53);
    EXPECT_EQ(lastErrorText, "53: no liveries found");
    EXPECT_FALSE(port.selectorEnabled);
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "Scanning prioritized for liveries ...");
}

TEST_F(LiveryScanDriverTest, DemoCommunityScansIntoTheWholeFleet) {
    loadDemoReferenceData();
    msfs2020Selected.store(false);
    MSFS_2024_INSTALL_PATH.setValue((folder / "sim24").string());
    const PackageSetSummary written = writeDemoCommunity(folder / "sim24" / "Community");
    ASSERT_EQ(scanError(), 0) << lastErrorText;

    const std::vector<std::string> rows = catalogue();
    EXPECT_EQ(rows.size(), written.liveries);
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
    for (const char* row :
         {"KLM B738 AIG B738 KLM PH-BXA", "DLH A321 AIG A321 DLH D-AIDA Köln",
          "CLX B748 JF B748 CLX LX-VCA Cité de Luxembourg", "RYR B738 B738W RYR EI-DAC",
          "PVT EC35 EC35 PH-HLA", "ZZZ B738 AIG B738 House Colours", "TRA B38M FSLTL B38M TRA"})
        EXPECT_TRUE(contains(rows, row)) << row;

    EXPECT_FALSE(SCAN_LIVERIES.value());
    pugi::xml_document parameters;
    ASSERT_TRUE(parameters.load_file(parametersFilePath.c_str()));
    bool saved = false;
    for (const pugi::xml_node p : parameters.child("root").child("parameters").children("parameter"))
        if (std::string(p.attribute("name").value()) == "SCAN_LIVERIES")
            saved = std::string(p.attribute("value").value()) == "false";
    EXPECT_TRUE(saved);
    EXPECT_TRUE(port.selectorEnabled);
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "");

    const std::string log = logText();
    EXPECT_NE(log.find("liveries scan automatic starts"), std::string::npos);
    EXPECT_NE(log.find(fmt::format("{} in total", written.liveries)), std::string::npos);
    // General aviation names no airline, which the report counts although the scan settles on PVT.
    const auto privateLiveries =
        std::count_if(demoFleet().begin(), demoFleet().end(),
                      [](const FleetLivery& livery) { return livery.airline.empty(); });
    EXPECT_NE(log.find(fmt::format("\nErrors:\n{} incomplete [fltsim.x] sections", privateLiveries)),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("liveries scan ends"), std::string::npos);
    EXPECT_EQ(liveryTitleSet.size(), 0u) << "the scan's state is cleared at its end";
}

TEST_F(LiveryScanDriverTest, LowerFoldersHavePriorityPerAirlineAndType) {
    const fs::path a = folder / "a", b = folder / "b", c = folder / "c";
    writeCfg(a / "m", "B738", "KLM", {"KLM one"});
    writeCfg(b / "m", "A320", "BAW", {"BAW one"});
    writeCfg(c / "m1", "B738", "KLM", {"KLM three"});
    writeCfg(c / "m2", "A320", "KLM", {"KLM A320 three"});
    ASSERT_EQ(lf_scanLiveryFolders({a, b, c}), LiveryScanEnd::saved);
    EXPECT_EQ(catalogue(),
              (std::vector<std::string>{"BAW A320 BAW one", "KLM A320 KLM A320 three", "KLM B738 KLM one"}));

    LIG_PRIORITIZE.setValue(false);
    resetScanState();
    ASSERT_EQ(lf_scanLiveryFolders({a, b, c}), LiveryScanEnd::saved);
    EXPECT_EQ(catalogue().size(), 4u);
}

TEST_F(LiveryScanDriverTest, EveryEncodingScansIntoTheSameCatalogue) {
    AircraftCfg cfg;
    cfg.icaoType = "A320";
    cfg.sections.push_back({"Lufthansa Köln – Zürich", "DLH", "D-AIZA", "GATE", "T", {}});
    cfg.sections.push_back({"British Airways ‘Chelsea’", "BAW", "G-EUUA", "GATE", "T", {}});
    std::vector<std::string> first;
    for (CfgEncoding encoding : allCfgEncodings)
        for (LineEnd lineEnd : {LineEnd::lf, LineEnd::crlf}) {
            resetScanState();
            const fs::path package =
                folder / fmt::format("{}-{}", encodingName(encoding), static_cast<int>(lineEnd));
            writeCfgFile(package / "m" / "aircraft.cfg", aircraftCfgText(cfg), encoding, lineEnd);
            ASSERT_EQ(lf_scanLiveryFolders({package}), LiveryScanEnd::saved);
            const std::vector<std::string> rows = catalogue();
            if (first.empty())
                first = rows;
            EXPECT_EQ(rows, first) << encodingName(encoding);
        }
    EXPECT_EQ(first, (std::vector<std::string>{"BAW A320 British Airways ‘Chelsea’",
                                               "DLH A320 Lufthansa Köln – Zürich"}));
    EXPECT_EQ(logText().find(" in total"), std::string::npos) << "one folder has no total";
}

TEST_F(LiveryScanDriverTest, FolderNumbersCountOnlyFoldersAndStopAtTen) {
    LiveryFolders folders{folder / "not-a-folder.txt", folder / "missing"};
    test::writeFileText(folders.front(), "x");
    for (int i = 1; i <= 11; ++i) {
        folders.push_back(folder / fmt::format("f{:02}", i));
        fs::create_directories(folders.back());
    }
    writeCfg(folders[2 + 8] / "m", "B738", "KLM", {"ninth"});
    writeCfg(folders[2 + 9] / "m", "B738", "KLM", {"tenth"});
    writeCfg(folders[2 + 10] / "m", "A320", "KLM", {"eleventh a"});
    writeCfg(folders[2 + 9] / "n", "A320", "KLM", {"tenth a"});
    ASSERT_EQ(lf_scanLiveryFolders(folders), LiveryScanEnd::saved);
    EXPECT_EQ(catalogue(),
              (std::vector<std::string>{"KLM A320 eleventh a", "KLM A320 tenth a", "KLM B738 ninth"}));
    const std::string log = logText();
    EXPECT_NE(log.find(folders[0].string() + " is not a folder name, skipped!"), std::string::npos);
    EXPECT_NE(log.find(folders[1].string() + " does not exist, skipped!"), std::string::npos);
    EXPECT_NE(log.find("2 liveries found in " + folders[11].string()), std::string::npos);
    EXPECT_NE(log.find("1 liverie found in " + folders[12].string()), std::string::npos);
    EXPECT_NE(log.find("4 in total"), std::string::npos);
}

TEST_F(LiveryScanDriverTest, WalkSkipsSceneryAndLongPathsButReadsTheFolderItself) {
    const fs::path scenery = folder / "my-airport-pack";
    writeCfg(scenery, "B738", "KLM", {"direct"});
    writeCfg(scenery / "sub", "B738", "KLM", {"below"});
    writeCfg(folder / "pkg" / "inibuilds-a310" / "m", "B738", "KLM", {"add-on"});
    const fs::path deep = folder / "pkg" / "deep";
    const std::size_t room = 249 - (deep.string().size() + 1);
    writeCfg(deep / std::string(room, 'd'), "B738", "KLM", {"249 bytes"});
    writeCfg(deep / std::string(room + 1, 'e'), "B738", "KLM", {"250 bytes"});
    writeCfg(folder / "pkg" / "odd" / "AIRCRAFT.CFG", "B738", "KLM", {"upper case"});
    test::writeFileText(folder / "pkg" / "odd" / "aircraft.cfg.bak", "[fltsim.0]\ntitle=backup\n");

    lf_searchLiveriesinFolder(1, scenery);
    lf_searchLiveriesinFolder(2, folder / "pkg");
    std::vector<std::string> titles;
    for (const LiveryData& livery : scannedLiveries)
        titles.push_back(livery.title);
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles, (std::vector<std::string>{"249 bytes", "direct", "upper case"}));
    EXPECT_TRUE(lf_isAircraftCfgName("Aircraft.Cfg"));
    EXPECT_FALSE(lf_isAircraftCfgName("myaircraft.cfg"));
}

TEST_F(LiveryScanDriverTest, SkipWordsCountFromTheScannedFolderDown) {
    // "airport" above the scanned folder is the user's own; in the scanned folder's name it counts.
    const fs::path community = folder / "my airports" / "Community";
    writeCfg(community / "user-aitraffic" / "SimObjects" / "m", "B738", "KLM", {"below"});
    writeCfg(folder / "airport-ai" / "SimObjects" / "m", "B738", "KLM", {"in airport-ai"});
    lf_searchLiveriesinFolder(1, community);
    lf_searchLiveriesinFolder(2, folder / "airport-ai");
    ASSERT_EQ(scannedLiveries.size(), 1u);
    EXPECT_EQ(scannedLiveries.front().title, "below");
}

TEST_F(LiveryScanDriverTest, LinkedPackagesAreWalkedLikeRealOnesAndALoopOnce) {
    const fs::path package = folder / "store" / "fsltl-traffic-base";
    writeCfg(package / "SimObjects" / "m", "B738", "KLM", {"linked"});
    FolderLinks links;
    links.make(package, package / "SimObjects" / "m" / "back-to-the-package");
    fs::create_directories(folder / "Community");
    links.make(package, folder / "Community" / "fsltl-traffic-base");

    ASSERT_EQ(lf_scanLiveryFolders({folder / "Community"}), LiveryScanEnd::saved);
    EXPECT_EQ(catalogue(), std::vector<std::string>{"KLM B738 linked"});
    // A second reading of the file would report its title as taken.
    EXPECT_NE(logText().find("\nNo errors\n"), std::string::npos) << logText();
}

TEST_F(LiveryScanDriverTest, EveryScanStartsFromEmptyTitlesAndReports) {
    // A scan cut short by a stop leaves the titles its walk claimed and its report lines.
    const fs::path package = folder / "pkg";
    writeCfg(package / "m", "B738", "KLM", {"one", "two"});
    lf_searchLiveriesinFolder(1, package);
    lf_addIncompleteSection("left behind");
    scannedLiveries.clear();

    ASSERT_EQ(lf_scanLiveryFolders({package}), LiveryScanEnd::saved);
    EXPECT_EQ(catalogue(), (std::vector<std::string>{"KLM B738 one", "KLM B738 two"}));
    EXPECT_FALSE(fs::exists(lf_scanReportPaths().incompleteSections));
}

TEST_F(LiveryScanDriverTest, LiveriesOfEachFileStayTogetherInWalkOrder) {
    for (int i = 0; i < 12; ++i)
        writeCfg(folder / "pkg" / fmt::format("m{}", i), "B738", "KLM",
                 {fmt::format("{} a", i), fmt::format("{} b", i), fmt::format("{} c", i)});
    std::vector<std::string> walkOrder;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder / "pkg"))
        if (entry.path().filename() == "aircraft.cfg")
            walkOrder.push_back(entry.path().parent_path().filename().string().substr(1));
    maxScanTasks.store(3);
    FolderWalkOptions options;
    options.taskBody = [](std::uint32_t number, const fs::path& path) {
        // Later files finish first.
        std::this_thread::sleep_for(std::chrono::milliseconds(path.string().back() == '0' ? 30 : 1));
        return lf_searchLiveriesinFile(number, path);
    };
    lf_searchLiveriesinFolder(1, folder / "pkg", options);
    std::vector<std::string> expected;
    for (const std::string& file : walkOrder)
        for (const char* letter : {" a", " b", " c"})
            expected.push_back(file + letter);
    std::vector<std::string> titles;
    for (const LiveryData& livery : scannedLiveries)
        titles.push_back(livery.title);
    EXPECT_EQ(titles, expected);
    EXPECT_EQ(activeScanTasks.load(), 0);
}

TEST_F(LiveryScanDriverTest, LateAndFailingTasksCostOnlyTheirOwnFile) {
    for (const char* name : {"m1", "m2", "m3", "m4"})
        writeCfg(folder / "pkg" / name, "B738", "KLM", {name});
    std::vector<fs::path> walkOrder;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder / "pkg"))
        if (entry.path().filename() == "aircraft.cfg")
            walkOrder.push_back(entry.path());
    maxScanTasks.store(2);
    FolderWalkOptions options;
    options.resultWait = std::chrono::milliseconds(50);
    options.taskBody = [&](std::uint32_t number, const fs::path& path) {
        if (path == walkOrder[0])
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
        if (path == walkOrder[3])
            throw std::runtime_error("broken file");
        return lf_searchLiveriesinFile(number, path);
    };
    lf_searchLiveriesinFolder(1, folder / "pkg", options);
    std::vector<std::string> titles;
    for (const LiveryData& livery : scannedLiveries)
        titles.push_back(livery.title);
    EXPECT_EQ(titles, (std::vector<std::string>{walkOrder[1].parent_path().filename().string(),
                                                walkOrder[2].parent_path().filename().string()}));
    const std::string log = logText();
    EXPECT_NE(log.find("==> liveries inner search aborted: Future wait timed out after 10 seconds"),
              std::string::npos);
    EXPECT_NE(log.find("==> liveries inner search aborted: broken file"), std::string::npos);
    EXPECT_EQ(activeScanTasks.load(), 0) << "every task gives its slot back";
}

TEST_F(LiveryScanDriverTest, ResultLateAfterTheWalkEndsTheCollection) {
    writeCfg(folder / "pkg" / "slow", "B738", "KLM", {"slow"});
    FolderWalkOptions options;
    options.resultWait = std::chrono::milliseconds(20);
    options.taskBody = [](std::uint32_t number, const fs::path& path) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return lf_searchLiveriesinFile(number, path);
    };
    lf_searchLiveriesinFolder(1, folder / "pkg", options);
    EXPECT_TRUE(scannedLiveries.empty());
    EXPECT_NE(
        logText().find("==> liveries search aborted, futs outer, Future wait timed out after 10 seconds"),
        std::string::npos);
}

TEST_F(LiveryScanDriverTest, SameCatalogueWithOneTaskAsWithMany) {
    loadDemoReferenceData();
    const BulkTreeSummary tree = writeBulkTree(folder / "bulk", {300, 4, 11, false});
    const auto scanWith = [&](int tasks) {
        resetScanState();
        maxScanTasks.store(tasks);
        EXPECT_EQ(lf_scanLiveryFolders({folder / "bulk" / "bulk-aitraffic"}), LiveryScanEnd::saved);
        return std::pair{catalogue(), fileLines(lf_scanReportPaths().incompleteSections)};
    };
    const auto single = scanWith(1);
    const auto many = scanWith(8);
    EXPECT_EQ(single.first.size() + 3, tree.sections) << "three titles repeat one of the file before";
    EXPECT_EQ(single, many);
    EXPECT_EQ(single.second.size(), 3u);
}

TEST_F(LiveryScanDriverTest, AWalkStoppedHalfWaySaysSoInsteadOfAPartialCount) {
    writeBulkTree(folder / "bulk", {500, 1, 1, false});
    auto closing = std::async(std::launch::async, [] {
        while (liveryTitleSet.size() == 0)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        gf_requestExit(ExitReason::userClosedSim, 0);
    });
    EXPECT_EQ(lf_scanLiveryFolders({folder / "bulk"}), LiveryScanEnd::stopped);
    closing.get();
    const std::string log = logText();
    EXPECT_NE(log.find("Liveries scan of " + (folder / "bulk").string() + " cut short by a stop\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find(" found in "), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(liveryPaths.liveriesScanned));
}

TEST_F(LiveryScanDriverTest, StopBeforeTheScanKeepsEverythingAndTheSettingOn) {
    MSFS_INSTALL_PATH.setValue((folder / "sim").string());
    writeCfg(folder / "sim" / "Community" / "user-aitraffic" / "m", "B738", "KLM", {"x"});
    test::writeFileText(liveryPaths.liveriesScanned, "previous");
    gf_requestExit(ExitReason::userClosedSim, 0);
    EXPECT_EQ(scanError(), 0);
    EXPECT_EQ(test::readFileText(liveryPaths.liveriesScanned), "previous");
    EXPECT_TRUE(SCAN_LIVERIES.value());
    EXPECT_TRUE(port.selectorEnabled);
}

} // namespace
} // namespace kvr
