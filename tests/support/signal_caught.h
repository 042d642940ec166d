#pragma once
// Whether a Linux process has its own handler for a signal yet (SigCgt in /proc/<pid>/status): from then
// on the signal is the program's to take.
#include "support/file_text.h"

#include <sys/types.h>

#include <string>

namespace kvr::test {

inline bool catchesSignal(pid_t pid, int signal) {
    const std::string status = readFileText("/proc/" + std::to_string(pid) + "/status");
    const auto at = status.find("SigCgt:");
    if (at == std::string::npos)
        return false;
    const unsigned long long caught = std::stoull(status.substr(at + 7), nullptr, 16);
    return ((caught >> (signal - 1)) & 1U) != 0;
}

} // namespace kvr::test
