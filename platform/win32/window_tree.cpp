// The window tree as Win32 reports it: class names, child enumeration and coordinate mapping between a
// window's client area and the screen.
#include "platform/win32/window_model.h"

#include <algorithm>

namespace kvr::standin {

POINT gf_clientOriginLocked(WindowRegistry& registry, const WindowObject& window) {
    POINT origin{window.rect.left, window.rect.top};
    if (window.isTopLevel()) {
        if ((window.style & WS_CAPTION) == WS_CAPTION)
            origin.y += captionHeight;
        return origin;
    }
    if (const WindowObject* parent = registry.find(window.parent)) {
        const POINT parentOrigin = gf_clientOriginLocked(registry, *parent);
        origin.x += parentOrigin.x;
        origin.y += parentOrigin.y;
    }
    return origin;
}

namespace {

void lf_collectDescendants(WindowRegistry& registry, const WindowObject& window, std::vector<HWND>& out) {
    for (HWND child : window.children) {
        if (const WindowObject* member = registry.find(child)) {
            out.push_back(child);
            lf_collectDescendants(registry, *member, out);
        }
    }
}

// The client origin of hwnd in screen coordinates; the screen itself (no window) is at (0, 0).
bool lf_originOf(HWND hwnd, POINT& origin) {
    origin = POINT{0, 0};
    if (!hwnd)
        return true;
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    const WindowObject* window = registry.find(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    origin = gf_clientOriginLocked(registry, *window);
    return true;
}

} // namespace

} // namespace kvr::standin

using namespace kvr::standin;

int WINAPI GetClassNameW(HWND hwnd, LPWSTR className, int maxCount) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    const WindowObject* window = registry.find(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (!className || maxCount <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const auto count =
        std::min<std::size_t>(window->className.size(), static_cast<std::size_t>(maxCount - 1));
    std::copy_n(window->className.begin(), count, className);
    className[count] = L'\0';
    return static_cast<int>(count);
}

// Children and their children, depth first in creation order (the Z order of controls created one after
// the other); the list is taken before the first call, so the callback may create or destroy windows.
BOOL WINAPI EnumChildWindows(HWND parent, WNDENUMPROC enumProc, LPARAM lParam) {
    std::vector<HWND> descendants;
    {
        WindowRegistry& registry = windowRegistry();
        std::lock_guard lock(registry.mutex);
        const WindowObject* window = registry.find(parent);
        if (!window || !enumProc)
            return FALSE;
        lf_collectDescendants(registry, *window, descendants);
    }
    for (HWND child : descendants) {
        if (IsWindow(child) && !enumProc(child, lParam))
            break;
    }
    return TRUE;
}

int WINAPI MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    POINT fromOrigin{};
    POINT toOrigin{};
    if (!lf_originOf(from, fromOrigin) || !lf_originOf(to, toOrigin))
        return 0;
    const LONG dx = fromOrigin.x - toOrigin.x;
    const LONG dy = fromOrigin.y - toOrigin.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<int>(MAKELPARAM(static_cast<WORD>(dx), static_cast<WORD>(dy)));
}

BOOL WINAPI ClientToScreen(HWND hwnd, POINT* point) {
    POINT origin{};
    if (!hwnd || !point || !lf_originOf(hwnd, origin))
        return FALSE;
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hwnd, POINT* point) {
    POINT origin{};
    if (!hwnd || !point || !lf_originOf(hwnd, origin))
        return FALSE;
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}
