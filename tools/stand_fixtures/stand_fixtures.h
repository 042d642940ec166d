#pragma once
// Writes stand files and learned files for tests, benchmarks and the download server's stock files.
// The text is built directly from the attributes given, so that tests can also write the faulty files a
// reader must cope with (missing or repeated ids, bad slots, no meta block, no root element).
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace kvr::fixtures {

using Attributes = std::vector<std::pair<std::string, std::string>>;

struct ParkposSpec {
    Attributes attributes;
    std::vector<Attributes> opts;
};

struct StandFileSpec {
    bool withRoot = true; // false: parkpositions directly under the document
    bool withMeta = true;
    std::string author = "Vantrel";
    std::string version = "12.0.0";
    std::string sim = "2020";
    std::string date = "2026-01-01";
    std::string copyright = "Vantrel test fixture";
    Attributes parameters; // name, value
    std::vector<ParkposSpec> stands;
};

// A stand with its full position set; radius in metres, heading in degrees.
struct StandPlace {
    std::string id;
    double latitude = 0.0;
    double longitude = 0.0;
    double heading = 0.0;
    double radius = 0.0;
    bool cargo = false;
    bool ramp = false;
    bool heli = false;
};

ParkposSpec gf_standSpec(const StandPlace& place);

// One opt element: registration, weekday, half-hour text ("12:15" or "7"), callsign text and more.
Attributes gf_optSpec(const std::string& registration, int day, const std::string& hours,
                      const std::string& callsigns = {}, const std::string& airline = {},
                      const std::string& type = {}, bool soft = false);

std::string gf_standFileXml(const StandFileSpec& spec);
void gf_writeStandFile(const std::filesystem::path& path, const StandFileSpec& spec);

// A made-up airport of standCount stands around a reference point, and a learned file that gives its
// stands optionsPerStand options in total; the same seed gives the same files.
StandFileSpec gf_syntheticAirport(const std::string& name, double latitude, double longitude, int standCount,
                                  std::uint32_t seed);
StandFileSpec gf_syntheticLearned(const StandFileSpec& airport, int optionCount, std::uint32_t seed);

} // namespace kvr::fixtures
