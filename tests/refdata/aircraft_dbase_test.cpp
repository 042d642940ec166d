#include "refdata/aircraft_dbase.h"

#include "refdata/aircraft_dbase_internal.h"
#include "refdata/airport_table.h"
#include "refdata/airport_table_internal.h"
#include "refdata_fixtures.h"

#include <algorithm>

namespace kvr {
namespace {

using test::WorkingFolder;
using test::writeEncrypted;

constexpr const char* dbaseXml = R"(<?xml version="1.0" encoding="UTF-8"?>
<dbase version="1">
  <types>
    <type icao="B738" category="2" wingspan="35.79" similar="B737,B739,B38M"/>
    <type icao="B737" category="2" wingspan="34.32"/>
    <type icao="B739" category="2" wingspan="35.79"/>
    <type icao="C172" category="0" wingspan="11.0"/>
    <type icao="C208" category="0"/>
    <type icao="B744" category="3" wingspan="64.4" similar=" B748 , B744,,B77W,B748"/>
    <type icao="F16" category="4"/>
    <type icao="EC35" category="5" wingspan="wide"/>
    <type icao="XX99" category="9"/>
    <type icao="B738" category="3" wingspan="60"/>
  </types>
  <typefixes>
    <fix wrong="B77F" right="B77L"/>
    <fix wrong="B77F" right="B772"/>
    <fix wrong="A320" right="A320"/>
  </typefixes>
  <airlines>
    <airline icao="KLM" name="KLM Royal Dutch Airlines" cargo="false"/>
    <airline icao="MPH" name="Martinair Cargo" cargo="true"/>
    <airline icao="KLMX" name="Four letters"/>
  </airlines>
  <registrations>
    <reg id="PH-BXA" airline="KLM" type="B738" operator="KLM" cargo="false"/>
    <reg id="D-AIAB" airline="DLH" type="A321" operator=""/>
    <reg id="N12345" airline="UAL" type="B738" operator="SKW"/>
    <reg id="PH-BXB" airline="KLM" type="B738" operator="KLM"/>
    <reg id="P-HBXB" airline="XXX" type="B738" operator="XXX"/>
    <reg id="PH-MPS" airline="MPH" type="B744" operator="MPH"/>
    <reg id="PH-MPT" airline="MPH" type="B744" operator="MPH" cargo="false"/>
    <reg id="PH-BXA" airline="DUP" type="A320" operator="DUP"/>
    <reg id="N123" airline="" type="C172" operator=""/>
    <reg id="N12" airline="" type="C172" operator=""/>
    <reg airline="NOID"/>
  </registrations>
  <publishers>
    <group names="FlyTampa, Fly Tampa"/>
    <group names=" , "/>
    <group names="Aerosoft"/>
  </publishers>
  <simaddons20 arpts="EHAM, KJFK,"/>
  <thirdparties20>
    <entry pub="FlyTampa" arpts="EHAM190,LOWW88"/>
    <entry arpts="EGLL10"/>
  </thirdparties20>
  <thirdparties24>
    <entry pub="Aerosoft" arpts="EDDF12"/>
  </thirdparties24>
</dbase>
)";

class AircraftDbaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeEncrypted(work / "input" / "dbase.enc", dbaseXml);
        ASSERT_TRUE(lf_readDbaseFile("input/dbase.enc"));
    }
    WorkingFolder work;
};

TEST_F(AircraftDbaseTest, RegistrationVariantsAreTriedInOrder) {
    using V = std::vector<std::string>;
    EXPECT_EQ(lf_registrationVariants("PHBXA"), (V{"PH-BXA", "P-HBXA", "PHBXA"}));
    EXPECT_EQ(lf_registrationVariants("N12345"), (V{"N12345"})) << "N registrations carry no dash";
    EXPECT_EQ(lf_registrationVariants("PH-BXA"), (V{"PH-BXA"}));
    EXPECT_EQ(lf_registrationVariants("DAIA"), (V{"DAIA"})) << "shorter than 5 characters";

    EXPECT_EQ(gf_lookupRegistration("PHBXA")->airline, "KLM");
    EXPECT_EQ(gf_lookupRegistration("DAIAB")->airline, "DLH") << "second spelling D-AIAB";
    EXPECT_EQ(gf_lookupRegistration("PHBXB")->airline, "KLM") << "PH-BXB is tried before P-HBXB";
    EXPECT_EQ(gf_lookupRegistration("P-HBXB")->airline, "XXX");
    EXPECT_EQ(gf_lookupRegistration("N12345")->operatorCode, "SKW");
    EXPECT_FALSE(gf_lookupRegistration("phbxa")) << "registrations are case-sensitive";
    EXPECT_FALSE(gf_lookupRegistration(""));
    EXPECT_EQ(gf_lookupRegistration("PH-BXA")->type, "B738")
        << "a repeated registration keeps its first entry";
}

