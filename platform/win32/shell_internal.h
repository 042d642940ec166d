#pragma once
// Shell pieces the process set-up and the tests use.
#include "platform/win32/standin.h"

#include <string>
#include <string_view>
#include <vector>

namespace kvr::standin {

// Splits a command line by the rules of CommandLineToArgvW.
std::vector<std::wstring> gf_splitCommandLine(std::wstring_view line);
// ShellExecuteW starts xdg-open (when installed) only while this is on; tests leave it off.
void gf_enableShellLaunching(bool enabled);

} // namespace kvr::standin
