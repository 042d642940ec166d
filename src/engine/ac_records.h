#pragma once
// The aircraft records of the traffic engine: the head both kinds share (AcRecord), the live aircraft
// that follow the service's reports (LiveAc) and the static aircraft parked at the park airport's stands
// (StaticAc), with their two state machines.
//
// SimState: buffer (collecting samples) -> adding2sim (creation queued or sent) -> active (an object in
// the simulator) -> removingfromsim (removal queued); the record is erased once the removal is sent.
// AcPhase: what a live aircraft is doing; see ground_movement.h for the moves between the phases.
#include "core/geodesy.h"
#include "engine/livery_port.h"
#include "engine/report_source.h"
#include "engine/sim_port.h"
#include "engine/stand_port.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvr {

enum class SimState : std::uint32_t { buffer = 0, adding2sim = 1, active = 2, removingfromsim = 3 };

enum class AcPhase : std::uint32_t {
    birth = 0,
    flying = 1,
    taxi = 2,
    take_off = 3,
    landing = 4,
    parking = 5,
    parked = 6,
    pushing_back = 7,
    pushed_back = 8,
};

// One timed position of a live aircraft, due at a tick of the engine (10 ms each).
struct PositionSample {
    double latitude = 0;     // degrees
    double longitude = 0;    // degrees
    double altitude = 0;     // ft
    double groundSpeed = 0;  // kt
    double track = 0;        // degrees true
    double verticalRate = 0; // ft/min
    double trueAirspeed = 0; // kt
    double timestamp = 0;    // epoch seconds of the report
    std::int64_t dueTick = 0;
    bool airborne = false;
    bool standing = false;         // on the ground and not moving
    std::optional<double> bank;    // degrees, right wing down positive
    std::optional<double> heading; // degrees true
};

// Values that differ by aircraft category.
struct CategoryValues {
    double rotationPitchDeg = 8; // nose up at lift-off
    bool pushesBack = true;      // leaves a stand backwards
};

// Where an aircraft is drawn and how it lies in the air; angles in degrees, pitch nose up positive, bank
// right wing down positive.
struct MotionState {
    double latitude = 0;
    double longitude = 0;
    double altitude = 0; // ft
    double heading = 0;  // degrees true
    double pitch = 0;
    double bank = 0;
    double groundSpeed = 0; // kt
};

// Offsets east and north round a point (local_frame.cpp).
struct LocalFrame {
    double latitude = 0;
    double longitude = 0;
    double cosine = 1; // of the latitude
    bool polar = false;
};
struct FrameOffset {
    double east = 0; // nm
    double north = 0;
};
// The length of an offset: a few miles at most, so the plain root is exact enough and much quicker than
// std::hypot, which guards against overflow.
inline double lf_lengthNm(FrameOffset offset) {
    return std::sqrt(offset.east * offset.east + offset.north * offset.north);
}
// The unit vector of the shown aircraft's nose and the heading it belongs to: in the air the nose turns a
// little each tick, and turning the vector is cheaper than a sine and cosine of the heading.
struct NoseDirection {
    double headingDeg = std::numeric_limits<double>::quiet_NaN();
    FrameOffset unit;
};

// The path between two airborne samples (flight_path.cpp), worked out once per segment: a cubic curve
// through both positions with the tangents of their tracks, in the frame of the first.
struct FlightSegment {
    std::int64_t fromTick = -1; // due ticks of its samples
    std::int64_t toTick = -1;
    LocalFrame frame;
    FrameOffset chord;
    FrameOffset startTangent;
    FrameOffset endTangent;
    double hours = 0;
};

// The head of both kinds of aircraft: what the livery matchers read and write, plus the size of the
// aircraft and how it stands towards the simulator.
struct AcRecord : port::MatchSubject {
    std::string callsign;    // as given to the simulator: its tail number
    double halfWingspan = 0; // nm
    CategoryValues values;
    std::uint32_t creationId = 0; // echoed by the simulator link in its notifications
    port::SimObjectId objectId = 0;
    SimState simState = SimState::buffer;
    bool removeWhenCreated = false; // remove as soon as the simulator reports the object created
    bool removed = false;           // done with; erased from its list at the end of the tick
};

