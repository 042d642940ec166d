#pragma once
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace kvr {

// Whether a zip entry name stays inside the folder it is extracted to: not empty, not absolute ('/' or '\'
// first), no drive or stream colon, no ".." segment ('/' and '\' both separate segments).
bool gf_isSafeZipEntryName(std::string_view name);

struct ZipExtractResult {
    std::string error;     // empty on success
    std::size_t files = 0; // files written
};

// Extracts every entry of a zip archive into the folder, creating it and sub-folders as needed. All entry
// names are checked first: one unsafe name refuses the whole archive before anything is written.
ZipExtractResult gf_extractZip(const std::filesystem::path& zipFile, const std::filesystem::path& folder);

} // namespace kvr
