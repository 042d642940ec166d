#pragma once
// Where the selected simulator keeps its packages (the folder holding Community, and Official for MSFS 2020).
#include <filesystem>
#include <string>

namespace kvr {

// The install-path setting of the selected simulator (MSFS_INSTALL_PATH for MSFS 2020,
// MSFS_2024_INSTALL_PATH for MSFS 2024) joined with the relative folder; empty when that setting is empty.
// Separators '\' and '/' are both accepted in the setting.
std::filesystem::path gf_simPath(const std::string& relativeFolder);

// The packages folder of the selected simulator: the Steam packages folder when valid, else the
// InstalledPackagesPath of its UserCfg.opt when valid, else empty. Valid means: a folder that holds a
// Community folder. UserCfg.opt is looked for where the Microsoft Store version keeps it, then where the
// Steam version does.
std::filesystem::path gf_detectSimInstall();

} // namespace kvr
