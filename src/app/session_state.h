#pragma once
// What the run thread keeps between its passes and shares with the window and the stands subsystem.
#include <atomic>
#include <cstdint>
#include <ctime>

namespace kvr {

// The aircraft data base was read (or its reading was tried) in this process; restart passes skip it.
extern std::atomic<bool> dbaseLoaded;
// Closing down decided to restart: the next start-up reading skips the update check.
extern std::atomic<bool> restartPending;

// The weekday 1..7 (Monday 1, Sunday 7; -1 when the time cannot be broken down) and the half-hour slot
// 0..47 (UTC) of a time.
struct TimeSlot {
    std::int32_t weekday = -1;
    std::int32_t slot = -1;
};
TimeSlot gf_timeSlotOf(std::time_t time);

// The time slot of the current time, written and read as one unit: the weekday in the low half, the
// slot in the high half.
extern std::atomic<std::uint64_t> currentTimeSlot;
TimeSlot gf_currentTimeSlot();
// currentTimeSlot := the slot of gf_now.
void gf_updateCurrentTimeSlot();

// Rounds of the session: 0 when the loop starts, raised at the start of each round's processing, back to 0
// every 86400 rounds and at the end of the session.
extern std::atomic<int> roundCounter;

// The loop has seen a tick without a running flight and not yet the next round.
extern std::atomic<bool> flightNotRunning;

// The first phase of a static-parking update has run and the second is due.
extern std::atomic<bool> staticUpdatePhase;
// Counts down once per 60 rounds; at 0 an automatic static-parking update is due. Starts at 20 and is
// not reset at a session end; the "Now" button sets it back to 20.
extern std::atomic<int> staticUpdateCountdown;
inline constexpr int staticUpdateCountdownStart = 20;

// The simulator time (UTC seconds) the clock follow-up of SIM_TIME used last.
extern std::atomic<std::int64_t> lastSimUtcSeconds;

} // namespace kvr
