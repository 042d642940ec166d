#pragma once
// The window's places and sizes are given in pixels at 96 DPI, the layout its panes and controls were drawn
// for. On a display of another DPI each is scaled by DPI/96 and the text is drawn in a font made for that
// DPI, so that text and its room grow together; at 96 DPI nothing changes and the device context's own font
// draws the text.
#include "app/main_window.h"

namespace kvr {

inline constexpr int layoutDpi = 96;

// A length, point or area given at 96 DPI, in pixels at the window's DPI (to the nearest pixel).
int gf_scaled(int length);
POINT gf_scaled(POINT point);
RECT gf_scaled(const RECT& area);

int gf_windowDpi();
// The text font for the window's DPI; null at 96 DPI. Used on the GUI thread only.
HFONT gf_windowFont();

// Takes the DPI of the window and makes its font; returns the font it replaces, for the caller to drop once
// nothing draws with it any more.
FontHandle gf_setWindowDpi(int dpi);
// The window's outer size around the client area at its DPI; with `topLeft`, also its place.
void gf_fitWindowToDpi(HWND hwnd, const POINT* topLeft = nullptr);

// InvalidateRect with an area given at 96 DPI.
void gf_invalidateLayoutArea(HWND hwnd, const RECT& area);

} // namespace kvr
