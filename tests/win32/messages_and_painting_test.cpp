#include "recording_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace kvr::test {
namespace {

using namespace std::chrono_literals;

int countOf(UINT message) {
    return static_cast<int>(MessageRecord::instance().of(message).size());
}

TEST(WindowModel, CreateRunsWmCreateInsideTheCallAndUpdateWindowPaintsAtOnce) {
    int creationData = 42;
    TopWindow window(&creationData);
    ASSERT_TRUE(window.get());
    const auto created = MessageRecord::instance().of(WM_CREATE);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].hwnd, window.get()) << "WM_CREATE came before CreateWindowExW returned";
    RECT client{};
    GetClientRect(window.get(), &client);
    EXPECT_EQ(client.right, 880);
    EXPECT_EQ(client.bottom, 476);

    EXPECT_EQ(countOf(WM_PAINT), 0) << "a window created hidden has nothing to paint";
    ShowWindow(window.get(), SW_SHOW);
    UpdateWindow(window.get());
    EXPECT_EQ(countOf(WM_PAINT), 1) << "UpdateWindow paints synchronously";
    EXPECT_EQ(standin::clientPixel(window.get(), 5, 5), RGB(0, 0, 0)) << "erased with the class brush";
    UpdateWindow(window.get());
    EXPECT_EQ(countOf(WM_PAINT), 1) << "nothing left to paint";
}

LRESULT CALLBACK creationDataProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    static int seen = 0;
    if (message == WM_CREATE) {
        seen = *static_cast<int*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        return seen == 7 ? 0 : -1;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(WindowModel, WmCreateSeesTheCreationDataAndMinusOneRefusesTheWindow) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = creationDataProc;
    cls.lpszClassName = L"CreationDataWindow";
    ASSERT_NE(RegisterClassExW(&cls), 0);
    EXPECT_EQ(RegisterClassExW(&cls), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    int accepted = 7;
    int refused = 8;
    HWND good = CreateWindowExW(0, L"creationdatawindow", L"", WS_CAPTION, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, &accepted);
    EXPECT_TRUE(IsWindow(good)) << "class names ignore case";
    EXPECT_EQ(CreateWindowExW(0, L"CreationDataWindow", L"", WS_CAPTION, 0, 0, 100, 100, nullptr, nullptr,
                              nullptr, &refused),
              nullptr);
    DestroyWindow(good);
}

TEST(WindowModel, PaintComesOnlyWhenNoPostedMessageWaitsAndUpdateRegionsAddUp) {
    TopWindow window;
    ShowWindow(window.get(), SW_SHOW);
    UpdateWindow(window.get());
    MessageRecord::instance().clear();

    const RECT first{10, 10, 20, 20};
    const RECT second{100, 200, 150, 220};
    InvalidateRect(window.get(), &first, TRUE);
    PostMessageW(window.get(), WM_APP + 1, 0, 0);
    InvalidateRect(window.get(), &second, FALSE);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(window.get(), &update, FALSE));
    EXPECT_EQ(update.left, 10);
    EXPECT_EQ(update.top, 10);
    EXPECT_EQ(update.right, 150);
    EXPECT_EQ(update.bottom, 220);

    MSG msg{};
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_APP + 1u) << "posted messages come before WM_PAINT";
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_PAINT);
    DispatchMessageW(&msg);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "both invalidations were one paint";
    EXPECT_EQ(countOf(WM_ERASEBKGND), 1);
}

TEST(WindowModel, QuitComesAfterPostedMessagesWithItsCode) {
    TopWindow window;
    PostMessageW(window.get(), WM_APP + 3, 0, 0);
    PostQuitMessage(-1);
    MSG msg{};
    EXPECT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_APP + 3u);
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(static_cast<int>(msg.wParam), -1);
}

TEST(WindowModel, InvalidateFromAnotherThreadWakesTheWaitingLoop) {
    TopWindow window;
    ShowWindow(window.get(), SW_SHOW);
    UpdateWindow(window.get());
    MessageRecord::instance().clear();
    auto invalidator = std::async(std::launch::async, [hwnd = window.get()] {
        std::this_thread::sleep_for(20ms);
        const RECT area{0, 448, 880, 476};
        InvalidateRect(hwnd, &area, TRUE);
    });
    MSG msg{};
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_PAINT);
    DispatchMessageW(&msg);
    invalidator.get();
}

