#include "refdata/similar_types.h"

#include "refdata/aircraft_dbase_internal.h"
#include "refdata_fixtures.h"

#include <algorithm>
#include <map>
#include <set>

namespace kvr {
namespace {

using test::WorkingFolder;
using V = std::vector<std::string>;

// The livery data base as far as the similar types see it.
class FakeLiveries : public LiveryIndexView {
public:
    std::map<std::string, std::set<std::string>> models; // airline -> models with liveries
    std::string light = "C172", buzjet = "C25A", helicopter;

    std::vector<std::string> airlineCodes() const override {
        V codes;
        for (const auto& [airline, unused] : models)
            codes.push_back(airline);
        return codes;
    }
    bool liveryExists(const std::string& airline, const std::string& model) const override {
        const auto it = models.find(airline);
        return it != models.end() && it->second.contains(model);
    }
    std::string randomLightAircraftLivery() const override { return light; }
    std::string randomBuzjetLivery() const override { return buzjet; }
    std::string randomHelicopterLivery() const override { return helicopter; }
};

V sorted(V types) {
    std::sort(types.begin(), types.end());
    return types;
}

class SimilarTypesTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeEncrypted(work / "input" / "dbase.enc", R"(<dbase><types>
            <type icao="B738" category="2" similar="B737,B739,B38M"/>
            <type icao="B737" category="2"/>
            <type icao="B744" category="3" similar="B748,B77W"/>
            <type icao="C172" category="0"/>
            <type icao="C25A" category="1"/>
            <type icao="EC35" category="5"/>
            <type icao="F16" category="4"/>
        </types></dbase>)");
        ASSERT_TRUE(lf_readDbaseFile("input/dbase.enc"));
        gf_installLiveryIndexView(&liveries);
    }
    void TearDown() override {
        gf_installLiveryIndexView(nullptr);
        gf_buildSimilarTypes();
    }
    WorkingFolder work;
    FakeLiveries liveries;
};

TEST_F(SimilarTypesTest, SimilarTypesAreAShuffledCopyOfTheList) {
    EXPECT_EQ(sorted(gf_getSimilarTypes("B738")), (V{"B38M", "B737", "B739"}));
    std::set<V> orders;
    for (int i = 0; i < 60; ++i)
        orders.insert(gf_getSimilarTypes("B738"));
    EXPECT_GT(orders.size(), 1u) << "the order changes from call to call";
}

TEST_F(SimilarTypesTest, TypesWithoutAListFallBackByCategory) {
    EXPECT_EQ(gf_getSimilarTypes("C172"), (V{"C172"})) << "light: a random installed light model";
    EXPECT_EQ(gf_getSimilarTypes("C25A"), (V{"C25A"})) << "buzjet";
    EXPECT_EQ(gf_getSimilarTypes("EC35"), V{}) << "rotorcraft, but none installed";
    liveries.helicopter = "R44";
    EXPECT_EQ(gf_getSimilarTypes("EC35"), (V{"R44"}));
    EXPECT_EQ(gf_getSimilarTypes("B737"), V{}) << "large: no fallback";
    EXPECT_EQ(gf_getSimilarTypes("F16"), V{}) << "high performance: no fallback";
    EXPECT_EQ(gf_getSimilarTypes("UNKN"), V{}) << "unknown types are large";
    gf_installLiveryIndexView(nullptr);
    EXPECT_EQ(gf_getSimilarTypes("C172"), V{}) << "no livery data base: nothing installed";
    EXPECT_EQ(sorted(gf_getSimilarTypes("B738")).size(), 3u) << "the list itself needs no liveries";
}

TEST_F(SimilarTypesTest, PerAirlineListsHoldOnlyTypesTheAirlineHas) {
    liveries.models = {
        {"KLM", {"B737", "B739", "B77W"}},
        {"DLH", {"B738", "B748"}},
        {"EZY", {"A320"}},
    };
    gf_buildSimilarTypes();
    EXPECT_EQ(sorted(gf_lookupTwoLevelList("KLM", "B738")), (V{"B737", "B739"}));
    EXPECT_EQ(gf_lookupTwoLevelList("KLM", "B744"), (V{"B77W"}));
    EXPECT_EQ(gf_lookupTwoLevelList("DLH", "B738"), V{}) << "DLH has B738 liveries itself";
    EXPECT_EQ(gf_lookupTwoLevelList("DLH", "B744"), (V{"B748"}));
    EXPECT_EQ(gf_lookupTwoLevelList("EZY", "B738"), V{}) << "no similar type available";
    EXPECT_EQ(gf_lookupTwoLevelList("KLM", "B737"), V{}) << "B737 has no similar list";
    EXPECT_EQ(gf_lookupTwoLevelList("XXX", "B738"), V{});
    EXPECT_EQ(gf_lookupTwoLevelList("klm", "B738"), V{}) << "case-sensitive";
    EXPECT_NE(work.log().find("3 similar model definitions"), std::string::npos) << work.log();

    liveries.models.erase("KLM");
    gf_buildSimilarTypes();
    EXPECT_EQ(gf_lookupTwoLevelList("KLM", "B738"), V{}) << "a rebuild starts from scratch";
    EXPECT_EQ(gf_lookupTwoLevelList("DLH", "B744"), (V{"B748"}));
}

} // namespace
} // namespace kvr
