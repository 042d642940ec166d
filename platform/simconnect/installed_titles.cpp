#include "platform/simconnect/installed_titles.h"

#include "core/file_util.h"
#include "core/native_path.h"
#include "core/text_encoding.h"
#include "core/text_util.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace kvr::simsim {

namespace {

std::string lf_valueWithoutComment(const std::string& raw) {
    const std::string value = gf_trim(raw);
    if (!value.empty() && value.front() == '"') {
        const auto close = value.find('"', 1);
        return close == std::string::npos ? value.substr(1) : value.substr(1, close - 1);
    }
    std::size_t cut = value.find(';');
    cut = std::min(cut, value.find("//"));
    return gf_trim(value.substr(0, cut));
}

#ifdef _WIN32
// The user's application data folders are LOCALAPPDATA and APPDATA on Windows; wide, for any user name.
std::filesystem::path lf_environmentFolder(const char* variable, const char*) {
    const wchar_t* windowsName = std::string_view(variable) == "XDG_DATA_HOME" ? L"LOCALAPPDATA" : L"APPDATA";
    if (const wchar_t* value = _wgetenv(windowsName); value && *value)
        return value;
    return {};
}
#else
std::filesystem::path lf_environmentFolder(const char* variable, const char* homeRelative) {
    if (const char* value = std::getenv(variable); value && *value)
        return value;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / homeRelative;
    return {};
}
#endif

// Read as the program reads it: UTF-8 as the simulator writes it, or the ANSI code page of a file edited by
// hand, whose bytes are no UTF-8.
std::optional<std::filesystem::path> lf_installedPackagesPath(const std::filesystem::path& userCfg) {
    const std::optional<std::string> bytes = gf_readFileBytes(userCfg);
    if (!bytes)
        return std::nullopt;
    std::vector<std::string> lines;
    gf_splitLines(gf_decodeToUtf8(gf_detectCharsetOfBytes(*bytes), *bytes), lines);
    for (const std::string& line : lines) {
        const std::string trimmed = gf_trim(line);
        const std::string key = "InstalledPackagesPath";
        if (trimmed.rfind(key, 0) != 0)
            continue;
        const auto open = trimmed.find('"', key.size());
        const auto close = open == std::string::npos ? open : trimmed.find('"', open + 1);
        if (close == std::string::npos)
            continue;
        std::string folder = trimmed.substr(open + 1, close - open - 1);
        std::replace(folder.begin(), folder.end(), '\\', '/');
        return gf_pathFromUtf8(folder);
    }
    return std::nullopt;
}

} // namespace

std::vector<std::string> readAircraftCfgTitles(const std::filesystem::path& file) {
    std::vector<std::string> titles;
    // The same reading as the livery scan's, so that both see the same titles in every encoding.
    std::vector<std::string> lines;
    if (!gf_readTextFileLines(gf_detectCharset(file), file, lines))
        return titles;
    for (const std::string& line : lines) {
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        if (gf_toLower(gf_trim(line.substr(0, equals))) != "title")
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
        if (!it->is_regular_file(ec) || gf_toLower(gf_pathToUtf8(it->path().filename())) != "aircraft.cfg")
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
