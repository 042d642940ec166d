#include "bgl_fixtures/bgl_writer.h"

#include <fmt/format.h>

#include <bit>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace kvr::fixtures {

namespace {

constexpr std::uint32_t recordHeaderBytes = 6;
constexpr std::uint32_t airportHeadBytes = 68;
constexpr std::uint32_t helipadBytes = 36;
constexpr std::uint32_t parkingListHeadBytes = 8;
constexpr std::uint32_t parkingEntryBytes = 56;
constexpr std::uint32_t sectionEntryBytes = 20;
constexpr std::uint32_t subsectionEntryBytes = 16;
constexpr std::uint32_t bglMagic = 0x19920201;

constexpr double latitudeStep = 180.0 / 536870912.0;          // 180 / 2^29
constexpr double longitudeStep = 360.0 / (3.0 * 268435456.0); // 360 / (3 x 2^28)

std::uint32_t lf_roundUpToWord(std::size_t bytes) {
    return static_cast<std::uint32_t>((bytes + 3) / 4 * 4);
}

// Bytes of one record or subrecord, written at offsets relative to its start.
class RecordBytes {
public:
    explicit RecordBytes(std::uint32_t size) : bytes_(size, 0) {}

    void put8(std::size_t at, std::uint8_t value) { bytes_.at(at) = value; }
    void put16(std::size_t at, std::uint16_t value) {
        put8(at, static_cast<std::uint8_t>(value));
        put8(at + 1, static_cast<std::uint8_t>(value >> 8));
    }
    void put32(std::size_t at, std::uint32_t value) {
        put16(at, static_cast<std::uint16_t>(value));
        put16(at + 2, static_cast<std::uint16_t>(value >> 16));
    }
    void putFloat(std::size_t at, float value) { put32(at, std::bit_cast<std::uint32_t>(value)); }
    void putHeader(std::uint16_t id, std::optional<std::uint32_t> sizeOverride) {
        put16(0, id);
        put32(2, sizeOverride.value_or(static_cast<std::uint32_t>(bytes_.size())));
    }
    void append(const std::vector<std::uint8_t>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
    }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

std::uint32_t lf_packCoordinate(double steps, double value, const char* what) {
    const double rounded = std::round(steps);
    if (!(rounded >= 0.0 && rounded <= 4294967295.0))
        throw std::invalid_argument(fmt::format("{} {} does not fit a packed coordinate", what, value));
    return static_cast<std::uint32_t>(rounded);
}

std::vector<std::uint8_t> lf_rawBytes(const BglRawRecord& raw) {
    const std::size_t size = recordHeaderBytes + raw.body.size();
    RecordBytes out(raw.padded ? lf_roundUpToWord(size) : static_cast<std::uint32_t>(size));
    for (std::size_t i = 0; i < raw.body.size(); ++i)
        out.put8(recordHeaderBytes + i, raw.body[i]);
    out.putHeader(raw.id, raw.sizeOverride);
    return std::move(out.bytes());
}

std::vector<std::uint8_t> lf_helipadBytes(const BglHelipad& helipad) {
    RecordBytes out(helipadBytes);
    out.putHeader(bglHelipadId, helipad.sizeOverride);
    out.put32(12, bglPackLongitude(helipad.longitude));
    out.put32(16, bglPackLatitude(helipad.latitude));
    out.putFloat(28, helipad.sizeMetres);
    return std::move(out.bytes());
}

std::vector<std::uint8_t> lf_parkingBytes(const BglParking& parking) {
    RecordBytes out(static_cast<std::uint32_t>(parkingEntryBytes + 4 * parking.airlineCodes.size()));
    out.put8(0, parking.nameIndex & 0x3F);
    out.put8(1, static_cast<std::uint8_t>((parking.type & 0x0F) | ((parking.number & 0x0F) << 4)));
    out.put8(2, static_cast<std::uint8_t>((parking.number >> 4) & 0xFF));
    out.put8(3, static_cast<std::uint8_t>(parking.airlineCodes.size()));
    out.putFloat(4, parking.radiusMetres);
    out.putFloat(8, parking.headingDegrees);
    out.put32(28, bglPackLongitude(parking.longitude));
    out.put32(32, bglPackLatitude(parking.latitude));
    for (std::size_t i = 0; i < parking.airlineCodes.size(); ++i)
        out.put32(parkingEntryBytes + 4 * i, parking.airlineCodes[i]);
    return std::move(out.bytes());
}

std::vector<std::uint8_t> lf_parkingListBytes(const BglParkingList& list) {
    RecordBytes out(parkingListHeadBytes);
    for (const BglParking& parking : list.parkings)
        out.append(lf_parkingBytes(parking));
    out.putHeader(bglTaxiwayParkingId, list.sizeOverride);
    out.put16(6, list.countOverride.value_or(static_cast<std::uint16_t>(list.parkings.size())));
    return std::move(out.bytes());
}

std::vector<std::uint8_t> lf_subrecordBytes(const BglSubrecord& subrecord) {
    if (const auto* helipad = std::get_if<BglHelipad>(&subrecord))
        return lf_helipadBytes(*helipad);
    if (const auto* list = std::get_if<BglParkingList>(&subrecord))
        return lf_parkingListBytes(*list);
    return lf_rawBytes(std::get<BglRawRecord>(subrecord));
}

std::vector<std::uint8_t> lf_airportBytes(const BglAirport& airport) {
    RecordBytes out(airportHeadBytes);
    for (const BglSubrecord& subrecord : airport.subrecords)
        out.append(lf_subrecordBytes(subrecord));
    out.putHeader(bglAirportRecordId, airport.sizeOverride);
    out.put32(20, static_cast<std::uint32_t>(airport.altitudeMillimetres));
    out.put32(40, airport.packedIcao.value_or(bglPackIcao(airport.icao)));
    return std::move(out.bytes());
}

std::vector<std::uint8_t> lf_recordBytes(const BglRecord& record) {
    if (const auto* airport = std::get_if<BglAirport>(&record))
        return lf_airportBytes(*airport);
    return lf_rawBytes(std::get<BglRawRecord>(record));
}

} // namespace

std::uint32_t bglPackIcao(std::string_view code) {
    std::uint64_t value = 0;
    for (const char c : code) {
        std::uint64_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<std::uint64_t>(c - '0') + 2;
        else if (c >= 'A' && c <= 'Z')
            digit = static_cast<std::uint64_t>(c - 'A') + 12;
        else
            throw std::invalid_argument(fmt::format("'{}' cannot be packed as an ICAO code", code));
        value = value * 38 + digit;
        if (value > (0xFFFFFFFFu >> 5))
            throw std::invalid_argument(fmt::format("'{}' is too long for a packed ICAO code", code));
    }
    return static_cast<std::uint32_t>(value << 5);
}

std::uint32_t bglPackLatitude(double latitude) {
    return lf_packCoordinate((90.0 - latitude) / latitudeStep, latitude, "latitude");
}

std::uint32_t bglPackLongitude(double longitude) {
    return lf_packCoordinate((longitude + 180.0) / longitudeStep, longitude, "longitude");
}

std::vector<std::uint8_t> bglBytes(const BglFile& file) {
    const auto sectionCount = static_cast<std::uint32_t>(file.sections.size());
    std::vector<std::uint32_t> tableAt(sectionCount);
    std::uint32_t tablesEnd = bglHeaderSize + sectionCount * sectionEntryBytes;
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        tableAt[i] = tablesEnd;
        if (!file.sections[i].tableOfSection)
            tablesEnd += (file.sections[i].emptySubsectionsBefore + 1) * subsectionEntryBytes;
    }
    RecordBytes out(tablesEnd);
    out.put32(0, bglMagic);
    out.put32(4, file.headerSize);
    out.put32(20, file.sectionCountOverride.value_or(sectionCount));
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        const BglSection& section = file.sections[i];
        const std::uint32_t entry = bglHeaderSize + i * sectionEntryBytes;
        out.put32(entry, section.type);
        out.put32(entry + 4, section.sizeCode);
        out.put32(entry + 16, subsectionEntryBytes);
        if (section.tableOfSection) {
            const std::size_t named = section.tableOfSection.value();
            out.put32(entry + 8, section.subsectionCountOverride.value_or(
                                     file.sections.at(named).emptySubsectionsBefore + 1));
            out.put32(entry + 12, tableAt.at(named));
            continue;
        }
        const std::uint32_t subsection = tableAt[i] + section.emptySubsectionsBefore * subsectionEntryBytes;
        const auto firstRecord = static_cast<std::uint32_t>(out.bytes().size());
        for (const BglRecord& record : section.records)
            out.append(lf_recordBytes(record));
        const auto dataSize = static_cast<std::uint32_t>(out.bytes().size()) - firstRecord;
        out.put32(entry + 8, section.subsectionCountOverride.value_or(section.emptySubsectionsBefore + 1));
        out.put32(entry + 12, tableAt[i]);
        out.put32(subsection + 4, static_cast<std::uint32_t>(section.records.size()));
        out.put32(subsection + 8, firstRecord);
        out.put32(subsection + 12, section.subsectionSizeOverride.value_or(dataSize));
    }
    return std::move(out.bytes());
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error(fmt::format("cannot write {}", path.string()));
}

void writeBglFile(const std::filesystem::path& path, const BglFile& file) {
    writeBytes(path, bglBytes(file));
}

BglFile bglFileWith(std::vector<BglRecord> records) {
    BglFile file;
    file.sections.push_back(BglSection{bglAirportSectionType, 0x40000, std::move(records)});
    return file;
}

} // namespace kvr::fixtures
