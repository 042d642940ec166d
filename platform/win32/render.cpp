// Pictures of windows: frame and caption, the client canvas as painted, and the child controls drawn from
// their state in a plain classic look (disabled controls grey).
#include "platform/win32/gdi_font.h"
#include "platform/win32/window_model.h"

#include <cstring>
#include <system_error>

namespace kvr::standin {

namespace {

struct ControlSnapshot {
    ControlKind kind;
    DWORD style;
    RECT rect;
    std::string text;
    bool enabled;
    bool checked;
    std::string selectedItem;
    bool ownBorder;
    int fontCellHeight = 0; // 0: the System font
};

struct WindowSnapshot {
    std::string title;
    int width = 0;
    int height = 0;
    int clientTop = 0;
    std::vector<ControlSnapshot> controls;
};

constexpr COLORREF faceColour = RGB(225, 225, 225);
constexpr COLORREF borderColour = RGB(122, 122, 122);
constexpr COLORREF disabledFill = RGB(240, 240, 240);
constexpr COLORREF disabledText = RGB(160, 160, 160);
// The drawn field leaves 3 pixels of the closed box's height below it.
constexpr int comboFieldMargin = 3;

void lf_colour(cairo_t* cr, COLORREF c) {
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

void lf_fill(cairo_t* cr, double x, double y, double w, double h, COLORREF c) {
    lf_colour(cr, c);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

void lf_frame(cairo_t* cr, double x, double y, double w, double h, COLORREF c) {
    lf_colour(cr, c);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
    cairo_stroke(cr);
}

void lf_textInBox(cairo_t* cr, const std::string& text, double x, double y, double w, double h, bool centred,
                  COLORREF c) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    const double textX = centred ? x + (w - gf_textWidth(cr, text)) / 2 : x;
    lf_colour(cr, c);
    gf_drawText(cr, textX, y + (h - gf_fontHeight(cr)) / 2, text);
    cairo_restore(cr);
}

void lf_drawButton(cairo_t* cr, const ControlSnapshot& c, double x, double y, double w, double h) {
    const LONG type = static_cast<LONG>(c.style & BS_TYPEMASK);
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX) {
        const double box = std::min(h, 13.0);
        const double top = y + (h - box) / 2;
        lf_fill(cr, x, top, box, box, c.enabled ? RGB(255, 255, 255) : disabledFill);
        lf_frame(cr, x, top, box, box, c.enabled ? RGB(51, 51, 51) : disabledText);
        if (c.checked) {
            lf_colour(cr, c.enabled ? RGB(0, 0, 0) : disabledText);
            cairo_set_line_width(cr, 2);
            cairo_move_to(cr, x + box * 0.2, top + box * 0.5);
            cairo_line_to(cr, x + box * 0.42, top + box * 0.75);
            cairo_line_to(cr, x + box * 0.82, top + box * 0.25);
            cairo_stroke(cr);
        }
        if (!c.text.empty())
            lf_textInBox(cr, c.text, x + box + 4, y, w - box - 4, h, false,
                         c.enabled ? RGB(0, 0, 0) : disabledText);
        return;
    }
    lf_fill(cr, x, y, w, h, faceColour);
    lf_colour(cr, RGB(255, 255, 255));
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, x + 1.5, y + h - 1.5);
    cairo_line_to(cr, x + 1.5, y + 1.5);
    cairo_line_to(cr, x + w - 1.5, y + 1.5);
    cairo_stroke(cr);
    lf_colour(cr, RGB(160, 160, 160));
    cairo_move_to(cr, x + w - 1.5, y + 1.5);
    cairo_line_to(cr, x + w - 1.5, y + h - 1.5);
    cairo_line_to(cr, x + 1.5, y + h - 1.5);
    cairo_stroke(cr);
    lf_frame(cr, x, y, w, h, type == BS_DEFPUSHBUTTON && c.enabled ? RGB(0, 0, 0) : borderColour);
    lf_textInBox(cr, c.text, x + 2, y, w - 4, h, true, c.enabled ? RGB(0, 0, 0) : disabledText);
}

void lf_drawCombo(cairo_t* cr, const ControlSnapshot& c, double x, double y, double w, double closedHeight) {
    const double h = closedHeight - comboFieldMargin;
    lf_fill(cr, x, y, w, h, c.enabled ? RGB(255, 255, 255) : disabledFill);
    lf_frame(cr, x, y, w, h, borderColour);
    const double bx = x + w - comboButtonWidth - 1;
    lf_fill(cr, bx, y + 1, comboButtonWidth, h - 2, faceColour);
    lf_colour(cr, c.enabled ? RGB(0, 0, 0) : disabledText);
    const double cx = bx + comboButtonWidth / 2.0;
    const double cy = y + h / 2.0;
    cairo_move_to(cr, cx - 4, cy - 2);
    cairo_line_to(cr, cx + 4, cy - 2);
    cairo_line_to(cr, cx, cy + 2);
    cairo_close_path(cr);
    cairo_fill(cr);
    lf_textInBox(cr, c.selectedItem, x + 4, y, w - comboButtonWidth - 6, h, false,
                 c.enabled ? RGB(0, 0, 0) : disabledText);
}

void lf_drawEdit(cairo_t* cr, const ControlSnapshot& c, double x, double y, double w, double h) {
    lf_fill(cr, x, y, w, h, c.enabled ? RGB(255, 255, 255) : disabledFill);
    if (c.ownBorder)
        lf_frame(cr, x, y, w, h, borderColour);
    lf_textInBox(cr, c.text, x + 3, y, w - 6, h, false, c.enabled ? RGB(0, 0, 0) : disabledText);
}

void lf_drawCaption(cairo_t* cr, const WindowSnapshot& s) {
    lf_fill(cr, 0, 0, s.width, s.clientTop, RGB(212, 208, 200));
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, s.width, 0);
    cairo_pattern_add_color_stop_rgb(gradient, 0, 0.0, 0.0, 0.5);
    cairo_pattern_add_color_stop_rgb(gradient, 1, 0.06, 0.52, 0.82);
    cairo_rectangle(cr, 3, 3, s.width - 6, s.clientTop - 7);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
    gf_selectFont(cr, true);
    lf_textInBox(cr, s.title, 10, 3, s.width - 60, s.clientTop - 7, false, RGB(255, 255, 255));
    gf_selectFont(cr);
    const double bw = 22, bh = 18;
    const double bx = s.width - bw - 8, by = 3 + (s.clientTop - 7 - bh) / 2;
    ControlSnapshot closeBox{ControlKind::button, 0, {}, "", true, false, ""};
    lf_drawButton(cr, closeBox, bx, by, bw, bh);
    lf_colour(cr, RGB(0, 0, 0));
    cairo_set_line_width(cr, 1.6);
    cairo_move_to(cr, bx + 7, by + 5);
    cairo_line_to(cr, bx + bw - 7, by + bh - 5);
    cairo_move_to(cr, bx + bw - 7, by + 5);
    cairo_line_to(cr, bx + 7, by + bh - 5);
    cairo_stroke(cr);
}

