#include "core/geodesy.h"
#include "core/user_error.h"
#include "parking/learned_file.h"
#include "parking/park_stands.h"
#include "parking/stand_lookup.h"
#include "parking/static_parking.h"
#include "parking/static_parking_internal.h"
#include "parking_test_support.h"
#include "recording_ports.h"
#include "support/native_separators.h"
#include "tools/stand_fixtures/stand_fixtures.h"

#include <fmt/format.h>

#include <numbers>

namespace kvr {
namespace {

using fixtures::gf_optSpec;
using fixtures::gf_standSpec;
using fixtures::StandFileSpec;

class ParkStandsTest : public test::ParkingTest {
protected:
    void SetUp() override {
        ParkingTest::SetUp();
        setAirports({{"EHAM", "AMS", "Schiphol", 52.3086, 4.7639, -11.0, 190},
                     {"ONE1", "", "", 50.0, 5.0, 10.0, 1},
                     {"TWO2", "", "", 51.0, 5.0, 10.0, 2},
                     {"NONE", "", "", 53.0, 5.0, 10.0, 0}});
        currentParkAirport = *gf_findAirport("EHAM");
    }

    static StandFileSpec stockSpec(fixtures::Attributes parameters = {{"altitude", "-11"}}) {
        StandFileSpec spec;
        spec.parameters = {{"airport_name", "Schiphol"}, {"publisher", "stock"}};
        spec.parameters.insert(spec.parameters.end(), parameters.begin(), parameters.end());
        spec.stands = {gf_standSpec({"D7", 52.3132, 4.7640, 280, 32}),
                       gf_standSpec({"E18", 52.3110, 4.7560, 40, 36}),
                       gf_standSpec({"H2", 52.3050, 4.7600, 25, 20})};
        return spec;
    }

    std::string read(const StandFileSpec& spec, const std::string& path = "airports/stock/EHAM.xml") {
        fixtures::gf_writeStandFile(path, spec);
        return gf_readApf(path, info);
    }