TEST_F(AircraftDbaseTest, AirlineOperatorAndCargoOfRegistrations) {
    EXPECT_EQ(gf_airlineOfRegistration("N12345"), "UAL");
    EXPECT_EQ(gf_operatorOfRegistration("N12345"), "SKW");
    EXPECT_EQ(gf_operatorOfRegistration("DAIAB"), "");
    EXPECT_EQ(gf_airlineOfRegistration(""), "");
    EXPECT_EQ(gf_airlineOfRegistration("XX-NONE"), "");
    EXPECT_EQ(gf_operatorOfRegistration("XX-NONE"), "");
    EXPECT_TRUE(gf_lookupRegistration("PH-MPS")->cargo) << "no flag of its own: its cargo airline's";
    EXPECT_FALSE(gf_lookupRegistration("PH-MPT")->cargo) << "its own flag wins";
    EXPECT_FALSE(gf_lookupRegistration("PH-BXA")->cargo);
}

TEST_F(AircraftDbaseTest, ShortRegistrationsAreFoundInFileOrder) {
    EXPECT_EQ(gf_findShortRegcodeIn("Cessna 172 N123 Skyhawk"), "N123")
        << "N123 comes before N12 in the file";
    EXPECT_EQ(gf_findShortRegcodeIn("Cessna N12X"), "N12");
    EXPECT_FALSE(gf_findShortRegcodeIn("Boeing 737-800 KLM PH-BXA")) << "six characters are not short";
    EXPECT_FALSE(gf_findShortRegcodeIn(""));
}

TEST_F(AircraftDbaseTest, CategoriesAndWingspans) {
    constexpr double nm = 1852.0;
    EXPECT_EQ(gf_getAircraftCategory("C172"), AircraftCategory::light);
    EXPECT_EQ(gf_getAircraftCategory("B744"), AircraftCategory::heavy);
    EXPECT_EQ(gf_getAircraftCategory("EC35"), AircraftCategory::rotorcraft);
    EXPECT_EQ(gf_getAircraftCategory("B738"), AircraftCategory::large) << "the repeated entry does not count";
    EXPECT_EQ(gf_getAircraftCategory("c172"), AircraftCategory::large) << "types are case-sensitive";
    EXPECT_EQ(gf_getAircraftCategory("XX99"), AircraftCategory::large) << "refused entry is unknown";
    EXPECT_EQ(gf_getAircraftCategory(""), AircraftCategory::large);

    EXPECT_DOUBLE_EQ(gf_getWingspan("B738"), 35.79 / 2 / nm);
    EXPECT_DOUBLE_EQ(gf_getWingspan("C208"), 11.0 / 2 / nm) << "no span: the average of category 0";
    EXPECT_DOUBLE_EQ(gf_getWingspan("EC35"), aircraftTables.averageHalfWingspanNm[5]) << "bad span: no span";
    EXPECT_DOUBLE_EQ(gf_getWingspan("ZZZZ"), (35.79 + 34.32 + 35.79) / 3 / 2 / nm) << "unknown: category 2";
    EXPECT_GT(gf_getWingspan("F16"), 0.0) << "a category without any span still has a size";

    EXPECT_STREQ(gf_aircraftCategoryName(AircraftCategory::light), "Light");
    EXPECT_STREQ(gf_aircraftCategoryName(AircraftCategory::buzjet), "Buzjets");
    EXPECT_STREQ(gf_aircraftCategoryName(AircraftCategory::highPerformance), "HighPerf");
    EXPECT_STREQ(gf_aircraftCategoryName(AircraftCategory::rotorcraft), "Rotorcraft");
}

TEST_F(AircraftDbaseTest, TypeSetFixesAndAirlines) {
    EXPECT_EQ(aircraftTypeSet,
              (std::set<std::string>{"B737", "B738", "B739", "B744", "C172", "C208", "EC35", "F16"}));
    EXPECT_EQ(typeFixes, (std::map<std::string, std::string>{{"B77F", "B77L"}}));

    EXPECT_TRUE(gf_isIcaoAirline("KLM"));
    EXPECT_TRUE(gf_isIcaoAirline("MPH"));
    EXPECT_FALSE(gf_isIcaoAirline("klm"));
    EXPECT_FALSE(gf_isIcaoAirline("KLMX")) << "not three letters";
    EXPECT_TRUE(gf_isIcaoAirline("ZZZ")) << "always a member";
    EXPECT_TRUE(gf_isIcaoAirline("PVT")) << "always a member";
    EXPECT_FALSE(gf_isIcaoAirline("DLH")) << "a registration's airline is not listed by that alone";
}

