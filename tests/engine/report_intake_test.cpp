// Reports on their way in: due ticks, the hand-over, two per tick, samples and the filters.
#include "engine_fixture.h"

#include "core/shared_state.h"
#include "settings/parameter_table.h"

namespace kvr::test {
namespace {

using ReportIntakeTest = EngineTest;

port::LiveAircraft near(std::uint32_t address, double timestamp, bool onGround = false) {
    return makeReport(address, "KLM" + std::to_string(address), timestamp, airportLatitude + 0.1,
                      airportLongitude, onGround ? 0 : 3000, onGround ? 10 : 200, 90, 0, onGround);
}

TEST_F(ReportIntakeTest, TheFirstBatchSetsTheClockAndEveryReportIsDueThirtySecondsAfterItsTime) {
    tick(7);
    const std::int64_t handedAt = trafficTick.load();
    handOver({near(1, epoch0 - 10), near(2, epoch0)});
    EXPECT_EQ(lf_dueTickOf(epoch0), handedAt + 3000);
    EXPECT_EQ(lf_dueTickOf(epoch0 + 5), handedAt + 3500);
    EXPECT_EQ(lf_dueTickOf(epoch0 - 10), handedAt + 2000);
    tick(2);
    ASSERT_NE(live(1), nullptr);
    EXPECT_EQ(live(1)->samples.front().dueTick, handedAt + 2000);
    EXPECT_NEAR(gf_trafficTime(), epoch0 - 30 + 0.02, 1e-6);
}

TEST_F(ReportIntakeTest, ABatchFarFromTheClockSetsItAnew) {
    const std::int64_t handedAt = trafficTick.load();
    handOver({near(1, epoch0)});
    tick(100);
    handOver({near(1, epoch0 + 50)});
    EXPECT_EQ(lf_dueTickOf(epoch0 + 50), handedAt + 5000 + 3000);
    handOver({near(1, epoch0 + 3600)});
    EXPECT_EQ(lf_dueTickOf(epoch0 + 3600), trafficTick.load() + 3000);
}

TEST_F(ReportIntakeTest, ReportsAreTakenOnlyWhileAcceptedAndTwoPerTick) {
    lf_setKeepReportsFlag(false);
    handOver({near(1, epoch0)});
    EXPECT_EQ(gf_pendingReportCount(), 0u);
    lf_setKeepReportsFlag(true);
    handOver({near(1, epoch0), near(2, epoch0), near(3, epoch0), near(4, epoch0), near(5, epoch0)});
    EXPECT_EQ(gf_pendingReportCount(), 5u);
    tick();
    EXPECT_EQ(liveAcList.size(), 2u);
    tick();
    EXPECT_EQ(liveAcList.size(), 4u);
    tick();
    EXPECT_EQ(liveAcList.size(), 5u);
    EXPECT_EQ(gf_pendingReportCount(), 0u);
}

TEST_F(ReportIntakeTest, AKnownAddressAddsSamplesInTimeOrderWithoutRepeats) {
    handOver({near(1, epoch0), near(1, epoch0 + 10), near(1, epoch0 + 5), near(1, epoch0 + 10)});
    tick(2);
    ASSERT_EQ(liveAcList.size(), 1u);
    const auto& samples = liveAcList.front().samples;
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(samples[0].timestamp, epoch0);
    EXPECT_EQ(samples[1].timestamp, epoch0 + 5);
    EXPECT_EQ(samples[2].timestamp, epoch0 + 10);
    EXPECT_LT(samples[0].dueTick, samples[1].dueTick);
}

TEST_F(ReportIntakeTest, NewAircraftAreFilteredByRangeSettingsAndTheirNumber) {
    const auto filed = [this](port::LiveAircraft report) {
        const std::size_t before = liveAcList.size();
        lf_fileReport(report, 0);
        return liveAcList.size() > before;
    };
    rangeMetres = 20 * 1852 + 10000;
    port::LiveAircraft far = near(1, epoch0);
    far.latitude = airportLatitude + 0.5; // 30 nm
    EXPECT_FALSE(filed(far));
    far.latitude = airportLatitude + 0.4; // 24 nm, inside 20 nm + 10 km
    EXPECT_TRUE(filed(far));

    AIRBORNE_ONLY.setValue(true);
    EXPECT_FALSE(filed(near(2, epoch0, true)));
    EXPECT_TRUE(filed(near(3, epoch0, false)));
    AIRBORNE_ONLY.setValue(false);

    const std::pair<int, CheckBoxParameter*> switches[] = {
        {0, &LIGHT_AIRCRAFT}, {5, &HELICOPTERS}, {4, &HIGH_PERF_AIRCRAFT}};
    std::uint32_t address = 10;
    for (const auto& [category, setting] : switches) {
        port::LiveAircraft report = near(++address, epoch0);
        report.category = category;
        setting->setValue(false);
        EXPECT_FALSE(filed(report)) << category;
        setting->setValue(true);
        EXPECT_TRUE(filed(report)) << category;
    }

    MAX_LIVE_SEL.setValue(static_cast<std::int32_t>(liveAcList.size()) + 1);
    EXPECT_TRUE(filed(near(50, epoch0)));
    EXPECT_FALSE(filed(near(51, epoch0)));
    liveAcList.back().liveryRefused = true;
    EXPECT_TRUE(filed(near(52, epoch0)));
}

TEST_F(ReportIntakeTest, AnAircraftOnTheGroundNearTheParkAirportStandsOnItsElevation) {
    addStand("A1", airportLatitude, airportLongitude, 0, 20);
    gf_setGroundReferenceAltitude(-11.0);
    port::LiveAircraft report = near(1, epoch0, true);
    report.latitude = airportLatitude + 0.01;
    report.altitude = 150;
    handOver({report});
    tick();
    EXPECT_EQ(live(1)->samples.front().altitude, -11.0);
    report.onGround = false;
    report.timestamp += 5;
    handOver({report});
    tick();
    EXPECT_EQ(live(1)->samples.back().altitude, 150.0);
    report.onGround = true;
    report.latitude = airportLatitude + 0.1; // 6 nm away: another airfield
    report.timestamp += 5;
    handOver({report});
    tick();
    EXPECT_EQ(live(1)->samples.back().altitude, 150.0);
}

} // namespace
} // namespace kvr::test
