// Scenery packages linked into Community are scanned like real ones.
#include "airport_scan_support.h"
#include "parking/airport_scan_internal.h"
#include "support/folder_link.h"

namespace kvr::test {
namespace {

namespace fs = std::filesystem;
using namespace fixtures;

using LinkedSceneryPackage = AirportScanTest;

TEST_F(LinkedSceneryPackage, IsScannedLikeARealOneAndALinkLoopOnce) {
    knownAirports({"EGLL"});
    const fs::path package = folder / "store" / "egll-scenery";
    writeBglFile(package / "scenery" / "EGLL.bgl", bglFileWith({bglGridAirport("EGLL", 51.47, -0.46, 2)}));
    FolderLinks links;
    links.make(package, package / "scenery" / "back-to-the-package");
    fs::create_directories(folder / "Community");
    links.make(package, folder / "Community" / "egll-scenery");

    lf_scanAirportFolder(folder / "Community", {});
    const std::vector<std::string> lines = messages();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Generated EGLL.xml: 2 positions"), 1) << lines.size();
    EXPECT_EQ(writtenStands(thirdpartyFile("EGLL.xml")).size(), 2u);
}

} // namespace
} // namespace kvr::test
