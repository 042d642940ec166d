#include "core/native_path.h"
#include "parking/learned_file.h"
#include "parking/publisher_folder.h"
#include "parking/stand_file.h"
#include "parking/stand_lookup_internal.h"
#include "parking_test_support.h"

#include <set>

namespace kvr {
namespace {

using PublisherFolderTest = test::ParkingTest;

// Runs in the Windows test set as well, where each learned file is really saved into its folder: a name
// Windows cuts or refuses would come back under another name, or not at all.
TEST_F(PublisherFolderTest, EveryPublisherSavesIntoAFolderOfItsOwnThatWindowsCanMake) {
    const std::vector<std::pair<std::string, std::string>> folders{{"Fly Tampa", "Fly Tampa"},
                                                                   {" Aero ", "Aero"},
                                                                   {"100% Sceneries", "100% Sceneries"},
                                                                   {"Ärø Design", "Ärø Design"},
                                                                   {"COM10", "COM10"},
                                                                   {"CONSOLE.Works", "CONSOLE.Works"},
                                                                   {"A B", "A B"},
                                                                   {"A:B", "A%3AB"},
                                                                   {"A/B\\C", "A%2FB%5CC"},
                                                                   {"x*?\"<>|", "x%2A%3F%22%3C%3E%7C"},
                                                                   {"Tab\there", "Tab%09here"},
                                                                   {"50%:", "50%25%3A"},
                                                                   {"Inc.", "Inc%2E"},
                                                                   {"Inc. .", "Inc%2E%20%2E"},
                                                                   {"..", "%2E%2E"},
                                                                   {"CON", "%43ON"},
                                                                   {"nul.txt", "%6Eul.txt"},
                                                                   {"Com1", "%43om1"},
                                                                   {"LPT9 .old", "%4CPT9 .old"},
                                                                   {"lpt\xC2\xB9", "%6Cpt\xC2\xB9"},
                                                                   {"Bad\xFF", "Bad%FF"}};
    ApfRecord record;
    record.code = "EHAM";
    std::set<std::string> expected;
    for (const auto& [publisher, folder] : folders) {
        EXPECT_EQ(gf_publisherFolder(publisher), folder) << publisher;
        const auto path = lf_learnedApfPath("airports/my_thirdparty/EHAM.xml", publisher);
        EXPECT_TRUE(gf_writeApf(record, path, ApfWriteMode::learned, 1)) << publisher;
        expected.insert(folder);
    }
    std::set<std::string> made;
    for (const auto& entry : std::filesystem::directory_iterator(learnedDir / "thirdparty")) {
        made.insert(gf_pathToUtf8(entry.path().filename()));
        EXPECT_TRUE(std::filesystem::exists(entry.path() / "EHAM.xml")) << entry.path();
    }
    EXPECT_EQ(made, expected);
    EXPECT_EQ(gf_publisherFolder("   "), "");
}

} // namespace
} // namespace kvr
