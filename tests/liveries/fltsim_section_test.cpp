#include "liveries/fltsim_section_internal.h"
#include "livery_scan_test_support.h"

#include <gtest/gtest.h>

namespace kvr {
namespace {

namespace fs = std::filesystem;

class FltsimSectionTest : public test::LiveryScanTest {
protected:
    void SetUp() override {
        LiveryScanTest::SetUp();
        cfgFolder = folder / "pkg" / "AIG_B738";
        ivaoFolder = folder / "IVAO_MTL" / "SimObjects" / "Airplanes" / "IVAO_B738WLfa";
        fs::create_directories(cfgFolder);
        fs::create_directories(ivaoFolder / "texture.KLM");
    }

    std::optional<SectionLivery> ordinary(std::vector<std::string> lines, const std::string& model = "B738") {
        lines.insert(lines.begin(), "[fltsim.0]");
        return lf_procesFltSimSection(3, lines, model, cfgFolder / "aircraft.cfg", cfgFolder);
    }
    std::optional<SectionLivery> ivao(std::vector<std::string> lines, const fs::path& modelFolder) {
        lines.insert(lines.begin(), "[fltsim.1]");
        return lf_procesIvaoFltSimSection(4, lines, "B738", modelFolder / "aircraft.cfg", modelFolder);
    }
    std::vector<std::string> incomplete() { return incompleteSectionsList.lines(); }
    std::string missingAirlineLine() {
        return (cfgFolder / "aircraft.cfg").string() +
               " [fltsim.0] icao_airline is missing, or it has invalid info ";
    }

