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

// Places, sizes and rooms below are given at 96 DPI; each is drawn at the window's DPI (dpi_layout.h).

// Fills an area of the window, and draws a line in the selected pen.
void gf_fillArea(const RECT& area, HBRUSH brush);
void gf_line(POINT from, POINT to);
// Draws one text into the paint's device context; a text that does not convert is logged and skipped.
void gf_textOut(int x, int y, const std::string& text, COLORREF colour);
// As gf_textOut, with the text cut to `room` pixels and an ellipsis where it was cut: at its end, or at its
// start with `keepEnd` (the end of a path tells most).
void gf_textOutWithin(int x, int y, const std::string& text, int room, COLORREF colour, bool keepEnd = false);

} // namespace kvr
