// Message queues: posting, sending across threads, the message loop's retrieval with WM_PAINT and then
// WM_TIMER generated when nothing else waits, timers, and keyboard translation.
#include "platform/win32/message_queue.h"

#include "platform/win32/picture_file.h"
#include "platform/win32/window_model.h"

#include <algorithm>
#include <chrono>
#include <optional>

namespace kvr::standin {

namespace {

// Ends with its thread: the queue is marked dead and every sender still waiting on it gets 0, so no
// thread waits forever for a thread that is gone.
struct QueueHolder {
    std::shared_ptr<MessageQueue> queue;
    ~QueueHolder() {
        if (!queue)
            return;
        std::deque<std::shared_ptr<SentMessage>> pending;
        {
            std::lock_guard lock(queue->mutex);
            queue->dead = true;
            pending.swap(queue->sent);
        }
        for (const auto& request : pending) {
            std::lock_guard lock(request->replyTo->mutex);
            request->done = true;
            request->replyTo->notifyLocked();
        }
    }
};

thread_local QueueHolder currentQueue;

DWORD lf_tickCount() {
    using namespace std::chrono;
    return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void lf_serveSent(const std::shared_ptr<SentMessage>& request) {
    const LRESULT result =
        gf_callWindowProcedure(request->hwnd, request->message, request->wParam, request->lParam);
    std::lock_guard lock(request->replyTo->mutex);
    request->result = result;
    request->done = true;
    request->replyTo->notifyLocked();
}

bool lf_matches(const MSG& msg, HWND filter, UINT filterMin, UINT filterMax) {
    if (filter && msg.hwnd != filter)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

HWND lf_findWindowToPaint(HWND filter) {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    const auto self = std::this_thread::get_id();
    for (const auto& [hwnd, window] : registry.windows) {
        if (window->hasUpdate && (window->style & WS_VISIBLE) && window->queue->thread == self &&
            (!filter || hwnd == filter))
            return hwnd;
    }
    return nullptr;
}

enum class Fetched { message, quit, nothing };

bool lf_inFilter(UINT message, UINT filterMin, UINT filterMax) {
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

bool lf_fetchTimer(MessageQueue& queue, MSG* msg, HWND filter, bool remove);

// One look at the queue in the order Win32 keeps: sent messages (served here), posted messages,
// WM_QUIT, then WM_PAINT for a window with an update region.
Fetched lf_fetch(MessageQueue& queue, MSG* msg, HWND filter, UINT filterMin, UINT filterMax, bool remove) {
    for (;;) {
        std::unique_lock lock(queue.mutex);
        if (!queue.sent.empty()) {
            auto request = queue.sent.front();
            queue.sent.pop_front();
            lock.unlock();
            lf_serveSent(request);
            continue;
        }
        for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
            if (!lf_matches(*it, filter, filterMin, filterMax))
                continue;
            *msg = *it;
            if (remove) {
                queue.posted.erase(it);
                if (msg->wParam == VK_SHIFT && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP))
                    queue.shiftDown = msg->message == WM_KEYDOWN;
            }
            return Fetched::message;
        }
        if (queue.quitPosted) {
            *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, lf_tickCount(), {}};
            if (remove)
                queue.quitPosted = false;
            return Fetched::quit;
        }
        lock.unlock();
        if (lf_inFilter(WM_PAINT, filterMin, filterMax)) {
            if (HWND dirty = lf_findWindowToPaint(filter)) {
                *msg = MSG{dirty, WM_PAINT, 0, 0, lf_tickCount(), {}};
                return Fetched::message;
            }
        }
        if (lf_inFilter(WM_TIMER, filterMin, filterMax) && lf_fetchTimer(queue, msg, filter, remove))
            return Fetched::message;
        return Fetched::nothing;
    }
}

// WM_TIMER comes last of all, for a timer whose time has come; the timer of a window that is gone ends.
bool lf_fetchTimer(MessageQueue& queue, MSG* msg, HWND filter, bool remove) {
    for (;;) {
        std::optional<QueueTimer> due;
        {
            std::lock_guard lock(queue.mutex);
            const auto now = std::chrono::steady_clock::now();
            for (QueueTimer& timer : queue.timers) {
                if (timer.due <= now && (!filter || timer.hwnd == filter)) {
                    due = timer;
                    if (remove)
                        timer.due = now + timer.interval;
                    break;
                }
            }
        }
        if (!due)
            return false;
        if (due->hwnd && !IsWindow(due->hwnd)) {
            std::lock_guard lock(queue.mutex);
            std::erase_if(queue.timers, [&](const QueueTimer& t) { return t.hwnd == due->hwnd; });
            continue;
        }
        *msg = MSG{due->hwnd, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->proc), lf_tickCount(), {}};
        return true;
    }
}

std::optional<std::chrono::steady_clock::time_point> lf_earliestTimer(MessageQueue& queue) {
    std::lock_guard lock(queue.mutex);
    std::optional<std::chrono::steady_clock::time_point> earliest;
    for (const QueueTimer& timer : queue.timers)
        if (!earliest || timer.due < *earliest)
            earliest = timer.due;
    return earliest;
}

} // namespace

