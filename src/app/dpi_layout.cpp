#include "app/dpi_layout.h"

namespace kvr {

namespace {

// The System font, which the layout was made for, is 16 pixels high at 96 DPI and comes in no larger size;
// at another DPI the text is drawn in a scalable face that Windows and Wine both have, from the same height.
constexpr int systemFontCellHeight = 16;
constexpr const wchar_t* scalableFace = L"Tahoma";
constexpr int scalableWeight = FW_NORMAL;

int lf_scaledFor(int length, int dpi) {
    const int product = length * dpi;
    return (product + (product >= 0 ? layoutDpi / 2 : -layoutDpi / 2)) / layoutDpi;
}

FontHandle lf_fontFor(int dpi) {
    if (dpi == layoutDpi)
        return nullptr;
    // A positive height is the cell height, as the System font's 16 pixels are.
    return FontHandle(CreateFontW(lf_scaledFor(systemFontCellHeight, dpi), 0, 0, 0, scalableWeight, FALSE,
                                  FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, scalableFace));
}

} // namespace

int gf_scaled(int length) {
    return lf_scaledFor(length, mainWindow.dpi.load());
}

POINT gf_scaled(POINT point) {
    return POINT{gf_scaled(point.x), gf_scaled(point.y)};
}

RECT gf_scaled(const RECT& area) {
    return RECT{gf_scaled(area.left), gf_scaled(area.top), gf_scaled(area.right), gf_scaled(area.bottom)};
}

int gf_windowDpi() {
    return mainWindow.dpi.load();
}

HFONT gf_windowFont() {
    return mainWindow.textFont.get();
}

FontHandle gf_setWindowDpi(int dpi) {
    if (dpi <= 0)
        dpi = layoutDpi;
    FontHandle previous = std::move(mainWindow.textFont);
    mainWindow.dpi.store(dpi);
    mainWindow.textFont = lf_fontFor(dpi);
    return previous;
}

void gf_fitWindowToDpi(HWND hwnd, const POINT* topLeft) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    RECT outer{0, 0, gf_scaled(mainWindowWidth), gf_scaled(mainClientHeight)};
    // Frames and captions differ between Windows versions, themes and DPIs: the outer size is whatever holds
    // the client area.
    AdjustWindowRectExForDpi(&outer, style, FALSE, exStyle, static_cast<UINT>(gf_windowDpi()));
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!topLeft)
        flags |= SWP_NOMOVE;
    SetWindowPos(hwnd, nullptr, topLeft ? topLeft->x : 0, topLeft ? topLeft->y : 0, outer.right - outer.left,
                 outer.bottom - outer.top, flags);
}

void gf_invalidateLayoutArea(HWND hwnd, const RECT& area) {
    const RECT scaled = gf_scaled(area);
    InvalidateRect(hwnd, &scaled, TRUE);
}

} // namespace kvr
