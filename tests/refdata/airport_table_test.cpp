#include "refdata/airport_table.h"

#include "core/user_error.h"
#include "refdata/airport_table_internal.h"
#include "refdata/closest_airport.h"
#include "refdata_fixtures.h"

#include <fmt/format.h>

namespace kvr {
namespace {

using test::WorkingFolder;
using test::writeEncrypted;

constexpr const char* airportsXml = R"(<?xml version="1.0" encoding="UTF-8"?>
<airports version="1">
  <airport code="LOWW" iata="VIE" name="Vienna International" lat="48.110298" lon="16.5697" alt="600" stands="88"/>
  <airport code="EHAM" iata="AMS" name="Amsterdam Airport Schiphol" lat="52.308601" lon="4.763889" alt="-11" stands="190"/>
  <airport code="KJFK" iata="JFK" name="" lat="40.639801" lon="-73.7789" alt="13"/>
  <airport code="EH" iata="" name="Short code" lat="10" lon="10"/>
  <airport code="EHAM" iata="XXX" name="Second Schiphol" lat="0" lon="0"/>
  <airport iata="NOC" lat="1" lon="1"/>
  <airport code="BAD1" lat="north" lon="1"/>
  <airport code="BAD2" lat="95" lon="1"/>
  <airport code="BAD3" lat="1" lon="1" stands="-1"/>
</airports>
)";

void expectUserError88(const std::string& expectedText) {
    try {
        lf_readAirportsFile("input/airports.enc");
        ADD_FAILURE() << "expected error 88: " << expectedText;
    } catch (const UserErrorException& e) {
        EXPECT_EQ(e.code(), 88);
        EXPECT_EQ(e.text().substr(0, expectedText.size()), expectedText) << e.text();
    }
}

class AirportTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeEncrypted(work / "input" / "airports.enc", airportsXml);
        lf_readAirportsFile("input/airports.enc");
    }
    WorkingFolder work;
};

