#pragma once
// The report files a livery scan leaves under output/errors and output/info, and the corrections of the
// scanned liveries from the aircraft data base.
#include <filesystem>
#include <string>
#include <vector>

namespace kvr {

struct ScanReportPaths {
    std::filesystem::path invalidAirlineCodes;     // errors/InvalidAirlineCodes.txt
    std::filesystem::path invalidAircraftCodes;    // errors/InvalidAircraftCodes.txt
    std::filesystem::path fixes;                   // errors/Fixes.txt
    std::filesystem::path invalidAircraftCfgFiles; // errors/InvalidAircraftCfgFiles.txt
    std::filesystem::path incompleteSections;      // errors/IncompleFltsimSections.txt
    std::filesystem::path cfgWithoutFltsim;        // info/AircraftCfgWithNoFltsimSection.txt
    std::filesystem::path conversions;             // info/AirlineModelConversions.txt
};

// Below the livery folders of liveryPaths, so that they follow the working folder.
ScanReportPaths lf_scanReportPaths();

// Removes the previous scan's error reports (not the catalogue, which only a complete new one replaces),
// then output/errors when it is empty. Logs the first failure and stops there; never throws.
void lf_removeScanFiles();

// Corrects cargo flag, airline and type of every scanned livery whose registration the aircraft data
// base knows, recording one line per change.
void lf_logConversions();
const std::vector<std::string>& lf_conversionLines();
void lf_clearConversionLines();

// Writes the report files of the finished scan and logs their summary.
void lf_writeScanReports();
void lf_writeFixesFile();

} // namespace kvr
