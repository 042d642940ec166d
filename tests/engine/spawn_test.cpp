// From samples to an aircraft in the simulator: when it spawns, where, with which livery, and ghosts.
#include "engine_fixture.h"

#include "core/geodesy.h"
#include "core/log.h"
#include "core/no_match_names.h"
#include "refdata/airport_table.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <numbers>

namespace kvr::test {
namespace {

using SpawnTest = EngineTest;

port::LiveAircraft flying(std::uint32_t address, const std::string& callsign, double timestamp) {
    return makeReport(address, callsign, timestamp, airportLatitude + 0.1, airportLongitude, 3000, 200, 90, 0,
                      false);
}

TEST_F(SpawnTest, AnAircraftSpawnsWhenItsFirstSampleIsDueAndASecondOneIsThere) {
    handOver({flying(1, "KLM1", epoch0)});
    tick(3100);
    ASSERT_NE(live(1), nullptr);
    EXPECT_EQ(live(1)->simState, SimState::buffer);
    EXPECT_TRUE(echo.creations.empty());
    handOver({flying(1, "KLM1", epoch0 + 5)});
    tick(5);
    ASSERT_EQ(echo.creations.size(), 1u);
    EXPECT_EQ(live(1)->simState, SimState::active);
    EXPECT_EQ(live(1)->phase, AcPhase::flying);
    EXPECT_FALSE(echo.creations[0].onGround);
    EXPECT_EQ(echo.creations[0].tailNumber, "KLM1");
    EXPECT_EQ(echo.creations[0].title, matchedTitles[0]);
}

TEST_F(SpawnTest, TheCreationCarriesTheFlightPlanEndsWhenBothAirportsAreKnown) {
    const std::vector<Airport> saved = airportTable;
    airportTable = {{"EGLL", "LHR", "Heathrow", 51.47, -0.46, 83, 0},
                    {"EHAM", "AMS", "Schiphol", 52.31, 4.76, -11, 0}};
    port::LiveAircraft known = flying(1, "KLM1", epoch0);
    known.origin = "EHAM";
    known.destination = "EGLL";
    port::LiveAircraft half = flying(2, "KLM2", epoch0);
    half.origin = "EHAM";
    half.destination = "KJFK";
    port::LiveAircraft knownLater = known;
    knownLater.timestamp += 5;
    port::LiveAircraft halfLater = half;
    halfLater.timestamp += 5;
    handOver({known, half, knownLater, halfLater});
    tick(3100);
    airportTable = saved;
    ASSERT_EQ(echo.creations.size(), 2u);
    EXPECT_EQ(echo.creations[0].origin.code, "EHAM");
    EXPECT_EQ(echo.creations[0].destination.code, "EGLL");
    EXPECT_DOUBLE_EQ(echo.creations[0].destination.elevationFt, 83);
    EXPECT_TRUE(echo.creations[1].origin.code.empty());
    EXPECT_TRUE(echo.creations[1].destination.code.empty());
}

TEST_F(SpawnTest, AStandingAircraftSpawnsParkedAtTheNearestFreeStandWhoseRadiusHoldsIt) {
    const double latitude = airportLatitude;
    const double longitude = airportLongitude;
    const GeoPoint north = gf_destinationPoint(latitude, longitude, 0, 20 / 0.3048);
    const GeoPoint east = gf_destinationPoint(latitude, longitude, std::numbers::pi / 2, 25 / 0.3048);
    port::Stand& taken = addStand("S1", north.latitude, north.longitude, 0, 30);
    taken.occupied = true;
    addActiveLive(9, "KLM9", north.latitude, north.longitude, 0, true, AcPhase::parked).standNumber =
        taken.number;
    const port::Stand& free = addStand("S2", east.latitude, east.longitude, 270, 30);
    addStand("S3", latitude + 0.002, longitude, 0, 30);
    handOver({makeReport(2, "KLM2", epoch0, latitude, longitude, 0, 0, 0, 0, true)});
    tick(3010);
    ASSERT_NE(live(2), nullptr);
    EXPECT_EQ(live(2)->phase, AcPhase::parked);
    EXPECT_EQ(live(2)->standNumber, free.number);
    EXPECT_TRUE(free.occupied);
    ASSERT_EQ(echo.creations.size(), 1u);
    EXPECT_TRUE(echo.creations[0].onGround);
    EXPECT_DOUBLE_EQ(echo.creations[0].latitude, free.latitude);
    EXPECT_NEAR(echo.creations[0].headingDeg, 270, 1e-9);
}

TEST_F(SpawnTest, AnAircraftWithoutLiveryNeverSpawnsAndOnlyOneWithARegistrationIsNoted) {
    TempFolder folder;
    gf_openLogFile(folder.path());
    liveMatcherFinds = false;
    port::LiveAircraft unnamed = flying(4, "KLM4", epoch0);
    unnamed.registration.clear();
    handOver(
        {flying(3, "KLM3", epoch0), flying(3, "KLM3", epoch0 + 5), unnamed, flying(4, "KLM4", epoch0 + 5)});
    tick(3100);
    for (std::uint32_t id : {3u, 4u}) {
        ASSERT_NE(live(id), nullptr);
        EXPECT_TRUE(live(id)->liveryRefused);
        EXPECT_EQ(live(id)->simState, SimState::buffer);
    }
    EXPECT_TRUE(echo.creations.empty());
    EXPECT_EQ(liveMatches, 2);
    gf_logNoMatch();
    gf_closeLogFile();
    const std::string log = readFileText(folder / "Log.txt");
    EXPECT_NE(log.find("No match found for:\nKLM3     PH-3     KLM B738\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("KLM4"), std::string::npos);
}

TEST_F(SpawnTest, TheLiveryMatchedForAnAddressIsKeptWhenItComesBack) {
    handOver({flying(5, "KLM5", epoch0), flying(5, "KLM5", epoch0 + 5)});
    tick(3010);
    ASSERT_EQ(live(5)->simState, SimState::active);
    tick(7000);
    EXPECT_EQ(live(5), nullptr);
    ASSERT_EQ(echo.removals.size(), 1u);
    liveMatcherFinds = false;
    handOver({flying(5, "KLM5", epoch0 + 100), flying(5, "KLM5", epoch0 + 105)});
    tick(3010);
    ASSERT_NE(live(5), nullptr);
    EXPECT_EQ(live(5)->simState, SimState::active);
    EXPECT_EQ(liveMatches, 1);
    ASSERT_EQ(echo.creations.size(), 2u);
    EXPECT_EQ(echo.creations[1].title, echo.creations[0].title);
}

TEST_F(SpawnTest, AFresherSecondAddressWithTheSameCallsignReplacesTheStalerOne) {
    handOver({flying(0xA, "KLM7", epoch0), flying(0xA, "KLM7", epoch0 + 5)});
    tick(3010);
    const port::SimObjectId first = echo.idOfTail("KLM7");
    ASSERT_NE(first, 0u);
    handOver({flying(0xB, "KLM7", epoch0 + 20), flying(0xB, "KLM7", epoch0 + 25)});
    tick(2100);
    EXPECT_EQ(live(0xA), nullptr);
    EXPECT_TRUE(echo.objects[first].removed);
    ASSERT_NE(live(0xB), nullptr);
    EXPECT_EQ(live(0xB)->callsign, "KLM7_");
    EXPECT_EQ(live(0xB)->reportCallsign, "KLM7");
    EXPECT_NE(echo.byTail("KLM7_"), nullptr);
    EXPECT_EQ(std::count(spawnedCallsigns.begin(), spawnedCallsigns.end(), "KLM7"), 1);
}

TEST_F(SpawnTest, AStalerSecondAddressWithTheSameCallsignIsDropped) {
    std::vector<port::LiveAircraft> first;
    for (double t = -10; t <= 30; t += 5)
        first.push_back(flying(0xA, "KLM8", epoch0 + t));
    handOver(first);
    tick(2100);
    ASSERT_EQ(live(0xA)->simState, SimState::active);
    handOver({flying(0xB, "KLM8", epoch0), flying(0xB, "KLM8", epoch0 + 5)});
    tick(1000);
    EXPECT_EQ(live(0xB), nullptr);
    ASSERT_NE(live(0xA), nullptr);
    EXPECT_EQ(live(0xA)->callsign, "KLM8");
    EXPECT_EQ(echo.creations.size(), 1u);
    EXPECT_TRUE(echo.removals.empty());
}

} // namespace
} // namespace kvr::test
