// The reply processing of the Traffic Reader without a network: validation, filters, QNH, hand-over,
// parked-traffic lists and the query box.
#include "core/exit_request.h"
#include "core/geodesy.h"
#include "core/log.h"
#include "core/shared_state.h"
#include "core/time_util.h"
#include "settings/parameter_table.h"
#include "support/file_text.h"
#include "support/temp_folder.h"
#include "traffic_service/readers.h"
#include "traffic_service/report_arrays.h"
#include "traffic_service/report_parser.h"

#include <gtest/gtest.h>

namespace kvr {
namespace {

using test::ArraySpec;
using test::makeArray;

class ReplyProcessing : public ::testing::Test {
protected:
    void SetUp() override {
        gf_resetReaders();
        for (auto* setting : {&LIGHT_AIRCRAFT, &HIGH_PERF_AIRCRAFT, &HELICOPTERS})
            setting->setValue(true);
        AIRBORNE_ONLY.setValue(false);
        BLOCK_CALLSIGN.setValue("");
        gf_setAircraftCategoryLookup(nullptr);
        gf_setReportBatchHandler([this](std::vector<LiveAircraft>& batch) {
            for (auto& report : batch)
                received.push_back(std::move(report));
        });
    }
    void TearDown() override {
        gf_setReportBatchHandler(nullptr);
        gf_setAircraftCategoryLookup(nullptr);
        gf_closeLogFile();
    }
    std::vector<LiveAircraft> received;
};

TEST(ReportArray, KeepsOnlyArraysThatCanBeTrusted) {
    EXPECT_TRUE(gf_readAircraftArray(makeArray({})));
    const auto broken = [](auto change) {
        nlohmann::json values = makeArray({});
        change(values);
        return !gf_readAircraftArray(values).has_value();
    };
    EXPECT_TRUE(broken([](auto& v) { v.erase(47); }));
    EXPECT_TRUE(broken([](auto& v) { v.push_back(nullptr); }));
    EXPECT_TRUE(broken([](auto& v) { v[0] = "000000"; }));
    EXPECT_TRUE(broken([](auto& v) { v[0] = "1000000"; }));
    EXPECT_TRUE(broken([](auto& v) { v[0] = "48zz01"; }));
    EXPECT_TRUE(broken([](auto& v) { v[0] = 4735190; }));
    EXPECT_TRUE(broken([](auto& v) { v[2] = 90.5; }));
    EXPECT_TRUE(broken([](auto& v) { v[3] = -180.5; }));
    EXPECT_TRUE(broken([](auto& v) { v[2] = 0.0, v[3] = 0.0; }));
    EXPECT_TRUE(broken([](auto& v) { v[2] = nullptr; }));
    EXPECT_TRUE(broken([](auto& v) { v[9] = 0; }));
    EXPECT_TRUE(broken([](auto& v) { v[9] = nullptr; }));
    EXPECT_TRUE(broken([](auto& v) { v[4] = "3000"; }));
    EXPECT_TRUE(broken([](auto& v) { v[19] = "left"; }));
    EXPECT_TRUE(broken([](auto& v) { v[10] = 738; }));
    EXPECT_TRUE(broken([](auto& v) { v = nlohmann::json::object(); }));
    EXPECT_FALSE(broken([](auto& v) { v[2] = 0.0; })); // the equator is fine where the longitude is not 0
    EXPECT_FALSE(broken([](auto& v) { v[4] = nullptr, v[1] = nullptr, v[18] = nullptr; }));

    const auto report = gf_readAircraftArray(makeArray({.address = "ABC123", .onGround = true}));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->address, 0xABC123u);
    EXPECT_TRUE(report->onGround);
    EXPECT_EQ(report->origin, "EGLL");
    EXPECT_FALSE(report->bank);
    EXPECT_EQ(*report->heading, 183.0);
}

TEST(ReportArray, QnhMovesTheAltitudeAboutTwentySevenFeetPerHectopascal) {
    EXPECT_NEAR(gf_correctAltitudeWithQnh(3000.0, 1013), 3000.0 - 6.75, 1e-9);
    EXPECT_NEAR(gf_correctAltitudeWithQnh(3000.0, 1033) - gf_correctAltitudeWithQnh(3000.0, 1013), 540.0,
                1e-9);
    EXPECT_LT(gf_correctAltitudeWithQnh(3000.0, 990), 3000.0);
}

TEST_F(ReplyProcessing, FiltersInTheirOrderAndCorrectsOnlyAirborneAltitudes) {
    const ReportFilter base = [] {
        ReportFilter f;
        f.qnh = 1023;
        f.categoryOf = [](std::string_view type) {
            return type == "C172" ? 0 : type == "EC35" ? 5 : type == "F16" ? 4 : 2;
        };
        return f;
    }();
    ReportFilter filter = base;
    filter.blockedCallsign = "KLM1234";
    EXPECT_EQ(trafficReader.processLine(makeArray({}), filter), LineOutcome::blocked);
    EXPECT_EQ(trafficReader.processLine(makeArray({.callsign = "KLM12345"}), filter), LineOutcome::delivered)
        << "only the exact callsign is blocked";

    filter = base;
    filter.lightAircraft = filter.helicopters = filter.highPerfAircraft = false;
    for (const char* type : {"C172", "EC35", "F16"})
        EXPECT_EQ(trafficReader.processLine(makeArray({.address = "400001", .timestamp = 1.0, .type = type}),
                                            filter),
                  LineOutcome::categoryOff)
            << type;
    filter = base;
    filter.airborneOnly = true;
    EXPECT_EQ(trafficReader.processLine(makeArray({.address = "400002", .onGround = true}), filter),
              LineOutcome::notAirborne);
    filter.groundElevation = -11.0;
    EXPECT_EQ(trafficReader.processLine(makeArray({.address = "400003", .baroAltitude = 10.0}), filter),
              LineOutcome::notAirborne);
    EXPECT_EQ(trafficReader.processLine(makeArray({.address = "400003", .baroAltitude = 300.0}), filter),
              LineOutcome::delivered)
        << "300 ft pressure altitude at QNH 1023 is above 289 ft over the field";

    filter = base;
    EXPECT_EQ(trafficReader.processLine(makeArray({.address = "400004", .timestamp = 100.0}), filter),
              LineOutcome::delivered);
    EXPECT_EQ(trafficReader.processLine(makeArray({.address = "400004", .timestamp = 100.0}), filter),
              LineOutcome::alreadySent);
    EXPECT_EQ(trafficReader.processLine(makeArray({.address = "400004", .timestamp = 95.0}), filter),
              LineOutcome::alreadySent);
    EXPECT_EQ(trafficReader.processLine(makeArray({.address = "400004", .timestamp = 105.0}), filter),
              LineOutcome::delivered);
    EXPECT_EQ(trafficReader.processLine(
                  makeArray({.address = "400005", .baroAltitude = 0.0, .onGround = true}), filter),
              LineOutcome::delivered);

    const auto& reports = trafficReader.pendingReports();
    ASSERT_EQ(reports.size(), 5u);
    EXPECT_NEAR(reports[0].altitude, 3000.0 + (1023 - 1013.25) * 27.0, 1e-6);
    EXPECT_NEAR(reports[1].altitude, 300.0 + (1023 - 1013.25) * 27.0, 1e-6);
    EXPECT_EQ(reports.back().altitude, 0.0) << "on the ground the altitude is left as reported";
    EXPECT_EQ(reports[1].category, 2);
}

TEST_F(ReplyProcessing, ReplyIsSortedCountedCollectedAndHandedOver) {
    test::TempFolder folder;
    gf_openLogFile(folder.path());
    trafficReader.collectLiveAircraft = true;
    nlohmann::json arrays = nlohmann::json::array();
    // Newest first, as a service may send them: all three positions of 484001 must still arrive.
    for (double t : {120.0, 110.0, 100.0})
        arrays.push_back(makeArray({.address = "484001", .callsign = "KLM1", .timestamp = 1796618000.0 + t}));
    arrays.push_back(makeArray({.address = "484002", .callsign = "KLM2", .timestamp = 1796618050.0}));
    arrays.push_back(makeArray({.address = "0"}));
    arrays.push_back(nlohmann::json::array({1, 2, 3}));
    EXPECT_EQ(trafficReader.processTrafficReply(test::makeReply(arrays)), 2u);

    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0].timestamp, 1796618050.0);
    EXPECT_EQ(received[1].timestamp, 1796618100.0);
    EXPECT_EQ(received[3].timestamp, 1796618120.0);
    EXPECT_TRUE(trafficReader.pendingReports().empty()) << "handed over";
    EXPECT_EQ(trafficReader.latestReportTime.load(), 1796618120.0);
    EXPECT_EQ(latestTrafficTime.load(), 1796618120);
    EXPECT_EQ(trafficReader.aircraftCount.load(), 2u);

    const SeenLiveMaps seen = trafficReader.takeSeenLiveMaps();
    EXPECT_FALSE(trafficReader.collectLiveAircraft);
    EXPECT_EQ(seen.callsigns.at("KLM2"), 0x484002u);
    EXPECT_EQ(seen.addresses.at(0x484001), "KLM1");
    EXPECT_EQ(seen.addresses.size(), 2u);
    trafficReader.processTrafficReply(
        test::makeReply(nlohmann::json::array({makeArray({.address = "484003"})})));
    EXPECT_TRUE(trafficReader.takeSeenLiveMaps().addresses.empty())
        << "nothing collected after the take-over";

    gf_closeLogFile();
    EXPECT_NE(
        test::readFileText(folder / "Log.txt").find("Traffic Reader: 2 invalid aircraft arrays skipped"),
        std::string::npos);
    EXPECT_THROW(trafficReader.processTrafficReply("{\"data\": [[\"48"), std::runtime_error);
    EXPECT_THROW(trafficReader.processTrafficReply("{\"aircraft\": []}"), std::runtime_error);
    EXPECT_THROW(trafficReader.processTrafficReply("[]"), std::runtime_error);
}

