#pragma once
// A main window in a scratch world: its own config and runtime folders, a fresh log, default settings.
#include "app/main_window.h"
#include "app/main_window_internal.h"
#include "core/exit_request.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "platform/win32/standin.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cstdlib>
#include <filesystem>

namespace kvr::test {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
        gf_initAppDataFolder();
        std::filesystem::create_directories(appDataFolder);
        resetWorld();
        gf_openLogFile(folder.path());
        gf_registerProgramResources();
        if (registerClass) {
            EXPECT_TRUE(lf_registerMainWindowClass(GetModuleHandleW(nullptr), L"Vantrel"));
        }
    }

    void TearDown() override {
        if (HWND hwnd = mainWindowHandle.exchange(nullptr))
            DestroyWindow(hwnd);
        standin::pumpMessages();
        UnregisterClassW(L"Vantrel", GetModuleHandleW(nullptr));
        gf_installControlPort(nullptr);
        gf_installShellPort(nullptr);
        controlParentHandle = nullptr;
        for (WindowControl* control : gf_allControls())
            control->windowHandle = nullptr;
        resetWorld();
        gf_closeLogFile();
    }

    static void resetWorld() {
        for (Parameter* p : gf_allParameters())
            p->resetToDefault();
        gf_resetStopState();
        gf_clearMessageAndError();
        gf_setMessageRoundCounter(0);
        statusDisplay.reset();
        exitCode = 0;
        restartDelaySeconds = 0;
        productionMode = false;
    }

    bool openWindow() { return initInstance(GetModuleHandleW(nullptr), L"Vantrel"); }
    HWND window() const { return mainWindowHandle.load(); }

    // Paints the whole window now, as WM_PAINT would.
    void repaint() {
        InvalidateRect(window(), nullptr, TRUE);
        UpdateWindow(window());
    }

    std::string logText() {
        gf_flushLog();
        return readFileText(folder / "Log.txt");
    }

    void writeParameters(const std::string& body) {
        writeFileText(parametersFilePath,
                      "<?xml version=\"1.0\"?>\n<root><parameters>" + body + "</parameters></root>\n");
    }

    static std::string storedValue(const std::string& name) {
        pugi::xml_document doc;
        if (!doc.load_file(parametersFilePath.c_str()))
            return "<no file>";
        for (auto p : doc.child("root").child("parameters").children("parameter"))
            if (name == p.attribute("name").value())
                return p.attribute("value").value();
        return "<absent>";
    }

    TempFolder folder;
    bool registerClass = true; // the whole-program tests leave it to gf_runMainWindow
};

} // namespace kvr::test
