#include "refdata/downloads.h"
#include "core/file_util.h"

#include "core/log.h"
#include "core/native_path.h"
#include "core/temporary_files.h"
#include "refdata/downloads_internal.h"
#include "refdata/stream_decrypt.h"

#include <fmt/format.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace kvr {

namespace {

constexpr const char* defaultDownloadServer = "http://127.0.0.1:18767";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::size_t lf_writeToFile(char* data, std::size_t size, std::size_t count, void* file) {
    return std::fwrite(data, size, count, static_cast<std::FILE*>(file)) * size;
}

// Empty on success, else the cause.
std::string lf_transfer(CURL* curl, const std::string& url, const std::filesystem::path& partial,
                        const DownloadLimits& limits) {
    std::unique_ptr<std::FILE, FileCloser> file(gf_openCFile(partial, "wb"));
    if (!file)
        return fmt::format("cannot write {}", gf_pathToUtf8(partial));
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
    const CURLcode result = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
    if (result != CURLE_OK) {
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        if (result == CURLE_HTTP_RETURNED_ERROR && status != 0)
            return fmt::format("HTTP status {}", status);
        return errorText[0] != '\0' ? std::string(errorText) : std::string(curl_easy_strerror(result));
    }
    if (std::fclose(file.release()) != 0)
        return fmt::format("cannot write {}", gf_pathToUtf8(partial));
    return {};
}

} // namespace

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
    const std::filesystem::path partial = gf_temporaryPathBeside(localPath, TemporaryKind::download);
    std::string error;
    try {
        error = lf_transfer(curl, url, partial, limits);
        if (error.empty()) {
            std::error_code ec;
            std::filesystem::rename(partial, localPath, ec);
            if (ec)
                error = fmt::format("cannot rename {} to {}: {}", gf_pathToUtf8(partial),
                                    gf_pathToUtf8(localPath), ec.message());
        }
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (error.empty())
        return true;
    gf_removeFileWarn(partial);
    gf_logError(fmt::format("gf_downloadFile: {} failed: {}", url, error));
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