TEST_F(ReplyProcessing, CategoryHookAndSettingsReachTheFilter) {
    gf_setAircraftCategoryLookup([](std::string_view type) { return type == "EC35" ? 5 : 2; });
    HELICOPTERS.setValue(false);
    BLOCK_CALLSIGN.setValue("KLM9");
    nlohmann::json arrays =
        nlohmann::json::array({makeArray({.address = "484001", .callsign = "PHULA", .type = "EC35"}),
                               makeArray({.address = "484002", .callsign = "KLM9"}),
                               makeArray({.address = "484003", .callsign = "KLM10"})});
    trafficReader.processTrafficReply(test::makeReply(arrays));
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].callsign, "KLM10");
    EXPECT_EQ(trafficReader.counters.categoryOff.load(), 1u);
    EXPECT_EQ(trafficReader.counters.blocked.load(), 1u);
}

TEST(ParkedList, SortedByAgeOnePerStandAndCallsign) {
    const double now = 1796618000.0;
    nlohmann::json data = nlohmann::json::array(
        {makeArray(
             {.address = "484001", .callsign = "KLM1", .stand = "D7", .parkedSince = now - 5 * 1800 - 10}),
         makeArray({.address = "484002", .callsign = "KLM2", .stand = "D7", .parkedSince = now - 600}),
         makeArray(
             {.address = "484003", .callsign = "KLM3", .stand = "E18", .parkedSince = now - 2 * 1800 - 5}),
         makeArray({.address = "484004", .callsign = "KLM3", .stand = "F4", .parkedSince = now - 40 * 1800}),
         makeArray({.address = "484005", .callsign = "", .timestamp = now - 1900, .stand = ""}),
         makeArray({.address = "zzz"})});
    unsigned invalid = 0;
    const auto list = gf_buildParkedList(data, now, false, 47, invalid);
    EXPECT_EQ(invalid, 1u);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].callsign, "KLM2");
    EXPECT_EQ(list[0].age, 0);
    EXPECT_EQ(list[1].age, 1) << "without a parked-since time the report time counts";
    EXPECT_EQ(list[2].callsign, "KLM3");
    EXPECT_EQ(list[2].standName, "E18");
    EXPECT_EQ(list[2].age, 2);

    invalid = 0;
    const auto onlyRecent = gf_buildParkedList(data, now, true, 1, invalid);
    ASSERT_EQ(onlyRecent.size(), 2u);
    for (const auto& record : onlyRecent)
        EXPECT_LE(record.age, 1);
    const auto future =
        gf_buildParkedList(nlohmann::json::array({makeArray({.stand = "H2", .parkedSince = now + 600})}), now,
                           false, 47, invalid);
    EXPECT_EQ(future.at(0).age, 0);
}

