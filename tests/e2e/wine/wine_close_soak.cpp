// vantrel.exe under Wine, thirty sessions each closed through its close box at a moment of its own: every
// run ends through its closing down (label "wine-soak").
#include "wine_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

namespace kvr::test {
namespace {

TEST(WineCloseSoak, EveryCloseBoxRunEnds) {
    ASSERT_TRUE(WineWorld::ready()) << "run under scripts/with-wine-display (DISPLAY and WINEPREFIX)";
    constexpr int runs = 30;
    WineWorld wine;
    wine.installDemoPackages();
    wine.writeParameters({{"SCAN_AIRPORTS", "false"}});
    const std::filesystem::path downloads = wine.root / "downloads";
    std::filesystem::copy(std::filesystem::path(VANTREL_SOURCE_DIR) / "standins" / "downloads", downloads,
                          std::filesystem::copy_options::recursive);
    writeFileText(downloads / "versions.json",
                  R"({"program": {"version": "12.0.0", "file": "program/Vantrel-12.0.0.zip"}})");
    StandIn service(wine.root.path(),
                    {"--scenario", std::string(VANTREL_SOURCE_DIR) + "/scenarios/traffic/eham.json",
                     "--downloads", downloads.string()});
    ASSERT_TRUE(service.ready()) << service.output();
    const std::vector<std::string> environment = {
        "VANTREL_SIM=" + std::string(VANTREL_SOURCE_DIR) + "/scenarios/sim/eham_stand_taxi.json",
        "VANTREL_SERVICE_URL=" + service.url(), "VANTREL_DOWNLOAD_URL=" + service.url()};
    std::mt19937 random(30);
    std::uniform_int_distribution<int> momentMs(0, 4000);
    std::vector<double> closeSeconds;
    int ended = 0;
    for (int run = 1; run <= runs; ++run) {
        wine.start(environment);
        // The simulator link dispatches from the login on; the close comes at a moment after it.
        ASSERT_TRUE(wine.waitForLog("Authenticated at the live-traffic service", 180s)) << wine.log();
        ASSERT_TRUE(waitUntil([&] { return !wine.windowId().empty(); }, 60s)) << "run " << run;
        std::this_thread::sleep_for(std::chrono::milliseconds(momentMs(random)));
        const auto closed = std::chrono::steady_clock::now();
        ASSERT_TRUE(wine.clickCloseBox()) << "run " << run;
        const std::optional<int> code = wine.process().exitCodeWithin(60s);
        closeSeconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - closed).count());
        EXPECT_EQ(code, 0) << "run " << run << " did not end:\n" << wine.log();
        ended += code == 0;
        EXPECT_NE(wine.log().find("Exiting: USER CLOSED SIM\n"), std::string::npos) << "run " << run;
        if (!code)
            runCommand("\"" + WineWorld::wineServer() + "\" -k >/dev/null 2>&1");
    }
    std::sort(closeSeconds.begin(), closeSeconds.end());
    std::printf("%d of %d runs ended; the close took %.2f s at least, %.2f s in the middle, %.2f s at most\n",
                ended, runs, closeSeconds.front(), closeSeconds[closeSeconds.size() / 2],
                closeSeconds.back());
}

} // namespace
} // namespace kvr::test
