// Message queues: posting, sending across threads, the message loop's retrieval with WM_PAINT generated
// when nothing else waits, and keyboard translation.
#include "platform/win32/message_queue.h"

#include "platform/win32/picture_file.h"
#include "platform/win32/window_model.h"

#include <chrono>

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
        if (filterMin == 0 && filterMax == 0 ? true : (WM_PAINT >= filterMin && WM_PAINT <= filterMax)) {
            if (HWND dirty = lf_findWindowToPaint(filter)) {
                *msg = MSG{dirty, WM_PAINT, 0, 0, lf_tickCount(), {}};
                return Fetched::message;
            }
        }
        return Fetched::nothing;
    }
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
        const auto due = gf_pictureDueTime();
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