// Callers hold the canvas lock; the registry lock is taken here, after it.
bool lf_snapshot(HWND hwnd, WindowSnapshot& snapshot) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    WindowObject* window = registry.find(hwnd);
    if (!window || !window->canvas)
        return false;
    snapshot.title = gf_toUtf8(window->text);
    snapshot.width = window->rect.right - window->rect.left;
    snapshot.height = window->rect.bottom - window->rect.top;
    snapshot.clientTop = snapshot.height - window->clientRect().bottom;
    for (HWND child : window->children) {
        WindowObject* c = registry.find(child);
        if (!c || !(c->style & WS_VISIBLE))
            continue;
        const std::string selected = c->selection >= 0 && c->selection < static_cast<int>(c->items.size())
                                         ? gf_toUtf8(c->items[static_cast<std::size_t>(c->selection)])
                                         : std::string();
        snapshot.controls.push_back(ControlSnapshot{c->kind, c->style, c->rect, gf_toUtf8(c->text),
                                                    !(c->style & WS_DISABLED), c->checked, selected,
                                                    c->ownBorder, c->fontCellHeight});
    }
    return true;
}

std::shared_ptr<Canvas> lf_canvasOf(HWND hwnd) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    WindowObject* window = registry.find(hwnd);
    return window ? window->canvas : nullptr;
}

} // namespace

