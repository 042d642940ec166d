// The scan driver: roots of the selected simulator, the folder walk, its tasks, the scan log and the
// generated files.
#include "airport_scan_support.h"
#include "core/file_util.h"
#include "core/native_path.h"
#include "parking/airport_scan_internal.h"
#include "parking/bgl_reader_internal.h"
#include "parking/tblo_zip.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

namespace kvr::test {
namespace {

namespace fs = std::filesystem;
using namespace fixtures;

class AirportScanDriverTest : public AirportScanTest {
protected:
    void SetUp() override {
        AirportScanTest::SetUp();
        knownAirports({"EDDF", "EGLL", "EHAM", "EHLE"});
        publisherNames = {{"FlyTampa", "flytampa-"}, {"Aerosoft", "aerosoft-"}};
        simAddonAirportCodes = {"EHAM"};
        thirdPartyAirports20 = {{"FlyTampa", {"EHAM190"}}, {"Aerosoft", {"EDDF185"}}};
        thirdPartyAirports24 = thirdPartyAirports20;
        writeDemoAddonAirports(folder / "sim");
        MSFS_INSTALL_PATH.setValue((folder / "sim").string());
        MSFS_2024_INSTALL_PATH.setValue((folder / "sim").string());
        fs::create_directories(folder / "airports/my_simaddon");
        fs::create_directories(folder / "airports/my_thirdparty");
        writeFileText(simaddonFile("OLD.xml"), "<root/>");
        writeFileText(thirdpartyFile("OLD.txt"), "archive/thirdparty/X/OLD.xml\n");
    }

    std::string scanLog() { return readFileText(folder / "output/AirportsScanLog.txt"); }

    // Walks root and gives the files it started a task for, relative to root.
    static std::set<std::string> walkStarts(const fs::path& root) {
        std::mutex startedMutex;
        std::set<std::string> started;
        AirportWalkOptions options;
        options.taskBody = [&](const fs::path& path, std::stop_token) {
            std::lock_guard lock(startedMutex);
            started.insert(path.lexically_relative(root).generic_string());
        };
        lf_scanAirportFolder(root, options);
        return started;
    }
};

TEST_F(AirportScanDriverTest, ScanUnderMsfs2020LinksGeneratesAndCollects) {
    gf_scanAddonAirports();

    EXPECT_FALSE(fs::exists(simaddonFile("OLD.xml")));
    EXPECT_FALSE(fs::exists(thirdpartyFile("OLD.txt")));
    EXPECT_EQ(readFileText(simaddonFile("EHAM.txt")), "archive/simaddon/EHAM.xml\n");
    EXPECT_EQ(readFileText(thirdpartyFile("EHAM.txt")), "archive/thirdparty/FlyTampa/EHAM.xml\n");
    EXPECT_FALSE(fs::exists(thirdpartyFile("EHAM.xml")));
    // More stands than the archived file: generated, sent for learning, and its link given up.
    EXPECT_EQ(writtenStands(thirdpartyFile("EDDF.xml")).size(), 200u);
    EXPECT_FALSE(fs::exists(thirdpartyFile("EDDF.txt")));
    EXPECT_EQ(writtenStands(thirdpartyFile("EHLE.xml")).size(), 25u);
    EXPECT_EQ(tbloCount.load(), 2);
    EXPECT_TRUE(fs::exists(tbloZipFile));

    const std::string log = scanLog();
    EXPECT_NE(log.find("Scanning for addon  airports in " + (folder / "sim" / "Official").string() + "\n"),
              std::string::npos);
    EXPECT_NE(log.find("Scanning for addon  airports in " + (folder / "sim" / "Community").string() + "\n"),
              std::string::npos);
    EXPECT_NE(log.find("===> EDDF has 200 parkpos while archived one has 185\n"), std::string::npos);
    EXPECT_NE(log.find("Generated EHLE.xml: 25 positions, of which 1 helipad\n"), std::string::npos);
    EXPECT_EQ(log.find("EHAM_objects"), std::string::npos);

    EXPECT_TRUE(airportFilesChanged);
    EXPECT_TRUE(logHas("The scan will search 2 folders\n"));
    EXPECT_TRUE(logHas("Airports scan successful\n"));
    EXPECT_TRUE(logHas("airports scan automatic  starts"));
    EXPECT_FALSE(SCAN_AIRPORTS.value());
    EXPECT_NE(readFileText(parametersFilePath).find(R"(name="SCAN_AIRPORTS" value="false")"),
              std::string::npos);
    EXPECT_TRUE(messages().empty());
}

TEST_F(AirportScanDriverTest, ScanUnderMsfs2024KeepsTheSimulatorsAddonFolder) {
    msfs2020Selected = false;
    gf_scanAddonAirports();

    EXPECT_TRUE(fs::exists(simaddonFile("OLD.xml")));
    EXPECT_FALSE(fs::exists(simaddonFile("EHAM.txt")));
    EXPECT_FALSE(fs::exists(thirdpartyFile("OLD.txt")));
    EXPECT_TRUE(fs::exists(thirdpartyFile("EHAM.txt")));
    EXPECT_FALSE(fs::exists(thirdpartyFile("EDDF.xml")));
    EXPECT_TRUE(fs::exists(thirdpartyFile("EDDF.txt")));
    EXPECT_TRUE(logHas("The scan will search 1 folder\n"));
    EXPECT_EQ(scanLog().find("Official"), std::string::npos);
}

TEST_F(AirportScanDriverTest, MissingRootsLeaveAnEmptyLogAndAWarning) {
    MSFS_INSTALL_PATH.setValue((folder / "nowhere").string());
    gf_scanAddonAirports();

    EXPECT_TRUE(logHas((folder / "nowhere" / "Official").string() + " does not exist, skipped!\n"));
    EXPECT_TRUE(logHas((folder / "nowhere" / "Community").string() + " does not exist, skipped!\n"));
    EXPECT_TRUE(fs::exists(folder / "output/AirportsScanLog.txt"));
    EXPECT_EQ(scanLog(), "");
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "Warning: Scan has not found any add-on airports");
    EXPECT_TRUE(logHas("All your third party airports are recognised"));
    EXPECT_FALSE(fs::exists(tbloDir));
    EXPECT_FALSE(SCAN_AIRPORTS.value());

