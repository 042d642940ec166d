// Who made an add-on airport: path, publisher list and package manifest.
#include "airport_scan_support.h"
#include "parking/publisher_search_internal.h"

namespace kvr::test {
namespace {

namespace fs = std::filesystem;

class PublisherSearchTest : public AirportScanTest {
protected:
    void SetUp() override {
        AirportScanTest::SetUp();
        publisherNames = {{"FlyTampa", "Fly Tampa", "flytampa-"},
                          {"Drzewiecki Design", "drzewiecki-design-"},
                          {"Aerosoft", "aerosoft-"}};
    }

    // A BGL path inside a Community package, with the package's manifest when given.
    fs::path packageFile(const std::string& package, const std::string& manifest = {}) {
        const fs::path packageFolder = folder / "sim" / "Community" / package;
        fs::create_directories(packageFolder / "scenery");
        if (!manifest.empty())
            writeFileText(packageFolder / "manifest.json", manifest);
        const fs::path file = packageFolder / "scenery" / "AIRPORT.bgl";
        writeFileText(file, "");
        return file;
    }
};

TEST_F(PublisherSearchTest, SimulatorAddonsAreKnownByTheirPackageName) {
    const auto path = packageFile("Microsoft-AIRPORT-eham-schiphol", R"({"creator": "FlyTampa"})");
    const PublisherInfo info = lf_findPublisher(path);
    EXPECT_EQ(info.publisher, "simaddon");
    EXPECT_EQ(messages(), (std::vector<std::string>{"\nTry to find publisher in: " + path.string(),
                                                    "from filename => publisher simaddon"}));
    EXPECT_EQ(lf_findPublisher(packageFile("asobo-airport-lowi")).publisher, "simaddon");
}

TEST_F(PublisherSearchTest, PackageNamesMatchTheListInAnyCase) {
    const PublisherInfo info =
        lf_findPublisher(packageFile("DRZEWIECKI-DESIGN-warsaw", R"({"creator": "Aerosoft"})"));
    EXPECT_EQ(info.publisher, "Drzewiecki Design");
    EXPECT_TRUE(hasMessage("publisher 'Drzewiecki Design' found"));
    EXPECT_FALSE(messageContains("manifest.json"));

    // An empty name in the list matches every text, so the search ends at its group.
    publisherNames.insert(publisherNames.begin() + 1, {"Anyone", ""});
    EXPECT_EQ(lf_findPublisher(packageFile("aerosoft-frankfurt")).publisher, "Anyone");
    EXPECT_EQ(lf_matchPublisher("nothing like it"), "Anyone");
}

TEST_F(PublisherSearchTest, ManifestManufacturerWinsOverCreator) {
    const auto both =
        packageFile("mydev-frankfurt", R"({"manufacturer": "AEROSOFT GmbH", "creator": "Fly Tampa"})");
    const PublisherInfo info = lf_findPublisher(both);
    EXPECT_EQ(info.publisher, "Aerosoft");
    EXPECT_EQ(info.manufacturer, "AEROSOFT GmbH");
    EXPECT_EQ(info.creator, "Fly Tampa");
    EXPECT_TRUE(hasMessage((both.parent_path().parent_path() / "manifest.json").string() + " found"));
    EXPECT_TRUE(hasMessage("from manifest.json: manufacturer 'AEROSOFT GmbH' => publisher 'Aerosoft'"));

    const auto creatorOnly =
        packageFile("otherdev-athens", R"({"manufacturer": "Small Shop", "creator": "Fly Tampa"})");
    EXPECT_EQ(lf_findPublisher(creatorOnly).publisher, "FlyTampa");
    EXPECT_TRUE(hasMessage("from manifest.json: creator 'Fly Tampa' => publisher 'FlyTampa'"));

    const auto unknown =
        packageFile("thirddev-lelystad", R"({"manufacturer": "Small Shop", "title": "Lelystad"})");
    const PublisherInfo none = lf_findPublisher(unknown);
    EXPECT_TRUE(none.publisher.empty());
    EXPECT_EQ(none.manufacturer, "Small Shop");
    EXPECT_TRUE(
        hasMessage("no valid info found in manifest about publisher, manufacturer:'Small Shop', creator:'' " +
                   unknown.string()));
}

TEST_F(PublisherSearchTest, NoManifestMeansNoPublisher) {
    const fs::path outside = folder / "sim" / "Official" / "someone-airport" / "scenery" / "X.bgl";
    fs::create_directories(outside.parent_path());
    EXPECT_TRUE(lf_findPublisher(outside).publisher.empty());
    EXPECT_TRUE(hasMessage("===> No publisher found"));

    for (const std::string manifest : {"", "not json", "[1, 2]"}) {
        SCOPED_TRACE(manifest);
        EXPECT_FALSE(gf_searchManifest(packageFile("pkg", manifest.empty() ? " " : manifest)));
    }
    EXPECT_FALSE(gf_searchManifest(packageFile("bare")));

    // The lower-cased component counts; a file right inside Community has no package folder.
    const fs::path lower = folder / "sim" / "community" / "pkg2" / "a.bgl";
    fs::create_directories(lower.parent_path());
    writeFileText(lower.parent_path() / "manifest.json", R"({"title": "EHAM Schiphol"})");
    EXPECT_EQ(gf_searchManifest(lower)->title, "EHAM Schiphol");
    EXPECT_FALSE(gf_searchManifest(folder / "sim" / "Community" / "a.bgl"));
}

TEST_F(PublisherSearchTest, AManifestMemberThatIsNoTextIsReported) {
    const auto path = packageFile("typed", R"({"creator": 42})");
    EXPECT_FALSE(gf_searchManifest(path));
    EXPECT_TRUE(messageContains("exception in gf_searchManifest: "));
    EXPECT_TRUE(lf_findPublisher(path).publisher.empty());
    EXPECT_TRUE(hasMessage("===> No publisher found"));
}

} // namespace
} // namespace kvr::test
