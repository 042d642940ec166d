#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kvr {

// Text encodings of the files the program reads from other makers (aircraft.cfg and the like).
inline constexpr std::int32_t charsetAnsi = 0; // Windows-1252
inline constexpr std::int32_t charsetUtf16Le = 1;
inline constexpr std::int32_t charsetUtf16Be = 2;
inline constexpr std::int32_t charsetUtf8Bom = 3;
inline constexpr std::int32_t charsetUtf8 = 4;       // UTF-8 without byte-order mark
inline constexpr std::int32_t charsetUnreadable = 5; // the file could not be opened

// Decides from the whole file:
// - a byte-order mark decides first (FF FE, FE FF, EF BB BF);
// - without one, a first character that is ASCII in one byte and zero in the other is UTF-16 without
//   a mark (LE for "x\0", BE for "\0x");
// - otherwise bytes that hold non-ASCII characters and are valid UTF-8 throughout are UTF-8; anything
//   else, pure ASCII and an empty file included, is ANSI (both readings give the same text for ASCII).
std::int32_t gf_detectCharset(const std::filesystem::path& path);
// The same decision on bytes already read, for readers that decode them afterwards.
std::int32_t gf_detectCharsetOfBytes(std::string_view bytes);

// The bytes of a file in the given kind as UTF-8, its byte-order mark removed. Nothing is refused:
// - ANSI is Windows-1252; the five bytes that code page leaves undefined (81, 8D, 8F, 90, 9D) become the
//   control characters of the same number, as Windows converts them;
// - an unpaired UTF-16 surrogate and an odd last byte of a UTF-16 text each become U+FFFD;
// - in UTF-8, every byte that does not belong to a valid sequence (overlong, surrogate, beyond
//   U+10FFFF, cut short) becomes U+FFFD.
// An unknown kind gives the bytes unchanged.
std::string gf_decodeToUtf8(std::int32_t kind, std::string_view bytes);

// Reads the whole file in the given kind and appends its lines as UTF-8, split as gf_splitLines does
// (LF or CRLF). False when the kind is not one of 0..4 or the file cannot be read.
bool gf_readTextFileLines(std::int32_t kind, const std::filesystem::path& path,
                          std::vector<std::string>& lines);

} // namespace kvr
