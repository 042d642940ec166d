#include "simlink/sim_install.h"

#include "core/file_util.h"
#include "core/log.h"
#include "core/native_path.h"
#include "core/shared_state.h"
#include "core/text_encoding.h"
#include "core/text_util.h"
#include "settings/parameter_table.h"
#include "simlink/sim_install_internal.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace kvr {

namespace {

#ifdef _WIN32
// Windows names the user's application data folders in LOCALAPPDATA and APPDATA; wide, for any user name.
std::filesystem::path lf_environmentFolder(const wchar_t* variable) {
    if (const wchar_t* value = _wgetenv(variable); value && *value)
        return value;
    return std::filesystem::current_path();
}
#else
std::filesystem::path lf_environmentFolder(const char* variable, const char* homeRelative) {
    if (const char* value = std::getenv(variable); value && *value)
        return value;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / homeRelative;
    return std::filesystem::current_path();
}
#endif

// One place the simulator may be installed; a path that cannot be converted is logged and passed over, so
// that the other places are still tried and the user is asked for the path when none is found.
template <typename Look> std::filesystem::path lf_checkedLook(Look look) {
    try {
        return look();
    } catch (const std::exception& e) {
        gf_logLine(fmt::format("gf_detectSimInstall: {}", e.what()));
        return {};
    }
}

} // namespace

std::filesystem::path lf_localAppDataFolder() {
#ifdef _WIN32
    return lf_environmentFolder(L"LOCALAPPDATA");
#else
    return lf_environmentFolder("XDG_DATA_HOME", ".local/share");
#endif
}

std::filesystem::path lf_roamingAppDataFolder() {
#ifdef _WIN32
    return lf_environmentFolder(L"APPDATA");
#else
    return lf_environmentFolder("XDG_CONFIG_HOME", ".config");
#endif
}

std::filesystem::path lf_steamPackagesFolder(bool msfs2020) {
    return lf_roamingAppDataFolder() /
           (msfs2020 ? "Microsoft Flight Simulator" : "Microsoft Flight Simulator 2024") / "Packages";
}

std::array<std::filesystem::path, 2> lf_userCfgFiles(bool msfs2020) {
    const char* storePackage =
        msfs2020 ? "Microsoft.FlightSimulator_8wekyb3d8bbwe" : "Microsoft.Limitless_8wekyb3d8bbwe";
    return {lf_localAppDataFolder() / "Packages" / storePackage / "LocalCache" / "UserCfg.opt",
            lf_roamingAppDataFolder() /
                (msfs2020 ? "Microsoft Flight Simulator" : "Microsoft Flight Simulator 2024") /
                "UserCfg.opt"};
}

std::filesystem::path lf_pathFromText(std::string text) {
#ifndef _WIN32
    std::replace(text.begin(), text.end(), '\\', '/');
#endif
    return gf_pathFromUtf8(text);
}

std::optional<std::filesystem::path> lf_installedPackagesPath(const std::filesystem::path& userCfg) {
    const std::optional<std::string> bytes = gf_readFileBytes(userCfg);
    if (!bytes)
        return std::nullopt;
    // The simulator writes UTF-8, but a file edited by hand may hold the folder in the ANSI code page, whose
    // bytes are no UTF-8 and no path on Windows.
    std::vector<std::string> lines;
    gf_splitLines(gf_decodeToUtf8(gf_detectCharsetOfBytes(*bytes), *bytes), lines);
    const std::string key = "InstalledPackagesPath";
    for (const std::string& line : lines) {
        const std::string trimmed = gf_trim(line);
        if (trimmed.rfind(key, 0) != 0 || trimmed.size() == key.size() ||
            (trimmed[key.size()] != ' ' && trimmed[key.size()] != '\t'))
            continue;
        const std::string value = gf_trim(trimmed.substr(key.size()));
        if (value.size() < 3 || value.front() != '"')
            continue;
        const auto close = value.find('"', 1);
        if (close == std::string::npos || close == 1)
            continue;
        return lf_pathFromText(value.substr(1, close - 1));
    }
    return std::nullopt;
}

bool lf_isValidPackagesFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    return !folder.empty() && std::filesystem::is_directory(folder / "Community", ec);
}

std::filesystem::path gf_simPath(const std::string& relativeFolder) {
    const std::string install = msfs2020Selected ? MSFS_INSTALL_PATH.value() : MSFS_2024_INSTALL_PATH.value();
    if (install.empty())
        return {};
    return lf_pathFromText(install) / gf_pathFromUtf8(relativeFolder);
}

std::filesystem::path gf_detectSimInstall() {
    const bool msfs2020 = msfs2020Selected;
    const std::filesystem::path steam = lf_checkedLook([&] {
        const std::filesystem::path folder = lf_steamPackagesFolder(msfs2020);
        if (!lf_isValidPackagesFolder(folder))
            return std::filesystem::path();
        gf_logLine(fmt::format("Packages folder of the Steam version: {}", gf_pathToUtf8(folder)));
        return folder;
    });
    if (!steam.empty())
        return steam;
    for (const std::filesystem::path& userCfg : lf_userCfgFiles(msfs2020)) {
        const std::filesystem::path found = lf_checkedLook([&] {
            const auto folder = lf_installedPackagesPath(userCfg);
            if (folder && lf_isValidPackagesFolder(*folder)) {
                gf_logLine(fmt::format("Packages folder from {}: {}", gf_pathToUtf8(userCfg),
                                       gf_pathToUtf8(*folder)));
                return *folder;
            }
            if (folder)
                gf_logLine(fmt::format("{} names {}, which holds no Community folder", gf_pathToUtf8(userCfg),
                                       gf_pathToUtf8(*folder)));
            return std::filesystem::path();
        });
        if (!found.empty())
            return found;
    }
    return {};
}

} // namespace kvr
