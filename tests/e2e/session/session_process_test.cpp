// Whole sessions of the real vantrel program: the simulated simulator inside it, vantrel-standin beside it,
// and everything it leaves behind read back from its files.
#include "program_world.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <ctime>
#include <map>

namespace kvr::test {
namespace {

std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

std::string utcText(std::time_t time) {
    std::tm t{};
    gmtime_r(&time, &t);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &t);
    return buffer;
}

// The user's 737 at a D-pier stand at Schiphol; the simulator is up 1 s after the program first looks for
// it, the flight 2 s after.
std::string scenario(const std::string& timeline, const std::string& more = "") {
    return R"json({"simulator": {"kind": "MSFS 2020", "startsAfterSeconds": 1, "flightStartsAfterSeconds": 2},)json" +
           more +
           R"json("userAircraft": {"title": "Boeing 737-800 KLM (PH-BXA)", "atcModel": "B738", "wingspanFt": 117.4,
               "latitude": 52.30860, "longitude": 4.76390, "altitudeFt": -11, "headingDeg": 45},
             "timeline": [)json" +
           timeline + "]}";
}

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        world.installDemoPackages();
        world.writeParameters({{"SCAN_AIRPORTS", "false"}});
    }

    std::unique_ptr<StandIn> startService(std::vector<std::string> more = {}, int port = 0) {
        std::vector<std::string> args = {"--scenario",
                                         std::string(VANTREL_SOURCE_DIR) + "/scenarios/traffic/eham.json",
                                         "--downloads", world.downloadsFolder().string()};
        args.insert(args.end(), more.begin(), more.end());
        auto service = std::make_unique<StandIn>(world.root.path(), args, port);
        EXPECT_TRUE(service->ready()) << service->output();
        return service;
    }

    std::unique_ptr<ChildProcess> startVantrel(const std::filesystem::path& scenarioFile,
                                               const std::string& service,
                                               std::vector<std::string> args = {}) {
        auto vantrel = world.startProgram(
            {"VANTREL_SIM=" + scenarioFile.string(), "VANTREL_SERVICE_URL=" + service,
             "VANTREL_DOWNLOAD_URL=" + service, "VANTREL_WORLD_JSON=" + (world.root / "world.json").string()},
            std::move(args));
        EXPECT_TRUE(vantrel->started());
        return vantrel;
    }

    // The user's aircraft is teleported to Heathrow 12 s into the run: a new flight.
    std::filesystem::path teleportScenario() {
        return world.writeScenario(
            "teleport.json",
            scenario(
                R"({"atSeconds": 12, "event": "teleport", "latitude": 51.47, "longitude": -0.4543, "altitudeFt": 83})"));
    }

    static void expectTheCloseBoxEndsItWithinThreeSeconds(ChildProcess& vantrel) {
        const auto closed = std::chrono::steady_clock::now();
        vantrel.signal(SIGTERM);
        EXPECT_EQ(vantrel.exitCodeWithin(30s), 0);
        EXPECT_LE(std::chrono::steady_clock::now() - closed, 3s);
    }

    ProgramWorld world;
};

// Static aircraft carry their callsign followed by "*"; every other AI aircraft is a live one.
bool isStatic(const nlohmann::json& aircraft) {
    return aircraft["atcId"].get<std::string>().ends_with('*');
}

