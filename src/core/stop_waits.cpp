#include "core/stop_waits.h"

#include "core/exit_request.h"

#include <algorithm>
#include <thread>

namespace kvr {

namespace {
constexpr auto lookInterval = std::chrono::milliseconds(10);
} // namespace

bool gf_waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + limit;
    while (!done()) {
        const auto now = clock::now();
        if (now >= deadline)
            return false;
        std::this_thread::sleep_for(std::min<clock::duration>(deadline - now, lookInterval));
    }
    return true;
}

bool gf_sleepUnlessStopping(std::chrono::milliseconds duration) {
    return !gf_waitUntil(gf_stopping, duration);
}

} // namespace kvr
