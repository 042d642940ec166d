#include "refdata/airport_table.h"

#include "core/log.h"
#include "core/native_path.h"
#include "core/user_error.h"
#include "refdata/airport_table_internal.h"
#include "refdata/stream_decrypt.h"
#include "refdata/xml_fields.h"
#include "refdata/xml_scanner.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace kvr {

std::vector<Airport> airportTable;
std::unordered_set<std::string> airportCodeSet;

namespace {

constexpr int airportsError = 88;

bool airportsRead = false;
bool airportsFound = false;

std::optional<Airport> lf_readAirportElement(const XmlElement& element, ReadProblems& problems) {
    std::optional<std::string_view> code, iata, name, lat, lon, alt, stands;
    element.pickAttributes({{"code", &code},
                            {"iata", &iata},
                            {"name", &name},
                            {"lat", &lat},
                            {"lon", &lon},
                            {"alt", &alt},
                            {"stands", &stands}});
    Airport airport;
    airport.code = code.value_or("");
    if (airport.code.empty()) {
        problems.add(fmt::format("airport at offset {} has no code", element.offset));
        return std::nullopt;
    }
    airport.iata = iata.value_or("");
    airport.name = name.value_or("");
    const auto latitude = gf_attributeDouble(lat);
    const auto longitude = gf_attributeDouble(lon);
    if (!latitude || !longitude || std::abs(*latitude) > 90.0 || std::abs(*longitude) > 180.0) {
        problems.add(fmt::format("airport {} has no valid position ('{}', '{}')", airport.code,
                                 lat.value_or(""), lon.value_or("")));
        return std::nullopt;
    }
    airport.latitude = *latitude;
    airport.longitude = *longitude;
    if (alt && !alt->empty()) {
        const auto altitude = gf_attributeDouble(alt);
        if (!altitude) {
            problems.add(fmt::format("airport {} has a bad altitude '{}'", airport.code, *alt));
            return std::nullopt;
        }
        airport.altitude = *altitude;
    }
    if (stands && !stands->empty()) {
        const auto count = gf_attributeInt(stands);
        if (!count || *count < 0) {
            problems.add(fmt::format("airport {} has a bad stand count '{}'", airport.code, *stands));
            return std::nullopt;
        }
        airport.stands = *count;
    }
    return airport;
}

bool lf_byCode(const Airport& a, const Airport& b) {
    return a.code < b.code;
}

char lf_asciiUpper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::string lf_asciiUpper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return lf_asciiUpper(c); });
    return upper;
}

} // namespace

bool lf_readAirportsFile(const std::filesystem::path& encryptedFile) {
    const std::string fileName = gf_pathToUtf8(encryptedFile);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(encryptedFile, ec))
        throw UserErrorException(airportsError, fmt::format("{} not available", fileName));

    std::vector<Airport> table;
    {
        // The text is read while it is being decrypted; a decryption failure counts before anything the
        // partial text showed.
        const DecryptingBuffer plain(encryptedFile);
        // At least 100 bytes of text per airport: the table is reserved once instead of grown.
        table.reserve(plain.capacity() / 100);
        ReadProblems problems("gf_readAirports");
        bool isAirports = false;
        const auto fault = gf_scanXml(plain, [&](const XmlElement& element) {
            if (element.depth == 0)
                isAirports = element.name == "airports";
            else if (isAirports && element.depth == 1 && element.name == "airport")
                if (auto airport = lf_readAirportElement(element, problems))
                    table.push_back(std::move(*airport));
        });
        if (const std::string error = plain.waitForError(); !error.empty())
            throw UserErrorException(airportsError,
                                     fmt::format("{} stream decrypt failed: {}", fileName, error));
        if (fault)
            throw UserErrorException(airportsError,
                                     fmt::format("{} does not parse: {} at line {}, column {}", fileName,
                                                 fault->description, fault->line, fault->column));
        if (!isAirports)
            throw UserErrorException(airportsError, fmt::format("{} has no <airports> element", fileName));

        // The data files come sorted; sorting only what is not spares moving every record.
        if (!std::is_sorted(table.begin(), table.end(), lf_byCode))
            std::stable_sort(table.begin(), table.end(), lf_byCode);
        // The first of a repeated code stays, as a lookup by code could never reach the others.
        const auto repeated =
            std::unique(table.begin(), table.end(), [&](const Airport& kept, const Airport& next) {
                if (kept.code != next.code)
                    return false;
                problems.add(
                    fmt::format("airport {} appears more than once; the first entry is used", next.code));
                return true;
            });
        table.erase(repeated, table.end());
        problems.logRest();
    }
    // A file without a single usable airport is a failed reading, not an empty world: the table keeps
    // what it held.
    if (table.empty()) {
        gf_logError(fmt::format("gf_readAirports: {} holds no airports", fileName));
        return false;
    }

    airportTable = std::move(table);
    airportCodeSet.clear();
    airportCodeSet.reserve(airportTable.size());
    for (const Airport& airport : airportTable)
        airportCodeSet.insert(airport.code);
    gf_logLine(fmt::format("{} airports read from {}", airportTable.size(), fileName));
    return true;
}

bool gf_readAirports() {
    if (!airportsRead) {
        airportsFound = lf_readAirportsFile(std::filesystem::path("input") / "airports.enc");
        airportsRead = true;
    }
    return airportsFound;
}

std::optional<Airport> gf_findAirport(std::string_view code) {
    const auto it = std::lower_bound(airportTable.begin(), airportTable.end(), code,
                                     [](const Airport& a, std::string_view c) { return a.code < c; });
    if (it == airportTable.end() || it->code != code)
        return std::nullopt;
    return *it;
}

bool gf_isKnownAirport(std::string_view code) {
    return airportCodeSet.contains(std::string(code));
}

std::string gf_airportDisplayText(const Airport& airport) {
    std::string text = airport.code.empty() ? "?" : airport.code;
    if (!airport.name.empty())
        text += " (" + airport.name + ")";
    return text;
}

std::string gf_airportCodeFromName(std::string_view name) {
    const std::string head = lf_asciiUpper(name.substr(0, 4));
    // In a table sorted by code a prefix sorts before every longer code it begins, so the shortest
    // matching prefix is the first match in table order.
    for (std::size_t length = 1; length <= head.size(); ++length) {
        const std::string_view prefix(head.data(), length);
        if (gf_findAirport(prefix))
            return std::string(prefix);
    }
    return {};
}

std::string gf_airportCodeInPath(std::string_view pathText) {
    const std::string upper = lf_asciiUpper(pathText);
    std::vector<std::size_t> dashes;
    for (std::size_t i = 0; i < upper.size(); ++i)
        if (upper[i] == '-')
            dashes.push_back(i);
    std::unordered_set<std::string> between;
    for (std::size_t a = 0; a < dashes.size(); ++a)
        for (std::size_t b = a + 1; b < dashes.size(); ++b)
            between.insert(upper.substr(dashes[a] + 1, dashes[b] - dashes[a] - 1));
    if (between.empty())
        return {};
    for (const Airport& airport : airportTable)
        if (between.contains(lf_asciiUpper(airport.code)))
            return airport.code;
    return {};
}

} // namespace kvr