TEST_F(AirportTableTest, TableIsSortedDeduplicatedAndSkipsBadEntries) {
    std::vector<std::string> codes;
    for (const Airport& airport : airportTable)
        codes.push_back(airport.code);
    EXPECT_EQ(codes, (std::vector<std::string>{"EH", "EHAM", "KJFK", "LOWW"}));
    EXPECT_EQ(airportCodeSet.size(), 4u);
    EXPECT_EQ(gf_findAirport("EHAM")->iata, "AMS") << "the first of a repeated code stays";
    EXPECT_EQ(gf_findAirport("EHAM")->stands, 190);
    EXPECT_DOUBLE_EQ(gf_findAirport("EHAM")->altitude, -11.0);
    EXPECT_EQ(gf_findAirport("KJFK")->stands, 0) << "no stands attribute: none";
    EXPECT_FALSE(gf_findAirport("eham")) << "case-sensitive";
    EXPECT_FALSE(gf_findAirport("BAD1"));
    EXPECT_FALSE(gf_findAirport(""));
    EXPECT_TRUE(gf_isKnownAirport("LOWW"));
    EXPECT_FALSE(gf_isKnownAirport("loww"));
    EXPECT_FALSE(gf_isKnownAirport("BAD3"));

    const std::string log = work.log();
    EXPECT_NE(log.find("4 airports read from input/airports.enc"), std::string::npos) << log;
    EXPECT_NE(log.find("==> gf_readAirports: airport BAD2 has no valid position"), std::string::npos);
    EXPECT_NE(log.find("airport EHAM appears more than once"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(work / "input" / "airports.xml"));
}

TEST_F(AirportTableTest, DisplayText) {
    EXPECT_EQ(gf_airportDisplayText(*gf_findAirport("EHAM")), "EHAM (Amsterdam Airport Schiphol)");
    EXPECT_EQ(gf_airportDisplayText(*gf_findAirport("KJFK")), "KJFK");
    EXPECT_EQ(gf_airportDisplayText(Airport{}), "?");
    EXPECT_EQ(gf_airportDisplayText(Airport{"", "", "Nameless", 0, 0, 0, 0}), "? (Nameless)");
}

TEST_F(AirportTableTest, CodeFromNameTakesTheFirstPrefixOfTheFirstFourCharacters) {
    EXPECT_EQ(gf_airportCodeFromName("eham Schiphol"), "EH") << "EH sorts before EHAM and is a prefix";
    EXPECT_EQ(gf_airportCodeFromName("kjfk New York"), "KJFK");
    EXPECT_EQ(gf_airportCodeFromName("LOWWX Vienna"), "LOWW");
    EXPECT_EQ(gf_airportCodeFromName("LOW"), "") << "LOWW is no prefix of LOW";
    EXPECT_EQ(gf_airportCodeFromName("xLOWW"), "");
    EXPECT_EQ(gf_airportCodeFromName(""), "");
}

TEST_F(AirportTableTest, CodeInPathNeedsDashesOnBothSidesAndIgnoresCase) {
    EXPECT_EQ(gf_airportCodeInPath("Community/flytampa-eham-amsterdam/scenery/a.bgl"), "EHAM");
    EXPECT_EQ(gf_airportCodeInPath("Community/x-kjfk-y-LoWw-z/a.bgl"), "KJFK") << "first in table order";
    EXPECT_EQ(gf_airportCodeInPath("Community/a-loww-kjfk-b"), "KJFK") << "neighbours share a dash";
    EXPECT_EQ(gf_airportCodeInPath("Community/eham/scenery"), "");
    EXPECT_EQ(gf_airportCodeInPath("Community/x-ehamx-y"), "");
    EXPECT_EQ(gf_airportCodeInPath("pkg-eh-"), "EH");
    EXPECT_EQ(gf_airportCodeInPath("pkg-eham"), "");
}

TEST_F(AirportTableTest, FailuresAreUserError88NamingFileAndCause) {
    std::filesystem::remove(work / "input" / "airports.enc");
    expectUserError88("input/airports.enc not available");

    writeEncrypted(work / "input" / "airports.enc", airportsXml, test::otherKey());
    expectUserError88("input/airports.enc stream decrypt failed: chunk 1 does not authenticate");

    const std::string valid = test::readFileText(work / "input" / "airports.enc");
    test::writeFileText(work / "input" / "airports.enc", valid.substr(0, valid.size() - 5));
    expectUserError88("input/airports.enc stream decrypt failed: chunk 1 does not authenticate");

    writeEncrypted(work / "input" / "airports.enc", "<airports><airport code=\"X\"></airports>");
    expectUserError88("input/airports.enc does not parse: ");

    writeEncrypted(work / "input" / "airports.enc", "<dbase/>");
    expectUserError88("input/airports.enc has no <airports> element");

    EXPECT_FALSE(std::filesystem::exists(work / "input" / "airports.xml"));
    EXPECT_TRUE(gf_findAirport("LOWW")) << "the table keeps what it held";
}

// The malformed documents fail as a whole and leave the fixture's table; the well-formed ones read, giving
// airport XA the name shown (as UTF-8).
TEST_F(AirportTableTest, OnlyWellFormedXmlReadsAndAsXmlDefinesIt) {
    const auto document = [](std::string_view prolog, std::string_view name, std::string_view after = "") {
        return fmt::format(R"({}<airports><airport code="XA" lat="1" lon="2" name="{}"/></airports>{})",
                           prolog, name, after);
    };
    const std::pair<std::string, const char*> malformed[] = {
        {document("", "&bogus;"), "undefined entity"},
        {document("", "AT&T"), "bare ampersand"},
        {document("", std::string_view("A\0B", 3)), "NUL byte"},
        {document("", "\xC3("), "UTF-8 lead byte without its continuation"},
        {R"(<airports><airport code="XA" code="XB" lat="1" lon="2"/></airports>)", "duplicate attribute"},
        {document("", "x", "text"), "text after the document element"},
        {document("text", "x"), "text before the document element"},
    };
    for (const auto& [xml, fault] : malformed) {
        SCOPED_TRACE(fault);
        writeEncrypted(work / "input" / "airports.enc", xml);
        expectUserError88("input/airports.enc does not parse: ");
        EXPECT_TRUE(gf_findAirport("LOWW"));
    }

    const std::pair<std::string, std::string> wellFormed[] = {
        {document(R"(<!DOCTYPE airports [<!ENTITY x "a]b"><!ATTLIST airport name CDATA #IMPLIED>]>)", "&x;"),
         "a]b"},
        {document(R"(<?xml version="1.0" encoding="ISO-8859-1"?>)", "Caf\xE9"), "Caf\xC3\xA9"},
        {document("\xEF\xBB\xBF", "AT&amp;T&#233;\tx"), "AT&T\xC3\xA9 x"},
    };
    for (const auto& [xml, name] : wellFormed) {
        SCOPED_TRACE(xml);
        writeEncrypted(work / "input" / "airports.enc", xml);
        ASSERT_TRUE(lf_readAirportsFile("input/airports.enc"));
        ASSERT_TRUE(gf_findAirport("XA"));
        EXPECT_EQ(gf_findAirport("XA")->name, name);
    }
}

