#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kvr {

// Copies the generated third-party stand files worth learning from airports/my_thirdparty into tblo
// (their link files are removed, so the generated file is used), zips them and sets tbloCount.
// stems: the upper-cased stems of the .xml files of airports/my_thirdparty.
void lf_collectThirdpartyFiles(const std::vector<std::string>& stems);

// The file's bytes; none when it cannot be opened or read.
std::optional<std::vector<char>> lf_readPackageFile(const std::filesystem::path& path);

} // namespace kvr
