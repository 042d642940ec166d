// SIGTERM, the close box of the Linux build, at random moments from the program's start to its session:
// every run ends through the program's own closing down (label "soak").
#include "program_world.h"
#include "support/signal_caught.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

namespace kvr::test {
namespace {

TEST(ClosingSoak, EverySigtermAtARandomMomentEndsThroughTheClosePath) {
    constexpr int runs = 50;
    ProgramWorld world;
    world.installDemoPackages();
    world.writeParameters({{"SCAN_AIRPORTS", "false"}});
    StandIn service(world.root.path(),
                    {"--scenario", std::string(VANTREL_SOURCE_DIR) + "/scenarios/traffic/eham.json",
                     "--downloads", world.downloadsFolder().string()});
    ASSERT_TRUE(service.ready()) << service.output();
    const auto scenario = world.writeScenario(
        "stand.json",
        R"json({"simulator": {"kind": "MSFS 2020", "startsAfterSeconds": 1, "flightStartsAfterSeconds": 2},
             "userAircraft": {"title": "Boeing 737-800 KLM (PH-BXA)", "atcModel": "B738", "wingspanFt": 117.4,
               "latitude": 52.30860, "longitude": 4.76390, "altitudeFt": -11, "headingDeg": 45},
             "timeline": []})json");
    std::mt19937 random(20261207);
    // From the handler's first moment to well into the session (its login comes after about 5 s).
    std::uniform_int_distribution<int> momentMs(0, 15000);
    std::vector<double> closeSeconds;
    for (int run = 1; run <= runs; ++run) {
        const auto output = world.root / ("run-" + std::to_string(run) + ".txt");
        ChildProcess vantrel(
            VANTREL_EXECUTABLE, {},
            world.environment({"VANTREL_SIM=" + scenario.string(), "VANTREL_SERVICE_URL=" + service.url(),
                               "VANTREL_DOWNLOAD_URL=" + service.url()}),
            world.program, output);
        ASSERT_TRUE(vantrel.started());
        ASSERT_TRUE(waitUntil([&] { return catchesSignal(vantrel.pid(), SIGTERM); }, 30s)) << "run " << run;
        const int moment = momentMs(random);
        std::this_thread::sleep_for(std::chrono::milliseconds(moment));
        const auto closed = std::chrono::steady_clock::now();
        vantrel.signal(SIGTERM);
        const std::optional<int> code = vantrel.exitCodeWithin(30s);
        closeSeconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - closed).count());
        const std::string log = world.log();
        const std::string said = readFileText(output);
        EXPECT_EQ(code, 0) << "run " << run << " closed " << moment << " ms in:\n" << said << log;
        EXPECT_NE(log.find("Exiting: "), std::string::npos) << "run " << run << " at " << moment << " ms";
        EXPECT_EQ(said.find("Sanitizer"), std::string::npos) << "run " << run << ":\n" << said;
        EXPECT_EQ(said.find("runtime error"), std::string::npos) << "run " << run << ":\n" << said;
    }
    std::sort(closeSeconds.begin(), closeSeconds.end());
    std::printf("%d runs: the close took %.2f s at least, %.2f s in the middle, %.2f s at most\n", runs,
                closeSeconds.front(), closeSeconds[closeSeconds.size() / 2], closeSeconds.back());
}

} // namespace
} // namespace kvr::test
