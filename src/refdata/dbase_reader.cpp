#include "core/log.h"
#include "core/native_path.h"
#include "refdata/aircraft_dbase_internal.h"
#include "refdata/stream_decrypt.h"
#include "refdata/xml_fields.h"
#include "refdata/xml_scanner.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <set>
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

// Reads the data base's elements as the scanner hands them over. Each section counts once (a repeated
// one is skipped), and only its direct children are records.
class DbaseScan {
public:
    explicit DbaseScan(std::size_t textBytes) {
        // At least 60 bytes of text per registration: the table is reserved once instead of grown.
        content.tables.registrations.reserve(textBytes / 60);
    }

    void onElement(const XmlElement& element) {
        if (element.depth == 0)
            isDbase_ = element.name == "dbase";
        else if (isDbase_ && element.depth == 1)
            enterSection(element);
        else if (isDbase_ && element.depth == 2)
            record(element);
    }

    // What only the whole file decides: average spans, and the cargo of registrations without their own
    // flag (the airlines may come after the registrations).
    void finish() {
        for (int c = 0; c < aircraftCategoryCount; ++c)
            if (spanCount_[c] > 0)
                content.tables.averageHalfWingspanNm[c] = spanSum_[c] / spanCount_[c];
        for (DbaseRecord* record : cargoFromAirline_)
            record->cargo = content.cargoAirlines.contains(
                record->operatorCode.empty() ? record->airline : record->operatorCode);
        problems.logRest();
    }

    bool isDbase() const { return isDbase_; }

    DbaseContent content;
    ReadProblems problems{"gf_readDbase"};

private:
    enum class Section {
        none,
        types,
        typeFixes,
        airlines,
        registrations,
        publishers,
        thirdParties20,
        thirdParties24
    };

    void enterSection(const XmlElement& element) {
        static constexpr std::pair<std::string_view, Section> sections[] = {
            {"types", Section::types},
            {"typefixes", Section::typeFixes},
            {"airlines", Section::airlines},
            {"registrations", Section::registrations},
            {"publishers", Section::publishers},
            {"thirdparties20", Section::thirdParties20},
            {"thirdparties24", Section::thirdParties24}};
        section_ = Section::none;
        sectionName_ = element.name;
        if (!seenSections_.insert(std::string(element.name)).second)
            return;
        if (element.name == "simaddons20") {
            for (std::string& code : gf_splitCommaList(element.attribute("arpts").value_or("")))
                content.simAddons.insert(std::move(code));
            return;
        }
        for (const auto& [name, section] : sections)
            if (element.name == name)
                section_ = section;
    }

    void record(const XmlElement& element) {
        switch (section_) {
        case Section::types:
            if (element.name == "type")
                type(element);
            break;
        case Section::typeFixes:
            if (element.name == "fix")
                typeFix(element);
            break;
        case Section::airlines:
            if (element.name == "airline")
                airline(element);
            break;
        case Section::registrations:
            if (element.name == "reg")
                registration(element);
            break;
        case Section::publishers:
            if (element.name == "group")
                publisherGroup(element);
            break;
        case Section::thirdParties20:
        case Section::thirdParties24:
            if (element.name == "entry")
                thirdPartyEntry(element, section_ == Section::thirdParties20 ? content.thirdParties20
                                                                             : content.thirdParties24);
            break;
        case Section::none:
            break;
        }
    }

    void type(const XmlElement& element) {
        const std::string icao(element.attribute("icao").value_or(""));
        const auto categoryText = element.attribute("category");
        const auto category = gf_attributeInt(categoryText);
        if (icao.empty() || !category || *category < 0 || *category >= aircraftCategoryCount) {
            problems.add(
                fmt::format("type '{}' has no valid category '{}'", icao, categoryText.value_or("")));
            return;
        }
        // Checked before anything of the entry counts: a repeat's span must not reach the average.
        if (content.tables.types.contains(icao)) {
            problems.add(fmt::format("type {} appears more than once; the first entry is used", icao));
            return;
        }
        AircraftTypeEntry entry;
        entry.category = static_cast<AircraftCategory>(*category);
        if (const auto spanText = element.attribute("wingspan"); spanText && !spanText->empty()) {
            const auto span = gf_attributeDouble(spanText);
            if (span && *span > 0.0) {
                entry.halfWingspanNm = *span / 2.0 / metresPerNm;
                spanSum_[*category] += entry.halfWingspanNm;
                ++spanCount_[*category];
            } else {
                problems.add(fmt::format("type {} has a bad wingspan '{}'", icao, *spanText));
            }
        }
        for (std::string& similar : gf_splitCommaList(element.attribute("similar").value_or("")))
            if (similar != icao &&
                std::find(entry.similar.begin(), entry.similar.end(), similar) == entry.similar.end())
                entry.similar.push_back(std::move(similar));
        content.tables.types.emplace(icao, std::move(entry));
        content.typeSet.insert(icao);
    }

