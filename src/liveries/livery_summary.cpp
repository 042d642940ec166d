// The per-category summaries of the livery data base, and the switch-off of the categories the user
// has no livery of.
#include "core/log.h"
#include "core/text_util.h"
#include "liveries/livery_database_internal.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"

#include <fmt/format.h>

#include <algorithm>

namespace kvr {

namespace {

constexpr std::size_t modelsPerLogLine = 20;

// The setting that switches a category's traffic on, or none for the categories without one.
CheckBoxParameter* lf_categorySetting(AircraftCategory category) {
    switch (category) {
    case AircraftCategory::light:
        return &LIGHT_AIRCRAFT;
    case AircraftCategory::highPerformance:
        return &HIGH_PERF_AIRCRAFT;
    case AircraftCategory::rotorcraft:
        return &HELICOPTERS;
    default:
        return nullptr;
    }
}

const char* lf_switchOffText(AircraftCategory category) {
    switch (category) {
    case AircraftCategory::light:
        return "{} temporarily switched off because you do not have light aircraft installed";
    case AircraftCategory::highPerformance:
        return "{} temporarily switched off because you do not have High Perf aircraft installed";
    default:
        return "{} temporarily switched off because you do not have Helicopters installed";
    }
}

// The number of titles of the pool's models of the category, and those models.
std::size_t lf_countCategoryTitles(const StringMap<std::vector<TitleView>>& pool, AircraftCategory category,
                                   std::vector<std::string>& models) {
    std::size_t count = 0;
    for (const auto& [model, titles] : pool)
        if (gf_getAircraftCategory(model) == category) {
            count += titles.size();
            models.push_back(model);
        }
    return count;
}

void lf_sortDistinct(std::vector<std::string>& models) {
    std::sort(models.begin(), models.end());
    models.erase(std::unique(models.begin(), models.end()), models.end());
}

} // namespace

void lf_logCategorySummary(AircraftCategory category) {
    std::vector<std::string> models;
    const std::size_t pax = lf_countCategoryTitles(modelLiveryPools[paxIndex], category, models);
    const std::size_t cargo = lf_countCategoryTitles(modelLiveryPools[cargoIndex], category, models);
    const char* name = gf_aircraftCategoryName(category);
    CheckBoxParameter* setting = lf_categorySetting(category);

    if (pax + cargo > 0) {
        const std::string cargoPart =
            cargo > 0 ? fmt::format(" and {} cargo liverie{}", cargo, gf_pluralSuffix(cargo)) : std::string();
        gf_logLine(
            fmt::format("Category {}: {} pax liverie{}{}", name, pax, gf_pluralSuffix(pax), cargoPart));
        lf_sortDistinct(models);
        lf_logCategoryList(category == AircraftCategory::light, category == AircraftCategory::buzjet,
                           category == AircraftCategory::rotorcraft, models);
        if (setting != nullptr)
            gf_enableControl(*setting);
        return;
    }

    gf_logLine(fmt::format("Category {}: No livery found", name));
    if (setting == nullptr)
        return;
    if (setting->value()) {
        gf_setCheckSetting(*setting, false);
        gf_logLine(fmt::format(fmt::runtime(lf_switchOffText(category)), setting->name()));
    }
    // Without a livery the category cannot be flown, so the user may not switch it on again.
    gf_disableControl(*setting);
}

void lf_logCategoryList(bool light, bool buzjet, bool rotorcraft, const std::vector<std::string>& models) {
    std::vector<std::string>* list = light        ? &lightModels
                                     : buzjet     ? &buzjetModels
                                     : rotorcraft ? &rotorcraftModels
                                                  : nullptr;
    if (list != nullptr)
        list->insert(list->end(), models.begin(), models.end());
    for (std::size_t first = 0; first < models.size(); first += modelsPerLogLine) {
        const std::size_t last = std::min(models.size(), first + modelsPerLogLine);
        std::string line = "  ";
        for (std::size_t i = first; i < last; ++i)
            line += models[i] + ",";
        line.pop_back();
        gf_logLine(line);
    }
}

void lf_logGenericLiveries() {
    const auto generic = airlineModelTitles.find("ZZZ");
    if (generic == airlineModelTitles.end()) {
        gf_logLine("No generic liveries");
        return;
    }
    std::vector<std::string> models;
    for (const auto& [model, titles] : generic->second)
        models.push_back(model);
    lf_sortDistinct(models);
    gf_logLine(
        fmt::format("{} model{} have a generic livery", models.size(), gf_pluralSuffix(models.size())));
    lf_logCategoryList(false, false, false, models);
}

} // namespace kvr
