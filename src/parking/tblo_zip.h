#pragma once
// The tblo folder: generated stand files of third-party airports that the archive does not cover yet,
// gathered by the airport scan and zipped into tblo/tblo.zip for the user to mail to the maker's support.
// The main window's "tblo" button opens tbloZipFile with the shell; the button and the reminder beside
// it follow tbloCount (airport_scan.h).
#include <filesystem>

namespace kvr {

extern const std::filesystem::path tbloDir;     // tblo
extern const std::filesystem::path tbloZipFile; // tblo/tblo.zip

// Where the reminder asks the user to mail tblo.zip.
inline constexpr const char* tbloMailAddress = "support@vantrel.org";

// Zips every regular file of the tblo folder (not its sub-folders, not the target itself) into the target,
// replacing an older zip. Every step is logged; true when the zip was written and is not empty.
// Throws std::filesystem::filesystem_error when the folder's status cannot be read.
bool gf_zipFolder(const std::filesystem::path& target);

} // namespace kvr
