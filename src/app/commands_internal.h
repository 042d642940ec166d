#pragma once
// The three handler families of the WM_COMMAND dispatch and their helpers, for the tests.
#include "app/commands.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace kvr {

bool lf_onButtonCommand(HWND window, std::uint16_t id);
bool lf_onCheckBoxCommand(HWND window, std::uint16_t id);
bool lf_onComboCommand(HWND window, WPARAM wParam);

// The entry chosen in the list with that id, when wParam is its CBN_SELCHANGE: its index and its text.
std::optional<std::pair<int, std::string>> lf_getComboSelection(HWND window, std::uint16_t id, WPARAM wParam);

// SIM_CHOICE changed: forget what belonged to the other simulator and restart with both scans.
void lf_switchSimulator();

} // namespace kvr
