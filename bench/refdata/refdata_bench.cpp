// Start-up reading of the aircraft and airports data bases, beside the time to only decrypt the same bytes
// and the time to only parse them (expat without building any table).
//   refdata_bench [--benchmark_filter=...]
// The synthetic data bases have the size of a full data set; the shipped files are measured as well when
// the build staged them.
#include "core/file_util.h"
#include "refdata/aircraft_dbase_internal.h"
#include "refdata/airport_table.h"
#include "refdata/airport_table_internal.h"
#include "refdata/closest_airport.h"
#include "refdata/stream_decrypt.h"
#include "refdata/xml_scanner.h"
#include "support/temp_folder.h"
#include "tools/data_encryptor/stream_encryptor.h"

#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <limits>
#include <random>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;
using namespace kvr;

constexpr int syntheticAirports = 30000;
constexpr int syntheticTypes = 900;
constexpr int syntheticAirlines = 1500;
constexpr int syntheticRegistrations = 60000;

std::string lf_code(std::mt19937& random, int letters) {
    std::string code;
    for (int i = 0; i < letters; ++i)
        code += static_cast<char>('A' + random() % 26);
    return code;
}

// Four letters counting up, so that every synthetic airport has a code of its own.
std::string lf_airportCode(int number) {
    std::string code(4, 'A');
    for (int i = 3; i >= 0; --i, number /= 26)
        code[i] = static_cast<char>('A' + number % 26);
    return code;
}

std::string lf_syntheticAirports() {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> latitude(-60.0, 70.0), longitude(-180.0, 180.0);
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<airports version=\"1\">\n";
    for (int i = 0; i < syntheticAirports; ++i)
        xml += fmt::format("  <airport code=\"{}\" iata=\"{}\" name=\"Airport number {}\" lat=\"{:.6f}\" "
                           "lon=\"{:.6f}\" alt=\"{}\" stands=\"{}\"/>\n",
                           lf_airportCode(i), lf_code(random, 3), i, latitude(random), longitude(random),
                           random() % 3000, random() % 3 == 0 ? random() % 200 : 0);
    return xml + "</airports>\n";
}

std::string lf_syntheticDbase() {
    std::mt19937 random(11);
    std::vector<std::string> types, airlines;
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dbase version=\"1\">\n  <types>\n";
    for (int i = 0; i < syntheticTypes; ++i) {
        types.push_back(fmt::format("{}{:02}", lf_code(random, 2), i % 100));
        xml += fmt::format("    <type icao=\"{}\" category=\"{}\" wingspan=\"{:.2f}\" similar=\"{}\"/>\n",
                           types.back(), random() % 6, 8.0 + random() % 60,
                           i > 3 ? types[i - 1] + "," + types[i - 3] : "");
    }
    xml += "  </types>\n  <typefixes>\n";
    for (int i = 0; i < 100; ++i)
        xml += fmt::format("    <fix wrong=\"W{:03}\" right=\"{}\"/>\n", i, types[random() % types.size()]);
    xml += "  </typefixes>\n  <airlines>\n";
    for (int i = 0; i < syntheticAirlines; ++i) {
        airlines.push_back(lf_code(random, 3));
        xml += fmt::format("    <airline icao=\"{}\" name=\"Airline {}\" cargo=\"{}\"/>\n", airlines.back(),
                           i, random() % 10 == 0 ? "true" : "false");
    }
    xml += "  </airlines>\n  <registrations>\n";
    for (int i = 0; i < syntheticRegistrations; ++i) {
        const std::string& airline = airlines[random() % airlines.size()];
        xml += fmt::format(
            "    <reg id=\"{}-{}{}\" airline=\"{}\" type=\"{}\" operator=\"{}\" cargo=\"false\"/>\n",
            lf_code(random, 2), lf_code(random, 3), i, airline, types[random() % types.size()], airline);
    }
    xml += "  </registrations>\n  <publishers>\n    <group names=\"FlyTampa,Fly Tampa\"/>\n  </publishers>\n";
    xml += "  <simaddons20 arpts=\"EHAM,KJFK\"/>\n</dbase>\n";
    return xml;
}

// A working folder with input/dbase.enc and input/airports.enc, made once for the whole run.
class BenchFolder {
public:
    BenchFolder() {
        fs::create_directories(folder_ / "input");
        fs::create_directories(folder_ / "shipped" / "input");
        lf_check(gf_encryptBytes(lf_syntheticDbase(), folder_ / "input" / "dbase.enc"));
        lf_check(gf_encryptBytes(lf_syntheticAirports(), folder_ / "input" / "airports.enc"));
        for (const char* name : {"dbase.enc", "airports.enc"}) {
            const fs::path shipped = fs::path(VANTREL_DIST_INPUT_DIR) / name;
            if (fs::exists(shipped))
                fs::copy_file(shipped, folder_ / "shipped" / "input" / name);
        }
        fs::current_path(folder_.path());
    }
    ~BenchFolder() {
        std::error_code ec;
        fs::current_path(fs::temp_directory_path(), ec);
    }
    bool hasShipped() const { return fs::exists(folder_ / "shipped" / "input" / "dbase.enc"); }

private:
    static void lf_check(const std::string& error) {
        if (!error.empty())
            throw std::runtime_error(error);
    }
    test::TempFolder folder_;
};

