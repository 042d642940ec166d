#pragma once
// Stop-gap versions of core services that are about to arrive; removed when they do.
#include <pugixml.hpp>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace kvr::pending {

inline std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

inline std::uint64_t hours2bitset(const std::string& text) {
    std::uint64_t bits = 0;
    try {
        const auto colon = text.find(':');
        const int first = std::stoi(text.substr(0, colon));
        const int last = colon == std::string::npos ? first : std::stoi(text.substr(colon + 1));
        if (first < 0 || last > 47 || first > last)
            return 0;
        for (int s = first; s <= last; ++s)
            bits |= std::uint64_t{1} << s;
    } catch (const std::exception&) {
        return 0;
    }
    return bits;
}

inline std::optional<std::string> bitsetToHours(std::uint64_t bits) {
    if (bits == 0)
        return std::nullopt;
    int first = 0;
    while (((bits >> first) & 1) == 0)
        ++first;
    int last = first;
    while (last + 1 < 48 && ((bits >> (last + 1)) & 1) != 0)
        ++last;
    if ((bits >> (last + 1)) != 0)
        return std::nullopt;
    return first == last ? std::to_string(first) : std::to_string(first) + ":" + std::to_string(last);
}

inline double distanceNm(double lat1, double lon1, double lat2, double lon2) {
    constexpr double rad = 0.017453292519943295;
    const double dlat = (lat2 - lat1) * rad;
    const double dlon = (lon2 - lon1) * rad;
    const double a = std::sin(dlat / 2) * std::sin(dlat / 2) +
                     std::cos(lat1 * rad) * std::cos(lat2 * rad) * std::sin(dlon / 2) * std::sin(dlon / 2);
    return 2 * std::atan2(std::sqrt(a), std::sqrt(1 - a)) * 3440.065;
}

struct MetaInfo {
    bool accepted = false;
    std::string version;
};

inline bool writeMetaInfo(pugi::xml_document& doc, const std::string& version, int simKind) {
    pugi::xml_node root = doc.child("root");
    if (!root)
        root = doc.append_child("root");
    pugi::xml_node meta = root.append_child("meta");
    const std::string sim = simKind == 1 ? "2020" : simKind == 2 ? "2024" : "v56";
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"author", "Vantrel"},
                                      {"version", version},
                                      {"date", ""},
                                      {"copyright", ""},
                                      {"sim", sim}}) {
        pugi::xml_node info = meta.append_child("info");
        info.append_attribute("name").set_value(name.c_str());
        info.append_attribute("value").set_value(value.c_str());
    }
    return true;
}

inline MetaInfo readFileMetaInfo(const pugi::xml_document& doc) {
    MetaInfo meta;
    pugi::xml_node block = doc.child("root").child("meta");
    meta.accepted = static_cast<bool>(block);
    for (pugi::xml_node info : block.children("info"))
        if (std::string(info.attribute("name").value()) == "version")
            meta.version = info.attribute("value").value();
    return meta;
}

inline void save1GenerationOf(const std::filesystem::path& path) {
    auto backup = path;
    backup.replace_filename(path.stem().string() + "0" + path.extension().string());
    std::error_code ec;
    std::filesystem::copy_file(path, backup, std::filesystem::copy_options::overwrite_existing, ec);
}

} // namespace kvr::pending

namespace kvr::pending {

// True when the "major.minor.patch" text is below the given version; text that does not parse counts as
// 0.0.0.
inline bool versionBelow(const std::string& text, int major, int minor, int patch) {
    int parts[3] = {0, 0, 0};
    if (std::sscanf(text.c_str(), "%d.%d.%d", &parts[0], &parts[1], &parts[2]) != 3)
        parts[0] = parts[1] = parts[2] = 0;
    if (parts[0] != major)
        return parts[0] < major;
    if (parts[1] != minor)
        return parts[1] < minor;
    return parts[2] < patch;
}

} // namespace kvr::pending
