#include "core/file_util.h"

#include "core/log.h"
#include "core/native_path.h"
#include "core/text_util.h"
#include "core/xml_util.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <iterator>

namespace kvr {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view utf8ByteOrderMark = "\xEF\xBB\xBF";

bool lf_hasXmlExtension(const fs::path& path) {
    return gf_toUpper(gf_pathToUtf8(path.extension())) == ".XML";
}

// Entries are collected before anything is removed, because removing while iterating leaves it open
// whether the iterator still visits the rest.
std::vector<fs::path> lf_nonFolderEntries(const fs::path& folder, const char* tag) {
    std::vector<fs::path> entries;
    std::error_code ec;
    if (!fs::exists(folder, ec))
        return entries;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_directory(typeError))
            entries.push_back(it->path());
    }
    if (ec)
        gf_logError(fmt::format("{}: {}: {}", tag, gf_pathToUtf8(folder), ec.message()));
    return entries;
}

} // namespace

void gf_splitLines(std::string_view text, std::vector<std::string>& lines) {
    if (text.substr(0, utf8ByteOrderMark.size()) == utf8ByteOrderMark)
        text.remove_prefix(utf8ByteOrderMark.size());
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
}

void gf_readLines(std::istream& in, std::vector<std::string>& lines) {
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    gf_splitLines(text, lines);
}

bool gf_openInputFile(const fs::path& path, std::ifstream& in) {
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return false;
    in.open(path, std::ios::binary);
    return in.is_open();
}

std::optional<std::string> gf_readFileBytes(const fs::path& path) {
    std::ifstream in;
    if (!gf_openInputFile(path, in))
        return std::nullopt;
    // Block reads: scans read thousands of files, and a character at a time costs more than the disk.
    std::string bytes;
    std::array<char, 16384> block;
    while (in.read(block.data(), block.size()) || in.gcount() > 0)
        bytes.append(block.data(), static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    return bytes;
}

bool gf_writeLines(const std::vector<std::string>& lines, const fs::path& path) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes.push_back('\n');
    }
    return gf_replaceFileAtomically(path, bytes);
}

bool gf_writeFile(std::string_view text, const fs::path& path, bool addLineFeed) {
    std::string bytes(text);
    if (addLineFeed)
        bytes.push_back('\n');
    return gf_replaceFileAtomically(path, bytes);
}

std::size_t gf_countFilesInFolder(const fs::path& folder) {
    if (!fs::exists(folder))
        return 0;
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

fs::path gf_oneGenerationName(const fs::path& path) {
    const std::string name = gf_pathToUtf8(path.filename());
    const std::size_t dot = name.rfind('.');
    const std::size_t at = dot == std::string::npos ? name.size() : dot;
    return path.parent_path() / gf_pathFromUtf8(name.substr(0, at) + "0" + name.substr(at));
}

bool gf_save1GenerationOf(const fs::path& path) {
    const fs::path backup = gf_oneGenerationName(path);
    std::error_code ec;
    gf_copyFileReplacing(path, backup, ec);
    if (ec) {
        gf_logError(fmt::format("gf_save1GenerationOf: could not copy {} to {}: {}", gf_pathToUtf8(path),
                                gf_pathToUtf8(backup), ec.message()));
        return false;
    }
    return true;
}

void gf_removeFileWarn(const fs::path& path) {
    std::error_code ec;
    if (!fs::remove(path, ec) && ec)
        gf_logError(
            fmt::format("Warning: could not remove {}, errorcode: {}", gf_pathToUtf8(path), ec.value()));
}

void gf_removeFilesFromDirectory(const fs::path& folder) {
    for (const fs::path& entry : lf_nonFolderEntries(folder, "gf_removeFilesFromDirectory"))
        gf_removeFileWarn(entry);
}

void gf_removeXMLFilesFromDirectory(const fs::path& folder, const std::set<std::string>& keep) {
    for (const fs::path& entry : lf_nonFolderEntries(folder, "gf_removeXMLFilesFromDirectory"))
        if (lf_hasXmlExtension(entry) && keep.count(gf_pathToUtf8(entry.filename())) == 0)
            gf_removeFileWarn(entry);
}

std::vector<std::string> lf_listXmlStems(const fs::path& folder) {
    std::vector<std::string> stems;
    for (const fs::path& entry : lf_nonFolderEntries(folder, "lf_listXmlStems"))
        if (lf_hasXmlExtension(entry))
            stems.push_back(gf_toUpper(gf_pathToUtf8(entry.stem())));
    std::sort(stems.begin(), stems.end());
    return stems;
}

} // namespace kvr
