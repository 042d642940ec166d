#include "core/text_encoding.h"

#include "core/file_util.h"
#include "core/utf.h"

namespace kvr {

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

// Windows-1252 bytes 0x80..0x9F; zero marks the five bytes the code page leaves undefined.
constexpr char32_t windows1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                          0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

unsigned lf_byte(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

bool lf_startsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

// Valid UTF-8 that holds at least one character beyond ASCII.
bool lf_isUtf8WithNonAscii(std::string_view bytes) {
    bool nonAscii = false;
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t codePoint;
        const std::size_t length = gf_utf8SequenceAt(bytes, i, codePoint);
        if (length == 0)
            return false;
        nonAscii = nonAscii || length > 1;
        i += length;
    }
    return nonAscii;
}

std::string lf_decodeUtf8(std::string_view bytes) {
    if (lf_startsWith(bytes, "\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t codePoint;
        const std::size_t length = gf_utf8SequenceAt(bytes, i, codePoint);
        if (length == 0) {
            gf_appendUtf8(out, replacementCharacter);
            ++i;
        } else {
            out.append(bytes.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::string lf_decodeWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned byte = lf_byte(bytes, i);
        char32_t codePoint = byte;
        if (byte >= 0x80 && byte <= 0x9F && windows1252High[byte - 0x80] != 0)
            codePoint = windows1252High[byte - 0x80];
        gf_appendUtf8(out, codePoint);
    }
    return out;
}

std::string lf_decodeUtf16(std::string_view bytes, bool littleEndian) {
    if (lf_startsWith(bytes, littleEndian ? "\xFF\xFE" : "\xFE\xFF"))
        bytes.remove_prefix(2);
    const auto unitAt = [&](std::size_t i) -> char32_t {
        const unsigned first = lf_byte(bytes, i);
        const unsigned second = lf_byte(bytes, i + 1);
        return littleEndian ? (second << 8) | first : (first << 8) | second;
    };
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                gf_appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        gf_appendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? replacementCharacter : unit);
    }
    if (i < bytes.size())
        gf_appendUtf8(out, replacementCharacter);
    return out;
}

} // namespace

std::int32_t gf_detectCharset(const std::filesystem::path& path) {
    const auto bytes = gf_readFileBytes(path);
    if (!bytes)
        return charsetUnreadable;
    return gf_detectCharsetOfBytes(*bytes);
}

std::int32_t gf_detectCharsetOfBytes(std::string_view text) {
    if (lf_startsWith(text, "\xFF\xFE"))
        return charsetUtf16Le;
    if (lf_startsWith(text, "\xFE\xFF"))
        return charsetUtf16Be;
    if (lf_startsWith(text, "\xEF\xBB\xBF"))
        return charsetUtf8Bom;
    if (text.size() >= 2) {
        const unsigned first = lf_byte(text, 0);
        const unsigned second = lf_byte(text, 1);
        if (first != 0 && first < 0x80 && second == 0)
            return charsetUtf16Le;
        if (first == 0 && second != 0 && second < 0x80)
            return charsetUtf16Be;
    }
    return lf_isUtf8WithNonAscii(text) ? charsetUtf8 : charsetAnsi;
}

std::string gf_decodeToUtf8(std::int32_t kind, std::string_view bytes) {
    switch (kind) {
    case charsetAnsi:
        return lf_decodeWindows1252(bytes);
    case charsetUtf16Le:
        return lf_decodeUtf16(bytes, true);
    case charsetUtf16Be:
        return lf_decodeUtf16(bytes, false);
    case charsetUtf8Bom:
    case charsetUtf8:
        return lf_decodeUtf8(bytes);
    default:
        return std::string(bytes);
    }
}

bool gf_readTextFileLines(std::int32_t kind, const std::filesystem::path& path,
                          std::vector<std::string>& lines) {
    if (kind < charsetAnsi || kind > charsetUtf8)
        return false;
    const auto bytes = gf_readFileBytes(path);
    if (!bytes)
        return false;
    gf_splitLines(gf_decodeToUtf8(kind, *bytes), lines);
    return true;
}

} // namespace kvr
