// A change of SIM_CHOICE. The liveries, the scanned airports and the install path belong to the simulator
// that was selected, so they are dropped and the program restarts with both scans.
#include "app/command_hooks.h"
#include "app/commands_internal.h"
#include "core/exit_request.h"
#include "core/message_line.h"
#include "core/shared_state.h"
#include "liveries/livery_database.h"
#include "liveries/livery_paths.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"

#include <fmt/format.h>

#include <filesystem>

namespace kvr {

namespace {

constexpr int switchRestartSeconds = 3;

} // namespace

void lf_switchSimulator() {
    // Absence is fine; any other failure is thrown and logged by the command dispatch.
    std::filesystem::remove(liveryPaths.liveriesScanned);
    gf_clearLiveryDatabase();
    liveriesProcessed.store(false);
    gf_hookClearAirportScanSuccess();
    gf_setCheckSetting(SCAN_AIRPORTS, true);
    gf_setCheckSetting(SCAN_LIVERIES, true);
    const bool msfs2020 = msfs2020Selected.load();
    gf_showMessage(fmt::format("Switching Simulator to {}", msfs2020 ? "MSFS 2020" : "MSFS 2024"), true);
    ALL_INSTALL_PATH.setValue(std::string());
    gf_showControlText(ALL_INSTALL_PATH);
    if (!msfs2020) {
        // The simulator's own add-on airports are fetched again at the next start-up.
        MYSIMADDON24_VERSION.setValue(std::string());
        gf_saveStringParameter(MYSIMADDON24_VERSION);
    }
    gf_requestExit(ExitReason::newSettings, switchRestartSeconds);
}

} // namespace kvr
