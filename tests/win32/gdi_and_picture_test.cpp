#include "recording_window.h"
#include "support/temp_folder.h"

#include <cairo.h>
#include <cstring>
#include <gtest/gtest.h>

namespace kvr::test {
namespace {

// Paints with the given drawing and returns afterwards; the canvas keeps the result.
template <typename Draw> void paintWith(HWND hwnd, Draw&& draw) {
    InvalidateRect(hwnd, nullptr, FALSE);
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    draw(dc);
    EndPaint(hwnd, &paint);
}

TEST(Gdi, FillRectAndPolylineSetExactlyThePixelsGdiSets) {
    TopWindow window;
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HPEN white = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    paintWith(window.get(), [&](HDC dc) {
        const RECT all{0, 0, 880, 476};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        const RECT lamp{397, 30, 425, 112};
        FillRect(dc, &lamp, red);
        SelectObject(dc, white);
        const POINT line[] = {{0, 28}, {880, 28}};
        Polyline(dc, line, 2);
        const POINT up[] = {{642, 308}, {642, 140}};
        Polyline(dc, up, 2);
    });
    const HWND w = window.get();
    EXPECT_EQ(standin::clientPixel(w, 397, 30), RGB(255, 0, 0));
    EXPECT_EQ(standin::clientPixel(w, 424, 111), RGB(255, 0, 0));
    EXPECT_EQ(standin::clientPixel(w, 425, 111), RGB(0, 0, 0)) << "right edge excluded";
    EXPECT_EQ(standin::clientPixel(w, 397, 112), RGB(0, 0, 0)) << "bottom edge excluded";
    EXPECT_EQ(standin::clientPixel(w, 0, 28), RGB(255, 255, 255));
    EXPECT_EQ(standin::clientPixel(w, 879, 28), RGB(255, 255, 255));
    EXPECT_EQ(standin::clientPixel(w, 0, 27), RGB(0, 0, 0));
    EXPECT_EQ(standin::clientPixel(w, 0, 29), RGB(0, 0, 0));
    EXPECT_EQ(standin::clientPixel(w, 642, 308), RGB(255, 255, 255)) << "a segment starts on its first point";
    EXPECT_EQ(standin::clientPixel(w, 642, 141), RGB(255, 255, 255));
    EXPECT_EQ(standin::clientPixel(w, 642, 140), RGB(0, 0, 0)) << "and leaves out its last";
    DeleteObject(red);
    DeleteObject(white);
}

TEST(Gdi, TextOutDrawsInItsColourAndOpaqueModeFillsTheBackground) {
    TopWindow window;
    paintWith(window.get(), [&](HDC dc) {
        const RECT all{0, 0, 880, 476};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SetBkMode(dc, TRANSPARENT);
        EXPECT_EQ(SetTextColor(dc, RGB(50, 205, 50)), RGB(0, 0, 0));
        TextOutW(dc, 5, 35, L"MSFS", 4);
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, RGB(153, 204, 255));
        TextOutW(dc, 5, 200, L"x", 1);
        SetDCBrushColor(dc, RGB(1, 2, 3));
        const RECT small{700, 400, 710, 410};
        FillRect(dc, &small, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    });
    const auto texts = standin::drawnTexts(window.get());
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "MSFS");
    EXPECT_EQ(texts[0].x, 5);
    EXPECT_EQ(texts[0].y, 35);
    EXPECT_EQ(texts[0].colour, RGB(50, 205, 50));
    int green = 0;
    for (int y = 35; y < 52; ++y)
        for (int x = 5; x < 45; ++x)
            green += GetGValue(standin::clientPixel(window.get(), x, y)) > 150;
    EXPECT_GT(green, 20) << "the letters are on the canvas";
    EXPECT_EQ(standin::clientPixel(window.get(), 5, 200), RGB(153, 204, 255)) << "opaque text fills its cell";
    EXPECT_EQ(standin::clientPixel(window.get(), 705, 405), RGB(1, 2, 3));
}

TEST(Gdi, PaintIsClippedToTheUpdateRegion) {
    TopWindow window;
    paintWith(window.get(), [](HDC dc) {
        const RECT all{0, 0, 880, 476};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    });
    const RECT part{0, 448, 880, 476};
    InvalidateRect(window.get(), &part, FALSE);
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window.get(), &paint);
    EXPECT_EQ(paint.rcPaint.top, 448);
    const RECT all{0, 0, 880, 476};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EndPaint(window.get(), &paint);
    EXPECT_EQ(standin::clientPixel(window.get(), 10, 460), RGB(255, 255, 255));
    EXPECT_EQ(standin::clientPixel(window.get(), 10, 440), RGB(0, 0, 0));
}

TEST(Picture, RendersFrameCaptionCanvasAndControlsAtTheOuterSize) {
    TopWindow window;
    ShowWindow(window.get(), SW_SHOW);
    HWND button = childControl(window.get(), L"BUTTON", BS_DEFPUSHBUTTON, 1, 100, 100, 90, 20);
    SetWindowTextW(button, L"Re-read");
    paintWith(window.get(), [](HDC dc) {
        const RECT all{0, 0, 880, 476};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    });
    TempFolder folder;
    const auto path = folder / "window.png";
    ASSERT_TRUE(standin::renderWindowPng(window.get(), path));
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(png), 880);
    EXPECT_EQ(cairo_image_surface_get_height(png), 516);
    const auto* data = cairo_image_surface_get_data(png);
    const int stride = cairo_image_surface_get_stride(png);
    auto pixel = [&](int x, int y) {
        std::uint32_t p;
        std::memcpy(&p, data + y * stride + x * 4, 4);
        return p & 0xFFFFFF;
    };
    EXPECT_EQ(pixel(300, 40 + 300), 0u) << "the client canvas sits below the 40-pixel caption";
    EXPECT_NE(pixel(120, 40 + 110), 0u) << "the button is drawn over the canvas";
    cairo_surface_destroy(png);
    EXPECT_FALSE(standin::renderWindowPng(button, path)) << "controls have no picture of their own";
}

} // namespace
} // namespace kvr::test
