#pragma once
// Log lines name paths as the platform writes them: a text with '/' becomes the same path with the
// platform's own separators ('\' on Windows, unchanged here).
#include <filesystem>
#include <string>

namespace kvr::test {

inline std::string nativeSeparators(const std::string& text) {
    return std::filesystem::path(text).make_preferred().string();
}

} // namespace kvr::test
