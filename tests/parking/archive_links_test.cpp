// Links to archived stand files, BGL files the decoder cannot read, and the tblo collection.
#include "airport_scan_support.h"
#include "core/file_util.h"
#include "core/native_path.h"
#include "parking/archive_links_internal.h"
#include "parking/bgl_reader_internal.h"
#include "parking/stand_file.h"
#include "parking/tblo_zip.h"
#include "parking/tblo_zip_internal.h"
#include "support/native_separators.h"

#include <zip.h>

#include <memory>
#include <set>

namespace kvr::test {
namespace {

namespace fs = std::filesystem;
using namespace fixtures;

std::set<std::string> zipEntryNames(const fs::path& zipFile) {
    int error = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(
        zip_open(gf_pathToUtf8(zipFile).c_str(), ZIP_RDONLY, &error), &zip_discard);
    std::set<std::string> names;
    if (!archive)
        return names;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive.get(), 0); ++i)
        names.insert(zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0));
    return names;
}

class ArchiveLinksTest : public AirportScanTest {
protected:
    void SetUp() override {
        AirportScanTest::SetUp();
        knownAirports({"EHAM", "EHLE", "EHRD", "EIDW", "KMCI"});
        publisherNames = {{"FlyTampa", "flytampa-"}, {"Burning Blue Design", "burningblue-"}};
        simAddonAirportCodes = {"EHAM"};
    }

    // An airport of `stands` gates in a Community package.
    fs::path communityAirport(const std::string& package, const std::string& code, int stands) {
        return writeAirport("sim/Community/" + package + "/scenery/" + code + ".bgl",
                            bglGridAirport(code, 52.3, 4.76, stands));
    }

    // A file the report only looks at by its path.
    fs::path communityFile(const std::string& package, const std::string& name) {
        const fs::path path = folder / "sim/Community" / package / "scenery" / name;
        fs::create_directories(path.parent_path());
        writeFileText(path, "");
        return path;
    }

    void writeGenerated(const std::string& code, const std::string& publisher, const std::string& creator) {
        ApfRecord record;
        record.code = code;
        record.publisher = publisher;
        record.creator = creator;
        record.stands.emplace_back("g1", std::vector<StandOption>{}, StandPlacement{52.3, 4.76, 1.0}, 20.0,
                                   false, false, false);
        ASSERT_TRUE(gf_writeApf(record, thirdpartyFile(code + ".xml"), ApfWriteMode::full, 1));
    }
};

TEST_F(ArchiveLinksTest, SimulatorAddonAirportsAreLinkedUnderBothSimulators) {
    const auto path = communityAirport("microsoft-airport-eham", "EHAM", 120);
    for (const bool msfs2020 : {true, false}) {
        SCOPED_TRACE(msfs2020);
        msfs2020Selected = msfs2020;
        fs::remove_all(folder / "airports");
        fs::create_directories(folder / "airports/my_simaddon");
        lf_processBGLfile(path);
        EXPECT_EQ(readFileText(simaddonFile("EHAM.txt")), "archive/simaddon/EHAM.xml\n");
        EXPECT_FALSE(fs::exists(simaddonFile("EHAM.xml")));
        EXPECT_FALSE(fs::exists(thirdpartyFile("EHAM.xml")));
    }
    EXPECT_TRUE(hasMessage("simaddon airport EHAM linked to archive/simaddon/EHAM.xml"));
    EXPECT_TRUE(airportFilesChanged);

    // Not listed as the simulator's own: generated among the simulator's files instead.
    msfs2020Selected = true;
    lf_processBGLfile(communityAirport("microsoft-airport-ehrd", "EHRD", 3));
    EXPECT_TRUE(hasMessage("EHRD does not exist as simaddon"));
    EXPECT_EQ(writtenStands(simaddonFile("EHRD.xml")).size(), 3u);
    EXPECT_FALSE(messageContains("EHRD has 3 parkpos"));
}

TEST_F(ArchiveLinksTest, ThirdPartyAirportsLinkThroughTheSelectedSimulatorsList) {
    fs::create_directories(folder / "airports/my_thirdparty");
    thirdPartyAirports20 = {{"FlyTampa", {"EHAM"}}, {"Burning Blue Design", {"EGCC88", "EIDW60"}}};
    thirdPartyAirports24 = {{"FlyTampa", {"EHLE40"}}};

    lf_processBGLfile(communityAirport("burningblue-dublin", "EIDW", 12));
    EXPECT_EQ(readFileText(thirdpartyFile("EIDW.txt")),
              "archive/thirdparty/Burning%20Blue%20Design/EIDW.xml\n");
    EXPECT_TRUE(
        hasMessage("thirdparty airport EIDW linked to archive/thirdparty/Burning%20Blue%20Design/EIDW.xml"));
    EXPECT_FALSE(fs::exists(thirdpartyFile("EIDW.xml")));

    // A code without its stand count links with none archived, so the scanned stands are generated too.
    lf_processBGLfile(communityAirport("flytampa-amsterdam", "EHAM", 2));
    EXPECT_TRUE(logHas("==> FlyTampa EHAM EHAM invalid number\n"));
    EXPECT_TRUE(fs::exists(thirdpartyFile("EHAM.txt")));
    EXPECT_TRUE(hasMessage("===> EHAM has 2 parkpos while archived one has 0"));
    EXPECT_EQ(writtenStands(thirdpartyFile("EHAM.xml")).size(), 2u);

    lf_processBGLfile(communityAirport("flytampa-lelystad", "EHLE", 5));
    EXPECT_TRUE(hasMessage("thirdparty FlyTampa EHLE does not exist"));
    EXPECT_FALSE(fs::exists(thirdpartyFile("EHLE.txt")));
    EXPECT_EQ(writtenStands(thirdpartyFile("EHLE.xml")).size(), 5u);

    // Under MSFS 2024 a linked airport keeps its archived file, whatever the stand counts.
    msfs2020Selected = false;
    fs::remove(thirdpartyFile("EHLE.xml"));
    lf_processBGLfile(communityAirport("flytampa-lelystad", "EHLE", 50));
    EXPECT_EQ(readFileText(thirdpartyFile("EHLE.txt")), "archive/thirdparty/FlyTampa/EHLE.xml\n");
    EXPECT_FALSE(fs::exists(thirdpartyFile("EHLE.xml")));
}

