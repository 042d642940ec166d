// The Traffic Reader's replies handed to the engine, and the live aircraft it collects for static parking.
#include "engine_fixture.h"

#include "core/geodesy.h"
#include "traffic_service/readers.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

namespace kvr::test {
namespace {

using ReaderHandOverTest = EngineTest;

nlohmann::json aircraftArray(const std::string& address, const std::string& callsign, double timestamp,
                             double latitude, double longitude = airportLongitude, bool onGround = false) {
    nlohmann::json values = nlohmann::json::array();
    for (int i = 0; i < 48; ++i)
        values.push_back(nullptr);
    values[0] = address;
    values[1] = callsign;
    values[2] = latitude;
    values[3] = longitude;
    values[4] = 3000;
    values[5] = 200;
    values[6] = 0;
    values[7] = 0;
    values[8] = onGround ? 1 : 0;
    values[9] = timestamp;
    values[10] = "B738";
    values[11] = "PH-BXA";
    values[12] = "KLM";
    values[13] = "KL12";
    values[14] = "EHAM";
    values[15] = "EGLL";
    values[17] = 210;
    return values;
}

TEST_F(ReaderHandOverTest, RepliesReachTheEngineAndTheCollectedAircraftAreTakenOver) {
    trafficReader.reset();
    gf_installReportIntake();
    trafficReader.collectLiveAircraft = true;
    nlohmann::json reply;
    reply["data"] = {aircraftArray("484C01", "KLM12", epoch0, airportLatitude + 0.05),
                     aircraftArray("484C01", "KLM12", epoch0 + 5, airportLatitude + 0.055)};
    EXPECT_EQ(trafficReader.processTrafficReply(reply.dump()), 1u);
    EXPECT_EQ(gf_pendingReportCount(), 2u);
    tick();
    const LiveAc* aircraft = live(0x484C01);
    ASSERT_NE(aircraft, nullptr);
    EXPECT_EQ(aircraft->samples.size(), 2u);
    EXPECT_EQ(aircraft->flightNumber, "KL12");
    EXPECT_EQ(aircraft->destination, "EGLL");

    lf_takeSeenLiveMaps();
    EXPECT_EQ(seenLiveMaps.callsigns.at("KLM12"), 0x484C01u);
    EXPECT_EQ(seenLiveMaps.addresses.at(0x484C01), "KLM12");
    EXPECT_FALSE(trafficReader.collectLiveAircraft);

    lf_setKeepReportsFlag(false);
    reply["data"] = {aircraftArray("484C01", "KLM12", epoch0 + 10, airportLatitude + 0.06)};
    trafficReader.processTrafficReply(reply.dump());
    EXPECT_EQ(gf_pendingReportCount(), 0u);
}

// Thirteen aircraft flying east at 200 kt, each reporting every 3 s; in every reply one report of one of
// them claims a time an hour or fifty years ahead of the service's "now".
TEST_F(ReaderHandOverTest, AReportAheadOfTheServiceTimeFreezesNothing) {
    trafficReader.reset();
    gf_installReportIntake();
    constexpr int aircraft = 13;
    const double degreesPerSecond =
        200.0 / 3600.0 / 60.0 / std::cos(airportLatitude * 3.141592653589793 / 180.0);
    for (int second = 0, reply = 0; second < 100; second += 3, ++reply) {
        const double now = epoch0 + second;
        nlohmann::json body{{"now", now}, {"data", nlohmann::json::array()}};
        for (int k = 0; k < aircraft; ++k)
            body["data"].push_back(aircraftArray(fmt::format("48{:04X}", k + 1), fmt::format("KLM{}", k + 1),
                                                 now, airportLatitude + 0.01 * k,
                                                 airportLongitude + degreesPerSecond * second));
        body["data"][reply % aircraft][9] = now + (reply % 2 == 0 ? 3600.0 : 50 * 365.25 * 86400.0);
        trafficReader.processTrafficReply(body.dump());
        run(3);
    }
    EXPECT_EQ(echo.objects.size(), static_cast<std::size_t>(aircraft));
    for (int k = 0; k < aircraft; ++k) {
        const LiveAc* shown = live(0x480000u + static_cast<std::uint32_t>(k) + 1);
        ASSERT_NE(shown, nullptr) << k;
        EXPECT_EQ(shown->simState, SimState::active) << k;
    }
    EXPECT_EQ(trafficReader.counters.aheadOfNow.load(), 34u);
    EXPECT_LT(trafficReader.latestReportTime.load(), epoch0 + 100.0);
}

// A thousand aircraft in the box, each reporting every 5 s: the first reply holds the last minute of each
// (12 reports, 12,000 in all), the next ones, every 3 s, what came since. Each reply is filed before the
// next poll.
TEST_F(ReaderHandOverTest, AThousandAircraftAreFiledWithinEachPollingInterval) {
    trafficReader.reset();
    gf_installReportIntake();
    constexpr int aircraft = 1000;
    auto reply = [&](double from, double now) {
        nlohmann::json body{{"now", now}, {"data", nlohmann::json::array()}};
        for (int k = 0; k < aircraft; ++k)
            for (double time = now - std::fmod(now - k % 5, 5.0); time > from; time -= 5)
                body["data"].push_back(aircraftArray(
                    fmt::format("4{:05X}", k + 1), fmt::format("KLM{}", k + 1), time,
                    airportLatitude + 0.005 * (k / 40 - 12), airportLongitude + 0.01 * (k % 40 - 20)));
        return body.dump();
    };
    EXPECT_EQ(trafficReader.processTrafficReply(reply(epoch0 - 60, epoch0)), 1000u);
    tick(300);
    EXPECT_EQ(gf_pendingReportCount(), 0u);
    for (double now = epoch0 + 3; now <= epoch0 + 9; now += 3) {
        trafficReader.processTrafficReply(reply(now - 3, now));
        tick(300);
        EXPECT_EQ(gf_pendingReportCount(), 0u) << now - epoch0;
    }
}

// A taxiing aircraft whose one report lies half a degree east of its taxiway: the report is dropped and
// counted, and the aircraft goes on along its taxiway with the next one. A second aircraft whose first
// report was the false one comes back from its honest reports once three of them agree.
TEST_F(ReaderHandOverTest, AReportThatJumpsFartherThanAnyAircraftMovesIsDropped) {
    trafficReader.reset();
    gf_installReportIntake();
    const double degreesPerSecond = 15.0 / 3600.0 / 60.0; // 15 kt northwards
    const double secondLongitude = airportLongitude + 0.01;
    for (int second = 0; second <= 120; second += 5) {
        const double now = epoch0 + second;
        const double latitude = airportLatitude + degreesPerSecond * second;
        nlohmann::json body{{"now", now},
                            {"data",
                             {aircraftArray("484C01", "KLM12", now, latitude,
                                            airportLongitude + (second == 60 ? 0.5 : 0.0), true),
                              aircraftArray("484C02", "KLM13", now, latitude + (second == 0 ? 0.5 : 0.0),
                                            secondLongitude, true)}}};
        body["data"][0][5] = 15;
        body["data"][1][5] = second == 0 ? 0 : 15;
        trafficReader.processTrafficReply(body.dump());
        run(5);
    }
    run(30);
    EXPECT_EQ(gf_jumpReportCount(), 4u);
    const EchoObject* object = echo.byTail("KLM12");
    ASSERT_NE(object, nullptr);
    double farthestNm = 0;
    for (const port::PositionUpdate& move : object->moves)
        farthestNm = std::max(farthestNm,
                              gf_distanceNm(move.latitude, move.longitude, move.latitude, airportLongitude));
    EXPECT_LT(farthestNm, 0.01) << "the shown aircraft stays on its taxiway";
    EXPECT_NEAR(object->moves.back().latitude, airportLatitude + degreesPerSecond * 120, 0.001)
        << "and reaches the end of its reports (dead reckoned for up to 10 s)";
    std::vector<double> secondCreatedAt;
    for (const port::CreateRequest& creation : echo.creations)
        if (creation.tailNumber == "KLM13")
            secondCreatedAt.push_back(creation.latitude);
    ASSERT_EQ(secondCreatedAt.size(), 1u);
    EXPECT_LT(secondCreatedAt[0], airportLatitude + degreesPerSecond * 120) << "created on its taxiway";
}

} // namespace
} // namespace kvr::test
