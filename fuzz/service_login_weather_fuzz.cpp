// Replies of the live-traffic service's login and weather endpoints, through the real client: a server on
// loopback answers /v4/auth, /v4/nearestmetar and /v4/weather with the fuzzed bytes, the login runs once
// and the Weather Reader runs one refresh.
#include "core/exit_request.h"
#include "fuzz_support.h"
#include "traffic_service/readers.h"
#include "traffic_service/report_parser.h"
#include "traffic_service/service_client.h"

#include <fmt/format.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

using namespace kvr;

// Serves the current input as the body of every reply. The second station query means the reader has
// finished one refresh: it is answered with the reader's stop already set.
class ReplyServer {
public:
    ReplyServer() {
        const auto reply = [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(body(), "application/json");
        };
        server_.Post("/v4/auth", reply);
        server_.Post("/v4/weather", reply);
        server_.Post("/v4/nearestmetar",
                     [this, reply](const httplib::Request& request, httplib::Response& response) {
                         if (++stationQueries_ > 1)
                             weatherReader.stopFlag.store(true);
                         reply(request, response);
                     });
        const int port = server_.bind_to_any_port("127.0.0.1");
        if (port <= 0)
            fuzz::failCheck("a loopback port for the reply server", __FILE__, __LINE__);
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        setenv("VANTREL_SERVICE_URL", fmt::format("http://127.0.0.1:{}", port).c_str(), 1);
    }
    ~ReplyServer() {
        server_.stop();
        thread_.join();
    }
    ReplyServer(const ReplyServer&) = delete;
    ReplyServer& operator=(const ReplyServer&) = delete;

    void serve(std::string_view body) {
        std::lock_guard lock(mutex_);
        body_ = body;
        stationQueries_ = 0;
    }

private:
    std::string body() {
        std::lock_guard lock(mutex_);
        return body_;
    }

    httplib::Server server_;
    std::thread thread_;
    std::mutex mutex_;
    std::string body_;
    std::atomic<int> stationQueries_{0};
};

std::optional<std::string> textField(const nlohmann::json& reply, const char* name) {
    if (!reply.is_object())
        return std::nullopt;
    const auto field = reply.find(name);
    if (field == reply.end() || !field->is_string())
        return std::nullopt;
    return field->get<std::string>();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ReplyServer server;
    [[maybe_unused]] static const bool ready = [] {
        auto& timings = gf_serviceTimings();
        timings.retryDelay = std::chrono::milliseconds(0);
        timings.weatherRefresh = std::chrono::milliseconds(0);
        timings.requestTimeout = std::chrono::seconds(10);
        return true;
    }();
    const std::string_view body = fuzz::asText(data, size);
    server.serve(body);
    const nlohmann::json reply = nlohmann::json::parse(body, nullptr, false);

    gf_resetStopState();
    gf_resetReaders();
    gf_authenticater();
    const auto guid = textField(reply, "guid");
    if (guid && !guid->empty()) {
        FUZZ_CHECK(weatherReader.guid() == *guid && trafficReader.guid() == *guid);
        FUZZ_CHECK(!stopRequested.load());
    } else {
        FUZZ_CHECK(!weatherReader.hasGuid() && !trafficReader.hasGuid());
        FUZZ_CHECK(exitReason.load() == ExitReason::readerError);
    }

    gf_resetStopState();
    trafficReader.setReferencePosition(52.3086, 4.7639);
    trafficReader.updateBox(40);
    std::thread([] { weatherReader.run(); }).join();
    const int qnh = weatherReader.qnh.load();
    FUZZ_CHECK(qnh >= minimumQnh && qnh <= maximumQnh);
    if (weatherReader.weatherOk.load()) {
        FUZZ_CHECK(textField(reply, "station").value_or("") == weatherReader.station());
        FUZZ_CHECK(qnh == std::lround(reply.at("qnh").get<double>()));
    }
    return 0;
}
