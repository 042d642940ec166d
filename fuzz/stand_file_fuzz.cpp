// Stand files: the park airport's stand file read with gf_readApf (meta block, parameters, stands and their
// options), written back as a full stand set and read again, which must give the stands that were read; and
// the same bytes as a link file and as the stand file whose maker is looked up.
#include "fuzz_support.h"
#include "parking/stand.h"
#include "parking/stand_lookup_internal.h"
#include "stand_file_round.h"

#include <cmath>
#include <set>

namespace {

using namespace kvr;

// What the stand list promises once gf_readApf has returned.
void checkStandList() {
    std::set<std::string> ids;
    std::uint32_t number = 0;
    for (const Stand& stand : standList) {
        FUZZ_CHECK(!stand.id.empty());
        FUZZ_CHECK(ids.insert(stand.id).second);
        FUZZ_CHECK(stand.number == ++number);
        FUZZ_CHECK(std::isfinite(stand.latitude) && std::isfinite(stand.longitude));
        for (std::uint32_t other : stand.overlapping)
            FUZZ_CHECK(other >= 1 && other <= standList.size() && other != stand.number);
        for (const StandOption& option : stand.options) {
            FUZZ_CHECK(option.day >= 1 && option.day <= 7);
            FUZZ_CHECK(option.halfHours >> 48 == 0);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::enterStandWorkingFolder();
    const std::string_view bytes = fuzz::asText(data, size);
    const std::filesystem::path standFile = fuzz::standFilePath;
    fuzz::writeInput(standFile, bytes);

    std::string link;
    if (lf_readApfLink(standFile, link))
        FUZZ_CHECK(link.size() >= 4 && link.find('\n') == std::string::npos);
    lf_readApfPublisher(standFile);

    const auto info = fuzz::readParkAirportStands();
    if (!info)
        return 0;
    checkStandList();
    // The first saving keeps what was read: reading it gives the same stands; saving again changes nothing.
    const std::string read = fuzz::standListDigest(false);
    fuzz::writeStands(*info, standFile, ApfWriteMode::full);
    const std::string first = fuzz::standFileBody(standFile);
    const auto saved = fuzz::readParkAirportStands();
    FUZZ_CHECK(saved.has_value());
    checkStandList();
    FUZZ_CHECK(fuzz::standListDigest(false) == read);
    fuzz::writeStands(*saved, standFile, ApfWriteMode::full);
    FUZZ_CHECK(fuzz::standFileBody(standFile) == first);
    return 0;
}
