#include "refdata/aircraft_dbase_internal.h"

namespace kvr {

std::set<std::string> aircraftTypeSet;
std::map<std::string, std::string> typeFixes;
std::unordered_set<std::string> icaoAirlineSet{"ZZZ", "PVT"};
std::vector<std::vector<std::string>> publisherNames;
std::set<std::string> simAddonAirportCodes;
std::vector<ThirdPartyAirports> thirdPartyAirports20;
std::vector<ThirdPartyAirports> thirdPartyAirports24;
AircraftTables aircraftTables;

namespace {

const AircraftTypeEntry* lf_findType(std::string_view type) {
    const auto it = aircraftTables.types.find(std::string(type));
    return it == aircraftTables.types.end() ? nullptr : &it->second;
}

const DbaseRecord* lf_findRegistration(std::string_view registration) {
    if (registration.empty())
        return nullptr;
    for (const std::string& variant : lf_registrationVariants(registration)) {
        const auto it = aircraftTables.registrations.find(variant);
        if (it != aircraftTables.registrations.end())
            return &it->second;
    }
    return nullptr;
}

} // namespace

const char* gf_aircraftCategoryName(AircraftCategory category) {
    static constexpr const char* names[aircraftCategoryCount] = {"Light", "Buzjets",  "Large",
                                                                 "Heavy", "HighPerf", "Rotorcraft"};
    const auto index = static_cast<std::size_t>(category);
    return index < aircraftCategoryCount ? names[index] : "?";
}

AircraftCategory gf_getAircraftCategory(std::string_view type) {
    const AircraftTypeEntry* entry = lf_findType(type);
    return entry ? entry->category : AircraftCategory::large;
}

double gf_getWingspan(std::string_view type) {
    const AircraftTypeEntry* entry = lf_findType(type);
    if (entry && entry->halfWingspanNm > 0.0)
        return entry->halfWingspanNm;
    const AircraftCategory category = entry ? entry->category : AircraftCategory::large;
    return aircraftTables.averageHalfWingspanNm[static_cast<std::size_t>(category)];
}

bool gf_isIcaoAirline(std::string_view code) {
    return icaoAirlineSet.contains(std::string(code));
}

std::vector<std::string> lf_registrationVariants(std::string_view registration) {
    std::vector<std::string> variants;
    const std::string written(registration);
    if (written.size() >= 5 && written.front() != 'N' && written.find('-') == std::string::npos) {
        variants.push_back(written.substr(0, 2) + "-" + written.substr(2));
        variants.push_back(written.substr(0, 1) + "-" + written.substr(1));
    }
    variants.push_back(written);
    return variants;
}

std::optional<DbaseRecord> gf_lookupRegistration(std::string_view registration) {
    const DbaseRecord* record = lf_findRegistration(registration);
    return record ? std::optional<DbaseRecord>(*record) : std::nullopt;
}

std::string gf_airlineOfRegistration(std::string_view registration) {
    const DbaseRecord* record = lf_findRegistration(registration);
    return record ? record->airline : std::string();
}

std::string gf_operatorOfRegistration(std::string_view registration) {
    const DbaseRecord* record = lf_findRegistration(registration);
    return record ? record->operatorCode : std::string();
}

std::optional<std::string> gf_findShortRegcodeIn(std::string_view text) {
    for (const std::string& registration : aircraftTables.shortRegistrations)
        if (text.find(registration) != std::string_view::npos)
            return registration;
    return std::nullopt;
}

} // namespace kvr
