// Loading a large park airport: a stand file of 2,000 stands with a learned file of 20,000 options, as
// the run thread reads it when the airport becomes the park airport; and writing the learned file back.
// Two shapes that must stay n log n: many learned options on one stand (each is checked against those
// the stand already has), and a row of stands on one parallel with one stand of a huge radius (every
// stand is checked for overlaps).
//   parking_bench [--benchmark_filter=...]
#include "parking/learned_file.h"
#include "parking/park_airport.h"
#include "parking/park_stands.h"
#include "parking/stand.h"
#include "parking/stand_file.h"
#include "support/temp_folder.h"
#include "tools/stand_fixtures/stand_fixtures.h"

#include <benchmark/benchmark.h>

#include <fmt/format.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;
using namespace kvr;

constexpr int standCount = 2000;
constexpr int optionCount = 20000;
const std::string standFilePath = "airports/stock/ZZZZ.xml";

// A working folder of its own holding the airport's stand file and its learned file.
class BenchFolder {
public:
    BenchFolder(const fixtures::StandFileSpec& airport, const fixtures::StandFileSpec* learned)
        : previous_(fs::current_path()) {
        fs::current_path(folder_.path());
        fixtures::gf_writeStandFile(standFilePath, airport);
        if (learned)
            fixtures::gf_writeStandFile(learnedDir / "stock" / "ZZZZ.xml", *learned);
        currentParkAirport.code = "ZZZZ";
    }
    explicit BenchFolder(bool withLearned)
        : BenchFolder(syntheticAirport(), withLearned ? &syntheticLearned() : nullptr) {}
    ~BenchFolder() { fs::current_path(previous_); }

private:
    static const fixtures::StandFileSpec& syntheticAirport() {
        static const auto airport = fixtures::gf_syntheticAirport("Synthetic", 52.3, 4.76, standCount, 3);
        return airport;
    }
    static const fixtures::StandFileSpec& syntheticLearned() {
        static const auto learned = fixtures::gf_syntheticLearned(syntheticAirport(), optionCount, 5);
        return learned;
    }
    fs::path previous_;
    test::TempFolder folder_;
};

fixtures::StandFileSpec lf_airportSpec() {
    fixtures::StandFileSpec spec;
    spec.parameters = {{"airport_name", "Synthetic"}, {"publisher", "stock"}, {"altitude", "10"}};
    return spec;
}

// Ten stands; the learned file gives the first one n options of different aircraft.
std::pair<fixtures::StandFileSpec, fixtures::StandFileSpec> lf_optionsOnOneStand(int n) {
    fixtures::StandFileSpec airport = lf_airportSpec();
    for (int i = 0; i < 10; ++i)
        airport.stands.push_back(
            fixtures::gf_standSpec({fmt::format("S{}", i), 52.3 + i * 0.001, 4.76, 0, 30}));
    fixtures::StandFileSpec learned;
    learned.parameters = {{"airport_name", "Synthetic"}};
    learned.stands.resize(1);
    learned.stands[0].attributes = {{"id", "S0"}};
    for (int i = 0; i < n; ++i)
        learned.stands[0].opts.push_back(fixtures::gf_optSpec(fmt::format("PH-{:05}", i), 1 + i % 7,
                                                              std::to_string(i % 48), "", "KLM", "B738"));
    return {airport, learned};
}

// n stands of 20 m 50 m apart on the parallel 52.3 N, and in their middle one of 10 km.
fixtures::StandFileSpec lf_standsOnOneParallel(int n) {
    fixtures::StandFileSpec airport = lf_airportSpec();
    const double degreesPerMetre = 1.0 / (111194.9 * std::cos(52.3 * std::numbers::pi / 180.0));
    for (int i = 0; i < n; ++i)
        airport.stands.push_back(
            fixtures::gf_standSpec({fmt::format("P{}", i), 52.3, 4.0 + i * 50.0 * degreesPerMetre, 0, 20}));
    airport.stands.push_back(
        fixtures::gf_standSpec({"HUGE", 52.3001, 4.0 + n / 2 * 50.0 * degreesPerMetre, 0, 10000}));
    return airport;
}

// Reads the park airport of the current working folder in every iteration.
void lf_readParkAirport(benchmark::State& state) {
    std::size_t options = 0;
    for (auto _ : state) {
        gf_clearStands();
        ParkAirportFileInfo info;
        if (!gf_readApf(standFilePath, info).empty())
            throw std::runtime_error("stand file not read");
        options = 0;
        for (const Stand& stand : standList)
            options += stand.options.size();
        benchmark::DoNotOptimize(standList.data());
    }
    state.counters["stands"] = static_cast<double>(standList.size());
    state.counters["options"] = static_cast<double>(options);
    gf_clearStands();
}

void BM_ReadStandFile2000(benchmark::State& state) {
    const BenchFolder folder(false);
    lf_readParkAirport(state);
}
void BM_ReadStandFile2000WithLearned20000(benchmark::State& state) {
    const BenchFolder folder(true);
    lf_readParkAirport(state);
}

void BM_WriteLearned20000(benchmark::State& state) {
    const BenchFolder folder(true);
    ParkAirportFileInfo info;
    gf_clearStands();
    if (!gf_readApf(standFilePath, info).empty())
        throw std::runtime_error("stand file not read");
    ApfRecord record;
    record.code = "ZZZZ";
    record.publisher = "stock";
    record.stands = standList;
    for (auto _ : state) {
        if (!gf_writeApf(record, learnedDir / "stock" / "ZZZZ_out.xml", ApfWriteMode::learned, 1))
            throw std::runtime_error("learned file not written");
    }
    gf_clearStands();
}

void BM_ReadLearnedOptionsOnOneStand(benchmark::State& state) {
    const auto [airport, learned] = lf_optionsOnOneStand(static_cast<int>(state.range(0)));
    const BenchFolder folder(airport, &learned);
    lf_readParkAirport(state);
    state.SetComplexityN(state.range(0));
}
void BM_ReadStandsOnOneParallelWithOneHugeRadius(benchmark::State& state) {
    const BenchFolder folder(lf_standsOnOneParallel(static_cast<int>(state.range(0))), nullptr);
    lf_readParkAirport(state);
    state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_ReadStandFile2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLearnedOptionsOnOneStand)
    ->Arg(7500)
    ->Arg(15000)
    ->Arg(30000)
    ->Arg(60000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(BM_ReadStandsOnOneParallelWithOneHugeRadius)
    ->Arg(2500)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(BM_ReadStandFile2000WithLearned20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteLearned20000)->Unit(benchmark::kMillisecond);

} // namespace
