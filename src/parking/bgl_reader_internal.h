#pragma once
// Decoding of the airport sections of BGL scenery files. The whole file is held as little-endian 32-bit
// words; word index w is byte offset 4 w. Reads beyond the words throw std::out_of_range, which the task
// boundary (lf_processBGLfile) logs and passes on.
#include "parking/stand.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace kvr {

using BglWords = std::vector<std::uint32_t>;

// The dash of code page 1252 that three structural log lines of the decoder carry between their parts.
inline constexpr const char* cp1252Dash = "\x97";

struct HelipadPosition {
    double latitude;
    double longitude;
};

// The cheap pre-check of the scan walk: a header, a section table that fits the file, and a section of
// type 3 (airports). Reads only the header and the section table.
bool lf_hasAirportSection(const std::filesystem::path& path);

// The whole stream as words; a last partial word keeps zero high bytes.
BglWords lf_readBglWords(std::istream& in);

// One scan task: decodes every airport of the file, links or generates its stand file. An exception is
// logged with the file's path and thrown on to the waiting walk.
void lf_processBGLfile(const std::filesystem::path& path);

// Word w of the file; throws std::out_of_range beyond the end.
std::uint32_t lf_word(const BglWords& words, std::size_t w);
// Id and size in bytes of the record or subrecord that starts at word w.
std::uint16_t lf_recordId(const BglWords& words, std::size_t w);
std::uint32_t lf_recordSize(const BglWords& words, std::size_t w);

double lf_unpackLatitude(std::uint32_t value);
double lf_unpackLongitude(std::uint32_t value);

// The ICAO code of a packed word; supported is set when the code is valid and an airport of the data base.
std::string lf_decodeIcao(std::uint32_t word, bool& supported);
// A 3- or 4-character code upper-cased; supported only for 4 characters found in the airport code set.
std::pair<std::string, bool> lf_isRtSupportedAirport(std::string code);

// One airport record at word r of z words: links it to an archived stand file or generates its own.
void lf_decodeAirportRecord(std::size_t r, const BglWords& words, std::size_t z, const std::string& code,
                            const std::filesystem::path& path);
// A new record with the airport's altitude in feet (0 when outside -20..10000 ft).
ApfRecord lf_makeApfRecord(std::size_t r, const BglWords& words);

void lf_readHelipad(std::size_t h, const BglWords& words, ApfRecord& record,
                    std::vector<HelipadPosition>& positions, std::uint32_t& helipadCounter);
void lf_readParkings(std::size_t h, const BglWords& words, ApfRecord& record,
                     std::unordered_set<std::string>& ids, const std::filesystem::path& path);
// The id itself, or it with the first free suffix a..j; none when all are taken.
std::optional<std::string> lf_makeUniqueStandIds(const std::string& id, std::unordered_set<std::string>& ids,
                                                 const std::filesystem::path& path);

} // namespace kvr
