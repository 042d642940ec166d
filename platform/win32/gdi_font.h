#pragma once
// The one font of the stand-in: DejaVu Sans at a fixed size, for device contexts and controls alike.
#include <cairo.h>

#include <string>

namespace kvr::standin {

inline constexpr double fontPixelSize = 13.0;

void gf_selectFont(cairo_t* cr, bool bold = false);
double gf_textWidth(cairo_t* cr, const std::string& utf8);
double gf_fontAscent(cairo_t* cr);
double gf_fontHeight(cairo_t* cr);
// Draws utf8 with the top of its cell at (x, y).
void gf_drawText(cairo_t* cr, double x, double y, const std::string& utf8);

} // namespace kvr::standin
