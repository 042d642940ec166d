// Update regions: invalidation from any thread, validation, and UpdateWindow's synchronous paint.
#include "platform/win32/message_queue.h"
#include "platform/win32/window_model.h"

#include <algorithm>

using namespace kvr::standin;

namespace {

RECT lf_union(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT lf_intersection(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

bool lf_isEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

} // namespace

// The update region is kept as the bounding rectangle of everything invalidated since the last paint,
// which is also what BeginPaint reports in rcPaint.
BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    std::shared_ptr<MessageQueue> queue;
    {
        WindowRegistry& registry = windowRegistry();
        std::lock_guard lock(registry.mutex);
        WindowObject* window = registry.find(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (!window->canvas)
            return TRUE; // controls are drawn from their state
        const RECT client = window->clientRect();
        const RECT area = rect ? lf_intersection(*rect, client) : client;
        if (lf_isEmpty(area))
            return TRUE;
        window->update = window->hasUpdate ? lf_union(window->update, area) : area;
        window->hasUpdate = true;
        window->erase = window->erase || erase;
        queue = window->queue;
    }
    gf_wakeQueue(queue);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT* rect) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    WindowObject* window = registry.find(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!window->hasUpdate)
        return TRUE;
    const RECT covered = rect ? lf_intersection(*rect, window->update) : window->update;
    if (covered.left == window->update.left && covered.top == window->update.top &&
        covered.right == window->update.right && covered.bottom == window->update.bottom) {
        window->hasUpdate = false;
        window->erase = false;
    }
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    WindowObject* window = registry.find(hwnd);
    if (!window || !window->hasUpdate) {
        if (rect)
            *rect = RECT{};
        return FALSE;
    }
    if (rect)
        *rect = window->update;
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    bool paint = false;
    {
        WindowRegistry& registry = windowRegistry();
        std::lock_guard lock(registry.mutex);
        WindowObject* window = registry.find(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        paint = window->hasUpdate && (window->style & WS_VISIBLE);
    }
    if (paint)
        SendMessageW(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}
