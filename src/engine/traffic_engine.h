#pragma once
// The traffic engine: the live and static aircraft on their way into the simulator, in it and out of it.
// Everything here belongs to the run thread, except where a comment names the lock that guards it.
//
// Session use by the run thread:
//   lf_reserveTrafficTables();            once per process
//   gf_installReportIntake();             the Traffic Reader's batches go to lf_processReports
//   lf_setKeepReportsFlag(true);          while reports are wanted
//   lf_handleAddingStack();               every 10 ms tick while a flight runs
//   lf_processSimNotifications();         every tick while no flight runs
//   lf_clearTrafficTables(); spawnCache.clear(); spawnedCallsigns.clear();   at the session's end
#include "engine/ac_records.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kvr {

// A weekday 1..7 (Monday 1) and a half-hour slot 0..47 of the day (UTC).
struct DaySlot {
    std::uint32_t day = 1;
    int slot = 0;
};

// --- Tables -----------------------------------------------------------------------------------------

extern std::vector<LiveAc> liveAcList;
extern std::vector<StaticAc> staticAcList;
// Creations waiting for their turn; the live ones go first.
extern std::deque<port::CreateRequest> createDequeLive;
extern std::deque<port::CreateRequest> createDequeStatic;
// Ids of live aircraft waiting for the duplicate check, one served per round; an id leaves the list when
// its aircraft is erased.
extern std::deque<std::uint32_t> duplicateCheckIds;

// The livery matched for an address, so that a returning aircraft keeps its livery.
struct SpawnCacheEntry {
    port::TitleView title;
    bool fsltl = false;
};
extern std::unordered_map<std::uint32_t, SpawnCacheEntry> spawnCache;
// The tail numbers of the live aircraft spawned and not yet erased.
extern std::vector<std::string> spawnedCallsigns;
// The object whose callsign was looked up with "cs->oid:"; 0 for none.
extern port::SimObjectId followedObject;
// Ticks since the process started; the reader thread reads it when it hands reports over.
extern std::atomic<std::int64_t> trafficTick;
// The park airport's altitude (ft), used for aircraft on the ground near it; none without a park airport.
extern std::optional<double> groundReferenceAltitude;
// The callsigns and addresses of the live aircraft the Traffic Reader saw while collecting.
extern port::SeenLiveMaps seenLiveMaps;

struct LiveParked {
    std::string callsign;
    std::uint32_t standNumber = 0;
    int minutesParked = 0;
};
// Filled by lf_listLiveParked.
extern std::vector<LiveParked> liveParkedList;

// Guards reportsAccepted and the reports handed over.
extern std::mutex reportListMutex;
extern bool reportsAccepted;

void lf_reserveTrafficTables();
// Empties every table, the hand-over list and the engine's clock (session end).
void lf_clearTrafficTables();

// --- Reports ----------------------------------------------------------------------------------------

// The Traffic Reader's batch, on its thread: each report gets its due tick and the batch is taken over
// while reportsAccepted is set.
void lf_processReports(std::vector<port::LiveAircraft>& batch);
void lf_setKeepReportsFlag(bool keep);
// Makes lf_processReports the Traffic Reader's batch handler.
void gf_installReportIntake();
// Reports handed over and not yet taken by the tick.
std::size_t gf_pendingReportCount();
// Reports dropped since the session began because their position lies farther from the aircraft's
// neighbouring sample than any aircraft can move in the time between (run thread).
std::uint64_t gf_jumpReportCount();
// One log line on the reports filed this session, how many waited longer than a polling interval, the
// longest wait and the most filed in one tick; none when no report was filed (run thread).
void gf_logReportIntake();

// --- The tick ---------------------------------------------------------------------------------------

// The 10 ms tick: notifications, every live aircraft, the removal and creation queues, the deferred
// reports due in this tick (two or more), static parking; raises trafficTick by 1. Throws UserErrorException
// 81 when too many liveries failed.
void lf_handleAddingStack();
// Object ids, removals and failed creations reported by the simulator link.
void lf_processSimNotifications();

// The livery matchers the engine calls; the livery library's by default. Tests give their own.
struct LiveryMatchers {
    std::function<void(port::MatchSubject&)> live;
    std::function<bool(port::MatchSubject&, const port::MatchStand&)> forStatic;
};
void gf_setLiveryMatchers(LiveryMatchers matchers);
// Gives the livery matchers what they need of the engine and the simulator link: the refused titles and
// texts, and how an aircraft is named in the log.
void gf_installLiveryMatchHooks();

