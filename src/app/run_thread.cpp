// The run thread's pass as far as the program is built: it checks the program folder, reads the settings
// and shows them in the controls, then holds the session open until a stop is requested, and ends the
// pass as closing down does: "Exiting: {}" is logged, an error stays in the message line until the user
// closes the window, and WM_APP+2 stores the window position and quits. The start-up data, the scans and
// the traffic session join this pass as they are built; until then every exit reason quits.
#include "app/run_thread.h"

#include "app/combo_fill.h"
#include "app/control_state.h"
#include "app/main_window.h"
#include "app/main_window_internal.h"
#include "core/exit_request.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/program_version.h"
#include "core/shell_port.h"
#include "core/user_error.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"

#include <fmt/format.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace kvr {

namespace {

constexpr auto stopPollStep = std::chrono::milliseconds(100);
constexpr auto userClosePollStep = std::chrono::milliseconds(500);

void lf_checkProgramFolder() {
    std::error_code ec;
    const auto status = std::filesystem::status("docs", ec);
    if (ec && ec != std::errc::no_such_file_or_directory)
        throw std::filesystem::filesystem_error("status", "docs", ec);
    if (!std::filesystem::is_directory(status))
        throw UserErrorException(41, lf_formatShortNameTwice("{} must be run from the {} folder!"));
}

// The controls were created before the settings were read: show what was read.
void lf_showSettingsInControls() {
    for (WindowControl* control : gf_allControls()) {
        if (auto* box = dynamic_cast<CheckBoxParameter*>(control))
            gf_showCheckMark(*box);
        else if (auto* numbers = dynamic_cast<NumComboParameter*>(control))
            lf_fillNumberCombo(*numbers);
        else if (auto* hours = dynamic_cast<FloatComboParameter*>(control))
            lf_fillNumberCombo(*hours);
        else if (auto* texts = dynamic_cast<StringComboParameter*>(control))
            lf_fillStringCombo(*texts);
    }
    gf_syncMaxFitCombo();
    gf_invalidateControlsArea();
}

void lf_closeIfProduction() {
    exitCode = 0;
    gf_requestExit(ExitReason::userClosedSim, 0);
}

void lf_endPass() {
    gf_logLine(fmt::format("Exiting: {}", gf_exitReasonName(exitReason.load())));
    if (exitReason.load() == ExitReason::systemError) {
        while (!userClosed.load())
            std::this_thread::sleep_for(userClosePollStep);
        gf_showMessage(fmt::format("User closed {}", programShortName), true);
    }
    gf_flushLog();
    if (HWND hwnd = mainWindowHandle.load())
        PostMessageW(hwnd, WM_APP_STORE_QUIT, 0, 0);
}

} // namespace

void lf_runThread() {
    try {
        lf_checkProgramFolder();
        lf_loadParameters();
        gf_invalidateArea(ScreenArea::statusPane);
        gf_flushLog();
        lf_showSettingsInControls();
        if (productionMode.load())
            lf_closeIfProduction();
        while (!stopRequested.load())
            std::this_thread::sleep_for(stopPollStep);
    } catch (const UserErrorException& e) {
        gf_showError(e.what());
        exitReason = ExitReason::systemError;
    } catch (const std::exception& e) {
        gf_showError(e.what());
        gf_requestExit(ExitReason::systemError, 0);
    } catch (...) {
        gf_showError("Unknown exception");
        exitReason = ExitReason::systemError;
    }
    gf_flushLog();
    lf_endPass();
}

} // namespace kvr
