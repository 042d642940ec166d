#pragma once
// Large generated livery trees for the scan's benchmark and its determinism checks.
#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace kvr::fixtures {

struct BulkTreeOptions {
    std::size_t files = 5000;
    std::size_t sectionsPerFile = 4;
    std::uint32_t seed = 1;
    // A texture folder with a texture.cfg per section, as real packages have; the walk must pass them.
    bool textureFolders = false;
};

struct BulkTreeSummary {
    std::size_t files = 0;
    std::size_t sections = 0;
    std::uintmax_t cfgBytes = 0; // the bytes of all aircraft.cfg files together
};

// Writes one package, root/bulk-aitraffic, whose aircraft.cfg files cycle through every text encoding
// and both line ends and carry airlines and types of the reference data. Every 97th file repeats a
// title of the file before it, so that which section keeps a title is decided between files.
BulkTreeSummary writeBulkTree(const std::filesystem::path& root, const BulkTreeOptions& options);

} // namespace kvr::fixtures
