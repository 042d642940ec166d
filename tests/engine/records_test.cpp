// The aircraft records' helpers and the engine's calendar.
#include "engine_fixture.h"

namespace kvr::test {
namespace {

TEST(AcRecordTest, AirlineComesOnlyFromThreeLettersFollowedByADigit) {
    AcRecord record;
    record.callsign = "KLM1234";
    EXPECT_TRUE(gf_setAirlineFromCallsign(record));
    EXPECT_EQ(record.operatorCode, "KLM");
    for (const char* callsign : {"KL1234", "KLMX12", "klm123", "KLM", "", "PHBXA"}) {
        AcRecord other;
        other.callsign = callsign;
        other.operatorCode = "ZZZ";
        EXPECT_FALSE(gf_setAirlineFromCallsign(other)) << callsign;
        EXPECT_EQ(other.operatorCode, "ZZZ") << callsign;
    }
}

TEST(AcRecordTest, OperatorAndTypeArePaddedNotCut) {
    EXPECT_EQ(gf_operatorAndType("KL", "B7"), "KL  B7  ");
    EXPECT_EQ(gf_operatorAndType("", "A320"), "    A320");
    EXPECT_EQ(gf_operatorAndType("KLMX", "B7379"), "KLMX B7379");
}

TEST(AcRecordTest, DescriptionsNameCallsignRegistrationOperatorAndType) {
    AcRecord record;
    record.callsign = "KLM12";
    record.registration = "PH-BXA";
    record.operatorCode = "KLM";
    record.icaoType = "B738";
    EXPECT_EQ(gf_describeFlight(record), "KLM12    KLM B738");
    EXPECT_EQ(gf_describeFlightLong(record), "KLM12    PH-BXA   KLM B738");
}

TEST(AcRecordTest, ReportCategoryGivesSpanAndPerCategoryValues) {
    port::LiveAircraft report = makeReport(1, "HELI1", epoch0, 0, 0, 0, 0, 0, 0, true);
    report.icaoType = "ZZZZ";
    report.category = 5;
    const AcRecord heli = gf_makeAcRecord(report);
    EXPECT_EQ(heli.category, port::AircraftCategory::rotorcraft);
    EXPECT_FALSE(heli.values.pushesBack);
    EXPECT_GT(heli.halfWingspan, 0.0);
    report.category = 9;
    const AcRecord odd = gf_makeAcRecord(report);
    EXPECT_EQ(odd.category, port::AircraftCategory::large);
    EXPECT_TRUE(odd.values.pushesBack);
}

TEST(DaySlotTest, WeekdaysRunFromMondayOneToSundaySevenInUtc) {
    EXPECT_EQ(gf_daySlotOf(0).day, 4u); // Thursday 1 January 1970
    EXPECT_EQ(gf_daySlotOf(0).slot, 0);
    EXPECT_EQ(gf_daySlotOf(4 * 86400.0).day, 1u);
    const DaySlot sundayNight = gf_daySlotOf(3 * 86400.0 + 86399.0);
    EXPECT_EQ(sundayNight.day, 7u);
    EXPECT_EQ(sundayNight.slot, 47);
    const DaySlot beforeEpoch = gf_daySlotOf(-1.0);
    EXPECT_EQ(beforeEpoch.day, 3u);
    EXPECT_EQ(beforeEpoch.slot, 47);
    const DaySlot test = gf_daySlotOf(epoch0); // Tuesday 22:13:20
    EXPECT_EQ(test.day, 2u);
    EXPECT_EQ(test.slot, 44);
}

} // namespace
} // namespace kvr::test
