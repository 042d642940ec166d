#pragma once
// Stand files: one XML format for stock, add-on, generated, handmade and learned stand files.
#include "parking/stand.h"

#include <filesystem>

namespace kvr {

enum class ApfWriteMode {
    learned = 0, // a learned file: the per-airport settings, what was learned per stand, the options
    full = 1,    // a full stand set as the airport scan generates it: every position, no options
};

// Writes the stand file of a record. simKind goes into the meta block (1 "2020", 2 "2024", 3 "v56").
// The file is written beside the target and renamed into place; missing folders are created.
// False when a node cannot be created or the file cannot be saved.
bool gf_writeApf(const ApfRecord& record, const std::filesystem::path& path, ApfWriteMode mode, int simKind);

} // namespace kvr
