#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace kvr {

// The only text conversions of the program. std::wstring is UTF-16 on Windows and UTF-32 here;
// both widths are handled. Lone surrogates, overlong forms and truncated sequences are refused with
// std::runtime_error "wide_to_utf8: invalid UTF-16" / "utf8_to_wide: invalid UTF-8".
std::string wide_to_utf8(std::wstring_view wide);
std::wstring utf8_to_wide(std::string_view utf8);

// Appends one code point as UTF-8 (used by the readers of other encodings).
void gf_appendUtf8(std::string& out, char32_t codePoint);

// Length of the valid UTF-8 sequence at bytes[i] with its code point, or 0 when the bytes there are no
// valid sequence (stray continuation bytes, truncated or overlong forms, surrogates, beyond U+10FFFF).
std::size_t gf_utf8SequenceAt(std::string_view bytes, std::size_t i, char32_t& codePoint);

} // namespace kvr
