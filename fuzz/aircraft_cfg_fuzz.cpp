// aircraft.cfg reading of the livery scan: the encoding, the section numbers, the model and the [fltsim.N]
// section rules, once as an ordinary package's file and once as an IVAO MTL model's file.
#include "fuzz_support.h"
#include "liveries/aircraft_cfg_reader_internal.h"
#include "liveries/fltsim_section_internal.h"
#include "liveries/livery_data.h"
#include "liveries/livery_paths.h"
#include "liveries/regcode_files.h"
#include "refdata/aircraft_dbase_internal.h"

#include <algorithm>
#include <list>
#include <set>

namespace {

using namespace kvr;
namespace fs = std::filesystem;

struct Setup {
    fs::path ordinaryFile;
    fs::path ivaoFile;

    Setup() {
        const fs::path community = fuzz::scratchFolder() / "Community";
        gf_setLiveryWorkingFolder(fuzz::scratchFolder());
        ordinaryFile = community / "aig-aitraffic-oci" / "SimObjects" / "Airplanes" / "B738" / "aircraft.cfg";
        const fs::path ivaoModel = community / "IVAO_MTL" / "SimObjects" / "Airplanes" / "IVAO_B738WLfa";
        ivaoFile = ivaoModel / "aircraft.cfg";
        // IVAO sections name texture folders that must exist.
        for (const char* texture : {"texture.KLM", "texture.BAW", "texture.1", "texture."})
            fs::create_directories(ivaoModel / texture);

        aircraftTypeSet = {"A20N", "A320", "B738", "B744", "B77L", "C172", "C25C", "E190"};
        typeFixes = {{"B74F", "B744"}, {"A32N", "A20N"}};
        icaoAirlineSet = {"BAW", "KLM", "KLC", "MPH", "TRA", "ZZZ", "PVT", "DLH"};
        for (const char* heavy : {"B744", "B77L"})
            aircraftTables.types[heavy].category = AircraftCategory::heavy;
        aircraftTables.types["C172"].category = AircraftCategory::light;
        aircraftTables.registrations = {{"PH-BXA", DbaseRecord{"KLM", "B738", "", false}},
                                        {"PH-CKA", DbaseRecord{"KLM", "B744", "MPH", true}},
                                        {"G-EUUA", DbaseRecord{"BAW", "A320", "", false}}};
        aircraftTables.shortRegistrations = {"N123", "PH1"};
    }
};

void checkLiveries(const std::list<LiveryData>& found) {
    std::set<std::string> titles;
    for (const LiveryData& livery : found) {
        FUZZ_CHECK(!livery.title.empty());
        FUZZ_CHECK(fuzz::isValidUtf8(livery.title));
        FUZZ_CHECK(livery.title.find('\n') == std::string::npos);
        FUZZ_CHECK(titles.insert(livery.title).second);
        FUZZ_CHECK(std::find(dontUseTitles.begin(), dontUseTitles.end(), livery.title) ==
                   dontUseTitles.end());
        FUZZ_CHECK(aircraftTypeSet.contains(livery.type));
        FUZZ_CHECK(icaoAirlineSet.contains(livery.airl));
        FUZZ_CHECK(livery.atcid.size() <= 12);
        FUZZ_CHECK(livery.atcid.find_first_of(",*") == std::string::npos);
        FUZZ_CHECK(livery.airl != "ZZZ" || livery.atcid.empty());
        FUZZ_CHECK(livery.folderNumber == 1 || livery.folderNumber == 2);
    }
    FUZZ_CHECK(liveryTitleSet.size() == found.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Setup setup;
    lf_clearScanReports();
    dontUseTitles = {"Do Not Use This Livery"};
    const std::string_view bytes = fuzz::asText(data, size);

    std::list<LiveryData> found;
    fuzz::writeInput(setup.ordinaryFile, bytes);
    lf_claimTitles(lf_searchLiveriesinFile(1, setup.ordinaryFile), found);
    fuzz::writeInput(setup.ivaoFile, bytes);
    lf_claimTitles(lf_searchLiveriesinIVAOFile(2, setup.ivaoFile), found);
    checkLiveries(found);
    return 0;
}
