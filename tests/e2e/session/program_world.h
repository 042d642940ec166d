#pragma once
// A scratch world for the real vantrel program: its program folder (docs/ and the staged input/), its own
// roaming, local and runtime folders, a simulated simulator install, and child processes for the program
// and the vantrel-standin service.
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace kvr::test {

using namespace std::chrono_literals;

// A port nobody listens on at the moment of asking.
inline int freeLoopbackPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return ntohs(address.sin_port);
}

inline bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

// One child process; killed when it is still running at the end of scope.
class ChildProcess {
public:
    ChildProcess(const std::string& executable, std::vector<std::string> args,
                 const std::vector<std::string>& env, const std::filesystem::path& workingFolder,
                 const std::filesystem::path& output) {
        args.insert(args.begin(), executable);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> environment = env;
        std::vector<char*> envp;
        for (auto& e : environment)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        started_ = posix_spawn(&pid_, executable.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ChildProcess() {
        if (started_ && !status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return started_; }
    pid_t pid() const { return pid_; }
    void signal(int sig) const { ::kill(pid_, sig); }
    // The exit code once the process ended within the time given (1000 + signal when a signal ended it);
    // nothing while it still runs.
    std::optional<int> exitCodeWithin(std::chrono::milliseconds limit) {
        waitUntil(
            [&] {
                int status = 0;
                if (!status_ && ::waitpid(pid_, &status, WNOHANG) == pid_)
                    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
                return status_.has_value();
            },
            limit);
        return status_;
    }

private:
    pid_t pid_ = 0;
    bool started_ = false;
    std::optional<int> status_;
};

// vantrel-standin on a free loopback port; another process may take the port between asking and binding,
// then the next one is tried.
class StandIn {
public:
    // A port of 0 takes a free one; a given port is tried a few times, as its last user may still hold it.
    StandIn(const std::filesystem::path& folder, std::vector<std::string> args, int port = 0) {
        for (int attempt = 0; attempt < 5 && !ready_; ++attempt) {
            if (attempt > 0 && port != 0)
                std::this_thread::sleep_for(500ms);
            port_ = port != 0 ? port : freeLoopbackPort();
            std::vector<std::string> all = {"--port", std::to_string(port_)};
            all.insert(all.end(), args.begin(), args.end());
            output_ = folder / ("standin-" + std::to_string(port_) + ".txt");
            process_ =
                std::make_unique<ChildProcess>(VANTREL_STANDIN_PATH, all, baseEnvironment(), folder, output_);
            ready_ = waitUntil(
                         [&] {
                             return readFileText(output_).find("listening") != std::string::npos ||
                                    process_->exitCodeWithin(0ms).has_value();
                         },
                         10s) &&
                     !process_->exitCodeWithin(0ms);
        }
    }
    ~StandIn() {
        if (process_) {
            process_->signal(SIGTERM);
            process_->exitCodeWithin(5s);
        }
    }
    bool ready() const { return ready_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::string output() const { return readFileText(output_); }

    static std::vector<std::string> baseEnvironment() {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (entry.rfind("XDG_", 0) != 0 && entry.rfind("VANTREL_", 0) != 0)
                env.push_back(entry);
        }
        return env;
    }

private:
    int port_ = 0;
    bool ready_ = false;
    std::filesystem::path output_;
    std::unique_ptr<ChildProcess> process_;
};

class ProgramWorld {
public:
    ProgramWorld() {
        const std::filesystem::path dist = VANTREL_DIST_DIR;
        std::filesystem::create_directories(program);
        std::filesystem::copy(dist / "docs", program / "docs", std::filesystem::copy_options::recursive);
        std::filesystem::copy(dist / "input", program / "input", std::filesystem::copy_options::recursive);
        std::filesystem::create_directories(config);
        std::filesystem::create_directories(local);
    }

    // The simulator's packages folder with its Community folder, named in the UserCfg.opt of the Microsoft
    // Store version of MSFS 2020, as the simulator itself writes it.
    void installSimulator() {
        std::filesystem::create_directories(community);
        const auto userCfg =
            local / "Packages" / "Microsoft.FlightSimulator_8wekyb3d8bbwe" / "LocalCache" / "UserCfg.opt";
        std::filesystem::create_directories(userCfg.parent_path());
        writeFileText(userCfg, "Version 71\nInstalledPackagesPath \"" + packages.string() + "\"\n");
    }

    // The AI packages of the demo below the Community folder, liveries for the airlines and types of the
    // EHAM traffic.
    void installDemoPackages() {
        installSimulator();
        ChildProcess writer(VANTREL_LIVERY_FIXTURES, {"--demo", community.string()},
                            StandIn::baseEnvironment(), root.path(), root / "fixtures.txt");
        writer.exitCodeWithin(60s);
    }

    // The download server's folder: the stock stand files and a versions.json that offers nothing newer.
    std::filesystem::path downloadsFolder() {
        const std::filesystem::path downloads = root / "downloads";
        if (!std::filesystem::exists(downloads)) {
            std::filesystem::copy(std::filesystem::path(VANTREL_SOURCE_DIR) / "standins" / "downloads",
                                  downloads, std::filesystem::copy_options::recursive);
            writeFileText(downloads / "versions.json",
                          R"({"program": {"version": "12.0.0", "file": "program/Vantrel-12.0.0.zip"}})");
        }
        return downloads;
    }

    // A scenario file of the simulated simulator, written into the world.
    std::filesystem::path writeScenario(const std::string& name, const std::string& json) {
        const std::filesystem::path file = root / name;
        writeFileText(file, json);
        return file;
    }

    // parameters.xml before the first start.
    void writeParameters(const std::vector<std::pair<std::string, std::string>>& values) {
        std::string text = "<?xml version=\"1.0\"?>\n<root><parameters>";
        for (const auto& [name, value] : values)
            text += "<parameter name=\"" + name + "\" value=\"" + value + "\"/>";
        std::filesystem::create_directories(config / "Vantrel");
        writeFileText(config / "Vantrel" / "parameters.xml", text + "</parameters></root>\n");
    }

    std::vector<std::string> environment(const std::vector<std::string>& extra = {}) const {
        std::vector<std::string> env = StandIn::baseEnvironment();
        env.push_back("XDG_CONFIG_HOME=" + config.string());
        env.push_back("XDG_DATA_HOME=" + local.string());
        env.push_back("XDG_RUNTIME_DIR=" + root.path().string());
        env.push_back("VANTREL_WINDOW_PNG=" + (root / "window.png").string());
        // Nothing listens on the discard port: without a stand-in the program goes on offline at once.
        env.push_back("VANTREL_DOWNLOAD_URL=http://127.0.0.1:9");
        env.push_back("VANTREL_SERVICE_URL=http://127.0.0.1:9");
        for (const std::string& e : extra) {
            const std::string name = e.substr(0, e.find('=') + 1);
            std::erase_if(env, [&](const std::string& entry) { return entry.rfind(name, 0) == 0; });
            env.push_back(e);
        }
        return env;
    }

    std::unique_ptr<ChildProcess> startProgram(const std::vector<std::string>& extraEnvironment = {},
                                               std::vector<std::string> args = {}) const {
        return std::make_unique<ChildProcess>(VANTREL_EXECUTABLE, std::move(args),
                                              environment(extraEnvironment), program,
                                              root / "vantrel-output.txt");
    }

    std::string log() const { return readFileText(program / "Log.txt"); }
    bool waitForLog(const std::string& text, std::chrono::milliseconds limit) const {
        return waitUntil([&] { return log().find(text) != std::string::npos; }, limit);
    }
    std::string parameters() const { return readFileText(config / "Vantrel" / "parameters.xml"); }

    TempFolder root;
    std::filesystem::path program = root / "Vantrel";
    std::filesystem::path config = root / "config";
    std::filesystem::path local = root / "local";
    std::filesystem::path packages = root / "sim" / "Packages";
    std::filesystem::path community = packages / "Community";
};

} // namespace kvr::test
