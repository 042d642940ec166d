#include "parking/learned_file.h"
#include "parking/park_stands.h"
#include "parking/stand_lookup.h"
#include "parking/stand_lookup_internal.h"
#include "parking/static_parking.h"
#include "parking/static_parking_internal.h"
#include "parking_test_support.h"
#include "recording_ports.h"
#include "refdata/closest_airport.h"
#include "support/standin_process.h"
#include "tools/stand_fixtures/demo_airports.h"

namespace kvr {
namespace {

// The whole road of a stand file: lookup, download from vantrel-standin, reading.
class StandDownloadTest : public test::ParkingTest {
protected:
    void SetUp() override {
        ParkingTest::SetUp();
        fixtures::gf_writeDemoStandFiles(downloads.path());
        server = std::make_unique<test::StandinProcess>(
            std::vector<std::string>{"--downloads", downloads.path().string()});
        ASSERT_TRUE(server->running());
        ::setenv("VANTREL_DOWNLOAD_URL", server->url().c_str(), 1);
        setAirports({{"EHAM", "AMS", "Schiphol", 52.3086, 4.7639, -11.0, 190},
                     {"EGLL", "LHR", "Heathrow", 51.4706, -0.461941, 83.0, 210},
                     {"EHXX", "", "", 52.3286, 4.7639, 0.0, 1},
                     {"NONE", "", "", 53.0, 5.0, 10.0, 0}});
    }
    void TearDown() override {
        server.reset();
        ::unsetenv("VANTREL_DOWNLOAD_URL");
        gf_installClosestStandLookup({});
        ParkingTest::TearDown();
    }

    std::string readPark(const std::string& code) {
        currentParkAirport = *gf_findAirport(code);
        const std::string path = gf_findArchivedStockApf(code);
        return gf_readApf(path, info);
    }

