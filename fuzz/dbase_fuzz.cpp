// The aircraft data base as it is read from its decrypted XML: types, type fixes, airlines,
// registrations, publishers and the add-on airport lists. The bytes are encrypted as the build does and
// read through the program's own decryption.
#include "fuzz_support.h"
#include "refdata/aircraft_dbase_internal.h"
#include "tools/data_encryptor/stream_encryptor.h"

#include <cmath>
#include <filesystem>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kvr;
    const std::filesystem::path encrypted = fuzz::scratchFolder() / "dbase.enc";
    FUZZ_CHECK(gf_encryptBytes(fuzz::asText(data, size), encrypted).empty());
    // A data base that is not read keeps the tables as they were.
    aircraftTypeSet = {"KEEP"};
    bool read = false;
    try {
        read = lf_readDbaseFile(encrypted);
    } catch (const std::runtime_error&) {
    }
    FUZZ_CHECK(!std::filesystem::exists(fuzz::scratchFolder() / "dbase.xml"));
    if (!read) {
        FUZZ_CHECK(aircraftTypeSet == std::set<std::string>{"KEEP"});
        return 0;
    }
    FUZZ_CHECK(aircraftTypeSet.size() == aircraftTables.types.size());
    for (const auto& [icao, entry] : aircraftTables.types) {
        FUZZ_CHECK(!icao.empty() && aircraftTypeSet.contains(icao));
        FUZZ_CHECK(static_cast<int>(entry.category) < aircraftCategoryCount);
        FUZZ_CHECK(std::isfinite(entry.halfWingspanNm) && entry.halfWingspanNm >= 0.0);
        FUZZ_CHECK(gf_getWingspan(icao) > 0.0 && std::isfinite(gf_getWingspan(icao)));
        for (const std::string& similar : entry.similar)
            FUZZ_CHECK(!similar.empty() && similar != icao);
    }
    for (const double span : aircraftTables.averageHalfWingspanNm)
        FUZZ_CHECK(std::isfinite(span) && span > 0.0);
    for (const auto& [wrong, right] : typeFixes)
        FUZZ_CHECK(!wrong.empty() && !right.empty() && wrong != right);
    FUZZ_CHECK(icaoAirlineSet.contains("ZZZ") && icaoAirlineSet.contains("PVT"));
    for (const std::string& airline : icaoAirlineSet)
        FUZZ_CHECK(airline.size() == 3);
    for (const std::string& registration : aircraftTables.shortRegistrations)
        FUZZ_CHECK(registration.size() < 6 && gf_lookupRegistration(registration).has_value());
    for (const auto& group : publisherNames)
        FUZZ_CHECK(!group.empty());
    return 0;
}
