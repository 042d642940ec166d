#pragma once
// The user's commands: every WM_COMMAND of the main window's push buttons, check boxes and lists.
#include "platform/win32/win32.h"

namespace kvr {

// Offers the command to the buttons, then the check boxes, then the lists; true when one took it. A
// command nobody took, or one that failed, repaints the controls area and gives false.
bool lf_HandleWMCOMMAND(HWND window, WPARAM wParam);

} // namespace kvr
