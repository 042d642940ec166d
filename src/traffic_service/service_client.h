#pragma once
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

typedef void CURL;

namespace kvr {

// Waits and time-outs of the service client. The defaults are the program's; tests shorten them.
struct ServiceTimings {
    std::chrono::milliseconds trafficPoll{3000};
    std::chrono::milliseconds weatherRefresh{300000};
    std::chrono::milliseconds retryDelay{1000};
    std::chrono::milliseconds refusalDelay{10000}; // a refused login is shown this long before it is thrown
    std::chrono::milliseconds parkedWait{10000};
    std::chrono::milliseconds requestTimeout{15000};
    std::chrono::milliseconds connectTimeout{5000};
    std::chrono::milliseconds closeGrace{500}; // the logout's time to finish after the user's close
};
ServiceTimings& gf_serviceTimings();

// The service's base address: VANTREL_SERVICE_URL, else http://127.0.0.1:18767.
std::string gf_serviceBaseUrl();

using FormFields = std::vector<std::pair<std::string, std::string>>;

struct HttpReply {
    long status = 0; // HTTP status; 0 when no answer came
    std::string body;
    std::string error;    // transfer error text; empty when an answer came
    bool aborted = false; // stopped by the stop flag (or the global stop) while it ran
    bool answered() const { return error.empty() && !aborted; }
};

// Which stops abort a running transfer: the given flag and the global stop request; the flag alone; or
// the flag and the user's close once the transfer has run for the close grace (the logout at closing
// down runs after the global stop, and is still given its chance after a close).
enum class StopScope { flagAndGlobal, flagOnly, flagAndCloseAfterGrace };

// One libcurl easy handle for the form-encoded POSTs of one thread. A transfer is aborted within
// about a tenth of a second after a stop of its scope.
class ServiceClient {
public:
    explicit ServiceClient(const std::atomic<bool>* stopFlag, StopScope scope = StopScope::flagAndGlobal,
                           std::string baseUrl = gf_serviceBaseUrl());
    ServiceClient(const ServiceClient&) = delete;
    ServiceClient& operator=(const ServiceClient&) = delete;

    HttpReply post(std::string_view path, const FormFields& fields);
    bool stopped() const;

private:
    struct CurlCleanup {
        void operator()(CURL* handle) const;
    };
    std::unique_ptr<CURL, CurlCleanup> handle_;
    const std::atomic<bool>* stopFlag_;
    StopScope scope_;
    std::string baseUrl_;
    std::chrono::steady_clock::time_point transferStart_;
};

// "key=value&key=value" with every key and value percent-encoded.
std::string gf_encodeForm(const FormFields& fields);

} // namespace kvr