TEST_F(ArchiveLinksTest, UndecodableFilesAreNamedByStemTitleOrPath) {
    const fs::path byStem = folder / "x" / "eham.bgl";
    EXPECT_EQ(lf_reportNonComplying(byStem), "EHAM");
    EXPECT_TRUE(hasMessage("Non complyingairport has ICAO code 'EHAM' as BGL stem"));

    const auto byTitle = communityFile("anydev-lelystad", "objects.bgl");
    writeFileText(byTitle.parent_path().parent_path() / "manifest.json", R"({"title": "ehle Lelystad"})");
    EXPECT_EQ(lf_reportNonComplying(byTitle), "EHLE");
    EXPECT_TRUE(hasMessage("Non complying airport has ICAO 'EHLE' in title 'ehle Lelystad' of manifest"));

    const auto byPath = communityFile("anydev-ehrd-rotterdam", "objects.bgl");
    writeFileText(byPath.parent_path().parent_path() / "manifest.json", R"({"title": "Rotterdam"})");
    EXPECT_EQ(lf_reportNonComplying(byPath), "EHRD");
    EXPECT_TRUE(hasMessage("Non complying airport has ICAO 'EHRD' in BGL path '" + byPath.string() + "'"));

    const auto lost = communityFile("anydev-ehrd-nomanifest", "objects.bgl");
    EXPECT_EQ(lf_reportNonComplying(lost), "");
    EXPECT_TRUE(hasMessage("==================> Non complying airport lost ... '" + lost.string() + "'"));

    // A known add-on airport still gets its link.
    fs::create_directories(folder / "airports/my_simaddon");
    lf_reportNotRecognised(communityFile("microsoft-airport-eham", "EHAM.bgl"));
    EXPECT_TRUE(fs::exists(simaddonFile("EHAM.txt")));
    EXPECT_FALSE(fs::exists(simaddonFile("EHAM.xml")));
}

TEST_F(ArchiveLinksTest, CollectionZipsTheFilesWorthLearning) {
    fs::create_directories(tbloDir);
    writeGenerated("EHAM", "FlyTampa", "");
    writeFileText(thirdpartyFile("EHAM.txt"), "archive/thirdparty/FlyTampa/EHAM.xml\n");
    writeGenerated("EHLE", "", "Dutch Sim Works");
    writeGenerated("EHRD", "", "");
    writeGenerated("KMCI", "TropicalSim", "");
    writeGenerated("ZZZZ", "Someone", "");

    lf_collectThirdpartyFiles(lf_listXmlStems(folder / "airports/my_thirdparty"));

    EXPECT_EQ(tbloCount.load(), 2);
    EXPECT_EQ(zipEntryNames(tbloZipFile), (std::set<std::string>{"EHAM.xml", "EHLE.xml"}));
    EXPECT_FALSE(fs::exists(tbloDir / "EHAM.xml"));
    EXPECT_FALSE(fs::exists(thirdpartyFile("EHAM.txt")));
    EXPECT_TRUE(fs::exists(thirdpartyFile("EHAM.xml")));
    EXPECT_TRUE(fs::exists(thirdpartyFile("EHRD.xml")));
    EXPECT_FALSE(fs::exists(thirdpartyFile("KMCI.xml")));
    EXPECT_TRUE(logHas("EHAM copied to " + test::nativeSeparators("tblo/EHAM.xml") + "\n"));
    EXPECT_TRUE(logHas(" to support@vantrel.org\n"));
    EXPECT_TRUE(logHas("[zip] Added 2 files, ok_close=true, exists=true"));
}

TEST_F(ArchiveLinksTest, NothingToCollectMeansNoZip) {
    fs::create_directories(tbloDir);
    writeGenerated("EHRD", "", "");
    tbloCount = 3;
    lf_collectThirdpartyFiles(lf_listXmlStems(folder / "airports/my_thirdparty"));
    EXPECT_EQ(tbloCount.load(), 0);
    EXPECT_FALSE(fs::exists(tbloZipFile));
    EXPECT_TRUE(logHas("All your third party airports are recognised, no off line learning needed.\n"));
}

TEST_F(ArchiveLinksTest, ZipReplacesAnOlderOneAndNeedsItsFolder) {
    EXPECT_FALSE(gf_zipFolder(tbloZipFile));
    EXPECT_TRUE(logHas("[zip] Not a directory: tblo\n"));

    fs::create_directories(tbloDir);
    writeFileText(tbloZipFile, "an old zip");
    writeFileText(tbloDir / "A.xml", "<root/>");
    writeFileText(tbloDir / "empty.xml", "");
    EXPECT_TRUE(gf_zipFolder(tbloZipFile));
    EXPECT_TRUE(logHas("[zip] Removing old zip "));
    EXPECT_EQ(zipEntryNames(tbloZipFile), (std::set<std::string>{"A.xml", "empty.xml"}));
}

} // namespace
} // namespace kvr::test
