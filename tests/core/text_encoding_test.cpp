#include "core/text_encoding.h"
#include "core/utf.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace kvr {
namespace {

using Lines = std::vector<std::string>;

// UTF-16 bytes of a UTF-8 text, with surrogate pairs above U+FFFF.
std::string lf_utf16(const std::string& utf8, bool littleEndian, bool byteOrderMark) {
    std::string bytes;
    const auto put = [&](char32_t unit) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += littleEndian ? std::string{low, high} : std::string{high, low};
    };
    if (byteOrderMark)
        put(0xFEFF);
    for (const wchar_t wide : utf8_to_wide(utf8)) {
        char32_t c = static_cast<char32_t>(wide);
        if (c >= 0x10000) {
            c -= 0x10000;
            put(0xD800 + (c >> 10));
            put(0xDC00 + (c & 0x3FF));
        } else {
            put(c);
        }
    }
    return bytes;
}

class TextEncodingTest : public ::testing::Test {
protected:
    std::filesystem::path write(const std::string& name, const std::string& bytes) {
        const auto path = folder / name;
        test::writeFileText(path, bytes);
        return path;
    }
    Lines read(std::int32_t kind, const std::filesystem::path& path) {
        Lines lines;
        EXPECT_TRUE(gf_readTextFileLines(kind, path, lines));
        return lines;
    }
    test::TempFolder folder;
};

TEST_F(TextEncodingTest, TheSameTextGivesTheSameLinesInEveryEncoding) {
    // Euro sign, S caron and curly quotes live in 0x80..0x9F of Windows-1252; e acute above it.
    const std::string utf8 = "[fltsim.0]\r\ntitle=\xE2\x82\xAC \xC5\xA0koda \xE2\x80\x9Cq\xE2\x80\x9D\r\n\r\n"
                             "ui_variation=Caf\xC3\xA9\r\n";
    const std::string beyondAnsi = "a=\xF0\x9F\x9B\xAB\nb=\xE2\x9C\x88\n"; // surrogate pair, LF ends
    const std::string ansi = "[fltsim.0]\r\ntitle=\x80 \x8Akoda \x93q\x94\r\n\r\nui_variation=Caf\xE9\r\n";
    const Lines expected{"[fltsim.0]", "title=\xE2\x82\xAC \xC5\xA0koda \xE2\x80\x9Cq\xE2\x80\x9D", "",
                         "ui_variation=Caf\xC3\xA9"};
    const struct {
        const char* name;
        std::string bytes;
        std::int32_t kind;
    } files[] = {{"ansi.cfg", ansi, charsetAnsi},
                 {"le.cfg", lf_utf16(utf8, true, true), charsetUtf16Le},
                 {"be.cfg", lf_utf16(utf8, false, true), charsetUtf16Be},
                 {"bom.cfg", "\xEF\xBB\xBF" + utf8, charsetUtf8Bom},
                 {"utf8.cfg", utf8, charsetUtf8},
                 {"le-unmarked.cfg", lf_utf16(utf8, true, false), charsetUtf16Le},
                 {"be-unmarked.cfg", lf_utf16(utf8, false, false), charsetUtf16Be}};
    const Lines expectedBeyond{"a=\xF0\x9F\x9B\xAB", "b=\xE2\x9C\x88"};
    EXPECT_EQ(read(charsetUtf16Le, write("le2", lf_utf16(beyondAnsi, true, true))), expectedBeyond);
    EXPECT_EQ(read(charsetUtf16Be, write("be2", lf_utf16(beyondAnsi, false, true))), expectedBeyond);
    for (const auto& file : files) {
        const auto path = write(file.name, file.bytes);
        EXPECT_EQ(gf_detectCharset(path), file.kind) << file.name;
        EXPECT_EQ(read(file.kind, path), expected) << file.name;
    }
}

