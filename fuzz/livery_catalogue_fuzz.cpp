// The livery catalogue LiveriesScanned.xml: read into records and built into the livery data base
// (grouping by airline and model, pools, registration codes of the catalogue, category lists).
#include "core/user_error.h"
#include "fuzz_support.h"
#include "liveries/catalogue_file.h"
#include "liveries/livery_data.h"
#include "liveries/livery_database.h"
#include "liveries/livery_paths.h"
#include "liveries/regcode_map.h"
#include "refdata/aircraft_dbase_internal.h"

#include <algorithm>
#include <filesystem>

namespace {

using namespace kvr;

void setUp() {
    gf_setLiveryWorkingFolder(fuzz::scratchFolder());
    for (const auto& folder : {liveryPaths.infoFolder, liveryPaths.errorsFolder, liveryPaths.regcodeFolder})
        std::filesystem::create_directories(folder);
    aircraftTables.types["C172"].category = AircraftCategory::light;
    aircraftTables.types["C25C"].category = AircraftCategory::buzjet;
    aircraftTables.types["EC35"].category = AircraftCategory::rotorcraft;
    aircraftTables.types["B744"].category = AircraftCategory::heavy;
}

bool ascendingUnique(const std::vector<std::string>& models) {
    return std::adjacent_find(models.begin(), models.end(), std::greater_equal<>()) == models.end();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    [[maybe_unused]] static const bool ready = (setUp(), true);
    fuzz::writeInput(liveryPaths.liveriesScanned, fuzz::asText(data, size));

    std::vector<LiveryData> records;
    try {
        lf_readLiveriesScanned();
        records.assign(scannedLiveries.begin(), scannedLiveries.end());
    } catch (const UserErrorException&) {
    }
    gf_clearLiveryDatabase();
    liveriesProcessed.store(false);
    try {
        gf_processScannedLiveries();
    } catch (const UserErrorException&) {
        FUZZ_CHECK(records.empty());
        return 0;
    }
    FUZZ_CHECK(!records.empty());
    FUZZ_CHECK(liveriesProcessed.load());
    std::size_t pooled = 0;
    for (const auto& pool : modelLiveryPools)
        for (const auto& [model, titles] : pool)
            pooled += titles.size();
    FUZZ_CHECK(pooled == records.size());
    for (const LiveryData& livery : records) {
        FUZZ_CHECK(gf_findLiveryTitle(livery.title) == livery.title);
        FUZZ_CHECK(gf_liveryExists(livery.airl, livery.type));
        // An empty title stands for "no livery" in the data base, so its code goes nowhere.
        if (!livery.atcid.empty() && !livery.title.empty())
            FUZZ_CHECK(regcodeLiveries.contains(livery.atcid));
    }
    for (const auto& [regcode, title] : regcodeLiveries)
        FUZZ_CHECK(gf_findLiveryTitle(title).data() == title.data());
    FUZZ_CHECK(ascendingUnique(lightModels) && ascendingUnique(buzjetModels) &&
               ascendingUnique(rotorcraftModels));
    return 0;
}
