#pragma once
// The floor of a scan benchmark: reading the same files' bytes and nothing else, so a scan's figure can be
// read as a multiple of what the disk and the page cache cost.
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <vector>

namespace kvr::bench {

inline std::size_t readEveryByte(const std::vector<std::filesystem::path>& files) {
    std::vector<char> buffer(1 << 16);
    std::size_t total = 0;
    for (const std::filesystem::path& path : files) {
        std::ifstream file(path, std::ios::binary);
        while (file) {
            file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            total += static_cast<std::size_t>(file.gcount());
        }
    }
    return total;
}

} // namespace kvr::bench
