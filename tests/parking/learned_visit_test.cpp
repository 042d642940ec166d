// Whole visits of a park airport: its learned file read at the loading, written at the unloading, and
// what the user learned or set there found in it afterwards.
#include "app/closing_down.h"
#include "app/control_state.h"
#include "core/exit_request.h"
#include "core/xml_util.h"
#include "parking/learned_file_internal.h"
#include "settings/parameter_table.h"
#include "static_parking_support.h"
#include "tools/stand_fixtures/stand_fixtures.h"

#include <numbers>
#include <system_error>

namespace kvr {
namespace {

using fixtures::gf_optSpec;
using fixtures::gf_standSpec;

constexpr double ehamLatitude = 52.3086;
constexpr double ehamLongitude = 4.7639;

class LearnedVisitTest : public test::StaticParkingTest {
protected:
    void SetUp() override {
        StaticParkingTest::SetUp();
        setAirports({{"EHAM", "AMS", "Schiphol", ehamLatitude, ehamLongitude, -11, 0}});
        writeStandFile({gf_standSpec({"A1", ehamLatitude, ehamLongitude, 90, 30}),
                        gf_standSpec({"A2", ehamLatitude + 0.001, ehamLongitude, 90, 30})});
    }

    static void writeStandFile(std::vector<fixtures::ParkposSpec> stands) {
        fixtures::StandFileSpec spec;
        spec.parameters = {{"airport_name", "Schiphol"}, {"publisher", "FlyTest"}, {"altitude", "-11"}};
        spec.stands = std::move(stands);
        fixtures::gf_writeStandFile(myThirdpartyDir / "EHAM.xml", spec);
    }

    void writeLearned(fixtures::Attributes parameters, std::vector<fixtures::ParkposSpec> stands = {},
                      const std::string& version = "12.0.0") {
        fixtures::StandFileSpec spec;
        spec.version = version;
        spec.parameters = {{"airport_name", "Schiphol"}};
        spec.parameters.insert(spec.parameters.end(), parameters.begin(), parameters.end());
        spec.stands = std::move(stands);
        fixtures::gf_writeStandFile(learned, spec);
    }

    static fixtures::ParkposSpec learnedStand(const std::string& id, fixtures::Attributes opt,
                                              fixtures::Attributes extra = {}) {
        fixtures::ParkposSpec stand;
        stand.attributes = {{"id", id}};
        stand.attributes.insert(stand.attributes.end(), extra.begin(), extra.end());
        stand.opts = {std::move(opt)};
        return stand;
    }

    // On the ground beside A1: EHAM becomes the park airport and is loaded.
    void arrive() {
        UserAcData data;
        data.latitude = ehamLatitude + 0.0001;
        data.longitude = ehamLongitude;
        port::setUserAircraft(data, true, 17.0 / 1852);
        userAcDataValid = true;
        gf_parkAirportTick(true);
        ASSERT_TRUE(parkAirportLoaded) << logText();
    }

    // The user leaves: the park airport is given up and its learned file saved.
    static void leave() { gf_clearParkTraffic(); }

    std::string learnedText() const { return test::readFileText(learned); }

    static std::string parameterOf(const std::filesystem::path& file, const std::string& name) {
        pugi::xml_document doc;
        return doc.load_file(file.c_str()) ? gf_findParameterValue(doc, name).value_or("(none)")
                                           : "(no file)";
    }

