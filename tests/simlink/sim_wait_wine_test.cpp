// The SimClient thread's wait, started and stopped as closing down does it, round after round: under Wine
// a wait that loses its wake-up at the stop leaves the round hanging in its join.
#include "simlink/sim_client_internal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace kvr {
namespace {

using namespace std::chrono_literals;

TEST(SimClientWait, EveryStoppedThreadEndsRoundAfterRound) {
    constexpr int rounds = 4000;
    std::atomic<int> ended{0};
    std::thread runner([&ended] {
        for (int round = 0; round < rounds; ++round) {
            std::jthread thread([](std::stop_token stop) {
                while (!stop.stop_requested())
                    lf_waitUnlessStopped(stop, 1ms);
            });
            // The stop lands at every point of a 1 ms wait over the rounds.
            std::this_thread::sleep_for(std::chrono::microseconds(50 * (round % 40)));
            thread.request_stop();
            thread.join();
            ended.store(round + 1);
        }
    });
    int seen = 0;
    auto lastProgress = std::chrono::steady_clock::now();
    while (ended.load() < rounds) {
        std::this_thread::sleep_for(100ms);
        if (ended.load() != seen) {
            seen = ended.load();
            lastProgress = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - lastProgress > 10s) {
            // The hung thread can be neither joined nor left to the end of the process.
            ADD_FAILURE() << "round " << seen + 1 << " of " << rounds << " never ended";
            std::fflush(stdout);
            std::_Exit(1);
        }
    }
    runner.join();
    EXPECT_EQ(ended.load(), rounds);
}

} // namespace
} // namespace kvr