TEST_F(TextEncodingTest, Windows1252HighTableAndUndefinedBytes) {
    EXPECT_EQ(gf_decodeToUtf8(charsetAnsi, "\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(gf_decodeToUtf8(charsetAnsi, "\x9F"), "\xC5\xB8");     // Y diaeresis
    EXPECT_EQ(gf_decodeToUtf8(charsetAnsi, "\x97"), "\xE2\x80\x94"); // em dash
    EXPECT_EQ(gf_decodeToUtf8(charsetAnsi, "\x81\x8D\x8F\x90\x9D"),
              "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    EXPECT_EQ(gf_decodeToUtf8(charsetAnsi, "\xA0\xFF"), "\xC2\xA0\xC3\xBF");
    // A Windows-1252 text is taken byte for byte, so what looks like a UTF-8 mark stays three characters.
    EXPECT_EQ(gf_decodeToUtf8(charsetAnsi, "\xEF\xBB\xBF"), "\xC3\xAF\xC2\xBB\xC2\xBF");
}

TEST_F(TextEncodingTest, BrokenUtf16BecomesReplacementCharactersWithoutLosingTheRest) {
    const std::string replacement = "\xEF\xBF\xBD";
    // Truncated file: an odd last byte.
    EXPECT_EQ(read(charsetUtf16Le, write("odd", lf_utf16("AB", true, true) + "C")),
              Lines{"AB" + replacement});
    // A high surrogate cut off at the end, and a lone low surrogate in the middle.
    EXPECT_EQ(gf_decodeToUtf8(charsetUtf16Le, std::string("A\0\x3D\xD8", 4)), "A" + replacement);
    EXPECT_EQ(gf_decodeToUtf8(charsetUtf16Be, std::string("\xDC\x00\x00Z", 4)), replacement + "Z");
    // A high surrogate followed by an ordinary unit keeps that unit.
    EXPECT_EQ(gf_decodeToUtf8(charsetUtf16Le, std::string("\x3D\xD8Q\0", 4)), replacement + "Q");
    EXPECT_EQ(gf_decodeToUtf8(charsetUtf16Be, std::string("\xFE", 1)), replacement);
}

TEST_F(TextEncodingTest, InvalidUtf8BytesBecomeReplacementCharacters) {
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(gf_decodeToUtf8(charsetUtf8, "a\xC3(b"), "a" + replacement + "(b");
    EXPECT_EQ(gf_decodeToUtf8(charsetUtf8, "\xC0\xAF"), replacement + replacement); // overlong
    EXPECT_EQ(gf_decodeToUtf8(charsetUtf8, "\xED\xA0\x80"), replacement + replacement + replacement);
    EXPECT_EQ(gf_decodeToUtf8(charsetUtf8Bom, "\xEF\xBB\xBFok\xE2\x82"), "ok" + replacement + replacement);
    EXPECT_EQ(gf_decodeToUtf8(charsetUtf8, "\xF4\x90\x80\x80"),
              replacement + replacement + replacement + replacement);
}

TEST_F(TextEncodingTest, DetectionWithoutAByteOrderMark) {
    EXPECT_EQ(gf_detectCharset(write("ascii", "title=KLM\r\n")), charsetAnsi);
    EXPECT_EQ(gf_detectCharset(write("empty", "")), charsetAnsi);
    EXPECT_EQ(gf_detectCharset(write("utf8", "title=Caf\xC3\xA9\n")), charsetUtf8);
    EXPECT_EQ(gf_detectCharset(write("latin", "title=Caf\xE9\n")), charsetAnsi);
    EXPECT_EQ(gf_detectCharset(write("cut", "title=\xE2\x82")), charsetAnsi);
    EXPECT_EQ(gf_detectCharset(folder / "missing.cfg"), charsetUnreadable);
    EXPECT_EQ(gf_detectCharset(folder.path()), charsetUnreadable);
}

TEST_F(TextEncodingTest, ReadingAppendsAndRefusesWhatItCannotRead) {
    const auto path = write("two", "x\ny\n");
    Lines lines{"before"};
    EXPECT_TRUE(gf_readTextFileLines(charsetUtf8, path, lines));
    EXPECT_EQ(lines, (Lines{"before", "x", "y"}));
    EXPECT_FALSE(gf_readTextFileLines(charsetUnreadable, path, lines));
    EXPECT_FALSE(gf_readTextFileLines(-1, path, lines));
    EXPECT_FALSE(gf_readTextFileLines(charsetAnsi, folder / "missing", lines));
    EXPECT_EQ(lines.size(), 3u);
}

} // namespace
} // namespace kvr
