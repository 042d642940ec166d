// vantrel-livery-fixtures: writes AI model package trees of aircraft.cfg files.
#include "livery_fixtures/bulk_tree.h"
#include "livery_fixtures/cfg_text.h"
#include "livery_fixtures/demo_packages.h"

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
    "  vantrel-livery-fixtures --demo <CommunityFolder>\n"
    "      the demo's AI packages (AIG, FSLTL, JustFlight, IVAO MTL, user-aitraffic) below the folder\n"
    "  vantrel-livery-fixtures --bulk <files> [--sections <perFile>] [--seed <n>] [--textures] <folder>\n"
    "      a generated package of <files> aircraft.cfg files (default 4 sections each), with --textures\n"
    "      a texture folder per section as real packages have\n"
    "  vantrel-livery-fixtures --encodings <folder>\n"
    "      one aircraft.cfg in every text encoding and line end, one model folder each\n";

std::size_t lf_count(std::string_view text) {
    std::size_t used = 0;
    const unsigned long long value = std::stoull(std::string(text), &used);
    if (used != text.size())
        throw std::invalid_argument(fmt::format("not a number: {}", text));
    return static_cast<std::size_t>(value);
}

int lf_writeEncodings(const fs::path& folder) {
    AircraftCfg cfg;
    cfg.icaoType = "B738";
    cfg.sections.push_back({"Encoding test Köln Zürich Île", "KLM", "PH-BXA", "GATE", "KLM", {}});
    cfg.sections.push_back({"Encoding test second livery", "TRA", "PH-HSA", "GATE", "TRA", {}});
    const std::string text = aircraftCfgText(cfg);
    std::size_t files = 0;
    for (CfgEncoding encoding : allCfgEncodings)
        for (LineEnd lineEnd : {LineEnd::lf, LineEnd::crlf}) {
            const std::string name =
                fmt::format("ENC_{}_{}", encodingName(encoding), lineEnd == LineEnd::lf ? "lf" : "crlf");
            writeCfgFile(folder / name / "aircraft.cfg", text, encoding, lineEnd);
            ++files;
        }
    fmt::print("{} aircraft.cfg files written below {}\n", files, folder.string());
    return 0;
}

int lf_run(const std::vector<std::string_view>& args) {
    if (args.size() == 2 && args[0] == "--demo") {
        const PackageSetSummary summary = writeDemoCommunity(args[1]);
        fmt::print("{} aircraft.cfg files with {} liveries written below {}\n", summary.files,
                   summary.liveries, std::string(args[1]));
        return 0;
    }
    if (args.size() == 2 && args[0] == "--encodings")
        return lf_writeEncodings(args[1]);
    if (args.size() >= 3 && args[0] == "--bulk") {
        BulkTreeOptions options;
        options.files = lf_count(args[1]);
        std::size_t i = 2;
        for (; i + 1 < args.size(); ++i) {
            if (args[i] == "--sections")
                options.sectionsPerFile = lf_count(args[++i]);
            else if (args[i] == "--seed")
                options.seed = static_cast<std::uint32_t>(lf_count(args[++i]));
            else if (args[i] == "--textures")
                options.textureFolders = true;
            else
                break;
        }
        if (i + 1 != args.size())
            throw std::invalid_argument("the folder must come last");
        const BulkTreeSummary summary = writeBulkTree(args[i], options);
        fmt::print("{} aircraft.cfg files with {} sections ({} bytes) written below {}\n", summary.files,
                   summary.sections, summary.cfgBytes, std::string(args[i]));
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
        std::fprintf(stderr, "vantrel-livery-fixtures: %s\n%s", error.what(), usage);
        return 1;
    }
}
