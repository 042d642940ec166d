// Ten minutes of scenario traffic through both readers: every report the service sends arrives once, in
// order, with no gap; LeakSanitizer checks the memory at the end of the run.
#include "traffic_service/client_fixture.h"

#include <fmt/format.h>

#include <cstdlib>
#include <map>

namespace kvr {
namespace {

using namespace std::chrono_literals;

class Soak : public test::ClientFixture {};

TEST_F(Soak, TenMinutesWithoutALostReport) {
    const char* configured = std::getenv("VANTREL_SOAK_SECONDS");
    const auto duration = std::chrono::seconds(configured != nullptr ? std::atoi(configured) : 600);
    startStandin();
    gf_serviceTimings() = ServiceTimings{}; // the program's own rates: a poll every 3 s, reports every 5 s

    std::mutex timesMutex;
    std::map<std::uint32_t, std::vector<double>> times;
    std::size_t handedOver = 0;
    gf_setReportBatchHandler([&](std::vector<LiveAircraft>& batch) {
        std::lock_guard lock(timesMutex);
        for (const auto& report : batch)
            times[report.address].push_back(report.timestamp);
        handedOver += batch.size();
    });
    login();
    gf_startWeatherReader();
    gf_startTrafficReader();

    const auto end = std::chrono::steady_clock::now() + duration;
    int parkedRequests = 0;
    while (std::chrono::steady_clock::now() < end && !stopRequested) {
        trafficReader.collectLiveAircraft = true;
        std::this_thread::sleep_for(30s);
        EXPECT_FALSE(trafficReader.takeSeenLiveMaps().addresses.empty());
        EXPECT_TRUE(gf_receiveParkedTraffic());
        ++parkedRequests;
    }
    EXPECT_LT(stopReaders(), 1s);
    EXPECT_FALSE(stopRequested);
    EXPECT_GT(parkedRequests, 0);

    const auto& c = trafficReader.counters;
    EXPECT_EQ(c.failures.load(), 0u);
    EXPECT_EQ(c.arrays.load(),
              c.invalid + c.aheadOfNow + c.blocked + c.categoryOff + c.notAirborne + c.alreadySent + c.delivered);
    EXPECT_EQ(c.invalid.load(), 0u);
    std::lock_guard lock(timesMutex);
    EXPECT_EQ(handedOver, c.delivered.load());
    std::size_t gaps = 0;
    for (const auto& [address, list] : times)
        for (std::size_t i = 1; i < list.size(); ++i) {
            const double step = list[i] - list[i - 1];
            // The next report of a moving aircraft, or its departure after a stay at a stand.
            if (std::abs(step - 5.0) > 0.02 && step < 1500.0) {
                ++gaps;
                ADD_FAILURE() << fmt::format("{:06x}: {} s between reports at {}", address, step, list[i]);
            }
        }
    EXPECT_EQ(gaps, 0u);
    EXPECT_GT(times.size(), 20u);
}

} // namespace
} // namespace kvr
