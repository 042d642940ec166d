#include "refdata/airport_table.h"

#include "core/log.h"
#include "core/user_error.h"
#include "refdata/airport_table_internal.h"
#include "refdata/stream_decrypt.h"
#include "refdata/xml_fields.h"

#include <fmt/format.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace kvr {

std::vector<Airport> airportTable;
std::unordered_set<std::string> airportCodeSet;

namespace {

constexpr int airportsError = 88;

bool airportsRead = false;

std::optional<Airport> lf_readAirportElement(const pugi::xml_node& node, ReadProblems& problems) {
    Airport airport;
    airport.code = node.attribute("code").value();
    if (airport.code.empty()) {
        problems.add(fmt::format("airport at offset {} has no code", node.offset_debug()));
        return std::nullopt;
    }
    airport.iata = node.attribute("iata").value();
    airport.name = node.attribute("name").value();
    const auto latitude = gf_attributeDouble(node, "lat");
    const auto longitude = gf_attributeDouble(node, "lon");
    if (!latitude || !longitude || std::abs(*latitude) > 90.0 || std::abs(*longitude) > 180.0) {
        problems.add(fmt::format("airport {} has no valid position ('{}', '{}')", airport.code,
                                 node.attribute("lat").value(), node.attribute("lon").value()));
        return std::nullopt;
    }
    airport.latitude = *latitude;
    airport.longitude = *longitude;
    if (!node.attribute("alt").empty()) {
        const auto altitude = gf_attributeDouble(node, "alt");
        if (!altitude) {
            problems.add(fmt::format("airport {} has a bad altitude '{}'", airport.code,
                                     node.attribute("alt").value()));
            return std::nullopt;
        }
        airport.altitude = *altitude;
    }
    if (!node.attribute("stands").empty()) {
        const auto stands = gf_attributeInt(node, "stands");
        if (!stands || *stands < 0) {
            problems.add(fmt::format("airport {} has a bad stand count '{}'", airport.code,
                                     node.attribute("stands").value()));
            return std::nullopt;
        }
        airport.stands = *stands;
    }
    return airport;
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

void lf_readAirportsFile(const std::filesystem::path& encryptedFile) {
    const std::string fileName = encryptedFile.string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(encryptedFile, ec))
        throw UserErrorException(airportsError, fmt::format("{} not available", fileName));

    std::vector<Airport> table;
    {
        const DecryptedFile plain(encryptedFile);
        if (!plain.error().empty())
            throw UserErrorException(airportsError,
                                     fmt::format("{} stream decrypt failed: {}", fileName, plain.error()));
        pugi::xml_document doc;
        const pugi::xml_parse_result parsed = doc.load_file(plain.plainPath().c_str());
        if (!parsed)
            throw UserErrorException(airportsError,
                                     fmt::format("{} does not parse: {} at offset {}", fileName,
                                                 parsed.description(), parsed.offset));
        const pugi::xml_node root = doc.child("airports");
        if (!root)
            throw UserErrorException(airportsError, fmt::format("{} has no <airports> element", fileName));

        ReadProblems problems("gf_readAirports");
        for (const pugi::xml_node& node : root.children("airport"))
            if (auto airport = lf_readAirportElement(node, problems))
                table.push_back(std::move(*airport));
        std::stable_sort(table.begin(), table.end(),
                         [](const Airport& a, const Airport& b) { return a.code < b.code; });
        // The first of a repeated code stays, as a lookup by code could never reach the others.
        std::vector<Airport> unique;
        unique.reserve(table.size());
        for (Airport& airport : table) {
            if (!unique.empty() && unique.back().code == airport.code)
                problems.add(
                    fmt::format("airport {} appears more than once; the first entry is used", airport.code));
            else
                unique.push_back(std::move(airport));
        }
        table = std::move(unique);
        problems.logRest();
    }

    airportTable = std::move(table);
    airportCodeSet.clear();
    airportCodeSet.reserve(airportTable.size());
    for (const Airport& airport : airportTable)
        airportCodeSet.insert(airport.code);
    gf_logLine(fmt::format("{} airports read from {}", airportTable.size(), fileName));
}

bool gf_readAirports() {
    if (!airportsRead) {
        lf_readAirportsFile(std::filesystem::path("input") / "airports.enc");
        airportsRead = true;
    }
    return !airportTable.empty();
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
