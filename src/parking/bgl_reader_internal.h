#pragma once
// Decoding of the airport sections of BGL scenery files. The whole file is held as bytes and read through
// nested bounded cursors: sections, subsections, records and subrecords each see only their own bytes, so
// a size that is wrong costs that record, never its neighbours. All integers are little-endian.
#include "parking/bgl_cursor.h"
#include "parking/stand.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace kvr {

// The dash of code page 1252 that three structural log lines of the decoder carry between their parts.
inline constexpr const char* cp1252Dash = "\x97";

struct HelipadPosition {
    double latitude;
    double longitude;
};

// One record or subrecord: its id, its declared size in bytes (header included) and the bytes it may
// use: the declared size, cut short where its subsection or airport record ends.
struct BglRecordView {
    std::uint16_t id = 0;
    std::uint32_t size = 0;
    BglCursor bytes{{}};
};

// The header every record and subrecord starts with: a 2-byte id and a 4-byte size.
inline constexpr std::uint32_t recordHeaderBytes = 6;

// The record whose header lies at `offset` of `data`; none when the header does not fit.
std::optional<BglRecordView> lf_recordAt(const BglCursor& data, std::uint64_t offset);

// The cheap pre-check of the scan walk: a header, a section table that fits the file, and a section of
// type 3 (airports). Reads only the header and the section table, which ends where the first subsection
// table it names begins, whatever count the header declares.
bool lf_hasAirportSection(const std::filesystem::path& path);

// The file's bytes as the task reads them: one buffer of the declared size (the size when the file was
// opened), cut to what came; fewer when a stop ends the reading.
std::vector<std::uint8_t> lf_readBglBytes(std::istream& in, std::uint64_t declared,
                                          const std::stop_token& stop);

// Files above this size are skipped. An airport scenery file holds the facility data of its airports
// (runways, aprons, taxiways, parkings, painted lines) and the placements of its objects, a few MB even for
// the largest airports; models, textures and terrain go to files of their own, which have no airport
// section. The cap also bounds the memory of the scan: every task holds its whole file.
inline constexpr std::uint64_t maxBglFileBytes = std::uint64_t{64} << 20;

// The work on one file. Every section entry, subsection entry, record, subrecord and parking looked at is a
// step. An honest file needs fewer steps than it has bytes: its tables, records and parkings do not overlap
// and each takes at least 6 bytes (subrecords lie inside their airport, so those bytes count twice). So
// its size bounds the work on a file however its sizes and offsets point; the stop token ends it sooner.
class BglWork {
public:
    BglWork(std::filesystem::path path, std::uint64_t fileBytes, std::stop_token stop = {});
    // Takes count steps; false, logged once, when the steps are used up or the task was asked to stop.
    bool take(std::uint64_t count = 1);
    bool ended() const { return ended_; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::uint64_t fileBytes_;
    std::uint64_t stepsLeft_;
    std::stop_token stop_;
    bool ended_ = false;
};

// One scan task: decodes every airport of the file, links or generates its stand file. An exception is
// logged with the file's path and thrown on to the waiting walk. The task ends early, without writing a
// half-read airport, when its stop token asks for it.
void lf_processBGLfile(const std::filesystem::path& path, std::stop_token stop = {});

// The word index of a file offset, as the structural log lines give positions.
inline std::size_t lf_wordIndex(std::size_t fileOffset) {
    return fileOffset / 4;
}
// Logs a record that is too short for the fields it must hold, or for what it declares; it is skipped.
void lf_logUnfitRecord(std::string_view what, std::size_t fileOffset, const std::filesystem::path& path);

double lf_unpackLatitude(std::uint32_t value);
double lf_unpackLongitude(std::uint32_t value);

// The ICAO code of a packed word; supported is set when the code is valid and an airport of the data base.
std::string lf_decodeIcao(std::uint32_t word, bool& supported);
// A 3- or 4-character code upper-cased; supported only for 4 characters found in the airport code set.
std::pair<std::string, bool> lf_isRtSupportedAirport(std::string code);

// Bytes an airport record needs for the fields read before its subrecords (altitude, ICAO code).
inline constexpr std::size_t airportHeadFieldBytes = 44;

// One airport record (at least airportHeadFieldBytes long): links it to an archived stand file or
// generates its own.
void lf_decodeAirportRecord(const BglRecordView& airport, const std::string& code, BglWork& work);
// A new record with the airport's altitude in feet (0 when outside -20..10000 ft).
ApfRecord lf_makeApfRecord(const BglCursor& airport);

// The typed subrecord readers. A helipad field outside the subrecord throws BglOverrun before anything is
// added; a parking list gives the parkings that lie whole inside it and logs the rest.
void lf_readHelipad(const BglCursor& helipad, ApfRecord& record, std::vector<HelipadPosition>& positions,
                    std::uint32_t& helipadCounter);
void lf_readParkings(const BglCursor& list, ApfRecord& record, std::unordered_set<std::string>& ids,
                     const std::filesystem::path& path);
// The id itself, or it with the first free suffix a..j; none when all are taken.
std::optional<std::string> lf_makeUniqueStandIds(const std::string& id, std::unordered_set<std::string>& ids,
                                                 const std::filesystem::path& path);

} // namespace kvr
