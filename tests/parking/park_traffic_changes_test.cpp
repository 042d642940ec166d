#include "core/message_line.h"
#include "core/shared_state.h"
#include "parking/learned_file.h"
#include "parking/stand_learning.h"
#include "settings/parameter_table.h"
#include "static_parking_support.h"
#include "traffic_service/report_arrays.h"

#include <fmt/format.h>
#include <pugixml.hpp>

namespace kvr {
namespace {

class ParkTrafficChangesTest : public test::StaticParkingTest {
protected:
    void SetUp() override {
        StaticParkingTest::SetUp();
        for (int i = 0; i < 4; ++i)
            addStand("S" + std::to_string(i + 1), 60.0 * i);
        parking_percentage.setValue(100);
        setNow(1, 20);
    }

    // The Traffic Reader saw these callsigns flying since the update was requested.
    static void seeFlying(const std::string& callsign) {
        trafficReader.collectLiveAircraft = true;
        test::ArraySpec spec;
        spec.callsign = callsign;
        spec.address = "4840d6";
        trafficReader.processTrafficReply(test::makeReply(nlohmann::json::array({test::makeArray(spec)})));
    }

    static std::string message() { return gf_messageLineSnapshot().messageText; }
};

TEST_F(ParkTrafficChangesTest, ParkTrafficOnlySwapsStaticAircraftForTheNewReports) {
    RT_PARKTRAFFIC_ONLY.setValue(true);
    StaticAc& gone = addStatic(standList[0], "KLM1", 0, 1, 10);
    StaticAc& still = addStatic(standList[1], "KLM2", 0, 1, 10);
    StaticAc& learned = addStatic(standList[3], "KLM9", 1, 1, 10, "PH-LRN");
    parkedTraffic =
        std::vector<ParkedAircraft>{parked(0xA2, "KLM2", 60.0, 20), parked(0xA3, "KLM3", 120.0, 1)};
    gf_applyParkTrafficChanges(false);

    EXPECT_EQ(message(), "ParkTraffic changes: 1 to be removed, 1 to be added");
    EXPECT_TRUE(removing(gone));
    EXPECT_FALSE(removing(still));
    EXPECT_FALSE(removing(learned));
    ASSERT_EQ(parkPositions.size(), 1u);
    EXPECT_EQ(parkPositions[0].callsign, "KLM3");
    EXPECT_EQ(parkPositions[0].standNumber, 3u);
    EXPECT_TRUE(removalList.empty());

    // Without parked traffic the static aircraft from it stay and the learned steps run.
    parkedTraffic.reset();
    gf_applyParkTrafficChanges(false);
    EXPECT_EQ(message(), "Parking adjustments: 1 to be removed, 0 to be added\n");
    EXPECT_FALSE(removing(still));
    EXPECT_TRUE(removing(learned));
}

TEST_F(ParkTrafficChangesTest, LearnedStaticAircraftStayWhileTheirOptionHoldsAndGoWhenTheyFly) {
    addOption(standList[3], option("PH-LRN", "KLM9", 1, (1ull << 18) | (1ull << 19) | (1ull << 20)));
    StaticAc& learned = addStatic(standList[3], "KLM9", 1, 1, 18, "PH-LRN");
    gf_applyParkTrafficChanges(false);
    EXPECT_FALSE(removing(learned));
    ASSERT_EQ(candidateList.size(), 1u);
    EXPECT_EQ(candidateList[0].simCallsign, "KLM9*");

    seeFlying("KLM9");
    gf_applyParkTrafficChanges(false);
    EXPECT_TRUE(removing(learned));
    EXPECT_FALSE(trafficReader.collectLiveAircraft);
}

TEST_F(ParkTrafficChangesTest, TheAircraftThatParkedLaterKeepsTheStand) {
    StaticAc& earlier = addStatic(standList[0], "KLM1", 0, 1, 10);
    StaticAc& later = addStatic(standList[1], "KLM2", 0, 1, 19);
    parkedTraffic = std::vector<ParkedAircraft>{parked(0xD5, "DAL5", 0.0, 2),   // parked at slot 18
                                                parked(0xD6, "DAL6", 60.0, 4)}; // parked at slot 16
    gf_applyParkTrafficChanges(false);

    EXPECT_EQ(message(), "Parking adjustments: 1 to be removed, 1 to be added\n");
    EXPECT_TRUE(removing(earlier));
    EXPECT_FALSE(removing(later));
    ASSERT_EQ(parkPositions.size(), 1u);
    EXPECT_EQ(parkPositions[0].callsign, "DAL5");
    EXPECT_EQ(parkPositions[0].standNumber, 1u);
    ASSERT_EQ(candidateList.size(), 1u);
    EXPECT_EQ(candidateList[0].simCallsign, "KLM2*");
}

TEST_F(ParkTrafficChangesTest, ParkedLiveAircraftBeyondTheWantedNumberAreRemovedLongestParkedFirst) {
    parking_percentage.setValue(50);
    std::vector<LiveAc*> live;
    for (std::uint32_t i = 0; i < 4; ++i) {
        live.push_back(&addLive(0xE0 + i, "LIV" + std::to_string(i), AcPhase::parked, i + 1));
        live.back()->parkedSinceTick = 100 * (i + 1);
    }
    gf_applyParkTrafficChanges(false);
    EXPECT_TRUE(logHas("Parking adjustments: 2 more live ac than wanted"));
    EXPECT_TRUE(logHas("live parked LIV0 at S1 removed"));
    EXPECT_EQ(live[0]->simState, SimState::removingfromsim);
    EXPECT_EQ(live[1]->simState, SimState::removingfromsim);
    EXPECT_EQ(live[2]->simState, SimState::active);
    EXPECT_EQ(live[3]->simState, SimState::active);
    EXPECT_EQ(liveParkedList.size(), 2u);
    EXPECT_TRUE(standList[2].chosen);
}

TEST_F(ParkTrafficChangesTest, ClearingRemovesGroundTrafficButKeepsFlyingAndArrivingAircraft) {
    currentParkAirport = {"EHAM", "AMS", "Schiphol", 52.3, 4.76, -11, 0};
    StaticAc& parkedStatic = addStatic(standList[0], "KLM1", 0, 1, 10);
    LiveAc& taxiing = addLive(0xF1, "TAX1", AcPhase::taxi, 0);
    LiveAc& standing = addLive(0xF2, "PRK1", AcPhase::parked, 2);
    LiveAc& flying = addLive(0xF3, "FLY1", AcPhase::flying, 0);
    LiveAc& arriving = addLive(0xF4, "ARR1", AcPhase::parking, 3);
    parkPositions.push_back({0, 1, 4, 0, "KLM", "B738", "KLM8", "", "", true});

    gf_clearParkTraffic();
    EXPECT_TRUE(removing(parkedStatic));
    EXPECT_EQ(taxiing.simState, SimState::removingfromsim);
    EXPECT_EQ(standing.simState, SimState::removingfromsim);
    EXPECT_EQ(standing.standNumber, 0u);
    EXPECT_EQ(flying.simState, SimState::active);
    EXPECT_EQ(arriving.simState, SimState::active);
    EXPECT_TRUE(parkPositions.empty());
    EXPECT_TRUE(currentParkAirport.code.empty());
    EXPECT_TRUE(standList.empty());
}

TEST_F(ParkTrafficChangesTest, SavingWritesWhatWasLearnedIntoTheLearnedFile) {
    currentParkAirport = {"EHAM", "AMS", "Schiphol", 52.3, 4.76, -11, 0};
    parkAirportFileInfo = {"Schiphol", "Fly/Test", -11, "airports/my_thirdparty/EHAM.xml",
                           learnedDir / "thirdparty" / "Fly Test" / "EHAM.xml"};
    StandOption fromFile = option("PH-FIL", "KLM0", 2, 1ull << 5);
    fromFile.fromStandFile = 1;
    addOption(standList[0], fromFile);
    addOption(standList[0], option("PH-TUE", "KLM2", 2, 1ull << 30));
    addOption(standList[0], option("PH-MON", "KLM1", 1, 1ull << 40));
    addOption(standList[0], option("PH-OUT", "KLM3", 1, 1ull << 41));
    standList[0].options.back().aircraftId = 0; // left out of the last calculation
    standList[2].radiusChange = true;
    learnedUpdateCount = 3;

    lf_saveLearnedAirports();
    const auto path = learnedDir / "thirdparty" / "Fly Test" / "EHAM.xml";
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(path.c_str()));
    std::vector<std::string> ids;
    std::vector<std::string> registrations;
    for (pugi::xml_node parkpos : doc.child("root").child("parkpositions").children("parkpos")) {
        ids.push_back(parkpos.attribute("id").value());
        for (pugi::xml_node opt : parkpos.children("opt"))
            registrations.push_back(opt.attribute("reg").value());
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"S1", "S3"}));
    EXPECT_EQ(registrations, (std::vector<std::string>{"PH-MON", "PH-OUT", "PH-TUE"}));
    EXPECT_TRUE(logHas(fmt::format("'{}' saved with 3 updates", path.string())));
    // The stand list itself keeps its options as they were.
    EXPECT_EQ(standList[0].options.size(), 4u);
}