BenchFolder& lf_folder() {
    static BenchFolder folder;
    return folder;
}

// At start-up the tables are empty: what an earlier iteration read is dropped outside the timing, so that
// freeing it is not counted as reading.
void lf_dropTables(benchmark::State& state) {
    state.PauseTiming();
    aircraftTables = {};
    aircraftTypeSet.clear();
    airportTable = {};
    airportCodeSet = {};
    state.ResumeTiming();
}

void lf_readBoth(const fs::path& input) {
    if (!lf_readDbaseFile(input / "dbase.enc"))
        throw std::runtime_error("dbase did not read");
    lf_readAirportsFile(input / "airports.enc");
}

void lf_decryptBoth(const fs::path& input) {
    for (const char* name : {"dbase", "airports"}) {
        const fs::path plain = input / (std::string(name) + ".xml");
        if (!gf_streamDecrypt(input / (std::string(name) + ".enc"), plain))
            throw std::runtime_error("decrypt failed");
        gf_removeFileWarn(plain);
    }
}

// What expat alone costs: the same decrypting reading with every start tag dropped, no table built.
void lf_parseBoth(const fs::path& input) {
    for (const char* name : {"dbase.enc", "airports.enc"}) {
        const DecryptingBuffer plain(input / name);
        if (gf_scanXml(plain, [](const XmlElement&) {}) || !plain.waitForError().empty())
            throw std::runtime_error("parse failed");
    }
}

void lf_setBytes(benchmark::State& state, const fs::path& input) {
    state.SetBytesProcessed(static_cast<std::int64_t>(
        state.iterations() * (fs::file_size(input / "dbase.enc") + fs::file_size(input / "airports.enc"))));
}

// The best of a few runs of the work, in seconds.
double lf_bestSecondsOf(const std::function<void()>& work) {
    double best = std::numeric_limits<double>::max();
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best =
            std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void BM_ReadBothDataBases(benchmark::State& state) {
    lf_folder();
    double readSeconds = 0.0;
    for (auto _ : state) {
        lf_dropTables(state);
        const auto start = std::chrono::steady_clock::now();
        lf_readBoth("input");
        readSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    readSeconds /= static_cast<double>(state.iterations());
    // The figure beside its baseline in one line: the reading as a multiple of only decrypting the files.
    state.counters["x_decrypt_only"] = readSeconds / lf_bestSecondsOf([] { lf_decryptBoth("input"); });
    state.counters["airports"] = static_cast<double>(airportTable.size());
    state.counters["registrations"] = static_cast<double>(aircraftTables.registrations.size());
    lf_setBytes(state, "input");
}
BENCHMARK(BM_ReadBothDataBases)->Unit(benchmark::kMillisecond);

void BM_DecryptOnlyBothFiles(benchmark::State& state) {
    lf_folder();
    for (auto _ : state)
        lf_decryptBoth("input");
    lf_setBytes(state, "input");
}
BENCHMARK(BM_DecryptOnlyBothFiles)->Unit(benchmark::kMillisecond);

void BM_ParseOnlyBothFiles(benchmark::State& state) {
    lf_folder();
    for (auto _ : state)
        lf_parseBoth("input");
    lf_setBytes(state, "input");
}
BENCHMARK(BM_ParseOnlyBothFiles)->Unit(benchmark::kMillisecond);

void BM_ReadBothShippedDataBases(benchmark::State& state) {
    if (!lf_folder().hasShipped()) {
        state.SkipWithError("the build staged no data files");
        return;
    }
    for (auto _ : state) {
        lf_dropTables(state);
        lf_readBoth(fs::path("shipped") / "input");
    }
    state.counters["airports"] = static_cast<double>(airportTable.size());
    state.counters["registrations"] = static_cast<double>(aircraftTables.registrations.size());
    lf_setBytes(state, fs::path("shipped") / "input");
}
BENCHMARK(BM_ReadBothShippedDataBases)->Unit(benchmark::kMillisecond);

void BM_DecryptOnlyShippedFiles(benchmark::State& state) {
    if (!lf_folder().hasShipped()) {
        state.SkipWithError("the build staged no data files");
        return;
    }
    for (auto _ : state)
        lf_decryptBoth(fs::path("shipped") / "input");
    lf_setBytes(state, fs::path("shipped") / "input");
}
BENCHMARK(BM_DecryptOnlyShippedFiles)->Unit(benchmark::kMillisecond);

// The park-airport check asks for the closest airport every 16 rounds.
void BM_ClosestAirport(benchmark::State& state) {
    lf_folder();
    lf_readAirportsFile(fs::path("input") / "airports.enc");
    std::mt19937 random(3);
    std::uniform_real_distribution<double> latitude(-60.0, 70.0), longitude(-180.0, 180.0);
    for (auto _ : state)
        benchmark::DoNotOptimize(gf_closestAirport(latitude(random), longitude(random)));
}
BENCHMARK(BM_ClosestAirport)->Unit(benchmark::kMicrosecond);

} // namespace
