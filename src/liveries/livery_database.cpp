#include "liveries/livery_database.h"

#include "core/log.h"
#include "core/random_engine.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "liveries/catalogue_file.h"
#include "liveries/livery_data.h"
#include "liveries/livery_database_internal.h"
#include "liveries/regcode_files.h"
#include "liveries/regcode_map.h"
#include "refdata/similar_types.h"

#include <fmt/format.h>

#include <algorithm>
#include <list>
#include <optional>
#include <thread>
#include <tuple>
#include <unordered_set>

namespace kvr {

StringMap<StringMap<std::vector<TitleEntry>>> airlineModelTitles;
std::array<StringMap<StringMap<std::vector<TitleView>>>, 2> airlineModelLiveries;
std::array<StringMap<std::vector<TitleView>>, 2> modelLiveryPools;
std::vector<std::string> lightModels;
std::vector<std::string> buzjetModels;
std::vector<std::string> rotorcraftModels;
std::atomic<bool> liveriesProcessed{false};

namespace {

constexpr std::size_t groupingReserve = 4048;
constexpr std::size_t poolReserve = 15000;

// Every title once, for gf_findLiveryTitle. Built in the walk order of airlineModelTitles, so that of two
// equal titles (only a hand-edited catalogue has them) the one a walk meets first is found.
std::unordered_set<TitleView> titleIndex;

// The thread that builds and reads the data base, and a clear asked for by another thread.
std::atomic<std::thread::id> databaseOwner{};
std::atomic<bool> clearPending{false};

// The liveries of a scan whose catalogue could not be saved, for the next build in place of the catalogue.
std::optional<std::list<LiveryData>> unsavedScan;

// Moves the entries into a vector of their own size: the working vector keeps its large reserve.
template <typename T> std::vector<T> lf_takeExact(std::vector<T>& working) {
    std::vector<T> exact(std::make_move_iterator(working.begin()), std::make_move_iterator(working.end()));
    working.clear();
    return exact;
}

void lf_buildTitleIndex() {
    titleIndex.clear();
    for (const auto& [airline, models] : airlineModelTitles)
        for (const auto& [model, titles] : models)
            for (const TitleEntry& entry : titles)
                titleIndex.insert(entry.title);
}

std::string lf_randomModel(const std::vector<std::string>& models) {
    if (models.empty())
        return {};
    if (models.size() == 1)
        return models.front();
    return models[gf_randomEngine()() % models.size()];
}

// What the aircraft data base's similar-type tables ask of the installed liveries.
class DatabaseIndexView final : public LiveryIndexView {
public:
    std::vector<std::string> airlineCodes() const override { return gf_airlineCodes(); }
    bool liveryExists(const std::string& airline, const std::string& model) const override {
        return gf_liveryExists(airline, model);
    }
    std::string randomLightAircraftLivery() const override { return gf_randomLightAircraftLivery(); }
    std::string randomBuzjetLivery() const override { return gf_randomBuzjetLivery(); }
    std::string randomHelicopterLivery() const override { return gf_randomHelicopterLivery(); }
};

const DatabaseIndexView liveryIndexView;

void lf_clearNow() {
    lightModels.clear();
    buzjetModels.clear();
    rotorcraftModels.clear();
    gf_clearRegcodeMap();
    for (auto& pool : modelLiveryPools)
        pool.clear();
    for (auto& liveries : airlineModelLiveries)
        liveries.clear();
    titleIndex.clear();
    airlineModelTitles.clear();
}

} // namespace

void lf_buildLiveryMaps() {
    std::string currentAirline;
    std::string currentModel;
    std::vector<TitleEntry> titles;
    titles.reserve(groupingReserve);
    StringMap<std::vector<TitleEntry>> modelMap;
    for (LiveryData& livery : scannedLiveries) {
        if (livery.type != currentModel) {
            if (!titles.empty())
                modelMap.emplace(currentModel, lf_takeExact(titles));
            currentModel = livery.type;
        }
        if (livery.airl != currentAirline) {
            if (!titles.empty())
                modelMap.emplace(currentModel, lf_takeExact(titles));
            if (!modelMap.empty())
                airlineModelTitles.emplace(currentAirline, std::move(modelMap));
            modelMap.clear();
            currentAirline = livery.airl;
        }
        titles.push_back({livery.title, livery.cargo});
    }
    if (!titles.empty())
        modelMap.emplace(currentModel, lf_takeExact(titles));
    if (!modelMap.empty())
        airlineModelTitles.emplace(currentAirline, std::move(modelMap));
    lf_buildTitleIndex();
}

void lf_buildModelMaps() {
    for (const auto& [airline, models] : airlineModelTitles) {
        StringMap<std::vector<TitleView>> paxModels;
        StringMap<std::vector<TitleView>> cargoModels;
        for (const auto& [model, titles] : models) {
            std::vector<TitleView> pax;
            std::vector<TitleView> cargo;
            for (const TitleEntry& entry : titles)
                (entry.cargo ? cargo : pax).push_back(entry.title);
            pax.shrink_to_fit();
            cargo.shrink_to_fit();
            if (!pax.empty())
                paxModels.emplace(model, std::move(pax));
            if (!cargo.empty())
                cargoModels.emplace(model, std::move(cargo));
        }
        if (!cargoModels.empty())
            airlineModelLiveries[cargoIndex].emplace(airline, std::move(cargoModels));
        if (!paxModels.empty())
            airlineModelLiveries[paxIndex].emplace(airline, std::move(paxModels));
    }
}

void lf_buildAirlineModelIndex() {
    struct ModelTitle {
        std::string_view model;
        TitleView title;
        bool cargo;
    };
    std::vector<ModelTitle> flat;
    flat.reserve(titleIndex.size());
    for (const auto& [airline, models] : airlineModelTitles)
        for (const auto& [model, titles] : models)
            for (const TitleEntry& entry : titles)
                flat.push_back({model, entry.title, entry.cargo});
    std::sort(flat.begin(), flat.end(),
              [](const ModelTitle& a, const ModelTitle& b) { return a.model < b.model; });

    std::vector<TitleView> cargo;
    std::vector<TitleView> pax;
    cargo.reserve(poolReserve);
    pax.reserve(poolReserve);
    std::string_view previousModel;
    const auto store = [&] {
        if (!cargo.empty())
            modelLiveryPools[cargoIndex].emplace(previousModel, lf_takeExact(cargo));
        if (!pax.empty())
            modelLiveryPools[paxIndex].emplace(previousModel, lf_takeExact(pax));
    };
    for (const ModelTitle& entry : flat) {
        if (entry.model != previousModel) {
            store();
            previousModel = entry.model;
        }
        (entry.cargo ? cargo : pax).push_back(entry.title);
    }
    store();
}

TitleView gf_findLiveryTitle(std::string_view title) {
    const auto found = titleIndex.find(title);
    return found == titleIndex.end() ? TitleView{} : *found;
}

std::string gf_randomLightAircraftLivery() {
    return lf_randomModel(lightModels);
}
std::string gf_randomBuzjetLivery() {
    return lf_randomModel(buzjetModels);
}
std::string gf_randomHelicopterLivery() {
    return lf_randomModel(rotorcraftModels);
}

bool gf_liveryExists(std::string_view airline, std::string_view model) {
    const auto found = airlineModelTitles.find(airline);
    return found != airlineModelTitles.end() && found->second.find(model) != found->second.end();
}

std::vector<std::string> gf_airlineCodes() {
    std::vector<std::string> codes;
    codes.reserve(airlineModelTitles.size());
    for (const auto& [airline, models] : airlineModelTitles)
        codes.push_back(airline.substr(0, 3));
    return codes;
}

void gf_clearLiveryDatabase() {
    const std::thread::id owner = databaseOwner.load();
    if (owner != std::thread::id{} && owner != std::this_thread::get_id()) {
        clearPending.store(true);
        return;
    }
    lf_clearNow();
}

void gf_useUnsavedScan(std::list<LiveryData> liveries) {
    unsavedScan = std::move(liveries);
}

void gf_processScannedLiveries() {
    databaseOwner.store(std::this_thread::get_id());
    if (clearPending.exchange(false)) {
        lf_clearNow();
        liveriesProcessed.store(false);
    }
    if (liveriesProcessed.load()) {
        gf_logLine("Processing scanned liveries skipped; already done in previous start-up");
        scannedLiveries.clear();
        unsavedScan.reset();
        return;
    }
    // A build after a failed one (a user error of the catalogue) starts from empty tables.
    lf_clearNow();
    if (unsavedScan) {
        scannedLiveries = std::move(*unsavedScan);
        unsavedScan.reset();
    } else {
        lf_readLiveriesScanned();
    }
    statusDisplay.liveryCount.store(static_cast<unsigned>(scannedLiveries.size()));
    gf_invalidateArea(ScreenArea::whole);

    lf_buildLiveryMaps();
    lf_buildModelMaps();
    lf_processInlineRegcodes();
    gf_processOfflineRegcodes();
    gf_logLine(fmt::format("{} registration codes", regcodeLiveries.size()));

    lf_buildAirlineModelIndex();
    gf_logLine(fmt::format("{} airlines, {} pax aircraft models and {} cargo aircraft models",
                           airlineModelTitles.size(), modelLiveryPools[paxIndex].size(),
                           modelLiveryPools[cargoIndex].size()));
    gf_installLiveryIndexView(&liveryIndexView);
    gf_buildSimilarTypes();
    for (int category = 0; category < aircraftCategoryCount; ++category)
        lf_logCategorySummary(static_cast<AircraftCategory>(category));
    lf_logGenericLiveries();

    liveriesProcessed.store(true);
    gf_invalidateArea(ScreenArea::whole);
    scannedLiveries.clear();
}

} // namespace kvr
