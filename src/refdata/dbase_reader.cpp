#include "core/log.h"
#include "refdata/aircraft_dbase_internal.h"
#include "refdata/stream_decrypt.h"
#include "refdata/xml_fields.h"

#include <fmt/format.h>
#include <pugixml.hpp>

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace kvr {

namespace {

constexpr double metresPerNm = 1852.0;

// Everything one file yields, moved into the globals only when the whole file was read.
struct DbaseContent {
    AircraftTables tables;
    std::set<std::string> typeSet;
    std::map<std::string, std::string> fixes;
    std::unordered_set<std::string> airlines{"ZZZ", "PVT"};
    std::unordered_set<std::string> cargoAirlines;
    std::vector<std::vector<std::string>> publishers;
    std::set<std::string> simAddons;
    std::vector<ThirdPartyAirports> thirdParties20;
    std::vector<ThirdPartyAirports> thirdParties24;
};

void lf_readTypes(const pugi::xml_node& section, DbaseContent& content, ReadProblems& problems) {
    std::array<double, aircraftCategoryCount> spanSum{};
    std::array<int, aircraftCategoryCount> spanCount{};
    for (const pugi::xml_node& node : section.children("type")) {
        const auto [icaoAttribute, categoryAttribute, spanAttribute, similarAttribute] =
            gf_namedAttributes<4>(node, {"icao", "category", "wingspan", "similar"});
        const std::string icao = icaoAttribute.value();
        const auto category = gf_attributeInt(categoryAttribute);
        if (icao.empty() || !category || *category < 0 || *category >= aircraftCategoryCount) {
            problems.add(
                fmt::format("type '{}' has no valid category '{}'", icao, categoryAttribute.value()));
            continue;
        }
        AircraftTypeEntry entry;
        entry.category = static_cast<AircraftCategory>(*category);
        if (!spanAttribute.empty()) {
            const auto span = gf_attributeDouble(spanAttribute);
            if (span && *span > 0.0) {
                entry.halfWingspanNm = *span / 2.0 / metresPerNm;
                spanSum[*category] += entry.halfWingspanNm;
                ++spanCount[*category];
            } else {
                problems.add(fmt::format("type {} has a bad wingspan '{}'", icao, spanAttribute.value()));
            }
        }
        for (std::string& similar : gf_splitCommaList(similarAttribute.value()))
            if (similar != icao &&
                std::find(entry.similar.begin(), entry.similar.end(), similar) == entry.similar.end())
                entry.similar.push_back(std::move(similar));
        if (!content.tables.types.emplace(icao, std::move(entry)).second) {
            problems.add(fmt::format("type {} appears more than once; the first entry is used", icao));
            continue;
        }
        content.typeSet.insert(icao);
    }
    for (int c = 0; c < aircraftCategoryCount; ++c)
        if (spanCount[c] > 0)
            content.tables.averageHalfWingspanNm[c] = spanSum[c] / spanCount[c];
}

void lf_readTypeFixes(const pugi::xml_node& section, DbaseContent& content, ReadProblems& problems) {
    for (const pugi::xml_node& node : section.children("fix")) {
        const std::string wrong = node.attribute("wrong").value();
        const std::string right = node.attribute("right").value();
        if (wrong.empty() || right.empty() || wrong == right) {
            problems.add(fmt::format("type fix '{}' -> '{}' is not usable", wrong, right));
            continue;
        }
        if (!content.fixes.emplace(wrong, right).second)
            problems.add(fmt::format("type fix {} appears more than once; the first entry is used", wrong));
    }
}

void lf_readAirlines(const pugi::xml_node& section, DbaseContent& content, ReadProblems& problems) {
    for (const pugi::xml_node& node : section.children("airline")) {
        const auto [icaoAttribute, cargoAttribute] = gf_namedAttributes<2>(node, {"icao", "cargo"});
        const std::string icao = icaoAttribute.value();
        if (icao.size() != 3) {
            problems.add(fmt::format("airline code '{}' is not three characters long", icao));
            continue;
        }
        content.airlines.insert(icao);
        if (cargoAttribute.as_bool())
            content.cargoAirlines.insert(icao);
    }
}

void lf_readRegistrations(const pugi::xml_node& section, DbaseContent& content, ReadProblems& problems) {
    const auto children = section.children("reg");
    content.tables.registrations.reserve(
        static_cast<std::size_t>(std::distance(children.begin(), children.end())));
    for (const pugi::xml_node& node : children) {
        const auto [idAttribute, airline, type, operatorCode, cargo] =
            gf_namedAttributes<5>(node, {"id", "airline", "type", "operator", "cargo"});
        const std::string_view id = idAttribute.value();
        if (id.empty()) {
            problems.add(fmt::format("registration at offset {} has no id", node.offset_debug()));
            continue;
        }
        DbaseRecord record{airline.value(), type.value(), operatorCode.value(), false};
        // Without its own flag a registration flies for its operator, or else its airline.
        record.cargo = cargo ? cargo.as_bool()
                             : content.cargoAirlines.contains(
                                   record.operatorCode.empty() ? record.airline : record.operatorCode);
        if (!content.tables.registrations.try_emplace(std::string(id), std::move(record)).second) {
            problems.add(fmt::format("registration {} appears more than once; the first entry is used", id));
            continue;
        }
        if (id.size() < 6)
            content.tables.shortRegistrations.emplace_back(id);
    }
}

std::vector<ThirdPartyAirports> lf_readThirdParties(const pugi::xml_node& section, ReadProblems& problems) {
    std::vector<ThirdPartyAirports> entries;
    for (const pugi::xml_node& node : section.children("entry")) {
        const auto [publisher, codes] = gf_namedAttributes<2>(node, {"pub", "arpts"});
        ThirdPartyAirports entry{publisher.value(), gf_splitCommaList(codes.value())};
        if (entry.publisher.empty()) {
            problems.add(
                fmt::format("{} entry at offset {} has no publisher", section.name(), node.offset_debug()));
            continue;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

void lf_readAddonLists(const pugi::xml_node& root, DbaseContent& content, ReadProblems& problems) {
    for (const pugi::xml_node& node : root.child("publishers").children("group")) {
        std::vector<std::string> names = gf_splitCommaList(node.attribute("names").value());
        if (names.empty())
            problems.add(fmt::format("publisher group at offset {} has no names", node.offset_debug()));
        else
            content.publishers.push_back(std::move(names));
    }
    for (std::string& code : gf_splitCommaList(root.child("simaddons20").attribute("arpts").value()))
        content.simAddons.insert(std::move(code));
    content.thirdParties20 = lf_readThirdParties(root.child("thirdparties20"), problems);
    content.thirdParties24 = lf_readThirdParties(root.child("thirdparties24"), problems);
}

} // namespace

bool lf_readDbaseFile(const std::filesystem::path& encryptedFile) {
    const std::string fileName = encryptedFile.string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(encryptedFile, ec))
        throw std::runtime_error(fmt::format("{} not available", fileName));

    DbaseContent content;
    {
        std::string xml;
        if (!gf_decryptToMemory(encryptedFile, xml).empty())
            throw std::runtime_error(fmt::format("{} stream decrypt failed", fileName));
        pugi::xml_document doc;
        const pugi::xml_parse_result parsed = doc.load_buffer_inplace(xml.data(), xml.size());
        if (!parsed) {
            gf_logError(fmt::format("gf_readDbase: {} does not parse: {} at offset {}", fileName,
                                    parsed.description(), parsed.offset));
            return false;
        }
        const pugi::xml_node root = doc.child("dbase");
        if (!root) {
            gf_logError(fmt::format("gf_readDbase: {} has no <dbase> element", fileName));
            return false;
        }
        ReadProblems problems("gf_readDbase");
        lf_readTypes(root.child("types"), content, problems);
        lf_readTypeFixes(root.child("typefixes"), content, problems);
        lf_readAirlines(root.child("airlines"), content, problems);
        lf_readRegistrations(root.child("registrations"), content, problems);
        lf_readAddonLists(root, content, problems);
        problems.logRest();
    }
    // Every aircraft is looked up by its type; a data base without types would leave the program unable
    // to place or size any of them, so it is refused before it replaces anything.
    if (content.typeSet.empty()) {
        gf_logError(fmt::format("gf_readDbase: {} holds no aircraft types", fileName));
        return false;
    }

    aircraftTables = std::move(content.tables);
    aircraftTypeSet = std::move(content.typeSet);
    typeFixes = std::move(content.fixes);
    icaoAirlineSet = std::move(content.airlines);
    publisherNames = std::move(content.publishers);
    simAddonAirportCodes = std::move(content.simAddons);
    thirdPartyAirports20 = std::move(content.thirdParties20);
    thirdPartyAirports24 = std::move(content.thirdParties24);
    gf_logLine(fmt::format("{} aircraft types, {} type fixes, {} airlines and {} registrations read from {}",
                           aircraftTypeSet.size(), typeFixes.size(), icaoAirlineSet.size(),
                           aircraftTables.registrations.size(), fileName));
    return true;
}

bool gf_readDbase() {
    static std::optional<bool> firstResult;
    if (!firstResult)
        firstResult = lf_readDbaseFile(std::filesystem::path("input") / "dbase.enc");
    return *firstResult;
}

} // namespace kvr
