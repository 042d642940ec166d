// The rounds and the time shift on the traffic engine's own records: collisions round the user aircraft,
// the blocked callsign, the followed callsign, the duplicate check, the counts and the rebuild.
#include "app/engine_link.h"
#include "app/rounds.h"
#include "app/time_shift.h"
#include "core/shared_state.h"
#include "engine/traffic_engine.h"
#include "session_fixture.h"

namespace kvr::test {
namespace {

constexpr double userLatitude = 52.30860;
constexpr double userLongitude = 4.76390;
constexpr double metreInDegrees = 1.0 / 111'200.0;

class RoundTraffic : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        engine_link::clearTrafficTables();
        placeUser(userLatitude, userLongitude);
        userOnGround = true;
        userHalfWingspan = 18.0 / 1852.0;
    }
    void TearDown() override {
        engine_link::clearTrafficTables();
        gf_resetSimLink();
        SessionTest::TearDown();
    }
    static void placeUser(double latitude, double longitude) {
        std::lock_guard lock(simQueueMutex);
        userAcData.latitude = latitude;
        userAcData.longitude = longitude;
    }
    static LiveAc& addLive(std::uint32_t id, const std::string& callsign, SimState state, double metresNorth,
                           bool onGround = true) {
        LiveAc aircraft;
        aircraft.id = id;
        aircraft.callsign = callsign;
        aircraft.reportCallsign = callsign;
        aircraft.objectId = id + 10;
        aircraft.simState = state;
        aircraft.onGround = onGround;
        aircraft.phase = onGround ? AcPhase::taxi : AcPhase::flying;
        aircraft.halfWingspan = 17.0 / 1852.0;
        aircraft.current.latitude = userLatitude + metresNorth * metreInDegrees;
        aircraft.current.longitude = userLongitude;
        liveAcList.push_back(aircraft);
        return liveAcList.back();
    }
    static StaticAc& addStatic(const std::string& callsign, double metresNorth) {
        StaticAc aircraft;
        aircraft.callsign = callsign + "*";
        aircraft.objectId = 900 + static_cast<std::uint32_t>(staticAcList.size());
        aircraft.simState = SimState::active;
        aircraft.halfWingspan = 17.0 / 1852.0;
        aircraft.latitude = userLatitude + metresNorth * metreInDegrees;
        aircraft.longitude = userLongitude;
        staticAcList.push_back(aircraft);
        return staticAcList.back();
    }
};

TEST_F(RoundTraffic, OneLiveAircraftTouchingTheUserOnTheGroundIsRemovedPerRound) {
    addLive(1, "KLM1", SimState::active, 200);
    addLive(2, "KLM2", SimState::active, 30);
    addLive(3, "KLM3", SimState::active, 20);
    addStatic("TRA4", 10);
    lf_processRound();
    EXPECT_EQ(liveAcList[0].simState, SimState::active) << "far enough";
    EXPECT_EQ(liveAcList[1].simState, SimState::removingfromsim) << "(18 + 17) m x 1.15 = 40 m";
    EXPECT_EQ(liveAcList[2].simState, SimState::active) << "one per round";
    EXPECT_EQ(staticAcList[0].simState, SimState::active)
        << "no static one in a round that removed a live one";
    lf_processRound();
    EXPECT_EQ(liveAcList[2].simState, SimState::removingfromsim);
}

TEST_F(RoundTraffic, StaticAircraftAreCheckedOnlyWhenTheUserMoved) {
    addStatic("TRA1", 25); // within (18 + 17) x 1.1 = 38.5 m
    lf_processRound();
    EXPECT_EQ(staticAcList[0].simState, SimState::removingfromsim);
    addStatic("TRA2", 25);
    lf_processRound();
    EXPECT_EQ(staticAcList[1].simState, SimState::active) << "the user stands where it stood";
    placeUser(userLatitude + 1e-6, userLongitude);
    lf_processRound();
    EXPECT_EQ(staticAcList[1].simState, SimState::removingfromsim);
}

