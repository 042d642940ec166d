#include "core/log.h"
#include "core/native_path.h"
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
constexpr std::uint64_t subsectionEntryBytes = 16;
constexpr std::size_t airportIcaoOffset = 40;
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

// The stretch offset .. offset + count of the file, cut at its end.
BglCursor lf_fileStretch(const BglCursor& file, std::uint64_t offset, std::uint64_t count) {
    if (offset >= file.size())
        return BglCursor({}, file.size());
    return file.slice(static_cast<std::size_t>(offset),
                      static_cast<std::size_t>(std::min<std::uint64_t>(count, file.size() - offset)));
}

enum class WalkEnd { subsection, section, file };

// The records of one subsection. The record count goes on across the subsections of a section, so the
// cap bounds the work per section.
WalkEnd lf_walkRecords(const BglCursor& data, std::size_t& count, const std::filesystem::path& path) {
    for (std::uint64_t r = 0;; ++count) {
        const auto record = lf_recordAt(data, r);
        if (!record)
            return WalkEnd::subsection;
        if (count == maxRecordsPerSection) {
            gf_logError(fmt::format(
                "Error: Maximum loop iterations reached (2) {} possible corrupt BGL or malformed input.",
                cp1252Dash));
            return WalkEnd::section;
        }
        if (!msfs2020Selected.load() && record->id == unsupportedAirportRecordId) {
            lf_reportNotRecognised(path);
            return WalkEnd::file;
        }
        // A record too short for its own header leads nowhere.
        if (record->size < recordHeaderBytes) {
            if (record->id == airportRecordId)
                gf_logError(fmt::format("   Warning: decodeSizeAtBoundary returned {} at o2 = {}",
                                        record->size, lf_wordIndex(record->bytes.fileOffset())));
            return WalkEnd::section;
        }
        if (record->id == airportRecordId) {
            if (record->bytes.size() < airportHeadFieldBytes) {
                lf_logUnfitRecord("airport record", record->bytes.fileOffset(), path);
            } else {
                bool supported = false;
                const std::string code = lf_decodeIcao(record->bytes.u32At(airportIcaoOffset), supported);
                if (supported)
                    lf_decodeAirportRecord(*record, code, path);
            }
        }
        r += record->size;
    }
}

// The subsections of one section, each walked within its own bytes.
bool lf_walkSection(const BglCursor& file, const BglCursor& entry, const std::filesystem::path& path) {
    const std::uint64_t subsections = entry.u32At(8);
    const BglCursor table = lf_fileStretch(file, entry.u32At(12), subsections * subsectionEntryBytes);
    std::size_t count = 0;
    for (std::size_t at = 0; at + subsectionEntryBytes <= table.size(); at += subsectionEntryBytes) {
        const BglCursor subsection = table.slice(at, subsectionEntryBytes);
        const BglCursor data = lf_fileStretch(file, subsection.u32At(8), subsection.u32At(12));
        switch (lf_walkRecords(data, count, path)) {
        case WalkEnd::subsection:
            break;
        case WalkEnd::section:
            return true;
        case WalkEnd::file:
            return false;
        }
    }
    return true;
}

void lf_decodeSections(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& path) {
    const BglCursor file(bytes);
    if (file.size() <= fileHeaderBytes || file.u32At(4) != bglHeaderSize)
        return;
    const std::uint64_t sections = file.u32At(20);
    if (sections == 0 || fileHeaderBytes + sectionEntryBytes * sections > file.size())
        return;
    for (std::size_t i = 0; i < sections; ++i) {
        const BglCursor entry = file.slice(fileHeaderBytes + sectionEntryBytes * i, sectionEntryBytes);
        if (entry.u32At(0) != airportSectionType || !lf_hasShortSubsectionEntries(entry.u32At(4)))
            continue;
        if (!lf_walkSection(file, entry, path))
            return;
    }
}

} // namespace

std::optional<BglRecordView> lf_recordAt(const BglCursor& data, std::uint64_t offset) {
    if (offset > data.size() || data.size() - offset < recordHeaderBytes)
        return std::nullopt;
    const BglCursor header = data.slice(static_cast<std::size_t>(offset), recordHeaderBytes);
    BglRecordView record;
    record.id = header.u16At(0);
    record.size = header.u32At(2);
    const auto at = static_cast<std::size_t>(offset);
    record.bytes = data.slice(at, std::min<std::size_t>(record.size, data.size() - at));
    return record;
}

void lf_logUnfitRecord(std::string_view what, std::size_t fileOffset, const std::filesystem::path& path) {
    gf_logError(fmt::format("   Warning: {} at byte {} of {} cannot hold what it declares, skipped", what,
                            fileOffset, gf_pathToUtf8(path)));
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

std::vector<std::uint8_t> lf_readBglBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    if (end <= 0)
        return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(end));
    in.seekg(0, std::ios::beg);
    in.read(reinterpret_cast<char*>(bytes.data()), end);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

void lf_processBGLfile(const std::filesystem::path& path) {
    try {
        lf_decodeSections(lf_readBglBytes(path), path);
    } catch (const std::exception& error) {
        gf_logError(fmt::format("Exception in lf_processBGLfile (std::ex): {} {} {}", gf_pathToUtf8(path),
                                cp1252Dash, error.what()));
        throw;
    } catch (...) {
        gf_logError(fmt::format("Exception in lf_processBGLfile: {}", gf_pathToUtf8(path)));
        throw;
    }
}

} // namespace kvr
