#pragma once
// The whole program on the test's thread: gf_runMainWindow with its window, its message loop and its
// run-thread passes in a scratch program folder.
#include "app_fixture.h"
#include "core/utf.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <string>
#include <thread>

namespace kvr::test {

using namespace std::chrono_literals;

class WholeRun : public MainWindowTest {
protected:
    void SetUp() override {
        registerClass = false;
        MainWindowTest::SetUp();
        previous = std::filesystem::current_path();
        std::filesystem::create_directories(folder / "program");
        std::filesystem::current_path(folder / "program");
    }
    void TearDown() override {
        // A whole run that failed is told by its log, which goes with the scratch folder.
        if (HasFailure())
            std::fprintf(stderr, "Log.txt of the run:\n%s\n", logText().c_str());
        std::filesystem::current_path(previous);
        standin::setProcessArguments({});
        MainWindowTest::TearDown();
    }
    // Runs the program until its loop ends; meanwhile the user closes the window once `closeWhen` holds.
    template <typename Condition> int runClosingWhen(Condition closeWhen) {
        std::atomic<bool> ended{false};
        auto user = std::async(std::launch::async, [&] {
            while (!ended && !(closeWhen() && mainWindowHandle.load()))
                std::this_thread::sleep_for(10ms);
            if (!ended)
                PostMessageW(mainWindowHandle.load(), WM_CLOSE, 0, 0);
        });
        const int code = gf_runMainWindow(GetModuleHandleW(nullptr));
        ended = true;
        user.get();
        return code;
    }
    // What the start-up reading needs: data files, a simulator install, a livery catalogue, no scans, and a
    // last visit to the service that makes every pass hold for 2 s.
    void stageProgram(const std::string& moreParameters = "") {
        std::filesystem::create_directories("docs");
        std::filesystem::copy(std::filesystem::path(VANTREL_DIST_DIR) / "input", "input");
        std::filesystem::create_directories(steamPackages / "Community");
        setenv("VANTREL_DOWNLOAD_URL", "http://127.0.0.1:9", 1);
        writeParameters(
            R"(<parameter name="SCAN_LIVERIES" value="false"/><parameter name="SCAN_AIRPORTS" value="false"/>)"
            R"(<parameter name="LAST_EPOCH_TIME:" value="2147483647"/>)" +
            moreParameters);
        std::filesystem::create_directories("output");
        writeFileText(
            "output/LiveriesScanned.xml",
            R"(<?xml version="1.0"?><root><meta><info name="author" value="Vantrel"/></meta><liveries>)"
            R"(<liv airl="KLM" type="B738" title="Boeing 737-800 KLM"/></liveries></root>)");
    }
    // Runs the program until its loop ends while `user` plays the user on a thread of its own.
    int runWithUser(const std::function<void()>& user) {
        auto acting = std::async(std::launch::async, user);
        const int code = gf_runMainWindow(GetModuleHandleW(nullptr));
        acting.get();
        return code;
    }
    static bool waitFor(const std::function<bool()>& condition, std::chrono::seconds limit = 30s) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!condition() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        return condition();
    }
    std::size_t logCount(const std::string& text) {
        const std::string log = logText();
        std::size_t count = 0;
        for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    }
    static void closeBox() { PostMessageW(mainWindowHandle.load(), WM_CLOSE, 0, 0); }
    // A user-aitraffic package of `files` aircraft.cfg files, one KLM livery each.
    void writeAiPackage(std::size_t files) {
        const std::filesystem::path package = steamPackages / "Community" / "user-aitraffic";
        for (std::size_t i = 0; i < files; ++i) {
            const std::filesystem::path model = package / ("model" + std::to_string(i));
            std::filesystem::create_directories(model);
            writeFileText(model / "aircraft.cfg", "[GENERAL]\nicao_type_designator = \"B738\"\n\n[FLTSIM.0]\n"
                                                  "title = \"Scanned KLM " +
                                                      std::to_string(i) + "\"\nicao_airline = \"KLM\"\n");
        }
    }
    static std::string boxText(const WindowControl& box) {
        wchar_t text[512] = {};
        GetWindowTextW(box.windowHandle.load(), text, 512);
        return wide_to_utf8(text);
    }
    static void enter(const WindowControl& box, const std::string& text) {
        SetWindowTextW(box.windowHandle.load(), L"");
        EXPECT_TRUE(standin::typeText(box.windowHandle.load(), text));
        EXPECT_TRUE(standin::pressKey(box.windowHandle.load(), VK_RETURN));
    }

    std::filesystem::path previous;
    std::filesystem::path steamPackages = folder / "config" / "Microsoft Flight Simulator" / "Packages";
};

} // namespace kvr::test
