// Learned stand files: a fixed stand file with the fuzzed learned file beside it, read with gf_readApf
// (meta block and version, per-airport settings, handmade and manual stands, learned options), then saved as
// the program saves it when it leaves the airport and read again, which must give what was read.
#include "fuzz_support.h"
#include "learned_airport.h"
#include "parking/static_parking.h"
#include "parking/static_parking_internal.h"
#include "settings/parameter_table.h"
#include "stand_file_round.h"

#include <cmath>
#include <tuple>

namespace {

using namespace kvr;

// The per-airport settings a learned file carries and that come back from the file written for it.
auto learnedSettings() {
    return std::tuple(MAX_LIVE_SEL.value(), MAX_FIT.value(), parking_percentage.value(), AUTO_RANGE.value(),
                      WEEK.value(), PARK_SOFT.value(), RT_PARKTRAFFIC_ONLY.value(),
                      INITIAL_LOAD_ONLY.value());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    [[maybe_unused]] static const bool ready = [] {
        fuzz::enterStandWorkingFolder();
        fixtures::gf_writeStandFile(fuzz::standFilePath, fuzz::learnedTargetAirport());
        return true;
    }();
    fuzz::writeInput(fuzz::learnedFilePath, fuzz::asText(data, size));

    const auto info = fuzz::readParkAirportStands();
    if (!info)
        return 0;
    // Stand files refuse a stand without an id; a manual stand of a learned file is taken with the id it
    // has, even none.
    for (const Stand& stand : standList) {
        FUZZ_CHECK(!stand.id.empty() || stand.manual);
        FUZZ_CHECK(std::isfinite(stand.latitude) && std::isfinite(stand.longitude));
    }
    // The first saving, as the program saves when it leaves the airport, keeps what was read: reading it
    // gives the same stands, options and settings; saving again changes nothing.
    const std::string read = fuzz::standListDigest(true);
    const auto settings = learnedSettings();
    parkAirportFileInfo = *info;
    lf_saveLearnedAirports();
    const std::string first = fuzz::standFileBody(fuzz::learnedFilePath);
    const auto saved = fuzz::readParkAirportStands();
    FUZZ_CHECK(saved.has_value());
    FUZZ_CHECK(fuzz::standListDigest(true) == read);
    FUZZ_CHECK(learnedSettings() == settings);
    parkAirportFileInfo = *saved;
    lf_saveLearnedAirports();
    FUZZ_CHECK(fuzz::standFileBody(fuzz::learnedFilePath) == first);
    return 0;
}
