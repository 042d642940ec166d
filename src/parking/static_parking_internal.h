#pragma once
// The inner steps of static parking, shared between its source files and reached by its tests. Run
// thread only, except where a comment names a lock.
#include "engine/traffic_engine.h"
#include "parking/park_positions.h"
#include "parking/stand.h"
#include "parking/static_parking.h"
#include "traffic_service/aircraft_reports.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvr {

// --- State ------------------------------------------------------------------------------------------

// A static aircraft to remove, by its tail number and stand.
struct RemovalEntry {
    std::string callsign;
    std::uint32_t standNumber = 0;
};
extern std::vector<RemovalEntry> removalList;

// A static aircraft that may stay at its stand through a change run.
struct StaticCandidate {
    std::string simCallsign; // the tail number: the option's or report's callsign and "*"
    std::string optionCallsign;
    std::string optionCallsign2;
    std::string registration;
    std::string airline;
    std::string type;
    std::int32_t weekday = 0; // when created
    std::int32_t slot = 0;
    std::uint32_t standNumber = 0;
    bool leaving = false; // it does not stand there in the next half-hour slot
};
extern std::vector<StaticCandidate> candidateList;

// How far back (half-hour slots) the last fit had to look: one for real kinds, one for soft kinds; the
// soft offset is -1 when the last fit was real.
struct FitOffsets {
    int real = 0;
    int soft = -1;
};
extern FitOffsets fitOffsets;

// A park airport was chosen and is loaded at the next park-airport tick.
extern bool parkAirportLoadPending;

// --- Time ---------------------------------------------------------------------------------------------

// The weekday and half-hour slot of the current time (gf_now, so the traffic's time while time shift is
// active).
DaySlot lf_nowDaySlot();
// The slot the given number of half-hours before a day and slot, stepping back across midnight (Monday
// steps back to Sunday, 7).
DaySlot lf_slotsBefore(DaySlot from, std::int64_t slots);
// day x 48 + slot: later within the week is larger.
std::int64_t lf_weekSlot(DaySlot at);
std::int64_t lf_weekSlot(std::int32_t weekday, std::int32_t slot);
// Half-hour slots from a weekday and slot to now, 0..335: the week wraps at Monday 00:00 UTC, so times
// are compared by their age, never by day x 48 + slot.
std::int64_t lf_ageSlots(DaySlot now, std::int32_t weekday, std::int32_t slot);
// Hours for the log lines, as the Max-fit setting converts half-hour counts.
float lf_hoursOf(int halfHours);

// --- Stands and aircraft ------------------------------------------------------------------------------

Stand* lf_parkStandByNumber(std::uint32_t number);
// Marks the stand chosen and the stands that overlap it blocked.
void lf_chooseStand(Stand& stand);
std::size_t lf_countChosenStands();
// Active, not removed and not already put into the removal list.
bool lf_isActiveStatic(const StaticAc& aircraft);
void lf_addToRemovalList(const StaticAc& aircraft);
void lf_addCandidate(const StaticAc& aircraft);
double lf_standDistanceNm(const Stand& a, const Stand& b);
// The parked traffic round the user aircraft, through the parking hook or the Traffic Reader.
std::optional<std::vector<ParkedAircraft>> lf_receiveParkedTraffic();

// --- Static parking from parked traffic (static_parking.cpp) -----------------------------------------

// Logs the weekday and hour and returns the current day and slot.
DaySlot lf_logDayAndHour();
// The wanted number of static parked aircraft; also shown in the status display.
std::int64_t lf_wantedParkCount();
// The reserved stand of the user and the stand the user aircraft stands at get no static aircraft.
void lf_markReservedStands();
bool lf_isSameAircraft(const ParkedAircraft& record, const LiveAc& live);
// Puts the reported parked aircraft on the nearest free stands within 110 m.
void lf_assignPtToStands(const std::vector<ParkedAircraft>& records);
// Fills parkPositions for the loaded park airport.
void lf_calculateParkPositions();

// --- Fits of learned stand options (learned_fits.cpp) -------------------------------------------------

// Adds learned positions until parkPositions holds wanted minus extra entries or every allowed kind of
// option was tried.
void lf_addLearnedPositions(DaySlot now, std::int64_t wanted, std::int64_t extra);
void lf_addFitPositions(DaySlot now, std::int64_t wanted, std::int64_t extra, std::uint32_t real,
                        std::uint32_t sameDay);
bool lf_fitParkPositions(DaySlot now, std::uint32_t real, std::uint32_t sameDay, std::int64_t wanted,
                         std::vector<ParkPosition>& candidates);
void lf_searchStands(DaySlot now, std::uint32_t real, std::uint32_t sameDay, int offset,
                     std::vector<ParkPosition>& candidates);
bool lf_isOptionInUse(const StandOption& option);
bool lf_isCallsignSeenLive(const std::unordered_map<std::string, std::uint32_t>& callsigns,
                           const std::string& callsign);

// --- Park-traffic changes (park_traffic_changes.cpp) -------------------------------------------------

void lf_limitParkedLive(std::int64_t wanted);
void lf_updatePtPositions(const std::vector<ParkedAircraft>& records);
void lf_matchPtWithLearnedStatics(bool removeAllLearned);
void lf_selectLearnedStatics(DaySlot now);
void lf_resolveStaticAgainstPt(const StaticAc& aircraft, std::size_t positionIndex);
void lf_trimToWanted(std::int64_t wanted);
void lf_applyRemovals();

// --- The park airport (park_airport_choice.cpp, learned_saving.cpp) ---------------------------------

void lf_checkUserOnGround(const UserAcData& user, bool loadAtOnce);
void lf_reportParkAirportSight(const UserAcData& user);
bool lf_setParkAirport(const std::string& code);
void lf_loadParkAirport();
std::string lf_readParkedFile();
void lf_unloadParkAirport(LearnedSaving saving = LearnedSaving::duringRun);
void lf_requestStaticParking(bool showText);
// Writes the learned stand file of the park airport.
void lf_saveLearnedAirports(LearnedSaving saving = LearnedSaving::duringRun);
void lf_setReservedStandName(std::string name);

} // namespace kvr
