#pragma once
#include "core/log.h"
#include "support/file_text.h"

#include <filesystem>
#include <string>

namespace kvr::test {

// Everything the log opened in the folder holds so far.
inline std::string loggedText(const std::filesystem::path& folder) {
    gf_flushLog();
    return readFileText(folder / "Log.txt");
}

} // namespace kvr::test
