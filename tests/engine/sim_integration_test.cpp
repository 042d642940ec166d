// The engine against the simulated simulator through the real link connection, on the simulated clock:
// the objects the simulator holds are what the user would see.
#include "engine_fixture.h"

#include "core/exit_request.h"
#include "core/geodesy.h"
#include "core/log.h"
#include "platform/simconnect/simulated_simulator.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"
#include "simlink/sim_client_internal.h"
#include "simlink/sim_link_state.h"
#include "simlink/sim_queues.h"
#include "support/temp_folder.h"

#include <chrono>
#include <cstdlib>
#include <memory>

namespace kvr::test {
namespace {

class SimIntegrationTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        setenv("XDG_CONFIG_HOME", (folder.path() / "roaming").c_str(), 1);
        gf_initAppDataFolder();
        gf_openLogFile(folder.path());
        gf_resetStopState();
        gf_resetSimLink();
        lf_initSimQueues();
        failedLiveryTitles.clear();
        failedAircraftTexts.clear();
        simsim::Scenario scenario;
        scenario.kind = "MSFS 2020";
        scenario.applicationName = "KittyHawk";
        scenario.version = {11, 0, 282174, 999};
        scenario.utcStartEpoch = static_cast<std::int64_t>(epoch0);
        scenario.creationDelaySeconds = 0.5;
        // Listed late, and beside the simulator's own aircraft with the same callsigns.
        scenario.recognitionDelaySeconds = 2;
        scenario.copyCallsigns = true;
        scenario.packagesFolder = std::filesystem::path();
        scenario.extraTitles = matchedTitles;
        scenario.user.title = "Boeing 737-800 KLM (PH-BXA)";
        scenario.user.atcModel = "B738";
        scenario.user.wingspanFt = 117.4;
        scenario.user.latitude = airportLatitude + 0.01;
        scenario.user.longitude = airportLongitude + 0.01;
        scenario.user.altitudeFt = -11;
        scenario.user.headingDeg = 225;
        sim = std::make_shared<simsim::SimulatedSimulator>(std::move(scenario));
        simsim::installSimulator(sim);
        ASSERT_TRUE(connection.open());
        for (int i = 0; i < 10; ++i)
            beforeTick();
    }
    void TearDown() override {
        connection.close();
        simsim::installSimulator(nullptr);
        gf_closeLogFile();
        gf_resetStopState();
        gf_resetSimLink();
        EngineTest::TearDown();
    }
    void beforeTick() override {
        sim->advance(std::chrono::milliseconds(10));
        connection.dispatch();
    }
    void afterTick() override {
        for (const simsim::SimObjectState& object : sim->objects()) {
            auto& track = tracks[object.atcId];
            if (track.empty() || track.back().latitude != object.latitude ||
                track.back().longitude != object.longitude)
                track.push_back({sim->clockSeconds(), object.latitude, object.longitude, object.headingDeg});
        }
    }

    struct Fix {
        double seconds;
        double latitude;
        double longitude;
        double heading;
    };
    // The highest speed (kt) between two positions the simulator showed one after the other.
    double fastest(const std::string& atcId) const {
        double fastest = 0;
        const auto& track = tracks.at(atcId);
        for (std::size_t i = 1; i < track.size(); ++i) {
            const double hours = (track[i].seconds - track[i - 1].seconds) / 3600.0;
            fastest = std::max(fastest, gf_distanceNm(track[i - 1].latitude, track[i - 1].longitude,
                                                      track[i].latitude, track[i].longitude) /
                                            hours);
        }
        return fastest;
    }
    std::optional<simsim::SimObjectState> objectOf(const std::string& atcId) const {
        for (const simsim::SimObjectState& object : sim->objects())
            if (object.atcId == atcId)
                return object;
        return std::nullopt;
    }

    TempFolder folder;
    std::shared_ptr<simsim::SimulatedSimulator> sim;
    SimClientConnection connection;
    std::map<std::string, std::vector<Fix>> tracks;
};

TEST_F(SimIntegrationTest, AnArrivalAppearsFlyingLandsTaxisAndParksOnItsStand) {
    std::vector<port::LiveAircraft> path =
        pathReports(0x484C01, "KLM1234", epoch0, airportLatitude, airportLongitude - 0.1, 2400,
                    {{200, 140, 90, -700, false},
                     {20, 100, 90, 0, true},
                     {10, 50, 90, 0, true},
                     {60, 15, 0, 0, true},
                     {20, 4, 0, 0, true},
                     {150, 0, 0, 0, true}});
    const GeoPoint standPoint =
        gf_destinationPoint(path.back().latitude, path.back().longitude, 0.0, 30.0 / 0.3048);
    const port::Stand& stand = addStand("E7", standPoint.latitude, standPoint.longitude, 10, 30);
    schedule(std::move(path));

    run(60);
    const auto airborne = objectOf("KLM1234");
    ASSERT_TRUE(airborne);
    EXPECT_FALSE(airborne->onGround);
    EXPECT_GT(airborne->altitudeFt, 1500);
    EXPECT_TRUE(airborne->navLights);
    EXPECT_EQ(airborne->title, matchedTitles[0]);

    run(460);
    const auto parked = objectOf("KLM1234");
    ASSERT_TRUE(parked);
    EXPECT_NEAR(parked->latitude, stand.latitude, 1e-9);
    EXPECT_NEAR(parked->longitude, stand.longitude, 1e-9);
    EXPECT_NEAR(parked->headingDeg, 10, 1e-6);
    EXPECT_EQ(live(0x484C01)->phase, AcPhase::parked);
    EXPECT_TRUE(stand.occupied);
    EXPECT_EQ(stand.options.size(), 1u);
    EXPECT_LE(fastest("KLM1234"), 140 * 1.3 + 12);
    EXPECT_FALSE(stopRequested);
}

TEST_F(SimIntegrationTest, ADeparturePushesBackTaxisTakesOffAndIsRemovedWhenItsReportsEnd) {
    NAV_LIGHTS_WHILE_PARKED.setValue(false);
    const port::Stand& stand = addStand("D3", airportLatitude, airportLongitude, 0, 40);
    std::vector<port::LiveAircraft> path = departureReports();
    schedule(std::move(path));

    run(40);
    const auto atStand = objectOf("RYR55");
    ASSERT_TRUE(atStand);
    EXPECT_NEAR(atStand->latitude, stand.latitude, 1e-9);
    EXPECT_FALSE(atStand->navLights);
    run(80);
    ASSERT_NE(live(0x4CA001), nullptr);
    EXPECT_NE(live(0x4CA001)->phase, AcPhase::parked);
    EXPECT_TRUE(objectOf("RYR55")->navLights);
    EXPECT_FALSE(stand.occupied);
    run(300);
    EXPECT_FALSE(objectOf("RYR55"));
    EXPECT_EQ(live(0x4CA001), nullptr);
    ASSERT_GT(tracks["RYR55"].size(), 1000u);
    EXPECT_LE(fastest("RYR55"), 160 * 1.3 + 12);
    EXPECT_FALSE(stopRequested);
}

} // namespace
} // namespace kvr::test
