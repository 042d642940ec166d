#include "parking/stand_lookup.h"
#include "parking/stand_lookup_internal.h"
#include "parking_test_support.h"
#include "tools/stand_fixtures/stand_fixtures.h"

namespace kvr {
namespace {

class StandLookupTest : public test::ParkingTest {
protected:
    std::filesystem::path writeLink(const std::string& text) {
        const auto path = folder / "link.txt";
        test::writeFileText(path, text);
        return path;
    }
};

TEST_F(StandLookupTest, LinkFilesNameAnXmlFileOnTheirFirstLine) {
    std::string link = "stale";
    EXPECT_FALSE(lf_readApfLink(folder / "missing.txt", link));
    EXPECT_TRUE(link.empty());
    EXPECT_TRUE(lf_readApfLink(writeLink("archive/thirdparty/Fly%20Tampa/EDDF.XML \r\nsecond line\n"), link));
    EXPECT_EQ(link, "archive/thirdparty/Fly%20Tampa/EDDF.XML");
    EXPECT_FALSE(lf_readApfLink(writeLink("archive/simaddon/EDDF.txt\n"), link));
    EXPECT_TRUE(link.empty());
    EXPECT_FALSE(lf_readApfLink(writeLink("\narchive/simaddon/EDDF.xml\n"), link));
    EXPECT_FALSE(lf_readApfLink(writeLink(""), link));
    EXPECT_FALSE(lf_readApfLink(writeLink("xml\n"), link));
    EXPECT_TRUE(lf_readApfLink(writeLink(".xml"), link));
}

TEST_F(StandLookupTest, LearnedPathsFollowTheStandFilesFolderAndPublisher) {
    const auto learned = [](const std::string& path, const std::string& publisher = {}) {
        return lf_learnedApfPath(path, publisher).generic_string();
    };
    EXPECT_EQ(learned(""), "");
    EXPECT_EQ(learned("archive/thirdparty/Fly%20Tampa/EHAM.xml"),
              "airports/learned/thirdparty/Fly Tampa/EHAM.xml");
    EXPECT_EQ(learned("archive\\thirdparty\\%20Aero%20\\EDDF.XML"),
              "airports/learned/thirdparty/Aero/EDDF.XML");
    EXPECT_EQ(learned("archive/thirdparty/EDDF.xml"), "");
    EXPECT_EQ(learned("archive/thirdparty/%20%20/EDDF.xml"), "");
    EXPECT_EQ(learned("archive/stock/EHAM.xml", "stock"), "airports/learned/stock/EHAM.xml");
    EXPECT_EQ(learned("archive/simaddon/EHAM.xml", "simaddon"), "airports/learned/simaddon/EHAM.xml");
    EXPECT_EQ(learned("airports\\stock\\EHAM.xml"), "airports/learned/stock/EHAM.xml");
    EXPECT_EQ(learned("airports/my_simaddon/EHAM.xml", "simaddon"), "airports/learned/simaddon/EHAM.xml");
    EXPECT_EQ(learned("airports/my_thirdparty/EHAM.xml", " Fly/Tampa\\ "),
              "airports/learned/thirdparty/Fly%2FTampa%5C/EHAM.xml");
    EXPECT_EQ(learned("airports/my_thirdparty2024/EHAM.xml", "iniBuilds"),
              "airports/learned/thirdparty/iniBuilds/EHAM.xml");
    EXPECT_EQ(learned("airports/my_thirdparty/EHAM.xml", ""), "airports/learned/thirdparty/EHAM.xml");
    EXPECT_EQ(learned("airports/other/sub/EHAM.xml"), "airports/learned/other/sub/EHAM.xml");
    EXPECT_EQ(learned("airports/stock/EHAM.txt"), "");
    EXPECT_EQ(learned("elsewhere/EHAM.xml"), "");
    EXPECT_TRUE(logHas("\nairports\\my_simaddon\\EHAM.xml\n"));
}

TEST_F(StandLookupTest, PublisherTestWantsANamedMaker) {
    const auto withParameters = [this](const fixtures::Attributes& parameters) {
        fixtures::StandFileSpec spec;
        spec.parameters = parameters;
        const auto path = folder / "EDDF.xml";
        fixtures::gf_writeStandFile(path, spec);
        return lf_readApfPublisher(path);
    };
    EXPECT_FALSE(lf_readApfPublisher(folder / "none.xml"));
    EXPECT_TRUE(logHas("==> '" + (folder / "none.xml").string() + "' not found"));
    EXPECT_TRUE(withParameters({{"publisher", "Aerosoft"}}));
    EXPECT_FALSE(withParameters({{"publisher", ""}, {"manufacturer", "ABC"}, {"creator", "asobo studio"}}));
    EXPECT_TRUE(withParameters({{"publisher", ""}, {"manufacturer", "ABCD"}}));
    EXPECT_TRUE(withParameters({{"creator", "Some Maker"}}));
    EXPECT_FALSE(withParameters({}));
}

} // namespace
} // namespace kvr
