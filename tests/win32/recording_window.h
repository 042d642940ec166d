#pragma once
// A window class for the stand-in tests whose procedure records every message it gets.
#include "platform/win32/standin.h"
#include "platform/win32/win32.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

namespace kvr::test {

struct RecordedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::thread::id thread;
};

class MessageRecord {
public:
    static MessageRecord& instance() {
        static MessageRecord record;
        return record;
    }
    void add(const RecordedMessage& m) {
        std::lock_guard lock(mutex_);
        messages_.push_back(m);
    }
    std::vector<RecordedMessage> all() {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    std::vector<RecordedMessage> of(UINT message) {
        auto found = all();
        std::erase_if(found, [message](const RecordedMessage& m) { return m.message != message; });
        return found;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        messages_.clear();
    }

private:
    std::mutex mutex_;
    std::vector<RecordedMessage> messages_;
};

inline LRESULT CALLBACK recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageRecord::instance().add({hwnd, message, wParam, lParam, std::this_thread::get_id()});
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        BeginPaint(hwnd, &paint);
        EndPaint(hwnd, &paint);
        return 0;
    }
    if (message == WM_APP + 7)
        return static_cast<LRESULT>(wParam) * 2; // answers sent requests with a value the sender checks
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

inline const wchar_t* recordingClass() {
    static const bool registered = [] {
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = recordingProc;
        cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        cls.lpszClassName = L"RecordingWindow";
        return RegisterClassExW(&cls) != 0;
    }();
    return registered ? L"RecordingWindow" : nullptr;
}

// A visible top-level window with a caption whose client area is 880 x 476, destroyed at the end of scope.
class TopWindow {
public:
    explicit TopWindow(void* creationData = nullptr)
        : hwnd_(CreateWindowExW(0, recordingClass(), L"Test", WS_CAPTION | WS_SYSMENU, 10, 20, 880, 516,
                                nullptr, nullptr, nullptr, creationData)) {}
    ~TopWindow() {
        if (IsWindow(hwnd_))
            DestroyWindow(hwnd_);
        standin::pumpMessages();
        MessageRecord::instance().clear();
    }
    TopWindow(const TopWindow&) = delete;
    TopWindow& operator=(const TopWindow&) = delete;
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_;
};

inline HWND childControl(HWND parent, const wchar_t* cls, DWORD style, int id, int x = 10, int y = 10,
                         int w = 100, int h = 20) {
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
}

} // namespace kvr::test
