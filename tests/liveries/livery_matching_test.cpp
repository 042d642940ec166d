#include "liveries/livery_matching.h"
#include "liveries/livery_matching_internal.h"
#include "liveries/regcode_map.h"
#include "livery_fixtures.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <vector>

namespace kvr {
namespace {

using TitleSet = std::set<std::string>;

MatchSubject subject(std::string op, std::string type, std::string registration = "", bool cargo = false) {
    MatchSubject record;
    record.operatorCode = std::move(op);
    record.icaoType = std::move(type);
    record.registration = std::move(registration);
    record.category = gf_getAircraftCategory(record.icaoType);
    record.cargo = cargo;
    return record;
}

// An aircraft built to reach exactly one step: no earlier step can give it a livery.
struct StepCase {
    const char* name;
    MatchSubject record;
    int step;
    int minimumDepth; // below it the aircraft gets no livery at all
    TitleSet titles;  // the titles the step may give
};

class LiveryMatchingTest : public test::LiveryTest {
protected:
    void SetUp() override {
        LiveryTest::SetUp();
        addTypes({{"B738", AircraftCategory::large, {}},
                  {"B38M", AircraftCategory::large, {}},
                  {"B739", AircraftCategory::large, {"B738", "B772"}},
                  {"A20N", AircraftCategory::large, {}},
                  {"A320", AircraftCategory::large, {}},
                  {"B772", AircraftCategory::heavy, {}},
                  {"B744", AircraftCategory::heavy, {}},
                  {"B77W", AircraftCategory::heavy, {}},
                  {"C152", AircraftCategory::light, {"C172"}},
                  {"C172", AircraftCategory::light, {}},
                  {"PA28", AircraftCategory::light, {}},
                  {"DA40", AircraftCategory::light, {}}});
        addRegistration("PH-HSA", "TRA", "B738", "TRA");
        addRegistration("PH-HSB", "TRA", "B739", "TRA");
        addRegistration("PH-NOP", "TRA", "B738", "");
        buildDatabase({{"KLM", "B738", "KLM B738 1", "", 0, false},
                       {"KLM", "B738", "KLM B738 2", "", 0, false},
                       {"KLM", "B738", "KLM B738 PH-BXA", "PH-BXA", 0, false},
                       {"KLM", "B738", "KLM B738 PH-BXB", "PH-BXB", 0, false},
                       {"TRA", "B738", "TRA B738 1", "", 0, false},
                       {"TRA", "B38M", "TRA B38M 1", "", 0, false},
                       {"UAL", "B772", "UAL B772 1", "", 0, false},
                       {"ZZZ", "C172", "Generic C172", "", 0, false},
                       {"ZZZ", "DA40", "Generic DA40", "", 0, false},
                       {"PVT", "PA28", "Private PA28", "", 0, false},
                       {"PVT", "C172", "Private C172", "", 0, false},
                       {"ZZZ", "B744", "Generic B744", "", 0, false},
                       {"MPH", "B744", "MPH B744 cargo", "", 0, true},
                       {"KLM", "B77W", "KLM B77W", "", 0, false},
                       {"EZY", "A20N", "EZY A20N", "", 0, false},
                       {"BAW", "A320", "FSLTL_BAW_A320", "", 0, false},
                       {"SPC", "B738", "Only special", "", 0, false},
                       {"AAL", "B738", "AAL B738 1", "", 0, false},
                       {"AAL", "B772", "AAL B772 1", "", 0, false}});
        // What the AIG document would add: one airframe's own paint, and a special fleet livery.
        lf_addRegcodes({{"KLM B738 PH-BXA", {"PH-BXA"}, true}, {"Only special", {"PH-SPA", "PH-SPB"}, true}});
        gf_installMatchHooks({});
        // The counters only grow in the program; each test starts them from zero.
        matchStepCounters = {};
    }
    void TearDown() override {
        gf_installMatchHooks({});
        LiveryTest::TearDown();
    }

