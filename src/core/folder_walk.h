#pragma once
// The walk both package scans make through a folder tree. Users link AI and scenery packages into
// Community (symbolic links, on Windows also junctions, as add-on linkers make them) and the simulator
// loads them, so a linked folder is walked like a real one, and each folder once however many links lead
// to it (WalkedFolders).
#include "core/walked_folders.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace kvr {

// A folder, or a link to one: what the walk descends into.
bool gf_isFolderOrLinkToOne(const std::filesystem::directory_entry& entry);

struct WalkedEntry {
    std::filesystem::directory_entry entry;
    bool folder = false; // gf_isFolderOrLinkToOne
};

// Depth first, in the order the file system lists each folder. Unlike the standard recursive iterator it
// does not end at the first folder that cannot be listed: that folder is passed over and the walk goes on.
class FolderWalk {
public:
    explicit FolderWalk(const std::filesystem::path& root);

    // The next entry; the folder returned before is descended into first unless keepOut was called.
    std::optional<WalkedEntry> next();
    void keepOut() { pendingFolder_.reset(); }

private:
    void open(const std::filesystem::path& folder);

    std::vector<std::filesystem::directory_iterator> folders_;
    std::optional<std::filesystem::path> pendingFolder_;
    WalkedFolders walked_;
};

} // namespace kvr
