#pragma once
// Ready-made airports for the BGL fixture writer: a grid of stands around a reference point, the add-on
// airports of the demo's simulator folder, and bulk trees for the benchmark.
#include "bgl_fixtures/bgl_writer.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kvr::fixtures {

// An airport of `stands` gates g1..gN in rows of ten, 60 m apart, north-east of the reference point
// (every seventh a cargo ramp), followed by `helipads` helipads south of it.
BglAirport bglGridAirport(const std::string& code, double latitude, double longitude, int stands,
                          int helipads = 0, std::int32_t altitudeMillimetres = 0);

// A file whose only section is not an airport section: the scan's pre-check passes it by.
BglFile bglSceneryObjectsFile();

// A package's manifest.json with the members the publisher search reads.
void writeManifest(const std::filesystem::path& packageFolder, const std::string& manufacturer,
                   const std::string& creator, const std::string& title);

struct DemoAirportsSummary {
    std::size_t bglFiles = 0;
    std::size_t airports = 0;
};

// Below a simulator's packages folder: Official/OneStore with the simulator's own EHAM, and Community with a
// FlyTampa EHAM (fewer stands than its archived file), an Aerosoft EDDF (more stands than its archived
// file), a Lelystad airport of a maker the data base does not know, and a scenery file without airports.
DemoAirportsSummary writeDemoAddonAirports(const std::filesystem::path& packagesFolder);

// Code of the index-th bulk airport: 'K' followed by three letters.
std::string bulkAirportCode(std::size_t index);

// `airports` packages below the folder, one airport BGL file and one manifest.json each.
std::vector<std::string> writeBulkAirports(const std::filesystem::path& folder, std::size_t airports,
                                           int standsPerAirport, int helipadsPerAirport);

} // namespace kvr::fixtures
