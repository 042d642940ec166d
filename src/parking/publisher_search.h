#pragma once
// Who made an add-on airport: the package manifest and the containment test the publisher search uses.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kvr {

// The members "manufacturer", "creator" and "title" of a package's manifest.json (empty when missing).
struct ManifestInfo {
    std::string manufacturer;
    std::string creator;
    std::string title;
};

// Whether the text contains the word, ASCII letters compared without case. An empty word is contained
// in every text.
bool gf_containsNoCase(std::string_view text, std::string_view word);

// The manifest of the package that holds a file below a folder named Community (any case): the folder
// right after it. None without such a folder, a manifest, or a manifest that reads as a JSON object.
// Every finding goes to the scan messages; nothing is thrown.
std::optional<ManifestInfo> gf_searchManifest(const std::filesystem::path& path);

} // namespace kvr
