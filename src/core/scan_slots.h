#pragma once
#include <atomic>
#include <cstdint>

namespace kvr {

// Running tasks of the airport and livery scans: a scan driver adds 1 before it starts a task and the
// task subtracts 1 when it ends (ScanSlotRelease does that on every way out).
extern std::atomic<std::int32_t> activeScanTasks;
// At most this many scan tasks at once: the number of hardware threads (at least 1) until the run
// thread sets it.
extern std::atomic<std::int32_t> maxScanTasks;

// Returns at once while activeScanTasks is below maxScanTasks, otherwise sleeps in steps of 10
// microseconds until it is. A maxScanTasks below 1 counts as 1, so a wrong setting cannot stop a scan.
void gf_waitForScanSlot();

// Held by a scan task for its whole run; gives its slot back when the task ends, also by an exception.
class ScanSlotRelease {
public:
    ScanSlotRelease() = default;
    ~ScanSlotRelease() { activeScanTasks.fetch_sub(1); }
    ScanSlotRelease(const ScanSlotRelease&) = delete;
    ScanSlotRelease& operator=(const ScanSlotRelease&) = delete;
};

} // namespace kvr
