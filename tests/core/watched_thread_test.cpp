// Threads whose end is awaited for a limited time: a thread that ends is joined, one that does not is
// logged by name and left behind while its owner goes on.
#include "core/watched_thread.h"
#include "support/log_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace kvr {
namespace {

using namespace std::chrono_literals;

TEST(WatchedThread, AStoppedThreadIsJoinedAndOneThatHangsIsLeftBehindAfterTheLimit) {
    test::TempFolder folder;
    gf_openLogFile(folder.path());
    WatchedThread stops("Stopping", [](std::stop_token stop) {
        while (!stop.stop_requested())
            std::this_thread::sleep_for(1ms);
    });
    EXPECT_TRUE(stops.stopAndJoin());
    EXPECT_FALSE(stops.joinable());

    auto release = std::make_shared<std::atomic<bool>>(false);
    WatchedThread hangs("Hanging", [release] {
        while (!release->load())
            std::this_thread::sleep_for(1ms);
    });
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_FALSE(hangs.stopAndJoin(300ms));
    const auto waited = std::chrono::steady_clock::now() - asked;
    EXPECT_GE(waited, 300ms);
    EXPECT_LT(waited, 2s);
    EXPECT_FALSE(hangs.joinable());
    release->store(true);
    const std::string log = test::loggedText(folder.path());
    gf_closeLogFile();
    EXPECT_NE(log.find("==> The Hanging thread did not end within 300 ms and is left behind\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("Stopping"), std::string::npos);
}

} // namespace
} // namespace kvr
