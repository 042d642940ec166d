#include "refdata/aircraft_dbase_internal.h"
#include "refdata/airport_table.h"
#include "refdata/airport_table_internal.h"
#include "refdata/stream_decrypt.h"
#include "refdata_fixtures.h"

namespace kvr {
namespace {

namespace fs = std::filesystem;

// The files the build encrypted from data/ into the staged program folder read back with the program's key
// and readers, without a single fault. Copies are read, so that the staged folder is never touched.
TEST(ShippedDataTest, StagedDataFilesReadWithoutFaults) {
    test::WorkingFolder work;
    const fs::path staged(VANTREL_DIST_INPUT_DIR);
    if (!fs::exists(staged / "dbase.enc") && !fs::exists(staged / "airports.enc"))
        GTEST_SKIP() << "the data sources are not part of this build";
    for (const char* name : {"dbase.enc", "airports.enc", "AIG-regcodes.enc"})
        if (fs::exists(staged / name))
            fs::copy_file(staged / name, work / "input" / name);

    if (fs::exists(work / "input" / "dbase.enc")) {
        ASSERT_TRUE(lf_readDbaseFile("input/dbase.enc"));
        EXPECT_FALSE(aircraftTypeSet.empty());
        EXPECT_FALSE(aircraftTables.registrations.empty());
    }
    if (fs::exists(work / "input" / "airports.enc")) {
        lf_readAirportsFile("input/airports.enc");
        EXPECT_FALSE(airportTable.empty());
    }
    if (fs::exists(work / "input" / "AIG-regcodes.enc")) {
        EXPECT_TRUE(
            gf_streamDecrypt(work / "input" / "AIG-regcodes.enc", work / "input" / "AIG-regcodes.xml"));
    }
    const std::string log = work.log();
    EXPECT_EQ(log.find("==> "), std::string::npos) << log;
}

} // namespace
} // namespace kvr
