// GDI onto cairo: device contexts of a paint, brushes, pens, rectangles, lines and text.
#include "platform/win32/gdi_font.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/picture_file.h"
#include "platform/win32/window_model.h"

#include <array>
#include <cmath>
#include <map>

namespace kvr::standin {

namespace {

enum class GdiKind { brush, pen, font };

struct GdiObject {
    GdiKind kind;
    COLORREF colour = 0;
    int width = 1;
    bool stock = false;
    bool invisible = false;                // NULL_BRUSH, NULL_PEN
    bool followsDc = false;                // DC_BRUSH, DC_PEN
    int cellHeight = systemFontCellHeight; // fonts
};

struct DeviceContext {
    HWND hwnd = nullptr;
    std::shared_ptr<Canvas> canvas;
    std::unique_lock<std::mutex> canvasLock;
    cairo_t* cr = nullptr; // null for a window without a canvas: drawing goes nowhere
    HGDIOBJ brush = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ font = nullptr;
    COLORREF textColour = RGB(0, 0, 0);
    COLORREF backgroundColour = RGB(255, 255, 255);
    COLORREF dcBrushColour = RGB(255, 255, 255);
    COLORREF dcPenColour = RGB(0, 0, 0);
    int backgroundMode = OPAQUE;
};

struct GdiRegistry {
    std::mutex mutex;
    std::map<HGDIOBJ, std::shared_ptr<GdiObject>> objects;
    std::map<HDC, std::shared_ptr<DeviceContext>> contexts;
    std::array<HGDIOBJ, DC_PEN + 1> stock{};
    std::uintptr_t next = 0x70000;

