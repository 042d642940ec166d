#pragma once
// VANTREL_WINDOW_JSON=path: the main window as the Win32 API reports it (its child controls with class,
// id, rectangle, text, style, states and list contents, and the texts of the last paint), written as JSON
// after painting at most once a second and once more when the message loop has ended. The same code runs
// on Windows and on the stand-in, so the two can be held against each other.
#include "platform/win32/win32.h"

#include <string>

namespace kvr {

// The dump of a window and its children as JSON text.
std::string gf_windowDumpJson(HWND hwnd);

// A text drawn into dc by the paint that is under way, as it was drawn, with its extent in that device
// context's font (kept only while a dump is asked for).
void gf_recordPaintedText(HDC dc, int x, int y, const std::wstring& text, COLORREF colour);
// The main window has painted: write the dump now, or when the second since the last one is over.
void gf_onMainWindowPainted(HWND hwnd);
// The program ends: the dump of the window as it is now.
void gf_writeFinalWindowDump(HWND hwnd);

} // namespace kvr
