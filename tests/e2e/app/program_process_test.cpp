// The vantrel executable as a user starts it: its own program folder, its own settings and runtime folders.
#include "support/file_text.h"
#include "support/signal_caught.h"
#include "support/temp_folder.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace kvr::test {
namespace {

using namespace std::chrono_literals;

class Program {
public:
    Program(const std::filesystem::path& folder, const std::filesystem::path& world,
            std::vector<std::string> args) {
        std::vector<std::string> environment;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (entry.rfind("XDG_", 0) != 0 && entry.rfind("VANTREL_", 0) != 0)
                environment.push_back(entry);
        }
        environment.push_back("XDG_CONFIG_HOME=" + (world / "config").string());
        environment.push_back("XDG_DATA_HOME=" + (world / "local").string());
        // No download server: the update check goes on offline at once.
        environment.push_back("VANTREL_DOWNLOAD_URL=http://127.0.0.1:9");
        environment.push_back("XDG_RUNTIME_DIR=" + world.string());
        environment.push_back("VANTREL_WINDOW_PNG=" + (world / "window.png").string());
        args.insert(args.begin(), VANTREL_EXECUTABLE);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (auto& e : environment)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        started_ = posix_spawn(&pid_, VANTREL_EXECUTABLE, &actions, nullptr, argv.data(), envp.data()) == 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Program() {
        if (started_ && !status_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return started_; }
    pid_t pid() const { return pid_; }
    void signal(int sig) { kill(pid_, sig); }
    // The exit code once the process ended within the time given; nothing while it still runs.
    std::optional<int> exitCodeWithin(std::chrono::seconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!status_ && std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_)
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
            else
                std::this_thread::sleep_for(20ms);
        }
        return status_;
    }

private:
    pid_t pid_ = 0;
    bool started_ = false;
    std::optional<int> status_;
};

bool waitFor(const std::filesystem::path& path, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

class ProgramProcess : public ::testing::Test {
protected:
    // What the start-up reading needs: the data files, a simulator install it finds, and a livery catalogue
    // with the scans switched off.
    void SetUp() override {
        std::filesystem::create_directories(program / "docs");
        std::filesystem::copy(std::filesystem::path(VANTREL_DIST_DIR) / "input", program / "input");
        std::filesystem::create_directories(world / "config" / "Microsoft Flight Simulator" / "Packages" /
                                            "Community");
        std::filesystem::create_directories(world / "config" / "Vantrel");
        writeFileText(
            world / "config" / "Vantrel" / "parameters.xml",
            R"(<?xml version="1.0"?><root><parameters><parameter name="SCAN_LIVERIES" value="false"/>)"
            R"(<parameter name="SCAN_AIRPORTS" value="false"/></parameters></root>)");
        std::filesystem::create_directories(program / "output");
        writeFileText(
            program / "output" / "LiveriesScanned.xml",
            R"(<?xml version="1.0"?><root><meta><info name="author" value="Vantrel"/></meta><liveries>)"
            R"(<liv airl="KLM" type="B738" title="Boeing 737-800 KLM"/></liveries></root>)");
    }
    std::string log() const { return readFileText(program / "Log.txt"); }
    TempFolder world;
    std::filesystem::path program = world / "Vantrel";
    std::filesystem::path picture = world / "window.png";
};

TEST_F(ProgramProcess, ShowsItsWindowTakesTheCloseAndEndsWithTheStoredExitCode) {
    Program vantrel(program, world.path(), {});
    ASSERT_TRUE(vantrel.started());
    ASSERT_TRUE(waitFor(picture, 30s)) << "the window was never painted";
    cairo_surface_t* png = cairo_image_surface_create_from_png(picture.c_str());
    EXPECT_EQ(cairo_image_surface_get_width(png), 880);
    EXPECT_EQ(cairo_image_surface_get_height(png), 516);
    cairo_surface_destroy(png);
    ASSERT_TRUE(waitFor(world / "config" / "Vantrel" / "parameters.xml", 30s))
        << "the run thread read the settings";

    vantrel.signal(SIGTERM); // as a click on the close box
    EXPECT_EQ(vantrel.exitCodeWithin(30s), 0);
    const std::string text = log();
    const std::string firstLine = text.substr(0, text.find('\n'));
    EXPECT_TRUE(firstLine.ends_with("(utc) Vantrel version 12.0.0 for MSFS 2020/2024")) << firstLine;
    EXPECT_NE(text.find("Exiting: USER CLOSED SIM\n"), std::string::npos) << text;
    const std::string parameters = readFileText(world / "config" / "Vantrel" / "parameters.xml");
    EXPECT_NE(parameters.find(R"(name="MAIN_WINDOW_X" value="400")"), std::string::npos);
}

// A close that comes before the window exists waits for it: the program ends through its closing down.
TEST_F(ProgramProcess, ACloseBeforeTheWindowEndsThroughTheClosingDown) {
    Program vantrel(program, world.path(), {});
    ASSERT_TRUE(vantrel.started());
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!catchesSignal(vantrel.pid(), SIGTERM) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100us);
    vantrel.signal(SIGTERM); // the first moment the program can take it
    EXPECT_EQ(vantrel.exitCodeWithin(30s), 0);
    EXPECT_NE(log().find("Exiting: USER CLOSED SIM\n"), std::string::npos) << log();
}

TEST_F(ProgramProcess, ASecondInstanceEndsWithMinusOneAndLeavesTheLogAlone) {
    Program first(program, world.path(), {});
    ASSERT_TRUE(waitFor(picture, 30s));
    // The first instance is quiet once it has read its settings and looked for updates.
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (log().find("going on offline") == std::string::npos && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    const std::string logBefore = log();
    Program second(program, world.path(), {});
    EXPECT_EQ(second.exitCodeWithin(30s), 255);
    EXPECT_EQ(log(), logBefore);
    EXPECT_FALSE(std::filesystem::exists(program / "Log0.txt")) << "the log was not rotated either";
    first.signal(SIGINT);
    EXPECT_EQ(first.exitCodeWithin(30s), 0);
}

TEST_F(ProgramProcess, ProductionSwitchEndsTheRunByItself) {
    Program vantrel(program, world.path(), {"/PRODUCTION"});
    EXPECT_EQ(vantrel.exitCodeWithin(60s), 0);
    EXPECT_NE(log().find("Exiting: USER CLOSED SIM\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(picture)) << "written when the process ends";
}

TEST_F(ProgramProcess, OutsideItsFolderTheErrorWaitsForTheUser) {
    std::filesystem::remove(program / "docs");
    Program vantrel(program, world.path(), {});
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (log().find("Error 41: Vantrel must be run from the Vantrel folder!") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(vantrel.exitCodeWithin(1s), std::nullopt) << "it waits for the user";
    vantrel.signal(SIGTERM);
    EXPECT_EQ(vantrel.exitCodeWithin(30s), 0);
    EXPECT_NE(log().find("Exiting: SYSTEM ERROR\n"), std::string::npos);
}

} // namespace
} // namespace kvr::test