TEST_F(ParkTrafficChangesTest, AcrossMondayMidnightTheAircraftThatParkedLaterStillKeepsTheStand) {
    setNow(1, 2);
    StaticAc& sunday = addStatic(standList[0], "KLM1", 0, 7, 44);
    StaticAc& monday = addStatic(standList[1], "KLM2", 0, 1, 1);
    parkedTraffic = std::vector<ParkedAircraft>{parked(0xD5, "DAL5", 0.0, 2),   // Monday slot 0
                                                parked(0xD6, "DAL6", 60.0, 3)}; // Sunday slot 47
    gf_applyParkTrafficChanges(false);
    EXPECT_TRUE(removing(sunday));
    EXPECT_FALSE(removing(monday));
    ASSERT_EQ(parkPositions.size(), 1u);
    EXPECT_EQ(parkPositions[0].callsign, "DAL5");
}

TEST_F(ParkTrafficChangesTest, ALearnedAircraftWithASecondFlightIsCreatedAgainAsLeaving) {
    addOption(standList[0],
              option("PH-LRN", "KLM9", 1, (1ull << 18) | (1ull << 19) | (1ull << 20), 1, "KLM8"));
    StaticAc& learned = addStatic(standList[0], "KLM9", 1, 1, 18, "PH-LRN");
    learned.optionCallsign2 = "KLM8";
    gf_applyParkTrafficChanges(false);
    EXPECT_TRUE(removing(learned));
    const auto again = std::find_if(parkPositions.begin(), parkPositions.end(),
                                    [](const ParkPosition& p) { return p.callsign == "KLM9"; });
    ASSERT_NE(again, parkPositions.end());
    EXPECT_EQ(again->secondCallsign, "KLM8");
    EXPECT_EQ(again->standNumber, 1u);
    EXPECT_FALSE(again->flag);
}

TEST_F(ParkTrafficChangesTest, YesterdaysPartOfTheWindowHoldsTheSlotsTheFitLookedAtAndNoMore) {
    setNow(2, 0);
    fitOffsets = {1, -1}; // the fit looked at Tuesday slot 0 and Monday slot 47
    addOption(standList[0], option("PH-AAA", "KLM1", 1, 1ull << 47));
    addOption(standList[1], option("PH-BBB", "KLM2", 1, 1ull << 46));
    StaticAc& covered = addStatic(standList[0], "KLM1", 1, 1, 47, "PH-AAA");
    StaticAc& gone = addStatic(standList[1], "KLM2", 1, 1, 46, "PH-BBB");
    lf_selectLearnedStatics(lf_nowDaySlot());
    ASSERT_EQ(candidateList.size(), 1u);
    EXPECT_EQ(candidateList[0].simCallsign, covered.callsign);
    ASSERT_EQ(removalList.size(), 1u);
    EXPECT_EQ(removalList[0].callsign, gone.callsign);
}

} // namespace
} // namespace kvr
