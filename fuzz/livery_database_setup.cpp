#include "livery_database_setup.h"

#include "fuzz_support.h"
#include "liveries/catalogue_file.h"
#include "liveries/livery_data.h"
#include "liveries/livery_database.h"
#include "liveries/livery_paths.h"
#include "liveries/regcode_map.h"

#include <filesystem>

namespace kvr::fuzz {

const std::vector<std::string>& fixedLiveryTitles() {
    static const std::vector<std::string> titles{"AIG Boeing 737-800 KLM PH-BXA", "AIG Boeing 737-800 KLM",
                                                 "FSLTL A320 British Airways G-EUUA", "FSLTL A320 Lufthansa",
                                                 "AIG Boeing 747-400F Martinair"};
    return titles;
}

void buildFixedLiveryDatabase() {
    gf_setLiveryWorkingFolder(scratchFolder());
    for (const auto& folder : {liveryPaths.infoFolder, liveryPaths.errorsFolder, liveryPaths.regcodeFolder})
        std::filesystem::create_directories(folder);
    const auto& titles = fixedLiveryTitles();
    scannedLiveries = {{"KLM", "B738", titles[0], "PH-BXA", 1, false},
                       {"KLM", "B738", titles[1], "", 1, false},
                       {"BAW", "A320", titles[2], "G-EUUA", 2, false},
                       {"DLH", "A320", titles[3], "", 2, false},
                       {"MPH", "B744", titles[4], "", 1, true}};
    lf_writeLiveriesScanned();
    liveriesProcessed.store(false);
    gf_processScannedLiveries();
    FUZZ_CHECK(gf_findLiveryTitle(titles[0]) == titles[0]);
}

void checkRegcodeMap() {
    for (const auto& [regcode, title] : regcodeLiveries)
        FUZZ_CHECK(gf_findLiveryTitle(title).data() == title.data());
    for (const TitleView title : specialLiveries)
        FUZZ_CHECK(gf_findLiveryTitle(title).data() == title.data());
}

} // namespace kvr::fuzz
