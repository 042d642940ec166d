#include "core/geodesy.h"
#include "core/message_line.h"
#include "core/status_display.h"
#include "parking/learned_file.h"
#include "parking/park_stands.h"
#include "settings/parameter_table.h"
#include "static_parking_support.h"
#include "support/native_separators.h"
#include "tools/stand_fixtures/stand_fixtures.h"

#include <numbers>

namespace kvr {
namespace {

constexpr double nmPerDegree = earthRadiusMetres / metresPerNauticalMile * std::numbers::pi / 180.0;
constexpr double ehamLatitude = 52.3086;
constexpr double ehamLongitude = 4.7639;

class ParkAirportChoiceTest : public test::StaticParkingTest {
protected:
    void SetUp() override {
        StaticParkingTest::SetUp();
        std::filesystem::create_directories(myThirdpartyDir);
        setAirports({{"EHAM", "AMS", "Schiphol", ehamLatitude, ehamLongitude, -11, 0},
                     {"EHRD", "RTM", "Rotterdam", 51.9569, 4.4372, -15, 0},
                     {"WEST", "", "", 52.0, 4.9, 0, 0},
                     {"EAST", "", "", 52.0, 5.1, 0, 0}});
        fixtures::StandFileSpec spec;
        spec.parameters = {{"airport_name", "Schiphol"}, {"publisher", "FlyTest"}, {"altitude", "-11"}};
        spec.stands = {fixtures::gf_standSpec({"A1", ehamLatitude, ehamLongitude, 90, 30}),
                       fixtures::gf_standSpec({"A2", ehamLatitude + 0.001, ehamLongitude, 90, 30})};
        fixtures::gf_writeStandFile(myThirdpartyDir / "EHAM.xml", spec);
    }

    void TearDown() override {
        DESTINATION.setValue(std::string());
        StaticParkingTest::TearDown();
    }

    static void userAt(double latitude, double longitude, double altitude, bool onGround) {
        UserAcData data;
        data.latitude = latitude;
        data.longitude = longitude;
        data.altitude = altitude;
        port::setUserAircraft(data, onGround, 17.0 / 1852);
        userAcDataValid = true;
    }

    static void userNorthOfEham(double nm, double altitude) {
        userAt(ehamLatitude + nm / nmPerDegree, ehamLongitude, altitude, false);
    }

    static void writeList(const std::string& text) { test::writeFileText(myParkAirportsFile, text); }
    static std::string fileText() { return test::readFileText(myParkAirportsFile); }

    static std::vector<std::string> codes() {
        std::vector<std::string> result;
        for (const ParkAirport& entry : parkAirports)
            result.push_back(entry.code);
        return result;
    }
};

TEST_F(ParkAirportChoiceTest, OnTheGroundWithoutStandFileEveryTickSaysSo) {
    userAt(51.9569, 4.4372, 0, true);
    gf_parkAirportTick(false);
    gf_parkAirportTick(false);
    const std::string said = "User aircraft on the ground at EHRD, no airport file found";
    EXPECT_EQ(gf_messageLineSnapshot().messageText, said);
    const std::string log = logText();
    EXPECT_NE(log.find(said), log.rfind(said));
    EXPECT_TRUE(currentParkAirport.code.empty());

    userAt(50.0, 2.0, 0, true);
    gf_parkAirportTick(false);
    EXPECT_EQ(gf_messageLineSnapshot().messageText,
              "User aircraft on the ground, no RT supported airport in sight");
}

TEST_F(ParkAirportChoiceTest, OnTheGroundTheAirportIsLoadedAndKeptUntilItIsOutOfSightInTheAir) {
    writeList("EHRD\nEHAM\n");
    ASSERT_TRUE(gf_readMyParkAirports());
    userAt(ehamLatitude + 0.0001, ehamLongitude, 0, true); // 11 m from A1
    gf_parkAirportTick(true);

    EXPECT_EQ(currentParkAirport.code, "EHAM");
    EXPECT_TRUE(parkAirportLoaded);
    EXPECT_TRUE(statusDisplay.standFileLoaded);
    EXPECT_EQ(standList.size(), 2u);
    EXPECT_EQ(gf_standNameNear(ehamLatitude, ehamLongitude), "A1");
    EXPECT_EQ(statusDisplay.texts().parkAirportText, "EHAM (Schiphol)");
    EXPECT_TRUE(logHas("\nThe park airport is EHAM (Schiphol)"));
    // The user's stand becomes the reserved stand of the park airport, which the list leads again.
    EXPECT_EQ(parkAirports.front().code, "EHAM");
    EXPECT_EQ(parkAirports.front().reservedStand, "A1");
    EXPECT_EQ(gf_reservedStandName(), "A1");
    EXPECT_TRUE(statusDisplay.reservedStandFound);
    EXPECT_EQ(fileText(), "EHAM,A1\nEHRD\n");
    EXPECT_TRUE(logHas("no parking positions found"));
    EXPECT_FALSE(busy);

    // On the ground the park airport stays wherever the user goes.
    userAt(ehamLatitude + 1.0, ehamLongitude, 0, true);
    gf_parkAirportTick(false);
    EXPECT_EQ(currentParkAirport.code, "EHAM");

    // Airborne beyond AIRP_RANGE it is given up and what was learned there is saved.
    userAt(ehamLatitude + 1.0, ehamLongitude, 3000, false);
    gf_parkAirportTick(false);
    EXPECT_TRUE(currentParkAirport.code.empty());
    EXPECT_FALSE(parkAirportLoaded);
    EXPECT_TRUE(standList.empty());
    EXPECT_EQ(gf_standNameNear(ehamLatitude, ehamLongitude), "");
    EXPECT_EQ(gf_reservedStandName(), "");
    EXPECT_TRUE(logHas("EHAM (Schiphol) is out of sight"));
    EXPECT_TRUE(std::filesystem::exists(learnedDir / "thirdparty" / "FlyTest" / "EHAM.xml"));
}

TEST_F(ParkAirportChoiceTest, AirborneTheFirstEntryIsChosenWithinRangeAndHeight) {
    writeList("EHAM\n");
    ASSERT_TRUE(gf_readMyParkAirports());
    userNorthOfEham(19.9, 18001);
    gf_parkAirportTick(false);
    EXPECT_TRUE(currentParkAirport.code.empty());

    userNorthOfEham(19.9, 17000);
    gf_parkAirportTick(false);
    EXPECT_EQ(currentParkAirport.code, "EHAM");
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "EHAM in sight at 19.9 nm");
    EXPECT_TRUE(parkAirportLoadPending);
    EXPECT_TRUE(busy);
    EXPECT_TRUE(trafficReader.collectLiveAircraft);
    EXPECT_FALSE(parkAirportLoaded);

