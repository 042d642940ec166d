// The hand-over to the simulator link: the throttles, the notifications and the lights.
#include "engine_fixture.h"

#include "core/user_error.h"
#include "settings/parameter_table.h"

namespace kvr::test {
namespace {

class SimExchangeTest : public EngineTest {
protected:
    // Files two samples of an aircraft, the first due now, so that it spawns on the next tick.
    void fileDueNow(std::uint32_t address, const std::string& callsign, bool standing = false) {
        const std::int64_t due = trafficTick.load();
        for (int i = 0; i < 2; ++i) {
            port::LiveAircraft report =
                standing ? makeReport(address, callsign, now() + i * 5, airportLatitude, airportLongitude, 0,
                                      0, 0, 0, true)
                         : makeReport(address, callsign, now() + i * 5, airportLatitude + 0.1,
                                      airportLongitude, 3000, 200, 90, 0, false);
            lf_fileReport(report, due + i * 500);
        }
    }
    std::map<std::string, std::int64_t> creationTicks() const { return creationTick_; }
    void tickRecording(int count) {
        for (int i = 0; i < count; ++i) {
            const std::size_t before = echo.creations.size();
            const std::size_t removalsBefore = echo.removals.size();
            tick();
            if (echo.creations.size() > before)
                creationTick_[echo.creations.back().tailNumber] = trafficTick.load();
            if (echo.removals.size() > removalsBefore)
                removalTicks.push_back(trafficTick.load());
        }
    }
    std::vector<std::int64_t> removalTicks;

private:
    std::map<std::string, std::int64_t> creationTick_;
};

TEST_F(SimExchangeTest, CreationsLeaveOneEvery50TicksLiveOnesBeforeStaticOnes) {
    addStand("S1", airportLatitude, airportLongitude + 0.01, 0, 30);
    addStand("S2", airportLatitude, airportLongitude + 0.02, 0, 30);
    port::parkPositions = {{0, 1, 1, 0, "KLM", "B738", "KLM80", "", "PH-A", true},
                           {0, 1, 2, 0, "KLM", "B738", "KLM81", "", "PH-B", true}};
    tickRecording(1);
    for (std::uint32_t id = 1; id <= 3; ++id)
        fileDueNow(id, "TRA" + std::to_string(id));
    tickRecording(300);
    const auto ticks = creationTicks();
    ASSERT_EQ(ticks.size(), 5u);
    // The static aircraft waited since the first tick; the live ones still go first.
    const std::int64_t first = ticks.at("TRA1");
    EXPECT_EQ(ticks.at("TRA2"), first + 50);
    EXPECT_EQ(ticks.at("TRA3"), first + 100);
    EXPECT_EQ(ticks.at("KLM81*"), first + 150);
    EXPECT_EQ(ticks.at("KLM80*"), first + 200);
}

TEST_F(SimExchangeTest, RemovalsLeaveOneEvery10TicksAndTheRecordsGoWithThem) {
    for (std::uint32_t id = 1; id <= 4; ++id)
        removeAircraftFromSim(
            addActiveLive(id, "KLM" + std::to_string(id), airportLatitude, airportLongitude));
    EXPECT_EQ(live(1)->simState, SimState::removingfromsim);
    tickRecording(40);
    ASSERT_EQ(removalTicks.size(), 4u);
    for (std::size_t i = 1; i < removalTicks.size(); ++i)
        EXPECT_EQ(removalTicks[i] - removalTicks[i - 1], 10);
    EXPECT_TRUE(liveAcList.empty());
    EXPECT_EQ(echo.removals, (std::vector<port::SimObjectId>{1001, 1002, 1003, 1004}));
}

TEST_F(SimExchangeTest, CreatedAircraftGetTheirNavLightsAndAreQueuedForTheDuplicateCheck) {
    NAV_LIGHTS_WHILE_PARKED.setValue(false);
    addStand("S1", airportLatitude, airportLongitude, 0, 30);
    fileDueNow(1, "KLM1");
    fileDueNow(2, "KLM2", true);
    tick(60);
    fsltlLiveries = true;
    fileDueNow(3, "KLM3");
    tick(60);
    EXPECT_EQ(echo.byTail("KLM1")->lights, std::vector<std::uint32_t>{1});
    EXPECT_EQ(live(2)->phase, AcPhase::parked);
    EXPECT_EQ(echo.byTail("KLM2")->lights, std::vector<std::uint32_t>{0});
    EXPECT_TRUE(echo.byTail("KLM3")->lights.empty());
    EXPECT_EQ(duplicateCheckIds, (std::deque<std::uint32_t>{1, 2, 3}));
}

TEST_F(SimExchangeTest, AnAircraftRemovedWhileItsCreationIsUnderwayGoesWhenCreated) {
    echo.answerCreations = false;
    fileDueNow(1, "KLM1");
    tick(2);
    ASSERT_EQ(echo.creations.size(), 1u);
    removeAircraftFromSim(*live(1));
    EXPECT_TRUE(live(1)->removeWhenCreated);
    EXPECT_EQ(live(1)->simState, SimState::adding2sim);
    port::postNotification({port::SimNotificationKind::objectCreated, 42, 1, "KLM1", "", "", ""});
    tick(12);
    EXPECT_EQ(echo.removals, std::vector<port::SimObjectId>{42});
    EXPECT_EQ(live(1), nullptr);
}

TEST_F(SimExchangeTest, AQueuedCreationIsWithdrawnAndNeverSent) {
    fileDueNow(1, "KLM1");
    fileDueNow(2, "KLM2");
    tick();
    ASSERT_EQ(createDequeLive.size(), 1u);
    EXPECT_TRUE(lf_removeQueuedCreates(createDequeLive, "KLM2"));
    EXPECT_FALSE(lf_removeQueuedCreates(createDequeLive, "KLM2"));
    fileDueNow(3, "KLM3");
    tick();
    removeAircraftFromSim(*live(3));
    tick(200);
    EXPECT_EQ(echo.creations.size(), 1u);
    EXPECT_EQ(live(3), nullptr);
}

TEST_F(SimExchangeTest, RefusedCreationsAreCountedAndTheTwentiethRefusedLiveryEndsTheSession) {
    echo.refusedTitles = {matchedTitles[0]};
    fileDueNow(1, "KLM1");
    tick(5);
    EXPECT_EQ(live(1), nullptr);
    EXPECT_FALSE(spawnCache.contains(1));
    for (int i = 2; i < 20; ++i)
        port::postNotification({port::SimNotificationKind::creationFailed, 0, 0, "X",
                                "Title " + std::to_string(i), "", "FAILED"});
    EXPECT_NO_THROW(lf_processSimNotifications());
    port::postNotification({port::SimNotificationKind::creationFailed, 0, 0, "X", "Title 2", "", "FAILED"});
    EXPECT_NO_THROW(lf_processSimNotifications());
    port::postNotification({port::SimNotificationKind::creationFailed, 0, 0, "X", "Title 20", "", "FAILED"});
    try {
        lf_processSimNotifications();
        FAIL() << "no user error";
    } catch (const UserErrorException& error) {
        EXPECT_EQ(error.code(), 81);
        EXPECT_NE(error.text().find("rescan"), std::string::npos);
    }
}

TEST_F(SimExchangeTest, AnObjectNobodyWaitsForIsRemovedAndOneTheSimulatorRemovedFreesItsStand) {
    port::postNotification({port::SimNotificationKind::objectCreated, 77, 0xFFFFFF, "GONE", "", "", ""});
    tick(11);
    EXPECT_EQ(echo.removals, std::vector<port::SimObjectId>{77});

    const port::Stand& stand = addStand("S1", airportLatitude, airportLongitude, 0, 30);
    fileDueNow(2, "KLM2", true);
    tick(5);
    ASSERT_TRUE(stand.occupied);
    followedObject = live(2)->objectId;
    port::postNotification({port::SimNotificationKind::objectRemoved, live(2)->objectId, 0, "", "", "", ""});
    tick();
    EXPECT_EQ(live(2), nullptr);
    EXPECT_FALSE(stand.occupied);
    EXPECT_EQ(followedObject, 0u);
}

} // namespace
} // namespace kvr::test