    HGDIOBJ add(GdiObject object) {
        auto handle = reinterpret_cast<HGDIOBJ>(next);
        next += 0x10;
        objects.emplace(handle, std::make_shared<GdiObject>(object));
        return handle;
    }
};

GdiRegistry& lf_gdi() {
    // Never destroyed: brushes of static objects are deleted while the process ends.
    static GdiRegistry* registry = [] {
        auto* r = new GdiRegistry;
        auto brush = [](COLORREF c) { return GdiObject{GdiKind::brush, c, 1, true}; };
        auto pen = [](COLORREF c) { return GdiObject{GdiKind::pen, c, 1, true}; };
        r->stock[WHITE_BRUSH] = r->add(brush(RGB(255, 255, 255)));
        r->stock[LTGRAY_BRUSH] = r->add(brush(RGB(192, 192, 192)));
        r->stock[GRAY_BRUSH] = r->add(brush(RGB(128, 128, 128)));
        r->stock[DKGRAY_BRUSH] = r->add(brush(RGB(64, 64, 64)));
        r->stock[BLACK_BRUSH] = r->add(brush(RGB(0, 0, 0)));
        r->stock[NULL_BRUSH] = r->add(GdiObject{GdiKind::brush, 0, 1, true, true});
        r->stock[WHITE_PEN] = r->add(pen(RGB(255, 255, 255)));
        r->stock[BLACK_PEN] = r->add(pen(RGB(0, 0, 0)));
        r->stock[NULL_PEN] = r->add(GdiObject{GdiKind::pen, 0, 1, true, true});
        r->stock[SYSTEM_FONT] = r->add(GdiObject{GdiKind::font, 0, 1, true});
        r->stock[DEFAULT_GUI_FONT] = r->add(GdiObject{GdiKind::font, 0, 1, true});
        r->stock[DC_BRUSH] = r->add(GdiObject{GdiKind::brush, 0, 1, true, false, true});
        r->stock[DC_PEN] = r->add(GdiObject{GdiKind::pen, 0, 1, true, false, true});
        return r;
    }();
    return *registry;
}

std::shared_ptr<DeviceContext> lf_context(HDC dc) {
    GdiRegistry& gdi = lf_gdi();
    std::lock_guard lock(gdi.mutex);
    const auto it = gdi.contexts.find(dc);
    return it == gdi.contexts.end() ? nullptr : it->second;
}

std::shared_ptr<GdiObject> lf_object(HGDIOBJ handle) {
    GdiRegistry& gdi = lf_gdi();
    std::lock_guard lock(gdi.mutex);
    const auto it = gdi.objects.find(handle);
    return it == gdi.objects.end() ? nullptr : it->second;
}

// The context's font in cairo: the same face at the size its cell height asks for.
void lf_useFont(cairo_t* cr, const DeviceContext& context) {
    const auto font = lf_object(context.font);
    gf_selectFont(cr, false, gf_pixelSizeForCell(font ? font->cellHeight : systemFontCellHeight));
}

HDC lf_addContext(std::shared_ptr<DeviceContext> context) {
    GdiRegistry& gdi = lf_gdi();
    std::lock_guard lock(gdi.mutex);
    context->brush = gdi.stock[WHITE_BRUSH];
    context->pen = gdi.stock[BLACK_PEN];
    context->font = gdi.stock[SYSTEM_FONT];
    const auto dc = reinterpret_cast<HDC>(gdi.next);
    gdi.next += 0x10;
    gdi.contexts.emplace(dc, std::move(context));
    return dc;
}

void lf_setColour(cairo_t* cr, COLORREF c) {
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

void lf_fillPixels(cairo_t* cr, double left, double top, double right, double bottom, COLORREF c) {
    if (right <= left || bottom <= top)
        return;
    lf_setColour(cr, c);
    cairo_rectangle(cr, left, top, right - left, bottom - top);
    cairo_fill(cr);
}

} // namespace

int gf_fontCellHeight(HGDIOBJ font) {
    const auto object = lf_object(font);
    return object && object->kind == GdiKind::font ? object->cellHeight : systemFontCellHeight;
}

} // namespace kvr::standin

using namespace kvr::standin;

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    if (!paint)
        return nullptr;
    WindowRegistry& registry = windowRegistry();
    std::shared_ptr<Canvas> canvas;
    {
        std::lock_guard lock(registry.mutex);
        WindowObject* window = registry.find(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        canvas = window->canvas;
    }
    auto context = std::make_shared<DeviceContext>();
    context->hwnd = hwnd;
    if (canvas)
        context->canvasLock = std::unique_lock(canvas->mutex);
    RECT area{};
    bool erase = false;
    {
        std::lock_guard lock(registry.mutex);
        if (WindowObject* window = registry.find(hwnd)) {
            if (window->hasUpdate)
                area = window->update;
            erase = window->erase;
            window->hasUpdate = false;
            window->erase = false;
        }
    }
    const HDC dc = lf_addContext(context);
    if (canvas) {
        context->canvas = canvas;
        context->cr = cairo_create(canvas->surface);
        cairo_set_antialias(context->cr, CAIRO_ANTIALIAS_NONE);
        cairo_rectangle(context->cr, area.left, area.top, area.right - area.left, area.bottom - area.top);
        cairo_clip(context->cr);
        gf_selectFont(context->cr);
        canvas->texts.clear();
    }
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    paint->rcPaint = area;
    if (erase)
        paint->fErase = SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    if (!paint)
        return FALSE;
    std::shared_ptr<DeviceContext> context;
    {
        GdiRegistry& gdi = lf_gdi();
        std::lock_guard lock(gdi.mutex);
        const auto it = gdi.contexts.find(paint->hdc);
        if (it == gdi.contexts.end())
            return FALSE;
        context = it->second;
        gdi.contexts.erase(it);
    }
    const bool painted = context->cr != nullptr;
    if (context->cr) {
        cairo_destroy(context->cr);
        cairo_surface_flush(context->canvas->surface);
    }
    if (context->canvasLock.owns_lock())
        context->canvasLock.unlock();
    if (painted)
        gf_onWindowPainted(hwnd);
    return TRUE;
}

HGDIOBJ WINAPI GetStockObject(int object) {
    if (object < 0 || object > DC_PEN)
        return nullptr;
    GdiRegistry& gdi = lf_gdi();
    std::lock_guard lock(gdi.mutex);
    return gdi.stock[static_cast<std::size_t>(object)];
}

HBRUSH WINAPI CreateSolidBrush(COLORREF colour) {
    GdiRegistry& gdi = lf_gdi();
    std::lock_guard lock(gdi.mutex);
    return static_cast<HBRUSH>(gdi.add(GdiObject{GdiKind::brush, colour}));
}

HPEN WINAPI CreatePen(int style, int width, COLORREF colour) {
    GdiRegistry& gdi = lf_gdi();
    std::lock_guard lock(gdi.mutex);
    GdiObject pen{GdiKind::pen, colour, width < 1 ? 1 : width};
    pen.invisible = style != PS_SOLID;
    return static_cast<HPEN>(gdi.add(pen));
}

HFONT WINAPI CreateFontW(int height, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                         DWORD, LPCWSTR) {
    GdiRegistry& gdi = lf_gdi();
    std::lock_guard lock(gdi.mutex);
    GdiObject font{GdiKind::font};
    // A negative height asks for the character height; the stand-in's one face is near enough either way.
    font.cellHeight = height == 0 ? systemFontCellHeight : height < 0 ? -height : height;
    return static_cast<HFONT>(gdi.add(font));
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    const auto context = lf_context(dc);
    const auto selected = lf_object(object);
    if (!context || !selected)
        return nullptr;
    HGDIOBJ* slot = selected->kind == GdiKind::brush ? &context->brush
                    : selected->kind == GdiKind::pen ? &context->pen
                                                     : &context->font;
    HGDIOBJ previous = *slot;
    *slot = object;
    if (selected->kind == GdiKind::font && context->cr)
        lf_useFont(context->cr, *context);
    return previous;
}

// A context for measuring outside a paint: it draws nowhere.
HDC WINAPI GetDC(HWND hwnd) {
    if (!IsWindow(hwnd))
        return nullptr;
    auto context = std::make_shared<DeviceContext>();
    context->hwnd = hwnd;
    return lf_addContext(std::move(context));
}

int WINAPI ReleaseDC(HWND, HDC dc) {
    GdiRegistry& gdi = lf_gdi();
    std::lock_guard lock(gdi.mutex);
    return gdi.contexts.erase(dc) > 0 ? 1 : 0;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    GdiRegistry& gdi = lf_gdi();
    std::lock_guard lock(gdi.mutex);
    const auto it = gdi.objects.find(object);
    if (it == gdi.objects.end())
        return FALSE;
    if (!it->second->stock)
        gdi.objects.erase(it);
    return TRUE;
}

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    const auto context = lf_context(dc);
    const auto object = lf_object(brush);
    if (!context || !object || !rect || object->kind != GdiKind::brush)
        return 0;
    if (context->cr && !object->invisible)
        lf_fillPixels(context->cr, rect->left, rect->top, rect->right, rect->bottom,
                      object->followsDc ? context->dcBrushColour : object->colour);
    return 1;
}