std::shared_ptr<MessageQueue> gf_currentThreadQueue() {
    if (!currentQueue.queue) {
        currentQueue.queue = std::make_shared<MessageQueue>();
        currentQueue.queue->thread = std::this_thread::get_id();
    }
    return currentQueue.queue;
}

void gf_wakeQueue(const std::shared_ptr<MessageQueue>& queue) {
    std::lock_guard lock(queue->mutex);
    queue->notifyLocked();
}

LRESULT gf_callWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = nullptr;
    {
        WindowRegistry& registry = windowRegistry();
        std::lock_guard lock(registry.mutex);
        if (WindowObject* window = registry.find(hwnd))
            proc = window->proc;
    }
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

bool pumpMessages() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return false;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

} // namespace kvr::standin

using namespace kvr::standin;

BOOL WINAPI GetMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    const auto queue = gf_currentThreadQueue();
    for (;;) {
        std::uint64_t seen;
        {
            std::lock_guard lock(queue->mutex);
            seen = queue->generation;
        }
        switch (lf_fetch(*queue, msg, hwnd, filterMin, filterMax, true)) {
        case Fetched::message:
            return TRUE;
        case Fetched::quit:
            return FALSE;
        case Fetched::nothing:
            break;
        }
        gf_writePictureIfDue();
        auto due = gf_pictureDueTime();
        if (const auto timer = lf_earliestTimer(*queue); timer && (!due || *timer < *due))
            due = timer;
        std::unique_lock lock(queue->mutex);
        const auto woken = [&] { return queue->generation != seen; };
        if (due)
            queue->wake.wait_until(lock, *due, woken);
        else
            queue->wake.wait(lock, woken);
    }
}

BOOL WINAPI PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    return lf_fetch(*gf_currentThreadQueue(), msg, hwnd, filterMin, filterMax,
                    (removeFlags & PM_REMOVE) != 0) != Fetched::nothing
               ? TRUE
               : FALSE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN)
        return FALSE;
    const auto queue = gf_currentThreadQueue();
    const WPARAM key = msg->wParam;
    std::uint32_t character = 0;
    if (key == VK_RETURN || key == VK_BACK || key == VK_TAB || key == VK_ESCAPE || key == VK_SPACE ||
        (key >= '0' && key <= '9'))
        character = static_cast<std::uint32_t>(key);
    else if (key >= 'A' && key <= 'Z')
        character = static_cast<std::uint32_t>(queue->shiftDown ? key : key - 'A' + 'a');
    else if (key == VK_PACKET)
        // Injected characters carry their code point above the 32 bits Win32 uses in lParam.
        character = static_cast<std::uint32_t>(static_cast<std::uint64_t>(msg->lParam) >> 32);
    if (character == 0)
        return FALSE;
    std::lock_guard lock(queue->mutex);
    queue->posted.push_front(
        MSG{msg->hwnd, WM_CHAR, character, msg->lParam & 0xFFFFFFFF, msg->time, msg->pt});
    queue->notifyLocked();
    return TRUE;
}

