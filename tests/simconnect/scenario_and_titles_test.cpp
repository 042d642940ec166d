#include "platform/simconnect/installed_titles.h"
#include "platform/simconnect/sim_scenario.h"
#include "platform/simconnect/simulated_simulator.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kvr::simsim {
namespace {

const char* fullScenario = R"({
  "simulator": {"kind": "MSFS 2024", "version": "12.1.5.7", "startsAfterSeconds": 3,
                "flightStartsAfterSeconds": 8, "creationDelaySeconds": 0.25},
  "utcStart": "2025-06-14T09:30:00Z",
  "install": {"packagesFolder": "packages", "titles": ["Extra Title"]},
  "userAircraft": {"title": "User", "atcModel": "A20N", "wingspanFt": 117.5, "latitude": 52.3, "longitude": 4.76,
                   "headingDeg": 180, "route": [{"holdSeconds": 5},
                                                {"latitude": 52.31, "longitude": 4.77, "speedKt": 12, "onGround": true}]},
  "timeline": [{"atSeconds": 90, "event": "quit"},
               {"atSeconds": 30, "event": "teleport", "latitude": 51.47, "longitude": -0.45},
               {"atSeconds": 40, "event": "aircraftLoaded"}]
})";

TEST(SimulatorScenario, ReadsEveryPartAndSortsTheTimeline) {
    const Scenario scenario = parseScenario(fullScenario, "/base");
    EXPECT_EQ(scenario.kind, "MSFS 2024");
    EXPECT_EQ(scenario.applicationName, "SunRise");
    EXPECT_EQ(scenario.version, (std::array<std::uint32_t, 4>{12, 1, 5, 7}));
    EXPECT_EQ(scenario.startsAfterSeconds, 3);
    EXPECT_EQ(scenario.flightStartsAfterSeconds, 8);
    EXPECT_EQ(scenario.creationDelaySeconds, 0.25);
    EXPECT_EQ(scenario.utcStartEpoch, 1749893400);
    EXPECT_EQ(scenario.packagesFolder, std::filesystem::path("/base/packages"));
    EXPECT_EQ(scenario.extraTitles, std::vector<std::string>{"Extra Title"});
    EXPECT_EQ(scenario.user.atcModel, "A20N");
    ASSERT_EQ(scenario.user.route.size(), 2u);
    EXPECT_EQ(scenario.user.route[0].holdSeconds, 5);
    EXPECT_EQ(scenario.user.route[1].speedKt, 12);
    EXPECT_FALSE(scenario.user.route[1].altitudeFt);
    ASSERT_EQ(scenario.timeline.size(), 3u);
    EXPECT_EQ(scenario.timeline[0].kind, TimelineKind::teleport);
    EXPECT_EQ(scenario.timeline[1].kind, TimelineKind::aircraftLoaded);
    EXPECT_FALSE(scenario.timeline[1].fileName.empty());
    EXPECT_EQ(scenario.timeline[2].kind, TimelineKind::quit);
}

