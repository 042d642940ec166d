// Window state: visibility, enabling, position, text, window longs, the default procedure and the dialog
// item helpers.
#include "platform/win32/message_queue.h"
#include "platform/win32/window_model.h"

#include <algorithm>
#include <cstring>
#include <utility>

using namespace kvr::standin;

namespace {

// A minimised top-level window sits here, as on Windows.
constexpr LONG minimisedPosition = -32000;

template <typename Action>
auto lf_withWindow(HWND hwnd, Action&& action) -> decltype(action(std::declval<WindowObject&>())) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    WindowObject* window = registry.find(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return {};
    }
    return action(*window);
}

// Child controls have no canvas: the picture draws them from their state.
void lf_invalidateWhole(WindowObject& window) {
    if (!window.canvas)
        return;
    window.hasUpdate = true;
    window.update = window.clientRect();
    window.erase = true;
}

} // namespace

namespace kvr::standin {

void setDisplayDpi(UINT dpi) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    registry.dpi = dpi;
}

} // namespace kvr::standin

BOOL WINAPI ShowWindow(HWND hwnd, int command) {
    std::shared_ptr<MessageQueue> queue;
    const BOOL wasVisible = lf_withWindow(hwnd, [&](WindowObject& window) -> BOOL {
        const BOOL visible = (window.style & WS_VISIBLE) ? TRUE : FALSE;
        queue = window.queue;
        switch (command) {
        case SW_HIDE:
            window.style &= ~WS_VISIBLE;
            return visible;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
            if (!window.minimized && window.isTopLevel()) {
                window.restoredRect = window.rect;
                const LONG width = window.rect.right - window.rect.left;
                const LONG height = window.rect.bottom - window.rect.top;
                window.rect = RECT{minimisedPosition, minimisedPosition, minimisedPosition + width,
                                   minimisedPosition + height};
                window.minimized = true;
                window.style |= WS_MINIMIZE;
            }
            break;
        case SW_RESTORE:
        case SW_SHOWNORMAL:
        case SW_SHOWDEFAULT:
            if (window.minimized) {
                window.rect = window.restoredRect;
                window.minimized = false;
                window.style &= ~WS_MINIMIZE;
                lf_invalidateWhole(window);
            }
            break;
        default:
            break;
        }
        if (!visible) {
            window.style |= WS_VISIBLE;
            lf_invalidateWhole(window);
        }
        return visible;
    });
    if (queue)
        gf_wakeQueue(queue);
    return wasVisible;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
    return lf_withWindow(
        hwnd, [](WindowObject& window) -> BOOL { return (window.style & WS_VISIBLE) ? TRUE : FALSE; });
}

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
    bool changed = false;
    const BOOL wasDisabled = lf_withWindow(hwnd, [&](WindowObject& window) -> BOOL {
        const bool disabled = window.style & WS_DISABLED;
        if (enable)
            window.style &= ~WS_DISABLED;
        else
            window.style |= WS_DISABLED;
        changed = disabled == static_cast<bool>(enable);
        return disabled ? TRUE : FALSE;
    });
    if (changed)
        SendMessageW(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hwnd) {
    return lf_withWindow(
        hwnd, [](WindowObject& window) -> BOOL { return (window.style & WS_DISABLED) ? FALSE : TRUE; });
}

HWND WINAPI GetParent(HWND hwnd) {
    return lf_withWindow(hwnd, [](WindowObject& window) { return window.parent; });
}

HWND WINAPI GetDlgItem(HWND parent, int id) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    if (WindowObject* window = registry.find(parent)) {
        for (HWND child : window->children)
            if (WindowObject* control = registry.find(child); control && control->id == id)
                return child;
    }
    SetLastError(parent && registry.find(parent) ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hwnd) {
    return lf_withWindow(hwnd, [](WindowObject& window) { return window.id; });
}

// Screen coordinates for every window, children too: a child keeps its place in its parent's client area.
BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
    return lf_withWindow(hwnd, [&](WindowObject& window) -> BOOL {
        if (!rect)
            return FALSE;
        *rect = window.rect;
        // The registry's lock is held by lf_withWindow; find() itself does not lock.
        WindowRegistry& registry = windowRegistry();
        if (WindowObject* parent = registry.find(window.parent)) {
            const POINT origin = gf_clientOriginLocked(registry, *parent);
            *rect = RECT{rect->left + origin.x, rect->top + origin.y, rect->right + origin.x,
                         rect->bottom + origin.y};
        }
        return TRUE;
    });
}

// The stand-in's frame is its caption alone: no side or bottom borders, no menu bar.
BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD) {
    if (!rect)
        return FALSE;
    if ((style & WS_CAPTION) == WS_CAPTION)
        rect->top -= captionHeight;
    return TRUE;
}

// The stand-in's caption keeps its height at every DPI.
BOOL WINAPI AdjustWindowRectExForDpi(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle, UINT) {
    return AdjustWindowRectEx(rect, style, menu, exStyle);
}

UINT WINAPI GetDpiForWindow(HWND hwnd) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.find(hwnd) ? registry.dpi : 0;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    return lf_withWindow(hwnd, [&](WindowObject& window) -> BOOL {
        if (!rect)
            return FALSE;
        *rect = window.clientRect();
        return TRUE;
    });
}

