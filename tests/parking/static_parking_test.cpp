#include "core/status_display.h"
#include "settings/parameter_table.h"
#include "static_parking_support.h"

#include <fmt/format.h>

namespace kvr {
namespace {

class StaticParkingCalcTest : public test::StaticParkingTest {
protected:
    void SetUp() override {
        StaticParkingTest::SetUp();
        ParkingHooks hooks = gf_parkingHooks();
        hooks.receiveParkedTraffic = [this] {
            ++parkedRequests;
            return parkedTraffic;
        };
        gf_installParkingHooks(std::move(hooks));
    }

    // count stands 60 m apart.
    static void addStands(int count) {
        for (int i = 0; i < count; ++i)
            addStand("S" + std::to_string(i + 1), 60.0 * i);
    }

    static std::vector<std::string> placedCallsigns() {
        std::vector<std::string> callsigns;
        for (const ParkPosition& position : parkPositions)
            callsigns.push_back(position.callsign);
        return callsigns;
    }

    int parkedRequests = 0;
};

using Callsigns = std::vector<std::string>;

TEST_F(StaticParkingCalcTest, WantedCountRoundsAndNeverDropsBelowOneForSmallAirports) {
    const auto wantedFor = [](int stands, int percentage, int custom = -1) {
        gf_clearStands();
        addStands(stands);
        parking_percentage.setValue(percentage);
        CUSTOM_PARKING_PERCENTAGE.setValue(custom);
        return lf_wantedParkCount();
    };
    EXPECT_EQ(wantedFor(3, 30), 1);
    EXPECT_EQ(wantedFor(3, 30, 60), 2);
    EXPECT_EQ(wantedFor(10, 25), 3);
    EXPECT_EQ(statusDisplay.wantedMaxParkPercentage.load(), 30);
    EXPECT_EQ(wantedFor(2, 0), 1);
    EXPECT_EQ(wantedFor(0, 30), 1);
    MAX_PARK_SEL.setValue(10);
    EXPECT_EQ(wantedFor(40, 50), 10);
    EXPECT_EQ(statusDisplay.wantedMaxParkCount.load(), 10);
    MAX_PARK_SEL.setValue(0);
    EXPECT_EQ(wantedFor(40, 50), 0);
}

TEST_F(StaticParkingCalcTest, NoneWantedAsksForNoParkedTrafficAndFindsNothing) {
    addStands(5);
    MAX_PARK_SEL.setValue(0);
    parkedTraffic = std::vector<ParkedAircraft>{parked(0xA1, "KLM1", 0, 2)};
    lf_calculateParkPositions();
    EXPECT_EQ(parkedRequests, 0);
    EXPECT_TRUE(parkPositions.empty());
    EXPECT_TRUE(logHas("no parking positions found"));
    EXPECT_EQ(freedCount, 1);
}

TEST_F(StaticParkingCalcTest, ParkedTrafficGoesToTheNearestStandUnlessItIsLiveOrTooFar) {
    addStands(10);
    parking_percentage.setValue(100);
    seenLiveMaps.callsigns["KLM2_"] = 0xB2;
    seenLiveMaps.addresses[0xB3] = "KLM3";
    addLive(0xB4, "DAL4", AcPhase::taxi);
    parkedTraffic =
        std::vector<ParkedAircraft>{parked(0xA1, "KLM1", 300.0, 4, "PH-AAA"), // at S6
                                    parked(0xA2, "KLM2", 0.0, 1),             // seen flying as a ghost
                                    parked(0xB3, "KLM3", 60.0, 1),            // its address flies
                                    parked(0xA4, "DAL4", 120.0, 1),           // a live aircraft of the engine
                                    parked(0xA5, "KLM5", 651.0, 1),           // 111 m beyond the last stand
                                    parked(0xA6, "", 180.0, 1),               // no callsign
                                    parked(0xA7, "KLM7", 240.0, 9)};          // at S5
    lf_assignPtToStands(*parkedTraffic);

    EXPECT_EQ(placedCallsigns(), (Callsigns{"KLM1", "KLM7"}));
    EXPECT_EQ(parkPositions[0].standNumber, 6u);
    EXPECT_EQ(parkPositions[0].age, 4u);
    EXPECT_EQ(parkPositions[0].kind, 0u);
    EXPECT_TRUE(parkPositions[0].flag);
    EXPECT_TRUE(standList[5].chosen);
    EXPECT_TRUE(logHas(fmt::format("{:8} {:12}, hh:1 ===> no stand for PT", "KLM5", "")));
}

TEST_F(StaticParkingCalcTest, ParkTrafficOnlyPlacesEveryReportBeyondTheWantedCount) {
    addStands(3);
    RT_PARKTRAFFIC_ONLY.setValue(true);
    parkedTraffic = std::vector<ParkedAircraft>{parked(0xA1, "KLM1", 0.0, 1), parked(0xA2, "KLM2", 60.0, 5),
                                                parked(0xA3, "KLM3", 120.0, 3)};
    lf_calculateParkPositions();
    EXPECT_EQ(lf_wantedParkCount(), 1);
    // Oldest first: the engine creates from the end, the youngest first.
    EXPECT_EQ(placedCallsigns(), (Callsigns{"KLM2", "KLM3", "KLM1"}));
    EXPECT_TRUE(logHas("3 positions from RT parktraffic only\n"));
    EXPECT_TRUE(busy);

    RT_PARKTRAFFIC_ONLY.setValue(false);
    lf_calculateParkPositions();
    EXPECT_EQ(placedCallsigns(), (Callsigns{"KLM1"}));
    EXPECT_TRUE(logHas("1 parking position from PT"));
    EXPECT_TRUE(logHas("1 positions (33% vs wanted 30%, with Max fit=24.0 hours)\n"));
}

TEST_F(StaticParkingCalcTest, TheReservedStandAndTheUsersOwnStandStayEmpty) {
    addStands(4);
    parking_percentage.setValue(100);
    lf_setReservedStandName("S1");
    setUser(70.0, 0.0, 0.0, true); // 10 m from S2
    parkedTraffic = std::vector<ParkedAircraft>{parked(0xA1, "KLM1", 0.0, 1), parked(0xA2, "KLM2", 60.0, 1),
                                                parked(0xA3, "KLM3", 180.0, 1)};
    lf_calculateParkPositions();
    EXPECT_EQ(placedCallsigns(), (Callsigns{"KLM3"}));
    EXPECT_TRUE(standList[0].reservedForUser);
    EXPECT_TRUE(standList[1].reservedForUser);
}

// --- Fits of learned stand options --------------------------------------------------------------------

class LearnedFitTest : public StaticParkingCalcTest {
protected:
    void SetUp() override {
        StaticParkingCalcTest::SetUp();
        addStands(4);
    }
    static std::uint64_t slot(int s) { return 1ull << s; }
};

TEST_F(LearnedFitTest, MaxFitLimitsHowFarBackAnOptionMayHaveStarted) {
    setNow(3, 20);
    addOption(standList[0], option("PH-AAA", "KLM1", 3, slot(19)));
    MAX_FIT.setValue(0);
    lf_addLearnedPositions(lf_nowDaySlot(), 1, 0);
    EXPECT_TRUE(parkPositions.empty());
    EXPECT_EQ(fitOffsets.real, 1);

    for (Stand& stand : standList)
        stand.chosen = stand.blocked = false;
    MAX_FIT.setValue(1);
    lf_addLearnedPositions(lf_nowDaySlot(), 1, 0);
    ASSERT_EQ(placedCallsigns(), (Callsigns{"KLM1"}));
    EXPECT_EQ(parkPositions[0].kind, 1u);
    EXPECT_EQ(parkPositions[0].age, 1u);
    EXPECT_EQ(parkPositions[0].aircraftId, 0u);
    EXPECT_EQ(fitOffsets.real, 1);
    EXPECT_EQ(fitOffsets.soft, -1);
    EXPECT_TRUE(logHas("1 real position found, Max fit=24.0 hours, day 3, hh:20"));
}

TEST_F(LearnedFitTest, JustAfterMidnightOnMondayTheSearchGoesBackToSunday) {
    setNow(1, 0);
    addOption(standList[0], option("PH-AAA", "KLM1", 7, slot(47)));
    addOption(standList[1], option("PH-BBB", "KLM2", 6, slot(47)));
    MAX_FIT.setValue(1);
    lf_addLearnedPositions(lf_nowDaySlot(), 2, 0);
    EXPECT_EQ(placedCallsigns(), (Callsigns{"KLM1"}));
    EXPECT_EQ(lf_slotsBefore({1, 0}, 1).day, 7u);
    EXPECT_EQ(lf_slotsBefore({1, 0}, 1).slot, 47);
}

TEST_F(LearnedFitTest, OtherWeekdaysAndSoftOptionsOnlyWhenTheSettingsAllowThem) {
    setNow(3, 20);
    addOption(standList[0], option("PH-AAA", "KLM1", 4, slot(20)));
    addOption(standList[1], option("PH-BBB", "KLM2", 3, slot(20), 0));
    addOption(standList[2], option("PH-CCC", "KLM3", 5, slot(20), 0));
    const auto fitWith = [this](bool week, bool soft) {
        WEEK.setValue(week);
        PARK_SOFT.setValue(soft);
        parkPositions.clear();
        for (Stand& stand : standList)
            stand.chosen = stand.blocked = false;
        lf_addLearnedPositions(lf_nowDaySlot(), 4, 0);
        Callsigns placed = placedCallsigns();
        std::sort(placed.begin(), placed.end());
        return placed;
    };
    EXPECT_EQ(fitWith(false, false), Callsigns{});
    EXPECT_EQ(fitWith(true, false), (Callsigns{"KLM1"}));
    EXPECT_EQ(fitWith(false, true), (Callsigns{"KLM2"}));
    EXPECT_EQ(fitWith(true, true), (Callsigns{"KLM1", "KLM2", "KLM3"}));
    EXPECT_TRUE(statusDisplay.softFit);
    EXPECT_TRUE(statusDisplay.weekFit);
    EXPECT_TRUE(logHas("1 week/soft position found"));
}

TEST_F(LearnedFitTest, TheOptionOfTheAircraftStandingThereIsInUseAndLeavesItTheStand) {
    setNow(3, 20);
    addOption(standList[0], option("PH-AAA", "KLM1", 3, slot(20)));
    addOption(standList[0], option("PH-BBB", "KLM2", 3, slot(20)));
    addStatic(standList[0], "KLM1", 1, 3, 18, "PH-AAA");
    for (int round = 0; round < 20; ++round) {
        std::vector<ParkPosition> candidates;
        standList[0].chosen = false;
        standList[0].options[0].aircraftId = 1;
        lf_searchStands(lf_nowDaySlot(), 1, 1, 0, candidates);
        // The standing aircraft's option is in use: the stand is left to the static aircraft.
        EXPECT_TRUE(candidates.empty());
        EXPECT_EQ(standList[0].options[0].aircraftId, 0u);
        EXPECT_EQ(standList[0].options[1].aircraftId, 2u);
    }
}

TEST_F(LearnedFitTest, AnOptionWhoseAircraftFliesIsLeftOutAndTheStandStaysFree) {
    setNow(3, 20);
    addOption(standList[0], option("PH-AAA", "KLM1", 3, slot(20)));
    addOption(standList[0], option("PH-BBB", "KLM2", 3, slot(19)));
    seenLiveMaps.callsigns["KLM1"] = 0xC1;
    MAX_FIT.setValue(1);
    lf_addLearnedPositions(lf_nowDaySlot(), 1, 0);
    EXPECT_EQ(standList[0].options[0].aircraftId, 0u);
    EXPECT_EQ(placedCallsigns(), (Callsigns{"KLM2"}));
}

TEST_F(LearnedFitTest, HeliStandsAreFilledOnlyWithHelicoptersOn) {
    setNow(3, 20);
    gf_clearStands();
    addStand("H1", 0.0, 15.0, true);
    addOption(standList[0], option("PH-HHH", "HEL1", 3, slot(20)));
    HELICOPTERS.setValue(false);
    lf_addLearnedPositions(lf_nowDaySlot(), 1, 0);
    EXPECT_TRUE(parkPositions.empty());
    HELICOPTERS.setValue(true);
    lf_addLearnedPositions(lf_nowDaySlot(), 1, 0);
    EXPECT_EQ(placedCallsigns(), (Callsigns{"HEL1"}));
}

TEST_F(LearnedFitTest, OnlyNamedAircraftMakeAnOptionInUse) {
    const StandOption free = option("PH-AAA", "KLM1", 3, slot(20));
    StaticAc& nameless = addStatic(standList[1], "", 1, 3, 20);
    EXPECT_FALSE(lf_isOptionInUse(free));
    nameless.registration = "PH-AAA";
    EXPECT_TRUE(lf_isOptionInUse(free));
    nameless.registration.clear();
    liveParkedList.push_back({"KLM1", 3, 10});
    EXPECT_TRUE(lf_isOptionInUse(free));
    liveParkedList.clear();
    parkPositions.push_back({0, 1, 4, 0, "KLM", "B738", "", "KLM1", "", true});
    EXPECT_FALSE(lf_isOptionInUse(free));
    parkPositions.back().callsign = "KLM1";
    EXPECT_TRUE(lf_isOptionInUse(free));
}

TEST_F(LearnedFitTest, AnAircraftWithASecondFlightLeavesWhenItsNextSlotIsNotLearned) {
    setNow(3, 20);
    addOption(standList[0], option("PH-AAA", "KLM1", 3, slot(18) | slot(19) | slot(20), 1, "KLM2"));
    addOption(standList[1], option("PH-BBB", "KLM3", 3, slot(20) | slot(21), 1, "KLM4"));
    addOption(standList[2], option("PH-CCC", "KLM5", 3, slot(20)));
    lf_addLearnedPositions(lf_nowDaySlot(), 3, 0);
    ASSERT_EQ(parkPositions.size(), 3u);
    for (const ParkPosition& position : parkPositions)
        EXPECT_EQ(position.flag, position.callsign != "KLM1") << position.callsign;

    // At the last slot of the day the next weekday's first slot decides.
    parkPositions.clear();
    for (Stand& stand : standList)
        stand.chosen = false;
    setNow(3, 47);
    standList[0].options[0].halfHours = slot(47);
    addOption(standList[0], option("PH-AAA", "KLM1", 4, slot(0) | slot(1), 1, "KLM2"));
    lf_addLearnedPositions(lf_nowDaySlot(), 1, 0);
    ASSERT_EQ(placedCallsigns(), (Callsigns{"KLM1"}));
    EXPECT_TRUE(parkPositions[0].flag);
}

} // namespace
} // namespace kvr
