#pragma once
#include <curl/curl.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kvr {

struct CurlHandleCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlHandle = std::unique_ptr<CURL, CurlHandleCleanup>;

// A new libcurl easy handle (libcurl's global set-up is done once, on the first call); null when libcurl
// cannot make one.
CurlHandle gf_newCurlHandle();

// How long a download may take: small files (versions.json, stand files) must come quickly, packages and
// installers may take long as long as bytes keep coming.
enum class DownloadMode { smallFile, package };

// Downloads a URL into a file. Follows redirects, fails on HTTP errors, bounds the connect and the total
// time. The bytes go to a temporary file beside the target, which is renamed into place only when the
// transfer is complete; on failure the target keeps what it held and the error is logged
// ("gf_downloadFile: ..."). The stop request (close box, new settings) ends a transfer within a second,
// and none starts while it is set: false, logged as "gf_downloadFile: <url> stopped".
bool gf_downloadFile(CURL* curl, const std::string& url, const std::filesystem::path& localPath,
                     DownloadMode mode = DownloadMode::smallFile);

// Work the installing thread must go on with while it waits for its downloads (the session keeps the live
// traffic moving while a stand file comes): for as long as the guard lives, each download on that thread
// runs beside it, and the work is called about every 10 ms until the transfer ends. Downloads on other
// threads do not see it. What the work throws ends the transfer and is thrown on by gf_downloadFile.
class ScopedDownloadWaitWork {
public:
    explicit ScopedDownloadWaitWork(std::function<void()> work);
    ~ScopedDownloadWaitWork();
    ScopedDownloadWaitWork(const ScopedDownloadWaitWork&) = delete;
    ScopedDownloadWaitWork& operator=(const ScopedDownloadWaitWork&) = delete;

private:
    std::function<void()> work_;
    const std::function<void()>* previous_;
};

// The download server's address: VANTREL_DOWNLOAD_URL, default http://127.0.0.1:18767, without a
// trailing '/'.
std::string gf_downloadServerUrl();

// The URL of a path below the server's download folder: <server>/downloads/<relativePath>.
std::string gf_downloadUrl(std::string_view relativePath);

} // namespace kvr
