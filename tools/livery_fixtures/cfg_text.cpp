#include "livery_fixtures/cfg_text.h"

#include <fmt/format.h>

#include <fstream>
#include <stdexcept>

namespace kvr::fixtures {

namespace fs = std::filesystem;

namespace {

// Windows-1252 bytes 0x80..0x9F; zero where the code page has no character.
constexpr char32_t windows1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                          0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::u32string lf_decodeUtf8(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length == 0 || i + length > text.size())
            throw std::invalid_argument("fixture text is not UTF-8");
        char32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                throw std::invalid_argument("fixture text is not UTF-8");
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        out.push_back(codePoint);
        i += length;
    }
    return out;
}

char lf_windows1252Byte(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    for (unsigned k = 0; k < 32; ++k)
        if (windows1252High[k] != 0 && windows1252High[k] == codePoint)
            return static_cast<char>(0x80 + k);
    return '?';
}

void lf_appendUtf16Unit(std::string& out, char32_t unit, bool littleEndian) {
    const char high = static_cast<char>((unit >> 8) & 0xFF);
    const char low = static_cast<char>(unit & 0xFF);
    out.push_back(littleEndian ? low : high);
    out.push_back(littleEndian ? high : low);
}

std::string lf_withLineEnds(std::string_view text, LineEnd lineEnd) {
    if (lineEnd == LineEnd::lf)
        return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

void lf_appendLine(std::string& text, std::string_view key, std::string_view value) {
    if (!value.empty())
        text += fmt::format("{} = \"{}\"\n", key, value);
}

} // namespace

std::string_view encodingName(CfgEncoding encoding) {
    switch (encoding) {
    case CfgEncoding::ansi:
        return "ansi";
    case CfgEncoding::utf8:
        return "utf8";
    case CfgEncoding::utf8Bom:
        return "utf8bom";
    case CfgEncoding::utf16Le:
        return "utf16le";
    case CfgEncoding::utf16Be:
        return "utf16be";
    }
    return "?";
}

std::string encodeCfgText(std::string_view utf8Text, CfgEncoding encoding, LineEnd lineEnd) {
    const std::string text = lf_withLineEnds(utf8Text, lineEnd);
    switch (encoding) {
    case CfgEncoding::utf8:
        lf_decodeUtf8(text);
        return text;
    case CfgEncoding::utf8Bom:
        lf_decodeUtf8(text);
        return "\xEF\xBB\xBF" + text;
    case CfgEncoding::ansi: {
        std::string out;
        for (char32_t codePoint : lf_decodeUtf8(text))
            out.push_back(lf_windows1252Byte(codePoint));
        return out;
    }
    case CfgEncoding::utf16Le:
    case CfgEncoding::utf16Be: {
        const bool littleEndian = encoding == CfgEncoding::utf16Le;
        std::string out;
        lf_appendUtf16Unit(out, 0xFEFF, littleEndian);
        for (char32_t codePoint : lf_decodeUtf8(text)) {
            if (codePoint >= 0x10000) {
                const char32_t offset = codePoint - 0x10000;
                lf_appendUtf16Unit(out, 0xD800 + (offset >> 10), littleEndian);
                lf_appendUtf16Unit(out, 0xDC00 + (offset & 0x3FF), littleEndian);
            } else {
                lf_appendUtf16Unit(out, codePoint, littleEndian);
            }
        }
        return out;
    }
    }
    return text;
}

void writeBytes(const fs::path& path, std::string_view bytes) {
    if (path.has_parent_path())
        fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

void writeCfgFile(const fs::path& path, std::string_view utf8Text, CfgEncoding encoding, LineEnd lineEnd) {
    writeBytes(path, encodeCfgText(utf8Text, encoding, lineEnd));
}

std::string aircraftCfgText(const AircraftCfg& cfg) {
    std::string text =
        "[VERSION]\nmajor = 1\nminor = 0\n\n[GENERAL]\natc_type = \"TT:ATCCOM.ATC_NAME AIRLINER.0.text\"\n";
    lf_appendLine(text, "icao_type_designator", cfg.icaoType);
    if (!cfg.baseContainer.empty())
        text += fmt::format("base_container = \"{}\"\n", cfg.baseContainer);
    text += "category = \"airplane\"\n";
    int number = cfg.firstNumber;
    for (const FltsimSection& section : cfg.sections) {
        text += fmt::format("\n[FLTSIM.{}]\n", number++);
        lf_appendLine(text, "title", section.title);
        text += "model = \"\"\n";
        lf_appendLine(text, "texture", section.texture);
        lf_appendLine(text, "atc_id", section.atcId);
        lf_appendLine(text, "icao_airline", section.airline);
        lf_appendLine(text, "atc_parking_types", section.parkingTypes);
        text += "isUserSelectable = 0\n";
        for (const std::string& line : section.extraLines)
            text += line + "\n";
    }
    return text;
}

} // namespace kvr::fixtures
