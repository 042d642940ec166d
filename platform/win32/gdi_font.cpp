// DejaVu Sans, loaded with FreeType from the font file itself. Going round fontconfig keeps the process
// free of fontconfig's caches, which it never hands back.
#include "platform/win32/gdi_font.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <filesystem>

namespace kvr::standin {

namespace {

struct LoadedFonts {
    FT_Library library = nullptr;
    cairo_font_face_t* regular = nullptr;
    cairo_font_face_t* bold = nullptr;
};

cairo_font_face_t* lf_load(FT_Library library, const char* fileName) {
    static constexpr std::array<const char*, 4> folders{"/usr/share/fonts/truetype/dejavu",
                                                        "/usr/share/fonts/TTF", "/usr/share/fonts/dejavu",
                                                        "/usr/share/fonts/dejavu-sans-fonts"};
    for (const char* folder : folders) {
        const std::filesystem::path path = std::filesystem::path(folder) / fileName;
        std::error_code ec;
        if (!std::filesystem::exists(path, ec))
            continue;
        FT_Face face = nullptr;
        if (FT_New_Face(library, path.c_str(), 0, &face) == 0)
            return cairo_ft_font_face_create_for_ft_face(face, 0);
    }
    return nullptr;
}

// Kept for the life of the process: cairo may draw with them on any thread until the very end.
const LoadedFonts& lf_fonts() {
    static const LoadedFonts fonts = [] {
        LoadedFonts loaded;
        if (FT_Init_FreeType(&loaded.library) != 0)
            return loaded;
        loaded.regular = lf_load(loaded.library, "DejaVuSans.ttf");
        loaded.bold = lf_load(loaded.library, "DejaVuSans-Bold.ttf");
        return loaded;
    }();
    return fonts;
}

} // namespace

void gf_selectFont(cairo_t* cr, bool bold, double pixelSize) {
    const LoadedFonts& fonts = lf_fonts();
    cairo_font_face_t* face = bold && fonts.bold ? fonts.bold : fonts.regular;
    if (face)
        cairo_set_font_face(cr, face);
    else
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                               bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, pixelSize);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double gf_textWidth(cairo_t* cr, const std::string& utf8) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, utf8.c_str(), &extents);
    return extents.x_advance;
}

double gf_fontAscent(cairo_t* cr) {
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    return extents.ascent;
}

double gf_fontHeight(cairo_t* cr) {
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    return extents.ascent + extents.descent;
}

void gf_drawText(cairo_t* cr, double x, double y, const std::string& utf8) {
    cairo_move_to(cr, x, y + gf_fontAscent(cr));
    cairo_show_text(cr, utf8.c_str());
    cairo_new_path(cr);
}

} // namespace kvr::standin
