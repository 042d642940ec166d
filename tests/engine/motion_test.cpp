// Angles, bank, pitch and the position between the samples.
#include "engine_fixture.h"

#include <numbers>

namespace kvr::test {
namespace {

PositionSample sampleAt(std::int64_t due, double latitude, double longitude, double altitude,
                        double groundSpeed, double track, bool airborne = true) {
    PositionSample sample;
    sample.dueTick = due;
    sample.latitude = latitude;
    sample.longitude = longitude;
    sample.altitude = altitude;
    sample.groundSpeed = groundSpeed;
    sample.track = track;
    sample.airborne = airborne;
    return sample;
}

TEST(MotionTest, HeadingsChangeAlongTheShorterArc) {
    EXPECT_DOUBLE_EQ(lf_shorterArcDeg(350, 10), 20);
    EXPECT_DOUBLE_EQ(lf_shorterArcDeg(10, 350), -20);
    EXPECT_DOUBLE_EQ(lf_shorterArcDeg(-170, 170), -20);
    EXPECT_DOUBLE_EQ(lf_shorterArcDeg(0, 180), 180);
    EXPECT_DOUBLE_EQ(lf_shorterArcDeg(180, 0), 180);
    EXPECT_DOUBLE_EQ(lf_shorterArcDeg(725, 5), 0);
}

TEST(MotionTest, BankFollowsTheTurnAndStopsAt25Degrees) {
    EXPECT_DOUBLE_EQ(lf_bankForTurn(140, 0), 0);
    EXPECT_NEAR(lf_bankForTurn(140, 3), 21.0, 0.3); // a rate-one turn at 140 kt
    EXPECT_NEAR(lf_bankForTurn(140, -3), -21.0, 0.3);
    EXPECT_DOUBLE_EQ(lf_bankForTurn(450, 3), 25);
    EXPECT_DOUBLE_EQ(lf_bankForTurn(450, -10), -25);
}

TEST(MotionTest, PitchIsTheClimbAngle) {
    EXPECT_DOUBLE_EQ(lf_pitchForClimb(150, 0), 0);
    EXPECT_DOUBLE_EQ(lf_pitchForClimb(0, 0), 0);
    EXPECT_NEAR(lf_pitchForClimb(150, 2000), 7.5, 0.05);
    EXPECT_NEAR(lf_pitchForClimb(140, -700), -2.8, 0.05);
}

TEST(MotionTest, OnTheGroundThePositionIsInterpolatedAcrossNorthAndTheDateLine) {
    LiveAc aircraft;
    aircraft.samples = {sampleAt(100, 10.0, 179.99, 1000, 200, 350, false),
                        sampleAt(200, 10.02, -179.99, 2000, 300, 10, false)};
    const MotionState half = lf_sampleStateAt(aircraft, 150);
    EXPECT_NEAR(half.latitude, 10.01, 1e-12);
    EXPECT_NEAR(std::abs(half.longitude), 180.0, 1e-9);
    EXPECT_NEAR(half.altitude, 1500, 1e-9);
    EXPECT_NEAR(half.groundSpeed, 250, 1e-9);
    EXPECT_NEAR(std::min(half.heading, 360 - half.heading), 0, 1e-9);
    const MotionState before = lf_sampleStateAt(aircraft, 50);
    EXPECT_DOUBLE_EQ(before.latitude, 10.0);
}

TEST(MotionTest, PastTheLastSampleAGroundMoveAndAClimbAreDeadReckonedForTenSecondsOnly) {
    LiveAc aircraft;
    aircraft.samples = {sampleAt(0, 0.0, 0.0, 0, 36, 90, false)};
    const MotionState fiveSeconds = lf_sampleStateAt(aircraft, 500);
    EXPECT_NEAR(fiveSeconds.longitude * 60.0, 0.05, 1e-6);
    const MotionState tenSeconds = lf_sampleStateAt(aircraft, 1000);
    const MotionState later = lf_sampleStateAt(aircraft, 5000);
    EXPECT_NEAR(later.longitude, tenSeconds.longitude, 1e-12);
    EXPECT_EQ(later.groundSpeed, 0);

    aircraft.samples = {sampleAt(0, 0.0, 0.0, 3000, 360, 90)};
    aircraft.samples[0].verticalRate = 600;
    EXPECT_NEAR(lf_sampleStateAt(aircraft, 500).altitude, 3050, 1e-9);
    EXPECT_NEAR(lf_sampleStateAt(aircraft, 5000).altitude, 3100, 1e-9);
}

TEST(MotionTest, UpdatesUseTheSimulatorsSignsForPitchAndBank) {
    LiveAc aircraft;
    aircraft.objectId = 7;
    aircraft.current = {1, 2, 300, 90, 5, 10, 150};
    const port::PositionUpdate update = lf_positionUpdateOf(aircraft);
    EXPECT_EQ(update.objectId, 7u);
    EXPECT_LT(update.pitchRad, 0);
    EXPECT_LT(update.bankRad, 0);
    EXPECT_NEAR(update.headingRad, std::numbers::pi / 2, 1e-12);
}

} // namespace
} // namespace kvr::test
