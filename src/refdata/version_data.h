#pragma once
#include "core/program_version.h"

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace kvr {

// A version triple major.minor.patch, compared field by field.
struct VersionData {
    int major = 0;
    int minor = 0;
    int patch = 0;

    constexpr VersionData() = default;
    constexpr VersionData(int ma, int mi, int pa) : major(ma), minor(mi), patch(pa) {}
    constexpr explicit VersionData(const ProgramVersion& v)
        : major(v.major), minor(v.minor), patch(v.patch) {}

    // The first "<digits>.<digits>.<digits>" in the text ("v12.0.3-beta" gives 12.0.3); nothing when the
    // text holds none or a number does not fit an int.
    static std::optional<VersionData> fromText(std::string_view text);

    friend constexpr auto operator<=>(const VersionData&, const VersionData&) = default;
};

// "{}.{}.{}"
std::string gf_versionText(const VersionData& version);

} // namespace kvr
