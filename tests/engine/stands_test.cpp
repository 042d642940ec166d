// Finding stands: by name, nearest within 55 m, and the nearest free one that fits an aircraft.
#include "engine_fixture.h"

#include "core/geodesy.h"

#include <numbers>

namespace kvr::test {
namespace {

using StandsTest = EngineTest;

GeoPoint metresFrom(double bearingDeg, double metres) {
    return gf_destinationPoint(airportLatitude, airportLongitude, bearingDeg * std::numbers::pi / 180.0,
                               metres / 0.3048);
}

AcRecord aircraftOfSpan(double halfSpanMetres,
                        port::AircraftCategory category = port::AircraftCategory::large) {
    AcRecord record;
    record.halfWingspan = halfSpanMetres / 1852.0;
    record.category = category;
    return record;
}

TEST_F(StandsTest, TheNearestStandNameReachesFiftyFiveMetres) {
    const GeoPoint at50 = metresFrom(0, 50);
    const GeoPoint at60 = metresFrom(90, 60);
    addStand("A1", at50.latitude, at50.longitude, 0, 20);
    addStand("A2", at60.latitude, at60.longitude, 0, 20);
    EXPECT_EQ(gf_nearestStandName(airportLatitude, airportLongitude), "A1");
    port::standList.erase(port::standList.begin());
    EXPECT_EQ(gf_nearestStandName(airportLatitude, airportLongitude), "");
    EXPECT_EQ(lf_findStandByName("A2")->id, "A2");
    EXPECT_EQ(lf_findStandByName("A1"), port::standList.end());
}

TEST_F(StandsTest, TheNearestStandSkipsOccupiedAndHeliStandsForAeroplanesAndTheOtherWayRound) {
    const GeoPoint p10 = metresFrom(0, 10);
    const GeoPoint p20 = metresFrom(90, 20);
    const GeoPoint p30 = metresFrom(180, 30);
    addStand("OCC", p10.latitude, p10.longitude, 0, 30).occupied = true;
    addStand("HELI", p20.latitude, p20.longitude, 0, 30, true);
    addStand("GATE", p30.latitude, p30.longitude, 0, 30);
    const auto plane = lf_findNearestStand(airportLatitude, airportLongitude, aircraftOfSpan(17), 0.1, false);
    ASSERT_NE(plane, port::standList.end());
    EXPECT_EQ(plane->id, "GATE");
    const auto heli = lf_findNearestStand(airportLatitude, airportLongitude,
                                          aircraftOfSpan(6, port::AircraftCategory::rotorcraft), 0.1, false);
    ASSERT_NE(heli, port::standList.end());
    EXPECT_EQ(heli->id, "HELI");
    EXPECT_EQ(
        lf_findNearestStand(airportLatitude, airportLongitude, aircraftOfSpan(17), 25.0 / 1852.0, false),
        port::standList.end());
}

TEST_F(StandsTest, ATooSmallStandIsTakenOnlyWithinTwentyMetresInTheSecondSearchAndLearnsItsRadius) {
    const GeoPoint p15 = metresFrom(0, 15);
    port::Stand& small = addStand("SMALL", p15.latitude, p15.longitude, 0, 14);
    const AcRecord aircraft = aircraftOfSpan(17); // fits a radius of 15.2 m or more
    EXPECT_EQ(lf_findNearestStand(airportLatitude, airportLongitude, aircraft, 0.1, false),
              port::standList.end());
    EXPECT_FALSE(small.radiusChange);
    const auto found = lf_findNearestStand(airportLatitude, airportLongitude, aircraft, 0.1, true);
    ASSERT_NE(found, port::standList.end());
    EXPECT_NEAR(small.radius * 1852.0, 16.0, 1e-9);
    EXPECT_TRUE(small.radiusChange);
    EXPECT_EQ(port::learnedUpdateCount.load(), 1);

    const GeoPoint p25 = metresFrom(0, 25);
    port::Stand& farther = addStand("FAR", p25.latitude, p25.longitude, 0, 14);
    small.occupied = true;
    EXPECT_EQ(lf_findNearestStand(airportLatitude, airportLongitude, aircraft, 0.1, true),
              port::standList.end());
    EXPECT_FALSE(farther.radiusChange);
    farther.radius = 15.3 / 1852.0;
    EXPECT_EQ(lf_findNearestStand(airportLatitude, airportLongitude, aircraft, 0.1, false)->id, "FAR");
}

} // namespace
} // namespace kvr::test
