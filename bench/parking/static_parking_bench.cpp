// Static parking at a large park airport: the park-airport tick over 3,000 park airports while the user
// aircraft moves (distances and sort every 16 rounds), and the first calculation of the parking positions
// at an airport of 2,000 stands whose learned file gives 20,000 options, filling the 500 stands that
// MAX_PARK_SEL allows.
//   static_parking_bench [--benchmark_filter=...]
#include "parking/learned_file.h"
#include "parking/park_airport.h"
#include "parking/park_stands.h"
#include "parking/static_parking.h"
#include "parking/static_parking_internal.h"
#include "settings/parameter_table.h"
#include "simlink/sim_link_state.h"
#include "simlink/sim_queues.h"
#include "tools/stand_fixtures/stand_fixtures.h"

#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <filesystem>
#include <random>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;
using namespace kvr;

constexpr int parkAirportCount = 3000;
constexpr int standCount = 2000;
constexpr int optionCount = 20000;
const std::string standFilePath = "airports/stock/ZZZZ.xml";

// A working folder of its own holding the airport's stand file and its learned file.
class BenchFolder {
public:
    BenchFolder() : previous_(fs::current_path()) {
        std::random_device device;
        path_ = fs::temp_directory_path() / ("vantrel-static-bench-" + std::to_string(device()));
        fs::create_directories(path_);
        fs::current_path(path_);
        const auto airport = fixtures::gf_syntheticAirport("Synthetic", 52.3, 4.76, standCount, 3);
        fixtures::gf_writeStandFile(standFilePath, airport);
        fixtures::gf_writeStandFile(learnedDir / "stock" / "ZZZZ.xml",
                                    fixtures::gf_syntheticLearned(airport, optionCount, 5));
    }
    ~BenchFolder() {
        fs::current_path(previous_);
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

private:
    fs::path previous_;
    fs::path path_;
};

void setUser(double latitude, double longitude, double altitude) {
    std::lock_guard lock(simQueueMutex);
    userAcData.latitude = latitude;
    userAcData.longitude = longitude;
    userAcData.altitude = altitude;
}

void BM_ParkAirportTick3000(benchmark::State& state) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> latitude(36.0, 70.0);
    std::uniform_real_distribution<double> longitude(-10.0, 30.0);
    {
        std::lock_guard lock(parkAirportMutex);
        parkAirports.clear();
        for (int i = 0; i < parkAirportCount; ++i)
            parkAirports.push_back({fmt::format("P{:04}", i), "", latitude(random), longitude(random), 0.0});
    }
    userOnGround = false;
    // Above AIRP_HEIGHT nothing comes into sight: the tick only keeps the list sorted.
    double east = 0.0;
    for (auto _ : state) {
        east += 0.01;
        setUser(50.0, 5.0 + east, 40000.0);
        gf_parkAirportTick(false);
    }
    benchmark::DoNotOptimize(gf_firstParkAirportDistanceNm(50.0, 5.0 + east));
    state.counters["park_airports"] = parkAirportCount;
    std::lock_guard lock(parkAirportMutex);
    parkAirports.clear();
}

void BM_CalculateParkPositions2000(benchmark::State& state) {
    const BenchFolder folder;
    currentParkAirport.code = "ZZZZ";
    ParkAirportFileInfo info;
    gf_clearStands();
    if (!gf_readApf(standFilePath, info).empty())
        throw std::runtime_error("stand file not read");
    parking_percentage.setValue(30);
    WEEK.setValue(true);
    PARK_SOFT.setValue(true);
    for (auto _ : state) {
        // Each calculation starts from the options as the change runs number them.
        for (Stand& stand : standList) {
            std::uint32_t id = 0;
            for (StandOption& option : stand.options)
                option.aircraftId = ++id;
        }
        lf_calculateParkPositions();
        benchmark::DoNotOptimize(parkPositions.data());
    }
    state.counters["stands"] = static_cast<double>(standList.size());
    state.counters["positions"] = static_cast<double>(parkPositions.size());
    parkPositions.clear();
    gf_clearStands();
    currentParkAirport = Airport{};
}

BENCHMARK(BM_ParkAirportTick3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalculateParkPositions2000)->Unit(benchmark::kMillisecond);

} // namespace
