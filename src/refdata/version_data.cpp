#include "refdata/version_data.h"

#include <fmt/format.h>

#include <charconv>

namespace kvr {

namespace {

bool lf_isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads "<digits>.<digits>.<digits>" at the start of the text; the separators are literal dots, so
// "12345" is not a version.
std::optional<VersionData> lf_versionAt(std::string_view text) {
    int fields[3];
    std::size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != '.')
                return std::nullopt;
            ++pos;
        }
        const std::size_t begin = pos;
        while (pos < text.size() && lf_isDigit(text[pos]))
            ++pos;
        if (pos == begin)
            return std::nullopt;
        const auto [end, ec] = std::from_chars(text.data() + begin, text.data() + pos, fields[i]);
        if (ec != std::errc())
            return std::nullopt;
    }
    return VersionData(fields[0], fields[1], fields[2]);
}

} // namespace

std::optional<VersionData> VersionData::fromText(std::string_view text) {
    for (std::size_t start = 0; start < text.size(); ++start) {
        if (!lf_isDigit(text[start]) || (start > 0 && lf_isDigit(text[start - 1])))
            continue;
        if (auto version = lf_versionAt(text.substr(start)))
            return version;
    }
    return std::nullopt;
}

std::string gf_versionText(const VersionData& version) {
    return fmt::format("{}.{}.{}", version.major, version.minor, version.patch);
}

} // namespace kvr
