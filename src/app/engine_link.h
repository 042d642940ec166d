#pragma once
// The traffic engine as the session uses it: its tick, its tables, and the work of the rounds on its live
// and static aircraft (duplicates, the followed callsign, collisions with the user aircraft, the blocked
// callsign, the counts of the status display and the rebuild after a time shift). Run thread only.
#include "app/session_state.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kvr::engine_link {

// The engine takes the Traffic Reader's reports and names the aircraft for the livery matchers (once
// per process).
void wire();
void reserveTrafficTables();
// Reports are taken only while set (under the report-list lock).
void setKeepReportsFlag(bool keep);
void handleAddingStack();
void processSimNotifications();
// Session end: the tables, the livery cache of the spawns and the list of spawned callsigns.
void clearTrafficTables();
void clearSpawnCache();
void clearSpawnedCallsigns();
// The session's summary line of the report intake.
void logReportIntake();

void setGroundReferenceAltitude(std::optional<double> feet);

// The active live aircraft against the static ones, by callsign.
void checkLiveOnStatic();

// One id of the duplicate check per call: the coupled-callsign search once per aircraft, then the
// removal of the static aircraft it duplicates.
void serveDuplicateCheck(TimeSlot now);
// The object id of the first active live aircraft with that callsign, which becomes the followed object;
// none when it has left.
std::optional<std::uint32_t> followCallsign(const std::string& callsign);
void removeAllStatic();
void refreshCallsignList();

// The user aircraft on the ground: removes the first active live aircraft on the ground that touches it,
// or else, when the user moved since the last such check, the first active static aircraft that does.
// At most one aircraft per call.
void removeGroundCollisionWithUser(double latitude, double longitude, double userHalfWingspanNm);
void removeAcInFrontOfUser();
// Each active live aircraft taxiing or parking that moved since its last check, against the static ones.
void checkLiveAgainstStaticOnGround();
// Removes the first active live aircraft whose callsign equals the text exactly.
void removeBlockedCallsign(const std::string& callsign);

struct ParkedCounts {
    unsigned parkedLive = 0;  // parked live aircraft in the simulator
    unsigned activeLive = 0;  // live aircraft in the simulator and not parked
    unsigned staticInSim = 0; // static aircraft in the simulator
};
ParkedCounts parkedCounts();
// The chosen static parking positions still waiting to become static aircraft.
std::size_t parkPositionCount();

// Time shift: every live aircraft leaves the simulator (one still queued never reaches it, one on its
// way is removed as soon as it arrives) and every static one is removed.
void rebuildTraffic();

} // namespace kvr::engine_link
