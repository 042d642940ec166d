// Closing down a session, the restart countdown and the reset before the next pass.
#include "app/closing_down.h"

#include "app/engine_link.h"
#include "app/main_window.h"
#include "app/request_flags.h"
#include "app/session_state.h"
#include "app/time_shift.h"
#include "app/traffic_link.h"
#include "core/exit_request.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/no_match_names.h"
#include "core/program_version.h"
#include "core/status_display.h"
#include "core/stop_waits.h"
#include "core/text_util.h"
#include "core/time_util.h"
#include "liveries/livery_matching.h"
#include "parking/park_airport.h"
#include "parking/static_parking.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"
#include "simlink/flight_plan.h"
#include "simlink/sim_client.h"
#include "simlink/sim_link_state.h"

#include <fmt/format.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

namespace kvr {

namespace {

using namespace std::chrono_literals;

constexpr auto newFlightNoticeTime = 10s;

std::mutex observerMutex;
std::function<void()> closingDownObserver;

void lf_notifyObserver() {
    std::function<void()> observer;
    {
        std::lock_guard lock(observerMutex);
        observer = closingDownObserver;
    }
    if (observer)
        observer();
}

bool lf_restartsAfter(ExitReason reason) {
    return reason == ExitReason::newSettings || reason == ExitReason::simConnectError ||
           reason == ExitReason::readerError;
}

// The simulator link's thread ends here, on the run thread, while the window still answers its messages:
// its last act (learning the user's stand) must not meet the park traffic being cleared, and no thread of
// the session may outlive the window into the process's end. One that does not end in time is left behind.
void lf_endSimClientThread() {
    simClientThread.stopAndJoin();
}

void lf_postToWindow(UINT message) {
    if (HWND hwnd = mainWindowHandle.load())
        PostMessageW(hwnd, message, 0, 0);
}

// The message line logs nothing once a stop is requested, which closing down always follows; its own
// notices belong in Log.txt all the same.
void lf_showLoggedNotice(const std::string& text) {
    gf_showMessage(text, false);
    gf_logLine(text);
}

// The error stays in the message line until the user closes the window.
void lf_waitForTheUser() {
    while (!userClosed.load())
        std::this_thread::sleep_for(500ms);
}

// A user error sets the reason without a stop, so a request that follows (a Community path entered after
// error 150) still takes the session over and ends the wait.
void lf_waitForTheUserOrARequest() {
    while (!userClosed.load() && exitReason.load() == ExitReason::systemError)
        std::this_thread::sleep_for(500ms);
}

void lf_removeFlightPlanFolder() {
    const std::filesystem::path folder = flightPlanFolder.get();
    if (folder.empty())
        return;
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    if (ec)
        gf_logLine(fmt::format("gf_removeFlightPlanFolder: {}", ec.message()));
}

void lf_endTimeShift() {
    timeShiftActive = false;
    if (KEEP_SIM_TIME_PAR.value()) {
        if (SIM_TIME.value())
            lf_resetTimeShift();
    } else {
        gf_setCheckSetting(SIM_TIME, false);
        lf_resetTimeShift();
    }
}

void lf_restart(ExitReason reason) {
    restartPending = true;
    gf_clearMessageAndError();
    lf_showLoggedNotice("Prepare for a restart ...");
    if (reason != ExitReason::newSettings) {
        // A restart after an error does not repeat the livery scan. SCAN_AIRPORTS stays as it is: a finished
        // airport scan switched it off, and one that did not finish has deleted the stand files it was
        // rebuilding, so it must run again.
        gf_setCheckSetting(SCAN_LIVERIES, false);
    }
    lf_restartCountdown();
    // The close box used while the session closed down or counted down ends the program: the reset below
    // would forget it, and a service that keeps failing would restart the program for ever.
    if (userClosed.load()) {
        restartPending = false;
        lf_postToWindow(WM_APP_STORE_QUIT);
        return;
    }
    lf_resetSessionState();
    lf_postToWindow(WM_APP_START_RUN);
}

void lf_quit(ExitReason reason) {
    restartPending = false;
    if (reason == ExitReason::newFlight) {
        lf_showLoggedNotice(
            fmt::format("New flight detected, {} will close, please restart manually ...", programShortName));
        // The close box ends the notice.
        gf_waitUntil([] { return userClosed.load(); }, newFlightNoticeTime);
    }
    lf_postToWindow(WM_APP_STORE_QUIT);
}

} // namespace

void gf_installClosingDownObserver(std::function<void()> observer) {
    std::lock_guard lock(observerMutex);
    closingDownObserver = std::move(observer);
}

void lf_closingDown() {
    try {
        gf_logLine(fmt::format("Exiting: {}", gf_exitReasonName(exitReason.load())));
        gf_flushLog();
        lf_notifyObserver();
        engine_link::setKeepReportsFlag(false);
        lf_endSimClientThread();
        traffic_link::stopReadersAndLogout();
        if (exitReason.load() == ExitReason::systemError) {
            lf_waitForTheUserOrARequest();
            if (userClosed.load())
                lf_showLoggedNotice(fmt::format("User closed {}", programShortName));
        }
        if (!currentParkAirport.code.empty())
            gf_clearParkTraffic(LearnedSaving::atClosingDown);
        else
            gf_saveUnsavedLearnedFiles(LearnedSaving::atClosingDown);
        engine_link::clearSpawnCache();
        lf_removeFlightPlanFolder();
        gf_setParameterAndSave(DESTINATION, "");
        gf_showControlText(DESTINATION);
        gf_setParameterAndSave(BLOCK_CALLSIGN, "");
        gf_showControlText(BLOCK_CALLSIGN);
        lf_endTimeShift();
        engine_link::clearSpawnedCallsigns();
        engine_link::logReportIntake();
        gf_logLiveryMatchingSummary();
        gf_logNoMatch();
        gf_flushLog();
        // Posting the end is the run thread's last act: once the window has it, the process may be ending.
        if (const ExitReason reason = exitReason.load(); lf_restartsAfter(reason))
            lf_restart(reason);
        else
            lf_quit(reason);
    } catch (const std::exception& e) {
        gf_showMessage(fmt::format("{} exception {}", "lf_closingDown", e.what()), true);
        gf_logError(fmt::format("{} exception {}", "lf_closingDown", e.what()));
        // Neither a restart nor the end was posted: the close box must still end the program.
        lf_waitForTheUser();
        lf_postToWindow(WM_APP_STORE_QUIT);
    }
}

void lf_restartCountdown() {
    const int seconds = restartDelaySeconds.load();
    if (seconds < 1)
        return;
    gf_logLine(fmt::format("Restarting after {} seconds", seconds));
    gf_logLine(std::string(48, '-'));
    auto deadline = std::chrono::steady_clock::now();
    for (int left = seconds; left >= 1 && !userClosed.load(); --left) {
        gf_showMessage(fmt::format("Restarting after {} second{}", left, gf_pluralSuffixInt(left)));
        deadline += 1s;
        std::this_thread::sleep_until(deadline);
    }
    std::lock_guard lock(logMutex);
    gf_logLineLocked("Restart countdown finished");
}

void lf_resetSessionState() {
    traffic_link::resetReaders();
    // Normally gone since closing down; it must be, before its state is reset, or it could still report a
    // flight of the old session.
    lf_endSimClientThread();
    gf_resetSimLink();
    engine_link::clearTrafficTables();
    gf_clearMessageAndError();
    gf_setMessageRoundCounter(0);
    statusDisplay.reset();
    controlParentHandle = nullptr;
    gf_resetStopState();
    newData = false;
    flightNotRunning = false;
    staticParkingNowRequested = false;
    timeShiftRequested = false;
    simTimeSwitched = false;
    staticParkingCountdownRequested = false;
    staticUpdatePhase = false;
    blockedCallsignChanged = false;
    callsignSelectionChanged = false;
    roundCounter = 0;
    waitingForSim = true;
}

void lf_restartForCommunityPath() {
    gf_requestExitOverError(ExitReason::newSettings, 3);
    // Another reason may have ended the session first; the path is saved for the next start then.
    if (lf_restartsAfter(exitReason.load()) && !userClosed.load())
        lf_showLoggedNotice(fmt::format("Community path found, {} will restart ...", programShortName));
    else
        lf_showLoggedNotice(
            fmt::format("Community path found, {} uses it at its next start", programShortName));
}

} // namespace kvr
