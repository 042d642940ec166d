#include "core/log.h"
#include "core/native_path.h"
#include "core/shared_state.h"
#include "core/text_util.h"
#include "parking/airport_scan.h"
#include "parking/airport_scan_internal.h"
#include "parking/archive_links_internal.h"
#include "parking/bgl_reader_internal.h"
#include "refdata/airport_table.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace kvr {

namespace {

constexpr std::uint16_t helipadId = 0x26;
constexpr std::uint16_t taxiwayParkingId = 0xE7;
constexpr std::size_t airportAltitudeOffset = 20;
constexpr std::size_t firstSubrecordOffset = 68;
constexpr std::size_t maxSubrecordsPerAirport = 9000;
constexpr std::size_t parkingListHeadBytes = 8;
constexpr std::size_t parkingEntryBytes = 56;          // then 4 bytes per airline code
constexpr double latitudeStep = 3.3527612686157227e-7; // 180 / 2^29
constexpr double longitudeStep = 4.470348358154297e-7; // 360 / (3 x 2^28)
constexpr double millimetresToFeet = 3.2808399 / 1000.0;
constexpr double twoPi = 6.283185307179586;
// Types that are stands: 1-11, 14, 15; ramps among them: 1-7 and 14; type 5 is a cargo ramp.
constexpr std::uint32_t standTypes = 0xCFFE;
constexpr std::uint32_t rampTypes = 0x40FE;
constexpr std::uint32_t cargoType = 5;
constexpr std::string_view simaddonPublisher = "simaddon";

std::string lf_parkingPrefix(std::uint32_t nameIndex) {
    static constexpr std::array<const char*, 12> names{"",   "r",   "p",  "np",  "ep", "sep",
                                                       "sp", "swp", "wp", "nwp", "g",  ""};
    if (nameIndex < names.size())
        return names[nameIndex];
    if (nameIndex < 38)
        return std::string(1, static_cast<char>('A' + (nameIndex - 12)));
    return {};
}

// Inside the globe, and not the 0/0 a missing position leaves behind.
bool lf_isValidPosition(double latitude, double longitude) {
    if (latitude < -90.0 || latitude > 90.0 || longitude < -180.0 || longitude > 180.0)
        return false;
    return std::abs(latitude) > 0.0001 || std::abs(longitude) > 0.0001;
}

std::string lf_positionText(double latitude, double longitude) {
    return fmt::format("{:.6f},{:.6f}", latitude, longitude);
}

void lf_logShortSubrecordSize(std::uint32_t size, std::size_t fileOffset, bool afterHelipad) {
    const std::string warning = fmt::format("   Warning: decodeSizeAtBoundary returned {} at o3 = {}", size,
                                            lf_wordIndex(fileOffset));
    if (afterHelipad) {
        gf_logError(warning);
        return;
    }
    gf_logLine(warning);
    gf_flushLog();
}

// Runs a typed subrecord reader; a subrecord too short for its fields is logged and skipped.
template <typename Read>
void lf_readWhole(std::string_view what, const ApfRecord& record, const BglRecordView& subrecord,
                  const std::filesystem::path& path, Read read) {
    try {
        read();
    } catch (const BglOverrun&) {
        lf_logUnfitRecord(fmt::format("{} of {}", what, record.code), subrecord.bytes.fileOffset(), path);
    }
}

// The subrecords of one airport: its helipads and its first parking list; what follows that list is not read.
void lf_readSubrecords(const BglRecordView& airport, ApfRecord& record,
                       std::vector<HelipadPosition>& helipads, std::uint32_t& helipadCounter, BglWork& work) {
    const BglCursor& data = airport.bytes;
    const std::filesystem::path& path = work.path();
    std::unordered_set<std::string> ids;
    std::uint64_t s = firstSubrecordOffset;
    for (std::size_t count = 0; s < airport.size; ++count) {
        if (count == maxSubrecordsPerAirport) {
            gf_logError(fmt::format(
                "Error: Maximum loop iterations reached (1) {} possible corrupt SIA or malformed input",
                cp1252Dash));
            return;
        }
        const auto subrecord = lf_recordAt(data, s);
        // The airport declares more than its subsection holds.
        if (!subrecord) {
            gf_logLine(fmt::format("   Error: o3={} exceeded data buffer size ({}), aborting.",
                                   lf_wordIndex(data.fileOffset() + s),
                                   lf_wordIndex(data.fileOffset() + data.size() + 3)));
            gf_flushLog();
            return;
        }
        if (!work.take())
            return;
        if (subrecord->id == taxiwayParkingId) {
            // Each parking the list has room for is a step.
            if (work.take(subrecord->bytes.size() / parkingEntryBytes))
                lf_readWhole("parking list", record, *subrecord, path,
                             [&] { lf_readParkings(subrecord->bytes, record, ids, path); });
            return;
        }
        const bool helipad = subrecord->id == helipadId;
        if (helipad)
            lf_readWhole("helipad", record, *subrecord, path,
                         [&] { lf_readHelipad(subrecord->bytes, record, helipads, helipadCounter); });
        if (subrecord->size < recordHeaderBytes) {
            lf_logShortSubrecordSize(subrecord->size, subrecord->bytes.fileOffset(), helipad);
            return;
        }
        // The parking list behind it would lie inside what it declares.
        if (subrecord->size > data.size() - s) {
            gf_logError(
                fmt::format("   Warning: subrecord 0x{:X} of {} at byte {} of {} declares {} bytes where "
                            "its airport holds {}; the rest of the airport is skipped",
                            subrecord->id, record.code, subrecord->bytes.fileOffset(), gf_pathToUtf8(path),
                            subrecord->size, data.size() - s));
            return;
        }
        s += subrecord->size;
    }
}

struct ParkingEntry {
    std::uint32_t head = 0; // name index, type, number, airline-code count
    float radius = 0.0f;
    float heading = 0.0f;
    std::uint32_t longitude = 0;
    std::uint32_t latitude = 0;
    std::size_t fileOffset = 0;
};

// The entries of a parking list, in order, up to the first that does not lie whole inside the list with the
// airline codes it counts. BglOverrun when the list is too short for its own head.
std::vector<ParkingEntry> lf_parkingEntries(const BglCursor& list, std::uint16_t count) {
    BglCursor rest = list.slice(parkingListHeadBytes, list.size() - parkingListHeadBytes);
    std::vector<ParkingEntry> entries;
    entries.reserve(std::min<std::size_t>(count, rest.size() / parkingEntryBytes));
    for (std::uint16_t i = 0; i < count && rest.fits(parkingEntryBytes); ++i) {
        BglCursor entry = rest.rest();
        ParkingEntry parking;
        parking.fileOffset = entry.fileOffset();
        parking.head = entry.u32();
        const std::size_t bytes = parkingEntryBytes + 4 * static_cast<std::size_t>(parking.head >> 24);
        if (!rest.fits(bytes))
            break;
        parking.radius = entry.f32();
        parking.heading = entry.f32();
        parking.longitude = entry.u32At(28);
        parking.latitude = entry.u32At(32);
        rest.skip(bytes);
        entries.push_back(parking);
    }
    return entries;
}

} // namespace

