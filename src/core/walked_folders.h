#pragma once
// The folders one scan walk has entered, known by what they are on disk rather than by the path that led
// there. Users link AI and scenery packages into Community (symbolic links, on Windows also junctions),
// and the simulator loads them, so the walks follow such links like real folders; a link that leads back
// to a folder walked before (a link loop, or a second link to the same package) is not entered again.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <unordered_set>

namespace kvr {

// The volume and the file index of a folder: equal for every path that leads to it.
struct FolderIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FolderIdentity&) const = default;
};

class WalkedFolders {
public:
    // True the first time the walk meets the folder (through whatever link), false after that. A folder
    // whose identity cannot be read counts as new: the walk's path-length limit still ends any loop.
    bool firstVisit(const std::filesystem::path& folder);

private:
    struct IdentityHash {
        std::size_t operator()(const FolderIdentity& id) const noexcept {
            return std::hash<std::uint64_t>{}(id.index * 31 + id.volume);
        }
    };
    std::unordered_set<FolderIdentity, IdentityHash> seen_;
};

} // namespace kvr
