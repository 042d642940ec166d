#include "bgl_fixtures/bgl_airports.h"

#include <fmt/format.h>

#include <cmath>
#include <fstream>
#include <stdexcept>

namespace kvr::fixtures {

namespace {

constexpr double metresPerDegreeLatitude = 111120.0;
constexpr double standSpacingMetres = 60.0;
constexpr int standsPerRow = 10;

double lf_longitudeDegrees(double metres, double latitude) {
    return metres / (metresPerDegreeLatitude * std::cos(latitude * 3.141592653589793 / 180.0));
}

std::string lf_jsonText(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            quoted.push_back('\\');
        quoted.push_back(c);
    }
    return quoted + "\"";
}

void lf_writeAirportFile(const std::filesystem::path& path, const BglAirport& airport,
                         DemoAirportsSummary& summary) {
    writeBglFile(path, bglFileWith({airport}));
    ++summary.bglFiles;
    ++summary.airports;
}

} // namespace

BglAirport bglGridAirport(const std::string& code, double latitude, double longitude, int stands,
                          int helipads, std::int32_t altitudeMillimetres) {
    BglAirport airport;
    airport.icao = code;
    airport.altitudeMillimetres = altitudeMillimetres;
    BglParkingList list;
    for (int i = 0; i < stands; ++i) {
        BglParking parking;
        parking.number = static_cast<std::uint16_t>(i + 1);
        const bool cargo = i % 7 == 6;
        parking.nameIndex = cargo ? bglNameLetterA + 2 : bglNameGate;
        parking.type = cargo ? bglTypeRampCargo : (i % 3 == 0 ? bglTypeGateHeavy : bglTypeGateSmall);
        parking.radiusMetres = cargo ? 35.0f : 25.0f;
        parking.headingDegrees = static_cast<float>((i * 15) % 360);
        parking.latitude = latitude + (i / standsPerRow + 1) * standSpacingMetres / metresPerDegreeLatitude;
        parking.longitude =
            longitude + lf_longitudeDegrees((i % standsPerRow) * standSpacingMetres, latitude);
        list.parkings.push_back(parking);
    }
    // Helipads come first: only the first parking list of an airport is read, nothing after it.
    for (int i = 0; i < helipads; ++i) {
        BglHelipad& helipad = std::get<BglHelipad>(airport.subrecords.emplace_back(BglHelipad{}));
        helipad.latitude = latitude - (i + 1) * standSpacingMetres / metresPerDegreeLatitude;
        helipad.longitude = longitude;
        helipad.sizeMetres = 24.0f;
    }
    airport.subrecords.push_back(std::move(list));
    return airport;
}

BglFile bglSceneryObjectsFile() {
    BglFile file = bglFileWith({BglRawRecord{0x0B, std::vector<std::uint8_t>(26, 0x11), std::nullopt}});
    file.sections.front().type = 0x25;
    return file;
}

void writeManifest(const std::filesystem::path& packageFolder, const std::string& manufacturer,
                   const std::string& creator, const std::string& title) {
    std::filesystem::create_directories(packageFolder);
    std::ofstream out(packageFolder / "manifest.json", std::ios::binary | std::ios::trunc);
    out << fmt::format("{{\n  \"content_type\": \"SCENERY\",\n  \"title\": {},\n  \"manufacturer\": {},\n"
                       "  \"creator\": {},\n  \"package_version\": \"1.0.0\"\n}}\n",
                       lf_jsonText(title), lf_jsonText(manufacturer), lf_jsonText(creator));
    if (!out)
        throw std::runtime_error(fmt::format("cannot write {}", (packageFolder / "manifest.json").string()));
}

DemoAirportsSummary writeDemoAddonAirports(const std::filesystem::path& packagesFolder) {
    DemoAirportsSummary summary;
    const auto official = packagesFolder / "Official" / "OneStore" / "microsoft-airport-eham-schiphol";
    writeManifest(official, "Microsoft", "Asobo Studio", "Amsterdam Schiphol");
    lf_writeAirportFile(official / "scenery" / "microsoft" / "eham" / "EHAM_APX.bgl",
                        bglGridAirport("EHAM", 52.3086, 4.7639, 90, 1, -3400), summary);

    const auto community = packagesFolder / "Community";
    const auto flytampa = community / "flytampa-amsterdam";
    writeManifest(flytampa, "", "FlyTampa", "FlyTampa Amsterdam");
    lf_writeAirportFile(flytampa / "scenery" / "flytampa" / "EHAM.bgl",
                        bglGridAirport("EHAM", 52.3086, 4.7639, 150, 2, -3400), summary);
    writeBglFile(flytampa / "scenery" / "flytampa" / "EHAM_objects.bgl", bglSceneryObjectsFile());
    ++summary.bglFiles;

    const auto aerosoft = community / "aerosoft-frankfurt";
    writeManifest(aerosoft, "Aerosoft", "Aerosoft", "Mega Airport Frankfurt");
    lf_writeAirportFile(aerosoft / "scenery" / "EDDF_airport.bgl",
                        bglGridAirport("EDDF", 50.0365, 8.5613, 200, 0, 110900), summary);

    const auto lelystad = community / "dutchsim-lelystad";
    writeManifest(lelystad, "", "Dutch Sim Works", "Lelystad Airport");
    lf_writeAirportFile(lelystad / "scenery" / "EHLE_ap.bgl",
                        bglGridAirport("EHLE", 52.4603, 5.5272, 24, 1, -4000), summary);
    return summary;
}

std::string bulkAirportCode(std::size_t index) {
    if (index >= 26 * 26 * 26)
        throw std::invalid_argument(fmt::format("no bulk airport code for index {}", index));
    std::string code = "K";
    code.push_back(static_cast<char>('A' + index / (26 * 26)));
    code.push_back(static_cast<char>('A' + index / 26 % 26));
    code.push_back(static_cast<char>('A' + index % 26));
    return code;
}

std::vector<std::string> writeBulkAirports(const std::filesystem::path& folder, std::size_t airports,
                                           int standsPerAirport, int helipadsPerAirport) {
    std::vector<std::string> codes;
    codes.reserve(airports);
    for (std::size_t i = 0; i < airports; ++i) {
        const std::string code = bulkAirportCode(i);
        const auto package = folder / fmt::format("bulkdev-airport-{}", code);
        writeManifest(package, "", "Bulk Scenery Works", fmt::format("{} Bulk Airport", code));
        const double latitude = 25.0 + static_cast<double>(i % 200) * 0.1;
        const double longitude = -120.0 + static_cast<double>(i / 200) * 0.5;
        writeBglFile(package / "scenery" / (code + ".bgl"),
                     bglFileWith({bglGridAirport(code, latitude, longitude, standsPerAirport,
                                                 helipadsPerAirport, 100000)}));
        codes.push_back(code);
    }
    return codes;
}

} // namespace kvr::fixtures
