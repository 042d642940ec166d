// The livery scan over a generated tree of 5,000 aircraft.cfg files with 20,000 sections, beside the
// physical floor: reading the same files' bytes, once in this process and once with cat.
//
//   liveries_scan_bench [--files N | --tree DIR] [benchmark options]
//
// --tree scans a tree that vantrel-livery-fixtures --bulk wrote into DIR earlier (writing 5,000 model
// folders with their texture folders takes longer than the scans).
//
// Before the timings it scans the tree with one task and with every hardware thread and stops with an
// error when the two catalogues differ.
#include "core/file_util.h"
#include "core/log.h"
#include "core/scan_slots.h"
#include "liveries/aircraft_cfg_reader_internal.h"
#include "liveries/livery_paths.h"
#include "liveries/livery_scan_internal.h"
#include "livery_fixtures/bulk_tree.h"
#include "livery_fixtures/demo_packages.h"
#include "refdata/aircraft_dbase.h"
#include "support/temp_folder.h"

#include "bench/read_floor.h"

#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace kvr;

struct BenchTree {
    fs::path root;
    fs::path package;
    fs::path fileList; // NUL-separated aircraft.cfg paths for xargs
    std::vector<fs::path> files;
    fixtures::BulkTreeSummary summary;
};

BenchTree* tree = nullptr;

void loadReferenceData() {
    for (const fixtures::FleetLivery& livery : fixtures::demoFleet()) {
        aircraftTypeSet.insert(livery.type);
        if (!livery.airline.empty())
            icaoAirlineSet.insert(livery.airline);
    }
}

bool scanOnce(int tasks) {
    maxScanTasks.store(tasks);
    activeScanTasks.store(0);
    return lf_scanLiveryFolders({tree->package}) == LiveryScanEnd::saved;
}

void BM_ScanTree(benchmark::State& state) {
    const int tasks = static_cast<int>(state.range(0));
    for (auto _ : state)
        if (!scanOnce(tasks))
            state.SkipWithError("no liveries found");
    state.counters["files"] = static_cast<double>(tree->summary.files);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * tree->summary.cfgBytes));
}

void BM_ReadBytesFloor(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(kvr::bench::readEveryByte(tree->files));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * tree->summary.cfgBytes));
}

void BM_CatFloor(benchmark::State& state) {
    const std::string command = fmt::format("xargs -0 cat < '{}' > /dev/null", tree->fileList.string());
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("cat failed");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * tree->summary.cfgBytes));
}

// Takes "--name value" out of the arguments; empty when absent.
std::string takeOption(int& argc, char** argv, const std::string& name) {
    for (int i = 1; i + 1 < argc; ++i)
        if (argv[i] == name) {
            std::string value = argv[i + 1];
            for (int k = i; k + 2 <= argc; ++k)
                argv[k] = argv[k + 2];
            argc -= 2;
            return value;
        }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    const std::string filesOption = takeOption(argc, argv, "--files");
    const std::string treeOption = takeOption(argc, argv, "--tree");
    benchmark::Initialize(&argc, argv);

    BenchTree bench;
    tree = &bench;
    const test::TempFolder root;
    bench.root = root.path();
    fs::create_directories(bench.root / "work" / "output" / "info");
    const fs::path treeFolder = treeOption.empty() ? bench.root / "tree" : fs::path(treeOption);
    if (treeOption.empty())
        fixtures::writeBulkTree(treeFolder,
                                {filesOption.empty() ? 5000 : std::stoul(filesOption), 4, 1, false});
    bench.package = treeFolder / "bulk-aitraffic";
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(bench.package))
        if (entry.path().filename() == "aircraft.cfg") {
            bench.files.push_back(entry.path());
            bench.summary.cfgBytes += entry.file_size();
        }
    bench.summary.files = bench.files.size();
    bench.fileList = bench.root / "files.txt";
    {
        std::ofstream list(bench.fileList, std::ios::binary);
        for (const fs::path& path : bench.files)
            list << path.string() << '\0';
    }
    gf_setLiveryWorkingFolder(bench.root / "work");
    gf_openLogFile(bench.root / "work");
    loadReferenceData();

    const int hardware = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    scanOnce(1);
    const std::string single = gf_readFileBytes(liveryPaths.liveriesScanned).value_or("");
    scanOnce(hardware);
    const std::string many = gf_readFileBytes(liveryPaths.liveriesScanned).value_or("");
    const bool same = single == many && !single.empty();
    std::size_t liveries = 0;
    for (std::size_t at = single.find("<liv "); at != std::string::npos; at = single.find("<liv ", at + 1))
        ++liveries;
    std::printf(
        "tree: %zu aircraft.cfg files, %ju bytes; catalogue of %zu liveries with 1 task %s with %d tasks\n",
        bench.summary.files, bench.summary.cfgBytes, liveries, same ? "equals" : "DIFFERS from", hardware);

    int status = same ? 0 : 1;
    if (same) {
        benchmark::RegisterBenchmark("BM_ScanTree/tasks:1", BM_ScanTree)
            ->Arg(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(fmt::format("BM_ScanTree/tasks:{}", hardware).c_str(), BM_ScanTree)
            ->Arg(hardware)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_ReadBytesFloor", BM_ReadBytesFloor)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_CatFloor", BM_CatFloor)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
    gf_closeLogFile();
    return status;
}
