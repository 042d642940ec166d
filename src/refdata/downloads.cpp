#include "refdata/downloads.h"

#include "core/exit_request.h"
#include "core/file_util.h"
#include "core/log.h"
#include "core/native_path.h"
#include "core/temporary_files.h"
#include "refdata/downloads_internal.h"

#include <fmt/format.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <future>
#include <system_error>

namespace kvr {

namespace {

constexpr const char* defaultDownloadServer = "http://127.0.0.1:18767";
// How often the thread that waits for a transfer does its own work meanwhile.
constexpr auto waitWorkInterval = std::chrono::milliseconds(10);

// The work installed on this thread by ScopedDownloadWaitWork; none on any other thread.
thread_local const std::function<void()>* waitWork = nullptr;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct TransferResult {
    bool stopped = false; // ended by the stop request, not by the server; no error then
    std::string error;    // empty on success
};

std::size_t lf_writeToFile(char* data, std::size_t size, std::size_t count, void* file) {
    return std::fwrite(data, size, count, static_cast<std::FILE*>(file)) * size;
}

// libcurl calls it many times a second while bytes flow and about once a second while none do, so a
// transfer ends within a second of the close box or of its waiter giving it up.
int lf_abortWhenStopped(void* abandoned, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return gf_stopping() || static_cast<const std::atomic<bool>*>(abandoned)->load() ? 1 : 0;
}

// The partial file goes on every way out that did not rename it into place.
class PartialFile {
public:
    explicit PartialFile(std::filesystem::path path) : path_(std::move(path)) {}
    ~PartialFile() {
        std::error_code ec;
        if (std::filesystem::exists(path_, ec))
            gf_removeFileWarn(path_);
    }
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

TransferResult lf_transfer(CURL* curl, const std::string& url, const std::filesystem::path& partial,
                           const DownloadLimits& limits, std::atomic<bool>& abandoned) {
    std::unique_ptr<std::FILE, FileCloser> file(gf_openCFile(partial, "wb"));
    if (!file)
        return {false, fmt::format("cannot write {}", gf_pathToUtf8(partial))};
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_reset(curl);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, limits.totalSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, lf_writeToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, file.get());
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, lf_abortWhenStopped);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &abandoned);
    const CURLcode result = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, nullptr);
    if (result == CURLE_ABORTED_BY_CALLBACK)
        return {.stopped = true};
    if (result != CURLE_OK) {
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        if (result == CURLE_HTTP_RETURNED_ERROR && status != 0)
            return {false, fmt::format("HTTP status {}", status)};
        return {false,
                errorText[0] != '\0' ? std::string(errorText) : std::string(curl_easy_strerror(result))};
    }
    if (std::fclose(file.release()) != 0)
        return {false, fmt::format("cannot write {}", gf_pathToUtf8(partial))};
    return {};
}

// The transfer with its own failures as an error text.
TransferResult lf_guardedTransfer(CURL* curl, const std::string& url, const std::filesystem::path& partial,
                                  const DownloadLimits& limits, std::atomic<bool>& abandoned) {
    try {
        return lf_transfer(curl, url, partial, limits, abandoned);
    } catch (const std::exception& e) {
        return {false, e.what()};
    }
}

// With wait work installed on this thread the transfer runs beside it, and the work is done every 10 ms
// until the transfer ends. What the work throws is thrown on once the transfer has been given up.
TransferResult lf_transferBesideWaitWork(CURL* curl, const std::string& url,
                                         const std::filesystem::path& partial, const DownloadLimits& limits) {
    std::atomic<bool> abandoned{false};
    if (waitWork == nullptr)
        return lf_guardedTransfer(curl, url, partial, limits, abandoned);
    std::future<TransferResult> transfer;
    try {
        transfer = std::async(std::launch::async,
                              [&] { return lf_guardedTransfer(curl, url, partial, limits, abandoned); });
    } catch (const std::system_error&) {
        // No thread to spare: the transfer runs here, and the work waits for it as it did before.
        return lf_guardedTransfer(curl, url, partial, limits, abandoned);
    }
    try {
        while (transfer.wait_for(waitWorkInterval) != std::future_status::ready)
            (*waitWork)();
    } catch (...) {
        abandoned = true;
        transfer.wait();
        throw;
    }
    return transfer.get();
}

} // namespace

ScopedDownloadWaitWork::ScopedDownloadWaitWork(std::function<void()> work)
    : work_(std::move(work)), previous_(waitWork) {
    waitWork = &work_;
}

ScopedDownloadWaitWork::~ScopedDownloadWaitWork() {
    waitWork = previous_;
}

CurlHandle gf_newCurlHandle() {
    static const CURLcode globalInit = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (globalInit != CURLE_OK)
        return nullptr;
    return CurlHandle(curl_easy_init());
}

DownloadLimits lf_downloadLimits(DownloadMode mode) {
    switch (mode) {
    case DownloadMode::package:
        return {10, 1800, 60};
    case DownloadMode::smallFile:
        break;
    }
    return {10, 60, 30};
}

bool lf_downloadWithLimits(CURL* curl, const std::string& url, const std::filesystem::path& localPath,
                           const DownloadLimits& limits) {
    if (curl == nullptr) {
        gf_logError(fmt::format("gf_downloadFile: no connection handle for {}", url));
        return false;
    }
    const PartialFile partial(gf_temporaryPathBeside(localPath, TemporaryKind::download));
    TransferResult transfer = gf_stopping() ? TransferResult{.stopped = true}
                                            : lf_transferBesideWaitWork(curl, url, partial.path(), limits);
    // A transfer given up for the close box is no failure of the server.
    if (transfer.stopped) {
        gf_logLine(fmt::format("gf_downloadFile: {} stopped", url));
        return false;
    }
    if (transfer.error.empty()) {
        std::error_code ec;
        std::filesystem::rename(partial.path(), localPath, ec);
        if (!ec)
            return true;
        transfer.error = fmt::format("cannot rename {} to {}: {}", gf_pathToUtf8(partial.path()),
                                     gf_pathToUtf8(localPath), ec.message());
    }
    gf_logError(fmt::format("gf_downloadFile: {} failed: {}", url, transfer.error));
    return false;
}

bool gf_downloadFile(CURL* curl, const std::string& url, const std::filesystem::path& localPath,
                     DownloadMode mode) {
    return lf_downloadWithLimits(curl, url, localPath, lf_downloadLimits(mode));
}

std::string gf_downloadServerUrl() {
    const char* fromEnvironment = std::getenv("VANTREL_DOWNLOAD_URL");
    std::string url =
        fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment : defaultDownloadServer;
    while (!url.empty() && url.back() == '/')
        url.pop_back();
    return url;
}

std::string gf_downloadUrl(std::string_view relativePath) {
    while (!relativePath.empty() && relativePath.front() == '/')
        relativePath.remove_prefix(1);
    return gf_downloadServerUrl() + "/downloads/" + std::string(relativePath);
}

} // namespace kvr
