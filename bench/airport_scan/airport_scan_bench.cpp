// The add-on airport scan over a Community folder of 500 generated airport packages (60 stands and 2
// helipads each, a manifest.json each): walk, pre-check, one task per file, publisher search, generated
// stand files, scan log and the tblo zip of all 500; beside its floor, reading the bytes of the same BGL
// files. And the decoding of one large airport file, and of two hostile ones whose tables point many times
// at the same bytes: their cost must follow their size.
//   airport_scan_bench [--benchmark_filter=...]
#include "bgl_fixtures/bgl_airports.h"
#include "core/log.h"
#include "core/scan_slots.h"
#include "core/shared_state.h"
#include "parking/airport_scan.h"
#include "parking/bgl_reader_internal.h"
#include "refdata/airport_table.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"

#include "bench/read_floor.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>

#include <malloc.h>
#include <random>
#include <stdexcept>
#include <thread>

namespace {

// The heap the process holds and its highest mark since it was last set back: every allocation of this
// program goes through the two operators below. They stay out of line: inlined into the library's
// containers, the compiler would take their malloc and free for a mismatch with new and delete.
std::atomic<std::size_t> heapBytes{0};
std::atomic<std::size_t> heapPeak{0};

} // namespace

[[gnu::noinline]] void* operator new(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block)
        throw std::bad_alloc();
    const std::size_t usable = malloc_usable_size(block);
    const std::size_t now = heapBytes.fetch_add(usable) + usable;
    for (std::size_t peak = heapPeak.load(); now > peak && !heapPeak.compare_exchange_weak(peak, now);) {
    }
    return block;
}

[[gnu::noinline]] void operator delete(void* block) noexcept {
    if (!block)
        return;
    heapBytes.fetch_sub(malloc_usable_size(block));
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}

namespace {

namespace fs = std::filesystem;
using namespace kvr;

constexpr std::size_t airportCount = 500;

// A working folder of its own with a simulator folder below it; the airports data base knows the codes.
class BenchFolder {
public:
    BenchFolder() : previous_(fs::current_path()) {
        std::random_device device;
        path_ = fs::temp_directory_path() / ("vantrel-bench-" + std::to_string(device()));
        fs::create_directories(path_);
        fs::current_path(path_);
        ::setenv("XDG_CONFIG_HOME", (path_ / "config").c_str(), 1);
        gf_initAppDataFolder();
        gf_openLogFile(path_);
        maxScanTasks = static_cast<std::int32_t>(std::max(1u, std::thread::hardware_concurrency()));
        activeScanTasks = 0;
    }
    ~BenchFolder() {
        gf_closeLogFile();
        fs::current_path(previous_);
        std::error_code ec;
        fs::remove_all(path_, ec);
    }

    static void knowAirports(const std::vector<std::string>& codes) {
        airportTable.clear();
        airportCodeSet.clear();
        for (const std::string& code : codes) {
            airportTable.push_back(Airport{code, "", "", 0.0, 0.0, 0.0, 0});
            airportCodeSet.insert(code);
        }
    }

    const fs::path& path() const { return path_; }

private:
    fs::path previous_;
    fs::path path_;
};

// The Community folder of the scan benchmarks, written once for all of them.
struct BulkCommunity {
    BulkCommunity() {
        codes = fixtures::writeBulkAirports(folder.path() / "sim" / "Community", airportCount, 60, 2);
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder.path() / "sim"))
            if (entry.path().extension() == ".bgl") {
                bglFiles.push_back(entry.path());
                bglBytes += entry.file_size();
            }
    }
    BenchFolder folder;
    std::vector<std::string> codes;
    std::vector<fs::path> bglFiles;
    std::uint64_t bglBytes = 0;
};

BulkCommunity& bulkCommunity() {
    static BulkCommunity community;
    return community;
}

