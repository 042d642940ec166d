#include "core/text_util.h"

#include "core/shared_state.h"

#include <fmt/format.h>
#include <gsl/narrow>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace kvr {

namespace {

constexpr std::string_view whiteSpace = " \t\r\n";

template <typename Piece>
std::vector<std::string> lf_split(std::string_view text, char delimiter, Piece piece) {
    std::vector<std::string> pieces;
    if (text.empty())
        return pieces;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(delimiter, start);
        pieces.push_back(piece(text.substr(start, end == std::string_view::npos ? end : end - start)));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return pieces;
}

} // namespace

std::string gf_trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(whiteSpace);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(whiteSpace);
    return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> gf_splitString(std::string_view text, char delimiter) {
    return lf_split(text, delimiter, [](std::string_view piece) { return gf_trim(piece); });
}

std::vector<std::string> gf_splitCsvLine(std::string_view text) {
    return lf_split(text, ',', [](std::string_view piece) { return std::string(piece); });
}

void gf_trimAndSplit(std::string& text) {
    if (text.find_first_of(whiteSpace) == std::string::npos)
        return;
    std::string joined;
    joined.reserve(text.size());
    bool first = true;
    for (const std::string& piece : gf_splitString(text, ',')) {
        if (!first)
            joined.push_back(',');
        joined += piece;
        first = false;
    }
    text = std::move(joined);
}

std::string gf_pluralSuffix(std::size_t count) {
    return count == 1 ? "" : "s";
}

std::string gf_pluralSuffixInt(std::int32_t count) {
    return count >= 0 && count != 1 ? "s" : "";
}

std::string gf_pluralSuffixSigned(std::int64_t count) {
    return count >= 0 && count != 1 ? "s" : "";
}

std::string gf_starBanner(int widthA, int widthB, bool leadingLineFeed, bool trailingLineFeed,
                          std::string_view text) {
    int width = std::max(widthA, 0) + std::max(widthB, 0);
    width += width % 2;
    std::string banner;
    if (leadingLineFeed)
        banner.push_back('\n');
    if (text.empty()) {
        banner.append(static_cast<std::size_t>(width), '*');
    } else {
        const bool fits = static_cast<std::size_t>(width) > text.size() + 2;
        const std::size_t side = fits ? static_cast<std::size_t>(width / 2 - 1) : 1;
        banner.append(side, '*');
        banner.push_back(' ');
        banner += text;
        banner.push_back(' ');
        banner.append(side, '*');
    }
    if (trailingLineFeed)
        banner.push_back('\n');
    return banner;
}

std::string gf_formatHours(float hours) {
    if (hours == std::floor(hours))
        return fmt::format("{:.0f}", hours);
    return fmt::format("{:.1f}", hours);
}

int gf_percentage(double a, double b) {
    if (!(b >= 1.0))
        return 0;
    const double rounded = std::round(a * 100.0 / b);
    // Converting a double outside int's range is undefined, so that case is refused before the cast.
    if (!(rounded >= static_cast<double>(std::numeric_limits<int>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<int>::max())))
        throw gsl::narrowing_error{};
    return gsl::narrow<int>(rounded);
}

bool gf_equalsWithStar(std::string_view a, std::string_view b) {
    return b.size() == a.size() + 1 && b.back() == '*' && b.substr(0, a.size()) == a;
}

std::string gf_toUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::string gf_toLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string gf_idToString(std::uint32_t objectId) {
    if (msfs2020Selected.load())
        return fmt::format("{}", objectId);
    return fmt::format("{:x}", objectId);
}

} // namespace kvr