    test::TempFolder downloads;
    std::unique_ptr<test::StandinProcess> server;
    ParkAirportFileInfo info;
    test::RecordingControlPort port;
};

TEST_F(StandDownloadTest, StockFileIsDownloadedAndReadWhateverTheSimulator) {
    msfs2020Selected = false;
    ASSERT_EQ(readPark("EHAM"), "");
    EXPECT_EQ(info.airportName, "Amsterdam Airport Schiphol");
    EXPECT_EQ(info.fileName, "archive/stock/EHAM.xml");
    EXPECT_GE(standList.size(), 80u);
    EXPECT_TRUE(std::filesystem::exists(airportsDir / "park_airport.xml"));
    EXPECT_TRUE(logHas("archive\\stock\\EHAM.xml\n"));
}

TEST_F(StandDownloadTest, LinkFilesComeBeforeLocalFilesAndLeadToTheSimulatorsArchive) {
    std::filesystem::create_directories(myThirdpartyDir);
    test::writeFileText(myThirdpartyDir / "EHAM.txt", "archive/thirdparty/FlyTampa/EHAM.xml\n");
    fixtures::StandFileSpec local = fixtures::gf_demoStandFiles().front().spec;
    local.stands.resize(2);
    fixtures::gf_writeStandFile(myThirdpartyDir / "EHAM.xml", local);

    ASSERT_EQ(readPark("EHAM"), "");
    EXPECT_EQ(info.publisher, "FlyTampa");
    EXPECT_GE(standList.size(), 80u);

    // Under MSFS 2024 a third-party file comes from the other folder, which does not have this one.
    std::filesystem::remove_all(downloads.path() / "MSFS2024");
    msfs2020Selected = false;
    gf_clearStands();
    const std::string url = server->url() + "/downloads/MSFS2024/archive/thirdparty/FlyTampa/EHAM.xml";
    EXPECT_EQ(readPark("EHAM"), "failed to download: '" + url + "'");
    EXPECT_TRUE(logHas("failed to download: '" + url + "'\n"));

    std::filesystem::remove(myThirdpartyDir / "EHAM.txt");
    gf_clearStands();
    ASSERT_EQ(readPark("EHAM"), "");
    EXPECT_EQ(standList.size(), 2u);
    EXPECT_EQ(info.fileName, "airports/my_thirdparty/EHAM.xml");
}

TEST_F(StandDownloadTest, AByteOrderMarkBeforeTheLinkIsNoPartOfTheDownload) {
    std::filesystem::create_directories(myThirdpartyDir);
    test::writeFileText(myThirdpartyDir / "EHAM.txt", "\xEF\xBB\xBF"
                                                      "archive/thirdparty/FlyTampa/EHAM.xml\r\n");
    ASSERT_EQ(readPark("EHAM"), "");
    EXPECT_EQ(info.fileName, "archive/thirdparty/FlyTampa/EHAM.xml");
    EXPECT_GE(standList.size(), 80u);
}

TEST_F(StandDownloadTest, FailedDownloadLeavesNoFileBehind) {
    std::filesystem::create_directories(airportsDir);
    test::writeFileText(airportsDir / "park_airport.xml", "an older park airport");
    const std::string error = lf_downloadApf("archive/stock/EHXX.xml", airportsDir / "park_airport.xml");
    EXPECT_EQ(error, "failed to download: '" + server->url() + "/downloads/MSFS/archive/stock/EHXX.xml'");
    EXPECT_FALSE(std::filesystem::exists(airportsDir / "park_airport.xml"));

    server->stop();
    EXPECT_EQ(readPark("EGLL"),
              "failed to download: '" + server->url() + "/downloads/MSFS/archive/stock/EGLL.xml'");
    EXPECT_FALSE(std::filesystem::exists(airportsDir / "park_airport.xml"));
    EXPECT_FALSE(parkAirportLoaded);
}

TEST_F(StandDownloadTest, DestinationLookupFindsTheNearestStandAndCleansUp) {
    std::string standId;
    const double nm = gf_readDestApfForClosestStand("EHAM", 52.313219, 4.764048, standId);
    EXPECT_LT(nm, 0.001);
    EXPECT_EQ(standId, "D7");
    EXPECT_FALSE(std::filesystem::exists(airportsDir / "airport.xml"));

    standId = "unchanged";
    EXPECT_EQ(gf_readDestApfForClosestStand("NONE", 52.3, 4.7, standId), 100.0);
    EXPECT_EQ(gf_readDestApfForClosestStand("EHXX", 52.3, 4.7, standId), 100.0);
    EXPECT_EQ(standId, "unchanged");
    EXPECT_FALSE(std::filesystem::exists(airportsDir / "airport.xml"));

    // A local file keeps its stands under root, as this program writes them, and stays where it is.
    fixtures::StandFileSpec local = fixtures::gf_demoStandFiles().front().spec;
    fixtures::gf_writeStandFile(mySimaddonDir / "NONE.xml", local);
    EXPECT_LT(gf_readDestApfForClosestStand("NONE", 52.305500, 4.781500, standId), 0.001);
    EXPECT_EQ(standId, "helipad1");
    EXPECT_TRUE(std::filesystem::exists(mySimaddonDir / "NONE.xml"));
}

TEST_F(StandDownloadTest, ClosestAirportPrefersTheAirportWithTheNearerStand) {
    // EHXX's reference point is nearer, but its stand file cannot be fetched; EHAM has a stand right here.
    gf_installClosestStandLookup(gf_readDestApfForClosestStand);
    EXPECT_EQ(gf_closestAirport(52.3250, 4.7639), "EHAM");
    gf_installClosestStandLookup({});
    EXPECT_EQ(gf_closestAirport(52.3250, 4.7639), "EHXX");
}

TEST_F(StandDownloadTest, LearnedDataComeBackFromEveryKindOfStandFile) {
    fixtures::StandFileSpec spec = fixtures::gf_demoStandFiles().front().spec;
    const auto withPublisher = [&spec](const std::string& publisher) {
        fixtures::StandFileSpec file = spec;
        for (auto& [name, value] : file.parameters)
            if (name == "publisher")
                value = publisher;
        return file;
    };
    const auto link = [](const std::filesystem::path& linkFile, const std::string& target) {
        std::filesystem::create_directories(linkFile.parent_path());
        test::writeFileText(linkFile, target + "\n");
    };
    fixtures::gf_writeStandFile(downloads / "MSFS/archive/thirdparty/Tampa Works/EHAM_v2.xml",
                                withPublisher("Fly/Tampa"));
    const std::vector<std::tuple<std::string, std::function<void()>, std::string>> origins{
        {"stock", [] {}, "airports/learned/stock/EHAM.xml"},
        {"simaddon", [&] { link(mySimaddonDir / "EHAM.txt", "archive/simaddon/EHAM.xml"); },
         "airports/learned/simaddon/EHAM.xml"},
        {"my_simaddon",
         [&] { fixtures::gf_writeStandFile(mySimaddonDir / "EHAM.xml", withPublisher("Fly/Sim")); },
         "airports/learned/simaddon/EHAM.xml"},
        {"thirdparty",
         [&] { link(myThirdpartyDir / "EHAM.txt", "archive/thirdparty/Tampa%20Works/EHAM_v2.xml"); },
         "airports/learned/thirdparty/Tampa Works/EHAM_v2.xml"},
        {"link",
         [&] {
             fixtures::gf_writeStandFile("airports/other/EHAM_v2.xml", withPublisher(""));
             link(myThirdpartyDir / "EHAM.txt", "airports/other/EHAM_v2.xml");
         },
         "airports/learned/other/EHAM_v2.xml"},
        {"local", [&] { fixtures::gf_writeStandFile(myThirdpartyDir / "EHAM.xml", withPublisher("..")); },
         "airports/learned/thirdparty/%2E%2E/EHAM.xml"}};
    for (const auto& [origin, setUp, learned] : origins) {
        std::filesystem::remove_all(airportsDir);
        setUp();
        gf_clearStands();
        ASSERT_EQ(readPark("EHAM"), "") << origin;
        StandOption seen;
        seen.airline = "KLM";
        seen.type = "B738";
        seen.registration = "PH-LRN";
        seen.halfHours = 1ull << 5;
        seen.aircraftId = 1;
        seen.day = 2;
        seen.real = 1;
        standList[0].options.push_back(seen);
        parkAirportFileInfo = info;
        lf_saveLearnedAirports();
        EXPECT_TRUE(std::filesystem::exists(learned)) << origin;

        gf_clearStands();
        info = {};
        ASSERT_EQ(readPark("EHAM"), "") << origin;
        ASSERT_EQ(standList[0].options.size(), 1u) << origin;
        EXPECT_EQ(standList[0].options[0].registration, "PH-LRN") << origin;
    }
}

TEST_F(StandDownloadTest, APublisherNamedLikeAStockFolderIsFetchedFromItsSimulatorsFolder) {
    fixtures::StandFileSpec spec = fixtures::gf_demoStandFiles().front().spec;
    fixtures::gf_writeStandFile(downloads / "MSFS2024/archive/thirdparty/Woodstock_Sceneries/EHAM.xml", spec);
    std::filesystem::create_directories(myThirdpartyDir);
    test::writeFileText(myThirdpartyDir / "EHAM.txt", "archive/thirdparty/Woodstock_Sceneries/EHAM.xml\n");
    msfs2020Selected = false;
    EXPECT_EQ(readPark("EHAM"), "");
}

} // namespace
} // namespace kvr