BOOL WINAPI SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    std::shared_ptr<MessageQueue> queue;
    const BOOL done = lf_withWindow(hwnd, [&](WindowObject& window) -> BOOL {
        if (!(flags & SWP_NOZORDER)) {
            if (insertAfter == HWND_TOPMOST)
                window.exStyle |= WS_EX_TOPMOST;
            else if (insertAfter == HWND_NOTOPMOST)
                window.exStyle &= ~WS_EX_TOPMOST;
        }
        RECT rect = window.rect;
        if (!(flags & SWP_NOMOVE)) {
            rect.right += x - rect.left;
            rect.bottom += y - rect.top;
            rect.left = x;
            rect.top = y;
        }
        if (!(flags & SWP_NOSIZE)) {
            rect.right = rect.left + cx;
            rect.bottom = rect.top + cy;
            if (gf_isDropDown(window)) {
                window.rect = rect;
                gf_splitComboHeight(window, cy);
                rect = window.rect;
            }
        }
        const bool resized = rect.right - rect.left != window.rect.right - window.rect.left ||
                             rect.bottom - rect.top != window.rect.bottom - window.rect.top;
        window.rect = rect;
        if (resized && window.canvas) {
            const RECT client = window.clientRect();
            window.canvas = std::make_shared<Canvas>(client.right, client.bottom);
            lf_invalidateWhole(window);
            queue = window.queue;
        }
        return TRUE;
    });
    if (queue)
        gf_wakeQueue(queue);
    return done;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER);
}

BOOL WINAPI SetWindowTextW(HWND hwnd, LPCWSTR text) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int WINAPI GetWindowTextW(HWND hwnd, LPWSTR buffer, int maxCount) {
    if (!buffer || maxCount <= 0)
        return 0;
    return static_cast<int>(
        SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

int WINAPI GetWindowTextLengthW(HWND hwnd) {
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND hwnd, int index) {
    return lf_withWindow(hwnd, [&](WindowObject& window) -> LONG_PTR {
        switch (index) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(window.proc);
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(window.instance);
        case GWLP_ID:
            return window.id;
        case GWL_STYLE:
            return static_cast<LONG_PTR>(window.style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(window.exStyle);
        case GWLP_USERDATA:
            return window.userData;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
    });
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    return lf_withWindow(hwnd, [&](WindowObject& window) -> LONG_PTR {
        LONG_PTR previous = 0;
        switch (index) {
        case GWLP_WNDPROC:
            previous = reinterpret_cast<LONG_PTR>(window.proc);
            window.proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWLP_ID:
            previous = window.id;
            window.id = static_cast<int>(value);
            break;
        case GWL_STYLE:
            previous = static_cast<LONG_PTR>(window.style);
            window.style = static_cast<DWORD>(value);
            break;
        case GWL_EXSTYLE:
            previous = static_cast<LONG_PTR>(window.exStyle);
            window.exStyle = static_cast<DWORD>(value);
            break;
        case GWLP_USERDATA:
            previous = window.userData;
            window.userData = value;
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            break;
        }
        return previous;
    });
}

LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

LRESULT WINAPI DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SETTEXT: {
        const auto* text = reinterpret_cast<LPCWSTR>(lParam);
        return lf_withWindow(hwnd, [&](WindowObject& window) -> LRESULT {
            window.text = text ? text : L"";
            return TRUE;
        });
    }
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        return lf_withWindow(hwnd, [&](WindowObject& window) -> LRESULT {
            if (!buffer || wParam == 0)
                return 0;
            const std::size_t count = std::min<std::size_t>(window.text.size(), wParam - 1);
            std::copy_n(window.text.begin(), count, buffer);
            buffer[count] = L'\0';
            return static_cast<LRESULT>(count);
        });
    }
    case WM_GETTEXTLENGTH:
        return lf_withWindow(hwnd,
                             [](WindowObject& window) { return static_cast<LRESULT>(window.text.size()); });
    case WM_SETFONT: {
        const auto font = reinterpret_cast<HFONT>(wParam);
        const int cellHeight = font ? gf_fontCellHeight(font) : 0;
        return lf_withWindow(hwnd, [&](WindowObject& window) -> LRESULT {
            window.font = font;
            window.fontCellHeight = cellHeight;
            return 0;
        });
    }
    case WM_GETFONT:
        return lf_withWindow(hwnd,
                             [](WindowObject& window) { return reinterpret_cast<LRESULT>(window.font); });
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        BeginPaint(hwnd, &paint);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_ERASEBKGND: {
        const HBRUSH brush = lf_withWindow(hwnd, [](WindowObject& window) { return window.background; });
        RECT client{};
        if (!brush || !GetClientRect(hwnd, &client))
            return 0;
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        return 1;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    default:
        return 0;
    }
}

BOOL WINAPI CheckDlgButton(HWND parent, int id, UINT check) {
    HWND button = GetDlgItem(parent, id);
    if (!button)
        return FALSE;
    SendMessageW(button, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND parent, int id) {
    HWND button = GetDlgItem(parent, id);
    return button ? static_cast<UINT>(SendMessageW(button, BM_GETCHECK, 0, 0)) : 0;
}

LRESULT WINAPI SendDlgItemMessageW(HWND parent, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND item = GetDlgItem(parent, id);
    return item ? SendMessageW(item, message, wParam, lParam) : 0;
}
