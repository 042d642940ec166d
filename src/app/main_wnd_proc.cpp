// The window procedure of the main window: every message of the window is routed here.
#include "app/commands.h"
#include "app/control_creation.h"
#include "app/main_window.h"
#include "app/main_window_internal.h"
#include "app/paint_internal.h"
#include "app/run_thread.h"
#include "app/window_dump.h"
#include "core/exit_request.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/program_version.h"
#include "core/time_util.h"
#include "settings/parameters_file.h"

#include <fmt/format.h>

#include <ctime>
#include <system_error>

namespace kvr {

namespace {

void lf_onCloseRequest() {
    gf_showMessage(fmt::format("Close window button clicked, closing {} ...", programShortName), false);
    gf_requestExit(ExitReason::userClosedSim, 0);
}

void lf_startRunThread() {
    try {
        // Assigning ends the predecessor first: its last act was to post this message.
        runThread = WatchedThread("run", lf_runThread);
    } catch (const std::system_error& e) {
        gf_logError(fmt::format("The run thread could not be started: {}", e.what()));
        PostQuitMessage(exitCode.load());
    }
}

void lf_storePositionAndQuit() {
    RECT rect{};
    GetWindowRect(mainWindowHandle.load(), &rect);
    const int oldX = mainWindow.windowX.value();
    const int oldY = mainWindow.windowY.value();
    mainWindow.windowX.setClamped(rect.left);
    gf_saveNumParameter(mainWindow.windowX);
    mainWindow.windowY.setClamped(rect.top);
    gf_saveNumParameter(mainWindow.windowY);
    // A minimised window reports a position far below -30000, which clamps to the limit.
    lf_storeWindowPosition(oldX, oldY);
    gf_logLine(gf_timeToText(std::time(nullptr)));
    gf_flushLog();
    PostQuitMessage(exitCode.load());
}

void lf_paint(HWND hwnd) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    try {
        lf_paintMainWindow(dc);
    } catch (const std::exception& e) {
        gf_logUnlessQuiet(fmt::format("lf_paintMainWindow: {}", e.what()));
    }
    mainWindow.paintDc = nullptr;
    EndPaint(hwnd, &paint);
    gf_onMainWindowPainted(hwnd);
}

} // namespace

LRESULT CALLBACK lf_mainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    controlParentHandle = hwnd;
    switch (message) {
    case WM_CREATE:
        lf_createControls(hwnd, reinterpret_cast<const CREATESTRUCTW*>(lParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        lf_paint(hwnd);
        return 0;
    case WM_CLOSE:
        lf_onCloseRequest();
        return 0;
    case WM_COMMAND:
        return lf_HandleWMCOMMAND(hwnd, wParam) ? 0 : DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, lightBlueColour);
        return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }
    case WM_DPICHANGED:
        gf_onDpiChanged(hwnd, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_APP_START_RUN:
        lf_startRunThread();
        return 0;
    case WM_APP_STORE_QUIT:
        lf_storePositionAndQuit();
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace kvr