double lf_unpackLatitude(std::uint32_t value) {
    return 90.0 - static_cast<double>(value) * latitudeStep;
}

double lf_unpackLongitude(std::uint32_t value) {
    return static_cast<double>(value) * longitudeStep - 180.0;
}

// The 27 bits above the low 5 hold at most 6 base-38 digits.
std::string lf_decodeIcao(std::uint32_t word, bool& supported) {
    std::uint32_t value = word >> 5;
    bool valid = true;
    std::string code;
    while (value != 0) {
        const std::uint32_t digit = value % 38;
        if (digit < 2) {
            valid = false;
            code.insert(code.begin(), digit == 0 ? ' ' : '?');
        } else {
            code.insert(code.begin(), digit < 12 ? static_cast<char>('0' + (digit - 2))
                                                 : static_cast<char>('A' + (digit - 12)));
        }
        value /= 38;
    }
    if (!valid) {
        supported = false;
        return code;
    }
    auto [checked, known] = lf_isRtSupportedAirport(std::move(code));
    supported = known;
    return checked;
}

std::pair<std::string, bool> lf_isRtSupportedAirport(std::string code) {
    if (code.size() == 3 || code.size() == 4)
        code = gf_toUpper(code);
    if (code.size() != 4)
        return {std::move(code), false};
    if (gf_isKnownAirport(code))
        return {std::move(code), true};
    gf_appendScanMessage(fmt::format("{} is not an airport supported by DezeDerezuv ", code));
    return {std::move(code), false};
}

ApfRecord lf_makeApfRecord(const BglCursor& airport) {
    ApfRecord record;
    const auto millimetres = static_cast<std::int32_t>(airport.u32At(airportAltitudeOffset));
    const long feet = std::lround(static_cast<double>(millimetres) * millimetresToFeet);
    record.altitude = feet < -20 || feet > 10000 ? 0 : static_cast<std::int32_t>(feet);
    return record;
}

void lf_decodeAirportRecord(const BglRecordView& airport, const std::string& code, BglWork& work) {
    ApfRecord record;
    record.code = code;
    std::uint32_t helipadCounter = 1;
    std::uint32_t archivedCount = 0;
    std::vector<HelipadPosition> helipads;
    const bool linked = lf_linkAirports(record, archivedCount, work.path());
    // Under MSFS 2024 the archived file of a linked airport is taken as it is.
    if (!msfs2020Selected.load() && linked)
        return;
    record.altitude = lf_makeApfRecord(airport.bytes).altitude;
    record.airportName.clear();
    lf_readSubrecords(airport, record, helipads, helipadCounter, work);
    // An airport read only in part is not written over a whole one.
    if (work.ended())
        return;

    const std::size_t stands = record.stands.size();
    const bool moreThanArchived = stands > archivedCount && record.publisher != simaddonPublisher;
    if (moreThanArchived)
        gf_appendScanMessage(fmt::format("{}{} has {} parkpos while archived one has {}", "===> ",
                                         record.code, stands, archivedCount));
    if (!linked || moreThanArchived)
        lf_generatePositionFile(record, helipadCounter);
}

