#pragma once
// The aircraft titles a simulator install offers, as the simulated simulator finds them.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kvr::simsim {

// The title= values of one aircraft.cfg file (UTF-8, UTF-8 with byte order mark, or UTF-16 with byte
// order mark), in file order. Quotes round a value and comments after ';' or "//" are dropped.
std::vector<std::string> readAircraftCfgTitles(const std::filesystem::path& file);

// Every title of every aircraft.cfg below the folder (any depth); an unreadable folder or file is skipped.
std::vector<std::string> readTitlesBelow(const std::filesystem::path& folder);

// Where the simulator of that kind ("MSFS 2020"/"MSFS 2024") keeps its packages, from the
// InstalledPackagesPath line of its UserCfg.opt (Microsoft Store location first, then Steam), looked up
// under $XDG_DATA_HOME and $XDG_CONFIG_HOME as under the local and roaming folders on Windows.
std::optional<std::filesystem::path> packagesFolderOfInstall(const std::string& kind);

} // namespace kvr::simsim
