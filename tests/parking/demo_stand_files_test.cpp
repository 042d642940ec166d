#include "core/xml_util.h"
#include "parking/stand_file_internal.h"
#include "parking_test_support.h"
#include "tools/stand_fixtures/demo_airports.h"

namespace kvr {
namespace {

using DemoStandFilesTest = test::ParkingTest;

// The download folder in the repository must be what the generator writes, so that it can be rebuilt.
TEST_F(DemoStandFilesTest, CommittedFilesAreTheGeneratorsOutputAndReadCleanly) {
    const std::filesystem::path downloads =
        std::filesystem::path(VANTREL_SOURCE_DIR) / "standins" / "downloads";
    const auto files = fixtures::gf_demoStandFiles();
    ASSERT_GE(files.size(), 5u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.relativePath.string());
        const auto path = downloads / file.relativePath;
        EXPECT_EQ(test::readFileText(path), fixtures::gf_standFileXml(file.spec));
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_file(path.c_str()));
        gf_clearStands();
        ASSERT_NO_THROW(lf_readParkpositions(doc));
        EXPECT_EQ(gf_readParameterValue(doc, "num_parkpos"), static_cast<int>(standList.size()));
        EXPECT_TRUE(gf_readParameterValue(doc, "altitude").has_value());
        EXPECT_GE(standList.size(), 40u);
        EXPECT_TRUE(std::any_of(standList.begin(), standList.end(), [](const Stand& s) { return s.heli; }));
        EXPECT_TRUE(std::any_of(standList.begin(), standList.end(), [](const Stand& s) { return s.cargo; }));
    }
}

} // namespace
} // namespace kvr