TEST(SimulatorScenario, MistakesAreNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"[1]", "top level"},
        {"{", "not valid JSON"},
        {R"({"simulator": {"kind": "FSX"}, "userAircraft": {}})", "neither MSFS 2020 nor MSFS 2024"},
        {R"({"userAircraft": {"title": "T", "latitude": 95, "longitude": 0}})", "outside the earth"},
        {R"({"userAircraft": {"title": "T", "latitude": "52", "longitude": 0}})",
         "userAircraft.latitude must be a number"},
        {R"({"userAircraft": {"latitude": 52, "longitude": 4}})", "userAircraft.title is missing"},
        {R"({"simulator": {"version": "1.2.3"}, "userAircraft": {"title": "T", "latitude": 52, "longitude": 4}})",
         "not of the form a.b.c.d"},
        {R"({"utcStart": "2025-13-01T00:00:00Z", "userAircraft": {"title": "T", "latitude": 52, "longitude": 4}})",
         "utcStart"},
        {R"({"userAircraft": {"title": "T", "latitude": 52, "longitude": 4,
             "route": [{"latitude": 52, "longitude": 4, "speedKt": 0}]}})",
         "route[0].speedKt must be above 0"},
        {R"({"userAircraft": {"title": "T", "latitude": 52, "longitude": 4},
             "timeline": [{"atSeconds": 3, "event": "explode"}]})",
         "timeline[0].event 'explode' is unknown"},
        {R"({"simulator": {"startsAfterSeconds": 10, "flightStartsAfterSeconds": 5},
             "userAircraft": {"title": "T", "latitude": 52, "longitude": 4}})",
         "cannot start before"},
    };
    for (const auto& [text, expected] : cases) {
        try {
            parseScenario(text, ".", "case.json");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(expected), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find("scenario case.json"), std::string::npos);
        }
    }
}

TEST(SimulatorScenario, UtcTimesAndMissingFile) {
    EXPECT_EQ(parseUtcTime("1970-01-01T00:00:00Z"), 0);
    EXPECT_EQ(parseUtcTime("2000-03-01T00:00:01Z"), 951868801);
    EXPECT_FALSE(parseUtcTime("2025-06-14 09:30:00Z"));
    EXPECT_FALSE(parseUtcTime("2025-06-14T09:30:00"));
    EXPECT_FALSE(parseUtcTime("2025-06-14T24:00:00Z"));
    EXPECT_THROW(loadScenarioFile("/nonexistent/scenario.json"), std::runtime_error);
}

TEST(SimulatorScenario, TheShippedScenariosReadAndTheDemoTaxisFromItsStand) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VANTREL_SCENARIO_DIR)) {
        if (entry.path().extension() != ".json")
            continue;
        ++count;
        EXPECT_NO_THROW(loadScenarioFile(entry.path())) << entry.path();
    }
    EXPECT_GE(count, 1);

    Scenario demo = loadScenarioFile(std::filesystem::path(VANTREL_SCENARIO_DIR) / "eham_stand_taxi.json");
    demo.extraTitles.clear();
    demo.packagesFolder = std::filesystem::path("/nonexistent");
    SimulatedSimulator sim(demo);
    sim.advanceSeconds(100);
    EXPECT_DOUBLE_EQ(sim.userAircraft().latitude, 52.30860) << "parked at its stand";
    sim.advanceSeconds(40); // the pushback: tail first
    const SimObjectState pushed = sim.userAircraft();
    EXPECT_LT(pushed.latitude, 52.30860);
    EXPECT_NEAR(pushed.headingDeg, 45, 25) << "the nose still points to the stand";
    sim.advanceSeconds(200);
    const SimObjectState taxied = sim.userAircraft();
    EXPECT_NEAR(taxied.latitude, 52.30540, 1e-6);
    EXPECT_DOUBLE_EQ(taxied.groundSpeedKt, 0);

    const Scenario busy =
        loadScenarioFile(std::filesystem::path(VANTREL_SCENARIO_DIR) / "eham_stand_taxi_busy.json");
    EXPECT_DOUBLE_EQ(busy.recognitionDelaySeconds, 2);
    EXPECT_TRUE(busy.copyCallsigns);
    ASSERT_EQ(busy.simulatorTraffic.size(), 4u);
    EXPECT_EQ(busy.simulatorTraffic[2].atcId, "PH-BXA");
    EXPECT_EQ(busy.simulatorTraffic[3].kind, "ground") << "sorted by the time they appear";
    EXPECT_DOUBLE_EQ(busy.simulatorTraffic[3].appearsAtSeconds, 30);
    EXPECT_DOUBLE_EQ(busy.lateFailureShare, 0);
    EXPECT_THROW(parseScenario(R"({"simulator": {"lateFailures": {"share": 0.1, "exceptions": [22]}},
                                   "userAircraft": {"title": "U", "latitude": 1, "longitude": 2}})",
                               "."),
                 std::runtime_error)
        << "late failures are 33 to 37";
}

