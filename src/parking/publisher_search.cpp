#include "parking/publisher_search.h"

#include "core/file_util.h"
#include "core/native_path.h"
#include "parking/airport_scan.h"
#include "parking/airport_scan_internal.h"
#include "parking/publisher_search_internal.h"
#include "refdata/aircraft_dbase.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <algorithm>

namespace kvr {

namespace fs = std::filesystem;

namespace {

constexpr const char* simaddonPublisher = "simaddon";

std::string lf_lowerAscii(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

std::string lf_memberText(const nlohmann::json& root, const char* name) {
    const auto member = root.find(name);
    return member == root.end() ? std::string() : member->get<std::string>();
}

// The package folder: the path up to the component right after the first one named Community.
std::optional<fs::path> lf_packageFolder(const fs::path& path) {
    fs::path folder;
    bool afterCommunity = false;
    for (const fs::path& component : path) {
        folder /= component;
        if (afterCommunity)
            return folder;
        afterCommunity = lf_lowerAscii(gf_pathToUtf8(component)) == "community";
    }
    return std::nullopt;
}

} // namespace

bool gf_containsNoCase(std::string_view text, std::string_view word) {
    return lf_lowerAscii(text).find(lf_lowerAscii(word)) != std::string::npos;
}

std::optional<std::string> lf_matchPublisher(const std::string& text) {
    for (const std::vector<std::string>& group : publisherNames)
        for (const std::string& name : group)
            if (gf_containsNoCase(text, name))
                return group.front();
    return std::nullopt;
}

std::optional<fs::path> lf_findManifestFile(const fs::path& folder) {
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().stem() == "manifest" &&
            entry.path().extension() == ".json")
            return entry.path();
    return std::nullopt;
}

std::optional<ManifestInfo> lf_readManifestInfo(const fs::path& file) {
    std::ifstream in;
    if (!gf_openInputFile(file, in))
        return std::nullopt;
    std::vector<std::string> lines;
    gf_readLines(in, lines);
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    const nlohmann::json root = nlohmann::json::parse(text, nullptr, false);
    if (root.is_discarded() || !root.is_object())
        return std::nullopt;
    return ManifestInfo{lf_memberText(root, "manufacturer"), lf_memberText(root, "creator"),
                        lf_memberText(root, "title")};
}

std::optional<ManifestInfo> gf_searchManifest(const fs::path& path) {
    try {
        const auto folder = lf_packageFolder(path);
        if (!folder || !fs::is_directory(*folder))
            return std::nullopt;
        const auto file = lf_findManifestFile(*folder);
        if (!file)
            return std::nullopt;
        gf_appendScanMessage(gf_pathToUtf8(*file) + " found");
        return lf_readManifestInfo(*file);
    } catch (const std::exception& error) {
        gf_appendScanMessage(fmt::format("exception in gf_searchManifest: {}", error.what()));
        return std::nullopt;
    }
}

PublisherInfo lf_findPublisher(const fs::path& path) {
    const std::string pathText = gf_pathToUtf8(path);
    gf_appendScanMessage(fmt::format("\nTry to find publisher in: {}", pathText));
    PublisherInfo info;
    if (gf_containsNoCase(pathText, "microsoft-airport") || gf_containsNoCase(pathText, "asobo-airport")) {
        info.publisher = simaddonPublisher;
        gf_appendScanMessage(fmt::format("from filename => publisher {}", simaddonPublisher));
        return info;
    }
    if (auto name = lf_matchPublisher(pathText)) {
        info.publisher = std::move(*name);
        gf_appendScanMessage(fmt::format("publisher '{}' found", info.publisher));
        return info;
    }
    const auto manifest = gf_searchManifest(path);
    if (!manifest) {
        gf_appendScanMessage(fmt::format("{}No publisher found", "===> "));
        return info;
    }
    info.manufacturer = manifest->manufacturer;
    info.creator = manifest->creator;
    if (!info.manufacturer.empty())
        if (auto name = lf_matchPublisher(info.manufacturer)) {
            info.publisher = std::move(*name);
            gf_appendScanMessage(fmt::format("from manifest.json: manufacturer '{}' => publisher '{}'",
                                             info.manufacturer, info.publisher));
            return info;
        }
    if (!info.creator.empty())
        if (auto name = lf_matchPublisher(info.creator)) {
            info.publisher = std::move(*name);
            gf_appendScanMessage(fmt::format("from manifest.json: creator '{}' => publisher '{}'",
                                             info.creator, info.publisher));
            return info;
        }
    gf_appendScanMessage(
        fmt::format("no valid info found in manifest about publisher, manufacturer:'{}', creator:'{}' {}",
                    info.manufacturer, info.creator, pathText));
    return info;
}

} // namespace kvr
