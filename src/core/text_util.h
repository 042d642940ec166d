#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvr {

// Blanks, tabs, CR and LF count as white space for every trimming helper here.
std::string gf_trim(std::string_view text);

// Splits at every delimiter and trims each piece. An empty text gives no piece; a trailing delimiter
// gives an empty last piece.
std::vector<std::string> gf_splitString(std::string_view text, char delimiter);
// Splits at every comma without trimming; a trailing comma gives an empty last piece; an empty text
// gives no piece.
std::vector<std::string> gf_splitCsvLine(std::string_view text);

// A text holding white space is split at commas, each piece trimmed and the pieces joined again with
// ','. A text without white space is left alone.
void gf_trimAndSplit(std::string& text);

// Plural endings of counts in messages: "s" unless the count is 1; the signed forms give no ending
// for negative counts either.
std::string gf_pluralSuffix(std::size_t count);
std::string gf_pluralSuffixInt(std::int32_t count);
std::string gf_pluralSuffixSigned(std::int64_t count);

// A row of '*' whose width is a + b rounded up to even. A text is centred in it as
// (width / 2 - 1) stars, a blank, the text, a blank and (width / 2 - 1) stars; a text too long for
// that keeps one star on each side rather than being dropped. Line feeds before and after on request.
std::string gf_starBanner(int widthA, int widthB, bool leadingLineFeed, bool trailingLineFeed,
                          std::string_view text);

// "{:.1f}" for a value with a fraction, else "{:.0f}".
std::string gf_formatHours(float hours);

// round(a x 100 / b); 0 when b is below 1. A result outside int throws gsl::narrowing_error.
int gf_percentage(double a, double b);

// True when b is a followed by "*" (the callsign of a static aircraft).
bool gf_equalsWithStar(std::string_view a, std::string_view b);

// Change case byte by byte with the C runtime's toupper / tolower, so only ASCII letters change.
std::string gf_toUpper(std::string_view text);
std::string gf_toLower(std::string_view text);

// A simulator object id as the chosen simulator shows it: decimal with MSFS 2020, hexadecimal with 2024.
std::string gf_idToString(std::uint32_t objectId);

} // namespace kvr
