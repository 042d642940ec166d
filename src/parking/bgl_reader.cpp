#include "core/log.h"
#include "core/native_path.h"
#include "core/shared_state.h"
#include "core/text_util.h"
#include "parking/airport_scan_internal.h"
#include "parking/archive_links_internal.h"
#include "parking/bgl_reader_internal.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <stdexcept>
#include <unordered_set>

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
constexpr std::size_t readChunkBytes = std::size_t{1} << 20;

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

std::uint64_t lf_streamSize(std::istream& in) {
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    in.clear();
    return end > 0 ? static_cast<std::uint64_t>(end) : 0;
}

// A section table ends where the first subsection table it names begins, so the header's count is only an
// upper bound: a damaged count would make the pre-check read the file's data as entries, on the run thread.
// An entry that names bytes before its own end has no real subsection table: the table ends before it.
bool lf_holdsAirportSection(std::istream& in, std::uint64_t size) {
    if (size < fileHeaderBytes + 1)
        return false;
    std::array<unsigned char, 4> count{};
    if (!lf_readAt(in, 20, reinterpret_cast<char*>(count.data()), count.size()))
        return false;
    const std::uint64_t sections = lf_littleEndian(count.data());
    if (sections == 0 || sections > (size - fileHeaderBytes) / sectionEntryBytes)
        return false;
    std::uint64_t tableEnd = fileHeaderBytes + sections * sectionEntryBytes;
    std::vector<unsigned char> slice;
    // The first entry alone: in an honest file its subsection table follows the section table at once.
    for (std::uint64_t at = fileHeaderBytes, perRead = 1; at + sectionEntryBytes <= tableEnd;
         perRead = sectionEntriesPerRead) {
        const std::uint64_t entries = std::min(perRead, (tableEnd - at) / sectionEntryBytes);
        slice.resize(entries * sectionEntryBytes);
        if (!lf_readAt(in, at, reinterpret_cast<char*>(slice.data()), slice.size()))
            return false;
        for (std::uint64_t i = 0; i < entries; ++i, at += sectionEntryBytes) {
            if (at + sectionEntryBytes > tableEnd)
                return false;
            const unsigned char* entry = slice.data() + i * sectionEntryBytes;
            if (lf_littleEndian(entry) == airportSectionType)
                return true;
            const std::uint64_t subsectionTable = lf_littleEndian(entry + 12);
            if (subsectionTable < at + sectionEntryBytes)
                return false;
            tableEnd = std::min(tableEnd, subsectionTable);
        }
    }
    return false;
}

} // namespace

// One buffer of the size the file has when its task opens it, filled a chunk at a time so that a stop ends
// the reading too. A buffer grown while reading would hold the file's bytes twice at its last growth; bytes
// appended after the opening are not read.
std::vector<std::uint8_t> lf_readBglBytes(std::istream& in, std::uint64_t declared,
                                          const std::stop_token& stop) {
    in.clear();
    in.seekg(0, std::ios::beg);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(declared));
    std::size_t have = 0;
    while (have < bytes.size() && !stop.stop_requested()) {
        const std::size_t chunk = std::min(readChunkBytes, bytes.size() - have);
        in.read(reinterpret_cast<char*>(bytes.data() + have), static_cast<std::streamsize>(chunk));
        have += static_cast<std::size_t>(in.gcount());
        if (static_cast<std::size_t>(in.gcount()) < chunk)
            break;
    }
    bytes.resize(have);
    return bytes;
}

