// Creating the main window at the stored position.
#include "app/dpi_layout.h"
#include "app/main_window.h"
#include "app/main_window_internal.h"
#include "core/file_util.h"
#include "core/log.h"
#include "core/native_path.h"
#include "core/xml_util.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"

#include <fmt/format.h>
#include <pugixml.hpp>

#include <chrono>
#include <filesystem>
#include <thread>

namespace kvr {

namespace {

constexpr int readyWaitSteps = 18;
constexpr auto readyWaitStep = std::chrono::milliseconds(50);

// Takes the window position from parameters.xml. A file that does not parse is kept as parameters0.xml
// and removed, so the run thread writes a new one with the defaults. Without its copy it stays: it is the
// only one of the user's settings, and nothing is saved over a file that does not parse.
void lf_readWindowPosition() {
    pugi::xml_document doc;
    if (!doc.load_file(parametersFilePath.c_str())) {
        if (!std::filesystem::exists(parametersFilePath))
            return;
        if (!gf_save1GenerationOf(parametersFilePath)) {
            gf_logError(fmt::format(
                "{} failed to load, syntax error?\n --> not copied to 0.xml, so kept; default values used\n",
                gf_pathToUtf8(parametersFilePath)));
            return;
        }
        gf_logError(fmt::format("{} failed to load, syntax error?\n --> saved as 0.xml,  file removed\n",
                                gf_pathToUtf8(parametersFilePath)));
        std::filesystem::remove(parametersFilePath);
        return;
    }
    for (NumParameter* setting : {&mainWindow.windowX, &mainWindow.windowY}) {
        if (const auto stored = gf_readParameterValue(doc, setting->name()))
            setting->setClamped(*stored);
        else
            setting->setValue(setting->defaultValue());
    }
    lf_storeWindowPosition(mainWindow.windowX.defaultValue(), mainWindow.windowY.defaultValue());
}

} // namespace

bool initInstance(HINSTANCE instance, LPCWSTR title) {
    for (int steps = 0; !mainWindow.ready.load(); ++steps) {
        if (steps == readyWaitSteps)
            return false;
        std::this_thread::sleep_for(readyWaitStep);
    }
    try {
        lf_readWindowPosition();
    } catch (const std::filesystem::filesystem_error& e) {
        gf_logError(fmt::format("initInstance: {}", e.what()));
        return false;
    }
    // The panes are laid out for an 880 x 476 client area at 96 DPI; the window's DPI is known once it
    // exists, and its outer size is then made to hold that area at its DPI.
    constexpr DWORD style = WS_CAPTION | WS_SYSMENU;
    HWND hwnd =
        CreateWindowExW(0, title, title, style, mainWindow.windowX.value(), mainWindow.windowY.value(),
                        mainWindowWidth, mainClientHeight, nullptr, nullptr, instance, nullptr);
    mainWindowHandle = hwnd;
    if (!hwnd)
        return false;
    gf_fitWindowToDpi(hwnd);
    lf_installWindowPorts();
    ShowWindow(hwnd, SW_SHOW);
    return UpdateWindow(hwnd) != 0;
}

} // namespace kvr