void BM_ScanAddonAirports(benchmark::State& state) {
    BulkCommunity& community = bulkCommunity();
    BenchFolder::knowAirports(community.codes);
    msfs2020Selected = false;
    MSFS_2024_INSTALL_PATH.setValue((community.folder.path() / "sim").string());
    for (auto _ : state) {
        airportFilesChanged = false;
        gf_scanAddonAirports();
        if (!airportFilesChanged || tbloCount.load() != static_cast<std::int32_t>(airportCount))
            throw std::runtime_error("the scan did not generate every airport");
    }
    state.counters["files/s"] = benchmark::Counter(static_cast<double>(state.iterations() * airportCount),
                                                   benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * community.bglBytes));
}
BENCHMARK(BM_ScanAddonAirports)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor of the scan: reading the bytes of the same BGL files, one after the other.
void BM_ReadBglBytesFloor(benchmark::State& state) {
    const BulkCommunity& community = bulkCommunity();
    for (auto _ : state)
        benchmark::DoNotOptimize(kvr::bench::readEveryByte(community.bglFiles));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * community.bglBytes));
}
BENCHMARK(BM_ReadBglBytesFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecodeLargeAirportFile(benchmark::State& state) {
    const BenchFolder folder;
    BenchFolder::knowAirports({"KAAA"});
    msfs2020Selected = true;
    const fs::path file = folder.path() / "KAAA.bgl";
    fixtures::writeBglFile(file,
                           fixtures::bglFileWith({fixtures::bglGridAirport("KAAA", 40.0, -100.0, 600, 8)}));
    for (auto _ : state) {
        {
            std::lock_guard lock(scanMessageMutex);
            scanMessages.clear();
        }
        lf_processBGLfile(file);
    }
    if (!fs::exists(folder.path() / "airports" / "my_thirdparty" / "KAAA.xml"))
        throw std::runtime_error("no stand file generated");
}
BENCHMARK(BM_DecodeLargeAirportFile)->Unit(benchmark::kMicrosecond);

// The heap one scan task takes for a 40 MB file of 2,200 airports of 330 stands each (codes the data base
// does not know, so that only the reading and the walk count): its file's bytes and a small constant.
void BM_TaskMemoryOfLargeFile(benchmark::State& state) {
    const BenchFolder folder;
    BenchFolder::knowAirports({});
    msfs2020Selected = true;
    const fs::path file = folder.path() / "large.bgl";
    {
        std::vector<fixtures::BglRecord> airports;
        for (std::size_t i = 0; i < 2200; ++i)
            airports.emplace_back(fixtures::bglGridAirport(
                fixtures::bulkAirportCode(i), 20.0 + 0.02 * static_cast<double>(i % 1000),
                -120.0 + 0.5 * static_cast<double>(i / 1000), 330));
        fixtures::writeBglFile(file, fixtures::bglFileWith(std::move(airports)));
    }
    const auto fileBytes = static_cast<double>(fs::file_size(file));
    std::size_t taken = 0;
    for (auto _ : state) {
        {
            std::lock_guard lock(scanMessageMutex);
            scanMessages = {};
        }
        const std::size_t before = heapBytes.load();
        heapPeak = before;
        lf_processBGLfile(file);
        taken = heapPeak.load() - before;
    }
    state.counters["file_MB"] = fileBytes / 1e6;
    state.counters["task_heap_MB"] = static_cast<double>(taken) / 1e6;
    state.counters["heap_per_file_byte"] = static_cast<double>(taken) / fileBytes;
}
BENCHMARK(BM_TaskMemoryOfLargeFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every hostile file holds EGLL once; the decoder must walk it once.
fixtures::BglFile hostileFile(std::int64_t shape) {
    fixtures::BglFile file;
    fixtures::BglSection first;
    if (shape == 0) {
        // 50,000 section entries naming the one subsection that holds EGLL.
        first.records.push_back(fixtures::bglGridAirport("EGLL", 51.47, -0.46, 1));
    } else {
        // 50,000 section entries naming one table of 65,536 empty subsections: 2 MB of tables.
        first.emptySubsectionsBefore = 65535;
    }
    file.sections.assign(50000, fixtures::BglSection{});
    file.sections.front() = first;
    for (std::size_t i = 1; i < file.sections.size(); ++i)
        file.sections[i].tableOfSection = 0;
    return file;
}

void BM_DecodeHostileFile(benchmark::State& state) {
    const BenchFolder folder;
    BenchFolder::knowAirports({"EGLL"});
    msfs2020Selected = true;
    const fs::path file = folder.path() / "hostile.bgl";
    fixtures::writeBglFile(file, hostileFile(state.range(0)));
    for (auto _ : state)
        lf_processBGLfile(file);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(file)));
    state.SetLabel(state.range(0) == 0 ? "50,000 sections, one subsection" : "50,000 sections, 65,536 empty");
}
BENCHMARK(BM_DecodeHostileFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
