#include "stand_file_round.h"

#include "core/user_error.h"
#include "fuzz_support.h"
#include "parking/park_airport.h"
#include "parking/park_stands.h"
#include "parking/quality_factors.h"
#include "settings/parameter.h"

#include <pugixml.hpp>

#include <sstream>

namespace kvr::fuzz {

void enterStandWorkingFolder() {
    [[maybe_unused]] static const bool entered = [] {
        std::filesystem::current_path(scratchFolder());
        currentParkAirport.code = "EHAM";
        return true;
    }();
}

std::optional<ParkAirportFileInfo> readParkAirportStands() {
    for (Parameter* setting : gf_allParameters())
        setting->resetToDefault();
    gf_clearStands();
    handmadeApf = false;
    ParkAirportFileInfo info;
    try {
        if (!gf_readApf(standFilePath, info).empty())
            return std::nullopt;
    } catch (const UserErrorException&) {
        return std::nullopt;
    }
    return info;
}

void writeStands(const ParkAirportFileInfo& info, const std::filesystem::path& path, ApfWriteMode mode) {
    ApfRecord record;
    record.code = "EHAM";
    record.airportName = info.airportName;
    record.publisher = info.publisher;
    record.altitude = info.altitude;
    record.qfReal = qualityFactors.first;
    record.qfSoft = qualityFactors.second;
    record.stands = standList;
    FUZZ_CHECK(gf_writeApf(record, path, mode, 1));
}

std::string standFileBody(const std::filesystem::path& path) {
    pugi::xml_document doc;
    FUZZ_CHECK(doc.load_file(path.c_str()));
    std::ostringstream text;
    for (const char* part : {"parameters", "parkpositions"})
        doc.child("root").child(part).print(text);
    return text.str();
}

} // namespace kvr::fuzz
