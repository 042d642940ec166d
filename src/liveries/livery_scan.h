#pragma once
// The livery scan: turns the aircraft.cfg files of the user's AI model packages into the livery catalogue
// output/LiveriesScanned.xml and the scan reports under output/errors and output/info.
#include <functional>

namespace kvr {

// Runs the whole scan on the calling thread (the run thread, while SCAN_LIVERIES is set; maxScanTasks and
// activeScanTasks set before). The folders come from the AI packages of the selected simulator's
// Community folder (LIG_AUTOMATIC) or from lfolder0 .. lfolder9. A successful scan switches
// SCAN_LIVERIES off and saves it; a scan cut short by a stop request leaves it on, so that the next
// start scans again, and so does one whose catalogue could not be saved, which hands its liveries to
// this start's livery data base (gf_useUnsavedScan).
// Throws UserErrorException 43 (no AI package found), 48 (no manual folder set), 53 / 143 (no livery
// found, manual / automatic), 243 (a manual folder does not exist); std::runtime_error
// "AI_PACKAGE_SELECTOR not set" for a selector value that is none of its choices; and the
// std::filesystem::filesystem_error of a folder that cannot be checked or listed.
void gf_scanLiveries();

// What only the application shell can do: open the manual and the folder that holds parameters.xml,
// so that a user without manual folders sees where to set them. The shell installs both before the
// first scan; until then (tools, tests) a manual scan without folders only throws its user error.
struct LiveryScanShellActions {
    std::function<void()> openManual;
    std::function<void()> openParametersFolder;
};
void gf_installLiveryScanShellActions(LiveryScanShellActions actions);

} // namespace kvr