void lf_readHelipad(const BglCursor& helipad, ApfRecord& record, std::vector<HelipadPosition>& positions,
                    std::uint32_t& helipadCounter) {
    const double longitude = lf_unpackLongitude(helipad.u32At(12));
    const double latitude = lf_unpackLatitude(helipad.u32At(16));
    const float sizeMetres = helipad.f32At(28);
    const std::string position = lf_positionText(latitude, longitude);
    if (!lf_isValidPosition(latitude, longitude)) {
        gf_appendScanMessage("lat/lon helipad incorrect (skipped): " + position);
        return;
    }
    // A size that is not a number, or a negative one, would give a radius no stand can have.
    if (!std::isfinite(sizeMetres) || sizeMetres < 0.0f) {
        gf_appendScanMessage(fmt::format("helipad size {} incorrect (skipped): {}", sizeMetres, position));
        return;
    }
    for (const HelipadPosition& known : positions)
        if (std::abs(known.latitude - latitude) < 1e-8 && std::abs(known.longitude - longitude) < 1e-8) {
            gf_appendScanMessage("double helipad " + record.airportName + " (skipped) " + position);
            return;
        }
    positions.push_back({latitude, longitude});
    record.stands.emplace_back(fmt::format("helipad{}", helipadCounter), std::vector<StandOption>{},
                               StandPlacement{latitude, longitude, 0.0}, sizeMetres / 2.0, false, false,
                               true);
    ++helipadCounter;
}

void lf_readParkings(const BglCursor& list, ApfRecord& record, std::unordered_set<std::string>& ids,
                     const std::filesystem::path& path) {
    const std::uint16_t declared = list.u16At(6);
    const std::vector<ParkingEntry> entries = lf_parkingEntries(list, declared);
    if (entries.size() < declared)
        gf_logError(
            fmt::format("   Warning: parking list of {} at byte {} of {} holds {} whole parking{} of the "
                        "{} it declares, the rest skipped",
                        record.code, list.fileOffset(), gf_pathToUtf8(path), entries.size(),
                        gf_pluralSuffix(entries.size()), declared));
    for (const ParkingEntry& entry : entries) {
        const double radius = entry.radius;
        const double heading = entry.heading;
        const double longitude = lf_unpackLongitude(entry.longitude);
        const double latitude = lf_unpackLatitude(entry.latitude);
        // Written as a range test so that a radius that is not a number is skipped too.
        if (!(radius > 1.0 && radius < 200.0)) {
            gf_appendScanMessage(
                fmt::format("Skipped position with radius {:.1F} m in {}", radius, gf_pathToUtf8(path)));
            continue;
        }
        const std::uint32_t type = (entry.head >> 8) & 0x0F;
        const std::uint32_t number = ((entry.head >> 8) & 0xFFFF) >> 4;
        const std::string id = lf_parkingPrefix(entry.head & 0x3F) + std::to_string(number);
        if (((standTypes >> type) & 1) == 0)
            continue;
        if (!lf_isValidPosition(latitude, longitude)) {
            gf_appendScanMessage(
                fmt::format("LatLon {} invalid (skipped)", lf_positionText(latitude, longitude)));
            continue;
        }
        if (!std::isfinite(heading)) {
            gf_appendScanMessage(fmt::format("Skipped position with heading {} at byte {} in {}", heading,
                                             entry.fileOffset, gf_pathToUtf8(path)));
            continue;
        }
        const auto uniqueId = lf_makeUniqueStandIds(id, ids, path);
        if (!uniqueId)
            continue;
        // North is kept as a full turn, so the file shows 360.0, which cannot be taken for a missing heading
        // (0).
        const double radians = heading == 0.0 ? twoPi : heading * standDegreesToRadians;
        record.stands.emplace_back(*uniqueId, std::vector<StandOption>{},
                                   StandPlacement{latitude, longitude, radians}, radius, type == cargoType,
                                   ((rampTypes >> type) & 1) != 0, false);
    }
}

std::optional<std::string> lf_makeUniqueStandIds(const std::string& id, std::unordered_set<std::string>& ids,
                                                 const std::filesystem::path& path) {
    if (ids.insert(id).second)
        return id;
    for (char suffix = 'a'; suffix <= 'j'; ++suffix) {
        std::string candidate = id + suffix;
        if (ids.insert(candidate).second)
            return candidate;
    }
    gf_appendScanMessage(
        fmt::format("{}Warning: more than 10 duplicate IDs {} in {}", "===> ", id, gf_pathToUtf8(path)));
    return std::nullopt;
}

} // namespace kvr
