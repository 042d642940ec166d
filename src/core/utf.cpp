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

std::wstring utf8_to_wide(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        char32_t c;
        int extra;
        if (lead < 0x80) {
            c = lead;
            extra = 0;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            c = lead & 0x1F;
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            c = lead & 0x0F;
            extra = 2;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            c = lead & 0x07;
            extra = 3;
        } else {
            lf_badUtf8(); // continuation byte, overlong C0/C1 lead or beyond U+10FFFF
        }
        if (i + static_cast<std::size_t>(extra) >= utf8.size())
            lf_badUtf8(); // truncated sequence
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80)
                lf_badUtf8();
            c = (c << 6) | (next & 0x3F);
        }
        if ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) || lf_isSurrogate(c))
            lf_badUtf8();
        lf_appendWide(out, c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

} // namespace kvr
