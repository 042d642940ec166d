#include "core/message_line.h"
#include "parking/learned_file.h"
#include "parking/park_airport_internal.h"
#include "static_parking_support.h"
#include "support/native_separators.h"

namespace kvr {
namespace {

class ParkAirportsTest : public test::StaticParkingTest {
protected:
    void SetUp() override {
        StaticParkingTest::SetUp();
        std::filesystem::create_directories(myThirdpartyDir);
        setAirports({{"EHAM", "AMS", "Schiphol", 52.3086, 4.7639, -11, 90},
                     {"EHRD", "RTM", "Rotterdam", 51.9569, 4.4372, -15, 0},
                     {"EGLL", "LHR", "Heathrow", 51.4706, -0.4619, 83, 0}});
    }

    static void writeList(const std::string& text) { test::writeFileText(myParkAirportsFile, text); }
    static std::string fileText() { return test::readFileText(myParkAirportsFile); }

    static std::vector<std::pair<std::string, std::string>> entries() {
        std::vector<std::pair<std::string, std::string>> result;
        for (const ParkAirport& entry : parkAirports)
            result.emplace_back(entry.code, entry.reservedStand);
        return result;
    }

    using Entries = std::vector<std::pair<std::string, std::string>>;
};

TEST_F(ParkAirportsTest, DoubleCodesAndLinesWithThreeFieldsAreLoggedAndSkipped) {
    writeList("EHAM\nEHAM,D4\nEHRD,A1,B2\n");
    EXPECT_TRUE(gf_readMyParkAirports());
    EXPECT_EQ(entries(), (Entries{{"EHAM", ""}}));
    EXPECT_TRUE(logHas("==> my_park_airports.txt:EHAM double, skipped"));
    EXPECT_TRUE(logHas("==> my_park_airports.txt:EHRD,A1,B2 wrong syntax, skipped"));
    EXPECT_TRUE(logHas("1 park airport read from 'my_park_airports.txt'"));
    EXPECT_DOUBLE_EQ(parkAirports.front().latitude, 52.3086);
}

TEST_F(ParkAirportsTest, FieldsAreTrimmedButCodesMustMatchTheTableExactly) {
    writeList(" ehrd , C3\nEHRD , C3 \n");
    EXPECT_FALSE(gf_readMyParkAirports());
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "airport ehrd is unknown");
    EXPECT_EQ(entries(), (Entries{{"EHRD", "C3"}}));

    // A blank line is skipped; a line of blanks is an empty code, which no airport has.
    writeList("\n   \nEHAM\n");
    EXPECT_FALSE(gf_readMyParkAirports());
    EXPECT_TRUE(logHas("airport  is unknown"));
    EXPECT_EQ(entries(), (Entries{{"EHAM", ""}}));
}

TEST_F(ParkAirportsTest, ByteOrderMarkAndCarriageReturnsReadLikePlainLines) {
    writeList("\xEF\xBB\xBF"
              "EHAM,D4\r\nEHRD\r\n");
    EXPECT_TRUE(gf_readMyParkAirports());
    const Entries withMarks = entries();
    writeList("EHAM,D4\nEHRD\n");
    EXPECT_TRUE(gf_readMyParkAirports());
    EXPECT_EQ(entries(), withMarks);
    EXPECT_EQ(withMarks, (Entries{{"EHAM", "D4"}, {"EHRD", ""}}));
}

TEST_F(ParkAirportsTest, MissingFileGivesAnEmptyListAndTheThirdpartyFoldersStillCount) {
    std::filesystem::create_directories(myThirdpartyDir / "EGLL.old");
    std::filesystem::create_directories(myThirdpartyDir / "XXXX");
    test::writeFileText(myThirdpartyDir / "EHRD.xml", "<root/>");
    EXPECT_TRUE(gf_readMyParkAirports());
    EXPECT_TRUE(logHas(test::nativeSeparators("airports/my_park_airports.txt") + " not found"));
    EXPECT_EQ(entries(), (Entries{{"EGLL", ""}}));
    EXPECT_TRUE(logHas("1 park airport added from my_thirdparty folder(-s)"));

    // A code the file already names is not added twice.
    writeList("EGLL,A2\n");
    EXPECT_TRUE(gf_readMyParkAirports());
    EXPECT_EQ(entries(), (Entries{{"EGLL", "A2"}}));
}

TEST_F(ParkAirportsTest, WriterReplacesTheFirstEntrysLineAndSortsTheFile) {
    writeList("EHRD\nEHAM\nEGLL,B1\nEHRD\n");
    {
        std::lock_guard lock(parkAirportMutex);
        parkAirports = {{"EHAM", "D4", 52.3, 4.76, 0}};
        lf_writeMyParkAirports();
    }
    EXPECT_EQ(fileText(), "EGLL,B1\nEHAM,D4\nEHRD\n");
    EXPECT_TRUE(logHas("my_park_airports.txt:EHAM,D4 updated stand"));

    {
        std::lock_guard lock(parkAirportMutex);
        parkAirports = {{"EDDF", "", 50.0, 8.5, 0}};
        lf_writeMyParkAirports();
    }
    EXPECT_EQ(fileText(), "EDDF\nEGLL,B1\nEHAM,D4\nEHRD\n");
    EXPECT_TRUE(logHas("my_park_airports.txt:EDDF new entry"));

    std::filesystem::remove(myParkAirportsFile);
    {
        std::lock_guard lock(parkAirportMutex);
        lf_writeMyParkAirports();
    }
    EXPECT_EQ(fileText(), "EDDF\n");
    EXPECT_TRUE(logHas("my_park_airports.txt created with EDDF"));
}

TEST_F(ParkAirportsTest, UserStandIsLearnedOnlyWhenStandingAtTheCurrentParkAirport) {
    addStand("D4", 0.0);
    addStand("D6", 200.0);
    gf_publishStandNames();
    writeList("EHAM\n");
    ASSERT_TRUE(gf_readMyParkAirports());
    currentParkAirport = *gf_findAirport("EHAM");

    setUser(10.0, 0.0, 2.5, true);
    gf_learnUserStand();
    EXPECT_EQ(parkAirports.front().reservedStand, "");
    setUser(100.0, 0.0, 0.0, true); // 100 m from D4 and D6
    gf_learnUserStand();
    EXPECT_EQ(parkAirports.front().reservedStand, "");

    currentParkAirport = *gf_findAirport("EHRD");
    setUser(10.0, 0.0, 2.0, true);
    gf_learnUserStand();
    EXPECT_EQ(parkAirports.front().reservedStand, "");

    currentParkAirport = *gf_findAirport("EHAM");
    gf_learnUserStand();
    EXPECT_EQ(parkAirports.front().reservedStand, "D4");
    EXPECT_EQ(fileText(), "EHAM,D4\n");
}

} // namespace
} // namespace kvr
