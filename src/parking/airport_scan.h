#pragma once
// The add-on airport scan: turns the simulator's installed scenery (BGL files) into stand files.
// The run thread calls gf_scanAddonAirports during the start-up reading while SCAN_AIRPORTS is set, after
// maxScanTasks has been set and activeScanTasks reset; a scan that ran to its end switches SCAN_AIRPORTS
// off again, one cut short by a stop request leaves it on for the next start.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace kvr {

// The lines of output/AirportsScanLog.txt while a scan runs; a line may hold line feeds. Guarded by
// scanMessageMutex; writers append through gf_appendScanMessage.
extern std::vector<std::string> scanMessages;
extern std::mutex scanMessageMutex;

// Set when a scan wrote a link file or a generated stand file; cleared only when the user switches the
// simulator. After a scan it is the scan's result.
extern std::atomic<bool> airportFilesChanged;

// Files put into the tblo folder by the last scan (0 before the first). Above 0, tblo/tblo.zip waits to be
// mailed: the main window shows its reminder and enables the "tblo" button.
extern std::atomic<std::int32_t> tbloCount;

// Folders and files below the working folder.
extern const std::filesystem::path airportsScanLogFile; // output/AirportsScanLog.txt

// The whole scan: the tblo folder, the roots of the selected simulator (Official for MSFS 2020, then
// Community), the generated and link files, the scan log, the tblo collection. Filesystem errors of the
// tblo folder are thrown to the caller.
void gf_scanAddonAirports();

void gf_appendScanMessage(std::string text);

} // namespace kvr
