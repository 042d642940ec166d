#include "settings/ai_package_orders.h"
#include "settings/parameter_table.h"

#include <gtest/gtest.h>

#include <set>

namespace kvr {
namespace {

struct ControlRow {
    const char* name;
    std::uint16_t id;
    std::int32_t row;
};

// The rows of the main window, as the settings must carry them.
const ControlRow controlRows[] = {
    {"SIM_CHOICE", 32789, 119}, {"ALL_INSTALL_PATH", 32788, 119}, {"SCAN_LIVERIES", 32798, 147},
    {"LIG_AUTOMATIC", 32799, 147}, {"AI_PACKAGE_SELECTOR", 32790, 147}, {"LIG_PRIORITIZE", 32800, 147},
    {"ALWAYS_ON_TOP", 32771, 147}, {"SCAN_AIRPORTS", 32802, 175}, {"tblo", 32804, 175},
    {"NAV_LIGHTS_WHILE_PARKED", 32776, 175}, {"MATCHING_DEPTH", 32808, 203}, {"LIGHT_AIRCRAFT", 32809, 203},
    {"HELICOPTERS", 32810, 203}, {"HIGH_PERF_AIRCRAFT", 32811, 203}, {"GUID_CHANGES", 32773, 203},
    {"RANGE", 32818, 231}, {"AUTO_RANGE", 32819, 231}, {"AR_ABOVE_HEIGHT", 32820, 231},
    {"AIRBORNE_ONLY", 32821, 231}, {"TIME_SHIFT_DAYS", 32858, 231}, {"COLLISION_USER_GND", 32834, 287},
    {"COLLISION_USER_AIR", 32833, 287}, {"COLLISION_LIVE_PARKED_GND", 32835, 287}, {"SIM_TIME", 32861, 259},
    {"TIME_SHIFT_HOURS", 32859, 259}, {"BLOCK_CALLSIGN", 32828, 259}, {"Unblock", 32829, 257},
    {"cs->oid:", 32830, 257}, {"CALLSIGN_2_OBJECTID", 32831, 259}, {"Block", 32832, 257},
    {"KEEP_SIM_TIME_PAR", 32862, 287}, {"TIME_SHIFT_MINS", 32860, 287}, {"Now", 32847, 313},
    {"MAX_PARK_SEL", 32848, 315}, {"MAX_LIVE_SEL", 32849, 315}, {"DESTINATION", 32839, 343},
    {"AIRP_RANGE", 32840, 343}, {"AIRP_HEIGHT", 32841, 343}, {"STRAIGHT_PBS_ONLY", 32855, 315},
    {"INITIAL_LOAD_ONLY", 32851, 371}, {"WEEK", 32853, 371}, {"PARK_SOFT", 32852, 371},
    {"parking_percentage", 32850, 371}, {"MAX_FIT_FL", 32854, 371}, {"RT_PARKTRAFFIC_ONLY", 32856, 371},
    {"Re-read", 32838, 341}, {"Flush static", 32857, 369},
};

std::string lf_controlName(WindowControl* control) {
    if (auto* button = dynamic_cast<ButtonControl*>(control))
        return button->name();
    return dynamic_cast<Parameter*>(control)->name();
}

TEST(ParameterTable, FortySevenControlsWithTheirIdsAndRows) {
    ASSERT_EQ(gf_allControls().size(), std::size(controlRows));
    for (const ControlRow& expected : controlRows) {
        WindowControl* control = gf_findControl(expected.id);
        ASSERT_NE(control, nullptr) << expected.name;
        EXPECT_EQ(lf_controlName(control), expected.name);
        EXPECT_EQ(control->rowY, expected.row) << expected.name;
    }
}

TEST(ParameterTable, BooleanDefaults) {
    for (const char* on : {"SCAN_LIVERIES", "SCAN_AIRPORTS", "LIG_AUTOMATIC", "LIG_PRIORITIZE", "HIGH_PERF_AIRCRAFT",
                           "HELICOPTERS", "LIGHT_AIRCRAFT", "GUID_CHANGES", "NAV_LIGHTS_WHILE_PARKED", "AUTO_RANGE",
                           "COLLISION_USER_AIR", "COLLISION_USER_GND"})
        EXPECT_EQ(gf_findParameter(on)->defaultText(), "true") << on;
    for (const char* off : {"AIRBORNE_ONLY", "COLLISION_LIVE_PARKED_GND", "ALWAYS_ON_TOP", "KEEP_SIM_TIME_PAR", "SIM_TIME",
                            "STRAIGHT_PBS_ONLY", "PARK_SOFT", "WEEK", "RT_PARKTRAFFIC_ONLY", "INITIAL_LOAD_ONLY"})
        EXPECT_EQ(gf_findParameter(off)->defaultText(), "false") << off;
}

TEST(ParameterTable, NumberRangesAndChoices) {
    EXPECT_EQ(RANGE.defaultValue(), 40);
    EXPECT_EQ(RANGE.choices(), (std::vector<std::int32_t>{2, 3, 4, 5, 6, 8, 10, 12, 14, 16, 18, 20, 25, 30, 35, 40, 50,
                                                          65, 80, 100}));
    EXPECT_EQ(AR_ABOVE_HEIGHT.choices().front(), 18000);
    EXPECT_EQ(AR_ABOVE_HEIGHT.choices().back(), 48000);
    EXPECT_EQ(AR_ABOVE_HEIGHT.choices().size(), 11u);
    EXPECT_EQ(AIRP_HEIGHT.choices(), (std::vector<std::int32_t>{2000, 4000, 6000, 8000, 10000, 12000, 14000, 16000,
                                                                18000, 36000, 48000}));
    EXPECT_EQ(AIRP_RANGE.choices(), (std::vector<std::int32_t>{5, 10, 15, 20, 25, 30}));
    EXPECT_EQ(MAX_PARK_SEL.choices(), (std::vector<std::int32_t>{0, 10, 25, 50, 75, 100, 500}));
    EXPECT_EQ(MAX_LIVE_SEL.defaultValue(), 500);
    EXPECT_EQ(parking_percentage.choices().size(), 21u);
    EXPECT_FALSE(parking_percentage.isSaved());
    EXPECT_EQ(TIME_SHIFT_DAYS.maximum(), 13);
    EXPECT_EQ(TIME_SHIFT_HOURS.maximum(), 23);
    EXPECT_EQ(TIME_SHIFT_MINS.maximum(), 59);
    EXPECT_EQ(MATCHING_DEPTH.minimum(), 1);
    EXPECT_EQ(MATCHING_DEPTH.defaultValue(), 4);
    EXPECT_EQ(MAX_FIT.defaultValue(), 47);
    EXPECT_EQ(MAX_FIT.maximum(), 47);
    EXPECT_EQ(CUSTOM_PARKING_PERCENTAGE.defaultValue(), -1);
    EXPECT_EQ(CUSTOM_PARKING_PERCENTAGE.minimum(), -1);
    EXPECT_EQ(LAST_EPOCH_TIME.name(), "LAST_EPOCH_TIME:");
    EXPECT_EQ(LAST_EPOCH_TIME.maximum(), 2147483647);
    EXPECT_EQ(MAIN_WINDOW_X.defaultValue(), 400);
    EXPECT_EQ(MAIN_WINDOW_Y.defaultValue(), 20);
    EXPECT_EQ(MAIN_WINDOW_Y.minimum(), -30000);
    EXPECT_EQ(MAX_FIT_FL.choices().size(), 20u);
    EXPECT_FLOAT_EQ(MAX_FIT_FL.defaultValue(), 24.0f);
    EXPECT_FALSE(MAX_FIT_FL.isSaved());
    EXPECT_FALSE(CALLSIGN_2_OBJECTID.isSaved());
}

TEST(ParameterTable, EveryKeyOnce) {
    std::set<std::string> names;
    for (Parameter* p : gf_allParameters())
        EXPECT_TRUE(names.insert(p->name()).second) << p->name();
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(gf_liveryFolderSetting(i).name(), "lfolder" + std::to_string(i));
    for (const char* hidden : {"MSFS_INSTALL_PATH", "MSFS_2024_INSTALL_PATH", "RT_KEY", "ADDONS_SCAN_VERSION",
                               "MYSIMADDON24_VERSION"})
        EXPECT_NE(gf_findParameter(hidden), nullptr) << hidden;
}

TEST(AiPackageOrders, SixtyFourOrderingsInTheirFixedPlaces) {
    const auto texts = gf_aiPackageChoiceTexts();
    ASSERT_EQ(texts.size(), 64u);
    EXPECT_EQ(texts[0], "AIG, FSLTL, JF, MTL");
    EXPECT_EQ(texts[1], "AIG, FSLTL, MTL, JF");
    EXPECT_EQ(texts[2], "AIG, JF, FSLTL, MTL");
    EXPECT_EQ(texts[23], "MTL, JF, FSLTL, AIG");
    EXPECT_EQ(texts[24], "AIG, FSLTL, JF");
    EXPECT_EQ(texts[25], "AIG, JF, FSLTL");
    EXPECT_EQ(texts[30], "AIG, FSLTL, MTL");
    EXPECT_EQ(texts[48], "AIG, FSLTL");
    EXPECT_EQ(texts[49], "FSLTL, AIG");
    EXPECT_EQ(texts[59], "MTL, JF");
    EXPECT_EQ(texts[60], "AIG");
    EXPECT_EQ(texts[63], "MTL");
    EXPECT_EQ(std::set<std::string>(texts.begin(), texts.end()).size(), 64u);
    EXPECT_EQ(aiPackageOrders()[23].packages, (std::vector<std::string>{"MTL", "JF", "FSLTL", "AIG"}));
    EXPECT_EQ(AI_PACKAGE_SELECTOR.choices(), texts);
}

} // namespace
} // namespace kvr
