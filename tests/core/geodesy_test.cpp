#include "core/geodesy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kvr {
namespace {

constexpr double pi = std::numbers::pi;
constexpr double feetPerNm = 1852.0 / 0.3048;

TEST(Geodesy, DistancesAgainstKnownFigures) {
    // Amsterdam Schiphol to London Heathrow is about 200 nm.
    EXPECT_NEAR(gf_distanceNm(52.3086, 4.7639, 51.4775, -0.4614), 200.0, 1.0);
    // One degree along a meridian is close to 60 nm on this earth.
    EXPECT_NEAR(gf_distanceNm(0, 0, 1, 0), 60.04, 0.01);
    // Half the circumference, where the formula is at its limit.
    EXPECT_NEAR(gf_distanceNm(0, 0, 0, 180), pi * 6371000.0 / 1852.0, 1e-6);
    EXPECT_EQ(gf_distanceNm(52.3, 4.7, 52.3, 4.7), 0.0);
    // Across the antimeridian the short way round.
    EXPECT_NEAR(gf_distanceNm(0, 179.5, 0, -179.5), 60.04, 0.01);
}

TEST(Geodesy, InitialBearingsAtTheCardinalDirections) {
    EXPECT_NEAR(gf_initialBearing(0, 0, 1, 0), 0.0, 1e-12);
    EXPECT_NEAR(gf_initialBearing(0, 0, 0, 1), pi / 2, 1e-12);
    EXPECT_NEAR(gf_initialBearing(0, 0, -1, 0), pi, 1e-12);
    EXPECT_NEAR(gf_initialBearing(0, 0, 0, -1), 3 * pi / 2, 1e-12);
    EXPECT_EQ(gf_initialBearing(10, 10, 10, 10), 0.0);
    // Just west of north stays in 0..2 pi rather than going negative.
    const double nearlyNorth = gf_initialBearing(0, 0, 1, -1e-6);
    EXPECT_GT(nearlyNorth, 2 * pi - 1e-3);
    EXPECT_LT(nearlyNorth, 2 * pi);
    // Great circle from Schiphol to Heathrow leaves towards the south-west.
    const double toHeathrow = gf_initialBearing(52.3086, 4.7639, 51.4775, -0.4614);
    EXPECT_GT(toHeathrow, pi);
    EXPECT_LT(toHeathrow, 3 * pi / 2);
}

TEST(Geodesy, DestinationPointTakesRadiansAndFeet) {
    const GeoPoint north = gf_destinationPoint(0, 0, 0, 60.0405 * feetPerNm);
    EXPECT_NEAR(north.latitude, 1.0, 1e-4);
    EXPECT_NEAR(north.longitude, 0.0, 1e-9);
    const GeoPoint east = gf_destinationPoint(0, 0, pi / 2, 60.0405 * feetPerNm);
    EXPECT_NEAR(east.latitude, 0.0, 1e-9);
    EXPECT_NEAR(east.longitude, 1.0, 1e-4);
}

TEST(Geodesy, DestinationPointRoundTripsWithDistanceAndBearing) {
    for (const double bearing : {0.3, 1.0, 2.5, 4.0, 6.0}) {
        for (const double nm : {0.01, 1.0, 50.0, 500.0}) {
            const GeoPoint p = gf_destinationPoint(52.3086, 4.7639, bearing, nm * feetPerNm);
            EXPECT_NEAR(gf_distanceNm(52.3086, 4.7639, p.latitude, p.longitude), nm, nm * 1e-9 + 1e-9);
            EXPECT_NEAR(gf_initialBearing(52.3086, 4.7639, p.latitude, p.longitude), bearing, 1e-6);
        }
    }
}

TEST(Geodesy, DestinationLongitudeWrapsAtTheAntimeridian) {
    const GeoPoint p = gf_destinationPoint(0, 179.9, pi / 2, 12.0 * feetPerNm);
    EXPECT_NEAR(p.longitude, -179.9, 1e-3);
    EXPECT_NEAR(gf_destinationPoint(0, -179.9, 3 * pi / 2, 12.0 * feetPerNm).longitude, 179.9, 1e-3);
}

} // namespace
} // namespace kvr
