#pragma once
// Writes BGL scenery files from an in-memory description: file header, section table, each section's
// subsection table (one entry for its records, after any empty ones), and the records of each section one
// after the other. Only the fields the airport scan reads carry values; everything else is zero. Every
// size is written from what the record holds unless an override asks for a wrong one, so tests can also
// build the malformed files a reader must survive. All integers are little-endian.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kvr::fixtures {

inline constexpr std::uint32_t bglHeaderSize = 0x38;
inline constexpr std::uint32_t bglAirportSectionType = 3;
inline constexpr std::uint16_t bglAirportRecordId = 0x56;
inline constexpr std::uint16_t bglHelipadId = 0x26;
inline constexpr std::uint16_t bglTaxiwayParkingId = 0xE7;
inline constexpr std::uint16_t bglUnsupportedAirportId = 0x113;

// Name indexes of a parking: 1 "r", 2 "p", ..., 10 "g" (gate), 12.. the letters 'A'.. 'Z'.
inline constexpr std::uint8_t bglNameGate = 10;
inline constexpr std::uint8_t bglNameLetterA = 12;

// Parking types: 1..11, 14, 15 give stands; 5 is a cargo stand; 1..7 and 14 are ramp stands.
inline constexpr std::uint8_t bglTypeRampGa = 1;
inline constexpr std::uint8_t bglTypeRampCargo = 5;
inline constexpr std::uint8_t bglTypeGateSmall = 8;
inline constexpr std::uint8_t bglTypeGateHeavy = 10;

struct BglParking {
    std::uint8_t nameIndex = bglNameGate; // 0..63
    std::uint16_t number = 1;             // 0..4095
    std::uint8_t type = bglTypeGateSmall; // 0..15
    float radiusMetres = 20.0f;
    float headingDegrees = 90.0f;
    double latitude = 0.0;
    double longitude = 0.0;
    std::vector<std::uint32_t> airlineCodes;
};

struct BglParkingList {
    std::vector<BglParking> parkings;
    std::optional<std::uint16_t> countOverride;
    std::optional<std::uint32_t> sizeOverride;
};

struct BglHelipad {
    double latitude = 0.0;
    double longitude = 0.0;
    float sizeMetres = 20.0f; // the scan's radius is half of it
    std::optional<std::uint32_t> sizeOverride;
};

// Any record or subrecord by its id; the body follows the 6-byte header and is padded to whole words
// unless padded is false, when the next record follows at once (a size that is no multiple of 4).
struct BglRawRecord {
    std::uint16_t id = 0;
    std::vector<std::uint8_t> body;
    std::optional<std::uint32_t> sizeOverride;
    bool padded = true;
};

using BglSubrecord = std::variant<BglHelipad, BglParkingList, BglRawRecord>;

struct BglAirport {
    std::string icao; // packed with bglPackIcao unless packedIcao is given
    std::optional<std::uint32_t> packedIcao;
    std::int32_t altitudeMillimetres = 0;
    std::vector<BglSubrecord> subrecords; // in file order
    std::optional<std::uint32_t> sizeOverride;
};

using BglRecord = std::variant<BglAirport, BglRawRecord>;

struct BglSection {
    std::uint32_t type = bglAirportSectionType;
    std::uint32_t sizeCode = 0x40000; // bit 16 set would mean 20-byte subsection entries
    std::vector<BglRecord> records;
    // Subsection entries of size 0 ahead of the one that holds the records; the count includes them.
    std::uint32_t emptySubsectionsBefore = 0;
    // Names the subsection table of that earlier section instead of one of its own; its records are not
    // written.
    std::optional<std::size_t> tableOfSection;
    std::optional<std::uint32_t> subsectionCountOverride;
    std::optional<std::uint32_t> subsectionSizeOverride; // the data size in the entry that holds the records
};

struct BglFile {
    std::uint32_t headerSize = bglHeaderSize;
    std::optional<std::uint32_t> sectionCountOverride;
    std::vector<BglSection> sections;
};

// The packed forms the scan decodes. Throws std::invalid_argument for a code with characters other than
// digits and capital letters or too long for the 27 bits above the low 5, and for a coordinate that does
// not fit its 32-bit field.
std::uint32_t bglPackIcao(std::string_view code);
std::uint32_t bglPackLatitude(double latitude);
std::uint32_t bglPackLongitude(double longitude);

std::vector<std::uint8_t> bglBytes(const BglFile& file);
// Creates the parent folders; throws std::runtime_error when the file cannot be written.
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void writeBglFile(const std::filesystem::path& path, const BglFile& file);

// A file with one airport section holding the given records.
BglFile bglFileWith(std::vector<BglRecord> records);

} // namespace kvr::fixtures
