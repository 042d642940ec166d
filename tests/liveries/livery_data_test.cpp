#include "liveries/livery_data.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace kvr {
namespace {

class LiveryDataTest : public ::testing::Test {
protected:
    void TearDown() override { liveryTitleSet.clear(); }
};

TEST_F(LiveryDataTest, SameLiveryIgnoresOnlyTheFolderNumber) {
    const LiveryData base{"KLM", "B738", "AIG KLM B738", "PH-BXA", 1, false};
    LiveryData other = base;
    other.folderNumber = 7;
    EXPECT_TRUE(lf_sameLiveryData(base, other));

    std::vector<LiveryData> variants(5, base);
    variants[0].title = "AIG KLM B738 2";
    variants[1].airl = "KLC";
    variants[2].type = "B739";
    variants[3].atcid = "PH-BXB";
    variants[4].cargo = true;
    for (const LiveryData& variant : variants)
        EXPECT_FALSE(lf_sameLiveryData(base, variant)) << variant.title << variant.airl << variant.type;
}

TEST_F(LiveryDataTest, SecondMakeWithATakenTitleIsEmptyAndLeavesTheSetAlone) {
    const LiveryData first = lf_makeLiveryData(3, "MPH", "B744", false, "Martinair B744", "PH-MPS");
    EXPECT_EQ(first.airl, "MPH");
    EXPECT_EQ(first.type, "B744");
    EXPECT_EQ(first.title, "Martinair B744");
    EXPECT_EQ(first.atcid, "PH-MPS");
    EXPECT_EQ(first.folderNumber, 3u);
    EXPECT_TRUE(first.cargo) << "cargo is the negation of the pax flag";
    EXPECT_FALSE(lf_makeLiveryData(1, "KLM", "B738", true, "KLM B738", "").cargo);
    ASSERT_EQ(liveryTitleSet.size(), 2u);

    const LiveryData second = lf_makeLiveryData(2, "KLM", "B744", true, "Martinair B744", "PH-BFA");
    EXPECT_TRUE(second.airl.empty());
    EXPECT_TRUE(second.type.empty());
    EXPECT_TRUE(second.title.empty());
    EXPECT_TRUE(second.atcid.empty());
    EXPECT_EQ(second.folderNumber, 0u);
    EXPECT_FALSE(second.cargo);
    EXPECT_EQ(liveryTitleSet.size(), 2u);
}

TEST_F(LiveryDataTest, ConcurrentScanTasksGetEachTitleOnce) {
    constexpr int taskCount = 8;
    constexpr int titleCount = 500;
    std::atomic<int> winners{0};
    std::vector<std::thread> tasks;
    for (int t = 0; t < taskCount; ++t)
        tasks.emplace_back([&winners, t] {
            for (int i = 0; i < titleCount; ++i) {
                const LiveryData livery =
                    lf_makeLiveryData(t + 1, "EZY", "A320", true, "easyJet " + std::to_string(i), "");
                if (!livery.title.empty())
                    winners.fetch_add(1);
            }
        });
    for (std::thread& task : tasks)
        task.join();
    EXPECT_EQ(winners.load(), titleCount);
    EXPECT_EQ(liveryTitleSet.size(), static_cast<std::size_t>(titleCount));
    EXPECT_TRUE(liveryTitleSet.contains("easyJet 499"));
    EXPECT_FALSE(liveryTitleSet.contains("easyJet 500"));
}

} // namespace
} // namespace kvr
