#pragma once
// Waits of the program's threads that never hang: plain sleeps of a few milliseconds between looks at
// what ends them. No condition variable, semaphore or stop callback is built for a wait: the MinGW runtime
// can lose the wake-up of such objects when a stop meets the end of a wait, and the waiter sleeps for ever.
#include <chrono>
#include <functional>

namespace kvr {

// Waits up to the limit for `done`, looking at it before every step of at most 10 ms; true when it came.
bool gf_waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// Sleeps for the duration unless a stop (an exit request or the close box) comes first; false when it did.
bool gf_sleepUnlessStopping(std::chrono::milliseconds duration);

} // namespace kvr
