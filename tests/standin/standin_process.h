#pragma once
// Runs vantrel-standin as a child process on a free loopback port for the duration of a test.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace kvr::test {

class StandinProcess {
public:
    explicit StandinProcess(std::vector<std::string> arguments) {
        std::random_device device;
        for (int attempt = 0; attempt < 20; ++attempt) {
            port_ = 20000 + static_cast<int>(device() % 40000);
            if (launch(arguments))
                return;
        }
        throw std::runtime_error("vantrel-standin did not start");
    }
    ~StandinProcess() { stop(); }
    StandinProcess(const StandinProcess&) = delete;
    StandinProcess& operator=(const StandinProcess&) = delete;

    int port() const { return port_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }

    // SIGTERM and wait; returns the exit status (or -1 when it was already gone).
    int stop() {
        if (pid_ <= 0)
            return -1;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    bool launch(const std::vector<std::string>& arguments) {
        std::vector<std::string> all{VANTREL_STANDIN_PATH, "--port", std::to_string(port_), "--quiet"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        pid_ = fork();
        if (pid_ == 0) {
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDOUT_FILENO);
            std::vector<char*> argv;
            for (auto& a : all)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return false; // the port was taken, or the arguments were refused
            }
            if (connectable())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        stop();
        return false;
    }

    bool connectable() const {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port_));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        return ok;
    }

    int port_ = 0;
    pid_t pid_ = -1;
};

} // namespace kvr::test
