#include "core/user_error.h"
#include "parking/stand_file_internal.h"
#include "parking_test_support.h"
#include "settings/parameter_table.h"
#include "tools/stand_fixtures/stand_fixtures.h"

#include <pugixml.hpp>

#include <cmath>

namespace kvr {
namespace {

using fixtures::gf_optSpec;
using fixtures::gf_standSpec;
using fixtures::StandFileSpec;
using fixtures::StandPlace;

class StandFileTest : public test::ParkingTest {
protected:
    void readSpec(const StandFileSpec& spec) {
        const std::string text = fixtures::gf_standFileXml(spec);
        ASSERT_TRUE(doc.load_string(text.c_str()));
        lf_readParkpositions(doc);
    }

    int userErrorOf(const StandFileSpec& spec, std::string& message) {
        try {
            readSpec(spec);
        } catch (const UserErrorException& e) {
            message = e.what();
            return e.code();
        }
        return 0;
    }

    pugi::xml_document writeAndLoad(const ApfRecord& record, ApfWriteMode mode) {
        const auto path = folder / "out" / "deep" / "TEST.xml";
        EXPECT_TRUE(gf_writeApf(record, path, mode, 1));
        pugi::xml_document written;
        EXPECT_TRUE(written.load_file(path.c_str()));
        return written;
    }

    static StandOption option(const std::string& registration, std::uint64_t halfHours,
                              std::uint32_t id = 1) {
        StandOption o;
        o.airline = "KLM";
        o.type = "B738";
        o.registration = registration;
        o.callsign = "KLM1";
        o.halfHours = halfHours;
        o.aircraftId = id;
        o.day = 3;
        o.real = 1;
        return o;
    }

    static Stand stand(const std::string& id, std::vector<StandOption> options = {}) {
        return Stand(id, std::move(options), StandPlacement{52.308601, 4.763899, 1.5}, 30.0, false, true,
                     false);
    }

