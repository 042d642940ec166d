// Loading a large park airport: a stand file of 2,000 stands with a learned file of 20,000 options, as
// the run thread reads it when the airport becomes the park airport; and writing the learned file back.
//   parking_bench [--benchmark_filter=...]
#include "parking/learned_file.h"
#include "parking/park_airport.h"
#include "parking/park_stands.h"
#include "parking/stand.h"
#include "parking/stand_file.h"
#include "support/temp_folder.h"
#include "tools/stand_fixtures/stand_fixtures.h"

#include <benchmark/benchmark.h>

#include <filesystem>
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
    explicit BenchFolder(bool withLearned) : previous_(fs::current_path()) {
        fs::current_path(folder_.path());
        const auto airport = fixtures::gf_syntheticAirport("Synthetic", 52.3, 4.76, standCount, 3);
        fixtures::gf_writeStandFile(standFilePath, airport);
        if (withLearned)
            fixtures::gf_writeStandFile(learnedDir / "stock" / "ZZZZ.xml",
                                        fixtures::gf_syntheticLearned(airport, optionCount, 5));
        currentParkAirport.code = "ZZZZ";
    }
    ~BenchFolder() { fs::current_path(previous_); }

private:
    fs::path previous_;
    test::TempFolder folder_;
};

void lf_readParkAirport(benchmark::State& state, bool withLearned) {
    const BenchFolder folder(withLearned);
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
    lf_readParkAirport(state, false);
}
void BM_ReadStandFile2000WithLearned20000(benchmark::State& state) {
    lf_readParkAirport(state, true);
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

BENCHMARK(BM_ReadStandFile2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadStandFile2000WithLearned20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteLearned20000)->Unit(benchmark::kMillisecond);

} // namespace