TEST_F(RoundTraffic, TheBlockedCallsignLeavesExactlyAndOnce) {
    COLLISION_USER_GND.setValue(false);
    addLive(1, "KLM12", SimState::active, 5000);
    addLive(2, "KLM1", SimState::active, 6000);
    addLive(3, "KLM1", SimState::active, 7000);
    BLOCK_CALLSIGN.setValue("KLM1");
    blockedCallsignChanged = true;
    lf_processRound();
    EXPECT_EQ(liveAcList[0].simState, SimState::active);
    EXPECT_EQ(liveAcList[1].simState, SimState::removingfromsim);
    EXPECT_EQ(liveAcList[2].simState, SimState::active) << "the first one only";
    EXPECT_FALSE(blockedCallsignChanged);
}

TEST_F(RoundTraffic, TheChosenCallsignShowsItsObjectIdAsTheSimulatorCountsThem) {
    addLive(1, "KLM1", SimState::adding2sim, 5000);
    addLive(2, "KLM1", SimState::active, 5000).objectId = 0x2a;
    CALLSIGN_2_OBJECTID.setValue("KLM1");
    callsignSelectionChanged = true;
    lf_processRound();
    EXPECT_EQ(statusDisplay.texts().objectIdText, "= 42");
    EXPECT_EQ(followedObject, 0x2au);
    msfs2020Selected = false;
    callsignSelectionChanged = true;
    lf_processRound();
    EXPECT_EQ(statusDisplay.texts().objectIdText, "= 2a");
    msfs2020Selected = true;
}

TEST_F(RoundTraffic, OneDuplicateCheckPerRoundAndAMissingIdWaits) {
    addLive(1, "KLM1", SimState::active, 5000);
    addLive(2, "KLM2", SimState::active, 5000);
    duplicateCheckIds = {1, 2};
    lf_processRound();
    EXPECT_EQ(duplicateCheckIds.size(), 1u);
    EXPECT_TRUE(liveAcList[0].coupledSearchDone);
    EXPECT_FALSE(liveAcList[1].coupledSearchDone);
    duplicateCheckIds.push_front(77);
    lf_processRound();
    EXPECT_EQ(duplicateCheckIds.front(), 77u) << "not consumed in this round";
}

TEST_F(RoundTraffic, ParkedAndActiveCountsOfTheStatusDisplay) {
    addLive(1, "KLM1", SimState::active, 5000).phase = AcPhase::parked;
    addLive(2, "KLM2", SimState::active, 6000);
    addLive(3, "KLM3", SimState::adding2sim, 7000);
    addStatic("TRA4", 5000);
    lf_updateParkedCounts();
    EXPECT_EQ(statusDisplay.parkedLiveCount, 1u);
    EXPECT_EQ(statusDisplay.liveAircraftCount, 1u);
    EXPECT_EQ(statusDisplay.staticAircraftCount, 1u);
}

TEST_F(RoundTraffic, ATimeShiftTakesEveryAircraftOfTheOldTimeOut) {
    addLive(1, "KLM1", SimState::active, 5000);
    addLive(2, "KLM2", SimState::adding2sim, 6000);
    addLive(3, "KLM3", SimState::adding2sim, 7000);
    addLive(4, "KLM4", SimState::buffer, 8000);
    addStatic("TRA5", 5000);
    port::CreateRequest queued;
    queued.tailNumber = "KLM2";
    createDequeLive.push_back(queued);

    lf_applyTimeShift(60, false);
    ASSERT_EQ(liveAcList.size(), 3u) << "the queued one never reaches the simulator";
    EXPECT_TRUE(createDequeLive.empty());
    EXPECT_EQ(liveAcList[0].simState, SimState::removingfromsim);
    EXPECT_EQ(liveAcList[1].callsign, "KLM3");
    EXPECT_TRUE(liveAcList[1].removeWhenCreated) << "its creation was sent: it goes as soon as it arrives";
    EXPECT_EQ(liveAcList[2].simState, SimState::buffer);
    EXPECT_EQ(staticAcList[0].simState, SimState::removingfromsim);
    EXPECT_TRUE(staticParkingNowRequested);

    liveAcList[1].removeWhenCreated = false;
    lf_applyTimeShift(90, true);
    EXPECT_FALSE(liveAcList[1].removeWhenCreated) << "a quiet shift leaves the traffic alone";
}

} // namespace
} // namespace kvr::test