TEST(TrafficBoxTest, FollowsThePositionAndTheRange) {
    gf_resetReaders();
    rangeNm = 40;
    gf_updateTrafficBox();
    EXPECT_FALSE(trafficReader.box().valid) << "no reference position yet";
    trafficReader.setReferencePosition(52.3086, 4.7639);
    gf_updateTrafficBox();
    const TrafficBox box = trafficReader.box();
    ASSERT_TRUE(box.valid);
    EXPECT_NEAR(box.north - box.south, 80.0 / 60.0, 1e-9);
    EXPECT_NEAR(box.east - box.west, 2 * 40.0 / (60.0 * std::cos(52.3086 * 3.14159265358979 / 180.0)), 1e-6);
    EXPECT_NEAR(gf_distanceNm(box.centreLatitude, box.west, box.centreLatitude, box.centreLongitude), 40.0,
                0.3);
    EXPECT_NEAR(gf_distanceNm(52.3086, 4.7639, 51.9569, 4.4372), 24.3, 0.1);

    const TrafficBox polar = gf_boxAround(89.9, 170.0, 40.0);
    EXPECT_EQ(polar.north, 90.0);
    EXPECT_EQ(polar.east, 180.0);
    EXPECT_GE(polar.west, -180.0);
}

} // namespace
} // namespace kvr
