// Text decoding of files from other makers: the encoding guess, the decoding of every kind and the line
// split.
#include "core/file_util.h"
#include "core/text_encoding.h"
#include "fuzz_support.h"

#include <string>
#include <vector>

namespace {

using namespace kvr;

// What gf_splitLines promises: the lines joined by LF give the text back, without its byte-order mark,
// with one CR dropped before each LF, and with a final LF giving no extra line.
void checkLines(std::string_view text, const std::vector<std::string>& lines) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::string expected;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            expected += text[i];
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(lines[i].find('\n') == std::string::npos);
        joined += lines[i];
        if (i + 1 < lines.size() || expected.ends_with('\n'))
            joined += '\n';
    }
    FUZZ_CHECK(joined == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::asText(data, size);
    for (std::int32_t kind = charsetAnsi; kind <= charsetUtf8; ++kind) {
        const std::string text = gf_decodeToUtf8(kind, bytes);
        FUZZ_CHECK(fuzz::isValidUtf8(text));
        std::vector<std::string> lines;
        gf_splitLines(text, lines);
        checkLines(text, lines);
    }
    // Valid UTF-8 comes through unchanged, apart from a leading byte-order mark.
    if (fuzz::isValidUtf8(bytes)) {
        std::string_view body = bytes;
        if (body.starts_with("\xEF\xBB\xBF"))
            body.remove_prefix(3);
        FUZZ_CHECK(gf_decodeToUtf8(charsetUtf8, bytes) == body);
    }
    FUZZ_CHECK(gf_decodeToUtf8(charsetUnreadable, bytes) == bytes);
    std::vector<std::string> raw;
    gf_splitLines(bytes, raw);
    checkLines(bytes, raw);

    const std::filesystem::path file = fuzz::scratchFolder() / "aircraft.cfg";
    fuzz::writeInput(file, bytes);
    const std::int32_t kind = gf_detectCharset(file);
    FUZZ_CHECK(kind >= charsetAnsi && kind <= charsetUtf8);
    std::vector<std::string> lines;
    FUZZ_CHECK(gf_readTextFileLines(kind, file, lines));
    std::vector<std::string> expected;
    gf_splitLines(gf_decodeToUtf8(kind, bytes), expected);
    FUZZ_CHECK(lines == expected);
    return 0;
}
