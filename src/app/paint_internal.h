#pragma once
// Painting of the main window on WM_PAINT.
#include "app/main_window.h"

#include <string>

namespace kvr {

void lf_paintMainWindow(HDC dc);
void lf_paintStatusPane();
void lf_paintControlLabels(const MainWindow& window);
void lf_paintTrafficPane();
void gf_paintMessageLine(const std::string& message);
void lf_paintErrorLine(const std::string& error);

// Draws one text into the paint's device context; a text that does not convert is logged and skipped.
void gf_textOut(int x, int y, const std::string& text, COLORREF colour);

} // namespace kvr