TEST(AirportTableOnceTest, ReadAirportsReadsOncePerProcessAndAnswersWhetherAnyWereRead) {
    WorkingFolder work;
    airportTable.clear();
    writeEncrypted(work / "input" / "airports.enc", "<airports/>");
    EXPECT_FALSE(gf_readAirports()) << "an empty table";
    writeEncrypted(work / "input" / "airports.enc", airportsXml);
    EXPECT_FALSE(gf_readAirports()) << "not read again";
    EXPECT_TRUE(airportTable.empty());
}

// Two airports 3.7 nm apart on the same parallel; the user between them, nearer to WEST.
class ClosestAirportTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeEncrypted(work / "input" / "airports.enc", R"(<airports>
            <airport code="WEST" lat="52.0" lon="4.0"/>
            <airport code="EAST" lat="52.0" lon="4.1"/>
            <airport code="TWNB" lat="10.0" lon="10.0"/>
            <airport code="TWNA" lat="10.0" lon="10.0"/>
            <airport code="FAR" lat="53.0" lon="4.0"/>
        </airports>)");
        lf_readAirportsFile("input/airports.enc");
    }
    void TearDown() override { gf_installClosestStandLookup(nullptr); }

    void installStands(std::map<std::string, double> stands) {
        gf_installClosestStandLookup(
            [this, stands](const std::string& code, double lat, double lon, std::string& id) {
                asked.push_back(fmt::format("{} {:.2f} {:.2f}", code, lat, lon));
                id = code + "-1";
                const auto it = stands.find(code);
                return it == stands.end() ? 100.0 : it->second;
            });
    }
    WorkingFolder work;
    std::vector<std::string> asked;
};

TEST_F(ClosestAirportTest, NearestWithinReachWithoutStands) {
    EXPECT_EQ(gf_closestAirport(52.0, 4.03), "WEST");
    EXPECT_EQ(gf_closestAirport(52.0, 4.07), "EAST");
    // 5 nm of latitude is 0.0833 degrees.
    EXPECT_EQ(gf_closestAirport(53.0 - 0.083, 4.0), "FAR");
    EXPECT_FALSE(gf_closestAirport(53.0 - 0.0845, 4.0));
    EXPECT_FALSE(gf_closestAirport(0.0, 0.0));
    EXPECT_EQ(gf_closestAirport(10.0, 10.0), "TWNA") << "equal distances: first in table order";
}

TEST_F(ClosestAirportTest, NearestStandDecidesBetweenSeveralAirports) {
    installStands({{"EAST", 0.05}});
    EXPECT_EQ(gf_closestAirport(52.0, 4.03), "EAST") << "only EAST has a stand file";
    EXPECT_EQ(asked, (std::vector<std::string>{"EAST 52.00 4.03", "WEST 52.00 4.03"}));

    installStands({{"WEST", 0.3}, {"EAST", 0.2}});
    EXPECT_EQ(gf_closestAirport(52.0, 4.03), "EAST");
    installStands({{"WEST", 0.2}, {"EAST", 0.2}});
    EXPECT_EQ(gf_closestAirport(52.0, 4.07), "EAST") << "equal stand distances: nearest reference point";
    EXPECT_EQ(gf_closestAirport(52.0, 4.03), "WEST");

    asked.clear();
    EXPECT_EQ(gf_closestAirport(53.0, 4.0), "FAR");
    EXPECT_TRUE(asked.empty()) << "a single airport in reach needs no stand file";

    gf_installClosestStandLookup(nullptr);
    EXPECT_EQ(gf_closestAirport(52.0, 4.07), "EAST");
}

} // namespace
} // namespace kvr
