#include "refdata/downloads.h"

#include "refdata/downloads_internal.h"
#include "refdata_fixtures.h"

#include <httplib.h>

#ifdef _WIN32
// Winsock comes with httplib.h.
constexpr int SHUT_RDWR = SD_BOTH;
constexpr int MSG_NOSIGNAL = 0;
inline int closeSocket(SOCKET s) {
    return ::closesocket(s);
}
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

inline int closeSocket(int s) {
    return ::close(s);
}
#endif

#include <cstdlib>
#include <thread>

namespace kvr {
namespace {

using test::readFileText;
using test::WorkingFolder;
using test::writeFileText;

// A small HTTP server on a free loopback port, for the cases the stand-in has no route for.
class LocalServer {
public:
    LocalServer() {
        server_.Get("/file.txt", [](const httplib::Request&, httplib::Response& r) {
            r.set_content("the whole file", "text/plain");
        });
        server_.Get("/moved",
                    [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/file.txt"); });
        server_.Get("/loop", [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/loop"); });
        server_.set_keep_alive_max_count(1); // so that stopping never waits for an idle connection
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        for (int i = 0; i < 500 && !server_.is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ~LocalServer() {
        server_.stop();
        thread_.join();
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

// A raw listening socket: it either says nothing at all, or promises more bytes than it sends.
class RawServer {
public:
    explicit RawServer(bool shortBody) {
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(socket_, 4);
        socklen_t length = sizeof address;
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        if (shortBody)
            thread_ = std::thread([this] { answerShort(); });
    }
    ~RawServer() {
        ::shutdown(socket_, SHUT_RDWR);
        closeSocket(socket_);
        if (thread_.joinable())
            thread_.join();
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/file"; }

private:
    void answerShort() {
        const int client = ::accept(socket_, nullptr, nullptr);
        if (client < 0)
            return;
        char request[4096];
        [[maybe_unused]] const auto got = ::recv(client, request, sizeof request, 0);
        const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nonly a part";
        [[maybe_unused]] const auto sent = ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
        closeSocket(client);
    }
    int socket_ = -1;
    int port_ = 0;
    std::thread thread_;
};

bool onlyTargetIn(const std::filesystem::path& folder, const std::string& name) {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename() != name && entry.path().filename() != "Log.txt" &&
            entry.path().filename() != "input")
            return false;
    return true;
}

class DownloadTest : public ::testing::Test {
protected:
    bool download(const std::string& url, const DownloadLimits& limits = {5, 10, 5}) {
        return lf_downloadWithLimits(curl.get(), url, work / "target.txt", limits);
    }
    WorkingFolder work;
    CurlHandle curl = gf_newCurlHandle();
};

TEST_F(DownloadTest, CompleteTransfersArriveAndRedirectsAreFollowed) {
    LocalServer server;
    ASSERT_TRUE(curl);
    writeFileText(work / "target.txt", "old");
    EXPECT_TRUE(gf_downloadFile(curl.get(), server.url("/file.txt"), work / "target.txt"));
    EXPECT_EQ(readFileText(work / "target.txt"), "the whole file");
    std::filesystem::remove(work / "target.txt");
    EXPECT_TRUE(download(server.url("/moved")));
    EXPECT_EQ(readFileText(work / "target.txt"), "the whole file");
    EXPECT_TRUE(onlyTargetIn(work.path(), "target.txt"));
}

// Whatever goes wrong, the target keeps what it held, no partial file stays, and the log says why.
TEST_F(DownloadTest, FailuresKeepTheOldFileAndLeaveNothingBehind) {
    LocalServer server;
    RawServer silent(false);
    RawServer cut(true);
    const struct {
        std::string name;
        std::string url;
        std::string cause;
    } cases[] = {
        {"not found", server.url("/missing"), "HTTP status 404"},
        {"redirect loop", server.url("/loop"), "Maximum (5) redirects followed"},
        {"short body", cut.url(), "transfer closed with 989 bytes remaining"},
        {"no answer", silent.url(), "Operation timed out"},
        {"not http", "file:///etc/hostname", "Protocol"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileText(work / "target.txt", "old");
        EXPECT_FALSE(download(c.url, {2, 2, 10}));
        EXPECT_EQ(readFileText(work / "target.txt"), "old");
        EXPECT_TRUE(onlyTargetIn(work.path(), "target.txt"));
        const std::string log = work.log();
        EXPECT_NE(log.find("==> gf_downloadFile: " + c.url + " failed: "), std::string::npos) << log;
        EXPECT_NE(log.find(c.cause), std::string::npos) << log;
    }
}

TEST_F(DownloadTest, ServerAddressComesFromTheEnvironment) {
    unsetenv("VANTREL_DOWNLOAD_URL");
    EXPECT_EQ(gf_downloadServerUrl(), "http://127.0.0.1:18767");
    setenv("VANTREL_DOWNLOAD_URL", "http://127.0.0.1:1234//", 1);
    EXPECT_EQ(gf_downloadServerUrl(), "http://127.0.0.1:1234");
    EXPECT_EQ(gf_downloadUrl("/MSFS/archive/stock/EHAM.xml"),
              "http://127.0.0.1:1234/downloads/MSFS/archive/stock/EHAM.xml");
    unsetenv("VANTREL_DOWNLOAD_URL");
}

} // namespace
} // namespace kvr