    static std::vector<StepCase> liveCases() {
        return {
            {"special registration", subject("KLM", "B738", "PH-BXA"), 0, 1, {"KLM B738 PH-BXA"}},
            {"registration", subject("", "B738", "PH-BXB"), 1, 1, {"KLM B738 PH-BXB"}},
            {"special fleet registration", subject("XYZ", "A20N", "PH-SPB"), 1, 1, {"Only special"}},
            {"operator", subject("TRA", "B38M"), 2, 2, {"TRA B38M 1"}},
            {"registration's airline", subject("XYZ", "B738", "PH-HSA"), 2, 2, {"TRA B738 1"}},
            {"private", subject("PVT", "C172"), 4, 2, {"Generic C172"}},
            {"alternative model",
             subject("KLM", "B739"),
             3,
             3,
             {"KLM B738 1", "KLM B738 2", "KLM B738 PH-BXB"}},
            {"registration's alternative", subject("XYZ", "B739", "PH-HSB"), 3, 3, {"TRA B738 1"}},
            {"generic light", subject("XYZ", "DA40"), 4, 3, {"Generic DA40"}},
            {"generic heavy", subject("DAL", "B744"), 4, 4, {"Generic B744"}},
            {"model pool", subject("XYZ", "PA28"), 5, 3, {"Private PA28"}},
            {"similar model pool", subject("XYZ", "C152"), 6, 3, {"Generic C172", "Private C172"}},
        };
    }
    static std::string matchLine(const MatchSubject& record, int step) {
        return fmt::format("          {} {:3} {:4} ={}= {}\n", record.registration, record.operatorCode,
                           record.icaoType, step, record.liveryTitle);
    }
};

TEST_F(LiveryMatchingTest, LiveAircraftReachExactlyTheirStepAtEachDepth) {
    for (int depth = 1; depth <= 4; ++depth) {
        MATCHING_DEPTH.setValue(depth);
        for (const StepCase& c : liveCases()) {
            SCOPED_TRACE(fmt::format("{} at depth {}", c.name, depth));
            const auto before = matchStepCounters;
            MatchSubject record = c.record;
            gf_matchLiveAircraftLivery(record);
            std::array<std::int32_t, matchStepCount> expectedCounters = before;
            if (depth >= c.minimumDepth) {
                EXPECT_EQ(c.titles.count(std::string(record.liveryTitle)), 1u) << record.liveryTitle;
                ++expectedCounters[static_cast<std::size_t>(c.step)];
                EXPECT_TRUE(logHas(matchLine(record, c.step)));
            } else {
                EXPECT_TRUE(record.liveryTitle.empty()) << record.liveryTitle;
            }
            EXPECT_EQ(matchStepCounters, expectedCounters);
        }
    }
}

TEST_F(LiveryMatchingTest, StaticAircraftReachExactlyTheirStepAtEachDepth) {
    const MatchStand stand{"D7", false};
    for (int depth = 1; depth <= 4; ++depth) {
        MATCHING_DEPTH.setValue(depth);
        for (const StepCase& c : liveCases()) {
            SCOPED_TRACE(fmt::format("{} at depth {}", c.name, depth));
            MatchSubject record = c.record;
            const bool matched = gf_matchStaticAircraftLivery(record, stand);
            EXPECT_EQ(matched, depth >= c.minimumDepth);
            if (matched) {
                EXPECT_EQ(c.titles.count(std::string(record.liveryTitle)), 1u) << record.liveryTitle;
                EXPECT_TRUE(logHas(matchLine(record, c.step)));
            } else {
                EXPECT_TRUE(record.liveryTitle.empty());
                EXPECT_TRUE(logHas(fmt::format("D7      : {} {:3} {:4} no livery match ...\n",
                                               record.registration, record.operatorCode, record.icaoType)));
            }
        }
    }
    EXPECT_EQ(matchStepCounters, (std::array<std::int32_t, matchStepCount>{}))
        << "static matches are not counted";
}

TEST_F(LiveryMatchingTest, StaticMatcherTriesAirlinesWithoutOperatorAndAlternativesOfAnyCategory) {
    MATCHING_DEPTH.setValue(3);
    MatchSubject noOperator = subject("", "B738", "PH-HSA");
    MatchSubject live = noOperator;
    gf_matchLiveAircraftLivery(live);
    EXPECT_TRUE(live.liveryTitle.empty()) << "a live aircraft needs an operator for the airline steps";
    EXPECT_TRUE(gf_matchStaticAircraftLivery(noOperator, {"A1", false}));
    EXPECT_EQ(noOperator.liveryTitle, "TRA B738 1");

    MatchSubject heavyAlternative = subject("UAL", "B739");
    live = heavyAlternative;
    gf_matchLiveAircraftLivery(live);
    EXPECT_TRUE(live.liveryTitle.empty()) << "a large aircraft never flies a heavy alternative";
    EXPECT_TRUE(gf_matchStaticAircraftLivery(heavyAlternative, {"A2", false}));
    EXPECT_EQ(heavyAlternative.liveryTitle, "UAL B772 1");
    EXPECT_TRUE(logHas(matchLine(heavyAlternative, 3)));
}

TEST_F(LiveryMatchingTest, StaticMatcherGoesOnToTheNextAlternativeAfterAFailedTitle) {
    // The alternatives of B739 for AAL are B738 and B772 in random order; the B738 title has failed.
    MATCHING_DEPTH.setValue(3);
    gf_installMatchHooks({[](std::string_view title) { return title == "AAL B738 1"; }, {}, {}, {}});
    for (int draw = 0; draw < 50; ++draw) {
        MatchSubject record = subject("AAL", "B739");
        EXPECT_TRUE(gf_matchStaticAircraftLivery(record, {"A3", false}));
        EXPECT_EQ(record.liveryTitle, "AAL B772 1");
    }
}

TEST_F(LiveryMatchingTest, CargoAircraftTakeNoPassengerLiveryFromTheModelPools) {
    // PA28 has only a passenger livery, and no light model has a cargo one.
    MATCHING_DEPTH.setValue(4);
    MatchSubject live = subject("XYZ", "PA28", "", true);
    gf_matchLiveAircraftLivery(live);
    EXPECT_TRUE(live.liveryTitle.empty()) << live.liveryTitle;
    MatchSubject parked = subject("XYZ", "PA28");
    EXPECT_FALSE(gf_matchStaticAircraftLivery(parked, {"F1", true})) << parked.liveryTitle;
}

TEST_F(LiveryMatchingTest, SimilarModelPoolsHoldEveryAirlinesLiveries) {
    // C152 has no livery; its similar model C172 has a generic and a private one.
    MATCHING_DEPTH.setValue(3);
    TitleSet titles;
    for (int draw = 0; draw < 200; ++draw) {
        MatchSubject record = subject("XYZ", "C152");
        gf_matchLiveAircraftLivery(record);
        titles.insert(std::string(record.liveryTitle));
    }
    EXPECT_EQ(titles, (TitleSet{"Generic C172", "Private C172"}));
    EXPECT_EQ(matchStepCounters[6], 200);
}

TEST_F(LiveryMatchingTest, RegistrationOwnerWithoutOperatorIsNotAsked) {
    MATCHING_DEPTH.setValue(4);
    MatchSubject record = subject("XYZ", "B738", "PH-NOP");
    gf_matchLiveAircraftLivery(record);
    EXPECT_TRUE(record.liveryTitle.empty()) << "the registration's airline counts only with an operator";
}

TEST_F(LiveryMatchingTest, StaticMatcherKeepsATitleAndTakesCargoFromTheStand) {
    MATCHING_DEPTH.setValue(2);
    MatchSubject kept = subject("KLM", "B738");
    kept.liveryTitle = gf_findLiveryTitle("KLM B738 2");
    EXPECT_TRUE(gf_matchStaticAircraftLivery(kept, {"B12", true}));
    EXPECT_EQ(kept.liveryTitle, "KLM B738 2");
    EXPECT_TRUE(logHas(fmt::format("          {} {:3} {:4} =s= {}\n", "", "KLM", "B738", "KLM B738 2")));

    MatchSubject freighter = subject("MPH", "B744");
    EXPECT_TRUE(gf_matchStaticAircraftLivery(freighter, {"C1", true}));
    EXPECT_TRUE(freighter.cargo);
    EXPECT_EQ(freighter.liveryTitle, "MPH B744 cargo");

    MatchSubject passenger = subject("MPH", "B744", "", true);
    EXPECT_FALSE(gf_matchStaticAircraftLivery(passenger, {"G1", false}))
        << "a pax stand makes a pax aircraft";
    EXPECT_FALSE(passenger.cargo);
}

TEST_F(LiveryMatchingTest, CargoFallsBackToPaxButPaxNeverGetsCargo) {
    MATCHING_DEPTH.setValue(2);
    MatchSubject freighter = subject("TRA", "B738", "", true);
    gf_matchLiveAircraftLivery(freighter);
    EXPECT_EQ(freighter.liveryTitle, "TRA B738 1");
    MatchSubject passenger = subject("MPH", "B744");
    gf_matchLiveAircraftLivery(passenger);
    EXPECT_TRUE(passenger.liveryTitle.empty());
    MatchSubject cargo = subject("MPH", "B744", "", true);
    gf_matchLiveAircraftLivery(cargo);
    EXPECT_EQ(cargo.liveryTitle, "MPH B744 cargo");
}

TEST_F(LiveryMatchingTest, PoolsAreForLightBuzjetAndRotorcraftOnly) {
    MATCHING_DEPTH.setValue(4);
    for (const char* type : {"A20N", "B77W"}) {
        MatchSubject record = subject("XYZ", type);
        gf_matchLiveAircraftLivery(record);
        EXPECT_TRUE(record.liveryTitle.empty()) << type;
        EXPECT_FALSE(gf_matchStaticAircraftLivery(record, {"X", false})) << type;
    }
}

TEST_F(LiveryMatchingTest, FailedTitlesNeverComeBackAndTheNextStepRuns) {
    MATCHING_DEPTH.setValue(4);
    gf_installMatchHooks(
        {[](std::string_view title) { return title == "KLM B738 PH-BXB" || title == "KLM B738 1"; },
         {},
         {},
         {}});
    int matched = 0;
    for (int draw = 0; draw < 2000; ++draw) {
        MatchSubject record = subject("KLM", "B738", "PH-BXB");
        gf_matchLiveAircraftLivery(record);
        EXPECT_NE(record.liveryTitle, "KLM B738 PH-BXB");
        EXPECT_NE(record.liveryTitle, "KLM B738 1");
        if (!record.liveryTitle.empty()) {
            EXPECT_EQ(record.liveryTitle, "KLM B738 2");
            ++matched;
        }
        MatchSubject parked = subject("KLM", "B738", "PH-BXB");
        if (gf_matchStaticAircraftLivery(parked, {"S", false})) {
            EXPECT_NE(parked.liveryTitle, "KLM B738 PH-BXB");
            EXPECT_NE(parked.liveryTitle, "KLM B738 1");
        }
    }
    EXPECT_GT(matched, 0);
    EXPECT_EQ(matchStepCounters[1], 0) << "the refused registration step is never counted";
    EXPECT_EQ(matchStepCounters[2], matched);
}

TEST_F(LiveryMatchingTest, RandomPicksAvoidSpecialLiveriesUnlessThereIsNoOther) {
    MATCHING_DEPTH.setValue(2);
    std::set<std::string> titles;
    for (int draw = 0; draw < 1000; ++draw) {
        MatchSubject record = subject("KLM", "B738");
        gf_matchLiveAircraftLivery(record);
        titles.insert(std::string(record.liveryTitle));
    }
    EXPECT_EQ(titles, (TitleSet{"KLM B738 1", "KLM B738 2", "KLM B738 PH-BXB"}));

    MatchSubject onlySpecial = subject("SPC", "B738");
    gf_matchLiveAircraftLivery(onlySpecial);
    EXPECT_EQ(onlySpecial.liveryTitle, "Only special") << "the fifth try stays when all are special";
}

TEST_F(LiveryMatchingTest, PickLeavesTheTitleAloneWithoutCandidates) {
    MatchSubject record = subject("KLM", "B738");
    record.liveryTitle = gf_findLiveryTitle("KLM B738 2");
    lf_pickLivery(record, {});
    EXPECT_EQ(record.liveryTitle, "KLM B738 2");
    EXPECT_FALSE(lf_matchAirlineModel(record, "XXX", "B738", paxIndex));
    EXPECT_EQ(record.liveryTitle, "KLM B738 2") << "a lookup without its key changes nothing";
}

TEST_F(LiveryMatchingTest, FsltlFlagFollowsTheTitle) {
    MATCHING_DEPTH.setValue(2);
    MatchSubject record = subject("BAW", "A320");
    gf_matchLiveAircraftLivery(record);
    EXPECT_TRUE(record.fsltl);
    record = subject("TRA", "B38M");
    record.fsltl = true;
    gf_matchLiveAircraftLivery(record);
    EXPECT_FALSE(record.fsltl);
}

TEST_F(LiveryMatchingTest, SummaryIsSilentUntilTheFirstLiveMatchThenListsEveryStep) {
    gf_installMatchHooks({{}, [] { return std::vector<std::string>{"KLM123 KLM B738"}; }, {}, {}});
    gf_logLiveryMatchingSummary();
    EXPECT_FALSE(logHas("livery matching summary"));

    MATCHING_DEPTH.setValue(4);
    MatchSubject record = subject("TRA", "B38M");
    gf_matchLiveAircraftLivery(record);
    gf_logLiveryMatchingSummary();
    const std::string stars31(31, '*');
    EXPECT_TRUE(logHas("\n\n" + stars31 + " live traffic livery matching summary " + stars31 +
                       "\nMatches at step: \n  0: 0\n  1: 0\n  2: 1\n  3: 0\n  4: 0\n  5: 0\n  6: 0\n"
                       "\nCould not be created by MSFS:\n  KLM123 KLM B738\n" +
                       std::string(100, '*') + "\n\n"))
        << logText();
}

TEST_F(LiveryMatchingTest, HooksNameTheAircraftInTheLog) {
    gf_installMatchHooks({{},
                          {},
                          [](const MatchSubject&) { return std::string("KLM1234 KLM B38M"); },
                          [](const MatchSubject&) { return std::string("long form"); }});
    MATCHING_DEPTH.setValue(2);
    MatchSubject record = subject("TRA", "B38M");
    gf_matchLiveAircraftLivery(record);
    EXPECT_TRUE(logHas("          KLM1234 KLM B38M =2= TRA B38M 1\n"));
    MatchSubject unknown = subject("XYZ", "A388");
    EXPECT_FALSE(gf_matchStaticAircraftLivery(unknown, {"123456789", false}));
    EXPECT_TRUE(logHas("\n123456789: long form no livery match ...\n"));
}

TEST_F(LiveryMatchingTest, ViewsStayValidUntilClearAndRebuildGivesNewOnes) {
    MATCHING_DEPTH.setValue(4);
    std::vector<MatchSubject> fleet;
    for (const StepCase& c : liveCases())
        fleet.push_back(c.record);
    for (MatchSubject& record : fleet)
        gf_matchLiveAircraftLivery(record);
    for (const MatchSubject& record : fleet)
        EXPECT_EQ(gf_findLiveryTitle(record.liveryTitle).data(), record.liveryTitle.data());

    // A rescan: the engine drops its aircraft before the data base goes.
    fleet.clear();
    gf_clearLiveryDatabase();
    liveriesProcessed.store(false);
    buildDatabase({{"KLM", "B738", "Rebuilt KLM B738 with a title far too long for any small string buffer",
                    "PH-BXA", 0, false},
                   {"ZZZ", "C172", "Rebuilt generic C172", "", 0, false}});
    MatchSubject registered = subject("KLM", "B738", "PH-BXA");
    gf_matchLiveAircraftLivery(registered);
    EXPECT_EQ(registered.liveryTitle,
              "Rebuilt KLM B738 with a title far too long for any small string buffer");
    MatchSubject similar = subject("XYZ", "C152");
    gf_matchLiveAircraftLivery(similar);
    EXPECT_EQ(similar.liveryTitle, "Rebuilt generic C172");
    MatchSubject gone = subject("TRA", "B38M");
    gf_matchLiveAircraftLivery(gone);
    EXPECT_TRUE(gone.liveryTitle.empty());
}

} // namespace
} // namespace kvr
