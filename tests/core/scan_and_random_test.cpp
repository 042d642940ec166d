#include "core/random_engine.h"
#include "core/scan_slots.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace kvr {
namespace {

class ScanSlotTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedActive = activeScanTasks.load();
        savedMax = maxScanTasks.load();
    }
    void TearDown() override {
        activeScanTasks = savedActive;
        maxScanTasks = savedMax;
    }
    std::int32_t savedActive = 0;
    std::int32_t savedMax = 0;
};

TEST_F(ScanSlotTest, WaitsUntilATaskGivesItsSlotBack) {
    maxScanTasks = 2;
    activeScanTasks = 2;
    std::atomic<bool> passed{false};
    std::thread driver([&] {
        gf_waitForScanSlot();
        passed = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(passed.load());
    { ScanSlotRelease endOfTask; }
    driver.join();
    EXPECT_TRUE(passed.load());
    EXPECT_EQ(activeScanTasks.load(), 1);
}

TEST_F(ScanSlotTest, AMaximumBelowOneStillLetsOneTaskRun) {
    maxScanTasks = 0;
    activeScanTasks = 0;
    gf_waitForScanSlot(); // would never return if 0 were taken literally
    SUCCEED();
}

TEST_F(ScanSlotTest, ASlotIsReleasedWhenTheTaskThrows) {
    activeScanTasks = 1;
    try {
        ScanSlotRelease slot;
        throw std::runtime_error("bad file");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(activeScanTasks.load(), 0);
}

TEST(RandomEngine, EachThreadOwnsItsEngine) {
    std::mt19937* mine = &gf_randomEngine();
    EXPECT_EQ(mine, &gf_randomEngine());
    std::mt19937* other = nullptr;
    std::array<std::uint32_t, 4> otherValues{};
    std::thread([&] {
        other = &gf_randomEngine();
        for (auto& value : otherValues)
            value = gf_randomEngine()();
    }).join();
    EXPECT_NE(mine, other);
    std::array<std::uint32_t, 4> myValues{};
    for (auto& value : myValues)
        value = gf_randomEngine()();
    // Both threads seeded from the random device: equal sequences would mean a fixed seed.
    EXPECT_NE(myValues, otherValues);
}

} // namespace
} // namespace kvr
