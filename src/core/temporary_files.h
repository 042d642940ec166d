#pragma once
// The temporary files the program writes beside a file before renaming them over it, and the removal of
// those that a killed run left behind.
#include <cstddef>
#include <filesystem>
#include <string_view>

namespace kvr {

enum class TemporaryKind {
    save,     // "<name>.tmp<pid>_<n>": a file written and then renamed over <name>
    download, // "<name>.part<pid>_<n>": a download on its way to <name>
};

// A path beside `path` that no other write of any process uses: the process id and a counter of this
// process are part of its name.
std::filesystem::path gf_temporaryPathBeside(const std::filesystem::path& path, TemporaryKind kind);

// Whether a file name has exactly the form of a temporary name of either kind and was not made by this
// process, whose own temporary files may be in use.
bool gf_isLeftoverTemporaryName(std::string_view name);

// Removes the regular files with leftover temporary names from the folder, and from every folder below
// it when asked. A missing folder holds none. Never throws: a file or folder that cannot be removed or
// listed is logged. Returns the number of files removed.
std::size_t gf_removeLeftoverTemporariesIn(const std::filesystem::path& folder, bool withSubfolders);

} // namespace kvr
