#include "core/utf.h"

#include <stdexcept>

namespace kvr {

namespace {

constexpr bool lf_isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

[[noreturn]] void lf_badWide() { throw std::runtime_error("wide_to_utf8: invalid UTF-16"); }
[[noreturn]] void lf_badUtf8() { throw std::runtime_error("utf8_to_wide: invalid UTF-8"); }

void lf_appendWide(std::wstring& out, char32_t c) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
            return;
        }
    }
    out.push_back(static_cast<wchar_t>(c));
}

} // namespace

void gf_appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string wide_to_utf8(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = static_cast<char32_t>(wide[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            c &= 0xFFFF;
            if (c >= 0xD800 && c <= 0xDBFF) {
                if (i + 1 >= wide.size())
                    lf_badWide();
                const char32_t low = static_cast<char32_t>(wide[i + 1]) & 0xFFFF;
                if (low < 0xDC00 || low > 0xDFFF)
                    lf_badWide();
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            } else if (lf_isSurrogate(c)) {
                lf_badWide();
            }
        } else if (lf_isSurrogate(c) || c > 0x10FFFF) {
            lf_badWide();
        }
        gf_appendUtf8(out, c);
    }
    return out;
}

std::size_t gf_utf8SequenceAt(std::string_view bytes, std::size_t i, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t length;
    char32_t minimum;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || lf_isSurrogate(codePoint))
        return 0;
    return length;
}

std::wstring utf8_to_wide(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c;
        const std::size_t length = gf_utf8SequenceAt(utf8, i, c);
        if (length == 0)
            lf_badUtf8();
        lf_appendWide(out, c);
        i += length;
    }
    return out;
}

} // namespace kvr
