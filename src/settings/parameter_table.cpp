#include "settings/parameter_table.h"

#include "settings/ai_package_orders.h"

namespace kvr {

namespace {

std::vector<std::int32_t> lf_steps(std::int32_t first, std::int32_t last, std::int32_t step) {
    std::vector<std::int32_t> values;
    for (std::int32_t v = first; v <= last; v += step)
        values.push_back(v);
    return values;
}

std::vector<std::int32_t> lf_airportHeights() {
    auto values = lf_steps(2000, 18000, 2000);
    values.push_back(36000);
    values.push_back(48000);
    return values;
}

std::vector<float> lf_fitHours() {
    std::vector<float> values;
    for (int half = 1; half <= 10; ++half)
        values.push_back(0.5f * static_cast<float>(half));
    for (float hours : {6.f, 7.f, 8.f, 9.f, 10.f, 12.f, 15.f, 18.f, 21.f, 24.f})
        values.push_back(hours);
    return values;
}

const std::vector<std::int32_t> selectionCounts{0, 10, 25, 50, 75, 100, 500};

constexpr auto notSaved = Persistence::notSaved;

} // namespace

// Definition order is registration order: the rows of the main window first, top to bottom.
StringComboParameter SIM_CHOICE("SIM_CHOICE", "MSFS 2020", {"MSFS 2020", "MSFS 2024"}, 32789, 119);
ControlStringParameter ALL_INSTALL_PATH("ALL_INSTALL_PATH", "", 32788, 119);
CheckBoxParameter SCAN_LIVERIES("SCAN_LIVERIES", true, 32798, 147);
CheckBoxParameter LIG_AUTOMATIC("LIG_AUTOMATIC", true, 32799, 147);
StringComboParameter AI_PACKAGE_SELECTOR("AI_PACKAGE_SELECTOR", "AIG, FSLTL, JF, MTL", gf_aiPackageChoiceTexts(),
                                         32790, 147);
CheckBoxParameter LIG_PRIORITIZE("LIG_PRIORITIZE", true, 32800, 147);
CheckBoxParameter ALWAYS_ON_TOP("ALWAYS_ON_TOP", false, 32771, 147);
CheckBoxParameter SCAN_AIRPORTS("SCAN_AIRPORTS", true, 32802, 175);
ButtonControl tbloButton("tblo", 32804, 175);
CheckBoxParameter NAV_LIGHTS_WHILE_PARKED("NAV_LIGHTS_WHILE_PARKED", true, 32776, 175);
NumComboParameter MATCHING_DEPTH("MATCHING_DEPTH", 4, 1, 4, {1, 2, 3, 4}, 32808, 203);
CheckBoxParameter LIGHT_AIRCRAFT("LIGHT_AIRCRAFT", true, 32809, 203);
CheckBoxParameter HELICOPTERS("HELICOPTERS", true, 32810, 203);
CheckBoxParameter HIGH_PERF_AIRCRAFT("HIGH_PERF_AIRCRAFT", true, 32811, 203);
CheckBoxParameter GUID_CHANGES("GUID_CHANGES", true, 32773, 203);
NumComboParameter RANGE("RANGE", 40, 2, 100, {2, 3, 4, 5, 6, 8, 10, 12, 14, 16, 18, 20, 25, 30, 35, 40, 50, 65, 80, 100},
                        32818, 231);
CheckBoxParameter AUTO_RANGE("AUTO_RANGE", true, 32819, 231);
NumComboParameter AR_ABOVE_HEIGHT("AR_ABOVE_HEIGHT", 48000, 18000, 48000, lf_steps(18000, 48000, 3000), 32820, 231);
CheckBoxParameter AIRBORNE_ONLY("AIRBORNE_ONLY", false, 32821, 231);
NumComboParameter TIME_SHIFT_DAYS("TIME_SHIFT_DAYS", 0, 0, 13, lf_steps(0, 13, 1), 32858, 231);
CheckBoxParameter COLLISION_USER_GND("COLLISION_USER_GND", true, 32834, 287);
CheckBoxParameter COLLISION_USER_AIR("COLLISION_USER_AIR", true, 32833, 287);
CheckBoxParameter COLLISION_LIVE_PARKED_GND("COLLISION_LIVE_PARKED_GND", false, 32835, 287);
CheckBoxParameter SIM_TIME("SIM_TIME", false, 32861, 259);
NumComboParameter TIME_SHIFT_HOURS("TIME_SHIFT_HOURS", 0, 0, 23, lf_steps(0, 23, 1), 32859, 259);
ControlStringParameter BLOCK_CALLSIGN("BLOCK_CALLSIGN", "", 32828, 259);
ButtonControl unblockButton("Unblock", 32829, 257);
ButtonControl csToOidButton("cs->oid:", 32830, 257);
StringComboParameter CALLSIGN_2_OBJECTID("CALLSIGN_2_OBJECTID", "", {}, 32831, 259, notSaved);
ButtonControl blockButton("Block", 32832, 257);
CheckBoxParameter KEEP_SIM_TIME_PAR("KEEP_SIM_TIME_PAR", false, 32862, 287);
NumComboParameter TIME_SHIFT_MINS("TIME_SHIFT_MINS", 0, 0, 59, lf_steps(0, 59, 1), 32860, 287);
ButtonControl nowButton("Now", 32847, 313);
NumComboParameter MAX_PARK_SEL("MAX_PARK_SEL", 500, 0, 500, selectionCounts, 32848, 315);
NumComboParameter MAX_LIVE_SEL("MAX_LIVE_SEL", 500, 0, 500, selectionCounts, 32849, 315);
ControlStringParameter DESTINATION("DESTINATION", "", 32839, 343);
NumComboParameter AIRP_RANGE("AIRP_RANGE", 20, 5, 30, lf_steps(5, 30, 5), 32840, 343);
NumComboParameter AIRP_HEIGHT("AIRP_HEIGHT", 18000, 2000, 48000, lf_airportHeights(), 32841, 343);
CheckBoxParameter STRAIGHT_PBS_ONLY("STRAIGHT_PBS_ONLY", false, 32855, 315);
CheckBoxParameter INITIAL_LOAD_ONLY("INITIAL_LOAD_ONLY", false, 32851, 371);
CheckBoxParameter WEEK("WEEK", false, 32853, 371);
CheckBoxParameter PARK_SOFT("PARK_SOFT", false, 32852, 371);
NumComboParameter parking_percentage("parking_percentage", 30, 0, 100, lf_steps(0, 100, 5), 32850, 371, notSaved);
FloatComboParameter MAX_FIT_FL("MAX_FIT_FL", 24.0f, lf_fitHours(), 32854, 371, notSaved);
CheckBoxParameter RT_PARKTRAFFIC_ONLY("RT_PARKTRAFFIC_ONLY", false, 32856, 371);
ButtonControl reReadButton("Re-read", 32838, 341);
ButtonControl flushStaticButton("Flush static", 32857, 369);

// Hidden settings: no control.
StringParameter MSFS_INSTALL_PATH("MSFS_INSTALL_PATH", "");
StringParameter MSFS_2024_INSTALL_PATH("MSFS_2024_INSTALL_PATH", "");
NumParameter MAIN_WINDOW_X("MAIN_WINDOW_X", 400, -30000, 30000);
NumParameter MAIN_WINDOW_Y("MAIN_WINDOW_Y", 20, -30000, 30000);
NumParameter MAX_FIT("MAX_FIT", 47, 0, 47);
NumParameter CUSTOM_PARKING_PERCENTAGE("CUSTOM_PARKING_PERCENTAGE", -1, -1, 100);
NumParameter LAST_EPOCH_TIME("LAST_EPOCH_TIME:", 0, 0, 2147483647);
StringParameter RT_KEY("RT_KEY", "");
StringParameter ADDONS_SCAN_VERSION("ADDONS_SCAN_VERSION", "");
StringParameter MYSIMADDON24_VERSION("MYSIMADDON24_VERSION", "");
StringParameter lfolder0("lfolder0", "");
StringParameter lfolder1("lfolder1", "");
StringParameter lfolder2("lfolder2", "");
StringParameter lfolder3("lfolder3", "");
StringParameter lfolder4("lfolder4", "");
StringParameter lfolder5("lfolder5", "");
StringParameter lfolder6("lfolder6", "");
StringParameter lfolder7("lfolder7", "");
StringParameter lfolder8("lfolder8", "");
StringParameter lfolder9("lfolder9", "");

StringParameter& gf_liveryFolderSetting(int index) {
    static StringParameter* const folders[] = {&lfolder0, &lfolder1, &lfolder2, &lfolder3, &lfolder4,
                                               &lfolder5, &lfolder6, &lfolder7, &lfolder8, &lfolder9};
    return *folders[index];
}

} // namespace kvr