    // A change found earlier in the same process still counts as the scan's result.
    gf_clearMessage();
    airportFilesChanged = true;
    gf_scanAddonAirports();
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "");
}

TEST_F(AirportScanDriverTest, WalkKeepsOutOfPackagesAndSceneryItDoesNotNeed) {
    const BglFile airport = bglFileWith({bglGridAirport("EGLL", 51.47, -0.46, 2)});
    const fs::path root = folder / "walk";
    for (const char* file :
         {"a/statics/s.bgl", "i/STATICS/S.bgl", "b/upper.BGL", "c/afcad updates/u.bgl", "d/x_heliports/h.bgl",
          "e/AIG-AITraffic/t.bgl", "f/my-aircraft-pack/k.bgl", "g/notes.txt", "h/plain.bgl"})
        writeBgl((fs::path("walk") / file).string(), airport);
    writeBgl("walk/h/objects.bgl", bglSceneryObjectsFile());
    writeBgl("walk/long/" + std::string(220, 'x') + "/deep.bgl", airport);

    EXPECT_EQ(walkStarts(root), (std::set<std::string>{"b/upper.BGL", "h/plain.bgl", "i/STATICS/S.bgl"}));
    EXPECT_EQ(activeScanTasks.load(), 0);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Scanning for addon  airports in " + root.string()}));
}

TEST_F(AirportScanDriverTest, LongPathsCountUtf16Units) {
    const std::string twoByte = "\xC3\xA9"; // one UTF-16 unit, two UTF-8 bytes
    std::string name = "/";
    for (int i = 0; i < 248; ++i)
        name += twoByte;
    EXPECT_FALSE(lf_isSkippedPackageFolder("/", gf_pathFromUtf8(name)));
    EXPECT_TRUE(lf_isSkippedPackageFolder("/", gf_pathFromUtf8(name + twoByte)));
    EXPECT_EQ(lf_utf16Length("a\xF0\x9F\x9B\xAB"), 3u);
    EXPECT_TRUE(lf_isSkippedPackageFolder("/Community", "/Community/Asobo-Tutorials-Landing/x.bgl"));
}

TEST_F(AirportScanDriverTest, SkipWordsCountOnlyBelowTheRoot) {
    const BglFile airport = bglFileWith({bglGridAirport("EGLL", 51.47, -0.46, 2)});
    const fs::path root = folder / "Discovery Sims" / "Airports and Aircraft" / "Community";
    writeBglFile(root / "pkg" / "scenery" / "a.bgl", airport);
    writeBglFile(root / "my-aircraft-pack" / "k.bgl", airport);

    EXPECT_EQ(walkStarts(root), (std::set<std::string>{"pkg/scenery/a.bgl"}));
}

TEST_F(AirportScanDriverTest, SceneryWordsCountOnlyBelowTheRoot) {
    const BglFile airport = bglFileWith({bglGridAirport("EGLL", 51.47, -0.46, 2)});
    const fs::path root = folder / "my statics" / "afcad updates" / "x_heliports" / "Community";
    writeBglFile(root / "pkg" / "scenery" / "a.bgl", airport);
    writeBglFile(root / "pkg" / "statics" / "s.bgl", airport);

    EXPECT_EQ(walkStarts(root), (std::set<std::string>{"pkg/scenery/a.bgl"}));
}

