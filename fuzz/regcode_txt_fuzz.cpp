// The user's registration-code files (.txt files in input/my_regcodes): their lines read into records and
// the records merged into the registration-code map of a small livery data base.
#include "fuzz_support.h"
#include "liveries/livery_paths.h"
#include "liveries/regcode_files.h"
#include "liveries/regcode_map.h"
#include "livery_database_setup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kvr;
    [[maybe_unused]] static const bool ready = (fuzz::buildFixedLiveryDatabase(), true);
    fuzz::writeInput(liveryPaths.regcodeFolder / "my_fleet.txt", fuzz::asText(data, size));

    std::vector<RegcodeRecord> records;
    gf_readRegcodeTxtFiles(liveryPaths.regcodeFolder, records);
    for (const RegcodeRecord& record : records) {
        FUZZ_CHECK(record.title.find('\n') == std::string::npos);
        for (const std::string& regcode : record.regcodes)
            FUZZ_CHECK(regcode.size() >= 3 && regcode.size() <= 12);
        FUZZ_CHECK(!record.special || !record.regcodes.empty());
    }
    lf_addRegcodes(records);
    fuzz::checkRegcodeMap();
    gf_clearRegcodeMap();
    regcodeReportLines.clear();
    return 0;
}
