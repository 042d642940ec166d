#pragma once
// StandinProcess on Windows, where the tests run under Wine and vantrel-standin is still the Linux program:
// a Windows process cannot start and stop it there, so tests/support/standin_launcher.py, which
// scripts/test-windows runs beside the tests, does it on request over loopback. VANTREL_STANDIN_LAUNCHER
// names its port. Same interface and behaviour as the POSIX StandinProcess.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace kvr::test {

inline void ensureWinsock() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started)
        throw std::runtime_error("Winsock did not start");
}

inline sockaddr_in loopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    return address;
}

// A port nobody listens on at the moment of asking.
inline int freeLoopbackPort() {
    ensureWinsock();
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopbackAddress(0);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::closesocket(s);
    return ntohs(address.sin_port);
}

class StandinProcess {
public:
    // The arguments follow --port and --quiet. Throws when it never starts, which is also what arguments
    // it refuses lead to.
    explicit StandinProcess(const std::vector<std::string>& arguments) {
        ensureWinsock();
        const char* launcher = std::getenv("VANTREL_STANDIN_LAUNCHER");
        if (!launcher || !*launcher)
            throw std::runtime_error("VANTREL_STANDIN_LAUNCHER is not set (scripts/test-windows sets it)");
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = loopbackAddress(std::atoi(launcher));
        const DWORD timeoutMs = 30000;
        ::setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
                     sizeof timeoutMs);
        if (::connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close();
            throw std::runtime_error("the vantrel-standin launcher does not answer");
        }
        std::string request = "START";
        for (const std::string& argument : arguments)
            request += "\t" + argument;
        send(request + "\n");
        const std::string reply = readLine();
        if (reply.rfind("OK ", 0) != 0) {
            close();
            throw std::runtime_error("vantrel-standin did not start");
        }
        port_ = std::atoi(reply.c_str() + 3);
    }
    ~StandinProcess() { stop(); }
    StandinProcess(const StandinProcess&) = delete;
    StandinProcess& operator=(const StandinProcess&) = delete;

    bool running() const { return socket_ != INVALID_SOCKET; }
    int port() const { return port_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }

    // Ended (SIGTERM) and waited for; the exit status, or -1 when it was already gone or did not exit
    // normally.
    int stop() {
        if (!running())
            return -1;
        send("STOP\n");
        const std::string reply = readLine();
        close();
        return reply.rfind("EXIT ", 0) == 0 ? std::atoi(reply.c_str() + 5) : -1;
    }

private:
    void send(const std::string& text) { ::send(socket_, text.data(), static_cast<int>(text.size()), 0); }
    std::string readLine() {
        std::string line;
        char c = 0;
        while (::recv(socket_, &c, 1, 0) == 1 && c != '\n')
            line += c;
        return line;
    }
    void close() {
        ::closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }

    SOCKET socket_ = INVALID_SOCKET;
    int port_ = 0;
};

} // namespace kvr::test
