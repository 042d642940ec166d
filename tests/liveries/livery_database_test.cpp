#include "core/status_display.h"
#include "core/user_error.h"
#include "liveries/livery_database_internal.h"
#include "livery_fixtures.h"
#include "settings/parameter_table.h"
#include "support/recording_control_port.h"

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <set>
#include <string>
#include <thread>
#include <vector>

namespace kvr {
namespace {

class LiveryDatabaseTest : public test::LiveryTest {
protected:
    void SetUp() override {
        LiveryTest::SetUp();
        addTypes({{"B738", AircraftCategory::large, {}},
                  {"A320", AircraftCategory::large, {}},
                  {"B744", AircraftCategory::heavy, {}},
                  {"C172", AircraftCategory::light, {}},
                  {"DA40", AircraftCategory::light, {}},
                  {"EC35", AircraftCategory::rotorcraft, {}},
                  {"C56X", AircraftCategory::buzjet, {}},
                  {"F16", AircraftCategory::highPerformance, {}}});
    }
    std::string savedValue(const std::string& name) {
        pugi::xml_document doc;
        if (!doc.load_file(parametersFilePath.c_str()))
            return "<no file>";
        for (const pugi::xml_node parameter : doc.child("root").child("parameters").children("parameter"))
            if (name == parameter.attribute("name").value())
                return parameter.attribute("value").value();
        return "<absent>";
    }
    test::RecordingControlPort port;
};

const std::vector<LiveryData> sampleFleet = {
    {"KLM", "B738", "KLM B738 1", "", 0, false},    {"KLM", "B738", "KLM B738 2", "", 0, false},
    {"KLM", "B738", "KLM B738 cargo", "", 0, true}, {"MPH", "B744", "Martinair 1", "", 0, true},
    {"MPH", "B744", "Martinair 2", "", 0, true},    {"BAW", "A320", "BA A320", "", 0, false},
    {"PVT", "C172", "Private C172", "", 0, false},  {"ZZZ", "C172", "Generic C172", "", 0, false},
    {"ZZZ", "DA40", "Generic DA40", "", 0, false},  {"KLMX", "A320", "Four letters", "", 0, false},
};

TEST_F(LiveryDatabaseTest, TablesHoldEachTitleOnceAndViewsPointAtTheOwnedStrings) {
    buildDatabase(sampleFleet);
    std::set<const char*> owned;
    std::size_t titleCount = 0;
    for (const auto& [airline, models] : airlineModelTitles)
        for (const auto& [model, titles] : models) {
            ASSERT_FALSE(titles.empty());
            for (const TitleEntry& entry : titles) {
                owned.insert(entry.title.data());
                ++titleCount;
            }
        }
    EXPECT_EQ(titleCount, sampleFleet.size());
    EXPECT_EQ(owned.size(), sampleFleet.size());

    std::size_t viewCount = 0;
    for (const auto& liveries : airlineModelLiveries)
        for (const auto& [airline, models] : liveries) {
            ASSERT_FALSE(models.empty()) << airline;
            for (const auto& [model, titles] : models) {
                ASSERT_FALSE(titles.empty()) << airline << " " << model;
                for (const TitleView title : titles) {
                    EXPECT_EQ(owned.count(title.data()), 1u) << title;
                    ++viewCount;
                }
            }
        }
    EXPECT_EQ(viewCount, sampleFleet.size());
    std::size_t poolCount = 0;
    for (const auto& pool : modelLiveryPools)
        for (const auto& [model, titles] : pool)
            for (const TitleView title : titles) {
                EXPECT_EQ(owned.count(title.data()), 1u) << title;
                ++poolCount;
            }
    EXPECT_EQ(poolCount, sampleFleet.size());

    EXPECT_EQ(airlineModelLiveries[paxIndex].at("KLM").at("B738").size(), 2u);
    EXPECT_EQ(airlineModelLiveries[cargoIndex].at("KLM").at("B738"),
              std::vector<TitleView>{"KLM B738 cargo"});
    EXPECT_EQ(airlineModelLiveries[paxIndex].count("MPH"), 0u) << "no empty inner map";
    EXPECT_EQ(modelLiveryPools[paxIndex].at("C172").size(), 2u);
    EXPECT_EQ(modelLiveryPools[cargoIndex].count("C172"), 0u);
    EXPECT_EQ(gf_findLiveryTitle("Martinair 2").data(),
              airlineModelLiveries[cargoIndex].at("MPH").at("B744")[1].data());
    EXPECT_TRUE(gf_findLiveryTitle("martinair 2").empty());
}

TEST_F(LiveryDatabaseTest, BuildLogsCountsAndShowsTheLiveryCount) {
    buildDatabase(sampleFleet);
    EXPECT_EQ(statusDisplay.liveryCount.load(), sampleFleet.size());
    EXPECT_TRUE(liveriesProcessed.load());
    EXPECT_TRUE(scannedLiveries.empty());
    EXPECT_TRUE(logHas("10 liveries read from "));
    EXPECT_TRUE(logHas("\n0 registration codes\n"));
    EXPECT_TRUE(logHas("\n6 airlines, 4 pax aircraft models and 2 cargo aircraft models\n"));
    EXPECT_TRUE(logHas("similar model definitions\n"));
}

TEST_F(LiveryDatabaseTest, AccessorsAnswerFromTheTitleOwner) {
    buildDatabase(sampleFleet);
    EXPECT_TRUE(gf_liveryExists("KLM", "B738"));
    EXPECT_TRUE(gf_liveryExists("MPH", "B744")) << "cargo counts";
    EXPECT_FALSE(gf_liveryExists("KLM", "B744"));
    EXPECT_FALSE(gf_liveryExists("XXX", "B738"));
    std::vector<std::string> codes = gf_airlineCodes();
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(codes, (std::vector<std::string>{"BAW", "KLM", "KLM", "MPH", "PVT", "ZZZ"}))
        << "a four-letter airline comes back cut to three";
    EXPECT_EQ(lightModels, (std::vector<std::string>{"C172", "DA40"}));
    EXPECT_TRUE(buzjetModels.empty());
    EXPECT_TRUE(gf_randomBuzjetLivery().empty());
    std::set<std::string> drawn;
    for (int i = 0; i < 200; ++i)
        drawn.insert(gf_randomLightAircraftLivery());
    EXPECT_EQ(drawn, (std::set<std::string>{"C172", "DA40"}));
}

TEST_F(LiveryDatabaseTest, CategorySummariesAndSwitchOffs) {
    HELICOPTERS.setValue(true);
    HIGH_PERF_AIRCRAFT.setValue(false);
    buildDatabase({{"KLM", "B738", "KLM B738", "", 0, false},
                   {"MPH", "B744", "MPH 1", "", 0, true},
                   {"MPH", "B744", "MPH 2", "", 0, true},
                   {"PVT", "C172", "Private C172", "", 0, false},
                   {"PVT", "C172", "Private C172 cargo", "", 0, true}});
    EXPECT_TRUE(logHas("\nCategory Light: 1 pax liverie and 1 cargo liverie\n  C172\n"));
    EXPECT_TRUE(logHas("\nCategory Buzjets: No livery found\n"));
    EXPECT_TRUE(logHas("\nCategory Large: 1 pax liverie\n  B738\n"));
    EXPECT_TRUE(logHas("\nCategory Heavy: 0 pax liveries and 2 cargo liveries\n  B744\n"));
    EXPECT_TRUE(logHas("\nCategory HighPerf: No livery found\n"));
    EXPECT_TRUE(logHas("\nCategory Rotorcraft: No livery found\n"));
    EXPECT_TRUE(
        logHas("HELICOPTERS temporarily switched off because you do not have Helicopters installed\n"));
    EXPECT_FALSE(logHas("HIGH_PERF_AIRCRAFT temporarily")) << "already off: nothing to switch";
    EXPECT_FALSE(HELICOPTERS.value());
    EXPECT_EQ(savedValue("HELICOPTERS"), "false");
    EXPECT_FALSE(port.enabled.at(HELICOPTERS.controlId));
    EXPECT_FALSE(port.enabled.at(HIGH_PERF_AIRCRAFT.controlId));
    EXPECT_TRUE(port.enabled.at(LIGHT_AIRCRAFT.controlId));
    EXPECT_TRUE(LIGHT_AIRCRAFT.value());
    EXPECT_EQ(lightModels, std::vector<std::string>{"C172"}) << "a model in both pools is listed once";
    EXPECT_TRUE(logHas("\nNo generic liveries\n"));
}

TEST_F(LiveryDatabaseTest, LightAircraftAreSwitchedOffWithoutALightLivery) {
    LIGHT_AIRCRAFT.setValue(true);
    buildDatabase({{"KLM", "B738", "KLM B738", "", 0, false}});
    EXPECT_TRUE(
        logHas("LIGHT_AIRCRAFT temporarily switched off because you do not have light aircraft installed\n"));
    EXPECT_TRUE(logHas("HIGH_PERF_AIRCRAFT temporarily switched off because you do not have High Perf "
                       "aircraft installed\n"));
    EXPECT_EQ(savedValue("LIGHT_AIRCRAFT"), "false");
    EXPECT_EQ(savedValue("HIGH_PERF_AIRCRAFT"), "false");
    EXPECT_FALSE(port.checks.at(LIGHT_AIRCRAFT.controlId));
}

TEST_F(LiveryDatabaseTest, GenericLiveriesAreCountedByModel) {
    buildDatabase({{"ZZZ", "B738", "Generic 1", "", 0, false}, {"ZZZ", "B738", "Generic 2", "", 0, true}});
    EXPECT_TRUE(logHas("\n1 model have a generic livery\n  B738\n"));
    resetLiveries();
    buildDatabase({{"ZZZ", "B738", "Generic 1", "", 0, false}, {"ZZZ", "A320", "Generic 2", "", 0, false}});
    EXPECT_TRUE(logHas("\n2 models have a generic livery\n  A320,B738\n"));
}

TEST_F(LiveryDatabaseTest, ModelListsAreLoggedTwentyALine) {
    std::vector<std::string> models;
    for (int i = 0; i < 41; ++i)
        models.push_back(fmt::format("M{:02}", i));
    lf_logCategoryList(false, true, false, models);
    EXPECT_EQ(buzjetModels, models);
    std::string expected;
    for (int line = 0; line < 3; ++line) {
        expected += "  ";
        for (int i = line * 20; i < std::min(41, line * 20 + 20); ++i)
            expected +=
                models[static_cast<std::size_t>(i)] + (i + 1 < std::min(41, line * 20 + 20) ? "," : "\n");
    }
    EXPECT_TRUE(logHas(expected)) << logText();
    lf_logCategoryList(false, false, false, {"X1"});
    EXPECT_EQ(buzjetModels.size(), 41u) << "no flag: no list filled";
}

TEST_F(LiveryDatabaseTest, SecondBuildOnlyLogsTheSkipAndAFailedReadCanBeRetried) {
    scannedLiveries.assign(sampleFleet.begin(), sampleFleet.end());
    EXPECT_THROW(gf_processScannedLiveries(), UserErrorException) << "no catalogue yet";
    EXPECT_FALSE(liveriesProcessed.load());
    buildDatabase(sampleFleet);
    const std::size_t airlines = airlineModelTitles.size();
    scannedLiveries.assign(sampleFleet.begin(), sampleFleet.end());
    gf_processScannedLiveries();
    EXPECT_TRUE(logHas("Processing scanned liveries skipped; already done in previous start-up\n"));
    EXPECT_TRUE(scannedLiveries.empty());
    EXPECT_EQ(airlineModelTitles.size(), airlines);
}

TEST_F(LiveryDatabaseTest, ClearFromAnotherThreadWaitsForTheNextBuild) {
    buildDatabase(sampleFleet);
    const TitleView before = gf_findLiveryTitle("BA A320");
    std::thread([] {
        gf_clearLiveryDatabase();
        liveriesProcessed.store(false);
    }).join();
    EXPECT_EQ(gf_findLiveryTitle("BA A320").data(), before.data()) << "the run thread's views stay valid";
    EXPECT_EQ(before, "BA A320");

    scannedLiveries.assign(sampleFleet.begin(), sampleFleet.begin() + 2);
    lf_writeLiveriesScanned();
    scannedLiveries.clear();
    gf_processScannedLiveries();
    EXPECT_TRUE(gf_findLiveryTitle("BA A320").empty()) << "rebuilt from the new catalogue";
    EXPECT_EQ(airlineModelTitles.size(), 1u);

    gf_clearLiveryDatabase();
    EXPECT_TRUE(airlineModelTitles.empty()) << "on the building thread the clear is at once";
    EXPECT_TRUE(modelLiveryPools[paxIndex].empty());
    EXPECT_TRUE(airlineModelLiveries[paxIndex].empty());
    EXPECT_TRUE(lightModels.empty());
}

} // namespace
} // namespace kvr