    pugi::xml_document doc;
};

TEST_F(StandFileTest, StandIdsMustBePresentNonBlankAndUniqueAfterTrimming) {
    std::string message;
    StandFileSpec missing;
    missing.stands = {gf_standSpec({"D7", 52.3, 4.7, 90, 30}), gf_standSpec({"", 52.3, 4.8, 90, 30})};
    missing.stands[1].attributes.erase(missing.stands[1].attributes.begin());
    EXPECT_EQ(userErrorOf(missing, message), 93);
    EXPECT_EQ(message, "93: Parking position #2 has no 'id' attribute.");

    gf_clearStands();
    StandFileSpec blank;
    blank.stands = {gf_standSpec({" \t\r\n", 52.3, 4.7, 90, 30})};
    EXPECT_EQ(userErrorOf(blank, message), 93);
    EXPECT_EQ(message, "93: Parking position #1 has empty 'id' attribute.");

    gf_clearStands();
    StandFileSpec repeated;
    repeated.stands = {gf_standSpec({"E18", 52.3, 4.7, 90, 30}), gf_standSpec({" E18\t", 52.4, 4.7, 90, 30})};
    EXPECT_EQ(userErrorOf(repeated, message), 94);
    EXPECT_EQ(message, "94: Parking position 'E18' appears more than once.");

    gf_clearStands();
    StandFileSpec caseDiffers;
    caseDiffers.stands = {gf_standSpec({"f4", 52.3, 4.7, 90, 30}), gf_standSpec({"F4", 52.4, 4.7, 90, 30})};
    EXPECT_EQ(userErrorOf(caseDiffers, message), 0);
    EXPECT_EQ(standList.size(), 2u);
}

TEST_F(StandFileTest, StandsAtZeroZeroAreDroppedButTheirIdsStillCount) {
    StandFileSpec spec;
    spec.stands = {gf_standSpec({"H2", 0.0, 0.0, 90, 30}), gf_standSpec({"H3", 52.3, 4.7, 90, 30})};
    readSpec(spec);
    ASSERT_EQ(standList.size(), 1u);
    EXPECT_EQ(standList[0].id, "H3");

    gf_clearStands();
    spec.stands.push_back(gf_standSpec({"H2", 52.31, 4.71, 90, 30}));
    std::string message;
    EXPECT_EQ(userErrorOf(spec, message), 94);
}

TEST_F(StandFileTest, ParkpositionsWithoutRootReadLikeWithRootAndNoParkpositionsGivesNoStands) {
    StandFileSpec spec;
    spec.stands = {gf_standSpec({"D7", 52.3, 4.7, 90, 30})};
    readSpec(spec);
    spec.withRoot = false;
    readSpec(spec);
    ASSERT_EQ(standList.size(), 2u);
    EXPECT_EQ(standList[1].id, "D7");
    EXPECT_DOUBLE_EQ(standList[1].latitude, standList[0].latitude);

    gf_clearStands();
    ASSERT_TRUE(doc.load_string("<root><parameters/></root>"));
    EXPECT_NO_THROW(lf_readParkpositions(doc));
    EXPECT_TRUE(standList.empty());
}

TEST_F(StandFileTest, StandAttributesAreConvertedAndDefaulted) {
    StandFileSpec spec;
    spec.stands = {gf_standSpec({" D7 ", 52.3, 4.7, 180.0, 1852.0, true, true, false})};
    spec.stands.push_back({{{"id", "S1"}, {"latitude", "52.1"}, {"longitude", "4.1"}, {"heli", "1"}}, {}});
    readSpec(spec);
    ASSERT_EQ(standList.size(), 2u);
    const Stand& d7 = standList[0];
    EXPECT_EQ(d7.id, "D7");
    EXPECT_NEAR(d7.heading, M_PI, 1e-12);
    EXPECT_NEAR(d7.radius, 1.0, 1e-12);
    EXPECT_TRUE(d7.cargo);
    EXPECT_TRUE(d7.ramp);
    EXPECT_FALSE(d7.heli);
    EXPECT_EQ(d7.number, 0u);
    EXPECT_FALSE(d7.manual || d7.radiusChange || d7.cargoChange || d7.chosen || d7.blocked || d7.occupied ||
                 d7.reservedForUser);
    const Stand& s1 = standList[1];
    EXPECT_TRUE(s1.heli);
    EXPECT_FALSE(s1.cargo || s1.ramp);
    EXPECT_EQ(s1.radius, 0.0);
    EXPECT_EQ(s1.heading, 0.0);
}

TEST_F(StandFileTest, OptionsWithBadDaysOrNoHoursAreDroppedAndTheRestNumberedInOrder) {
    StandFileSpec spec;
    auto s = gf_standSpec({"E18", 52.3, 4.7, 90, 30});
    s.opts = {gf_optSpec("PH-AAA", 0, "3"),
              gf_optSpec("PH-BBB", 3, "10:12", "KLM1:KLM2:X", "KLM", "B738"),
              gf_optSpec("PH-CCC", 8, "3"),
              gf_optSpec("PH-DDD", 7, ""),
              gf_optSpec("PH-EEE", 1, "47", "", "TRA", "B737", true),
              gf_optSpec("PH-FFF", -1, "5")};
    s.opts[4].emplace_back("cpl", "1");
    spec.stands = {s};
    readSpec(spec);
    ASSERT_EQ(standList.size(), 1u);
    const auto& options = standList[0].options;
    ASSERT_EQ(options.size(), 2u);
    EXPECT_EQ(options[0].registration, "PH-BBB");
    EXPECT_EQ(options[0].aircraftId, 1u);
    EXPECT_EQ(options[0].callsign, "KLM1");
    EXPECT_EQ(options[0].callsign2, "KLM2:X");
    EXPECT_EQ(options[0].airline, "KLM");
    EXPECT_EQ(options[0].type, "B738");
    EXPECT_EQ(options[0].halfHours, 0b111ull << 10);
    EXPECT_EQ(options[0].day, 3u);
    EXPECT_EQ(options[0].fromStandFile, 1u);
    EXPECT_EQ(options[0].real, 1u);
    EXPECT_FALSE(options[0].coupled);
    EXPECT_EQ(options[1].registration, "PH-EEE");
    EXPECT_EQ(options[1].aircraftId, 2u);
    EXPECT_EQ(options[1].real, 0u);
    EXPECT_TRUE(options[1].coupled);
    EXPECT_TRUE(options[1].callsign.empty());
    EXPECT_EQ(options[1].halfHours, 1ull << 47);
}

TEST_F(StandFileTest, FullModeWritesEveryPositionAndNoOptions) {
    ApfRecord record;
    record.airportName = "Schiphol";
    record.publisher = "stock";
    record.altitude = -11;
    record.stands.push_back(stand("D7", {option("PH-BXA", 0b1000)}));
    record.stands.back().heading = 359.96 * standDegreesToRadians;
    record.stands.push_back(Stand("H1", {}, StandPlacement{52.3, 4.76, 0.0}, 0.0, true, false, true));
    const auto written = writeAndLoad(record, ApfWriteMode::full);

    const auto d7 = written.child("root").child("parkpositions").child("parkpos");
    EXPECT_STREQ(d7.attribute("heading").value(), "360.0");
    EXPECT_STREQ(d7.attribute("latitude").value(), "52.308601");
    EXPECT_STREQ(d7.attribute("radius").value(), "30.0");
    EXPECT_STREQ(d7.attribute("cargo").value(), "false");
    EXPECT_STREQ(d7.attribute("ramp").value(), "true");
    EXPECT_FALSE(d7.child("opt"));
    const auto h1 = d7.next_sibling("parkpos");
    EXPECT_STREQ(h1.attribute("radius").value(), "0.0");
    EXPECT_STREQ(h1.attribute("heli").value(), "true");
    EXPECT_STREQ(h1.attribute("cargo").value(), "true");
    EXPECT_FALSE(h1.attribute("manual"));

    std::vector<std::string> names;
    for (auto p : written.child("root").child("parameters").children("parameter"))
        names.push_back(p.attribute("name").value() + std::string("=") + p.attribute("value").value());
    EXPECT_EQ(names, (std::vector<std::string>{"airport_name=Schiphol", "publisher=stock", "altitude=-11",
                                               "num_parkpos=2"}));
    EXPECT_TRUE(written.child("root").child("meta"));
}

TEST_F(StandFileTest, LearnedModeWritesOnlyWhatTheStandFileCannotSupply) {
    MAX_FIT.setValue(23);
    MAX_FIT_FL.setValue(12.0f);
    RANGE.setValue(25);
    WEEK.setValue(true);
    ApfRecord record;
    record.airportName = "Schiphol";
    record.bglPath = "C:\\x.bgl";
    record.stands.push_back(stand("plain", {option("PH-BXA", 0b111000)}));
    record.stands.push_back(stand("radius"));
    record.stands.back().radiusChange = true;
    record.stands.back().radius = 0.02;
    record.stands.push_back(stand("cargo"));
    record.stands.back().cargoChange = true;
    record.stands.back().cargo = true;
    record.stands.push_back(stand("manual"));
    record.stands.back().manual = true;
    record.stands.back().radiusChange = true;
    const auto written = writeAndLoad(record, ApfWriteMode::learned);

    auto parkpos = written.child("root").child("parkpositions").child("parkpos");
    EXPECT_EQ(std::distance(parkpos.attributes_begin(), parkpos.attributes_end()), 1);
    EXPECT_STREQ(parkpos.child("opt").attribute("hh").value(), "3:5");
    parkpos = parkpos.next_sibling();
    EXPECT_STREQ(parkpos.attribute("radius_change").value(), "true");
    EXPECT_STREQ(parkpos.attribute("radius").value(), "37.0");
    EXPECT_FALSE(parkpos.attribute("latitude") || parkpos.attribute("cargo"));
    parkpos = parkpos.next_sibling();
    EXPECT_STREQ(parkpos.attribute("cargo_change").value(), "true");
    EXPECT_STREQ(parkpos.attribute("cargo").value(), "true");
    EXPECT_FALSE(parkpos.attribute("radius"));
    parkpos = parkpos.next_sibling();
    EXPECT_STREQ(parkpos.attribute("manual").value(), "true");
    EXPECT_TRUE(parkpos.attribute("latitude"));
    EXPECT_FALSE(parkpos.attribute("radius_change"));

    std::vector<std::string> names;
    for (auto p : written.child("root").child("parameters").children("parameter"))
        names.push_back(p.attribute("name").value() + std::string("=") + p.attribute("value").value());
    EXPECT_EQ(names, (std::vector<std::string>{"airport_name=Schiphol", "publisher=", "BGLpath=C:\\x.bgl",
                                               "manufacturer=", "creator=", "RANGE=25", "AUTO_RANGE=true",
                                               "WEEK=true", "PARK_SOFT=false", "parking_percentage=30",
                                               "INITIAL_LOAD_ONLY=false", "MAX_FIT=23",
                                               "RT_PARKTRAFFIC_ONLY=false", "MAX_LIVE_SEL=500"}));
}

TEST_F(StandFileTest, OptionsAreWrittenWithTheirSlotRunCallsignsAndFlags) {
    std::vector<StandOption> options{option("PH-ONE", 1ull << 7),
                                     option("PH-SPLIT", (1ull << 3) | (1ull << 5)), option("PH-UNUSED", 1, 0),
                                     option("PH-TWO", 1), option("PH-THREE", 1)};
    options[0].callsign2 = "KLM99";
    options[3].callsign.clear();
    options[3].callsign2 = "ORPHAN";
    options[4].real = 0;
    options[4].coupled = true;
    ApfRecord record;
    record.stands.push_back(stand("D7", options));
    const auto written = writeAndLoad(record, ApfWriteMode::learned);

    std::vector<pugi::xml_node> opts;
    for (auto opt : written.child("root").child("parkpositions").child("parkpos").children("opt"))
        opts.push_back(opt);
    ASSERT_EQ(opts.size(), 4u);
    EXPECT_STREQ(opts[0].attribute("hh").value(), "7");
    EXPECT_STREQ(opts[0].attribute("cs").value(), "KLM1:KLM99");
    EXPECT_STREQ(opts[0].attribute("airl").value(), "KLM");
    EXPECT_STREQ(opts[0].attribute("day").value(), "3");
    EXPECT_FALSE(opts[0].attribute("soft") || opts[0].attribute("cpl"));
    EXPECT_STREQ(opts[1].attribute("hh").value(), "3,5");
    EXPECT_STREQ(opts[2].attribute("reg").value(), "PH-TWO");
    EXPECT_STREQ(opts[2].attribute("cs").value(), ":ORPHAN");
    EXPECT_STREQ(opts[3].attribute("soft").value(), "true");
    EXPECT_STREQ(opts[3].attribute("cpl").value(), "true");
}

TEST_F(StandFileTest, HandmadeFilesCarryTheirPositionsAltitudeAndQualityFactors) {
    handmadeApf = true;
    ApfRecord record;
    record.publisher = "me";
    record.altitude = 12;
    record.qfReal = 70;
    record.qfSoft = 3;
    record.stands.push_back(stand("D7"));
    record.stands.back().radiusChange = true;
    const auto written = writeAndLoad(record, ApfWriteMode::learned);
    const auto parkpos = written.child("root").child("parkpositions").child("parkpos");
    EXPECT_TRUE(parkpos.attribute("latitude"));
    EXPECT_TRUE(parkpos.attribute("longitude"));
    std::vector<std::string> names;
    for (auto p : written.child("root").child("parameters").children("parameter"))
        names.push_back(p.attribute("name").value());
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 6),
              (std::vector<std::string>{"airport_name", "publisher", "handmade", "altitude", "Qf_real",
                                        "Qf_soft"}));
}