namespace {

// One file's walk: its bytes, its work, and what it has walked, so that each subsection and each airport
// is taken once however many entries name them.
struct FileWalk {
    BglCursor file;
    BglWork& work;
    std::unordered_set<std::uint64_t> walkedSubsections; // file offset x 2^32 + size
    std::unordered_set<std::size_t> decodedAirports;     // file offsets of their records
    std::size_t repeatedSubsections = 0;
};

enum class WalkEnd { subsection, section, file };

// Counts one more record, or subsection entry without records, of a section; false, logged, at the cap.
bool lf_countTowardCap(std::size_t& count) {
    if (count == maxRecordsPerSection) {
        gf_logError(fmt::format(
            "Error: Maximum loop iterations reached (2) {} possible corrupt BGL or malformed input.",
            cp1252Dash));
        return false;
    }
    ++count;
    return true;
}

// The records of one subsection. The cap's count goes on across the subsections of a section.
WalkEnd lf_walkRecords(FileWalk& walk, const BglCursor& data, std::size_t& count) {
    const std::filesystem::path& path = walk.work.path();
    for (std::uint64_t r = 0;;) {
        const auto record = lf_recordAt(data, r);
        if (!record)
            return WalkEnd::subsection;
        if (!walk.work.take())
            return WalkEnd::file;
        if (!lf_countTowardCap(count))
            return WalkEnd::section;
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
        // What follows it in the subsection, airports too, lies inside what it declares.
        if (record->size > data.size() - r)
            gf_logError(fmt::format("   Warning: record 0x{:X} at byte {} of {} declares {} bytes where its "
                                    "subsection holds {}; the rest of the subsection is skipped",
                                    record->id, record->bytes.fileOffset(), gf_pathToUtf8(path), record->size,
                                    data.size() - r));
        if (record->id == airportRecordId && walk.decodedAirports.insert(record->bytes.fileOffset()).second) {
            if (record->bytes.size() < airportHeadFieldBytes) {
                lf_logUnfitRecord("airport record", record->bytes.fileOffset(), path);
            } else {
                bool supported = false;
                const std::string code = lf_decodeIcao(record->bytes.u32At(airportIcaoOffset), supported);
                if (supported)
                    lf_decodeAirportRecord(*record, code, walk.work);
            }
        }
        r += record->size;
    }
}

// The subsections of one section, each walked within its own bytes and once per file.
bool lf_walkSection(FileWalk& walk, const BglCursor& entry, std::size_t index) {
    const std::uint64_t subsections = entry.u32At(8);
    if (subsections == 0) {
        gf_logError(fmt::format("   Warning: airport section {} of {} names no subsections, skipped", index,
                                gf_pathToUtf8(walk.work.path())));
        return true;
    }
    const BglCursor table = lf_fileStretch(walk.file, entry.u32At(12), subsections * subsectionEntryBytes);
    std::size_t count = 0;
    std::size_t empty = 0;
    WalkEnd end = WalkEnd::subsection;
    for (std::size_t at = 0; end == WalkEnd::subsection && at + subsectionEntryBytes <= table.size();
         at += subsectionEntryBytes) {
        if (!walk.work.take()) {
            end = WalkEnd::file;
            break;
        }
        const BglCursor subsection = table.slice(at, subsectionEntryBytes);
        const std::uint64_t offset = subsection.u32At(8);
        const std::uint64_t size = subsection.u32At(12);
        const BglCursor data = lf_fileStretch(walk.file, offset, size);
        if (data.size() < recordHeaderBytes) {
            ++empty;
        } else if (!walk.walkedSubsections.insert(offset << 32 | size).second) {
            ++walk.repeatedSubsections;
        } else {
            end = lf_walkRecords(walk, data, count);
            continue;
        }
        // Entries without records are counted toward the cap as well: they cost a step each.
        if (!lf_countTowardCap(count))
            end = WalkEnd::section;
    }
    if (empty > 0)
        gf_logError(fmt::format("   Warning: {} subsection{} of airport section {} of {} hold{} no record "
                                "(size 0 or beyond the end of the file)",
                                empty, gf_pluralSuffix(empty), index, gf_pathToUtf8(walk.work.path()),
                                empty == 1 ? "s" : ""));
    return end != WalkEnd::file;
}

void lf_decodeSections(FileWalk& walk) {
    const BglCursor& file = walk.file;
    if (file.size() <= fileHeaderBytes || file.u32At(4) != bglHeaderSize)
        return;
    const std::uint64_t sections = file.u32At(20);
    if (sections == 0 || fileHeaderBytes + sectionEntryBytes * sections > file.size())
        return;
    for (std::size_t i = 0; i < sections && walk.work.take(); ++i) {
        const BglCursor entry = file.slice(fileHeaderBytes + sectionEntryBytes * i, sectionEntryBytes);
        if (entry.u32At(0) != airportSectionType || !lf_hasShortSubsectionEntries(entry.u32At(4)))
            continue;
        if (!lf_walkSection(walk, entry, i))
            break;
    }
    if (walk.repeatedSubsections > 0)
        gf_logError(
            fmt::format("   Warning: {} subsection entr{} of {} name a subsection walked before, skipped",
                        walk.repeatedSubsections, walk.repeatedSubsections == 1 ? "y" : "ies",
                        gf_pathToUtf8(walk.work.path())));
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
    return in && lf_holdsAirportSection(in, lf_streamSize(in));
}

BglWork::BglWork(std::filesystem::path path, std::uint64_t fileBytes, std::stop_token stop)
    : path_(std::move(path)), fileBytes_(fileBytes), stepsLeft_(fileBytes), stop_(std::move(stop)) {}

bool BglWork::take(std::uint64_t count) {
    if (ended_)
        return false;
    if (stop_.stop_requested()) {
        gf_logError(fmt::format("   Warning: decoding of {} stopped before its end: the scan was stopped or "
                                "gave up waiting for it",
                                gf_pathToUtf8(path_)));
        ended_ = true;
    } else if (count > stepsLeft_) {
        gf_logError(
            fmt::format("Error: {} needs more work than its {} bytes can hold, possible corrupt BGL or "
                        "malformed input; the rest of it is skipped",
                        gf_pathToUtf8(path_), fileBytes_));
        ended_ = true;
    } else {
        stepsLeft_ -= count;
    }
    return !ended_;
}

void lf_processBGLfile(const std::filesystem::path& path, std::stop_token stop) {
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return;
        const std::uint64_t declared = lf_streamSize(in);
        if (declared > maxBglFileBytes) {
            gf_logError(
                fmt::format("   Warning: {} is larger than {} MiB, more than any airport scenery file "
                            "holds, skipped",
                            gf_pathToUtf8(path), maxBglFileBytes >> 20));
            return;
        }
        const std::vector<std::uint8_t> bytes = lf_readBglBytes(in, declared, stop);
        BglWork work(path, bytes.size(), std::move(stop));
        // A stop that came while the file was read ends the task here, logged as one during the walk.
        if (!work.take(0))
            return;
        FileWalk walk{BglCursor(bytes), work, {}, {}, 0};
        lf_decodeSections(walk);
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