TEST(InstalledTitles, ReadsEveryEncodingQuotesAndComments) {
    test::TempFolder folder;
    const auto community = folder.path() / "Community";
    std::filesystem::create_directories(community / "pkg-a" / "SimObjects" / "Airplanes" / "b738");
    std::filesystem::create_directories(community / "pkg-b" / "x");
    test::writeFileText(community / "pkg-a" / "SimObjects" / "Airplanes" / "b738" / "aircraft.cfg",
                        "\xEF\xBB\xBF[FLTSIM.0]\r\ntitle = \"Boeing 737-800 KLM; winglets\" ; the first\r\n"
                        "atc_id = PH-BXA\r\n[FLTSIM.1]\r\nTitle=Boeing 737-800 Transavia // second\r\n"
                        "title_alt = not this one\r\ntitle =\r\n");
    // UTF-16 little endian with a byte order mark and a letter outside ASCII.
    const std::u16string utf16 = u"\uFEFF[fltsim.0]\r\ntitle=A320 \u00c9quipe\r\n";
    std::string bytes;
    for (char16_t unit : utf16) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    test::writeFileText(community / "pkg-b" / "x" / "Aircraft.CFG", bytes);
    test::writeFileText(community / "pkg-b" / "x" / "aircraft.cfg.bak", "title=Ignored\n");

    EXPECT_EQ(
        readAircraftCfgTitles(community / "pkg-a" / "SimObjects" / "Airplanes" / "b738" / "aircraft.cfg"),
        (std::vector<std::string>{"Boeing 737-800 KLM; winglets", "Boeing 737-800 Transavia"}));
    auto all = readTitlesBelow(community);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, (std::vector<std::string>{"A320 \xC3\x89quipe", "Boeing 737-800 KLM; winglets",
                                             "Boeing 737-800 Transavia"}));
    EXPECT_TRUE(readTitlesBelow(folder.path() / "missing").empty());

    Scenario scenario;
    scenario.packagesFolder = folder.path();
    scenario.user.title = "User";
    const SimulatedSimulator sim(scenario);
    EXPECT_TRUE(sim.isInstalled("Boeing 737-800 Transavia"));
    EXPECT_FALSE(sim.isInstalled("boeing 737-800 transavia")) << "container titles are case-sensitive";
    EXPECT_FALSE(sim.isInstalled("Ignored"));
}

TEST(InstalledTitles, PackagesFolderFromUserCfgStoreBeforeSteam) {
    test::TempFolder folder;
    setenv("XDG_DATA_HOME", (folder.path() / "local").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder.path() / "roaming").c_str(), 1);
    EXPECT_FALSE(packagesFolderOfInstall("MSFS 2024"));
    const auto steam = folder.path() / "roaming" / "Microsoft Flight Simulator 2024";
    std::filesystem::create_directories(steam);
    test::writeFileText(steam / "UserCfg.opt", "Version 1\nInstalledPackagesPath \"D:\\MSFS\\Packages\"\n");
    EXPECT_EQ(packagesFolderOfInstall("MSFS 2024"), std::filesystem::path("D:/MSFS/Packages"));
    const auto store =
        folder.path() / "local" / "Packages" / "Microsoft.Limitless_8wekyb3d8bbwe" / "LocalCache";
    std::filesystem::create_directories(store);
    test::writeFileText(store / "UserCfg.opt", "InstalledPackagesPath \"/store/Packages\"\n");
    EXPECT_EQ(packagesFolderOfInstall("MSFS 2024"), std::filesystem::path("/store/Packages"));
    EXPECT_FALSE(packagesFolderOfInstall("MSFS 2020"));
}

} // namespace
} // namespace kvr::simsim
