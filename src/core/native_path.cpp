#include "core/native_path.h"

#include "core/utf.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kvr {

std::FILE* gf_openCFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    return ::_wfopen(path.c_str(), utf8_to_wide(mode).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

bool gf_copyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                          std::error_code& ec) {
#ifdef _WIN32
    ec.clear();
    if (CopyFileW(from.c_str(), to.c_str(), FALSE))
        return true;
    ec.assign(static_cast<int>(GetLastError()), std::system_category());
    return false;
#else
    return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
#endif
}

std::string gf_pathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path gf_pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

} // namespace kvr
