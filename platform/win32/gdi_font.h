#pragma once
// The one face of the stand-in: DejaVu Sans, 13 pixels for the System font (whose cell is 16 pixels high in
// Win32's terms), for device contexts and controls alike; a font created with another height draws the same
// face in proportion.
#include <cairo.h>

#include <string>

namespace kvr::standin {

inline constexpr double fontPixelSize = 13.0;
inline constexpr int systemFontCellHeight = 16;

// The DejaVu size that stands for a font of the given cell height.
constexpr double gf_pixelSizeForCell(int cellHeight) {
    return fontPixelSize * cellHeight / systemFontCellHeight;
}

void gf_selectFont(cairo_t* cr, bool bold = false, double pixelSize = fontPixelSize);
double gf_textWidth(cairo_t* cr, const std::string& utf8);
double gf_fontAscent(cairo_t* cr);
double gf_fontHeight(cairo_t* cr);
// Draws utf8 with the top of its cell at (x, y).
void gf_drawText(cairo_t* cr, double x, double y, const std::string& utf8);

} // namespace kvr::standin