// Like GDI, every segment leaves out its last pixel; axis-parallel lines are filled as pixel runs, so
// that they land exactly on the pixels GDI would set.
BOOL WINAPI Polyline(HDC dc, const POINT* points, int count) {
    const auto context = lf_context(dc);
    if (!context || !points || count < 2)
        return FALSE;
    const auto pen = lf_object(context->pen);
    if (!context->cr || !pen || pen->invisible)
        return TRUE;
    const COLORREF colour = pen->followsDc ? context->dcPenColour : pen->colour;
    const double w = pen->width;
    for (int i = 1; i < count; ++i) {
        const POINT a = points[i - 1];
        const POINT b = points[i];
        if (a.y == b.y) {
            const double left = a.x < b.x ? a.x : b.x + 1;
            const double right = a.x < b.x ? b.x : a.x + 1;
            lf_fillPixels(context->cr, left, a.y, right, a.y + w, colour);
        } else if (a.x == b.x) {
            const double top = a.y < b.y ? a.y : b.y + 1;
            const double bottom = a.y < b.y ? b.y : a.y + 1;
            lf_fillPixels(context->cr, a.x, top, a.x + w, bottom, colour);
        } else {
            lf_setColour(context->cr, colour);
            cairo_set_line_width(context->cr, w);
            cairo_move_to(context->cr, a.x + 0.5, a.y + 0.5);
            cairo_line_to(context->cr, b.x + 0.5, b.y + 0.5);
            cairo_stroke(context->cr);
        }
    }
    return TRUE;
}

int WINAPI SetBkMode(HDC dc, int mode) {
    const auto context = lf_context(dc);
    if (!context || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    const int previous = context->backgroundMode;
    context->backgroundMode = mode;
    return previous;
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF colour) {
    const auto context = lf_context(dc);
    if (!context)
        return CLR_INVALID;
    const COLORREF previous = context->backgroundColour;
    context->backgroundColour = colour;
    return previous;
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF colour) {
    const auto context = lf_context(dc);
    if (!context)
        return CLR_INVALID;
    const COLORREF previous = context->textColour;
    context->textColour = colour;
    return previous;
}

COLORREF WINAPI SetDCBrushColor(HDC dc, COLORREF colour) {
    const auto context = lf_context(dc);
    if (!context)
        return CLR_INVALID;
    const COLORREF previous = context->dcBrushColour;
    context->dcBrushColour = colour;
    return previous;
}

BOOL WINAPI TextOutW(HDC dc, int x, int y, LPCWSTR text, int length) {
    const auto context = lf_context(dc);
    if (!context || (!text && length > 0) || length < 0)
        return FALSE;
    if (!context->cr)
        return TRUE;
    const std::string utf8 = gf_toUtf8(std::wstring_view(text, static_cast<std::size_t>(length)));
    cairo_t* cr = context->cr;
    if (context->backgroundMode == OPAQUE)
        lf_fillPixels(cr, x, y, x + gf_textWidth(cr, utf8), y + gf_fontHeight(cr), context->backgroundColour);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    lf_setColour(cr, context->textColour);
    gf_drawText(cr, x, y, utf8);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    context->canvas->texts.push_back(DrawnText{x, y, utf8, context->textColour});
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int length, SIZE* size) {
    const auto context = lf_context(dc);
    if (!context || !size || (!text && length > 0) || length < 0)
        return FALSE;
    const std::string utf8 = gf_toUtf8(std::wstring_view(text, static_cast<std::size_t>(length)));
    // A window without a canvas measures with the same font on a scratch surface.
    cairo_surface_t* scratch = nullptr;
    cairo_t* cr = context->cr;
    if (!cr) {
        scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
        cr = cairo_create(scratch);
        lf_useFont(cr, *context);
    }
    size->cx = static_cast<LONG>(std::ceil(gf_textWidth(cr, utf8)));
    size->cy = static_cast<LONG>(std::ceil(gf_fontHeight(cr)));
    if (scratch) {
        cairo_destroy(cr);
        cairo_surface_destroy(scratch);
    }
    return TRUE;
}
