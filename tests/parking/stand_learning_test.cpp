#include "core/status_display.h"
#include "parking/stand_learning.h"
#include "parking_test_support.h"

namespace kvr {
namespace {

class StandLearningTest : public test::ParkingTest {
protected:
    std::optional<std::uint32_t> add(int slot, const std::string& registration = "PH-BXA",
                                     std::string_view callsign = "KLM123_", std::uint32_t day = 3) {
        std::optional<std::uint32_t> result = 99;
        gf_addStandOption(options, result, StandVisitor{"KLM", "B738"}, day, slot, callsign, registration,
                          false);
        return result;
    }
    std::vector<StandOption> options;
};

TEST_F(StandLearningTest, AircraftWithoutRegistrationNeverCreatesAnOption) {
    EXPECT_EQ(add(10, ""), std::nullopt);
    EXPECT_TRUE(options.empty());
    EXPECT_EQ(learnedUpdateCount.load(), 0);
}

TEST_F(StandLearningTest, NewOptionTakesTheRecordIdentityAndCountsAnUpdate) {
    ASSERT_EQ(add(10), 1u);
    const StandOption& o = options[0];
    EXPECT_EQ(o.airline, "KLM");
    EXPECT_EQ(o.type, "B738");
    EXPECT_EQ(o.callsign, "KLM123");
    EXPECT_TRUE(o.callsign2.empty());
    EXPECT_EQ(o.halfHours, 1ull << 10);
    EXPECT_EQ(o.day, 3u);
    EXPECT_EQ(o.fromStandFile, 0u);
    EXPECT_EQ(o.real, 1u);
    EXPECT_EQ(learnedUpdateCount.load(), 1);
    EXPECT_EQ(statusDisplay.numberOfUpdates.load(), 1);
}

TEST_F(StandLearningTest, TheSameSingleSlotIsLearnedOnceUntilTheOptionGrows) {
    ASSERT_EQ(add(10), 1u);
    EXPECT_EQ(add(10), std::nullopt);
    EXPECT_EQ(add(11), 2u);
    EXPECT_EQ(add(10, "PH-BXA", "KLM1", 4), 3u);
    std::vector<int> slots{11};
    ASSERT_TRUE(updateOptions(options, slots, 1));
    EXPECT_EQ(add(10), 4u);
    EXPECT_EQ(options.size(), 4u);
    EXPECT_THROW(add(48), std::out_of_range);
}

TEST_F(StandLearningTest, CallsignsFillFirstThenSecondWhichAThirdReplaces) {
    ASSERT_EQ(add(5, "PH-BXA", ""), 1u);
    gf_addOptionCallsign(options, 1, "_");
    EXPECT_TRUE(options[0].callsign.empty());
    gf_addOptionCallsign(options, 1, "KLM123_");
    EXPECT_EQ(options[0].callsign, "KLM123");
    gf_addOptionCallsign(options, 1, "KLM123");
    EXPECT_TRUE(options[0].callsign2.empty());
    gf_addOptionCallsign(options, 1, "KLM77");
    gf_addOptionCallsign(options, 1, "KLM88");
    EXPECT_EQ(options[0].callsign, "KLM123");
    EXPECT_EQ(options[0].callsign2, "KLM88");
    gf_addOptionCallsign(options, 0, "KLM99");
    gf_addOptionCallsign(options, 2, "KLM99");
    EXPECT_EQ(options[0].callsign2, "KLM88");
}

TEST_F(StandLearningTest, UpdateOptionsSetsEverySlotUntilABadOne) {
    ASSERT_EQ(add(1), 1u);
    std::vector<int> slots{5, 4, 3};
    EXPECT_TRUE(updateOptions(options, slots, 1));
    EXPECT_TRUE(slots.empty());
    EXPECT_EQ(options[0].halfHours, (1ull << 1) | (0b111ull << 3));

    std::vector<int> bad{48, 7, 6};
    EXPECT_FALSE(updateOptions(options, bad, 1));
    EXPECT_EQ(options[0].halfHours & (0b11ull << 6), 0b11ull << 6);
    EXPECT_TRUE(logHas("==> updateOptions exception:"));

    std::vector<int> unknown{9};
    EXPECT_FALSE(updateOptions(options, unknown, 2));
    EXPECT_EQ(unknown.size(), 1u);
}

TEST_F(StandLearningTest, WrappedStaySplitsAtMidnightAndLeavesTheNewestSlot) {
    ASSERT_EQ(add(45), 1u);
    ASSERT_EQ(add(0, "PH-BXA", "KLM1", 4), 2u);
    std::vector<int> slots{1, 0, 47, 46};
    EXPECT_TRUE(updateOptionsWrapped(options, slots, 1, 2));
    EXPECT_EQ(options[0].halfHours, (1ull << 45) | (1ull << 46) | (1ull << 47));
    EXPECT_EQ(options[1].halfHours, 1ull);
    EXPECT_EQ(slots, std::vector<int>{1});

    std::vector<int> fromMidnight{2, 1, 0};
    EXPECT_TRUE(updateOptionsWrapped(options, fromMidnight, 1, 2));
    EXPECT_EQ(options[1].halfHours, 0b11ull);

    std::vector<int> noSecond{0, 47};
    EXPECT_FALSE(updateOptionsWrapped(options, noSecond, 1, 7));
    std::vector<int> bad{0, 47, 60};
    EXPECT_FALSE(updateOptionsWrapped(options, bad, 1, 2));
    EXPECT_TRUE(logHas("==> updateOptionsWrapped exception:"));
}

} // namespace
} // namespace kvr
