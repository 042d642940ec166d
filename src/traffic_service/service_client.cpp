#include "traffic_service/service_client.h"

#include "core/exit_request.h"

#include <curl/curl.h>

#include <cstdlib>
#include <mutex>
#include <stdexcept>

namespace kvr {

namespace {

void lf_initCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t lf_appendBody(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

int lf_progress(void* client, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const ServiceClient*>(client)->stopped() ? 1 : 0;
}

std::string lf_percentEncode(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
            c == '_' || c == '.' || c == '~') {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 0x0F]);
        }
    }
    return out;
}

} // namespace

ServiceTimings& gf_serviceTimings() {
    static ServiceTimings timings;
    return timings;
}

std::string gf_serviceBaseUrl() {
    const char* fromEnvironment = std::getenv("VANTREL_SERVICE_URL");
    std::string url =
        (fromEnvironment != nullptr && *fromEnvironment != '\0') ? fromEnvironment : "http://127.0.0.1:18767";
    while (!url.empty() && url.back() == '/')
        url.pop_back();
    return url;
}

std::string gf_encodeForm(const FormFields& fields) {
    std::string out;
    for (const auto& [key, value] : fields) {
        if (!out.empty())
            out.push_back('&');
        out += lf_percentEncode(key);
        out.push_back('=');
        out += lf_percentEncode(value);
    }
    return out;
}

void ServiceClient::CurlCleanup::operator()(CURL* handle) const {
    curl_easy_cleanup(handle);
}

ServiceClient::ServiceClient(const std::atomic<bool>* stopFlag, StopScope scope, std::string baseUrl)
    : stopFlag_(stopFlag), scope_(scope), baseUrl_(std::move(baseUrl)) {
    lf_initCurlOnce();
    handle_.reset(curl_easy_init());
    if (!handle_)
        throw std::runtime_error("curl_easy_init failed");
}

bool ServiceClient::stopped() const {
    if (stopFlag_ != nullptr && stopFlag_->load())
        return true;
    switch (scope_) {
    case StopScope::flagAndGlobal:
        return stopRequested.load();
    case StopScope::flagOnly:
        return false;
    case StopScope::flagAndCloseAfterGrace:
        return userClosed.load() &&
               std::chrono::steady_clock::now() - transferStart_ >= gf_serviceTimings().closeGrace;
    }
    return false;
}

HttpReply ServiceClient::post(std::string_view path, const FormFields& fields) {
    HttpReply reply;
    CURL* curl = handle_.get();
    const std::string url = baseUrl_ + std::string(path);
    const std::string form = gf_encodeForm(fields);
    const auto& timings = gf_serviceTimings();
    char errorBuffer[CURL_ERROR_SIZE] = {};

    curl_easy_reset(curl);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, form.c_str());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(form.size()));
    // gzip and deflate only, on every platform: a service may compress a reply in brotli at its highest
    // quality, which for a busy sky's buffered reply (a megabyte and more) takes longer than the request
    // may wait.
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timings.requestTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timings.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, lf_appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, lf_progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);

    transferStart_ = std::chrono::steady_clock::now();
    const CURLcode result = curl_easy_perform(curl);
    if (result == CURLE_ABORTED_BY_CALLBACK) {
        reply.aborted = true;
        reply.error = "aborted";
        return reply;
    }
    if (result != CURLE_OK) {
        reply.error = errorBuffer[0] != '\0' ? errorBuffer : curl_easy_strerror(result);
        return reply;
    }
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    return reply;
}

} // namespace kvr