    gf_parkAirportTick(false);
    EXPECT_FALSE(parkAirportLoadPending);
    EXPECT_TRUE(parkAirportLoaded);
    EXPECT_FALSE(busy);
}

TEST_F(ParkAirportChoiceTest, DestinationStaysFirstWhileNearerEntriesExist) {
    writeList("EHAM\nEHRD\n");
    ASSERT_TRUE(gf_readMyParkAirports());
    gf_addDestinationParkAirport("EHRD", 51.9569, 4.4372);
    EXPECT_EQ(codes(), (std::vector<std::string>{"EHRD", "EHAM"}));
    EXPECT_EQ(fileText(), "EHAM\nEHRD\n");
    DESTINATION.setValue("EHRD");
    userNorthOfEham(30, 30000);
    gf_parkAirportTick(false);
    EXPECT_EQ(codes().front(), "EHRD");
    // Not sorted, but every distance is current.
    EXPECT_NEAR(parkAirports.back().distanceNm, 30.0, 0.01);

    DESTINATION.setValue(std::string());
    userNorthOfEham(30.5, 30000);
    gf_parkAirportTick(false);
    EXPECT_EQ(codes().front(), "EHAM");
    EXPECT_NEAR(parkAirports.front().distanceNm, 30.5, 0.01);

    // A destination not in the list is put in front and into the file.
    gf_addDestinationParkAirport("WEST", 52.0, 4.9);
    EXPECT_EQ(codes().front(), "WEST");
    EXPECT_EQ(fileText(), "EHAM\nEHRD\nWEST\n");
}

TEST_F(ParkAirportChoiceTest, AnotherEntryInSightReplacesTheParkAirportFromEqualDistanceOn) {
    writeList("EAST\nWEST\n");
    ASSERT_TRUE(gf_readMyParkAirports());
    ASSERT_TRUE(lf_setParkAirport("WEST"));
    userAt(52.0, 5.0, 3000, false); // equally far from both
    gf_parkAirportTick(false);
    EXPECT_TRUE(currentParkAirport.code.empty());
    EXPECT_TRUE(logHas("EAST is in sight"));
    EXPECT_TRUE(logHas("parked aircraft at WEST will be removed first"));

    ASSERT_TRUE(lf_setParkAirport("WEST"));
    userAt(52.0, 4.999, 3000, false);
    gf_parkAirportTick(false);
    gf_parkAirportTick(false);
    EXPECT_EQ(currentParkAirport.code, "WEST");

    EXPECT_FALSE(lf_setParkAirport("NONE"));
    EXPECT_EQ(currentParkAirport.code, "WEST");
    EXPECT_EQ(statusDisplay.texts().parkAirportText, "");
}

TEST_F(ParkAirportChoiceTest, ReReadReportsUnknownAirportsAndTakesOverAChangedReservedStand) {
    writeList("EHAM\nXXXX\n");
    std::string text;
    EXPECT_FALSE(gf_checkParkAirportStands(true, text));
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "airport XXXX is unknown");

