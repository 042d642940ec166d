#include "core/message_line.h"
#include "core/xml_util.h"
#include "parking/learned_file_internal.h"
#include "parking/stand_file_internal.h"
#include "parking_test_support.h"
#include "recording_ports.h"
#include "tools/stand_fixtures/stand_fixtures.h"

namespace kvr {
namespace {

using fixtures::gf_optSpec;
using fixtures::gf_standSpec;
using fixtures::StandFileSpec;

class LearnedFileTest : public test::ParkingTest {
protected:
    void SetUp() override {
        ParkingTest::SetUp();
        SetUpStock();
        info.airportName = "Schiphol";
    }

    void SetUpStock() {
        StandFileSpec stock;
        stock.stands = {gf_standSpec({"D7", 52.30, 4.76, 90, 30}),
                        gf_standSpec({"E18", 52.31, 4.77, 180, 40}),
                        gf_standSpec({"F4", 52.32, 4.78, 270, 25})};
        stock.stands[2].opts = {gf_optSpec("PH-OLD", 2, "4", "KLM9", "KLM", "B738")};
        const std::string text = fixtures::gf_standFileXml(stock);
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_string(text.c_str()));
        lf_readParkpositions(doc);
    }

    void readLearned(StandFileSpec spec) {
        if (std::none_of(spec.parameters.begin(), spec.parameters.end(),
                         [](const auto& p) { return p.first == "airport_name"; }))
            spec.parameters.insert(spec.parameters.begin(), {"airport_name", "Schiphol"});
        fixtures::gf_writeStandFile(learnedPath, spec);
        lf_readLearned(learnedPath, info);
    }

    const Stand& standNamed(const std::string& id) {
        for (const Stand& s : standList)
            if (s.id == id)
                return s;
        throw std::runtime_error("no stand " + id);
    }

    static fixtures::ParkposSpec learnedStand(const std::string& id, fixtures::Attributes extra = {}) {
        fixtures::ParkposSpec s;
        s.attributes = {{"id", id}};
        s.attributes.insert(s.attributes.end(), extra.begin(), extra.end());
        return s;
    }

