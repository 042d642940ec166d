// The Traffic Reader's replies handed to the engine, and the live aircraft it collects for static parking.
#include "engine_fixture.h"

#include <nlohmann/json.hpp>

namespace kvr::test {
namespace {

using ReaderHandOverTest = EngineTest;

nlohmann::json aircraftArray(const std::string& address, const std::string& callsign, double timestamp,
                             double latitude) {
    nlohmann::json values = nlohmann::json::array();
    for (int i = 0; i < 48; ++i)
        values.push_back(nullptr);
    values[0] = address;
    values[1] = callsign;
    values[2] = latitude;
    values[3] = airportLongitude;
    values[4] = 3000;
    values[5] = 200;
    values[6] = 0;
    values[7] = 0;
    values[8] = 0;
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

} // namespace
} // namespace kvr::test
