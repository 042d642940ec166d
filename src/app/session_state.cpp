#include "app/session_state.h"

#include "core/time_util.h"

namespace kvr {

std::atomic<bool> dbaseLoaded{false};
std::atomic<bool> restartPending{false};
std::atomic<std::uint64_t> currentTimeSlot{0};
std::atomic<int> roundCounter{0};
std::atomic<bool> flightNotRunning{false};
std::atomic<bool> staticUpdatePhase{false};
std::atomic<int> staticUpdateCountdown{staticUpdateCountdownStart};
std::atomic<std::int64_t> lastSimUtcSeconds{0};

TimeSlot gf_timeSlotOf(std::time_t time) {
    std::tm t{};
    if (!gf_utcBreakDown(time, t))
        return {};
    // tm_wday counts from Sunday = 0; the stand options count from Monday = 1 to Sunday = 7.
    return {t.tm_wday == 0 ? 7 : t.tm_wday, gf_halfHourIndex(time)};
}

TimeSlot gf_currentTimeSlot() {
    const std::uint64_t packed = currentTimeSlot.load();
    return {static_cast<std::int32_t>(static_cast<std::uint32_t>(packed & 0xFFFFFFFFu)),
            static_cast<std::int32_t>(static_cast<std::uint32_t>(packed >> 32))};
}

void gf_updateCurrentTimeSlot() {
    const TimeSlot slot = gf_timeSlotOf(gf_now());
    currentTimeSlot.store(static_cast<std::uint64_t>(static_cast<std::uint32_t>(slot.weekday)) |
                          (static_cast<std::uint64_t>(static_cast<std::uint32_t>(slot.slot)) << 32));
}

} // namespace kvr