TEST_F(AircraftDbaseTest, PublishersAndAddonAirportLists) {
    using V = std::vector<std::string>;
    ASSERT_EQ(publisherNames.size(), 2u) << "a group without names is dropped";
    EXPECT_EQ(publisherNames[0], (V{"FlyTampa", "Fly Tampa"}));
    EXPECT_EQ(publisherNames[1], (V{"Aerosoft"}));
    EXPECT_EQ(simAddonAirportCodes, (std::set<std::string>{"EHAM", "KJFK"}));
    ASSERT_EQ(thirdPartyAirports20.size(), 1u) << "an entry without publisher is dropped";
    EXPECT_EQ(thirdPartyAirports20[0].publisher, "FlyTampa");
    EXPECT_EQ(thirdPartyAirports20[0].codes, (V{"EHAM190", "LOWW88"}));
    ASSERT_EQ(thirdPartyAirports24.size(), 1u);
    EXPECT_EQ(thirdPartyAirports24[0].codes, (V{"EDDF12"}));

    const std::string log = work.log();
    EXPECT_NE(
        log.find("8 aircraft types, 1 type fixes, 4 airlines and 9 registrations read from input/dbase.enc"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("==> gf_readDbase: type 'XX99' has no valid category '9'"), std::string::npos);
}

TEST_F(AircraftDbaseTest, UnreadableFilesAreRefusedWithTheirTextsAndTablesStay) {
    std::filesystem::remove(work / "input" / "dbase.enc");
    try {
        lf_readDbaseFile("input/dbase.enc");
        FAIL() << "a missing file must throw";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "input/dbase.enc not available");
    }
    writeEncrypted(work / "input" / "dbase.enc", dbaseXml, test::otherKey());
    try {
        lf_readDbaseFile("input/dbase.enc");
        FAIL() << "a file that cannot be decrypted must throw";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "input/dbase.enc stream decrypt failed");
    }
    EXPECT_FALSE(std::filesystem::exists(work / "input" / "dbase.xml"));

    writeEncrypted(work / "input" / "dbase.enc", "<dbase><types>");
    EXPECT_FALSE(lf_readDbaseFile("input/dbase.enc"));
    writeEncrypted(work / "input" / "dbase.enc", "<airports/>");
    EXPECT_FALSE(lf_readDbaseFile("input/dbase.enc"));
    EXPECT_FALSE(std::filesystem::exists(work / "input" / "dbase.xml"));
    EXPECT_EQ(gf_getAircraftCategory("C172"), AircraftCategory::light) << "a failed reading changes nothing";
    EXPECT_NE(work.log().find("does not parse"), std::string::npos);
}

TEST_F(AircraftDbaseTest, DataFilesWithoutEntriesAreFailedReadingsWithTheirOwnLine) {
    for (const char* xml : {"<dbase/>", R"(<dbase><airlines><airline icao="KLM"/></airlines></dbase>)",
                            R"(<dbase><types><type icao="XX99" category="9"/></types></dbase>)"}) {
        writeEncrypted(work / "input" / "dbase.enc", xml);
        EXPECT_FALSE(lf_readDbaseFile("input/dbase.enc")) << xml;
    }
    EXPECT_EQ(gf_getAircraftCategory("C172"), AircraftCategory::light) << "the tables stay";

    writeEncrypted(work / "input" / "airports.enc",
                   R"(<airports><airport code="EHAM" lat="52.3" lon="4.76"/></airports>)");
    ASSERT_TRUE(lf_readAirportsFile("input/airports.enc"));
    writeEncrypted(work / "input" / "airports.enc",
                   R"(<airports><airport code="" lat="1" lon="1"/></airports>)");
    EXPECT_FALSE(lf_readAirportsFile("input/airports.enc"));
    EXPECT_TRUE(gf_findAirport("EHAM"));

    const std::string log = work.log();
    const auto count = [&log](const std::string& text) {
        std::size_t n = 0;
        for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("==> gf_readDbase: input/dbase.enc holds no aircraft types\n"), 3u) << log;
    EXPECT_EQ(count("aircraft types, "), 1u) << "only the fixture's reading counts as read";
    EXPECT_EQ(count("==> gf_readAirports: input/airports.enc holds no airports\n"), 1u);
}

TEST(AircraftDbaseSpanTest, ARepeatedTypeAddsNothingToItsCategorysAverageSpan) {
    WorkingFolder work;
    writeEncrypted(work / "input" / "dbase.enc", R"(<dbase><types>
        <type icao="B738" category="2" wingspan="30"/>
        <type icao="A320" category="2"/>
        <type icao="B738" category="2" wingspan="90"/>
    </types></dbase>)");
    ASSERT_TRUE(lf_readDbaseFile("input/dbase.enc"));
    EXPECT_DOUBLE_EQ(gf_getWingspan("A320"), 30.0 / 2 / 1852.0) << "the average of the one B738 that counts";
}

TEST(AircraftDbaseOnceTest, ReadDbaseReadsOncePerProcess) {
    WorkingFolder work;
    writeEncrypted(work / "input" / "dbase.enc",
                   R"(<dbase><types><type icao="ONCE" category="1"/></types></dbase>)");
    EXPECT_TRUE(gf_readDbase());
    EXPECT_EQ(gf_getAircraftCategory("ONCE"), AircraftCategory::buzjet);
    std::filesystem::remove(work / "input" / "dbase.enc");
    EXPECT_TRUE(gf_readDbase()) << "the second call does not read again";
    EXPECT_FALSE(std::filesystem::exists(work / "input" / "dbase.xml"));
}

} // namespace
} // namespace kvr
