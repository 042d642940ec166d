#pragma once
// The parts of the main window that tests drive directly.
#include "app/main_window.h"

#include <optional>
#include <string>

namespace kvr {

// The last recognised production switch of the command line: true for "--production" and "/production",
// false for "--no-production" and "/no-production" (case ignored); nothing when there is none.
std::optional<bool> lf_readProductionSwitch(LPCWSTR commandLine);
bool lf_registerMainWindowClass(HINSTANCE instance, LPCWSTR title);
bool initInstance(HINSTANCE instance, LPCWSTR title);
LRESULT CALLBACK lf_mainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
std::string lf_formatShortNameTwice(const std::string& formatText);
// A window position at its range limit is replaced by the old one and saved.
void lf_storeWindowPosition(int oldX, int oldY);
// Connects the control services and the screen areas of the lower subsystems to the window.
void lf_installWindowPorts();

} // namespace kvr
