#pragma once
#include "refdata/downloads.h"

namespace kvr {

struct DownloadLimits {
    long connectSeconds;
    long totalSeconds;
    long stallSeconds; // abort when fewer than one byte a second arrives for this long
};

DownloadLimits lf_downloadLimits(DownloadMode mode);

// gf_downloadFile with explicit limits.
bool lf_downloadWithLimits(CURL* curl, const std::string& url, const std::filesystem::path& localPath,
                           const DownloadLimits& limits);

} // namespace kvr