    std::filesystem::path learnedPath = folder / "airports" / "learned" / "stock" / "EHAM.xml";
    ParkAirportFileInfo info;
};

TEST_F(LearnedFileTest, UnparsableFileIsSavedAsideAndTheStandFileStaysInUse) {
    std::filesystem::create_directories(learnedPath.parent_path());
    test::writeFileText(learnedPath, "<root><parkpositions><parkpos id='D7'>");
    lf_readLearned(learnedPath, info);
    EXPECT_EQ(standList.size(), 3u);
    EXPECT_EQ(test::readFileText(learnedPath.parent_path() / "EHAM0.xml"),
              "<root><parkpositions><parkpos id='D7'>");
    EXPECT_TRUE(
        logHas("==> " + learnedPath.string() + " found, but could not be loaded, saved as *.0.xml: "));
    EXPECT_FALSE(logHas("Read from learned airport file"));
}

TEST_F(LearnedFileTest, FileWithoutUsableMetaBlockIsNotUsedButKeptAsideBeforeItIsSavedOver) {
    const std::filesystem::path backup = learnedPath.parent_path() / "EHAM0.xml";
    const auto expectKeptAside = [&] {
        EXPECT_EQ(test::readFileText(backup), test::readFileText(learnedPath));
        EXPECT_TRUE(
            logHas("==> " + learnedPath.string() +
                   " found, but its meta block is missing or has no readable version, saved as *.0.xml"));
        std::filesystem::remove(backup);
    };
    StandFileSpec spec;
    spec.withMeta = false;
    spec.parameters = {{"RANGE", "10"}};
    spec.stands = {learnedStand("D7")};
    spec.stands[0].opts = {gf_optSpec("PH-NEW", 1, "5", "", "KLM", "B738")};
    readLearned(spec);
    EXPECT_TRUE(logHas("Read from learned airport file: '" + learnedPath.string() + "'"));
    EXPECT_TRUE(standNamed("D7").options.empty());
    EXPECT_EQ(RANGE.value(), 40);
    expectKeptAside();

    spec.withMeta = true;
    spec.version = "v-eleven";
    readLearned(spec);
    EXPECT_TRUE(standNamed("D7").options.empty());
    expectKeptAside();
}

TEST_F(LearnedFileTest, OlderFileKeepsLearnedRadiiAndCargoButNotItsOptions) {
    StandFileSpec spec;
    spec.version = "11.9.9";
    spec.stands = {learnedStand("D7", {{"radius_change", "true"}, {"radius", "55.56"}}),
                   learnedStand("E18", {{"cargo_change", "1"}, {"cargo", "true"}})};
    spec.stands[0].opts = {gf_optSpec("PH-NEW", 1, "5", "", "KLM", "B738")};
    readLearned(spec);
    EXPECT_TRUE(logHas("\nThis learned file was created with and older Vantrel version than 11.10.0,\n"
                       "All flights will be cleared, except for a handmade file\n"));
    EXPECT_NEAR(standNamed("D7").radius, 0.03, 1e-12);
    EXPECT_TRUE(standNamed("D7").radiusChange);
    EXPECT_TRUE(standNamed("D7").options.empty());
    EXPECT_TRUE(standNamed("E18").cargo);
    EXPECT_TRUE(standNamed("E18").cargoChange);
    EXPECT_FALSE(handmadeApf);

    gf_clearStands();
    spec.parameters = {{"handmade", "true"}};
    spec.stands = {gf_standSpec({"X1", 52.1, 4.1, 0, 20})};
    spec.stands[0].opts = {gf_optSpec("PH-NEW", 1, "5", "", "KLM", "B738")};
    readLearned(spec);
    EXPECT_TRUE(handmadeApf);
    ASSERT_EQ(standList.size(), 1u);
    EXPECT_EQ(standList[0].options.size(), 1u);
}

TEST_F(LearnedFileTest, VersionRuleComparesFieldByField) {
    StandFileSpec spec;
    spec.stands = {learnedStand("D7")};
    spec.stands[0].opts = {gf_optSpec("PH-NEW", 1, "5", "", "KLM", "B738")};
    spec.version = "11.10.0";
    readLearned(spec);
    EXPECT_EQ(standNamed("D7").options.size(), 1u);
    EXPECT_FALSE(logHas("older Vantrel version"));
    spec.version = "9.99.99";
    spec.stands[0].opts = {gf_optSpec("PH-NEXT", 1, "5", "", "KLM", "B738")};
    readLearned(spec);
    EXPECT_EQ(standNamed("D7").options.size(), 1u);
    EXPECT_TRUE(logHas("older Vantrel version"));
}

TEST_F(LearnedFileTest, DifferentAirportNameIsShownAsAWarning) {
    StandFileSpec spec;
    spec.parameters = {{"airport_name", "Amsterdam"}};
    readLearned(spec);
    const std::string warning =
        "Warning: learned file airport name: 'Amsterdam' differs from archived file airport name: 'Schiphol'";
    EXPECT_EQ(gf_messageLineSnapshot().messageText, warning);
    EXPECT_TRUE(logHas(warning));
}

TEST_F(LearnedFileTest, PerAirportSettingsAreAppliedLoggedAndNotSaved) {
    test::RecordingControlPort port;
    test::RecordedHooks hooks;
    hooks.nowAllowed = true;
    StandFileSpec spec;
    spec.parameters = {{"MAX_LIVE_SEL", "900"},
                       {"RANGE", "25"},
                       {"AUTO_RANGE", "false"},
                       {"parking_percentage", "250"},
                       {"WEEK", "true"},
                       {"PARK_SOFT", "1"},
                       {"MAX_FIT", "-5"},
                       {"RT_PARKTRAFFIC_ONLY", "true"},
                       {"INITIAL_LOAD_ONLY", "false"}};
    readLearned(spec);
    EXPECT_EQ(MAX_LIVE_SEL.value(), 500);
    EXPECT_EQ(port.selections[MAX_LIVE_SEL.controlId], 6);
    EXPECT_EQ(RANGE.value(), 25);
    EXPECT_TRUE(port.enabled[RANGE.controlId]);
    EXPECT_FALSE(AUTO_RANGE.value());
    EXPECT_FALSE(port.checks[AUTO_RANGE.controlId]);
    EXPECT_EQ(parking_percentage.value(), 250);
    EXPECT_EQ(port.selections.count(parking_percentage.controlId), 0u);
    EXPECT_TRUE(WEEK.value() && PARK_SOFT.value() && RT_PARKTRAFFIC_ONLY.value());
    EXPECT_EQ(MAX_FIT.value(), 0);
    EXPECT_TRUE(port.enabled[nowButton.controlId]);
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"setRange 25", "applyAutoRange", "setRange 25",
                                                     "syncMaxFit", "updateParkControls"}));
    const std::string log = logText();
    EXPECT_NE(log.find("          MAX_LIVE_SEL            : 500\n"), std::string::npos) << log;
    EXPECT_NE(log.find("          parking_percentage      : 250\n"), std::string::npos);
    EXPECT_NE(
        log.find("          MAX_FIT                 : 0 (max number of half hours, is 0.5 hrs decimal)\n"),
        std::string::npos);
    EXPECT_NE(log.find("          PARK_SOFT               : true\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "config" / "Vantrel" / "parameters.xml"));
}

TEST_F(LearnedFileTest, MissingParkingPercentageBecomesThirtyAndInitialLoadOnlyDisablesNow) {
    test::RecordingControlPort port;
    test::RecordedHooks hooks;
    parking_percentage.setValue(70);
    StandFileSpec spec;
    spec.parameters = {{"INITIAL_LOAD_ONLY", "true"}};
    readLearned(spec);
    EXPECT_EQ(parking_percentage.value(), 30);
    EXPECT_EQ(port.selections[parking_percentage.controlId], 6);
    EXPECT_FALSE(logHas("parking_percentage"));
    EXPECT_FALSE(port.enabled.at(nowButton.controlId));
    EXPECT_TRUE(hooks.calls.empty());
}

TEST_F(LearnedFileTest, WithInitialLoadOnlyOffTheNowButtonFollowsItsOwnFlag) {
    test::RecordingControlPort port;
    test::RecordedHooks hooks;
    StandFileSpec spec;
    spec.parameters = {{"INITIAL_LOAD_ONLY", "false"}};
    hooks.nowAllowed = false;
    gf_enableControl(nowButton);
    readLearned(spec);
    EXPECT_FALSE(port.enabled.at(nowButton.controlId));
    hooks.nowAllowed = true;
    readLearned(spec);
    EXPECT_TRUE(port.enabled.at(nowButton.controlId));
}

TEST_F(LearnedFileTest, OptionsMergeUnlessTheSameUseIsKnown) {
    StandFileSpec spec;
    spec.stands = {learnedStand("F4")};
    spec.stands[0].opts = {gf_optSpec("PH-OLD", 2, "3:4", "KLM9", "KLM", "B738"), // shares slot 4
                           gf_optSpec("PH-OLD", 2, "5:6", "KLM9", "KLM", "B738"), // no shared slot
                           gf_optSpec("PH-OLD", 2, "4", "", "KLM", "B738", true), // soft: other kind
                           gf_optSpec("PH-OLD", 2, "6", "", "KLM", "B738"), // same as the one just added
                           gf_optSpec("PH-BAD", 2, "x", "", "KLM", "B738"),
                           gf_optSpec("PH-NINE", 9, "1", "", "TRA", "B737"),
                           gf_optSpec("PH-DAY", 7, "1", "TRA1:TRA2", "TRA", "B737")};
    readLearned(spec);
    const auto& options = standNamed("F4").options;
    ASSERT_EQ(options.size(), 4u);
    EXPECT_EQ(options[1].halfHours, 0b11ull << 5);
    EXPECT_EQ(options[1].aircraftId, 2u);
    EXPECT_EQ(options[1].fromStandFile, 0u);
    EXPECT_EQ(options[2].real, 0u);
    EXPECT_EQ(options[2].aircraftId, 3u);
    EXPECT_EQ(options[3].day, 7u);
    EXPECT_EQ(options[3].aircraftId, 4u);
    EXPECT_EQ(options[3].callsign2, "TRA2");
    EXPECT_TRUE(logHas("==> empty bit set\n"));
    EXPECT_TRUE(logHas("==> learned option of stand F4 with day '9' skipped\n"));
}

TEST_F(LearnedFileTest, LearnedStandsMatchByExactIdAndManualStandsNeedAPlace) {
    StandFileSpec spec;
    spec.stands = {
        learnedStand("D7 ", {{"radius_change", "true"}, {"radius", "99"}}),
        learnedStand("E18",
                     {{"manual", "true"}, {"latitude", "52.5"}, {"longitude", "4.5"}, {"radius", "20"}}),
        learnedStand("M0",
                     {{"manual", "true"}, {"latitude", "0.00005"}, {"longitude", "0"}, {"radius", "20"}}),
        learnedStand("M1", {{"manual", "true"}, {"latitude", "52.1"}, {"longitude", "4.2"}}),
        learnedStand("M2", {{"manual", "true"},
                            {"latitude", "52.2"},
                            {"longitude", "4.3"},
                            {"radius", "25"},
                            {"cargo", "true"}})};
    spec.stands[4].opts = {gf_optSpec("PH-MAN", 4, "10:11", "", "KLM", "E190")};
    readLearned(spec);
    const std::string path = learnedPath.string();
    EXPECT_TRUE(logHas("learned stand D7  in " + path + " not found?"));
    EXPECT_FALSE(standNamed("D7").radiusChange);
    EXPECT_TRUE(logHas("==> manually created standid E18 already exists in " + path));
    EXPECT_TRUE(logHas("==> manually created standid M0 misses correct attributes in " + path));
    EXPECT_TRUE(logHas("==> manually created standid M1 misses correct attributes in " + path));
    ASSERT_EQ(standList.size(), 4u);
    const Stand& m2 = standList.back();
    EXPECT_EQ(m2.id, "M2");
    EXPECT_TRUE(m2.manual);
    EXPECT_TRUE(m2.cargo);
    ASSERT_EQ(m2.options.size(), 1u);
    EXPECT_EQ(m2.options[0].fromStandFile, 0u);
}

TEST_F(LearnedFileTest, HandmadeFileReplacesTheStandsAndABrokenOneIsKeptAside) {
    StandFileSpec spec;
    spec.parameters = {{"handmade", "yes"}};
    spec.stands = {gf_standSpec({"A1", 52.1, 4.1, 0, 20}), gf_standSpec({"A2", 52.2, 4.2, 0, 20})};
    readLearned(spec);
    EXPECT_TRUE(handmadeApf);
    ASSERT_EQ(standList.size(), 2u);
    EXPECT_EQ(standList[0].id, "A1");
    EXPECT_TRUE(logHas("          handmade                : yes\n"));

    handmadeApf = false;
    gf_clearStands();
    SetUpStock();
    spec.stands.push_back(gf_standSpec({"A1 ", 52.3, 4.3, 0, 20}));
    readLearned(spec);
    EXPECT_FALSE(handmadeApf);
    EXPECT_EQ(standList.size(), 3u);
    EXPECT_EQ(standList[0].id, "D7");
    EXPECT_TRUE(logHas("lf_readLearned: 94: Parking position 'A1' appears more than once.\n"));
    EXPECT_EQ(test::readFileText(learnedPath.parent_path() / "EHAM0.xml"), test::readFileText(learnedPath));
}

TEST_F(LearnedFileTest, RestoringTheSnapshotClampsSavesAndUpdatesControls) {
    test::RecordingControlPort port;
    test::RecordedHooks hooks;
    airportParameterSnapshot = AirportParameterSnapshot{900, 60, 1, 250, true, true, true, true, true};
    gf_applyAirportParameters();
    EXPECT_EQ(MAX_LIVE_SEL.value(), 500);
    EXPECT_EQ(MAX_FIT.value(), 47);
    EXPECT_EQ(RANGE.value(), RANGE.minimum());
    EXPECT_EQ(parking_percentage.value(), 100);
    EXPECT_TRUE(AUTO_RANGE.value() && INITIAL_LOAD_ONLY.value() && RT_PARKTRAFFIC_ONLY.value() &&
                PARK_SOFT.value() && WEEK.value());
    EXPECT_FALSE(port.enabled.at(RANGE.controlId));
    EXPECT_TRUE(port.enabled.at(AR_ABOVE_HEIGHT.controlId));
    EXPECT_TRUE(port.checks.at(WEEK.controlId));
    EXPECT_EQ(port.selections.at(parking_percentage.controlId), 20);
    EXPECT_EQ(hooks.calls,
              (std::vector<std::string>{"syncMaxFit", "setRange " + std::to_string(RANGE.minimum())}));

    pugi::xml_document saved;
    ASSERT_TRUE(saved.load_file((folder / "config" / "Vantrel" / "parameters.xml").c_str()));
    EXPECT_EQ(gf_readParameterValue(saved, "MAX_LIVE_SEL"), 500);
    EXPECT_EQ(gf_readParameterValue(saved, "MAX_FIT"), 47);
    EXPECT_EQ(lf_readBoolParameter(saved, "WEEK"), true);
}

} // namespace
} // namespace kvr
