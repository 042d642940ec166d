// Window classes, creation and destruction, and the registry that holds every window.
#include "platform/win32/window_model.h"

#include "platform/win32/message_queue.h"

#include <algorithm>
#include <cwctype>

namespace kvr::standin {

Canvas::Canvas(int width, int height)
    : surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(width, 1), std::max(height, 1))) {
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
}

Canvas::~Canvas() {
    cairo_surface_destroy(surface);
}

RECT WindowObject::clientRect() const {
    const LONG width = rect.right - rect.left;
    LONG height = rect.bottom - rect.top;
    if (isTopLevel() && (style & WS_CAPTION) == WS_CAPTION)
        height = std::max<LONG>(0, height - captionHeight);
    return RECT{0, 0, width, height};
}

WindowObject* WindowRegistry::find(HWND hwnd) {
    const auto it = windows.find(hwnd);
    return it == windows.end() ? nullptr : it->second.get();
}

bool WindowRegistry::enabledForInput(HWND hwnd) {
    for (WindowObject* window = find(hwnd); window; window = find(window->parent)) {
        if ((window->style & WS_DISABLED) || !(window->style & WS_VISIBLE))
            return false;
        if (window->isTopLevel())
            return true;
    }
    return false;
}

WindowRegistry& windowRegistry() {
    static WindowRegistry* registry = [] {
        // Deliberately never destroyed: windows may still be reached from detached threads while the
        // process ends.
        auto* r = new WindowRegistry;
        gf_registerBuiltInClasses(*r);
        return r;
    }();
    return *registry;
}

std::wstring gf_upperCase(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return upper;
}

std::string gf_toUtf8(std::wstring_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
                const char32_t low = static_cast<char32_t>(text[i + 1]);
                if (low >= 0xDC00 && low < 0xE000) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
        }
        if ((c >= 0xD800 && c < 0xE000) || c > 0x10FFFF)
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring gf_fromUtf8(std::string_view text) {
    std::wstring out;
    std::size_t i = 0;
    auto append = [&out](char32_t c) {
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0x10000) {
                c -= 0x10000;
                out += static_cast<wchar_t>(0xD800 + (c >> 10));
                out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
                return;
            }
        }
        out += static_cast<wchar_t>(c);
    };
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = lead < 0x80           ? 1
                     : (lead >> 5) == 0x6  ? 2
                     : (lead >> 4) == 0xE  ? 3
                     : (lead >> 3) == 0x1E ? 4
                                           : 0;
        char32_t c = length == 1   ? lead
                     : length == 2 ? (lead & 0x1F)
                     : length == 3 ? (lead & 0x0F)
                                   : (lead & 0x07);
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!valid || c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
            append(0xFFFD);
            ++i;
            continue;
        }
        append(c);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

} // namespace kvr::standin

using namespace kvr::standin;

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* windowClass) {
    if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXW) || !windowClass->lpszClassName ||
        !windowClass->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    const std::wstring key = gf_upperCase(windowClass->lpszClassName);
    if (registry.classes.count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    WindowClass cls;
    cls.name = windowClass->lpszClassName;
    cls.proc = windowClass->lpfnWndProc;
    cls.style = windowClass->style;
    cls.background = windowClass->hbrBackground;
    cls.icon = windowClass->hIcon;
    cls.smallIcon = windowClass->hIconSm;
    cls.cursor = windowClass->hCursor;
    cls.instance = windowClass->hInstance;
    registry.classes.emplace(key, cls);
    return static_cast<ATOM>(0xC000 + registry.classes.size());
}

BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    const auto cls = className ? registry.classes.find(gf_upperCase(className)) : registry.classes.end();
    if (cls == registry.classes.end()) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    for (const auto& [hwnd, window] : registry.windows) {
        if (gf_upperCase(window->className) == cls->first) {
            SetLastError(ERROR_CLASS_HAS_WINDOWS);
            return FALSE;
        }
    }
    registry.classes.erase(cls);
    return TRUE;
}

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                            LPVOID param) {
    auto window = std::make_shared<WindowObject>();
    {
        WindowRegistry& registry = windowRegistry();
        std::lock_guard lock(registry.mutex);
        const auto cls = className ? registry.classes.find(gf_upperCase(className)) : registry.classes.end();
        if (cls == registry.classes.end()) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        WindowObject* parentWindow = parent ? registry.find(parent) : nullptr;
        if ((style & WS_CHILD) && !parentWindow) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if (x == CW_USEDEFAULT) {
            x = 0;
            y = 0;
        }
        if (width == CW_USEDEFAULT) {
            width = 640;
            height = 480;
        }
        window->handle = reinterpret_cast<HWND>(registry.nextHandle);
        registry.nextHandle += 0x10;
        window->className = cls->second.name;
        window->kind = cls->second.kind;
        window->proc = cls->second.proc;
        window->background = cls->second.background;
        window->text = windowName ? windowName : L"";
        window->style = style;
        window->exStyle = exStyle;
        window->rect = RECT{x, y, x + width, y + height};
        window->parent = (style & WS_CHILD) ? parent : nullptr;
        window->id = (style & WS_CHILD) ? static_cast<int>(reinterpret_cast<std::intptr_t>(menu)) : 0;
        window->instance = instance;
        window->queue = gf_currentThreadQueue();
        gf_applyCreationRules(*window);
        if (window->isTopLevel()) {
            const RECT client = window->clientRect();
            window->canvas = std::make_shared<Canvas>(client.right, client.bottom);
            if (!registry.firstTopLevel && (style & WS_CAPTION) == WS_CAPTION)
                registry.firstTopLevel = window->handle;
        } else {
            parentWindow->children.push_back(window->handle);
        }
        if ((style & WS_VISIBLE) && window->canvas) {
            window->hasUpdate = true;
            window->update = window->clientRect();
            window->erase = true;
        }
        registry.windows.emplace(window->handle, window);
    }
    CREATESTRUCTW create{param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
                         windowName, className, exStyle};
    if (SendMessageW(window->handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(window->handle);
        return nullptr;
    }
    return window->handle;
}

namespace {

void lf_collectFamily(WindowRegistry& registry, HWND hwnd, std::vector<HWND>& family) {
    WindowObject* window = registry.find(hwnd);
    if (!window)
        return;
    family.push_back(hwnd);
    for (HWND child : window->children)
        lf_collectFamily(registry, child, family);
}

} // namespace

BOOL WINAPI DestroyWindow(HWND hwnd) {
    WindowRegistry& registry = windowRegistry();
    std::vector<HWND> family;
    {
        std::lock_guard lock(registry.mutex);
        WindowObject* window = registry.find(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (window->queue->thread != std::this_thread::get_id()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        lf_collectFamily(registry, hwnd, family);
    }
    // The window first, then its children, as Win32 sends WM_DESTROY.
    for (HWND member : family)
        SendMessageW(member, WM_DESTROY, 0, 0);
    for (auto it = family.rbegin(); it != family.rend(); ++it)
        SendMessageW(*it, WM_NCDESTROY, 0, 0);
    std::lock_guard lock(registry.mutex);
    if (WindowObject* window = registry.find(hwnd); window && window->parent) {
        if (WindowObject* parent = registry.find(window->parent))
            std::erase(parent->children, hwnd);
    }
    for (HWND member : family)
        registry.windows.erase(member);
    if (registry.firstTopLevel == hwnd)
        registry.firstTopLevel = nullptr;
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.find(hwnd) ? TRUE : FALSE;
}
