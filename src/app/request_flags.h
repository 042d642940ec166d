#pragma once
// The window's commands never work on traffic, stands or liveries themselves: they raise one of these
// flags on the GUI thread, and the run thread takes it with an atomic exchange in its next round, so a
// request raised twice between two rounds is served once.
#include <atomic>
#include <cstdint>

namespace kvr {

extern std::atomic<bool> reReadRequested;           // "Re-read"
extern std::atomic<bool> flushStaticRequested;      // "Flush static"
extern std::atomic<bool> csToOidRequested;          // "cs->oid:"
extern std::atomic<bool> callsignSelectionChanged;  // CALLSIGN_2_OBJECTID chosen (and after "cs->oid:")
extern std::atomic<bool> blockedCallsignChanged;    // BLOCK_CALLSIGN entered, "Block", "Unblock"
extern std::atomic<bool> staticParkingNowRequested; // a static-parking update is scheduled
extern std::atomic<bool> parkTrafficOnlyChanged;    // RT_PARKTRAFFIC_ONLY switched; holds its new value
extern std::atomic<bool> matchingDepthRaised;       // MATCHING_DEPTH raised

// The first phase of a static-parking update has run and the second is due.
extern std::atomic<bool> staticUpdatePhase;
// Counts down once per 60 rounds; at 0 an automatic static-parking update is due. Starts at 20 and is
// not reset at a session end; the "Now" button sets it back to 20.
extern std::atomic<int> staticUpdateCountdown;
inline constexpr int staticUpdateCountdownStart = 20;

// The simulator time (UTC seconds) the clock follow-up of SIM_TIME used last.
extern std::atomic<std::int64_t> lastSimUtcSeconds;

} // namespace kvr
