#include "liveries/regcode_map.h"
#include "livery_fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kvr {
namespace {

namespace fs = std::filesystem;

class RegcodeMapTest : public test::LiveryTest {
protected:
    void SetUp() override {
        LiveryTest::SetUp();
        addTypes({{"B738", AircraftCategory::large, {}}, {"A320", AircraftCategory::large, {}}});
    }
    void buildWithoutInline() {
        buildDatabase({{"KLM", "B738", "K1", "", 0, false},
                       {"KLM", "B738", "K2", "", 0, false},
                       {"BAW", "A320", "B1", "", 0, false}});
        regcodeReportLines.clear();
    }
};

TEST_F(RegcodeMapTest, FirstLiveryInCatalogueOrderKeepsAnInlineCode) {
    buildDatabase({{"TRA", "B738", "Transavia b", "PH-HSA", 0, false},
                   {"KLM", "B738", "KLM a", "PH-BXA", 0, false},
                   {"KLM", "B738", "KLM b", "PH-BXA", 0, false},
                   {"KLM", "A320", "KLM c", "PH-BXA", 0, false},
                   {"TRA", "B738", "Transavia a", "PH-HSA", 0, false}});
    EXPECT_EQ(regcodeLiveries.at("PH-BXA"), "KLM c") << "KLM A320 sorts before KLM B738";
    EXPECT_EQ(regcodeLiveries.at("PH-HSA"), "Transavia a");
    EXPECT_EQ(test::readFileText(liveryPaths.inlineRegcodes),
              "PH-BXA 'KLM a' => already in use by 'KLM c'\n"
              "PH-BXA 'KLM b' => already in use by 'KLM c'\n"
              "PH-HSA 'Transavia b' => already in use by 'Transavia a'\n");
    EXPECT_TRUE(logHas("3 in-line regcode clashes, see '" + liveryPaths.inlineRegcodes.string() + "'\n"));
    EXPECT_TRUE(logHas("\n2 registration codes\n"));
    const TitleView stored = regcodeLiveries.at("PH-BXA");
    EXPECT_EQ(stored.data(), gf_findLiveryTitle("KLM c").data()) << "a view of the data base's own string";
}

TEST_F(RegcodeMapTest, NoClashWritesNoReportAndCreatesTheErrorsFolderOnlyWhenNeeded) {
    fs::remove(liveryPaths.errorsFolder);
    buildDatabase({{"KLM", "B738", "KLM a", "PH-BXA", 0, false}});
    EXPECT_FALSE(fs::exists(liveryPaths.errorsFolder));
    EXPECT_EQ(logText().find("in-line regcode clashes"), std::string::npos);

    resetLiveries();
    buildDatabase(
        {{"KLM", "B738", "KLM a", "PH-BXA", 0, false}, {"KLM", "B738", "KLM b", "PH-BXA", 0, false}});
    EXPECT_TRUE(fs::exists(liveryPaths.inlineRegcodes));
}

TEST_F(RegcodeMapTest, LaterSourceReplacesAndIsReported) {
    buildWithoutInline();
    lf_addRegcodes({{"K1", {"PH-BXA", "PH-BXB"}, false}});
    lf_addRegcodes({{"K2", {"PH-BXA"}, false}, {"Not installed", {"PH-BXB"}, true}});
    EXPECT_EQ(regcodeLiveries.at("PH-BXA"), "K2");
    EXPECT_EQ(regcodeLiveries.at("PH-BXB"), "K1") << "an uninstalled title is skipped silently";
    EXPECT_EQ(regcodeReportLines,
              (std::vector<std::string>{"2 new regcodes added",
                                        "   regcode PH-BXA for 'K2', instead of the same for 'K1'",
                                        "0 new regcodes added, 1 regcode replaced"}));
    EXPECT_TRUE(specialLiveries.empty());
}

TEST_F(RegcodeMapTest, SpecialRecordsFillTheSpecialListsByTheirCodeCount) {
    buildWithoutInline();
    lf_addRegcodes({{"K1", {"PH-BXA"}, true},
                    {"K2", {"PH-BXB", "PH-BXC"}, true},
                    {"B1", {}, true},
                    {"K1", {"PH-BXD", "PH-BXD"}, false}});
    EXPECT_EQ(specialRegcodes, (std::set<std::string, std::less<>>{"PH-BXA"}));
    EXPECT_EQ(regcodeLiveries.at("PH-BXB"), "K2");
    EXPECT_EQ(regcodeLiveries.at("PH-BXC"), "K2");
    EXPECT_EQ(specialLiveries, (std::vector<TitleView>{"K1", "K2", "B1"}))
        << "a record without codes counts too";
    EXPECT_TRUE(gf_isSpecialLivery("B1"));
    EXPECT_FALSE(gf_isSpecialLivery("B2"));
    EXPECT_EQ(regcodeReportLines.back(), "4 new regcodes added, 3 regcodes defined as special")
        << "a code given twice in one record finds its own title the second time";
}

TEST_F(RegcodeMapTest, ClearEmptiesTheMapAndTheSpecialLists) {
    buildWithoutInline();
    lf_addRegcodes({{"K1", {"PH-BXA"}, true}});
    gf_clearLiveryDatabase();
    EXPECT_TRUE(regcodeLiveries.empty());
    EXPECT_TRUE(specialRegcodes.empty());
    EXPECT_TRUE(specialLiveries.empty());
    EXPECT_FALSE(gf_isSpecialLivery("K1"));
}

} // namespace
} // namespace kvr