bool renderWindowPng(HWND hwnd, const std::filesystem::path& path) {
    const auto canvas = lf_canvasOf(hwnd);
    if (!canvas)
        return false;
    std::lock_guard canvasLock(canvas->mutex);
    WindowSnapshot s;
    if (!lf_snapshot(hwnd, s) || s.width <= 0 || s.height <= 0)
        return false;
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, s.width, s.height);
    cairo_t* cr = cairo_create(picture);
    gf_selectFont(cr);
    lf_drawCaption(cr, s);
    cairo_set_source_surface(cr, canvas->surface, 0, s.clientTop);
    cairo_paint(cr);
    cairo_rectangle(cr, 0, s.clientTop, s.width, s.height - s.clientTop);
    cairo_clip(cr);
    for (const ControlSnapshot& c : s.controls) {
        const double x = c.rect.left;
        const double y = c.rect.top + s.clientTop;
        const double w = c.rect.right - c.rect.left;
        const double h = c.rect.bottom - c.rect.top;
        gf_selectFont(cr, false,
                      c.fontCellHeight > 0 ? gf_pixelSizeForCell(c.fontCellHeight) : fontPixelSize);
        switch (c.kind) {
        case ControlKind::button:
            lf_drawButton(cr, c, x, y, w, h);
            break;
        case ControlKind::comboBox:
            lf_drawCombo(cr, c, x, y, w, h);
            break;
        case ControlKind::edit:
            lf_drawEdit(cr, c, x, y, w, h);
            break;
        case ControlKind::none:
            break;
        }
    }
    cairo_destroy(cr);
    // Written beside the target and renamed, so that a reader never sees half a picture.
    std::filesystem::path temporary = path;
    temporary += ".part";
    const bool written = cairo_surface_write_to_png(picture, temporary.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(picture);
    std::error_code ec;
    if (written)
        std::filesystem::rename(temporary, path, ec);
    else
        std::filesystem::remove(temporary, ec);
    return written && !ec;
}

COLORREF clientPixel(HWND hwnd, int x, int y) {
    const auto canvas = lf_canvasOf(hwnd);
    if (!canvas)
        return CLR_INVALID;
    std::lock_guard lock(canvas->mutex);
    cairo_surface_flush(canvas->surface);
    const int width = cairo_image_surface_get_width(canvas->surface);
    const int height = cairo_image_surface_get_height(canvas->surface);
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    const unsigned char* data = cairo_image_surface_get_data(canvas->surface);
    const int stride = cairo_image_surface_get_stride(canvas->surface);
    std::uint32_t pixel;
    std::memcpy(&pixel, data + y * stride + x * 4, sizeof pixel);
    return RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8), static_cast<BYTE>(pixel));
}

std::vector<std::string> comboItems(HWND combo) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    std::vector<std::string> items;
    if (WindowObject* window = registry.find(combo))
        for (const std::wstring& item : window->items)
            items.push_back(gf_toUtf8(item));
    return items;
}

std::vector<DrawnText> drawnTexts(HWND hwnd) {
    const auto canvas = lf_canvasOf(hwnd);
    if (!canvas)
        return {};
    std::lock_guard lock(canvas->mutex);
    return canvas->texts;
}

} // namespace kvr::standin