    fs::path cfgFolder;
    fs::path ivaoFolder;
};

TEST_F(FltsimSectionTest, CompleteSectionYieldsItsLivery) {
    const auto section =
        ordinary({"title = \"  KLM Boeing 737  \"", "icao_airline = klm", "atc_id = PH-BXA ; first",
                  "atc_parking_types = GATE, RAMP", "", "// trailing comment"});
    ASSERT_TRUE(section);
    const LiveryData& livery = section->livery;
    EXPECT_EQ(livery.title, "KLM Boeing 737");
    EXPECT_EQ(livery.airl, "KLM");
    EXPECT_EQ(livery.type, "B738");
    EXPECT_EQ(livery.atcid, "PH-BXA");
    EXPECT_EQ(livery.folderNumber, 3u);
    EXPECT_FALSE(livery.cargo);
    EXPECT_EQ(section->titleTakenLine,
              cfgFolder.string() + " [fltsim.0] title 'KLM Boeing 737' already exists");
    EXPECT_TRUE(incomplete().empty());
}

TEST_F(FltsimSectionTest, AirlineCodesAreCutCheckedAndReported) {
    EXPECT_EQ(ordinary({"title=a", "icao_airline=BAWX"})->livery.airl, "BAW");
    EXPECT_EQ(ordinary({"title=b", "icao_airline=ABCC"})->livery.airl, "ABC");
    EXPECT_EQ(ordinary({"title=c", "icao_airline = ZZZZ", "atc_id=PH-BXA"})->livery.atcid, "")
        << "ZZZ drops the code";

    // An unknown code is reported and dropped; without a registration a large model becomes private.
    const auto unknown = ordinary({"title=d", "icao_airline=ABCD"});
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->livery.airl, "PVT");
    EXPECT_EQ(
        invalidAirlineCodesList.lines(),
        std::vector<std::string>{"ABCD         in " + (cfgFolder / "aircraft.cfg").string() + " [fltsim.0]"});
    EXPECT_EQ(incomplete(), std::vector<std::string>{missingAirlineLine()});
}

TEST_F(FltsimSectionTest, RfoEndsTheSectionWithoutReports) {
    EXPECT_FALSE(ordinary({"title=a", "icao_airline=RFO", "atc_id=PH-BXA"}));
    EXPECT_TRUE(incomplete().empty());
    EXPECT_TRUE(invalidAirlineCodesList.empty());
}

TEST_F(FltsimSectionTest, RegistrationCodes) {
    std::string code = "x";
    EXPECT_TRUE(lf_parseAtcId(" D-ABCD ", code));
    EXPECT_EQ(code, "D-ABCD");
    EXPECT_TRUE(lf_parseAtcId("D-ABCD, D-ABCE", code));
    EXPECT_EQ(code, "") << "several pieces are valid but name no single aircraft";
    EXPECT_TRUE(lf_parseAtcId("ABCDEFGHIJKL", code)) << "12 characters";
    EXPECT_FALSE(lf_parseAtcId("ABCDEFGHIJKLM", code));
    EXPECT_FALSE(lf_parseAtcId("D-ABC*", code));
    EXPECT_FALSE(lf_parseAtcId("D-ABCD,,D-ABCE", code));
    EXPECT_FALSE(lf_parseAtcId("", code));

    EXPECT_EQ(ordinary({"title=a", "icao_airline=KLM", "atc_id=D-ABCD;old"})->livery.atcid, "D-ABCD");
    EXPECT_EQ(ordinary({"title=b", "icao_airline=KLM", "atc_id=D-ABCD, D-ABCE"})->livery.atcid, "");
    EXPECT_EQ(ordinary({"title=c", "icao_airline=KLM", "atc_id=D-AB*"})->livery.atcid, "");
    EXPECT_TRUE(test::LiveryScanTest::contains(incomplete(), "invalid atc_id=D-AB* in: c"));

    const auto fromIvao = ivao({"title=B738W KLM x", "atc_id=D-ABCD;old", "texture=KLM"}, ivaoFolder);
    ASSERT_TRUE(fromIvao);
    EXPECT_EQ(fromIvao->livery.atcid, "D-ABCD;old") << "no comment cut in IVAO sections";
}

TEST_F(FltsimSectionTest, StubTitlesBecomeGenericLiveries) {
    const auto stub = ordinary({"title=Boeing 737-STUB", "icao_airline=BAW", "atc_id=G-EUUA"});
    ASSERT_TRUE(stub);
    EXPECT_EQ(stub->livery.airl, "ZZZ");
    EXPECT_EQ(stub->livery.atcid, "");
}

TEST_F(FltsimSectionTest, SectionsWithoutAirline) {
    // The registration's record names the airline; the missing-airline line is written all the same.
    EXPECT_EQ(ordinary({"title=a", "atc_id=GEUUA"})->livery.airl, "BAW") << "written without its dash";
    EXPECT_EQ(incomplete(), std::vector<std::string>{missingAirlineLine()});
    incompleteSectionsList.clear();

    EXPECT_EQ(ordinary({"title=b", "atc_id=PH-XYZ"})->livery.airl, "PVT");
    EXPECT_FALSE(ordinary({"title=c", "atc_id=PH-XYZ"}, "B744"));
    EXPECT_TRUE(contains(incomplete(), "'" + cfgFolder.string() +
                                           "' '[fltsim.0]' has no airline and regcode not in dbase"));

    EXPECT_FALSE(ordinary({"title=d"}, "B744"));
    EXPECT_TRUE(contains(incomplete(),
                         "'" + cfgFolder.string() + "' '[fltsim.0]' has no airline and no regcode info"));

    const auto light = ordinary({"title=Cessna PH1 N123"}, "C172");
    ASSERT_TRUE(light);
    EXPECT_EQ(light->livery.airl, "PVT");
    EXPECT_EQ(light->livery.atcid, "N123") << "the first short registration of the data base in the title";
}

TEST_F(FltsimSectionTest, CargoNeedsCargoParkingWithoutGates) {
    EXPECT_FALSE(
        ordinary({"title=a", "icao_airline=MPH", "atc_parking_types=GATE_HEAVY, CARGO"})->livery.cargo);
    EXPECT_TRUE(ordinary({"title=b", "icao_airline=MPH", "atc_parking_types=ramp_cargo"})->livery.cargo);
    EXPECT_FALSE(
        ivao({"title=B738W KLM c", "texture=KLM", "atc_parking_types=CARGO"}, ivaoFolder)->livery.cargo)
        << "IVAO liveries are never cargo";
}

TEST_F(FltsimSectionTest, RepeatedKeysRejectTheSection) {
    const std::string where = cfgFolder.string() + " [fltsim.0]";
    EXPECT_FALSE(ordinary({"title=a", "icao_airline=KLM", "title=a"})) << "also when both are equal";
    EXPECT_FALSE(ordinary({"title=b", "icao_airline=KLM", "// icao_airline=BAW", "atc_id=PH-BXA"}));
    EXPECT_TRUE(ordinary({"title=b2", "icao_airline=KLM", "// icao_airline=BAW"}))
        << "trailing comments are dropped";
    EXPECT_FALSE(
        ordinary({"title=c", "icao_airline=KLM", "atc_parking_types=GATE", "atc_parking_types=RAMP"}));
    EXPECT_FALSE(ordinary({"title=d", "icao_airline=KLM", "atc_id=PH-BXA", "x atc_id=PH-BXB"}));
    EXPECT_EQ(incomplete(),
              (std::vector<std::string>{where + " has more than one title key",
                                        where + " has more than one atc_parking_codes key",
                                        where + " has more than one atc_parking_types key",
                                        cfgFolder.string() + ", [fltsim.0], has more than one atc_id key"}));
    EXPECT_TRUE(ordinary({"title=e", "icao_airline=KLM", "atc_id=PH-BXA", "atc_id = PH-BXB"}))
        << "only the exact key text counts as a repetition";
}

TEST_F(FltsimSectionTest, SectionsThatYieldNothing) {
    EXPECT_FALSE(ordinary({"icao_airline=KLM"}));
    EXPECT_EQ(incomplete(), std::vector<std::string>{cfgFolder.string() + " [fltsim.0] misses title"});
    incompleteSectionsList.clear();

    // Airliner add-ons end the section at their title; an airline not read by then is still reported.
    EXPECT_FALSE(ordinary({"icao_airline=KLM", "title=PMDG 737-800 KLM"}));
    EXPECT_TRUE(incomplete().empty());
    EXPECT_FALSE(ordinary({"title=FenixA320 KLM", "icao_airline=KLM"}));
    EXPECT_EQ(incomplete(), std::vector<std::string>{missingAirlineLine()});
    incompleteSectionsList.clear();

    dontUseTitles = {"Hidden livery"};
    EXPECT_FALSE(ordinary({"title=Hidden livery", "icao_airline=KLM"}));
    EXPECT_TRUE(incomplete().empty());
}

TEST_F(FltsimSectionTest, TitlesAreClaimedOnceAcrossTheScan) {
    FileLiveries first, second;
    first.push_back(*ordinary({"title=Shared", "icao_airline=KLM"}));
    second.push_back(*ordinary({"title=Shared", "icao_airline=BAW"}));
    second.push_back(*ordinary({"title=Own", "icao_airline=BAW"}));
    std::list<LiveryData> target;
    lf_claimTitles(std::move(first), target);
    lf_claimTitles(std::move(second), target);
    ASSERT_EQ(target.size(), 2u);
    EXPECT_EQ(target.front().airl, "KLM");
    EXPECT_EQ(target.back().title, "Own");
    EXPECT_EQ(incomplete(),
              std::vector<std::string>{cfgFolder.string() + " [fltsim.0] title 'Shared' already exists"});
}

TEST_F(FltsimSectionTest, IvaoAirlineComesFromTheTitle) {
    const auto section = ivao({"title = \" B738W KLM PH-BXA \"", "texture = KLM"}, ivaoFolder);
    ASSERT_TRUE(section);
    EXPECT_EQ(section->livery.airl, "KLM");
    EXPECT_EQ(section->livery.type, "B738");
    EXPECT_EQ(section->livery.folderNumber, 4u);
    EXPECT_NE(logText().find("removed spaces around title ' B738W KLM PH-BXA ' --> 'B738W KLM PH-BXA'"),
              std::string::npos);

    // Without the winglet mark the title carries no W.
    const fs::path plain = folder / "IVAO_MTL" / "SimObjects" / "Airplanes" / "IVAO_B738";
    fs::create_directories(plain / "texture.T");
    EXPECT_EQ(ivao({"title=b738  TRA x", "texture=T"}, plain)->livery.airl, "TRA");
    EXPECT_FALSE(ivao({"title=B738 XYZ x", "texture=T"}, plain));
    EXPECT_EQ(
        invalidAirlineCodesList.lines(),
        std::vector<std::string>{"XYZ          in " + (plain / "aircraft.cfg").string() + " [fltsim.1]"});
    EXPECT_EQ(ivao({"title=B738ZZZ house", "texture=T", "atc_id=PH-BXA"}, plain)->livery.atcid, "");
}

TEST_F(FltsimSectionTest, IvaoTitleWithoutAirlineNeedsAKnownRegistration) {
    const std::string where = ivaoFolder.string() + " [fltsim.1]";
    EXPECT_EQ(ivao({"title=Boeing PH-BXA", "texture=KLM", "atc_id=PH-BXA"}, ivaoFolder)->livery.airl, "KLM");
    EXPECT_FALSE(ivao({"title=Boeing a", "texture=KLM"}, ivaoFolder));
    EXPECT_FALSE(ivao({"title=Boeing b", "texture=KLM", "atc_id=PH-ZZZ"}, ivaoFolder));
    EXPECT_EQ(incomplete(),
              (std::vector<std::string>{
                  where + " misses airlinecode in title: Boeing a, and no regcode",
                  where + " misses airlinecode in title: Boeing b, and regcode unknown PH-ZZZ"}));
}

TEST_F(FltsimSectionTest, IvaoSectionRejections) {
    const std::string where = ivaoFolder.string() + " [fltsim.1]";
    EXPECT_FALSE(ivao({"title=B738W KLM a", "texture=GONE"}, ivaoFolder)) << "texture folder missing";
    EXPECT_FALSE(ivao({"texture=KLM"}, ivaoFolder));
    EXPECT_FALSE(ivao({"title=B738W KLM b", "title=B738W KLM b", "texture=KLM"}, ivaoFolder));
    EXPECT_FALSE(
        ivao({"title=B738W KLM c", "atc_parking_types=GATE", "x atc_parking_types=RAMP"}, ivaoFolder));
    EXPECT_FALSE(ivao({"title=B738W KLM d", "atc_id=PH-BXA", "atc_id=PH-BXB", "texture=KLM"}, ivaoFolder));
    EXPECT_TRUE(ivao({"title=B738W KLM e", "atc_id=A*B", "texture=KLM"}, ivaoFolder));
    EXPECT_EQ(incomplete(),
              (std::vector<std::string>{(ivaoFolder / "texture.GONE").string() + " [fltsim.1] does not exist",
                                        where + " misses title", where + " has more than one title key",
                                        where + " has more than one atc_parking_types key",
                                        ivaoFolder.string() + ", [fltsim.1], has more than one atc_id key",
                                        "invalid atc_id=A*B in B738W KLM e"}));
    dontUseTitles = {"B738W KLM f"};
    EXPECT_FALSE(ivao({"title=B738W KLM f", "texture=KLM"}, ivaoFolder));
    EXPECT_EQ(incomplete().size(), 6u) << "don't-use titles leave no report";
}

} // namespace
} // namespace kvr
