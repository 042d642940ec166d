// The process entry: single instance, log, window class, data folder, the window and its message loop.
#include "app/main_window.h"
#include "app/main_window_internal.h"
#include "app/run_thread.h"
#include "app/window_dump.h"
#include "core/log.h"
#include "core/program_version.h"
#include "settings/parameters_file.h"

#include <fmt/format.h>

#include <filesystem>

namespace kvr {

namespace {

constexpr UINT titleStringId = 101;
constexpr WORD iconId = 100;
constexpr int titleBufferLength = 100;

struct LocalFreeDeleter {
    void operator()(LPWSTR* memory) const { LocalFree(memory); }
};

} // namespace

std::optional<bool> lf_readProductionSwitch(LPCWSTR commandLine) {
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreeDeleter> arguments(CommandLineToArgvW(commandLine, &count));
    if (!arguments)
        return std::nullopt;
    std::optional<bool> production;
    for (int i = 1; i < count; ++i) {
        const LPCWSTR argument = arguments.get()[i];
        if (_wcsicmp(argument, L"--production") == 0 || _wcsicmp(argument, L"/production") == 0)
            production = true;
        else if (_wcsicmp(argument, L"--no-production") == 0 || _wcsicmp(argument, L"/no-production") == 0)
            production = false;
    }
    return production;
}

bool lf_registerMainWindowClass(HINSTANCE instance, LPCWSTR title) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXW);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = lf_mainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(iconId));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = title;
    windowClass.hIconSm = windowClass.hIcon;
    return RegisterClassExW(&windowClass) != 0;
}

int gf_runMainWindow(HINSTANCE instance) {
    const std::optional<bool> production = lf_readProductionSwitch(GetCommandLineW());

    WCHAR title[titleBufferLength] = {};
    if (LoadStringW(instance, titleStringId, title, titleBufferLength) == 0) {
        gf_logLine("Failed to load application title");
        return 0;
    }
    if (!lf_registerMainWindowClass(instance, title)) {
        gf_logLine("Failed to register window class");
        return 0;
    }
    try {
        if (!std::filesystem::exists(appDataFolder))
            std::filesystem::create_directories(appDataFolder);
    } catch (const std::filesystem::filesystem_error& e) {
        gf_logLine(fmt::format("Failed to create directory: {}", e.what()));
        return 0;
    }
    if (!initInstance(instance, title)) {
        gf_logError("initInstance failed");
        return 0;
    }
    if (production == true)
        productionMode = true;
    if (HWND hwnd = mainWindowHandle.load())
        PostMessageW(hwnd, WM_APP_START_RUN, 0, 0);

    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) != 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // A run thread still ending while the process ends would meet the clean-up of the libraries it used.
    runThread.stopAndJoin();
    gf_writeFinalWindowDump(mainWindowHandle.load());
    return static_cast<int>(msg.wParam);
}

} // namespace kvr

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Never closed: the mutex marks this process as the running instance until it ends.
    CreateMutexA(nullptr, FALSE, "Local\\$Vantrel$");
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return -1;
    try {
        kvr::gf_openLogFile();
    } catch (const std::exception&) {
        // A program folder the user may not write to (unzipped under Program Files): the run thread says so
        // in the window, which needs no log, and waits for the user to close it.
    }
    return kvr::gf_runMainWindow(instance);
}
