#pragma once
// Runs the vantrel-standin executable (VANTREL_STANDIN_PATH) as a child process on a free loopback port for
// the life of the object; SIGTERM ends it.
#ifdef _WIN32
#include "support/standin_process_windows.h"
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

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
    // The arguments follow --port and --quiet. Another process may take the port between asking and
    // binding; then the stand-in ends at once and the next port is tried. Throws when it never starts,
    // which is also what arguments it refuses lead to.
    explicit StandinProcess(const std::vector<std::string>& arguments) {
        for (int attempt = 0; attempt < 5 && pid_ <= 0; ++attempt)
            start(arguments, freeLoopbackPort());
        if (pid_ <= 0)
            throw std::runtime_error("vantrel-standin did not start");
    }
    ~StandinProcess() { stop(); }
    StandinProcess(const StandinProcess&) = delete;
    StandinProcess& operator=(const StandinProcess&) = delete;

    bool running() const { return pid_ > 0; }
    int port() const { return port_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }

    // SIGTERM and wait; the exit status, or -1 when it was already gone or did not exit normally.
    int stop() {
        if (pid_ <= 0)
            return -1;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        ::close(output_);
        output_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    void start(const std::vector<std::string>& arguments, int port) {
        std::vector<std::string> all{VANTREL_STANDIN_PATH, "--port", std::to_string(port), "--quiet"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        // Built before the fork: the child of a threaded process may only exec.
        std::vector<char*> argv;
        for (std::string& argument : all)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0)
            return;
        const pid_t child = ::fork();
        if (child == 0) {
            ::dup2(pipeEnds[1], STDOUT_FILENO);
            ::close(pipeEnds[0]);
            ::close(pipeEnds[1]);
            ::execv(argv[0], argv.data());
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
#endif
