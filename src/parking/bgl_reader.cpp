#include "core/log.h"
#include "core/shared_state.h"
#include "parking/airport_scan_internal.h"
#include "parking/archive_links_internal.h"
#include "parking/bgl_reader_internal.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <stdexcept>

namespace kvr {

namespace {

constexpr std::uint64_t fileHeaderBytes = 56;
constexpr std::uint64_t sectionEntryBytes = 20;
constexpr std::size_t sectionTableWord = 14;
constexpr std::size_t sectionEntryWords = 5;
constexpr std::uint32_t bglHeaderSize = 0x38;
constexpr std::uint32_t airportSectionType = 3;
constexpr std::uint16_t airportRecordId = 0x56;
constexpr std::uint16_t unsupportedAirportRecordId = 0x113;
// Bounds the work on a malformed file whose records never lead past the end.
constexpr std::size_t maxRecordsPerSection = 9000;
// Sections are read a slice at a time, so a damaged count cannot make the pre-check read a whole file.
constexpr std::uint64_t sectionEntriesPerRead = 4096;

std::uint32_t lf_littleEndian(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

bool lf_readAt(std::istream& in, std::uint64_t offset, char* into, std::uint64_t count) {
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(into, static_cast<std::streamsize>(count));
    return static_cast<std::uint64_t>(in.gcount()) == count;
}

// Only sections whose subsection entries are 16 bytes long are decoded.
bool lf_hasShortSubsectionEntries(std::uint32_t sizeCode) {
    return ((sizeCode & 0x10000) | 0x40000) == 0x40000;
}

// The records of one section from word r on; the walk runs until the data, the record sizes or the cap
// end it. False when the file must not be decoded any further.
bool lf_walkRecords(std::size_t r, const BglWords& words, const std::filesystem::path& path) {
    const std::size_t n = words.size();
    for (std::size_t count = 0;; ++count) {
        if (r + 1 >= n)
            return true;
        if (count == maxRecordsPerSection) {
            gf_logError(fmt::format(
                "Error: Maximum loop iterations reached (2) {} possible corrupt BGL or malformed input.",
                cp1252Dash));
            return true;
        }
        const std::uint16_t id = lf_recordId(words, r);
        if (!msfs2020Selected.load() && id == unsupportedAirportRecordId) {
            lf_reportNotRecognised(path);
            return false;
        }
        const std::size_t z = lf_recordSize(words, r) / 4;
        if (id == airportRecordId) {
            if (z == 0) {
                gf_logError(fmt::format("   Warning: decodeSizeAtBoundary returned {} at o2 = {}", 0, r));
                return true;
            }
            if (r + 10 < n) {
                bool supported = false;
                const std::string code = lf_decodeIcao(words[r + 10], supported);
                if (supported)
                    lf_decodeAirportRecord(r, words, z, code, path);
            }
        }
        if (z == 0)
            return true;
        r += z;
    }
}

void lf_decodeSections(const BglWords& words, const std::filesystem::path& path) {
    const std::size_t n = words.size();
    if (n <= sectionTableWord || words[1] != bglHeaderSize)
        return;
    const std::uint64_t sections = words[5];
    if (sections == 0 || sectionTableWord + sectionEntryWords * sections > n)
        return;
    for (std::size_t i = 0; i < sections; ++i) {
        const std::size_t e = sectionTableWord + sectionEntryWords * i;
        if (words[e] != airportSectionType || !lf_hasShortSubsectionEntries(words[e + 1]))
            continue;
        const std::size_t t = words[e + 3] / 4 + 2;
        if (t >= n)
            continue;
        if (!lf_walkRecords(words[t] / 4, words, path))
            return;
    }
}

} // namespace

std::uint32_t lf_word(const BglWords& words, std::size_t w) {
    if (w >= words.size())
        throw std::out_of_range(
            fmt::format("BGL word {} lies beyond the {} words of the file", w, words.size()));
    return words[w];
}

std::uint16_t lf_recordId(const BglWords& words, std::size_t w) {
    return static_cast<std::uint16_t>(lf_word(words, w) & 0xFFFF);
}

std::uint32_t lf_recordSize(const BglWords& words, std::size_t w) {
    return lf_word(words, w) >> 16 | lf_word(words, w + 1) << 16;
}

bool lf_hasAirportSection(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    if (end < static_cast<std::streamoff>(fileHeaderBytes + 1))
        return false;
    const auto size = static_cast<std::uint64_t>(end);
    std::array<unsigned char, 4> count{};
    if (!lf_readAt(in, 20, reinterpret_cast<char*>(count.data()), count.size()))
        return false;
    const std::uint64_t sections = lf_littleEndian(count.data());
    if (sections == 0 || sections > (size - fileHeaderBytes) / sectionEntryBytes)
        return false;
    std::vector<unsigned char> table;
    for (std::uint64_t first = 0; first < sections; first += sectionEntriesPerRead) {
        const std::uint64_t entries = std::min(sectionEntriesPerRead, sections - first);
        table.resize(entries * sectionEntryBytes);
        if (!lf_readAt(in, fileHeaderBytes + first * sectionEntryBytes, reinterpret_cast<char*>(table.data()),
                       table.size()))
            return false;
        for (std::uint64_t i = 0; i < entries; ++i)
            if (lf_littleEndian(table.data() + i * sectionEntryBytes) == airportSectionType)
                return true;
    }
    return false;
}

BglWords lf_readBglWords(std::istream& in) {
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    if (end <= 0)
        return {};
    std::vector<unsigned char> bytes(static_cast<std::size_t>(end));
    in.seekg(0, std::ios::beg);
    in.read(reinterpret_cast<char*>(bytes.data()), end);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    const std::size_t whole = bytes.size() / 4;
    BglWords words((bytes.size() + 3) / 4, 0);
    for (std::size_t w = 0; w < whole; ++w)
        words[w] = lf_littleEndian(bytes.data() + 4 * w);
    for (std::size_t i = 4 * whole; i < bytes.size(); ++i)
        words[whole] |= static_cast<std::uint32_t>(bytes[i]) << (8 * (i % 4));
    return words;
}

void lf_processBGLfile(const std::filesystem::path& path) {
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return;
        lf_decodeSections(lf_readBglWords(in), path);
    } catch (const std::exception& error) {
        gf_logError(fmt::format("Exception in lf_processBGLfile (std::ex): {} {} {}", lf_utf8Path(path),
                                cp1252Dash, error.what()));
        throw;
    } catch (...) {
        gf_logError(fmt::format("Exception in lf_processBGLfile: {}", lf_utf8Path(path)));
        throw;
    }
}

} // namespace kvr