TEST_F(AirportScanDriverTest, FailedTasksCostOneLogLineEachAndAStoppedDecoderWritesNothing) {
    maxScanTasks = 1;
    const fs::path root = folder / "failing";
    for (const char* name : {"one.bgl", "two.bgl", "three.bgl"})
        writeBgl((fs::path("failing") / name).string(),
                 bglFileWith({bglGridAirport("EGLL", 51.47, -0.46, 1)}));
    AirportWalkOptions options;
    options.taskBody = [](const fs::path&, std::stop_token) { throw std::runtime_error("broken file"); };
    lf_scanAirportFolder(root, options);

    std::size_t inner = 0;
    for (const std::string& line : messages())
        if (line.starts_with("===>  airports search aborted, futs inner,\nbroken file\n2\n"))
            ++inner;
    EXPECT_EQ(inner, 2u);
    EXPECT_TRUE(
        hasMessage("===>  airports search in " + root.string() + " aborted, futs outer error: broken file"));
    EXPECT_EQ(activeScanTasks.load(), 0);

    // The decoder itself ends at its next step once asked, without writing the airport it was reading.
    std::stop_source stopped;
    stopped.request_stop();
    lf_processBGLfile(root / "one.bgl", stopped.get_token());
    EXPECT_FALSE(fs::exists(thirdpartyFile("EGLL.xml")));
    EXPECT_TRUE(
        logHas("==>    Warning: decoding of " + (root / "one.bgl").string() + " stopped before its end"));
}

TEST_F(AirportScanDriverTest, AFileStillBeingReadAfterTheWaitIsReadToItsEnd) {
    // Far more airports than the task writes within the wait, as a large file or a slow disk gives.
    maxScanTasks = 1;
    std::vector<std::string> codes;
    std::vector<BglRecord> airports;
    for (std::size_t i = 0; i < 400; ++i) {
        codes.push_back(bulkAirportCode(i));
        airports.emplace_back(bglGridAirport(codes.back(), 30.0 + 0.01 * static_cast<double>(i), -100.0, 1));
    }
    knownAirports(codes);
    const fs::path file =
        writeBgl((fs::path("slow") / "many.bgl").string(), bglFileWith(std::move(airports)));
    AirportWalkOptions options;
    options.resultWait = std::chrono::milliseconds(1);
    lf_scanAirportFolder(folder / "slow", options);
    EXPECT_TRUE(hasMessage("===> " + file.string() +
                           " is still being read after 0.001 seconds, the scan waits for it"));
    EXPECT_EQ(
        std::count_if(codes.begin(), codes.end(),
                      [&](const std::string& code) { return fs::exists(thirdpartyFile(code + ".xml")); }),
        400);
    EXPECT_EQ(activeScanTasks.load(), 0);
}

TEST_F(AirportScanDriverTest, StopRequestEndsTheWalkAndAwaitsStartedTasks) {
    maxScanTasks = 1;
    for (int i = 0; i < 12; ++i)
        writeBgl(fmt::format("stop/{}.bgl", i), bglFileWith({bglGridAirport("EGLL", 51.47, -0.46, 1)}));
    std::atomic<int> ran{0};
    std::atomic<int> finished{0};
    AirportWalkOptions options;
    options.taskBody = [&](const fs::path&, std::stop_token) {
        ++ran;
        stopRequested = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ++finished;
    };
    lf_scanAirportFolder(folder / "stop", options);
    EXPECT_GE(ran.load(), 1);
    EXPECT_LE(ran.load(), 2);
    EXPECT_EQ(finished.load(), ran.load());
}

TEST_F(AirportScanDriverTest, GeneratedFilesAreReportedSortedAndPlacedByPublisher) {
    ApfRecord record;
    record.code = "EGLL";
    lf_generatePositionFile(record, 1);
    EXPECT_TRUE(messages().empty());

    for (const char* id : {"g2", "B1", "g10"})
        record.stands.emplace_back(id, std::vector<StandOption>{}, StandPlacement{51.47, -0.46, 1.0}, 20.0,
                                   false, false, false);
    lf_generatePositionFile(record, 1);
    EXPECT_TRUE(hasMessage("Generated EGLL.xml: 3 positions"));
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(thirdpartyFile("EGLL.xml").c_str()));
    std::vector<std::string> order;
    for (pugi::xml_node parkpos : doc.child("root").child("parkpositions").children("parkpos"))
        order.emplace_back(parkpos.attribute("id").value());
    EXPECT_EQ(order, (std::vector<std::string>{"B1", "g10", "g2"}));
    record.stands.erase(record.stands.begin() + 1, record.stands.end());
    lf_generatePositionFile(record, 1);
    EXPECT_TRUE(hasMessage("Generated EGLL.xml: 1 position"));

    while (record.stands.size() < 12)
        record.stands.push_back(record.stands.front());
    record.publisher = "simaddon";
    record.bglPath = "D:/MSFS/Community/pkg/scenery/EGLL.bgl";
    lf_generatePositionFile(record, 3);
    EXPECT_TRUE(hasMessage("Generated EGLL.xml: 12 positions, of which 2 helipads"));
    EXPECT_EQ(record.bglPath, "Community/pkg/scenery/EGLL.bgl");
    EXPECT_EQ(writtenStands(simaddonFile("EGLL.xml")).size(), 1u);
    EXPECT_EQ(lf_findCommunityFolder("D:/community/x.bgl"), "D:/community/x.bgl");
}

} // namespace
} // namespace kvr::test