    void typeFix(const XmlElement& element) {
        const std::string wrong(element.attribute("wrong").value_or(""));
        const std::string right(element.attribute("right").value_or(""));
        if (wrong.empty() || right.empty() || wrong == right) {
            problems.add(fmt::format("type fix '{}' -> '{}' is not usable", wrong, right));
            return;
        }
        if (!content.fixes.emplace(wrong, right).second)
            problems.add(fmt::format("type fix {} appears more than once; the first entry is used", wrong));
    }

    void airline(const XmlElement& element) {
        const std::string icao(element.attribute("icao").value_or(""));
        if (icao.size() != 3) {
            problems.add(fmt::format("airline code '{}' is not three characters long", icao));
            return;
        }
        content.airlines.insert(icao);
        if (gf_attributeBool(element.attribute("cargo")))
            content.cargoAirlines.insert(icao);
    }

    void registration(const XmlElement& element) {
        std::optional<std::string_view> idText, airlineCode, type, operatorCode, cargo;
        element.pickAttributes({{"id", &idText},
                                {"airline", &airlineCode},
                                {"type", &type},
                                {"operator", &operatorCode},
                                {"cargo", &cargo}});
        const std::string_view id = idText.value_or("");
        if (id.empty()) {
            problems.add(fmt::format("registration at offset {} has no id", element.offset));
            return;
        }
        const auto [entry, added] = content.tables.registrations.try_emplace(std::string(id));
        if (!added) {
            problems.add(fmt::format("registration {} appears more than once; the first entry is used", id));
            return;
        }
        // Filled where it lies: no record is built only to be moved into the table.
        DbaseRecord& stored = entry->second;
        stored.airline = airlineCode.value_or("");
        stored.type = type.value_or("");
        stored.operatorCode = operatorCode.value_or("");
        stored.cargo = gf_attributeBool(cargo);
        // Without its own flag a registration flies for its operator, or else its airline.
        if (!cargo)
            cargoFromAirline_.push_back(&stored);
        if (id.size() < 6)
            content.tables.shortRegistrations.emplace_back(id);
    }

    void publisherGroup(const XmlElement& element) {
        std::vector<std::string> names = gf_splitCommaList(element.attribute("names").value_or(""));
        if (names.empty())
            problems.add(fmt::format("publisher group at offset {} has no names", element.offset));
        else
            content.publishers.push_back(std::move(names));
    }

    void thirdPartyEntry(const XmlElement& element, std::vector<ThirdPartyAirports>& entries) {
        ThirdPartyAirports entry{std::string(element.attribute("pub").value_or("")),
                                 gf_splitCommaList(element.attribute("arpts").value_or(""))};
        if (entry.publisher.empty()) {
            problems.add(fmt::format("{} entry at offset {} has no publisher", sectionName_, element.offset));
            return;
        }
        entries.push_back(std::move(entry));
    }

    bool isDbase_ = false;
    Section section_ = Section::none;
    std::string sectionName_;
    std::set<std::string> seenSections_;
    std::array<double, aircraftCategoryCount> spanSum_{};
    std::array<int, aircraftCategoryCount> spanCount_{};
    std::vector<DbaseRecord*> cargoFromAirline_;
};

} // namespace

bool lf_readDbaseFile(const std::filesystem::path& encryptedFile) {
    const std::string fileName = gf_pathToUtf8(encryptedFile);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(encryptedFile, ec))
        throw std::runtime_error(fmt::format("{} not available", fileName));

    // The text is read while it is being decrypted; a decryption failure counts before anything the
    // partial text showed.
    const DecryptingBuffer plain(encryptedFile);
    DbaseScan scan(plain.capacity());
    const auto fault = gf_scanXml(plain, [&scan](const XmlElement& element) { scan.onElement(element); });
    if (!plain.waitForError().empty())
        throw std::runtime_error(fmt::format("{} stream decrypt failed", fileName));
    if (fault) {
        gf_logError(fmt::format("gf_readDbase: {} does not parse: {} at line {}, column {}", fileName,
                                fault->description, fault->line, fault->column));
        return false;
    }
    if (!scan.isDbase()) {
        gf_logError(fmt::format("gf_readDbase: {} has no <dbase> element", fileName));
        return false;
    }
    scan.finish();
    DbaseContent& content = scan.content;
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
