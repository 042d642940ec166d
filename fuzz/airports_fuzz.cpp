// The airports data base as it is read from its decrypted XML. The bytes are encrypted as the build does
// and read through the program's own decryption.
#include "core/user_error.h"
#include "fuzz_support.h"
#include "refdata/airport_table.h"
#include "refdata/airport_table_internal.h"
#include "tools/data_encryptor/stream_encryptor.h"

#include <cmath>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kvr;
    const std::filesystem::path encrypted = fuzz::scratchFolder() / "airports.enc";
    FUZZ_CHECK(gf_encryptBytes(fuzz::asText(data, size), encrypted).empty());
    // A file that is not read leaves the table as it was.
    airportTable = {Airport{"KEEP"}};
    bool read = false;
    try {
        read = lf_readAirportsFile(encrypted);
    } catch (const UserErrorException& error) {
        FUZZ_CHECK(error.code() == 88);
    }
    FUZZ_CHECK(!std::filesystem::exists(fuzz::scratchFolder() / "airports.xml"));
    if (!read) {
        FUZZ_CHECK(airportTable.size() == 1 && airportTable.front().code == "KEEP");
        return 0;
    }
    FUZZ_CHECK(airportCodeSet.size() == airportTable.size());
    for (std::size_t i = 0; i < airportTable.size(); ++i) {
        const Airport& airport = airportTable[i];
        FUZZ_CHECK(!airport.code.empty());
        FUZZ_CHECK(i == 0 || airportTable[i - 1].code < airport.code);
        FUZZ_CHECK(std::isfinite(airport.latitude) && std::abs(airport.latitude) <= 90.0);
        FUZZ_CHECK(std::isfinite(airport.longitude) && std::abs(airport.longitude) <= 180.0);
        FUZZ_CHECK(std::isfinite(airport.altitude));
        FUZZ_CHECK(airport.stands >= 0);
        const auto found = gf_findAirport(airport.code);
        FUZZ_CHECK(found && found->name == airport.name);
        FUZZ_CHECK(gf_isKnownAirport(airport.code));
        gf_airportCodeFromName(airport.code);
    }
    return 0;
}
