// The AIG registration-code document, as it is read once decrypted: its livery elements read into records
// and merged into the registration-code map of a small livery data base.
#include "fuzz_support.h"
#include "liveries/livery_paths.h"
#include "liveries/regcode_files.h"
#include "liveries/regcode_map.h"
#include "livery_database_setup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kvr;
    [[maybe_unused]] static const bool ready = (fuzz::buildFixedLiveryDatabase(), true);
    fuzz::writeInput(liveryPaths.aigRegcodesPlain, fuzz::asText(data, size));

    std::vector<RegcodeRecord> records;
    gf_readAigRegcodes(records);
    for (std::size_t i = 0; i < records.size(); ++i) {
        FUZZ_CHECK(!records[i].title.empty());
        FUZZ_CHECK(i == 0 || records[i].title != records[i - 1].title);
    }
    lf_addRegcodes(records);
    fuzz::checkRegcodeMap();
    gf_clearRegcodeMap();
    regcodeReportLines.clear();
    return 0;
}
