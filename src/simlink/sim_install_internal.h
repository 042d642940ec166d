#pragma once
// Parts of the install detection that tests reach directly.
#include <array>
#include <filesystem>
#include <optional>
#include <string>

namespace kvr {

// The local and roaming application-data folders: %LOCALAPPDATA% and %APPDATA% on Windows; here
// $XDG_DATA_HOME (else ~/.local/share) and $XDG_CONFIG_HOME (else ~/.config).
std::filesystem::path lf_localAppDataFolder();
std::filesystem::path lf_roamingAppDataFolder();

// <roaming>/Microsoft Flight Simulator[ 2024]/Packages.
std::filesystem::path lf_steamPackagesFolder(bool msfs2020);
// The UserCfg.opt files of the simulator, in the order they are tried (Store, then Steam).
std::array<std::filesystem::path, 2> lf_userCfgFiles(bool msfs2020);
// The quoted folder of the file's InstalledPackagesPath line; nullopt when the file or the line is missing.
std::optional<std::filesystem::path> lf_installedPackagesPath(const std::filesystem::path& userCfg);
bool lf_isValidPackagesFolder(const std::filesystem::path& folder);
// A path from a setting or a file, '\' taken as a separator.
std::filesystem::path lf_pathFromText(std::string text);

} // namespace kvr
