#pragma once
// The engine's inner operations, shared between its source files and reached by its tests.
#include "engine/traffic_engine.h"

#include <cstdint>
#include <deque>
#include <optional>

namespace kvr {

// --- Report intake (report_intake.cpp) ---------------------------------------------------------------

// The due tick of a report time once the engine's clock is set; the clock is set by the first batch and
// set anew when a batch jumps away from it.
std::int64_t lf_dueTickOf(double timestamp);
// Takes up to two of the reports handed over and files them.
void lf_takeDeferredReports();
// Files one report: a sample of a known aircraft, or a new aircraft unless filtered out.
void lf_fileReport(port::LiveAircraft& report, std::int64_t dueTick);
bool lf_acceptNewAircraft(const port::LiveAircraft& report);
LiveAc* lf_findLiveById(std::uint32_t id);
void lf_resetReportClock();

// --- Motion (motion.cpp) -----------------------------------------------------------------------------

// The signed change from one heading to another along the shorter arc, degrees in (-180, 180].
double lf_shorterArcDeg(double fromDeg, double toDeg);
// Bank of a coordinated turn at the speed and turn rate, limited to 25 degrees either way.
double lf_bankForTurn(double groundSpeedKt, double turnDegPerSecond);
// Flight path angle of the climb, degrees; 0 when not moving.
double lf_pitchForClimb(double groundSpeedKt, double verticalRateFpm);
// Flat-earth distance and bearing, good for the short distances between two ticks or round a stand.
double lf_flatDistanceNm(double latitude1, double longitude1, double latitude2, double longitude2);
double lf_flatBearingDeg(double latitude1, double longitude1, double latitude2, double longitude2);
// The point the distance (nm) along the bearing (degrees) from a start; returns the bearing on arrival,
// which differs near a pole.
double lf_moveAlong(double& latitude, double& longitude, double bearingDeg, double distanceNm);
// A latitude beyond a pole brought back onto the globe (the longitude on the far side); the longitude
// wrapped into -180..180. True when the point was beyond a pole.
bool lf_foldOverPole(double& latitude, double& longitude);
// Drops the samples that have passed, except the last of them.
void lf_trimSamples(LiveAc& aircraft, std::int64_t tick);
// Where the samples put the aircraft at the tick: between the two samples round it, dead reckoned past
// the last one (in the air until its reports go stale, on the ground for at most 10 s, held after that).
MotionState lf_sampleStateAt(const LiveAc& aircraft, std::int64_t tick);
// One tick of an active live aircraft; true when the position is to be sent.
bool lf_updateLiveAc(LiveAc& aircraft, std::int64_t tick, port::PositionUpdate& update);
// Follows the samples from where the aircraft is shown, no faster than its speed allows.
void lf_followSamples(LiveAc& aircraft, std::int64_t tick);

// --- Offsets round a point (local_frame.cpp) -----------------------------------------------------------

LocalFrame lf_frameAt(double latitude, double longitude);
FrameOffset lf_alongBearing(double bearingDeg, double distanceNm);
FrameOffset lf_offsetIn(const LocalFrame& frame, double latitude, double longitude);
// How much a bearing taken at the point must turn to be a direction of the frame (degrees): 0 on the flat.
double lf_bearingTurnAt(const LocalFrame& frame, double latitude, double longitude);
// The point at the offset; returns the turn of a bearing at that point, as lf_bearingTurnAt.
double lf_pointAt(const LocalFrame& frame, FrameOffset offset, double& latitude, double& longitude);

// --- Flight between reports (flight_path.cpp) ----------------------------------------------------------

// The path from an airborne sample to the next.
FlightSegment lf_flightSegmentOf(const PositionSample& a, const PositionSample& b);
// The point of a segment's path at the fraction of the time between its samples: position, altitude, the
// direction of the path (unit offset in the segment's frame) and the speed along it.
struct PathPoint {
    double latitude = 0;
    double longitude = 0;
    double altitude = 0;
    double speedKt = 0;
    FrameOffset direction;
    double bearingTurn = 0; // of a bearing at the point into the segment's frame, degrees
};
PathPoint lf_pathPointAt(const FlightSegment& segment, const PositionSample& a, const PositionSample& b,
                         double f);
// The same as a motion state, the heading being the direction of the path.
MotionState lf_flightPathAt(const PositionSample& a, const PositionSample& b, double f);
// The ground an airborne aircraft must stay above: the highest of its samples on the ground and, near
// the park airport, its elevation; none when neither is known.
std::optional<double> lf_groundBelowFt(const LiveAc& aircraft);
// One tick of flight along the nose towards the path point (its direction given in the frame of the
// current position): turns towards the path, changes speed to close the gap along it (between half the
// reported speed and the catch-up speed) and moves. Returns the bank of the turn flown.
double lf_flyTowards(LiveAc& aircraft, const PathPoint& target, double reportedKt);
port::PositionUpdate lf_positionUpdateOf(const LiveAc& aircraft);

// --- Ground movement (ground_movement.cpp) ------------------------------------------------------------

// The phase moves a new current sample brings: landing, take-off, taxi, parking.
void lf_onNewSegment(LiveAc& aircraft, std::int64_t tick);
// Takes the stand for the aircraft standing at its current sample; the static aircraft there give way.
void lf_takeStand(LiveAc& aircraft, port::Stand& stand);
void lf_startParking(LiveAc& aircraft, port::Stand& stand, std::int64_t tick);
void lf_glideToStand(LiveAc& aircraft, std::int64_t tick);
void lf_arriveAtStand(LiveAc& aircraft, std::int64_t tick);
// Whether a parked aircraft's samples show it leaving; starts the pushback or the taxi when they do.
void lf_checkDeparture(LiveAc& aircraft, std::int64_t tick);
void lf_pushBack(LiveAc& aircraft, std::int64_t tick);
// Airborne samples between two ground samples close in time become ground samples at the height of the
// ground sample before them: the ground flag flickers, the aircraft does not lift.
void lf_settleGroundFlicker(std::vector<PositionSample>& samples);
void lf_setNavLights(const AcRecord& aircraft, bool on);
bool lf_wantsNavLights(const LiveAc& aircraft);

// --- Learning of stand use (stand_learning.cpp) ------------------------------------------------------

void lf_addRealStandOption(LiveAc& aircraft);
// Adds the current slot to the stay when it changed.
void lf_noteStaySlot(LiveAc& aircraft, DaySlot now);
// Writes the stay into the stand's options.
void lf_recordStay(LiveAc& aircraft);
port::Stand* lf_standByNumber(std::uint32_t number);
// The weekday and slot of the traffic shown now; refreshed once a second by the tick.
DaySlot lf_currentDaySlot();
void lf_refreshDaySlot();

// --- Duplicates (duplicates.cpp) ----------------------------------------------------------------------

// Removes the static aircraft on the stand, on a stand overlapping it, or in the way of a live aircraft
// standing there.
void lf_makeRoomAtStand(const LiveAc& aircraft, const port::Stand& stand);

// --- Simulator exchange (sim_exchange.cpp) ------------------------------------------------------------

port::CreateRequest lf_makeCreateRequest(const AcRecord& aircraft, const MotionState& at, bool onGround,
                                         std::string description);
// The creation of a live aircraft where it is shown now, with the ends of its flight plan when the
// airports data base knows both.
port::CreateRequest lf_makeLiveCreateRequest(const LiveAc& aircraft);
// Sends at most one removal every 10 ticks and one creation every 50 ticks, live ones first.
void lf_serveTickQueues(std::int64_t tick);
// Erases the aircraft marked removed from both lists and what refers to them.
void lf_eraseRemoved();
void lf_resetTickQueues();
std::deque<port::SimObjectId>& lf_pendingRemovals();

// --- Spawning (spawn.cpp) -----------------------------------------------------------------------------

// Operator and cargo of the aircraft; false when it must not spawn: a ghost of a fresher aircraft with
// its callsign. The aircraft a fresher ghost replaces is removed.
bool lf_prepareSpawn(LiveAc& aircraft);
// Removes a ghost: the staler of two aircraft with one callsign.
void lf_removeGhost(LiveAc& staler);
bool lf_readyToSpawn(const LiveAc& aircraft, std::int64_t tick);
const LiveryMatchers& lf_liveryMatchers();

} // namespace kvr
