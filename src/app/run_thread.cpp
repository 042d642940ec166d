// The run thread: one pass per session. It checks the program folder, reads the start-up data, runs the
// scans, holds back until the live-traffic service may be visited again, runs the session and closes it
// down. Whatever the pass does not catch itself ends in its catch clauses, which show the error and end
// the session with SYSTEM ERROR.
#include "app/closing_down.h"
#include "app/edit_box_entries.h"
#include "app/main_window.h"
#include "app/main_window_internal.h"
#include "app/program_folder.h"
#include "app/run_thread_internal.h"
#include "app/scan_link.h"
#include "app/session.h"
#include "app/subsystem_wiring.h"
#include "core/exit_request.h"
#include "core/file_util.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/native_path.h"
#include "core/scan_slots.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "core/user_error.h"
#include "liveries/catalogue_file.h"
#include "liveries/livery_database.h"
#include "liveries/livery_paths.h"
#include "parking/airport_scan.h"
#include "parking/park_airport.h"
#include "refdata/airport_table.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "simlink/flight_plan.h"

#include <fmt/format.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <new>
#include <thread>

namespace kvr {

WatchedThread runThread;

namespace {

// The live-traffic service must not be visited again within this many seconds.
constexpr int serviceRevisitSeconds = 2;
// How often a wait of the pass looks at the stop request.
constexpr auto stopCheckInterval = std::chrono::milliseconds(50);

void lf_holdForTheService() {
    const int wait = lf_holdSeconds(std::time(nullptr), LAST_EPOCH_TIME.value());
    if (wait <= 0)
        return;
    gf_showMessage(fmt::format("Holding for {} seconds... (RT API cannot be revisited within {} seconds)",
                               wait, serviceRevisitSeconds),
                   true);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(wait);
    while (!gf_stopping() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_until(std::min(end, std::chrono::steady_clock::now() + stopCheckInterval));
}

// A new program folder beside the user's old settings has no catalogue yet, whatever SCAN_LIVERIES says;
// one left empty or broken (a crash of another program, a bad edit) is no better.
bool lf_liveryScanWanted() {
    if (SCAN_LIVERIES.value())
        return true;
    const std::optional<std::string> problem = gf_catalogueUnreadable();
    if (!problem)
        return false;
    gf_logLine(
        fmt::format("{} {}, the liveries are scanned", gf_pathToUtf8(liveryPaths.liveriesScanned), *problem));
    return true;
}

void lf_countAddonFolders() {
    statusDisplay.simAddonAirportCount = static_cast<unsigned>(gf_countFilesInFolder("airports/my_simaddon"));
    statusDisplay.thirdPartyAirportCount =
        static_cast<unsigned>(gf_countFilesInFolder("airports/my_thirdparty"));
    gf_invalidateArea(ScreenArea::statusPane);
}

void lf_startSession() {
    gf_createFlightPlanFolder();
    gf_readMyParkAirports();
    gf_enableControl(reReadButton);
    if (const std::string destination = DESTINATION.value(); !destination.empty())
        if (const auto airport = gf_findAirport(destination))
            lf_setDestination(destination, airport->latitude, airport->longitude);
    SetWindowPos(mainWindowHandle.load(), ALWAYS_ON_TOP.value() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE);
    gf_runSession();
}

// The first requester of a stop decides the reason; an error after an earlier request changes nothing.
void lf_stopWithSystemError() {
    gf_requestExit(ExitReason::systemError, 0);
}

} // namespace

void lf_checkProgramFolder() {
    std::error_code ec;
    const auto status = std::filesystem::status("docs", ec);
    if (ec && ec != std::errc::no_such_file_or_directory)
        throw std::filesystem::filesystem_error("status", "docs", ec);
    if (!std::filesystem::is_directory(status))
        throw UserErrorException(41, lf_formatShortNameTwice("{} must be run from the {} folder!"));
}

int lf_holdSeconds(std::time_t now, std::int64_t lastVisit) {
    const std::int64_t elapsed = static_cast<std::int64_t>(now) - lastVisit;
    if (elapsed >= serviceRevisitSeconds)
        return 0;
    // A last visit in the future (a hand-edited parameters.xml) must not hold the program for its distance.
    return static_cast<int>(serviceRevisitSeconds - std::max<std::int64_t>(elapsed, 0));
}

void lf_closeIfProduction() {
    exitCode = 0;
    gf_requestExit(ExitReason::userClosedSim, 0);
}

void lf_scansHoldAndSession() {
    if (SCAN_AIRPORTS.value()) {
        statusDisplay.simAddonAirportCount = 0;
        statusDisplay.thirdPartyAirportCount = 0;
        gf_invalidateArea(ScreenArea::statusPane);
        gf_scanAddonAirports();
    }
    lf_holdForTheService();
    lf_countAddonFolders();
    // Whoever stopped the pass gave the reason: a settings change during the scan or the hold restarts, and
    // only the user's own close ends the program.
    if (gf_stopping())
        return;
    lf_startSession();
}

void lf_runGuarded(const std::function<void()>& steps) {
    try {
        steps();
    } catch (const UserErrorException& e) {
        gf_showError(e.what());
        exitReason = ExitReason::systemError;
    } catch (const fmt::format_error& e) {
        gf_showError(std::string("std::format error: ") + e.what());
        gf_showError(e.what());
        lf_stopWithSystemError();
    } catch (const std::bad_alloc& e) {
        gf_showError(e.what());
        lf_stopWithSystemError();
    } catch (const std::exception& e) {
        gf_showError(e.what());
        lf_stopWithSystemError();
    } catch (...) {
        gf_showError("Unknown exception");
        exitReason = ExitReason::systemError;
    }
}

void lf_runThread() {
    gf_wireSubsystems();
    lf_runGuarded([] {
        lf_checkProgramFolder();
        gf_checkProgramFolderWritable();
        lf_readStartupData();
        gf_flushLog();
        // A downloaded new version ends the program from inside the start-up reading, which then skips what
        // the rest of the pass needs.
        if (gf_stopping())
            return;
        maxScanTasks = static_cast<std::int32_t>(std::thread::hardware_concurrency());
        activeScanTasks.exchange(0);
        if (lf_liveryScanWanted())
            scan_link::scanLiveries();
        // A stopped scan wrote no catalogue: the pass ends with the reason of whoever stopped it, and the
        // data base is built at the next pass.
        if (gf_stopping())
            return;
        gf_processScannedLiveries();
        // Production mode ends the run once the liveries are scanned and read: requested any earlier, the
        // stop would cut the scan short.
        if (productionMode.load())
            lf_closeIfProduction();
        if (!gf_stopping())
            lf_scansHoldAndSession();
    });
    // An unattended production run never waits for a user, not even after an error.
    if (productionMode.load())
        lf_closeIfProduction();
    gf_flushLog();
    lf_closingDown();
}

} // namespace kvr
