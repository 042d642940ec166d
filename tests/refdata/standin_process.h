#pragma once
// Runs the vantrel-standin executable as a child process on a free loopback port.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace kvr::test {

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

class StandinProcess {
public:
    // Serves the folder under /downloads/. Another process may take the port between asking and binding;
    // then the stand-in ends at once and the next port is tried.
    explicit StandinProcess(const std::filesystem::path& downloads) {
        for (int attempt = 0; attempt < 5 && pid_ <= 0; ++attempt)
            start(downloads, freeLoopbackPort());
    }
    ~StandinProcess() { stop(); }
    StandinProcess(const StandinProcess&) = delete;
    StandinProcess& operator=(const StandinProcess&) = delete;

    bool running() const { return pid_ > 0; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }

    void stop() {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        ::close(output_);
        output_ = -1;
    }

private:
    void start(const std::filesystem::path& downloads, int port) {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0)
            return;
        const std::string portText = std::to_string(port);
        const pid_t child = ::fork();
        if (child == 0) {
            ::dup2(pipeEnds[1], STDOUT_FILENO);
            ::close(pipeEnds[0]);
            ::close(pipeEnds[1]);
            ::execl(VANTREL_STANDIN_PATH, VANTREL_STANDIN_PATH, "--port", portText.c_str(), "--downloads",
                    downloads.c_str(), "--quiet", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(pipeEnds[1]);
        if (child < 0) {
            ::close(pipeEnds[0]);
            return;
        }
        // Ready once it says it listens; an early end of its output means it could not start.
        std::string output;
        pollfd reader{pipeEnds[0], POLLIN, 0};
        while (output.find("listening") == std::string::npos && ::poll(&reader, 1, 10000) > 0) {
            char buffer[256];
            const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
            if (got <= 0)
                break;
            output.append(buffer, static_cast<std::size_t>(got));
        }
        if (output.find("listening") == std::string::npos) {
            ::kill(child, SIGTERM);
            ::waitpid(child, nullptr, 0);
            ::close(pipeEnds[0]);
            return;
        }
        // The read end stays open while the child runs, so that its last line does not hit a closed pipe.
        pid_ = child;
        port_ = port;
        output_ = pipeEnds[0];
    }

    pid_t pid_ = -1;
    int port_ = 0;
    int output_ = -1;
};

} // namespace kvr::test
