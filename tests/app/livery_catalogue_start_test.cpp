// The livery catalogue as a start finds it: one that cannot be read is scanned anew, one that cannot be
// replaced leaves the scan on and this start with the liveries just scanned.
#include "liveries/livery_database.h"
#include "whole_run_fixture.h"

namespace kvr::test {
namespace {

const char* scanOnParameters =
    R"(<parameter name="SCAN_LIVERIES" value="true"/><parameter name="SCAN_AIRPORTS" value="false"/>)"
    R"(<parameter name="LAST_EPOCH_TIME:" value="2147483647"/>)";

class CatalogueAtStart : public WholeRun {
protected:
    // Each test is the process's first start.
    void SetUp() override {
        WholeRun::SetUp();
        liveriesProcessed = false;
    }
    // Runs the program until the session holds for the service, or an error stops the start.
    int runTheStart() {
        return runClosingWhen([this] {
            return logCount("Holding for 2 seconds") > 0 || !gf_messageLineSnapshot().errorText.empty();
        });
    }
};

TEST_F(CatalogueAtStart, AnEmptyCatalogueWithTheScanOffIsScannedAnew) {
    stageProgram();
    writeFileText("output/LiveriesScanned.xml", "");
    writeAiPackage(2);
    EXPECT_EQ(runTheStart(), 0);
    const std::string log = logText();
    EXPECT_EQ(log.find("Error "), std::string::npos) << log;
    EXPECT_NE(log.find("LiveriesScanned.xml is empty, the liveries are scanned\n"), std::string::npos) << log;
    EXPECT_NE(readFileText("output/LiveriesScanned.xml").find(R"(title="Scanned KLM 1")"), std::string::npos);
}

TEST_F(CatalogueAtStart, ACatalogueThatCannotBeReplacedLeavesTheScanOnAndItsLiveriesInUse) {
    stageProgram();
    writeParameters(scanOnParameters);
    std::filesystem::remove("output/LiveriesScanned.xml");
    // A folder in the catalogue's place can be neither removed nor replaced, whoever runs the test.
    std::filesystem::create_directories("output/LiveriesScanned.xml/held");
    writeAiPackage(3);
    EXPECT_EQ(runTheStart(), 0);
    const std::string log = logText();
    EXPECT_EQ(log.find("Error "), std::string::npos) << log;
    EXPECT_NE(log.find("==> 3 liveries could not be saved to "), std::string::npos) << log;
    EXPECT_NE(log.find("LiveriesScanned.xml: Is a directory\n"), std::string::npos) << log;
    EXPECT_EQ(statusDisplay.liveryCount.load(), 3u);
    EXPECT_EQ(storedValue("SCAN_LIVERIES"), "true") << "the next start scans again";
}

} // namespace
} // namespace kvr::test
