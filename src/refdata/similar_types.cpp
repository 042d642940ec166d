#include "refdata/similar_types.h"

#include "core/log.h"
#include "core/random_engine.h"
#include "refdata/aircraft_dbase_internal.h"

#include <fmt/format.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <unordered_map>

namespace kvr {

namespace {

std::atomic<const LiveryIndexView*> installedView{nullptr};

// airline -> model the airline has no livery of -> similar models it has liveries of.
std::unordered_map<std::string, std::unordered_map<std::string, std::vector<std::string>>>
    similarTypesByAirline;

std::vector<std::string> lf_shuffled(std::vector<std::string> types) {
    std::shuffle(types.begin(), types.end(), gf_randomEngine());
    return types;
}

} // namespace

void gf_installLiveryIndexView(const LiveryIndexView* view) {
    installedView.store(view);
}

void gf_buildSimilarTypes() {
    similarTypesByAirline.clear();
    std::size_t definitions = 0;
    if (const LiveryIndexView* view = installedView.load()) {
        for (const std::string& airline : view->airlineCodes()) {
            for (const auto& [model, entry] : aircraftTables.types) {
                if (entry.similar.empty() || view->liveryExists(airline, model))
                    continue;
                std::vector<std::string> available;
                for (const std::string& similar : entry.similar)
                    if (view->liveryExists(airline, similar))
                        available.push_back(similar);
                if (available.empty())
                    continue;
                similarTypesByAirline[airline][model] = std::move(available);
                ++definitions;
            }
        }
    }
    gf_logLine(fmt::format("{} similar model definitions", definitions));
}

std::vector<std::string> gf_getSimilarTypes(std::string_view type) {
    const auto it = aircraftTables.types.find(std::string(type));
    if (it != aircraftTables.types.end() && !it->second.similar.empty())
        return lf_shuffled(it->second.similar);

    const LiveryIndexView* view = installedView.load();
    if (view == nullptr)
        return {};
    std::string fallback;
    switch (gf_getAircraftCategory(type)) {
    case AircraftCategory::light:
        fallback = view->randomLightAircraftLivery();
        break;
    case AircraftCategory::buzjet:
        fallback = view->randomBuzjetLivery();
        break;
    case AircraftCategory::rotorcraft:
        fallback = view->randomHelicopterLivery();
        break;
    default:
        return {};
    }
    if (fallback.empty())
        return {};
    return {fallback};
}

std::vector<std::string> gf_lookupTwoLevelList(std::string_view airline, std::string_view model) {
    const auto byAirline = similarTypesByAirline.find(std::string(airline));
    if (byAirline == similarTypesByAirline.end())
        return {};
    const auto byModel = byAirline->second.find(std::string(model));
    if (byModel == byAirline->second.end())
        return {};
    return lf_shuffled(byModel->second);
}

} // namespace kvr
