#pragma once
// One message queue per thread that owns windows or sends to another thread's windows.
#include "platform/win32/win32_api.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kvr::standin {

struct MessageQueue;

// A message sent from another thread: the sender waits until the owner thread has run the procedure.
struct SentMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false; // guarded by replyTo->mutex
    std::shared_ptr<MessageQueue> replyTo;
};

// A timer of SetTimer: due again every interval until KillTimer or the end of its window.
struct QueueTimer {
    HWND hwnd;
    UINT_PTR id;
    std::chrono::milliseconds interval;
    std::chrono::steady_clock::time_point due;
    TIMERPROC proc;
};

struct MessageQueue {
    std::mutex mutex;
    std::condition_variable wake;
    std::uint64_t generation = 0; // counts wake-ups, so that a waiter never misses one
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quitPosted = false;
    int quitCode = 0;
    bool dead = false;      // the owner thread has ended
    bool shiftDown = false; // keyboard state as the thread has read its input
    std::vector<QueueTimer> timers;
    UINT_PTR nextTimerId = 1; // for timers without a window
    std::thread::id thread;

    // Caller holds mutex.
    void notifyLocked() {
        ++generation;
        wake.notify_all();
    }
};

std::shared_ptr<MessageQueue> gf_currentThreadQueue();
void gf_wakeQueue(const std::shared_ptr<MessageQueue>& queue);

// Runs the window's current procedure on the calling thread; 0 when the window is gone.
LRESULT gf_callWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace kvr::standin
