#pragma once
// The picture of the main window that VANTREL_WINDOW_PNG asks for.
#include "platform/win32/win32_types.h"

#include <chrono>
#include <optional>

namespace kvr::standin {

// A top-level window has painted: write its picture now, or owe it for when a second has passed.
void gf_onWindowPainted(HWND hwnd);
// When the calling thread owes a picture, the time it falls due.
std::optional<std::chrono::steady_clock::time_point> gf_pictureDueTime();
// Writes an owed picture whose time has come (called by the message loop while it is idle).
void gf_writePictureIfDue();
// Writes the picture of the main window now, when one is asked for (the end of the process).
void gf_writeFinalPicture();
// Turns the picture file on (ProcessScope) with the path from the environment.
void gf_enablePictureFile();

} // namespace kvr::standin