    ParkAirportFileInfo info;
    test::RecordingControlPort port;
    test::RecordedHooks hooks;
};

TEST_F(ParkStandsTest, LookupFollowsLinksThenLocalFilesThenStockFiles) {
    const auto write = [](const std::filesystem::path& path, const std::string& text) {
        std::filesystem::create_directories(path.parent_path());
        test::writeFileText(path, text);
    };
    EXPECT_EQ(gf_findArchivedStockApf("TWO2"), "archive/stock/TWO2.xml");
    EXPECT_EQ(gf_findArchivedStockApf("NONE"), "");
    EXPECT_EQ(gf_findArchivedStockApf("XXXX"), "");
    EXPECT_TRUE(gf_airportFileExists("ONE1"));
    EXPECT_FALSE(gf_airportFileExists("NONE"));

    write(mySimaddonDir / "NONE.xml", "<root/>");
    EXPECT_EQ(gf_findArchivedStockApf("NONE"), "airports/my_simaddon/NONE.xml");
    write(mySimaddonDir / "NONE.txt", "archive/simaddon/NONE.xml\n");
    EXPECT_EQ(gf_findArchivedStockApf("NONE"), "archive/simaddon/NONE.xml");
    write(myThirdpartyDir / "NONE.xml", "<root/>");
    EXPECT_EQ(gf_findArchivedStockApf("NONE"), "airports/my_thirdparty/NONE.xml");
    write(myThirdpartyDir / "NONE.txt", "archive/thirdparty/Aero%20Soft/NONE.txt\n");
    EXPECT_EQ(gf_findArchivedStockApf("NONE"), "airports/my_thirdparty/NONE.xml");
    write(myThirdpartyDir / "NONE.txt", "archive/thirdparty/Aero%20Soft/NONE.XML \n");
    EXPECT_EQ(gf_findArchivedStockApf("NONE"), "archive/thirdparty/Aero%20Soft/NONE.XML");

    write(myThirdpartyDir / "ZZZZ.txt", "not a link");
    EXPECT_TRUE(gf_airportFileExists("ZZZZ"));
    EXPECT_EQ(gf_findArchivedStockApf("ZZZZ"), "");
}

TEST_F(ParkStandsTest, RefusedFilesComeBackAsTexts) {
    EXPECT_EQ(gf_readApf("", info), "gf_readApf: xml is empty");
    currentParkAirport = Airport{};
    EXPECT_EQ(gf_readApf("airports/stock/EHAM.xml", info), "gf_readApf: no park airport set");
    currentParkAirport = *gf_findAirport("EHAM");
    EXPECT_EQ(gf_readApf("airports/stock/EHAM.xml", info),
              "airports/stock/EHAM.xml: could not load file: airports/stock/EHAM.xml");
    StandFileSpec noMeta = stockSpec();
    noMeta.withMeta = false;
    EXPECT_EQ(read(noMeta), "airports/stock/EHAM.xml: refused to load");
    EXPECT_TRUE(standList.empty());
    EXPECT_FALSE(parkAirportLoaded);
}

TEST_F(ParkStandsTest, MissingAltitudeIsAUserErrorBeforeAnyStandIsRead) {
    try {
        read(stockSpec({}));
        FAIL() << "no user error";
    } catch (const UserErrorException& e) {
        EXPECT_EQ(e.code(), 65);
        EXPECT_STREQ(e.what(), "65: Parameter altitude not found");
    }
    EXPECT_TRUE(standList.empty());

    StandFileSpec repeated = stockSpec();
    repeated.stands.push_back(gf_standSpec({"D7", 52.0, 4.0, 0, 10}));
    EXPECT_THROW(read(repeated), UserErrorException);
}

TEST_F(ParkStandsTest, ReadingReportsTheFileAndPublishesItsStands) {
    auto spec = stockSpec({{"altitude", "-11"}, {"RT_traffic_week", "3"}});
    ASSERT_EQ(read(spec), "");
    EXPECT_EQ(info.airportName, "Schiphol");
    EXPECT_EQ(info.publisher, "stock");
    EXPECT_EQ(info.altitude, -11);
    EXPECT_EQ(info.fileName, "airports/stock/EHAM.xml");
    EXPECT_EQ(currentParkAirport.altitude, -11.0);
    EXPECT_EQ(rtTrafficWeek, 3);
    ASSERT_EQ(standList.size(), 3u);
    EXPECT_EQ(standList[2].number, 3u);
    EXPECT_EQ(statusDisplay.standCount.load(), 3u);
    EXPECT_EQ(statusDisplay.texts().publisherText, "stock");
    EXPECT_EQ(statusDisplay.texts().qualityFactorText, " 0/ 0");
    EXPECT_FALSE(statusDisplay.handmadeStandFile);
    EXPECT_TRUE(parkAirportLoaded);
    EXPECT_TRUE(port.enabled.at(flushStaticButton.controlId));
    EXPECT_EQ(hooks.groundAltitude, -11.0);
    const std::string log = logText();
    for (const char* line :
         {"airports\\stock\\EHAM.xml\n", "learned does not exist\n",
          "          parking_percentage      : 30%\n",
          "Airport file read from 'airports/stock/EHAM.xml' for Schiphol\n",
          "          publisher               : stock\n", "          altitude                : -11 ft\n",
          "          num_parkpos             : 3\n", "          quality factor          :  0/ 0\n",
          "          RT traffic week         : 3\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
}

TEST_F(ParkStandsTest, WithoutLearnedFileTheQualityFactorsSwitchTheParkSettings) {
    MAX_FIT_FL.setValue(6.0f);
    ASSERT_EQ(read(stockSpec({{"altitude", "0"}, {"Qf_real", "1"}, {"Qf_soft", "5"}})), "");
    EXPECT_TRUE(PARK_SOFT.value() && WEEK.value());
    EXPECT_EQ(MAX_FIT_FL.value(), 24.0f);
    EXPECT_EQ(port.selections.at(MAX_FIT_FL.controlId), *MAX_FIT_FL.choiceIndexOf(24.0f));
    EXPECT_TRUE(port.checks.at(WEEK.controlId));
    EXPECT_EQ(qualityFactors, QualityFactorPair(1, 5));

    gf_clearStands();
    ASSERT_EQ(read(stockSpec({{"altitude", "0"}, {"Qf_real", "20"}, {"Qf_soft", "5"}})), "");
    EXPECT_TRUE(PARK_SOFT.value() && WEEK.value());
    gf_clearStands();
    ASSERT_EQ(read(stockSpec({{"altitude", "0"}, {"Qf_real", "46"}, {"Qf_soft", "5"}})), "");
    EXPECT_FALSE(PARK_SOFT.value() || WEEK.value());
    EXPECT_EQ(statusDisplay.texts().qualityFactorText, "46");
    // No factors in the file: nothing known, nothing switched.
    PARK_SOFT.setValue(true);
    gf_clearStands();
    ASSERT_EQ(read(stockSpec()), "");
    EXPECT_TRUE(PARK_SOFT.value());
    EXPECT_EQ(qualityFactors, QualityFactorPair(0, 0));
}

TEST_F(ParkStandsTest, ParkingPercentageFollowsTheStockStandCount) {
    for (const auto& [code, expected] :
         std::vector<std::pair<std::string, int>>{{"ONE1", 100}, {"TWO2", 50}, {"NONE", 30}, {"EHAM", 30}}) {
        gf_clearStands();
        currentParkAirport = *gf_findAirport(code);
        ASSERT_EQ(read(stockSpec()), "");
        EXPECT_EQ(parking_percentage.value(), expected) << code;
        EXPECT_EQ(port.selections.at(parking_percentage.controlId), expected / 5);
        EXPECT_TRUE(port.enabled.at(parking_percentage.controlId));
    }
    EXPECT_TRUE(logHas("          parking_percentage      : 100%\n"));
}

TEST_F(ParkStandsTest, StandsOverlapWhenTheirRadiiExceedTheDistanceByATenth) {
    const auto place = [](const std::string& id, double bearingDegrees, double nm) {
        const GeoPoint p = gf_destinationPoint(52.3, 4.76, bearingDegrees * std::numbers::pi / 180.0,
                                               nm * metresPerNauticalMile / metresPerFoot);
        return gf_standSpec({id, p.latitude, p.longitude, 0.0, 0.02 * metresPerNauticalMile});
    };
    StandFileSpec spec = stockSpec();
    spec.stands = {place("A", 0, 0.0), place("B", 90, 0.036), place("C", 270, 0.037), place("D", 0, 0.030)};
    ASSERT_EQ(read(spec), "");
    // Written radii have one decimal of a metre, which moves the limit by far less than the margins here.
    EXPECT_EQ(standList[0].overlapping, (std::vector<std::uint32_t>{2, 4}));
    EXPECT_EQ(standList[1].overlapping, (std::vector<std::uint32_t>{1}));
    EXPECT_TRUE(standList[2].overlapping.empty());
    EXPECT_EQ(standList[3].overlapping, (std::vector<std::uint32_t>{1}));
}

TEST_F(ParkStandsTest, OverlapsMatchAComparisonOfEveryPair) {
    StandFileSpec spec = fixtures::gf_syntheticAirport("Grid", 52.3, 4.76, 400, 7);
    for (std::size_t i = 0; i < spec.stands.size(); i += 3)
        spec.stands[i].attributes[4].second = "70.0"; // large stands reach their neighbours
    ASSERT_EQ(read(spec), "");
    std::size_t overlapping = 0;
    for (const Stand& a : standList) {
        std::vector<std::uint32_t> expected;
        for (const Stand& b : standList)
            if (a.number != b.number &&
                a.radius + b.radius > 1.1 * gf_distanceNm(a.latitude, a.longitude, b.latitude, b.longitude))
                expected.push_back(b.number);
        EXPECT_EQ(a.overlapping, expected) << a.id;
        overlapping += expected.size();
    }
    EXPECT_GT(overlapping, 100u);
}

TEST_F(ParkStandsTest, FileWithoutUsableStandsIsReportedAndRefused) {
    StandFileSpec spec = stockSpec();
    spec.stands = {gf_standSpec({"Z1", 0.0, 0.0, 0, 20})};
    EXPECT_EQ(read(spec), "no stands found");
    EXPECT_TRUE(logHas("          num_parkpos             : 0\n"));
}

TEST_F(ParkStandsTest, LearnedFileIsAppliedAfterTheSnapshotIsTaken) {
    RANGE.setValue(40);
    StandFileSpec learned;
    learned.parameters = {{"airport_name", "Schiphol"}, {"RANGE", "10"}};
    fixtures::ParkposSpec d7;
    d7.attributes = {{"id", "D7"}};
    d7.opts = {gf_optSpec("PH-BXA", 3, "20", "KLM1", "KLM", "B738")};
    learned.stands = {d7};
    fixtures::gf_writeStandFile(learnedDir / "stock" / "EHAM.xml", learned);

    ASSERT_EQ(read(stockSpec()), "");
    EXPECT_EQ(airportParameterSnapshot.range, 40);
    EXPECT_EQ(RANGE.value(), 10);
    EXPECT_EQ(standList[0].options.size(), 1u);
    EXPECT_EQ(qualityFactors, QualityFactorPair(21, 0));
    EXPECT_FALSE(logHas("learned does not exist"));
    EXPECT_TRUE(logHas("Read from learned airport file: '" +
                       test::nativeSeparators("airports/learned/stock/EHAM.xml") + "'"));
}

TEST_F(ParkStandsTest, HandmadeLearnedFileOverrulesTheStandFile) {
    StandFileSpec handmade;
    handmade.parameters = {{"airport_name", "Schiphol"}, {"handmade", "true"}};
    handmade.stands = {gf_standSpec({"X1", 52.30, 4.75, 0, 30})};
    fixtures::gf_writeStandFile(learnedDir / "simaddon" / "EHAM.xml", handmade);
    ASSERT_EQ(read(stockSpec(), "airports/my_simaddon/EHAM.xml"), "");
    ASSERT_EQ(standList.size(), 1u);
    EXPECT_EQ(standList[0].id, "X1");
    EXPECT_EQ(standList[0].number, 1u);
    EXPECT_TRUE(statusDisplay.handmadeStandFile);
    EXPECT_EQ(info.fileName, (learnedDir / "simaddon" / "EHAM.xml").string());
    EXPECT_TRUE(logHas("A handmade airport file overruled the archived file!\n"));
    EXPECT_TRUE(logHas("Airport file read from '" +
                       test::nativeSeparators("airports/learned/simaddon/EHAM.xml") + "' for Schiphol"));
    EXPECT_EQ(statusDisplay.texts().qualityFactorText, "  ");
}

// Hand-written files: what the readers take, the first saving of the learned file writes, and the next
// reading gives back; what they cannot keep they refuse with a log line.
TEST_F(ParkStandsTest, WhatIsReadComesBackFromTheFirstSavedLearnedFile) {
    const std::string meta =
        R"(<meta><info name="author" value="me"/><info name="version" value="12.0.0"/></meta>)";
    std::filesystem::create_directories("airports/stock");
    test::writeFileText("airports/stock/EHAM.xml", "<root>" + meta + R"(<parameters>
  <parameter name="airport_name" value="Schiphol"/><parameter name="publisher" value="stock"/>
  <parameter name="altitude" value="-11"/></parameters><parkpositions>
  <parkpos id="D7" latitude="52.3132" longitude="4.7640" heading="280" radius="32"/>
  <parkpos id="A,B" latitude="52.3110" longitude="4.7560" heading="40" radius="36"/>
  <parkpos id="FAR" latitude="95" longitude="4.76" radius="30"/>
  <parkpos id="WIDE" latitude="52.31" longitude="400" radius="30"/>
  <parkpos id="NAN" latitude="52.31" longitude="4.76" radius="nan"/>
</parkpositions></root>)");
    std::filesystem::create_directories(learnedDir / "stock");
    test::writeFileText(learnedDir / "stock" / "EHAM.xml", "<root>" + meta + R"(<parameters>
  <parameter name="airport_name" value="Schiphol"/><parameter name="MAX_FIT" value="40"/></parameters>
  <parkpositions><parkpos id="D7" radius_change="true" radius="nan">
    <opt reg="PH-A" airl="KLM" type="B738" day="2" hh="1,3" cs="KLM1"/>
    <opt reg="PH-B" airl="KLM" type="B738" day="3" hh="5" cs=":KLM2"/>
    <opt reg="PH-C" airl="KLM" type="B738" day="-1" hh="5"/>
    <opt reg="PH-D" airl="KLM" type="B738" day="4" hh="48"/>
    <opt reg="PH-E" airl="KLM" type="B738" day="4" hh=" "/></parkpos>
  <parkpos id="H1" manual="true" latitude="52.305" longitude="4.78" radius="15" heli="true" cargo="true"/>
</parkpositions></root>)");
    const auto stands = [] {
        std::vector<std::string> result;
        for (const Stand& stand : standList) {
            std::string text = fmt::format("{} {:.1f} m{}{}", stand.id, stand.radius * 1852.0,
                                           stand.heli ? " heli" : "", stand.cargo ? " cargo" : "");
            for (const StandOption& o : stand.options)
                text += fmt::format(" [{} day {} slots {:#x} cs '{}' '{}']", o.registration, o.day,
                                    o.halfHours, o.callsign, o.callsign2);
            result.push_back(text);
        }
        return result;
    };
    const std::vector<std::string> expected{
        "D7 32.0 m [PH-A day 2 slots 0xa cs 'KLM1' ''] [PH-B day 3 slots 0x20 cs '' 'KLM2']",
        "H1 15.0 m heli cargo"};

    ASSERT_EQ(gf_readApf("airports/stock/EHAM.xml", info), "");
    EXPECT_EQ(stands(), expected);
    EXPECT_EQ(MAX_FIT.value(), 40);
    for (const char* refused :
         {"Parking position 'A,B' has a comma in its id, skipped",
          "Parking position 'FAR' has no usable latitude, longitude, heading or radius",
          "Parking position 'WIDE' has no usable", "Parking position 'NAN' has no usable",
          "learned radius 'nan' of stand D7 is out of range, not used",
          "learned option of stand D7 with day '-1' skipped", "gf_hours2bitset: invalid half-hour text '48'"})
        EXPECT_TRUE(logHas(refused)) << refused;

    MAX_FIT_FL.setValue(21.0f); // what the window shows for 40
    parkAirportFileInfo = info;
    lf_saveLearnedAirports();
    MAX_FIT.resetToDefault();
    gf_clearStands();
    ASSERT_EQ(gf_readApf("airports/stock/EHAM.xml", info), "");
    EXPECT_EQ(stands(), expected);
    EXPECT_EQ(MAX_FIT.value(), 40);
}

} // namespace
} // namespace kvr