TEST_F(StandFileTest, WriteReadRoundTripKeepsEveryAttribute) {
    handmadeApf = true;
    ApfRecord record;
    record.stands.push_back(Stand("D7", {option("PH-BXA", 0b1110), option("PH-BXB", 1ull << 47, 2)},
                                  StandPlacement{52.308601, 4.763899, 1.2345}, 36.5, true, false, false));
    record.stands.back().options[1].callsign2 = "KLM2";
    record.stands.back().options[1].real = 0;
    record.stands.back().options[1].coupled = true;
    record.stands.back().options[1].day = 7;
    record.stands.push_back(Stand("H1", {}, StandPlacement{-33.9, 151.2, 6.2}, 12.0, false, false, true));
    record.stands.push_back(Stand("R9", {}, StandPlacement{1.5, -0.5, 0.0}, 50.0, false, true, false));
    record.stands.back().manual = true;
    const auto path = folder / "airports" / "learned" / "RT.xml";
    ASSERT_TRUE(gf_writeApf(record, path, ApfWriteMode::learned, 2));
    ASSERT_TRUE(doc.load_file(path.c_str()));
    lf_readParkpositions(doc);

    ASSERT_EQ(standList.size(), record.stands.size());
    for (std::size_t i = 0; i < standList.size(); ++i) {
        const Stand& in = record.stands[i];
        const Stand& out = standList[i];
        EXPECT_EQ(out.id, in.id);
        EXPECT_NEAR(out.latitude, in.latitude, 5e-7);
        EXPECT_NEAR(out.longitude, in.longitude, 5e-7);
        EXPECT_NEAR(out.heading, in.heading, 0.05 * standDegreesToRadians + 1e-12);
        EXPECT_NEAR(out.radius * standNmToMetres, in.radius * standNmToMetres, 0.05 + 1e-9);
        EXPECT_EQ(out.cargo, in.cargo);
        EXPECT_EQ(out.ramp, in.ramp);
        EXPECT_EQ(out.heli, in.heli);
        ASSERT_EQ(out.options.size(), in.options.size());
        for (std::size_t k = 0; k < in.options.size(); ++k) {
            const StandOption& a = in.options[k];
            const StandOption& b = out.options[k];
            EXPECT_EQ(b.airline, a.airline);
            EXPECT_EQ(b.type, a.type);
            EXPECT_EQ(b.registration, a.registration);
            EXPECT_EQ(b.callsign, a.callsign);
            EXPECT_EQ(b.callsign2, a.callsign2);
            EXPECT_EQ(b.halfHours, a.halfHours);
            EXPECT_EQ(b.aircraftId, a.aircraftId);
            EXPECT_EQ(b.day, a.day);
            EXPECT_EQ(b.real, a.real);
            EXPECT_EQ(b.coupled, a.coupled);
        }
    }
    pugi::xml_document raw;
    ASSERT_TRUE(raw.load_file(path.c_str()));
    EXPECT_STREQ(raw.child("root").child("parkpositions").last_child().attribute("manual").value(), "true");
}

TEST_F(StandFileTest, SavingReplacesTheFileWholeAndFailsCleanly) {
    const auto path = folder / "airports" / "learned" / "stock" / "EHAM.xml";
    ApfRecord record;
    record.stands.push_back(stand("D7"));
    ASSERT_TRUE(gf_writeApf(record, path, ApfWriteMode::full, 1));
    record.stands.push_back(stand("D8"));
    ASSERT_TRUE(gf_writeApf(record, path, ApfWriteMode::full, 1));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path.parent_path()))
        ++entries;
    EXPECT_EQ(entries, 1u);
    ASSERT_TRUE(doc.load_file(path.c_str()));
    lf_readParkpositions(doc);
    EXPECT_EQ(standList.size(), 2u);

    test::writeFileText(folder / "blocker", "a file where a folder should be");
    EXPECT_FALSE(gf_writeApf(record, folder / "blocker" / "EHAM.xml", ApfWriteMode::full, 1));
}

} // namespace
} // namespace kvr
