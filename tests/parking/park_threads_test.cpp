// The simulator link's thread names the user's stand and learns it as the reserved stand while the run
// thread loads, re-reads and gives up the park airport. Under ThreadSanitizer (-DVANTREL_TSAN=ON) any
// data race between the two is reported; in every build the list and the file must come out whole.
#include "parking/learned_file.h"
#include "static_parking_support.h"
#include "tools/stand_fixtures/stand_fixtures.h"

#include <atomic>
#include <thread>

namespace kvr {
namespace {

constexpr double ehamLatitude = 52.3086;
constexpr double ehamLongitude = 4.7639;

class ParkThreadsTest : public test::StaticParkingTest {
protected:
    void SetUp() override {
        StaticParkingTest::SetUp();
        std::filesystem::create_directories(myThirdpartyDir);
        setAirports({{"EHAM", "AMS", "Schiphol", ehamLatitude, ehamLongitude, -11, 0},
                     {"EHRD", "RTM", "Rotterdam", 51.9569, 4.4372, -15, 0}});
        fixtures::StandFileSpec spec;
        spec.parameters = {{"airport_name", "Schiphol"}, {"publisher", "FlyTest"}, {"altitude", "-11"}};
        spec.stands = {fixtures::gf_standSpec({"A1", ehamLatitude, ehamLongitude, 90, 30}),
                       fixtures::gf_standSpec({"A2", ehamLatitude + 0.001, ehamLongitude, 90, 30})};
        fixtures::gf_writeStandFile(myThirdpartyDir / "EHAM.xml", spec);
        test::writeFileText(myParkAirportsFile, "EHAM\n");
        UserAcData user;
        user.latitude = ehamLatitude;
        user.longitude = ehamLongitude;
        port::setUserAircraft(user, true, 17.0 / 1852);
        userAcDataValid = true;
    }
};

TEST_F(ParkThreadsTest, SimulatorLinkThreadLearnsTheStandWhileTheRunThreadWorks) {
    std::atomic<bool> stop{false};
    std::thread link([&] {
        while (!stop) {
            gf_learnUserStand();
            const std::string name = gf_standNameNear(ehamLatitude, ehamLongitude);
            EXPECT_TRUE(name.empty() || name == "A1") << name;
            const std::string reserved = gf_reservedStandName();
            EXPECT_TRUE(reserved.empty() || reserved == "A1") << reserved;
            gf_firstParkAirportDistanceNm(ehamLatitude, ehamLongitude);
        }
    });
    for (int i = 0; i < 25; ++i) {
        gf_parkAirportTick(true);
        ASSERT_EQ(currentParkAirport.code, "EHAM");
        std::string text;
        ASSERT_TRUE(gf_checkParkAirportStands(true, text));
        gf_addDestinationParkAirport("EHRD", 51.9569, 4.4372);
        gf_clearParkTraffic();
    }
    stop = true;
    link.join();
    EXPECT_EQ(test::readFileText(myParkAirportsFile), "EHAM,A1\nEHRD\n");
    EXPECT_EQ(gf_standNameNear(ehamLatitude, ehamLongitude), "");
}

} // namespace
} // namespace kvr
