// vantrel-bgl-fixtures: writes add-on airport BGL files.
#include "bgl_fixtures/bgl_airports.h"

#include <fmt/format.h>

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace kvr::fixtures;

constexpr const char* usage =
    "usage:\n"
    "  vantrel-bgl-fixtures --demo <PackagesFolder>\n"
    "      the demo's add-on airports below Official/OneStore and Community of a simulator's packages "
    "folder\n"
    "  vantrel-bgl-fixtures --airport <ICAO> <stands> [--helipads <n>] <file.bgl>\n"
    "      one airport of <stands> gates (and <n> helipads) around 52.0 N 5.0 E\n"
    "  vantrel-bgl-fixtures --bulk <airports> [--stands <n>] [--helipads <n>] <folder>\n"
    "      <airports> packages with one airport each (default 60 stands, 2 helipads) and a manifest.json\n";

int lf_count(std::string_view text) {
    std::size_t used = 0;
    const int value = std::stoi(std::string(text), &used);
    if (used != text.size() || value < 0)
        throw std::invalid_argument(fmt::format("not a count: {}", text));
    return value;
}

// Reads "--stands n" and "--helipads n" pairs up to the last argument, which must be the target.
std::size_t lf_readOptions(const std::vector<std::string_view>& args, std::size_t from, int& stands,
                           int& helipads) {
    std::size_t i = from;
    for (; i + 2 < args.size(); i += 2) {
        if (args[i] == "--stands")
            stands = lf_count(args[i + 1]);
        else if (args[i] == "--helipads")
            helipads = lf_count(args[i + 1]);
        else
            break;
    }
    if (i + 1 != args.size())
        throw std::invalid_argument("the target must come last");
    return i;
}

int lf_run(const std::vector<std::string_view>& args) {
    if (args.size() == 2 && args[0] == "--demo") {
        const DemoAirportsSummary summary = writeDemoAddonAirports(fs::path(args[1]));
        fmt::print("{} BGL files with {} airports written below {}\n", summary.bglFiles, summary.airports,
                   std::string(args[1]));
        return 0;
    }
    if (args.size() >= 4 && args[0] == "--airport") {
        const std::string code(args[1]);
        int stands = lf_count(args[2]);
        int helipads = 0;
        const std::size_t last = lf_readOptions(args, 3, stands, helipads);
        writeBglFile(fs::path(args[last]), bglFileWith({bglGridAirport(code, 52.0, 5.0, stands, helipads)}));
        fmt::print("{} with {} stands and {} helipads written to {}\n", code, stands, helipads,
                   std::string(args[last]));
        return 0;
    }
    if (args.size() >= 3 && args[0] == "--bulk") {
        const int airports = lf_count(args[1]);
        int stands = 60;
        int helipads = 2;
        const std::size_t last = lf_readOptions(args, 2, stands, helipads);
        const auto codes =
            writeBulkAirports(fs::path(args[last]), static_cast<std::size_t>(airports), stands, helipads);
        fmt::print("{} airport packages written below {}\n", codes.size(), std::string(args[last]));
        return 0;
    }
    std::fputs(usage, stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return lf_run(std::vector<std::string_view>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        fmt::print(stderr, "vantrel-bgl-fixtures: {}\n", error.what());
        return 1;
    }
}