// The simulator lists new aircraft late and has aircraft of its own with the program's callsigns.
TEST_F(Session, LiveAndStaticAircraftGetTheirLiveriesTheLiveOnesMoveAndTheCloseBoxEndsTheProgram) {
    // What the user set at Schiphol on an earlier visit: its own share of static aircraft and week fits.
    const auto learned = world.program / "airports" / "learned" / "stock" / "EHAM.xml";
    std::filesystem::create_directories(learned.parent_path());
    writeFileText(learned, R"(<?xml version="1.0"?>
<root><meta><info name="author" value="Vantrel"/><info name="version" value="12.0.0"/></meta>
<parameters><parameter name="airport_name" value="Amsterdam Airport Schiphol"/>
<parameter name="parking_percentage" value="75"/><parameter name="WEEK" value="true"/></parameters></root>
)");
    const auto service = startService();
    const auto vantrel = startVantrel(
        std::string(VANTREL_SOURCE_DIR) + "/scenarios/sim/eham_stand_taxi_busy.json", service->url());
    const auto figuresFile = world.root / "world.json";
    // The figures of the simulated world come every 2 s.
    auto liveCreated = [&] {
        const auto figures = nlohmann::json::parse(readFileText(figuresFile), nullptr, false);
        if (!figures.is_object())
            return 0;
        int live = 0;
        for (const auto& aircraft : figures["aircraft"])
            live += isStatic(aircraft) ? 0 : 1;
        return live;
    };
    auto moving = [&] {
        const auto figures = nlohmann::json::parse(readFileText(figuresFile), nullptr, false);
        return figures.is_object() ? figures["moving"].get<int>() : 0;
    };
    ASSERT_TRUE(waitUntil([&] { return liveCreated() >= 2; }, 150s)) << world.log();
    // Aircraft recognised by now have had seconds to move when the program closes; one recognised in the
    // last moments before the close may not have been moved yet, however busy the machine is.
    const std::string logBeforeTheWait = world.log();
    std::this_thread::sleep_for(5s); // the aircraft move along their reports meanwhile
    EXPECT_TRUE(waitUntil([&] { return moving() >= 1; }, 60s)) << "a live aircraft moves along its reports";

    vantrel->signal(SIGTERM); // the close box
    EXPECT_EQ(vantrel->exitCodeWithin(60s), 0);
    const std::string log = world.log();
    EXPECT_NE(log.find("Authenticated at the live-traffic service"), std::string::npos);
    EXPECT_NE(log.find("Exiting: USER CLOSED SIM\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("Restart"), std::string::npos);
    EXPECT_EQ(log.find("\n==> "), std::string::npos) << "no error: " << log;
    EXPECT_NE(service->output().find("/v4/deauth 200"), std::string::npos) << "logged out at closing down";
    EXPECT_NE(world.parameters().find(R"(name="MAIN_WINDOW_X" value="400")"), std::string::npos);
    EXPECT_NE(world.parameters().find(R"(name="SCAN_LIVERIES" value="false")"), std::string::npos)
        << "a successful scan is not repeated";
    EXPECT_FALSE(std::filesystem::exists(world.config / "Vantrel" / "orig_dest")) << "flight plans removed";
    const std::string learnedText = readFileText(learned);
    EXPECT_NE(learnedText.find(R"(name="parking_percentage" value="75")"), std::string::npos) << learnedText;
    EXPECT_NE(learnedText.find(R"(name="WEEK" value="true")"), std::string::npos) << learnedText;
    EXPECT_NE(world.parameters().find(R"(name="WEEK" value="false")"), std::string::npos);

    const auto figures = nlohmann::json::parse(readFileText(figuresFile));
    const std::string catalogue = readFileText(world.program / "output" / "LiveriesScanned.xml");
    EXPECT_EQ(log.find("NOT RECOGNISED"), std::string::npos) << "every creation is recognised in the end";
    int live = 0, staticOnes = 0;
    for (const auto& aircraft : figures["aircraft"]) {
        const std::string title = aircraft["title"];
        EXPECT_NE(catalogue.find("title=\"" + title + "\""), std::string::npos) << title << " was scanned";
        // Created in the last seconds, the simulator had not listed it yet: nobody moves it so far.
        const std::string recognised = aircraft["atcId"].get<std::string>() + " is object";
        if (log.find(recognised) == std::string::npos)
            continue;
        const int updates = aircraft["positionUpdates"];
        if (isStatic(aircraft)) {
            ++staticOnes;
            EXPECT_EQ(updates, 0) << "a static aircraft stays where it was placed";
        } else {
            ++live;
            if (logBeforeTheWait.find(recognised) != std::string::npos) {
                EXPECT_GT(updates, 0) << "every live aircraft is moved by the program";
            }
        }
    }
    EXPECT_GE(live, 2);
    EXPECT_GE(staticOnes, 1) << "the stands of the park airport EHAM get static aircraft";
}

TEST_F(Session, TheSimulatorQuittingEndsTheProgramWithoutARestart) {
    const auto service = startService();
    const auto file = world.writeScenario("quit.json", scenario(R"({"atSeconds": 14, "event": "quit"})"));
    const auto vantrel = startVantrel(file, service->url());
    EXPECT_EQ(vantrel->exitCodeWithin(90s), 0);
    const std::string log = world.log();
    EXPECT_NE(log.find("Flight Simulator no longer connected, Vantrel will stop ..."), std::string::npos)
        << log;
    EXPECT_NE(log.find("Exiting: SIM WAS CLOSED\n"), std::string::npos);
    EXPECT_EQ(countOf(log, "Exiting: "), 1u);
}

TEST_F(Session, ATeleportEndsTheProgramAfterItsNoticeWithoutARestart) {
    const auto service = startService();
    const auto file = teleportScenario();
    const auto vantrel = startVantrel(file, service->url());
    ASSERT_TRUE(world.waitForLog("Exiting: NEW FLIGHT\n", 90s)) << world.log();
    const auto seen = std::chrono::steady_clock::now();
    EXPECT_EQ(vantrel->exitCodeWithin(60s), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - seen, 9s) << "the notice stays 10 s";
    const std::string log = world.log();
    EXPECT_NE(log.find("Teleport"), std::string::npos);
    EXPECT_EQ(log.find("Restart"), std::string::npos);
    EXPECT_EQ(countOf(log, "Exiting: "), 1u);
}

// The close box within 3 s while the service takes the logout and never answers it.
TEST_F(Session, TheCloseBoxEndsTheProgramWithinThreeSecondsWhileTheLogoutHangs) {
    const auto service = startService({"--faults", "hang=deauth"});
    const auto vantrel = startVantrel(world.writeScenario("stand.json", scenario("")), service->url());
    ASSERT_TRUE(world.waitForLog("Authenticated at the live-traffic service", 90s)) << world.log();
    std::this_thread::sleep_for(2s); // both readers poll

    expectTheCloseBoxEndsItWithinThreeSeconds(*vantrel);
    EXPECT_NE(service->output().find("deauth hangs"), std::string::npos) << service->output();
    const std::string log = world.log();
    EXPECT_NE(log.find("Logout at the live-traffic service: no answer before the close\n"), std::string::npos)
        << log;
    EXPECT_NE(log.find("Exiting: USER CLOSED SIM\n"), std::string::npos);
}

// The close box within 3 s while the service takes the login and never answers it.
TEST_F(Session, TheCloseBoxEndsTheProgramWithinThreeSecondsWhileTheLoginHangs) {
    const auto service = startService({"--faults", "hang=auth"});
    const auto vantrel = startVantrel(world.writeScenario("stand.json", scenario("")), service->url());
    ASSERT_TRUE(waitUntil([&] { return service->output().find("auth hangs") != std::string::npos; }, 90s))
        << world.log();

    expectTheCloseBoxEndsItWithinThreeSeconds(*vantrel);
    const std::string log = world.log();
    EXPECT_NE(log.find("Exiting: USER CLOSED SIM\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("Authenticated"), std::string::npos);
}

// The close box ends the 10-s notice of a new flight.
TEST_F(Session, TheCloseBoxEndsTheNewFlightNoticeWithinThreeSeconds) {
    const auto service = startService();
    const auto file = teleportScenario();
    const auto vantrel = startVantrel(file, service->url());
    // The reason is flushed to the log at once, the notice only at the end: the notice is up 2 s later.
    ASSERT_TRUE(world.waitForLog("Exiting: NEW FLIGHT\n", 90s)) << world.log();
    std::this_thread::sleep_for(2s);

    expectTheCloseBoxEndsItWithinThreeSeconds(*vantrel);
    EXPECT_EQ(countOf(world.log(), "Exiting: "), 1u) << world.log();
    EXPECT_NE(world.log().find("New flight detected, Vantrel will close, please restart manually ..."),
              std::string::npos);
}

TEST_F(Session, AServiceErrorRestartsTheSessionAndTheNextOneRecovers) {
    auto failing = startService({"--faults", "status=401:1,only=traffic"});
    const auto file = world.writeScenario("stand.json", scenario(""));
    const auto vantrel = startVantrel(file, failing->url());
    ASSERT_TRUE(world.waitForLog("Exiting: READER ERROR\n", 90s)) << world.log();
    // The service comes back healthy on the same address during the restart countdown.
    const std::string url = failing->url();
    const int port = std::stoi(url.substr(url.rfind(':') + 1));
    failing.reset();
    const auto healthy = startService({}, port);
    ASSERT_TRUE(world.waitForLog("Restart countdown finished\n", 60s)) << world.log();
    std::this_thread::sleep_for(16s); // the login and the reader watchdog of the new session
    vantrel->signal(SIGTERM);
    EXPECT_EQ(vantrel->exitCodeWithin(60s), 0);
    const std::string log = world.log();
    EXPECT_EQ(countOf(log, "Authenticated at the live-traffic service"), 2u) << log;
    EXPECT_NE(log.find("Restarting after 15 seconds\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Restart countdown finished\n"), std::string::npos);
    EXPECT_EQ(countOf(log, "Exiting: READER ERROR"), 1u) << "the new session receives its traffic";
    EXPECT_NE(log.find("Exiting: USER CLOSED SIM\n"), std::string::npos);
    EXPECT_EQ(countOf(log, "liveries scan automatic starts"), 1u) << "no scan after an error restart";
}

TEST_F(Session, ARefusedLoginShowsTheUserErrorUntilTheUserCloses) {
    world.writeParameters({{"SCAN_AIRPORTS", "false"}, {"RT_KEY", "expired-key"}});
    const auto service = startService();
    const auto file = world.writeScenario("stand.json", scenario(""));
    const auto vantrel = startVantrel(file, service->url());
    ASSERT_TRUE(world.waitForLog("Error 402: ", 90s)) << world.log();
    EXPECT_EQ(vantrel->exitCodeWithin(2s), std::nullopt) << "the error waits for the user";
    vantrel->signal(SIGTERM);
    EXPECT_EQ(vantrel->exitCodeWithin(60s), 0);
    const std::string log = world.log();
    EXPECT_NE(log.find("Exiting: SYSTEM ERROR\n"), std::string::npos);
    EXPECT_EQ(log.find("Restart"), std::string::npos);
}

TEST_F(Session, ProductionModeEndsAfterTheStartupReadingAndTheLiveryScan) {
    const auto vantrel = world.startProgram({}, {"--production"});
    EXPECT_EQ(vantrel->exitCodeWithin(120s), 0);
    const std::string log = world.log();
    EXPECT_NE(log.find("liveries in output/LiveriesScanned.xml"), std::string::npos) << log;
    EXPECT_NE(log.find("Exiting: USER CLOSED SIM\n"), std::string::npos);
    EXPECT_EQ(log.find("SimConnect"), std::string::npos) << "no session";
    EXPECT_EQ(log.find("Error "), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(world.program / "output" / "LiveriesScanned.xml"));
}

TEST_F(Session, ADownloadedNewVersionEndsTheProgramWithItsNotice) {
    const std::filesystem::path downloads = world.root / "new-version";
    std::filesystem::create_directories(downloads / "program");
    writeFileText(downloads / "program" / "Vantrel-99.0.0.exe", "the next program");
    writeFileText(downloads / "versions.json",
                  R"({"program": {"version": "99.0.0", "file": "program/Vantrel-99.0.0.exe"}})");
    StandIn service(world.root.path(), {"--downloads", downloads.string()});
    ASSERT_TRUE(service.ready()) << service.output();
    const auto vantrel = world.startProgram({"VANTREL_DOWNLOAD_URL=" + service.url()});
    EXPECT_EQ(vantrel->exitCodeWithin(60s), 0) << "nobody has to close it: " << world.log();
    const std::string log = world.log();
    EXPECT_NE(log.find("Vantrel 99.0.0 has been downloaded to "), std::string::npos) << log;
    EXPECT_NE(log.find("Exiting: NEW VERSION\n"), std::string::npos);
    EXPECT_EQ(log.find("Error "), std::string::npos) << "the rest of the start-up is skipped";
}

TEST_F(Session, TheCloseBoxEndsTheProgramWithinThreeSecondsWhileANewVersionTrickles) {
    const std::filesystem::path downloads = world.root / "new-version";
    std::filesystem::create_directories(downloads / "program");
    writeFileText(downloads / "program" / "Vantrel-99.0.0.zip", std::string(50000, 'z'));
    writeFileText(downloads / "versions.json",
                  R"({"program": {"version": "99.0.0", "file": "program/Vantrel-99.0.0.zip"}})");
    StandIn service(world.root.path(),
                    {"--downloads", downloads.string(), "--download-faults", "rate=100,path=program/"});
    ASSERT_TRUE(service.ready()) << service.output();
    const auto vantrel = world.startProgram({"VANTREL_DOWNLOAD_URL=" + service.url()});
    ASSERT_TRUE(
        waitUntil([&] { return service.output().find("download trickles: ") != std::string::npos; }, 60s))
        << service.output();
    std::this_thread::sleep_for(1s); // the package is on its way, 100 bytes a second

    expectTheCloseBoxEndsItWithinThreeSeconds(*vantrel);
    const std::string log = world.log();
    EXPECT_NE(log.find("Exiting: USER CLOSED SIM\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("\n==> "), std::string::npos) << "a stopped download is no error: " << log;
    EXPECT_TRUE(std::filesystem::is_empty(world.program / "updates")) << "no partial package is left";
}

// The user flies towards the park airport EHAM among its arrivals; the stand file, which has to come from
// the download server, is held back there.
TEST_F(Session, LiveTrafficMovesWhileTheParkAirportsStandFileDownloads) {
    const auto service = startService({"--download-faults", "hold=600,path=stock/EHAM.xml"});
    std::filesystem::create_directories(world.program / "airports");
    writeFileText(world.program / "airports" / "my_park_airports.txt", "EHAM\n");
    const auto file = world.writeScenario("approach.json", R"json({
        "simulator": {"kind": "MSFS 2020", "startsAfterSeconds": 1, "flightStartsAfterSeconds": 2},
        "userAircraft": {"title": "Boeing 737-800 KLM (PH-BXA)", "atcModel": "B738", "wingspanFt": 117.4,
            "latitude": 52.52, "longitude": 4.745, "altitudeFt": 3000, "headingDeg": 183, "onGround": false,
            "route": [{"latitude": 52.40, "longitude": 4.742, "speedKt": 100, "altitudeFt": 3000},
                      {"latitude": 52.3314, "longitude": 4.7400, "speedKt": 100, "altitudeFt": 50}]}})json");
    const auto vantrel = startVantrel(file, service->url());
    ASSERT_TRUE(
        waitUntil([&] { return service->output().find("download held: ") != std::string::npos; }, 150s))
        << world.log();

    // How far each live aircraft has come in the simulated world so far.
    const auto figuresFile = world.root / "world.json";
    auto livePaths = [&] {
        std::map<std::string, double> paths;
        const auto figures = nlohmann::json::parse(readFileText(figuresFile), nullptr, false);
        if (figures.is_object())
            for (const auto& aircraft : figures["aircraft"])
                if (!isStatic(aircraft) && !aircraft["removed"].get<bool>())
                    paths[aircraft["atcId"].get<std::string>()] = aircraft["pathNm"];
        return paths;
    };
    // While the download is held, some live aircraft (already there, or created meanwhile) moves on.
    auto movedOn = [&] {
        const auto before = livePaths();
        std::this_thread::sleep_for(4s); // two figure files later
        for (const auto& [atcId, path] : livePaths())
            if (before.contains(atcId) && path > before.at(atcId))
                return true;
        return false;
    };
    EXPECT_TRUE(waitUntil(movedOn, 90s)) << world.log();
    const std::string logWhileHeld = world.log();
    EXPECT_EQ(logWhileHeld.find("failed to download"), std::string::npos) << "the program did not give up";
    EXPECT_EQ(logWhileHeld.find("Airport file read from"), std::string::npos)
        << "the stand file is still held";

    const auto closed = std::chrono::steady_clock::now();
    vantrel->signal(SIGTERM); // the close box ends the held download too
    EXPECT_EQ(vantrel->exitCodeWithin(30s), 0);
    EXPECT_LE(std::chrono::steady_clock::now() - closed, 3s);
    EXPECT_NE(world.log().find("Exiting: USER CLOSED SIM\n"), std::string::npos);
}

TEST_F(Session, TheSimulatorsClockShiftsTheTrafficAndItsTime) {
    world.writeParameters({{"SCAN_AIRPORTS", "false"}, {"SIM_TIME", "true"}});
    const std::time_t now = std::time(nullptr);
    const auto file = world.writeScenario(
        "behind.json",
        scenario(R"({"atSeconds": 14, "event": "simStop"}, {"atSeconds": 16, "event": "simStart"})",
                 R"("utcStart": ")" + utcText(now - 3 * 3600) + R"(",)"));
    const auto service = startService();
    const auto vantrel = startVantrel(file, service->url());
    // The flight stops at 14 s and runs again at 16 s of the simulator's clock, which starts about 2 s after
    // the program.
    std::this_thread::sleep_for(24s);
    vantrel->signal(SIGTERM);
    EXPECT_EQ(vantrel->exitCodeWithin(60s), 0);

    const std::string log = world.log();
    EXPECT_NE(log.find(" Flight resumed\n"), std::string::npos) << log;
    const auto shifted = log.find("Time shifted ");
    ASSERT_NE(shifted, std::string::npos) << log;
    const int minutes = std::stoi(log.substr(shifted + 13));
    EXPECT_TRUE(minutes == 180 || minutes == 181) << minutes;
    // While shifted the program's clock is the time of the traffic it shows: three hours behind.
    const auto stopped = log.find(" Flight not running");
    ASSERT_GE(stopped, 8u);
    const std::string hms = log.substr(stopped - 8, 8);
    const int shown =
        std::stoi(hms.substr(0, 2)) * 3600 + std::stoi(hms.substr(3, 2)) * 60 + std::stoi(hms.substr(6, 2));
    const int behind = ((static_cast<int>(now % 86400) - shown) % 86400 + 86400) % 86400;
    EXPECT_NEAR(behind, 3 * 3600, 10 * 60) << hms;
    EXPECT_NE(world.parameters().find(R"(name="SIM_TIME" value="false")"), std::string::npos)
        << "not kept beyond the session";
    EXPECT_NE(world.parameters().find(R"(name="TIME_SHIFT_HOURS" value="0")"), std::string::npos);
}

} // namespace
} // namespace kvr::test