    const std::filesystem::path learned = learnedDir / "thirdparty" / "FlyTest" / "EHAM.xml";
    const std::filesystem::path copyAside = learnedDir / "thirdparty" / "FlyTest" / "EHAM0.xml";
};

TEST_F(LearnedVisitTest, TheAirportsOwnSettingsAndTheUsersChangesThereStayInItsLearnedFile) {
    writeLearned({{"WEEK", "true"}, {"parking_percentage", "75"}, {"MAX_FIT", "20"}});
    arrive();
    PARK_SOFT.setValue(true); // the user ticks PARK_SOFT during the visit
    leave();
    EXPECT_EQ(parameterOf(learned, "WEEK"), "true");
    EXPECT_EQ(parameterOf(learned, "parking_percentage"), "75");
    EXPECT_EQ(parameterOf(learned, "MAX_FIT"), "20");
    EXPECT_EQ(parameterOf(learned, "PARK_SOFT"), "true");
    // The global settings are in force again, and saved.
    EXPECT_FALSE(WEEK.value() || PARK_SOFT.value());
    EXPECT_EQ(parking_percentage.value(), 30);
    EXPECT_EQ(MAX_FIT.value(), 47);
    EXPECT_EQ(parameterOf(folder / "config" / "Vantrel" / "parameters.xml", "MAX_FIT"), "47");
}

TEST_F(LearnedVisitTest, TheAirportsOwnManualRangeStaysInItsLearnedFile) {
    ParkingHooks hooks = gf_parkingHooks(); // the window's range services, as the program wires them
    hooks.setRange = gf_setRange;
    hooks.applyAutoRangeSetting = gf_applyAutoRangeSetting;
    gf_installParkingHooks(std::move(hooks));
    writeLearned({{"RANGE", "30"}, {"AUTO_RANGE", "false"}});
    arrive();
    EXPECT_EQ(RANGE.value(), 30);
    leave();
    EXPECT_EQ(parameterOf(learned, "RANGE"), "30");
    EXPECT_EQ(RANGE.value(), 40) << "the global range is in force again";
}

TEST_F(LearnedVisitTest, ASaveThatFailsAtClosingDownSaysPlainlyThatItIsLost) {
    arrive();
    // A file where the publisher's folder belongs: the folder cannot be made.
    std::filesystem::create_directories(learned.parent_path().parent_path());
    test::writeFileText(learned.parent_path(), "in the way");
    std::error_code cannotMake;
    std::filesystem::create_directories(learned.parent_path(), cannotMake);
    gf_requestExit(ExitReason::userClosedSim, 0); // the close box
    lf_closingDown();
    gf_resetStopState();
    EXPECT_TRUE(logHas("==> learned file '" + learned.string() +
                       "' could not be saved at closing down: " + cannotMake.message() +
                       "; what was learned there since its last saving is lost when "
                       "Vantrel ends\n"))
        << logText();
    EXPECT_FALSE(logHas("stays in memory"));
}

TEST_F(LearnedVisitTest, ALearnedFileThatCannotBeCopiedAsideIsNotWrittenOver) {
    std::filesystem::create_directories(learned.parent_path());
    const std::string broken = "<root><parkpositions><parkpos id='A1'><opt reg='PH-BXA'";
    test::writeFileText(learned, broken);
    std::filesystem::create_directories(copyAside / "in the way");
    arrive();
    leave();
    EXPECT_EQ(learnedText(), broken);
    EXPECT_FALSE(logHas("saved as *.0.xml")) << logText();
    EXPECT_TRUE(logHas("==> gf_save1GenerationOf: could not copy ")) << "the reason is logged";
    EXPECT_TRUE(logHas("' not written: its earlier content could not be copied aside first; "));

    // Once the copy can be made, the kept content is written at closing down.
    std::filesystem::remove_all(copyAside);
    gf_saveUnsavedLearnedFiles();
    EXPECT_EQ(test::readFileText(copyAside), broken);
    EXPECT_NE(parameterOf(learned, "airport_name"), "(no file)");
}

TEST_F(LearnedVisitTest, AVersionThatIsNoNumberTripleIsKeptAsideLikeAMissingOne) {
    for (const std::string version : {"12,0,0", "12 0 0", "99999999999.0.0"}) {
        writeLearned({}, {learnedStand("A1", gf_optSpec("PH-BXA", 2, "10:12", "KLM1", "KLM", "B738"))},
                     version);
        const std::string original = learnedText();
        arrive();
        leave();
        EXPECT_EQ(test::readFileText(copyAside), original) << version;
        EXPECT_TRUE(
            logHas(" found, but its meta block is missing or has no readable version, saved as *.0.xml"));
        EXPECT_FALSE(logHas("older Vantrel version")) << version;
        std::filesystem::remove(copyAside);
    }
}

TEST_F(LearnedVisitTest, AFailedSaveKeepsWhatWasLearnedForTheNextSaving) {
    arrive();
    std::optional<std::uint32_t> added;
    gf_addStandOption(standList[0].options, added, {"KLM", "B738"}, 3, 20, "KLM1", "PH-BXA", false);
    ASSERT_TRUE(added);
    // A file where the publisher's folder belongs: the folder cannot be made.
    std::filesystem::create_directories(learned.parent_path().parent_path());
    test::writeFileText(learned.parent_path(), "in the way");
    leave();
    EXPECT_TRUE(logHas(" saving '" + learned.string() + "' did not succeed\n"));
    std::error_code cannotMake; // what the system says of making that folder
    std::filesystem::create_directories(learned.parent_path(), cannotMake);
    const std::string reason = cannotMake.message();
    ASSERT_FALSE(reason.empty());
    EXPECT_TRUE(logHas("==> learned file '" + learned.string() + "' not written: " + reason + "; "))
        << logText();

    arrive(); // the next visit finds what the failed save kept
    ASSERT_EQ(standList[0].options.size(), 1u);
    EXPECT_EQ(standList[0].options[0].registration, "PH-BXA");
    std::filesystem::remove(learned.parent_path());
    leave();
    EXPECT_NE(learnedText().find("reg=\"PH-BXA\""), std::string::npos) << learnedText();
}

TEST_F(LearnedVisitTest, HeadingsAreDirectionsAndRefusedStandsKeepTheirLearnedOptions) {
    writeStandFile({gf_standSpec({"A1", ehamLatitude, ehamLongitude, 509.4, 30}),
                    gf_standSpec({"A2", ehamLatitude + 0.001, ehamLongitude, -90, 30}),
                    gf_standSpec({"A3", ehamLatitude, ehamLongitude, 90, 20000})});
    writeLearned(
        {}, {learnedStand("A3", gf_optSpec("PH-BXA", 2, "10:12", "KLM1", "KLM", "B738")),
             learnedStand("M1", gf_optSpec("PH-BXB", 3, "4", "", "KLM", "B738"),
                          {{"manual", "true"}, {"latitude", "91"}, {"longitude", "4.7"}, {"radius", "20"}})});
    arrive();
    ASSERT_EQ(standList.size(), 2u);
    EXPECT_NEAR(standList[0].heading, 149.4 * std::numbers::pi / 180.0, 1e-9);
    EXPECT_NEAR(standList[1].heading, 270.0 * std::numbers::pi / 180.0, 1e-9);
    leave();
    pugi::xml_document saved;
    ASSERT_TRUE(saved.load_file(learned.c_str()));
    const pugi::xml_node parkpositions = saved.child("root").child("parkpositions");
    EXPECT_STREQ(
        parkpositions.find_child_by_attribute("parkpos", "id", "A3").child("opt").attribute("hh").value(),
        "10:12");
    EXPECT_STREQ(
        parkpositions.find_child_by_attribute("parkpos", "id", "M1").child("opt").attribute("reg").value(),
        "PH-BXB");
}

} // namespace
} // namespace kvr
