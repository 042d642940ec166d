#include "stand_file_round.h"

#include "core/user_error.h"
#include "fuzz_support.h"
#include "parking/park_airport.h"
#include "parking/park_stands.h"
#include "parking/quality_factors.h"
#include "settings/parameter.h"

#include <fmt/format.h>
#include <pugixml.hpp>

#include <algorithm>
#include <vector>

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

std::string standListDigest(bool withOptions) {
    std::string digest;
    for (const Stand& stand : standList) {
        digest += fmt::format("{}|{:.6f}|{:.6f}|{:.1f}|{:.1f}|{}{}{}{}{}{}\n", stand.id, stand.latitude,
                              stand.longitude, stand.heading * standRadiansToDegrees,
                              stand.radius * standNmToMetres, stand.cargo, stand.ramp, stand.heli,
                              stand.manual, stand.radiusChange, stand.cargoChange);
        if (!withOptions)
            continue;
        // Saving sorts and renumbers the options.
        std::vector<std::string> options;
        for (const StandOption& o : stand.options)
            options.push_back(fmt::format("  {}|{}|{}|{}|{}|{:x}|{}|{}|{}|{}\n", o.registration, o.airline,
                                          o.type, o.callsign, o.callsign2, o.halfHours, o.day,
                                          o.fromStandFile, o.real, o.coupled));
        std::sort(options.begin(), options.end());
        for (const std::string& option : options)
            digest += option;
    }
    return digest;
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
