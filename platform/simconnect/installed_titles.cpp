#include "platform/simconnect/installed_titles.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kvr::simsim {

namespace {

void lf_appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A broken surrogate pair becomes U+FFFD: the simulator shows such a title but nobody can ask for it.
std::string lf_utf16ToUtf8(const std::string& bytes, bool bigEndian) {
    std::string out;
    auto unitAt = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    };
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const char32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                lf_appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        lf_appendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
    }
    return out;
}

std::string lf_readAsUtf8(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    std::string bytes = content.str();
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        return lf_utf16ToUtf8(bytes, false);
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF)
        return lf_utf16ToUtf8(bytes, true);
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        bytes.erase(0, 3);
    return bytes;
}

std::string lf_trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string lf_lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string lf_valueWithoutComment(const std::string& raw) {
    const std::string value = lf_trim(raw);
    if (!value.empty() && value.front() == '"') {
        const auto close = value.find('"', 1);
        return close == std::string::npos ? value.substr(1) : value.substr(1, close - 1);
    }
    std::size_t cut = value.find(';');
    cut = std::min(cut, value.find("//"));
    return lf_trim(value.substr(0, cut));
}

std::filesystem::path lf_environmentFolder(const char* variable, const char* homeRelative) {
    if (const char* value = std::getenv(variable); value && *value)
        return value;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / homeRelative;
    return {};
}

std::optional<std::filesystem::path> lf_installedPackagesPath(const std::filesystem::path& userCfg) {
    std::ifstream in(userCfg, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        const std::string trimmed = lf_trim(line);
        const std::string key = "InstalledPackagesPath";
        if (trimmed.rfind(key, 0) != 0)
            continue;
        const auto open = trimmed.find('"', key.size());
        const auto close = open == std::string::npos ? open : trimmed.find('"', open + 1);
        if (close == std::string::npos)
            continue;
        std::string folder = trimmed.substr(open + 1, close - open - 1);
        std::replace(folder.begin(), folder.end(), '\\', '/');
        return std::filesystem::path(folder);
    }
    return std::nullopt;
}

} // namespace

std::vector<std::string> readAircraftCfgTitles(const std::filesystem::path& file) {
    std::vector<std::string> titles;
    std::istringstream lines(lf_readAsUtf8(file));
    std::string line;
    while (std::getline(lines, line)) {
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        if (lf_lower(lf_trim(line.substr(0, equals))) != "title")
            continue;
        std::string title = lf_valueWithoutComment(line.substr(equals + 1));
        if (!title.empty())
            titles.push_back(std::move(title));
    }
    return titles;
}

std::vector<std::string> readTitlesBelow(const std::filesystem::path& folder) {
    std::vector<std::string> titles;
    std::error_code ec;
    std::filesystem::recursive_directory_iterator it(
        folder, std::filesystem::directory_options::skip_permission_denied, ec);
    for (; !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file(ec) || lf_lower(it->path().filename().string()) != "aircraft.cfg")
            continue;
        for (std::string& title : readAircraftCfgTitles(it->path()))
            titles.push_back(std::move(title));
    }
    return titles;
}

std::optional<std::filesystem::path> packagesFolderOfInstall(const std::string& kind) {
    const bool is2020 = kind == "MSFS 2020";
    const std::filesystem::path local = lf_environmentFolder("XDG_DATA_HOME", ".local/share");
    const std::filesystem::path roaming = lf_environmentFolder("XDG_CONFIG_HOME", ".config");
    const std::filesystem::path store =
        local / "Packages" /
        (is2020 ? "Microsoft.FlightSimulator_8wekyb3d8bbwe" : "Microsoft.Limitless_8wekyb3d8bbwe") /
        "LocalCache" / "UserCfg.opt";
    const std::filesystem::path steam =
        roaming / (is2020 ? "Microsoft Flight Simulator" : "Microsoft Flight Simulator 2024") / "UserCfg.opt";
    for (const auto& userCfg : {store, steam})
        if (auto folder = lf_installedPackagesPath(userCfg))
            return folder;
    return std::nullopt;
}

} // namespace kvr::simsim
