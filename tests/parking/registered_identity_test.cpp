#include "parking/stand_file_internal.h"
#include "parking_test_support.h"
#include "tools/stand_fixtures/stand_fixtures.h"

namespace kvr {
namespace {

// Registrations the aircraft data base knows keep its identity in the stand files.
class RegisteredIdentityTest : public test::ParkingTest {
protected:
    void SetUp() override {
        ParkingTest::SetUp();
        aircraftTables.registrations["PH-BXA"] = DbaseRecord{"KLM", "B738", "", false};
        aircraftTables.registrations["PH-EXA"] = DbaseRecord{"KLM", "E190", "KLC", false};
    }
};

TEST_F(RegisteredIdentityTest, ReadingPrefersTheDataBaseAndItsOperator) {
    fixtures::StandFileSpec spec;
    auto stand = fixtures::gf_standSpec({"D7", 52.3, 4.7, 90, 30});
    stand.opts = {fixtures::gf_optSpec("PH-BXA", 1, "4", "", "XXX", "A320"),
                  fixtures::gf_optSpec("PHEXA", 1, "4", "", "XXX", "A320"),
                  fixtures::gf_optSpec("PH-ZZZ", 1, "4", "", "TRA", "B737")};
    spec.stands = {stand};
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(fixtures::gf_standFileXml(spec).c_str()));
    lf_readParkpositions(doc);
    const auto& options = standList.at(0).options;
    EXPECT_EQ(options[0].airline + " " + options[0].type, "KLM B738");
    EXPECT_EQ(options[1].airline + " " + options[1].type, "KLC E190");
    EXPECT_EQ(options[2].airline + " " + options[2].type, "TRA B737");
}

TEST_F(RegisteredIdentityTest, WritingLeavesOutWhatTheDataBaseKnows) {
    StandOption known;
    known.registration = "PH-BXA";
    known.airline = "KLM";
    known.type = "B738";
    known.halfHours = 1;
    known.aircraftId = 1;
    known.day = 1;
    StandOption unknown = known;
    unknown.registration = "PH-ZZZ";
    ApfRecord record;
    record.stands.emplace_back("D7", std::vector<StandOption>{known, unknown}, StandPlacement{52.3, 4.7, 0.0},
                               30.0, false, false, false);
    const auto path = folder / "learned.xml";
    ASSERT_TRUE(gf_writeApf(record, path, ApfWriteMode::learned, 1));
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(path.c_str()));
    const auto opt = doc.child("root").child("parkpositions").child("parkpos").child("opt");
    EXPECT_FALSE(opt.attribute("airl") || opt.attribute("type"));
    EXPECT_STREQ(opt.next_sibling("opt").attribute("airl").value(), "KLM");
}

TEST_F(RegisteredIdentityTest, LearningTakesTheDataBaseIdentityOverTheRecords) {
    std::vector<StandOption> options;
    std::optional<std::uint32_t> result;
    gf_addStandOption(options, result, StandVisitor{"XXX", "A320"}, 2, 20, "KLM1", "PH-EXA", true);
    ASSERT_EQ(result, 1u);
    EXPECT_EQ(options[0].airline, "KLC");
    EXPECT_EQ(options[0].type, "E190");
    EXPECT_TRUE(options[0].coupled);
}

} // namespace
} // namespace kvr
