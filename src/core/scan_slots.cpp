#include "core/scan_slots.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace kvr {

namespace {

std::int32_t lf_hardwareThreads() {
    return static_cast<std::int32_t>(std::max(1u, std::thread::hardware_concurrency()));
}

} // namespace

std::atomic<std::int32_t> activeScanTasks{0};
std::atomic<std::int32_t> maxScanTasks{lf_hardwareThreads()};

void gf_waitForScanSlot() {
    while (activeScanTasks.load() >= std::max(maxScanTasks.load(), std::int32_t{1}))
        std::this_thread::sleep_for(std::chrono::microseconds(10));
}

} // namespace kvr
