#pragma once
#include "parking/publisher_search.h"

#include <filesystem>
#include <optional>
#include <string>

namespace kvr {

struct PublisherInfo {
    std::string publisher; // canonical name, "simaddon", or empty when unknown
    std::string manufacturer;
    std::string creator;
};

// The publisher of a BGL file, from its path, the data base's publisher list and its package manifest.
PublisherInfo lf_findPublisher(const std::filesystem::path& path);
// The canonical name of the first publisher group with a name the text contains.
std::optional<std::string> lf_matchPublisher(const std::string& text);
// The first regular file manifest.json of the folder (not recursive); a folder that cannot be listed
// throws std::filesystem::filesystem_error.
std::optional<std::filesystem::path> lf_findManifestFile(const std::filesystem::path& folder);
// None for an empty file, a text that does not parse or a root that is not an object; a member that is
// not a string throws.
std::optional<ManifestInfo> lf_readManifestInfo(const std::filesystem::path& file);

} // namespace kvr