TEST(WindowModel, SendFromAnotherThreadRunsOnTheOwnerWhileItWaitsInGetMessage) {
    TopWindow window;
    std::atomic<bool> done{false};
    std::thread::id answeredOn;
    auto sender = std::async(std::launch::async, [&] {
        const LRESULT result = SendMessageW(window.get(), WM_APP + 7, 21, 0);
        answeredOn = MessageRecord::instance().of(WM_APP + 7).at(0).thread;
        done = true;
        PostMessageW(window.get(), WM_APP + 9, 0, 0); // wakes the loop below
        return result;
    });
    MSG msg{};
    while (!done && GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(sender.get(), 42);
    EXPECT_EQ(answeredOn, std::this_thread::get_id());
}

TEST(WindowModel, TwoThreadsSendingToEachOtherDoNotDeadlock) {
    TopWindow mine;
    std::promise<HWND> theirs;
    std::atomic<bool> stop{false};
    std::thread other([&] {
        TopWindow window;
        theirs.set_value(window.get());
        // Sends to this thread's window while this thread sends to it.
        const LRESULT r = SendMessageW(mine.get(), WM_APP + 7, 5, 0);
        EXPECT_EQ(r, 10);
        while (!stop)
            standin::pumpMessages();
    });
    HWND otherWindow = theirs.get_future().get();
    EXPECT_EQ(SendMessageW(otherWindow, WM_APP + 7, 8, 0), 16);
    standin::pumpMessages();
    stop = true;
    other.join();
}

TEST(WindowModel, SendingToAWindowWhoseThreadEndedReturnsInsteadOfWaiting) {
    HWND orphan = nullptr;
    std::thread([&] {
        orphan = CreateWindowExW(0, recordingClass(), L"", WS_CAPTION, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    }).join();
    EXPECT_EQ(SendMessageW(orphan, WM_APP + 7, 1, 0), 0);
    EXPECT_FALSE(PostMessageW(orphan, WM_APP, 0, 0));
}

TEST(WindowModel, TranslateMessageTurnsEnterIntoCharacter13) {
    TopWindow window;
    ASSERT_TRUE(ShowWindow(window.get(), SW_SHOW) == FALSE);
    ASSERT_TRUE(standin::pressKey(window.get(), VK_RETURN));
    standin::pumpMessages();
    const auto chars = MessageRecord::instance().of(WM_CHAR);
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].wParam, 13u);
    const auto all = MessageRecord::instance().all();
    std::vector<UINT> keys;
    for (const auto& m : all)
        if (m.message == WM_KEYDOWN || m.message == WM_CHAR || m.message == WM_KEYUP)
            keys.push_back(m.message);
    EXPECT_EQ(keys, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
}

TEST(WindowModel, MinimisedWindowSitsFarOffScreenAndRestoresItsPlace) {
    TopWindow window;
    ShowWindow(window.get(), SW_MINIMIZE);
    RECT rect{};
    GetWindowRect(window.get(), &rect);
    EXPECT_LT(rect.left, -30000);
    EXPECT_EQ(rect.right - rect.left, 880);
    ShowWindow(window.get(), SW_RESTORE);
    GetWindowRect(window.get(), &rect);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
}

TEST(WindowModel, TopmostFollowsSetWindowPosWithoutMovingTheWindow) {
    TopWindow window;
    SetWindowPos(window.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    EXPECT_TRUE(GetWindowLongPtrW(window.get(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT rect{};
    GetWindowRect(window.get(), &rect);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.bottom - rect.top, 516);
    SetWindowPos(window.get(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    EXPECT_FALSE(GetWindowLongPtrW(window.get(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(WindowModel, DestroyWindowSendsDestroyToTheWindowAndItsChildren) {
    TopWindow window;
    HWND button = childControl(window.get(), L"BUTTON", BS_PUSHBUTTON, 5);
    ASSERT_EQ(GetDlgItem(window.get(), 5), button);
    EXPECT_EQ(GetParent(button), window.get());
    DestroyWindow(window.get());
    EXPECT_FALSE(IsWindow(window.get()));
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(MessageRecord::instance().of(WM_DESTROY).size(), 1u);
}

TEST(WindowModel, ChildRectanglesAreOnTheScreenAndEnumeratedInCreationOrder) {
    TopWindow window; // at (10, 20), its client area 40 below the top edge
    HWND combo = childControl(window.get(), L"COMBOBOX", CBS_DROPDOWNLIST, 7, 5, 114, 105, 80);
    HWND button = childControl(window.get(), L"button", BS_CHECKBOX, 8, 748, 149, 12, 12);
    HWND inner = childControl(combo, L"Edit", 0, 9, 2, 3, 50, 10);
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(combo, &rect));
    EXPECT_EQ(rect.left, 15);
    EXPECT_EQ(rect.top, 174);
    EXPECT_EQ(rect.right, 120);
    EXPECT_EQ(rect.bottom, 198) << "a closed drop-down list is 24 high; 80 is the height of its list";
    GetWindowRect(inner, &rect);
    EXPECT_EQ(rect.left, 17);
    EXPECT_EQ(rect.top, 177);
    MapWindowPoints(HWND_DESKTOP, window.get(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 7);
    EXPECT_EQ(rect.top, 117);
    POINT point{0, 0};
    ClientToScreen(button, &point);
    EXPECT_EQ(point.x, 758);
    EXPECT_EQ(point.y, 209);
    ScreenToClient(window.get(), &point);
    EXPECT_EQ(point.x, 748);
    EXPECT_EQ(point.y, 149);

    std::vector<HWND> found;
    EnumChildWindows(
        window.get(),
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    EXPECT_EQ(found, (std::vector<HWND>{combo, inner, button}));
    wchar_t name[16] = {};
    EXPECT_EQ(GetClassNameW(button, name, 16), 6);
    EXPECT_EQ(std::wstring(name), L"Button") << "the class as registered, whatever the case it was asked by";
}

std::vector<UINT_PTR> timerCalls;
void CALLBACK recordTimer(HWND, UINT, UINT_PTR id, DWORD) {
    timerCalls.push_back(id);
}

TEST(WindowModel, TimersComeAfterPostedMessagesAndRepeatUntilKilled) {
    TopWindow window;
    timerCalls.clear();
    ASSERT_NE(SetTimer(window.get(), 3, 10, recordTimer), 0u);
    PostMessageW(window.get(), WM_USER, 0, 0);
    MSG msg{};
    std::vector<UINT> seen;
    while (timerCalls.size() < 2 && GetMessageW(&msg, nullptr, 0, 0)) {
        seen.push_back(msg.message);
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(timerCalls, (std::vector<UINT_PTR>{3, 3}));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), WM_USER);
    EXPECT_TRUE(KillTimer(window.get(), 3));
    EXPECT_FALSE(KillTimer(window.get(), 3));
    std::this_thread::sleep_for(30ms);
    standin::pumpMessages();
    EXPECT_EQ(timerCalls.size(), 2u);
}

} // namespace
} // namespace kvr::test