// --- Spawning and static parking ------------------------------------------------------------------

// Livery, phase and first position of a live aircraft whose samples are due; then adding2sim.
void spawnLiveAc(LiveAc& aircraft);
// The last entry of parkPositions becomes a static aircraft waiting for its creation, or is dropped
// when no livery matches.
void lf_createStaticParking();

// --- Removals ---------------------------------------------------------------------------------------

// removingfromsim, stand freed, followed object cleared, removal queued (sent at most one per 10 ticks).
// An aircraft still waiting for its creation is taken out of the queue or removed as soon as created.
void removeAircraftFromSim(LiveAc& aircraft);
void removeAircraftFromSim(StaticAc& aircraft);
// Removes the active live aircraft farthest from the user beyond the distance (nm; -1.0: any); true
// when none is farther.
bool lf_removeFarthestLive(double distanceNm);
// Removes the first active static aircraft at the stand, else the first active parked live one; true
// when one was removed.
bool lf_removeParkedAtStand(const port::Stand* stand);
void lf_removeAllStatic();
// Removes that many parked live aircraft, the longest parked first.
void lf_removeExcessLiveParked(int count);
// Removes every queued creation with that tail number; true when one was removed.
bool lf_removeQueuedCreates(std::deque<port::CreateRequest>& queue, std::string_view callsign);
// Active live aircraft in the air within 1 nm ahead of the user aircraft (20 degrees either side of its
// heading, 1000 ft above or below).
void lf_removeAcInFrontOfUser();
// Stores the aircraft's position as the position of this check; removes it when it stands within
// (r1 + r2) x 1.1 of an active static aircraft with another callsign. True when removed.
bool lf_removeForCollisionWithStatic(LiveAc& aircraft);
// Removes the static aircraft that stand for a flight now shown live.
void lf_checkLiveOnStatic();
// The callsign of the aircraft's other flight (its registration on a stand option of this weekday round
// this slot with another callsign), kept for the learning of its stay.
void lf_searchForCoupledCsAroundThisTime(DaySlot now, LiveAc& aircraft);
// Removes the static aircraft that are this live aircraft: the same registration, or its callsign with
// "*"; on the ground also a static aircraft in its way.
void lf_removeDuplicates(LiveAc& aircraft, bool onGround);

// --- Lists and counts for the window and static parking --------------------------------------------

unsigned lf_countParkedLive(bool activeOnly);
unsigned lf_countStaticInSim(bool activeOnly);
void lf_listLiveParked();
// The sorted callsigns of the active, not parked live aircraft into the CALLSIGN_2_OBJECTID list.
void lf_refreshCallsignList();
void lf_resetCallsignSelection();
void lf_takeSeenLiveMaps();

// --- Stands -----------------------------------------------------------------------------------------

// The id of the nearest stand within 55 m; empty when none.
std::string gf_nearestStandName(double latitude, double longitude);
std::vector<port::Stand>::iterator lf_findStandByName(std::string_view id);
// The nearest free stand within the distance that fits the aircraft: radius at least its half wingspan
// less 1.8 m; heli stands for rotorcraft only and rotorcraft on heli stands only. The second search
// also takes a smaller stand within 20 m and enlarges its radius to the half wingspan less 1 m.
std::vector<port::Stand>::iterator lf_findNearestStand(double latitude, double longitude,
                                                       const AcRecord& aircraft, double maxDistanceNm,
                                                       bool secondSearch);
// The stand a live aircraft stopped at: the nearest that fits it whose radius holds the position (a smaller
// one within 20 m, as in the second search), free or held by static aircraft only, which give way.
std::vector<port::Stand>::iterator lf_findStandHolding(double latitude, double longitude,
                                                       const AcRecord& aircraft);
void gf_setGroundReferenceAltitude(std::optional<double> feet);

// --- Time ---------------------------------------------------------------------------------------------

// The weekday and slot of a time (epoch seconds, UTC).
DaySlot gf_daySlotOf(double epochSeconds);
// The time the engine shows traffic of: the newest report time less the lag; the clock when no report
// has come yet.
double gf_trafficTime();

} // namespace kvr
