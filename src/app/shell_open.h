#pragma once
// Opening files, folders and documents with the shell.
#include <filesystem>

namespace kvr {

// ShellExecuteW "open" on an existing path; true when the shell took it.
bool gf_openWithShell(const std::filesystem::path& path);
// docs/Manual.pdf of the program folder.
void gf_openManual();
// The folder that holds parameters.xml.
void gf_openParametersFolder();

} // namespace kvr
