#pragma once
// The fixed figures of the traffic engine. Time is counted in ticks of 10 ms.
#include <cstdint>

namespace kvr::tuning {

inline constexpr std::int64_t ticksPerSecond = 100;
inline constexpr double secondsPerTick = 0.01;

// Reports are shown this long after their time, so that a sample after "now" is nearly always there.
inline constexpr std::int64_t reportLagTicks = 30 * ticksPerSecond;
// A batch whose newest report is this far from the engine's clock sets the clock anew (a time shift, a
// pause of the flight).
inline constexpr double clockJumpSeconds = 60.0;
// A buffered reply spans a minute; its time is the newest report within this span of the batch's median,
// so that a report with a clock far ahead never sets the engine's clock.
inline constexpr double batchSpanSeconds = 60.0;
// The fastest a report may move from the aircraft's neighbouring sample (see docs/traffic-engine.md):
// faster than any aircraft rolls on the ground or flies, plus slack for the time and position errors of
// the receivers.
inline constexpr double maxGroundMoveKt = 300.0;
inline constexpr double maxAirMoveKt = 2000.0;
inline constexpr double moveSlackSeconds = 2.0;
inline constexpr double moveSlackNm = 0.1;
// Dropped reports in a row that agree among themselves show that the aircraft was created from a false
// report: it is removed and comes back from the honest ones.
inline constexpr int agreeingJumpsToRestart = 3;
// Reports taken from the hand-over list per tick, at least; a larger batch is spread over half a polling
// interval of the Traffic Reader (every 3 s, docs/service-protocol.md).
inline constexpr std::size_t reportsPerTick = 2;
inline constexpr std::int64_t pollingIntervalTicks = 3 * ticksPerSecond;
// Samples kept per aircraft; the oldest goes first.
inline constexpr std::size_t maxSamples = 32;

inline constexpr std::int64_t ticksBetweenCreations = 50;
inline constexpr std::int64_t ticksBetweenRemovals = 10;

inline constexpr std::int64_t deadReckoningTicks = 10 * ticksPerSecond;
inline constexpr std::int64_t staleTicks = 60 * ticksPerSecond;
inline constexpr std::int64_t staleParkedTicks = 60 * 60 * ticksPerSecond;
// Parked aircraft are pinned to their stand by an update this often.
inline constexpr std::int64_t parkedUpdateTicks = ticksPerSecond;

inline constexpr double standingSpeedKt = 1.0;
inline constexpr double glideSpeedKt = 5.0;
inline constexpr double departureSpeedKt = 2.0;
inline constexpr double pushbackWingspans = 1.5;
inline constexpr double pushbackSpeedKt = 3.0;
inline constexpr double maxPushbackTurnDeg = 90.0;
inline constexpr double forwardDepartureDeg = 60.0;
inline constexpr std::int64_t pushedBackWaitTicks = 3 * ticksPerSecond;
inline constexpr double takeOffSpeedKt = 40.0;
inline constexpr double taxiAfterLandingKt = 30.0;

// Stays at stands, pushbacks and the ground flag (see docs/traffic-engine.md).
// The last report of an aircraft that stops at a stand may still creep below this speed.
inline constexpr double parkingSpeedKt = 5.0;
// A parked aircraft has left its stand once two reports in a row lie this far from where it stood: beyond
// the receivers' jitter (4 m either way puts two reports of a standing aircraft up to 11.3 m apart).
inline constexpr double leftStandNm = 15.0 / 1852.0;
// Backing out, the tail's way bends gradually; a report whose track turns more than this from it moves off
// forwards, and after a stop one that turns more than the second figure.
inline constexpr double pushbackReversalDeg = 90.0;
inline constexpr double pushbackReversalAfterStopDeg = 45.0;
// Airborne reports between two ground reports at most this far apart in time are a flickering ground
// flag (common on a landing roll), not a lift-off.
inline constexpr double groundFlickerSeconds = 10.0;

inline constexpr double maxBankDeg = 25.0;
inline constexpr double bankRateDegPerSecond = 5.0;
inline constexpr double pitchRateDegPerSecond = 3.0;
inline constexpr double groundTurnDegPerSecond = 30.0;
inline constexpr double airTurnDegPerSecond = 10.0;
// How much faster than the reported speed the shown aircraft may move to close a gap.
inline constexpr double catchUpFactor = 1.25;
inline constexpr double catchUpKt = 10.0;
inline constexpr double minClimbFeetPerMinute = 1500.0;

// Flight between reports. The shown aircraft flies along its nose towards the path its samples describe:
// it aims at the path this far ahead of itself (seconds at its speed, at least the distance), meeting it at
// no more than the intercept angle, and changes its speed to close a gap along the path in about
// closeGapSeconds; in the air it never goes slower than this share of its reported speed.
inline constexpr double pathLookAheadSeconds = 20.0;
inline constexpr double pathLookAheadNm = 0.3;
inline constexpr double maxInterceptDeg = 45.0;
inline constexpr double closeGapSeconds = 15.0;
inline constexpr double slowestShareOfReported = 0.5;
// The path leaves a sample along its track; the tangent is the distance flown at its speed in the
// segment's time, at most this many times the distance between the samples, so that a speed that does
// not fit the positions cannot make the path loop.
inline constexpr double longestTangentChords = 2.0;
// An aircraft whose reports showed a turn (a track change above turnSeenDeg between two of them) within
// the last cautiousAfterTurnSeconds is likely still manoeuvring (a holding, an approach): past its last
// report it may turn either way or fly on, so it is dead reckoned at the slowest share of its speed, which
// keeps it nearest to whatever path the next report shows.
inline constexpr double turnSeenDeg = 10.0;
inline constexpr std::int64_t cautiousAfterTurnTicks = 150 * ticksPerSecond;
// Beyond this gap a taxiing aircraft turns its nose towards where it must go.
inline constexpr double steerTowardsGapNm = 15.0 / 1852.0;

// Ground reference altitude applies within this distance of the park airport's stands.
inline constexpr double groundReferenceRangeNm = 5.0;

inline constexpr double nearestStandNameNm = 0.029697624190064796; // 55 m
inline constexpr double smallStandMarginNm = 1.8 / 1852.0;
inline constexpr double smallStandSearchNm = 20.0 / 1852.0;
inline constexpr double enlargedStandMarginNm = 1.0 / 1852.0;

inline constexpr double inFrontDistanceNm = 1.0;
inline constexpr double inFrontAngleDeg = 20.0;
inline constexpr double inFrontHeightFt = 1000.0;
inline constexpr double staticCollisionFactor = 1.1;

inline constexpr std::size_t failedTitlesLimit = 20;

inline constexpr std::size_t liveTableSize = 512;
inline constexpr std::size_t staticTableSize = 256;

} // namespace kvr::tuning