LRESULT WINAPI DispatchMessageW(const MSG* msg) {
    if (msg && msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, lf_tickCount());
        return 0;
    }
    if (!msg || !msg->hwnd)
        return 0;
    return gf_callWindowProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<MessageQueue> queue;
    if (!hwnd) {
        queue = gf_currentThreadQueue();
    } else {
        WindowRegistry& registry = windowRegistry();
        std::lock_guard lock(registry.mutex);
        WindowObject* window = registry.find(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        queue = window->queue;
    }
    std::lock_guard lock(queue->mutex);
    if (queue->dead) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    queue->posted.push_back(MSG{hwnd, message, wParam, lParam, lf_tickCount(), {}});
    queue->notifyLocked();
    return TRUE;
}

LRESULT WINAPI SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<MessageQueue> target;
    {
        WindowRegistry& registry = windowRegistry();
        std::lock_guard lock(registry.mutex);
        WindowObject* window = registry.find(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        target = window->queue;
    }
    if (target->thread == std::this_thread::get_id())
        return gf_callWindowProcedure(hwnd, message, wParam, lParam);

    const auto self = gf_currentThreadQueue();
    auto request = std::make_shared<SentMessage>(SentMessage{hwnd, message, wParam, lParam, 0, false, self});
    {
        std::lock_guard lock(target->mutex);
        if (target->dead)
            return 0;
        target->sent.push_back(request);
        target->notifyLocked();
    }
    // While waiting, serve what other threads send to this one, as Win32 does; two threads sending to
    // each other therefore never deadlock.
    std::unique_lock lock(self->mutex);
    while (!request->done) {
        if (!self->sent.empty()) {
            auto incoming = self->sent.front();
            self->sent.pop_front();
            lock.unlock();
            lf_serveSent(incoming);
            lock.lock();
            continue;
        }
        self->wake.wait(lock);
    }
    return request->result;
}

void WINAPI PostQuitMessage(int exitCode) {
    const auto queue = gf_currentThreadQueue();
    std::lock_guard lock(queue->mutex);
    queue->quitPosted = true;
    queue->quitCode = exitCode;
    queue->notifyLocked();
}

// A timer belongs to the thread that sets it, which must own its window.
UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR idEvent, UINT elapse, TIMERPROC timerProc) {
    if (hwnd) {
        WindowRegistry& registry = windowRegistry();
        std::lock_guard lock(registry.mutex);
        const WindowObject* window = registry.find(hwnd);
        if (!window || window->queue->thread != std::this_thread::get_id()) {
            SetLastError(window ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
    }
    const auto queue = gf_currentThreadQueue();
    const std::chrono::milliseconds interval(std::max(elapse, USER_TIMER_MINIMUM));
    std::lock_guard lock(queue->mutex);
    auto timer = std::find_if(queue->timers.begin(), queue->timers.end(),
                              [&](const QueueTimer& t) { return t.hwnd == hwnd && t.id == idEvent; });
    if (timer == queue->timers.end()) {
        // Without a window the id given is only a way to replace an existing timer; a new one gets its own.
        const UINT_PTR id = hwnd ? idEvent : queue->nextTimerId++;
        queue->timers.push_back(QueueTimer{hwnd, id, interval, {}, timerProc});
        timer = std::prev(queue->timers.end());
    }
    timer->interval = interval;
    timer->due = std::chrono::steady_clock::now() + interval;
    timer->proc = timerProc;
    queue->notifyLocked();
    return hwnd ? 1 : timer->id;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR idEvent) {
    const auto queue = gf_currentThreadQueue();
    std::lock_guard lock(queue->mutex);
    const auto removed =
        std::erase_if(queue->timers, [&](const QueueTimer& t) { return t.hwnd == hwnd && t.id == idEvent; });
    return removed > 0 ? TRUE : FALSE;
}
