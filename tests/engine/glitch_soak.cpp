// Ten minutes of scenario traffic in real time through the Traffic Reader and the engine, with 1 % of the
// reports lying (a clock an hour ahead, a position half a degree off) and one number beyond a double per
// minute: at the end every aircraft the service has reported without a break for the last two minutes is in
// the simulator, keeps being moved and is shown where its reports put it.
#include "engine_fixture.h"

#include "core/exit_request.h"
#include "core/geodesy.h"
#include "core/shared_state.h"
#include "settings/parameter_table.h"
#include "support/standin_process.h"
#include "traffic_service/readers.h"

#include <fmt/format.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace kvr::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr double schipholLatitude = 52.3086;
constexpr double schipholLongitude = 4.7639;

struct Reported {
    std::string callsign;
    double timestamp;
    double latitude;
    double longitude;
    double groundSpeed;
};

class GlitchSoak : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        gf_resetStopState();
        gf_resetReaders();
        gf_serviceTimings() = ServiceTimings{}; // the program's own rates: a poll every 3 s
        RT_KEY.setValue("");
        port::setUserAircraft({schipholLatitude, schipholLongitude, 0, 0, 0}, true, 0.01);
    }
    void TearDown() override {
        trafficReader.stopFlag = true;
        for (int i = 0; i < 100 && !trafficReader.finished.load(); ++i)
            std::this_thread::sleep_for(50ms);
        gf_setReportBatchHandler(nullptr);
        gf_resetStopState();
        unsetenv("VANTREL_SERVICE_URL");
        EngineTest::TearDown();
    }

    // Runs the engine's tick every 10 ms of real time until the moment.
    void tickUntil(Clock::time_point end) {
        auto next = Clock::now();
        while (next < end && !stopRequested) {
            tick();
            next += 10ms;
            std::this_thread::sleep_until(next);
        }
    }

    // The aircraft reported without a break from `from` to `to` (report times), last within the traffic
    // range of the user: those the engine must show. A break is a minute without a report (one every 5 s).
    // The scenario may fly one flight number twice at once: two aircraft with one callsign are ghosts of
    // each other, of which the engine shows only the fresher, so neither counts.
    std::set<std::uint32_t> reportedThroughout(double from, double to) {
        std::set<std::uint32_t> honest;
        std::lock_guard lock(reportedMutex);
        std::map<std::string, int> addressesOfCallsign;
        for (const auto& [address, reports] : reported)
            if (reports.back().timestamp >= from)
                ++addressesOfCallsign[reports.back().callsign];
        for (const auto& [address, reports] : reported) {
            if (addressesOfCallsign[reports.back().callsign] > 1)
                continue;
            if (reports.front().timestamp > from || reports.back().timestamp < to ||
                gf_distanceNm(schipholLatitude, schipholLongitude, reports.back().latitude,
                              reports.back().longitude) >= rangeNm.load())
                continue;
            bool unbroken = true;
            for (std::size_t i = 1; i < reports.size(); ++i)
                if (reports[i].timestamp >= from && reports[i].timestamp - reports[i - 1].timestamp > 60.0)
                    unbroken = false;
            if (unbroken)
                honest.insert(address);
        }
        return honest;
    }

    // The nearest of the aircraft's reports within 15 s of the time shown now.
    double offTrackNm(std::uint32_t address, double latitude, double longitude) {
        const double shownTime = gf_trafficTime();
        double nearest = 1e9;
        std::lock_guard lock(reportedMutex);
        for (const Reported& report : reported[address])
            if (std::abs(report.timestamp - shownTime) <= 15.0)
                nearest =
                    std::min(nearest, gf_distanceNm(latitude, longitude, report.latitude, report.longitude));
        return nearest;
    }

    std::mutex reportedMutex;
    std::map<std::uint32_t, std::vector<Reported>> reported;
};

TEST_F(GlitchSoak, LyingReportsLeaveEveryHonestAircraftCreatedAndMoving) {
    const char* configured = std::getenv("VANTREL_SOAK_SECONDS");
    const auto duration = std::chrono::seconds(configured != nullptr ? std::atoi(configured) : 600);
    ASSERT_GE(duration, 180s) << "the honest aircraft are those of the last two minutes";
    StandinProcess standin({"--scenario", std::string(VANTREL_SOURCE_DIR) + "/scenarios/traffic/eham.json",
                            "--start-epoch", "1796618766", "--faults",
                            "ahead=0.005:3600,jump=0.005:0.5,overflow=60,only=traffic"});
    setenv("VANTREL_SERVICE_URL", standin.url().c_str(), 1);
    gf_setReportBatchHandler([this](std::vector<port::LiveAircraft>& batch) {
        {
            std::lock_guard lock(reportedMutex);
            for (const port::LiveAircraft& report : batch)
                reported[report.address].push_back({report.callsign, report.timestamp, report.latitude,
                                                    report.longitude, report.groundSpeed});
        }
        lf_processReports(batch);
    });
    trafficReader.setReferencePosition(schipholLatitude, schipholLongitude);
    gf_updateTrafficBox();
    gf_authenticater();
    ASSERT_TRUE(trafficReader.hasGuid());
    gf_startTrafficReader();

    const auto end = Clock::now() + duration;
    tickUntil(end - 120s);
    const double from = trafficReader.latestReportTime.load();
    tickUntil(end - 10s);
    std::map<port::SimObjectId, std::size_t> movesBefore;
    for (const auto& [id, object] : echo.objects)
        movesBefore[id] = object.moves.size();
    tickUntil(end);
    const std::set<std::uint32_t> honest =
        reportedThroughout(from, trafficReader.latestReportTime.load() - 10.0);

    ASSERT_FALSE(stopRequested) << "no lie ends the session";
    const auto& c = trafficReader.counters;
    EXPECT_EQ(c.failures.load(), 0u);
    EXPECT_GT(c.aheadOfNow.load(), 0u);
    EXPECT_GE(c.invalid.load(), static_cast<std::uint64_t>(duration / 60s) - 1) << "one overflow a minute";
    EXPECT_GT(gf_jumpReportCount(), 0u);
    EXPECT_LT(trafficReader.latestReportTime.load(), 1796618766.0 + duration.count() + 60.0);

    for (const std::uint32_t address : honest) {
        const LiveAc* aircraft = live(address);
        ASSERT_NE(aircraft, nullptr) << fmt::format("{:06X}", address);
        EXPECT_EQ(aircraft->simState, SimState::active) << aircraft->callsign;
        const auto object = echo.objects.find(aircraft->objectId);
        ASSERT_NE(object, echo.objects.end()) << aircraft->callsign;
        const auto& moves = object->second.moves;
        EXPECT_GE(moves.size(), movesBefore[aircraft->objectId] + 5) << aircraft->callsign << " is moved";
        EXPECT_LT(offTrackNm(address, moves.back().latitude, moves.back().longitude), 1.0)
            << aircraft->callsign << " is shown where its reports put it";
    }
    EXPECT_GT(honest.size(), 10u);
    std::printf("%zu honest aircraft checked; %llu reports ahead of now, %llu jumps and %llu invalid arrays "
                "dropped\n",
                honest.size(), static_cast<unsigned long long>(c.aheadOfNow.load()),
                static_cast<unsigned long long>(gf_jumpReportCount()),
                static_cast<unsigned long long>(c.invalid.load()));
}

} // namespace
} // namespace kvr::test
