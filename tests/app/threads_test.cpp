#include "app_fixture.h"

#include <fmt/format.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace kvr::test {
namespace {

using namespace std::chrono_literals;
using Threads = MainWindowTest;

// Four threads talk to the window the ways the subsystems do while the GUI thread runs its loop and paints.
TEST_F(Threads, MessagesInvalidationsAndSendsFromFourThreadsWhileTheGuiPumps) {
    ASSERT_TRUE(openWindow());
    constexpr int rounds = 250;
    std::atomic<int> running{4};
    std::atomic<int> answered{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&, t] {
            for (int i = 0; i < rounds; ++i) {
                gf_showMessage(fmt::format("thread {} message {}", t, i), i % 50 == 0);
                InvalidateRect(mainWindowHandle.load(), &statusPaneRect, TRUE);
                statusDisplay.liveAircraftCount = static_cast<unsigned>(i);
                statusDisplay.changeTexts(
                    [&](StatusTexts& s) { s.accountLine = fmt::format("account {}", i); });
                RANGE.setValue(2 + i % 50);
                gf_showControlNumber(RANGE); // SetWindowTextW, sent to the GUI thread
                if (SendMessageW(mainWindowHandle.load(), WM_CTLCOLORSTATIC, 0, 0) != 0)
                    ++answered;
                if (t == 0 && i % 60 == 0) {
                    gf_showError(fmt::format("error {}", i));
                    gf_clearMessageAndError();
                }
            }
            --running;
        });
    }
    // A heartbeat keeps the loop turning, so the deadline is checked even if nothing else arrives.
    std::atomic<bool> beating{true};
    std::thread heartbeat([&] {
        while (beating) {
            PostMessageW(mainWindowHandle.load(), WM_NULL, 0, 0);
            std::this_thread::sleep_for(20ms);
        }
    });
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    MSG msg{};
    int paints = 0;
    while (running > 0 && std::chrono::steady_clock::now() < deadline && GetMessageW(&msg, nullptr, 0, 0)) {
        paints += msg.message == WM_PAINT;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    const bool finished = running == 0;
    beating = false;
    heartbeat.join();
    if (!finished) {
        ADD_FAILURE() << "deadlock: the workers did not finish";
        std::quick_exit(1); // the workers are stuck; joining them would hang the suite
    }
    for (auto& worker : workers)
        worker.join();
    EXPECT_EQ(answered, 4 * rounds);
    EXPECT_GT(paints, 0);
    const std::string last = gf_messageLineSnapshot().messageText;
    EXPECT_TRUE(last.empty() || last.rfind("thread ", 0) == 0) << last;
}

} // namespace
} // namespace kvr::test
