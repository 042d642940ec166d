#include "liveries/scan_reports_internal.h"
#include "livery_scan_test_support.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

namespace kvr {
namespace {

namespace fs = std::filesystem;

class ScanReportsTest : public test::LiveryScanTest {
protected:
    void SetUp() override {
        LiveryScanTest::SetUp();
        paths = lf_scanReportPaths();
    }
    ScanReportPaths paths;
};

TEST_F(ScanReportsTest, PathsFollowTheWorkingFolder) {
    EXPECT_EQ(paths.incompleteSections, folder / "output" / "errors" / "IncompleFltsimSections.txt");
    EXPECT_EQ(paths.cfgWithoutFltsim, folder / "output" / "info" / "AircraftCfgWithNoFltsimSection.txt");
    EXPECT_EQ(paths.conversions, folder / "output" / "info" / "AirlineModelConversions.txt");
}

TEST_F(ScanReportsTest, RemovalTakesThePreviousScanAndLeavesTheConversions) {
    fs::create_directories(liveryPaths.errorsFolder);
    for (const fs::path& file :
         {paths.invalidAirlineCodes, paths.invalidAircraftCodes, paths.fixes, paths.invalidAircraftCfgFiles,
          paths.incompleteSections, paths.cfgWithoutFltsim, paths.conversions, liveryPaths.liveriesScanned,
          liveryPaths.inlineRegcodes})
        test::writeFileText(file, "old\n");
    lf_removeScanFiles();
    EXPECT_FALSE(fs::exists(liveryPaths.errorsFolder));
    EXPECT_TRUE(fs::exists(liveryPaths.liveriesScanned)) << "only a complete new catalogue replaces it";
    EXPECT_FALSE(fs::exists(paths.cfgWithoutFltsim));
    EXPECT_TRUE(fs::exists(paths.conversions));
    EXPECT_EQ(logText().find("problems"), std::string::npos);

    lf_removeScanFiles();
    EXPECT_EQ(logText().find("problems"), std::string::npos) << "missing files are no error";
}

TEST_F(ScanReportsTest, UserFilesKeepTheErrorsFolder) {
    fs::create_directories(liveryPaths.errorsFolder);
    test::writeFileText(paths.fixes, "old\n");
    test::writeFileText(liveryPaths.errorsFolder / "mine.txt", "keep\n");
    lf_removeScanFiles();
    EXPECT_FALSE(fs::exists(paths.fixes));
    EXPECT_TRUE(fs::exists(liveryPaths.errorsFolder / "mine.txt"));
    EXPECT_NE(logText().find("problems with removing previous files: "), std::string::npos);
}

TEST_F(ScanReportsTest, CorrectionsFromTheRegistrations) {
    scannedLiveries = {
        LiveryData{"KLM", "B738", "Martinair freighter", "PH-CKA", 1, false},
        LiveryData{"KLM", "A320", "Speedbird", "GEUUA", 1, false},
        LiveryData{"KLM", "B738", "Correct already", "PH-BXA", 1, false},
        LiveryData{"KLM", "B738", "Unknown registration", "PH-QQQ", 1, false},
        LiveryData{"BAW", "B738", "No registration", "", 1, true},
    };
    lf_logConversions();
    const std::vector<std::string> expected{
        fmt::format("{:80} PH-CKA cargo false => true", "Martinair freighter"),
        fmt::format("{:80} PH-CKA airl KLM => MPH", "Martinair freighter"),
        fmt::format("{:80} PH-CKA model B738 => B744", "Martinair freighter"),
        fmt::format("{:80} GEUUA airl KLM => BAW", "Speedbird"),
    };
    EXPECT_EQ(lf_conversionLines(), expected);
    auto livery = scannedLiveries.begin();
    EXPECT_TRUE(livery->cargo);
    EXPECT_EQ(livery->airl + livery->type, "MPHB744");
    EXPECT_EQ((++livery)->airl, "BAW") << "without an operator the record's airline counts";
    EXPECT_EQ((++livery)->airl, "KLM");
    EXPECT_EQ((++livery)->airl, "KLM");
    EXPECT_TRUE((++livery)->cargo);

    lf_clearConversionLines();
    scannedLiveries = {LiveryData{"MPH", "B744", "Right already", "PH-CKA", 1, true},
                       LiveryData{"MPH", "B744", "Cargo again", "PH-CKA", 1, false}};
    lf_logConversions();
    EXPECT_EQ(lf_conversionLines(),
              std::vector<std::string>{fmt::format("{:80} PH-CKA cargo false => true", "Cargo again")});
}

TEST_F(ScanReportsTest, CleanScanLogsNoErrorsAndCreatesNoErrorsFolder) {
    lf_writeScanReports();
    EXPECT_NE(logText().find("\nNo errors\n\nInformation:\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(liveryPaths.errorsFolder));
}

TEST_F(ScanReportsTest, ReportFilesAndTheirSummary) {
    invalidAirlineCodesList.add("ZZ2 b");
    invalidAirlineCodesList.add("ZZ1 a");
    invalidModelCodesList.add("only one");
    modelFixesList.add("fix second");
    modelFixesList.add("fix first");
    invalidCfgFilesList.add("cfg");
    incompleteSectionsList.add("same");
    incompleteSectionsList.add("other");
    incompleteSectionsList.add("same");
    emptyCfgFilesList.add("empty b");
    emptyCfgFilesList.add("empty a");
    scannedLiveries = {LiveryData{"KLM", "B738", "t", "G-EUUA", 1, false}};
    lf_logConversions();
    lf_writeScanReports();

    EXPECT_EQ(fileLines(paths.invalidAirlineCodes), (std::vector<std::string>{"ZZ1 a", "ZZ2 b"}));
    EXPECT_EQ(fileLines(paths.invalidAircraftCodes), std::vector<std::string>{"only one"});
    EXPECT_EQ(fileLines(paths.fixes), (std::vector<std::string>{"fix second", "fix first"}))
        << "recorded order";
    EXPECT_EQ(fileLines(paths.invalidAircraftCfgFiles), std::vector<std::string>{"cfg"});
    EXPECT_EQ(fileLines(paths.incompleteSections), (std::vector<std::string>{"other", "same"}));
    EXPECT_EQ(fileLines(paths.cfgWithoutFltsim), (std::vector<std::string>{"empty a", "empty b"}));
    EXPECT_EQ(fileLines(paths.conversions).size(), 2u);
    EXPECT_EQ(test::readFileText(paths.invalidAirlineCodes), "ZZ1 a\nZZ2 b\n");

    const std::string log = logText();
    const std::string expected =
        "\nErrors:\n" + fmt::format("2 invalid airline codes, see {}\n", paths.invalidAirlineCodes.string()) +
        fmt::format("1 invalid model code, see {}\n", paths.invalidAircraftCodes.string()) +
        fmt::format("2 code fixes, see {}\n", paths.fixes.string()) +
        fmt::format("1 invalid aircraft.cfg files, see {}\n", paths.invalidAircraftCfgFiles.string()) +
        fmt::format("3 incomplete [fltsim.x] sections, see {}\n", paths.incompleteSections.string()) +
        "\nInformation:\n" +
        fmt::format("2 empty aircraft.cfg files, see {}\n", paths.cfgWithoutFltsim.string()) +
        fmt::format("2 liveries updated with real live data from dbase, see {}\n",
                    paths.conversions.string());
    EXPECT_NE(log.find(expected), std::string::npos) << log;
}

TEST_F(ScanReportsTest, EarlierConversionsStayWhenThereAreNone) {
    test::writeFileText(paths.conversions, "earlier\n");
    lf_writeScanReports();
    EXPECT_EQ(test::readFileText(paths.conversions), "earlier\n");
}

TEST_F(ScanReportsTest, FixesFileFailureIsLogged) {
    test::writeFileText(liveryPaths.errorsFolder, "a file where the folder belongs");
    modelFixesList.add("fix");
    lf_writeFixesFile();
    EXPECT_NE(logText().find("Error writing file " + paths.fixes.string() + ": "), std::string::npos);
}

} // namespace
} // namespace kvr
