#include "livery_fixtures/bulk_tree.h"

#include "livery_fixtures/cfg_text.h"
#include "livery_fixtures/demo_packages.h"

#include <fmt/format.h>

#include <random>

namespace kvr::fixtures {

namespace fs = std::filesystem;

BulkTreeSummary writeBulkTree(const fs::path& root, const BulkTreeOptions& options) {
    // Airline and type pairs of the reference data; general aviation stays out, every bulk livery flies
    // for an airline.
    std::vector<const FleetLivery*> fleets;
    for (const FleetLivery& livery : demoFleet())
        if (!livery.airline.empty() && livery.airline != "ZZZ")
            fleets.push_back(&livery);

    std::mt19937 random(options.seed);
    const fs::path airplanes = root / "bulk-aitraffic" / "SimObjects" / "Airplanes";
    BulkTreeSummary summary;
    std::string previousTitle;
    for (std::size_t file = 0; file < options.files; ++file) {
        const FleetLivery& model = *fleets[random() % fleets.size()];
        AircraftCfg cfg;
        cfg.icaoType = model.type;
        cfg.firstNumber = static_cast<int>(random() % 3);
        for (std::size_t k = 0; k < options.sectionsPerFile; ++k) {
            const FleetLivery& fleet = *fleets[random() % fleets.size()];
            FltsimSection section;
            section.title = fmt::format("BULK {} {} {:05}-{}", model.type, fleet.airline, file, k);
            section.airline = fleet.airline;
            section.atcId = fmt::format("BK-{:05}{}", file, k);
            section.parkingTypes = fleet.cargo ? "CARGO" : "GATE";
            section.texture = fmt::format("{}{}", fleet.airline, k);
            section.extraLines = {"ui_manufacturer = \"Bulk\"", "ui_type = \"Bulk model\"",
                                  fmt::format("ui_variation = \"{} {}\"", fleet.airline, k),
                                  "description = \"Generated livery of the scan benchmark\""};
            cfg.sections.push_back(std::move(section));
        }
        if (file % 97 == 96 && !previousTitle.empty())
            cfg.sections.front().title = previousTitle;
        previousTitle = cfg.sections.front().title;

        const fs::path folder = airplanes / fmt::format("BULK_{:03}", file / 100) /
                                fmt::format("BULK_{}_{:05}", model.type, file);
        const CfgEncoding encoding = allCfgEncodings[file % allCfgEncodings.size()];
        const LineEnd lineEnd = (file / allCfgEncodings.size()) % 2 == 0 ? LineEnd::lf : LineEnd::crlf;
        const std::string bytes = encodeCfgText(aircraftCfgText(cfg), encoding, lineEnd);
        writeBytes(folder / "aircraft.cfg", bytes);
        if (options.textureFolders)
            for (const FltsimSection& section : cfg.sections)
                writeBytes(folder / ("texture." + section.texture) / "texture.cfg",
                           "[fltsim]\nfallback.1=..\\texture\n");
        ++summary.files;
        summary.sections += cfg.sections.size();
        summary.cfgBytes += bytes.size();
    }
    return summary;
}

} // namespace kvr::fixtures
