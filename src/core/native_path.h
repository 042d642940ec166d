#pragma once
// Paths at the boundary to the C library and to libraries that take `char` names. Inside, the program
// keeps text as UTF-8; std::filesystem::path is UTF-16 on Windows, where path.c_str() is `wchar_t` and a
// narrow name would be read in the ANSI code page, losing letters outside it.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace kvr {

// std::fopen for any path: _wfopen on Windows. Null when the file cannot be opened.
std::FILE* gf_openCFile(const std::filesystem::path& path, const char* mode);

// std::filesystem::copy_file with overwrite_existing, which libstdc++ on Windows refuses whenever the target
// exists: Windows' stat gives no inode numbers, so it takes any two files for the same one.
bool gf_copyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                          std::error_code& ec);

// The path as UTF-8 (libzip takes UTF-8 names on Windows too), and back.
std::string gf_pathToUtf8(const std::filesystem::path& path);
std::filesystem::path gf_pathFromUtf8(std::string_view utf8);

} // namespace kvr
