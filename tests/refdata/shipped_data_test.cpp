#include "refdata/aircraft_dbase_internal.h"
#include "refdata/airport_table.h"
#include "refdata/airport_table_internal.h"
#include "refdata/stream_decrypt.h"
#include "refdata_fixtures.h"

namespace kvr {
namespace {

namespace fs = std::filesystem;

// The files the build encrypted from data/ into the staged program folder must read back with the
// program's key and readers. Copied first, so that reading never touches the staged folder.
class ShippedDataTest : public ::testing::Test {
protected:
    bool stage(const std::string& name) {
        const fs::path shipped = fs::path(VANTREL_DIST_INPUT_DIR) / name;
        if (!fs::exists(shipped))
            return false;
        fs::copy_file(shipped, work / "input" / name);
        return true;
    }
    test::WorkingFolder work;
};

TEST_F(ShippedDataTest, AircraftDataBaseReads) {
    if (!stage("dbase.enc"))
        GTEST_SKIP() << "data/dbase.xml is not part of this build";
    ASSERT_TRUE(lf_readDbaseFile("input/dbase.enc"));
    EXPECT_FALSE(aircraftTypeSet.empty());
    EXPECT_FALSE(aircraftTables.registrations.empty());
    EXPECT_GT(icaoAirlineSet.size(), 2u);
    EXPECT_EQ(work.log().find("gf_readDbase:"), std::string::npos) << "the shipped data base has no faults";
}

TEST_F(ShippedDataTest, AirportsDataBaseReads) {
    if (!stage("airports.enc"))
        GTEST_SKIP() << "data/airports.xml is not part of this build";
    lf_readAirportsFile("input/airports.enc");
    EXPECT_FALSE(airportTable.empty());
    EXPECT_EQ(work.log().find("gf_readAirports:"), std::string::npos)
        << "the shipped airports have no faults";
}

TEST_F(ShippedDataTest, RegistrationCodesDecrypt) {
    if (!stage("AIG-regcodes.enc"))
        GTEST_SKIP() << "data/AIG-regcodes.xml is not part of this build";
    EXPECT_TRUE(gf_streamDecrypt(work / "input" / "AIG-regcodes.enc", work / "input" / "AIG-regcodes.xml"));
}

} // namespace
} // namespace kvr
