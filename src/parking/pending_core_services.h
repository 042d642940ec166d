#pragma once
// Stop-gap version comparison until the reference-data version type arrives; removed when it does.
#include <cstdio>
#include <string>

namespace kvr::pending {

// True when the "major.minor.patch" text is below the given version; text that does not parse counts as
// 0.0.0.
inline bool versionBelow(const std::string& text, int major, int minor, int patch) {
    int parts[3] = {0, 0, 0};
    if (std::sscanf(text.c_str(), "%d.%d.%d", &parts[0], &parts[1], &parts[2]) != 3)
        parts[0] = parts[1] = parts[2] = 0;
    if (parts[0] != major)
        return parts[0] < major;
    if (parts[1] != minor)
        return parts[1] < minor;
    return parts[2] < patch;
}

} // namespace kvr::pending
