// Livery matching against a large data base: 20,000 liveries, 100,000 aircraft per run.
#include "liveries/catalogue_file.h"
#include "liveries/livery_data.h"
#include "liveries/livery_database.h"
#include "liveries/livery_matching.h"
#include "liveries/livery_paths.h"
#include "refdata/aircraft_dbase_internal.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"
#include "support/temp_folder.h"

#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

namespace kvr {
namespace {

constexpr int airlineCount = 200;
constexpr int modelCount = 20;
constexpr int titlesPerModel = 5;
constexpr int aircraftCount = 100000;

std::string lf_airline(int i) {
    return fmt::format("A{:02}", i);
}
std::string lf_model(int i) {
    return fmt::format("M{:03}", i);
}

// A data base of airlineCount x modelCount x titlesPerModel liveries; every fifth with a registration,
// the first model of each airline light (so that the pools and similar-type steps are exercised).
class MatchingWorld {
public:
    MatchingWorld() {
        std::filesystem::create_directories(folder_ / "output");
        setenv("XDG_CONFIG_HOME", folder_.path().c_str(), 1);
        gf_initAppDataFolder();
        gf_setLiveryWorkingFolder(folder_.path());
        for (int m = 0; m < modelCount; ++m)
            aircraftTables.types[lf_model(m)] =
                AircraftTypeEntry{m == 0 ? AircraftCategory::light : AircraftCategory::large,
                                  0.0,
                                  {lf_model((m + 1) % modelCount), lf_model((m + 2) % modelCount)}};
        for (int a = 0; a < airlineCount; ++a)
            for (int m = 0; m < modelCount; ++m)
                for (int t = 0; t < titlesPerModel; ++t) {
                    const bool registered = t == 0;
                    scannedLiveries.push_back(
                        {lf_airline(a), lf_model(m),
                         fmt::format("Bench {} {} livery {}", lf_airline(a), lf_model(m), t),
                         registered ? fmt::format("R{:03}{:02}", a, m) : "", 0, t == 4});
                }
        lf_writeLiveriesScanned();
        scannedLiveries.clear();
        gf_processScannedLiveries();
        MATCHING_DEPTH.setValue(4);
        buildFleet();
    }
    std::vector<MatchSubject> fleet;

private:
    // 30 % known registrations, 40 % airline and model, 15 % a model the airline lacks (alternatives),
    // 10 % an unknown airline of a light model (generic pools), 5 % nothing to find.
    void buildFleet() {
        std::mt19937 random(42);
        fleet.reserve(aircraftCount);
        for (int i = 0; i < aircraftCount; ++i) {
            const int a = static_cast<int>(random() % airlineCount);
            const int m = static_cast<int>(random() % modelCount);
            const int kind = static_cast<int>(random() % 100);
            MatchSubject record;
            record.operatorCode = kind < 85 ? lf_airline(a) : kind < 95 ? "XXX" : "YYY";
            record.icaoType = kind < 95 ? lf_model(kind >= 85 ? 0 : m) : "NONE";
            if (kind < 30)
                record.registration = fmt::format("R{:03}{:02}", a, m);
            if (kind >= 70 && kind < 85)
                record.operatorCode = "XX" + std::to_string(a % 10);
            record.category = kind >= 85 && kind < 95 ? AircraftCategory::light : AircraftCategory::large;
            record.cargo = kind % 7 == 0;
            fleet.push_back(std::move(record));
        }
    }
    test::TempFolder folder_;
};

MatchingWorld& lf_world() {
    static MatchingWorld world;
    return world;
}

void BM_MatchLiveAircraft(benchmark::State& state) {
    MatchingWorld& world = lf_world();
    std::size_t matched = 0;
    for (auto _ : state) {
        for (MatchSubject& record : world.fleet) {
            gf_matchLiveAircraftLivery(record);
            matched += record.liveryTitle.empty() ? 0 : 1;
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(world.fleet.size()));
    state.counters["matched_share"] =
        static_cast<double>(matched) / static_cast<double>(state.iterations() * world.fleet.size());
}
BENCHMARK(BM_MatchLiveAircraft)->Unit(benchmark::kMillisecond);

void BM_MatchStaticAircraft(benchmark::State& state) {
    MatchingWorld& world = lf_world();
    const MatchStand stand{"B12", false};
    for (auto _ : state) {
        for (MatchSubject& record : world.fleet) {
            record.liveryTitle = {};
            benchmark::DoNotOptimize(gf_matchStaticAircraftLivery(record, stand));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(world.fleet.size()));
}
BENCHMARK(BM_MatchStaticAircraft)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kvr

BENCHMARK_MAIN();
