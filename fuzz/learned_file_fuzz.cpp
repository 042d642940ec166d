// Learned stand files: a fixed stand file with the fuzzed learned file beside it, read with gf_readApf
// (meta block and version, per-airport settings, handmade and manual stands, learned options), then written
// back as the program saves it when it leaves the airport and read again, until saving changes nothing.
#include "fuzz_support.h"
#include "learned_airport.h"
#include "settings/parameter_table.h"
#include "stand_file_round.h"

#include <cmath>
#include <tuple>

namespace {

using namespace kvr;

// The per-airport settings a learned file carries and that come back from the file written for it.
auto learnedSettings() {
    return std::tuple(MAX_LIVE_SEL.value(), parking_percentage.value(), AUTO_RANGE.value(), WEEK.value(),
                      PARK_SOFT.value(), RT_PARKTRAFFIC_ONLY.value(), INITIAL_LOAD_ONLY.value());
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
    // The first saving may leave out what the file format cannot hold (an option whose half-hour slots
    // are not one run); from then on saving and reading again changes nothing.
    fuzz::writeStands(*info, fuzz::learnedFilePath, ApfWriteMode::learned);
    const auto saved = fuzz::readParkAirportStands();
    FUZZ_CHECK(saved.has_value());
    const auto settings = learnedSettings();
    fuzz::writeStands(*saved, fuzz::learnedFilePath, ApfWriteMode::learned);
    const std::string first = fuzz::standFileBody(fuzz::learnedFilePath);

    const auto again = fuzz::readParkAirportStands();
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(learnedSettings() == settings);
    fuzz::writeStands(*again, fuzz::learnedFilePath, ApfWriteMode::learned);
    FUZZ_CHECK(fuzz::standFileBody(fuzz::learnedFilePath) == first);
    return 0;
}
