#include "engine/ac_records.h"

#include <fmt/format.h>

#include <array>

namespace kvr {

namespace {

using port::AircraftCategory;

// Rotorcraft lift off level and leave their pads forwards; the others rotate and need a tug.
constexpr std::array<CategoryValues, port::aircraftCategoryCount> categoryValues{{
    {10.0, true}, // light
    {9.0, true},  // buzjet
    {8.0, true},  // large
    {7.0, true},  // heavy
    {12.0, true}, // high performance
    {0.0, false}, // rotorcraft
}};

AircraftCategory categoryFromReport(int category) {
    if (category < 0 || category >= port::aircraftCategoryCount)
        return AircraftCategory::large;
    return static_cast<AircraftCategory>(category);
}

AcRecord makeRecord(const port::AircraftBase& record, AircraftCategory category) {
    AcRecord made;
    made.operatorCode = record.operatorCode;
    made.icaoType = record.icaoType;
    made.registration = record.registration;
    made.category = category;
    made.callsign = record.callsign;
    made.halfWingspan = port::halfWingspanNm(record.icaoType);
    made.values = categoryValues[static_cast<std::size_t>(category)];
    return made;
}

bool isUpperLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool airlineFromCallsign(std::string& operatorCode, const std::string& callsign) {
    if (callsign.size() < 4 || !isUpperLetter(callsign[0]) || !isUpperLetter(callsign[1]) ||
        !isUpperLetter(callsign[2]) || !isDigit(callsign[3]))
        return false;
    operatorCode = callsign.substr(0, 3);
    return true;
}

} // namespace

AcRecord gf_makeAcRecord(const port::AircraftBase& record) {
    return makeRecord(record, port::aircraftCategory(record.icaoType));
}

AcRecord gf_makeAcRecord(const port::LiveAircraft& report) {
    return makeRecord(report, categoryFromReport(report.category));
}

bool gf_setAirlineFromCallsign(port::AircraftBase& record) {
    return airlineFromCallsign(record.operatorCode, record.callsign);
}

bool gf_setAirlineFromCallsign(AcRecord& record) {
    return airlineFromCallsign(record.operatorCode, record.callsign);
}

bool gf_sameOperatorAndType(const AcRecord& a, const AcRecord& b) {
    return a.operatorCode == b.operatorCode && a.icaoType == b.icaoType;
}

bool gf_sameOperatorAndType(const AcRecord& a, const port::StandOption& option) {
    return a.operatorCode == option.airline && a.icaoType == option.type;
}

std::string gf_operatorAndType(std::string_view airline, std::string_view type) {
    return fmt::format("{:3} {:4}", airline, type);
}

std::string gf_operatorAndType(const AcRecord& record) {
    return gf_operatorAndType(record.operatorCode, record.icaoType);
}

std::string gf_describeFlight(const AcRecord& record) {
    return fmt::format("{} {}", fmt::format("{:8}", record.callsign), gf_operatorAndType(record));
}

std::string gf_describeFlightLong(const AcRecord& record) {
    return fmt::format("{} {} {}", fmt::format("{:8}", record.callsign),
                       fmt::format("{:8}", record.registration), gf_operatorAndType(record));
}

} // namespace kvr
