#include "app/request_flags.h"

namespace kvr {

std::atomic<bool> reReadRequested{false};
std::atomic<bool> flushStaticRequested{false};
std::atomic<bool> csToOidRequested{false};
std::atomic<bool> callsignSelectionChanged{false};
std::atomic<bool> blockedCallsignChanged{false};
std::atomic<bool> staticParkingNowRequested{false};
std::atomic<bool> parkTrafficOnlyChanged{false};
std::atomic<bool> matchingDepthRaised{false};
std::atomic<bool> staticUpdatePhase{false};
std::atomic<int> staticUpdateCountdown{staticUpdateCountdownStart};
std::atomic<std::int64_t> lastSimUtcSeconds{0};

} // namespace kvr