    writeList("EHAM\n");
    userAt(ehamLatitude + 0.0001, ehamLongitude, 0, true);
    gf_parkAirportTick(true);
    ASSERT_EQ(gf_reservedStandName(), "A1");
    addStatic(standList[1], "KLM12", 1, 1, 20);

    EXPECT_TRUE(gf_checkParkAirportStands(true, text));
    EXPECT_EQ(text, "park airports and stands are okay");

    writeList("EHAM,A2\n");
    text.clear();
    EXPECT_TRUE(gf_checkParkAirportStands(true, text));
    EXPECT_EQ(text, "reserved stand changed from 'A1' to 'A2'");
    EXPECT_EQ(gf_reservedStandName(), "A2");
    EXPECT_FALSE(standList[0].reservedForUser);
    EXPECT_TRUE(standList[1].reservedForUser);
    EXPECT_TRUE(removing(staticAcList[0]));
}

TEST_F(ParkAirportChoiceTest, LoadingAnEntryThatIsNotFirstPutsASecondOneInFront) {
    writeList("EHRD\nEHAM,A2\n");
    ASSERT_TRUE(gf_readMyParkAirports());
    DESTINATION.setValue("EHRD");
    userAt(ehamLatitude + 0.0001, ehamLongitude, 0, true);
    gf_parkAirportTick(true);
    EXPECT_EQ(codes(), (std::vector<std::string>{"EHAM", "EHRD", "EHAM"}));
    EXPECT_EQ(parkAirports.front().reservedStand, "A1");
    EXPECT_EQ(fileText(), "EHAM,A1\nEHRD\n");
}

TEST_F(ParkAirportChoiceTest, MissingStandFileIsShownAndTheParkAirportDropped) {
    ASSERT_TRUE(lf_setParkAirport("EHRD"));
    busy = true;
    lf_loadParkAirport();
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "lf_readParkedFile EHRD not found");
    EXPECT_TRUE(logHas("lf_readParkedFile EHRD not found"));
    EXPECT_TRUE(currentParkAirport.code.empty());
    EXPECT_FALSE(statusDisplay.standFileLoaded);
    EXPECT_FALSE(busy);
}

TEST_F(ParkAirportChoiceTest, ADestinationWithoutStandKeepsTheUsersReservedStandInTheFile) {
    writeList("EHAM,A2\n"); // written after the list was read
    gf_addDestinationParkAirport("EHAM", ehamLatitude, ehamLongitude);
    EXPECT_EQ(fileText(), "EHAM,A2\n");
    EXPECT_EQ(parkAirports.front().reservedStand, "A2");
}

TEST_F(ParkAirportChoiceTest, ReReadPutsTheDestinationFirstAndOtherwiseTheNearestEntry) {
    writeList("EHAM\nEHRD\n");
    DESTINATION.setValue("EHRD");
    std::string text;
    ASSERT_TRUE(gf_checkParkAirportStands(false, text));
    EXPECT_EQ(codes(), (std::vector<std::string>{"EHRD", "EHAM"}));

    DESTINATION.setValue(std::string());
    writeList("EHRD\nEHAM\n");
    userNorthOfEham(5, 30000);
    gf_parkAirportTick(false);
    ASSERT_TRUE(gf_checkParkAirportStands(false, text));
    gf_parkAirportTick(false); // the user has not moved since the tick before the Re-read
    EXPECT_EQ(codes(), (std::vector<std::string>{"EHAM", "EHRD"}));
}

TEST_F(ParkAirportChoiceTest, AFailedSaveIsLoggedAndTheParkAirportIsStillGivenUp) {
    userAt(ehamLatitude + 0.0001, ehamLongitude, 0, true);
    gf_parkAirportTick(true);
    ASSERT_TRUE(parkAirportLoaded);
    std::filesystem::remove_all(learnedDir);
    test::writeFileText(learnedDir, "a file where the folder belongs");
    EXPECT_NO_THROW(lf_unloadParkAirport());
    EXPECT_TRUE(logHas(" saving '" + test::nativeSeparators("airports/learned/thirdparty/FlyTest/EHAM.xml") +
                       "' did not succeed\n"));
    EXPECT_TRUE(currentParkAirport.code.empty());
    EXPECT_FALSE(parkAirportLoaded);
}

} // namespace
} // namespace kvr
