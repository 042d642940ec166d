// What a live aircraft's stay at a stand teaches the park airport's stand options.
#include "engine_fixture.h"

namespace kvr::test {
namespace {

class StandLearningTest : public EngineTest {
protected:
    // An aircraft standing at the stand from the start for the minutes given, then taxiing away.
    void stayAndLeave(double start, double minutes) {
        startClockAt(start);
        const double latitude = port::standList.front().latitude;
        const double longitude = port::standList.front().longitude;
        std::vector<port::LiveAircraft> reports =
            pathReports(0x3C0001, "DLH400", start, latitude, longitude, 0,
                        {{minutes * 60, 0, 0, 0, true}, {60, 10, 180, 0, true}}, 10.0);
        for (port::LiveAircraft& report : reports)
            report.registration = "D-AIZZ";
        schedule(std::move(reports));
        run(minutes * 60 + 40);
    }
    static std::vector<int> slotsOf(const port::StandOption& option) {
        std::vector<int> slots;
        for (int slot = 0; slot < 48; ++slot)
            if ((option.halfHours >> slot) & 1u)
                slots.push_back(slot);
        return slots;
    }
};

TEST_F(StandLearningTest, AStayBecomesAnOptionWithEverySlotOfIt) {
    const port::Stand& stand = addStand("B12", airportLatitude, airportLongitude, 0, 30);
    stayAndLeave(epoch0, 55); // Tuesday 22:13 to 23:08
    ASSERT_NE(live(0x3C0001), nullptr);
    EXPECT_EQ(live(0x3C0001)->phase, AcPhase::pushing_back);
    ASSERT_EQ(stand.options.size(), 1u);
    const port::StandOption& option = stand.options[0];
    EXPECT_EQ(option.registration, "D-AIZZ");
    EXPECT_EQ(option.callsign, "DLH400");
    EXPECT_EQ(option.day, 2u);
    EXPECT_EQ(option.real, 1u);
    EXPECT_EQ(slotsOf(option), (std::vector<int>{44, 45, 46}));
    EXPECT_EQ(port::learnedUpdateCount.load(), 1);
}

TEST_F(StandLearningTest, AStayAcrossMidnightIsSplitOverTwoWeekdays) {
    const port::Stand& stand = addStand("B12", airportLatitude, airportLongitude, 0, 30);
    const double midnight = epoch0 + 6400; // Wednesday 00:00
    stayAndLeave(midnight - 600, 40);      // 23:50 to 00:30
    ASSERT_EQ(stand.options.size(), 2u);
    EXPECT_EQ(stand.options[0].day, 2u);
    EXPECT_EQ(slotsOf(stand.options[0]), std::vector<int>{47});
    EXPECT_EQ(stand.options[1].day, 3u);
    EXPECT_EQ(slotsOf(stand.options[1]), std::vector<int>{0});
}

TEST_F(StandLearningTest, ACoupledCallsignIsLearnedAsTheSecondCallsign) {
    port::Stand& stand = addStand("B12", airportLatitude, airportLongitude, 0, 30);
    port::StandOption seen;
    seen.registration = "D-AIZZ";
    seen.callsign = "DLH401";
    seen.day = 2;
    seen.halfHours = 1ull << 43;
    seen.aircraftId = 1;
    seen.real = 1;
    addStand("B13", airportLatitude + 0.01, airportLongitude, 0, 30).options.push_back(seen);
    startClockAt(epoch0);
    schedule({makeReport(0x3C0001, "DLH400", epoch0, airportLatitude, airportLongitude, 0, 0, 0, 0, true)});
    tick(2);
    LiveAc& aircraft = *live(0x3C0001);
    aircraft.registration = "D-AIZZ";
    lf_searchForCoupledCsAroundThisTime({2, 44}, aircraft);
    EXPECT_TRUE(aircraft.coupledSearchDone);
    EXPECT_EQ(aircraft.coupledCallsign, "DLH401");
    run(31);
    ASSERT_EQ(stand.options.size(), 1u);
    EXPECT_EQ(stand.options[0].callsign, "DLH400");
    EXPECT_EQ(stand.options[0].callsign2, "DLH401");
    EXPECT_TRUE(stand.options[0].coupled);
}

TEST_F(StandLearningTest, NoCoupledCallsignOnAnotherDayOrFarFromThisSlot) {
    port::StandOption seen;
    seen.registration = "D-AIZZ";
    seen.callsign = "DLH401";
    seen.day = 2;
    seen.halfHours = 1ull << 40;
    seen.aircraftId = 1;
    addStand("B13", airportLatitude, airportLongitude, 0, 30).options.push_back(seen);
    LiveAc& aircraft = addActiveLive(0x3C0001, "DLH400", airportLatitude, airportLongitude);
    aircraft.registration = "D-AIZZ";
    lf_searchForCoupledCsAroundThisTime({2, 44}, aircraft);
    EXPECT_TRUE(aircraft.coupledCallsign.empty());
    lf_searchForCoupledCsAroundThisTime({3, 41}, aircraft);
    EXPECT_TRUE(aircraft.coupledCallsign.empty());
    lf_searchForCoupledCsAroundThisTime({2, 41}, aircraft);
    EXPECT_EQ(aircraft.coupledCallsign, "DLH401");
}

} // namespace
} // namespace kvr::test