struct LiveAc : AcRecord {
    std::uint32_t id = 0;       // the 24-bit address
    std::string reportCallsign; // the callsign the service reports (without a ghost's "_")
    std::string flightNumber;
    std::string origin;
    std::string destination;
    AcPhase phase = AcPhase::birth;
    bool onGround = false;
    MotionState current;      // as last sent to the simulator
    GeoPoint lastStaticCheck; // position of the last live-against-static check
    bool coupledSearchDone = false;
    std::string coupledCallsign; // the callsign of its other flight, when one was found
    bool liveryRefused = false;  // no livery matched: never spawned, dropped when its reports end
    bool departed = false;       // has left a stand: does not park again

    // Stand while parking or parked.
    double standLatitude = 0;
    double standLongitude = 0;
    double standHeading = 0; // radians
    std::uint32_t standNumber = 0;

    std::vector<PositionSample> samples; // ascending due ticks; at most one of them already passed
    std::uint32_t samplesReceived = 0;
    // Reports dropped in a row as jumps, each within reach of the one dropped before it, and the last of
    // them: reports that agree among themselves but not with the samples tell that the samples were false.
    int agreeingJumps = 0;
    PositionSample lastJump;

    // Ground movement.
    std::int64_t phaseStartTick = 0;
    MotionState phaseStart;     // where the glide or the pushback began
    double moveDistanceNm = 0;  // length of the glide or the pushback
    double pushbackTurnDeg = 0; // heading change over the pushback
    // The reports show where the nose ends once the pushback is over: the turn is settled.
    bool pushbackEndKnown = false;
    // Where the reports stood when it took its stand: it has left once they keep away from there.
    GeoPoint stoodAt;
    std::int64_t parkedSinceTick = 0;
    std::int64_t segmentDueTick = -1; // due tick of the sample the cached segment starts at
    std::size_t segmentSampleCount = 0;
    double segmentPitchStart = 0; // pitch at the segment's ends
    double segmentPitchEnd = 0;
    FlightSegment flightSegment; // of the current airborne sample and the next
    NoseDirection nose;          // of the heading shown, while it flies
    // Due tick of the newest airborne sample whose track turned from the one before it.
    std::int64_t turnSeenTick = std::numeric_limits<std::int64_t>::min();
    bool unshowableLogged = false; // a position out of range was held back and logged

    // Learning of the stand's use.
    std::uint32_t optionId = 0;
    std::uint32_t optionId2 = 0; // the option of the next weekday when the stay crossed midnight
    std::uint32_t stayDay = 0;
    std::vector<int> staySlots; // newest first
};

struct StaticAc : AcRecord {
    std::string optionCallsign;  // the option's or report's callsign
    std::string optionCallsign2; // the option's second callsign
    std::uint32_t id = 0;        // the parked aircraft's address, or the kept static aircraft's id
    std::int32_t weekday = 0;    // when created
    std::int32_t slot = 0;
    std::uint32_t standNumber = 0;
    std::uint32_t kind = 0; // 0 from parked traffic, 1 learned
    double latitude = 0;    // the stand's position
    double longitude = 0;
    double heading = 0; // radians
};

// An aircraft record for a report: category, half wingspan and the per-category values. The category
// of a live report is the one the client found for its type.
AcRecord gf_makeAcRecord(const port::AircraftBase& record);
AcRecord gf_makeAcRecord(const port::LiveAircraft& report);

// Takes the operator code from a callsign of three letters followed by a digit; false for another form.
bool gf_setAirlineFromCallsign(port::AircraftBase& record);
bool gf_setAirlineFromCallsign(AcRecord& record);

bool gf_sameOperatorAndType(const AcRecord& a, const AcRecord& b);
bool gf_sameOperatorAndType(const AcRecord& a, const port::StandOption& option);

// "{:3} {:4}": airline padded to 3, type to 4.
std::string gf_operatorAndType(std::string_view airline, std::string_view type);
std::string gf_operatorAndType(const AcRecord& record);

// "{} {}": the callsign padded to 8 and the operator and type; the long form puts the registration
// (padded to 8) between them.
std::string gf_describeFlight(const AcRecord& record);
std::string gf_describeFlightLong(const AcRecord& record);

} // namespace kvr
