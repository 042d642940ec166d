#include "core/day_time.h"
#include "core/log.h"
#include "core/time_util.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <initializer_list>

namespace kvr {
namespace {

HalfHourSet lf_slots(std::initializer_list<std::size_t> slots) {
    HalfHourSet set;
    for (const std::size_t slot : slots)
        set.set(slot);
    return set;
}

TEST(HalfHours, TextsOfSlotsRangesAndLists) {
    EXPECT_EQ(gf_hours2bitset("5"), lf_slots({5}));
    EXPECT_EQ(gf_hours2bitset("3:5"), lf_slots({3, 4, 5}));
    EXPECT_EQ(gf_hours2bitset("7:7"), lf_slots({7}));
    EXPECT_EQ(gf_hours2bitset(" 1, 4 : 5 ,10"), lf_slots({1, 4, 5, 10}));
    EXPECT_EQ(gf_hours2bitset("0:47").count(), 48u);
    EXPECT_EQ(gf_hours2bitset("47"), lf_slots({47}));
    EXPECT_EQ(gf_hours2bitset("2,2,1:3"), lf_slots({1, 2, 3}));
}

TEST(HalfHours, EmptyAndInvalidTextsGiveAnEmptySet) {
    for (const char* text : {"", " ", "48", "-1", "+3", "a", "3:", ":3", "5:3", "46:2", "1,,2", "1,", "1:2:3",
                             "3.5", "0x1", "1 2"})
        EXPECT_TRUE(gf_hours2bitset(text).none()) << text;
}

TEST(HalfHours, InvalidTextsAreLoggedButEmptyOnesAreNot) {
    test::TempFolder folder;
    gf_openLogFile(folder.path());
    gf_hours2bitset("");
    gf_hours2bitset("46:2");
    gf_closeLogFile();
    const std::string log = test::readFileText(folder / "Log.txt");
    EXPECT_NE(log.find("==> gf_hours2bitset: invalid half-hour text '46:2'\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("''"), std::string::npos) << log;
}

TEST(HalfHours, OnlyOneContiguousRunHasAText) {
    EXPECT_EQ(gf_bitsetToHours(lf_slots({3, 4, 5})), "3:5");
    EXPECT_EQ(gf_bitsetToHours(lf_slots({7})), "7");
    EXPECT_EQ(gf_bitsetToHours(lf_slots({0})), "0");
    EXPECT_EQ(gf_bitsetToHours(lf_slots({47})), "47");
    EXPECT_EQ(gf_bitsetToHours(lf_slots({46, 47})), "46:47");
    EXPECT_EQ(gf_bitsetToHours(HalfHourSet().set()), "0:47");
    EXPECT_FALSE(gf_bitsetToHours(lf_slots({3, 5})));
    EXPECT_FALSE(gf_bitsetToHours(lf_slots({0, 47})));
    EXPECT_FALSE(gf_bitsetToHours(HalfHourSet()));
}

TEST(HalfHours, EveryRangeRoundTrips) {
    for (std::size_t first = 0; first < 48; ++first) {
        for (std::size_t last = first; last < 48; ++last) {
            const std::string text =
                first == last ? std::to_string(first) : std::to_string(first) + ":" + std::to_string(last);
            const HalfHourSet slots = gf_hours2bitset(text);
            ASSERT_EQ(slots.count(), last - first + 1) << text;
            ASSERT_EQ(gf_bitsetToHours(slots), text);
        }
    }
}

TEST(ClockText, MarksTheTimeOfShiftedTraffic) {
    const bool savedShift = timeShiftActive.load();
    const std::time_t savedLatest = latestTrafficTime.load();
    timeShiftActive = false;
    const std::string clock = gf_clockText();
    EXPECT_EQ(clock.size(), 8u) << clock;
    for (std::size_t i = 0; i < clock.size(); ++i)
        EXPECT_TRUE(i % 3 == 2 ? clock[i] == ':' : std::isdigit(static_cast<unsigned char>(clock[i])))
            << clock;
    latestTrafficTime = 1700000000; // 2023-11-14 22:13:20 UTC
    timeShiftActive = true;
    EXPECT_EQ(gf_clockText(), "<<< 22:13:20");
    timeShiftActive = savedShift;
    latestTrafficTime = savedLatest;
}

} // namespace
} // namespace kvr
