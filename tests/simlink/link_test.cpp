#include "link_harness.h"

#include "platform/simconnect/sim_geo.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

namespace kvr::test {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

SimObjectId createAndRecognise(LinkHarness& link, std::uint32_t aircraftId, const std::string& tail) {
    gf_queueCreate(creationOf(aircraftId, "Boeing 737-800 KLM", tail));
    link.run(1.0);
    for (const SimNotification& n : link.notifications())
        if (n.kind == SimNotificationKind::objectCreated && n.aircraftId == aircraftId)
            return n.objectId;
    return 0;
}

TEST(SimLinkThread, RetriesOpenEveryTwoSecondsUntilTheSimulatorRuns) {
    simsim::Scenario scenario = linkScenario();
    scenario.startsAfterSeconds = 5;
    scenario.flightStartsAfterSeconds = 5;
    LinkHarness link(scenario);
    int learned = 0;
    gf_setSimLinkHooks({[&] { ++learned; }, {}});
    std::stop_source stop;
    std::vector<std::chrono::milliseconds> waits;
    bool waitingWhileRetrying = true;
    lf_runSimClient(stop.get_token(), [&](std::chrono::milliseconds duration) {
        waits.push_back(duration);
        if (duration.count() == 2000)
            waitingWhileRetrying = waitingWhileRetrying && waitingForSim;
        link.sim->advance(duration);
        if (link.sim->clockSeconds() >= 9)
            stop.request_stop();
    });
    ASSERT_GE(waits.size(), 4u);
    EXPECT_EQ(std::count(waits.begin(), waits.begin() + 3, std::chrono::milliseconds(2000)), 3)
        << "closed at 0, 2 and 4 s";
    EXPECT_NE(waits[3], std::chrono::milliseconds(2000)) << "open at 6 s";
    EXPECT_TRUE(waitingWhileRetrying);
    EXPECT_FALSE(waitingForSim);
    EXPECT_EQ(link.sim->openCount(), 1);
    EXPECT_EQ(statusDisplay.texts().simNameAndVersion, "KittyHawk 11.0.282174.999");
    EXPECT_TRUE(statusDisplay.simConnected);
    EXPECT_TRUE(flightActive);
    EXPECT_TRUE(userAcDataReceived) << "answers come once a second without being asked";
    EXPECT_EQ(learned, 1) << "the thread's end learns the user's stand";
    EXPECT_FALSE(stopRequested) << "being stopped is no disconnection";
    EXPECT_EQ(link.sim->connectionCount(), 0) << "closed at the end";
    const std::string log = link.log();
    EXPECT_TRUE(contains(log, "SimConnect: waiting for the simulator"));
    EXPECT_TRUE(contains(log, "SimConnect: connected to KittyHawk 11.0.282174.999"));
}

TEST(SimLinkThread, SimulatorQuittingOrBreakingEndsTheSession) {
    for (const bool breaks : {false, true}) {
        LinkHarness link;
        int learned = 0;
        gf_setSimLinkHooks({[&] { ++learned; }, {}});
        std::stop_source stop;
        lf_runSimClient(stop.get_token(), [&](std::chrono::milliseconds duration) {
            link.sim->advance(duration);
            if (link.sim->clockSeconds() >= 3 && link.sim->isRunning())
                breaks ? link.sim->disconnect() : link.sim->quit();
            if (link.sim->clockSeconds() >= 10)
                stop.request_stop();
        });
        EXPECT_LT(link.sim->clockSeconds(), 3.1) << "the thread ends by itself";
        EXPECT_TRUE(stopRequested);
        EXPECT_EQ(exitReason, ExitReason::simWasClosed);
        EXPECT_EQ(restartDelaySeconds, 0);
        EXPECT_FALSE(flightActive);
        EXPECT_FALSE(statusDisplay.simConnected);
        EXPECT_EQ(learned, 1);
        const std::string log = link.log();
        EXPECT_TRUE(contains(log, "Flight Simulator no longer connected, Vantrel will stop ..."));
        EXPECT_TRUE(contains(log, breaks ? "connection to the simulator is lost"
                                         : "SimConnect: the simulator quits"));
    }
}

TEST(SimLinkUser, DataRoundsAboutOnceASecondWithTimeStandAndOnGround) {
    LinkHarness link;
    gf_setSimLinkHooks({{}, [](double latitude, double) { return latitude > 52.3 ? "D7" : ""; }});
    ASSERT_TRUE(link.connect());
    EXPECT_TRUE(flightActive);
    EXPECT_TRUE(statusDisplay.flightRunning);
    const int rounds = link.run(10.0);
    EXPECT_GE(rounds, 9);
    EXPECT_LE(rounds, 11);
    const UserAcData data = gf_requestUserAcPosition();
    EXPECT_DOUBLE_EQ(data.latitude, 52.30860);
    EXPECT_DOUBLE_EQ(data.longitude, 4.76390);
    EXPECT_EQ(data.altitude, 0) << "below sea level is stored as 0";
    EXPECT_DOUBLE_EQ(data.heading, 225);
    EXPECT_NEAR(static_cast<double>(simUtcTime.load()), link.sim->utcEpochSeconds(), 1.5);
    EXPECT_EQ(statusDisplay.texts().userStandName, "D7");
    EXPECT_FALSE(userAcDataValid) << "no on-ground answer yet";

    ASSERT_TRUE(gf_requestUserAcOnGround());
    gf_requestUserAcTitleAndModel();
    link.run(0.1);
    EXPECT_TRUE(userOnGround);
    EXPECT_TRUE(userAcDataValid);
    EXPECT_EQ(statusDisplay.texts().userAircraftTitle, "Boeing 737-800 KLM (PH-BXA)");
    EXPECT_TRUE(statusDisplay.userModelKnown);
    EXPECT_NEAR(userHalfWingspan, 117.4 / 2 / 6076.115, 1e-9);
    EXPECT_TRUE(contains(link.log(), "User aircraft model: B738"));
}

TEST(SimLinkUser, ModelFromEveryFormAndAnUnknownOne) {
    EXPECT_EQ(lf_typeFromAtcModel("B738"), "B738");
    EXPECT_EQ(lf_typeFromAtcModel("ATCCOM.AC_MODEL_A20N.0.text"), "A20N");
    EXPECT_EQ(lf_typeFromAtcModel("ATCCOM.AC_MODEL B78X.0.text"), "B78X");
    EXPECT_EQ(lf_typeFromAtcModel("$$:c172"), "C172");
    EXPECT_EQ(lf_typeFromAtcModel("Boeing"), "");
    EXPECT_EQ(lf_typeFromAtcModel("738"), "") << "designators start with a letter";
    EXPECT_EQ(lf_typeFromAtcModel(""), "");

    simsim::Scenario scenario = linkScenario();
    scenario.user.atcModel = "Boeing";
    scenario.user.wingspanFt = 0;
    LinkHarness link(scenario);
    ASSERT_TRUE(link.connect());
    gf_requestUserAcTitleAndModel();
    link.run(0.1);
    EXPECT_FALSE(statusDisplay.userModelKnown);
    EXPECT_DOUBLE_EQ(userHalfWingspan, defaultHalfWingspanNm);
}

TEST(SimLinkUser, MalformedAnswersAreLoggedAndIgnored) {
    LinkHarness link;
    SIMCONNECT_RECV_SIMOBJECT_DATA shortAnswer{};
    shortAnswer.dwID = SIMCONNECT_RECV_ID_SIMOBJECT_DATA;
    shortAnswer.dwRequestID = 109;
    lf_onSimObjectData(shortAnswer, sizeof shortAnswer);
    EXPECT_FALSE(newData);
    EXPECT_FALSE(userAcDataReceived);
    EXPECT_TRUE(contains(link.log(), "lf_onSimObjectData: answer 109 too short"));
}

TEST(SimLinkAircraft, CreationIsRecognisedByItsAtcIdAndGetsItsFlightPlan) {
    LinkHarness link;
    ASSERT_TRUE(link.connect());
    CreateRequest request = creationOf(7, "Boeing 737-800 KLM", "PH-BXB");
    request.origin = {"EHAM", 52.3086, 4.7639, -11};
    request.destination = {"LEMD", 40.4719, -3.5626, 1998};
    gf_queueCreate(request);
    link.run(0.3);
    EXPECT_TRUE(link.notifications().empty()) << "the object appears after a short delay";
    link.run(0.7);
    const auto notifications = link.notifications();
    ASSERT_EQ(notifications.size(), 1u);
    const SimNotification& created = notifications[0];
    EXPECT_EQ(created.kind, SimNotificationKind::objectCreated);
    EXPECT_EQ(created.aircraftId, 7u);
    EXPECT_EQ(created.tailNumber, "PH-BXB");
    EXPECT_EQ(created.description, "KLM B738 PH-BXB");
    const auto object = link.sim->object(created.objectId);
    ASSERT_TRUE(object);
    EXPECT_EQ(object->atcId, "PH-BXB");
    EXPECT_DOUBLE_EQ(object->headingDeg, 135);
    EXPECT_FALSE(object->aiControlled) << "moved by the program, so released from the AI";

    const auto plan = flightPlanFolder.get() / fmt::format("{}.pln", created.objectId);
    ASSERT_TRUE(std::filesystem::exists(plan));
    EXPECT_EQ(object->flightPlanPath, plan.string());
    EXPECT_TRUE(contains(readFileText(plan), "<DestinationID>LEMD</DestinationID>"));

    const SimObjectId second = createAndRecognise(link, 8, "PH-BXC");
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, created.objectId);
    EXPECT_TRUE(link.sim->object(second)->flightPlanPath.empty()) << "no ends, no plan";
}

TEST(SimLinkAircraft, ALongTailNumberGoesOutAsItsFirstTwelveCharactersAndIsRecognisedByThem) {
    LinkHarness link;
    ASSERT_TRUE(link.connect());
    const SimObjectId objectId = createAndRecognise(link, 9, "KLM1234____*_");
    ASSERT_NE(objectId, 0u);
    EXPECT_EQ(link.sim->object(objectId)->atcId, "KLM1234____*");
}

TEST(SimLinkAircraft, FailedCreationsComeBackWithTheReason) {
    LinkHarness link;
    ASSERT_TRUE(link.connect());
    gf_queueCreate(creationOf(1, "Concorde Air France", "F-BVFA"));
    link.run(1.0);
    link.sim->failNextCreations(1);
    gf_queueCreate(creationOf(2, "Boeing 737-800 KLM", "PH-BXD"));
    link.run(1.0);
    const auto notifications = link.notifications();
    ASSERT_EQ(notifications.size(), 2u);
    for (const SimNotification& failed : notifications) {
        EXPECT_EQ(failed.kind, SimNotificationKind::creationFailed);
        EXPECT_EQ(failed.reason, "CREATE_OBJECT_FAILED");
    }
    EXPECT_EQ(notifications[0].aircraftId, 1u);
    EXPECT_EQ(notifications[0].title, "Concorde Air France");
    EXPECT_EQ(notifications[1].tailNumber, "PH-BXD");
    EXPECT_TRUE(link.sim->objects().empty());
    EXPECT_EQ(gf_recordFailedCreation(notifications[0]), 1u);
    EXPECT_EQ(gf_recordFailedCreation(notifications[0]), 1u) << "a title counts once";
    EXPECT_TRUE(failedLiveryTitles.count("Concorde Air France"));
    EXPECT_TRUE(failedAircraftTexts.count("KLM B738 F-BVFA"));
    EXPECT_TRUE(contains(
        link.log(), "SimConnect: creation of F-BVFA (Concorde Air France) failed: CREATE_OBJECT_FAILED"));
}

TEST(SimLinkAircraft, CreationListedLateIsAskedForAgainAndNeverMistakenForTheSimulatorsNamesake) {
    simsim::Scenario scenario = linkScenario();
    scenario.recognitionDelaySeconds = 2;
    scenario.copyCallsigns = true;
    LinkHarness link(scenario);
    ASSERT_TRUE(link.connect());
    gf_queueCreate(creationOf(4, "Boeing 737-800 KLM", "PH-BXE"));
    link.run(2.0);
    EXPECT_TRUE(link.notifications().empty()) << "not listed yet; the simulator's namesake is no match";
    link.run(2.0);
    const auto notifications = link.notifications();
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0].kind, SimNotificationKind::objectCreated);
    ASSERT_EQ(link.sim->objects().size(), 1u);
    EXPECT_EQ(notifications[0].objectId, link.sim->objects()[0].objectId);
    const auto namesakes = link.sim->simulatorTraffic();
    ASSERT_EQ(namesakes.size(), 1u);
    EXPECT_EQ(namesakes[0].atcId, "PH-BXE");
}

TEST(SimLinkAircraft, LateFailuresAreNamedAndOnlyThoseOfTheTitleCountAgainstIt) {
    simsim::Scenario scenario = linkScenario();
    scenario.lateFailureShare = 1;
    scenario.lateFailureExceptions = {33};
    LinkHarness link(scenario);
    ASSERT_TRUE(link.connect());
    gf_queueCreate(creationOf(5, "Boeing 737-800 KLM", "PH-BXF"));
    link.run(1.0);
    const auto notifications = link.notifications();
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0].kind, SimNotificationKind::creationFailed);
    EXPECT_EQ(notifications[0].reason, "OBJECT_OUTSIDE_REALITY_BUBBLE");
    EXPECT_EQ(gf_recordFailedCreation(notifications[0]), 0u) << "the livery is not to blame";
    EXPECT_TRUE(failedLiveryTitles.empty());
    EXPECT_TRUE(failedAircraftTexts.count("KLM B738 PH-BXF"));
    EXPECT_TRUE(contains(link.log(), "failed: OBJECT_OUTSIDE_REALITY_BUBBLE"));
}

TEST(SimLinkAircraft, AnExceptionOfAnUnknownPacketIsBlamedOnNoCreation) {
    LinkHarness link;
    ASSERT_TRUE(link.connect());
    link.sim->failNextPacketIds(1);
    gf_queueCreate(creationOf(6, "Boeing 737-800 KLM", "PH-BXG"));
    link.run(0.1);
    SIMCONNECT_RECV_EXCEPTION unknown{};
    unknown.dwSize = sizeof unknown;
    unknown.dwID = SIMCONNECT_RECV_ID_EXCEPTION;
    unknown.dwException = SIMCONNECT_EXCEPTION_ERROR;
    unknown.dwSendID = 0;
    lf_dispatchProc(&unknown, sizeof unknown, &link.connection);
    link.run(1.0);
    const auto notifications = link.notifications();
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0].kind, SimNotificationKind::objectCreated);
    const std::string log = link.log();
    EXPECT_TRUE(contains(log, "SimConnect: no packet id"));
    EXPECT_TRUE(contains(log, "SimConnect exception ERROR for an unknown packet"));
}

TEST(SimLinkAircraft, CreationFarBeyondTheRangeIsRecognisedByItsObject) {
    LinkHarness link;
    ASSERT_TRUE(link.connect());
    CreateRequest farAway = creationOf(3, "Airbus A320 easyJet", "G-EZFF");
    farAway.latitude = 55.0; // about 160 nm north, beyond the largest radius the simulator lists
    gf_queueCreate(farAway);
    link.run(2.0);
    const auto notifications = link.notifications();
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0].kind, SimNotificationKind::objectCreated);
    EXPECT_EQ(notifications[0].aircraftId, 3u);
    const auto object = link.sim->object(notifications[0].objectId);
    ASSERT_TRUE(object);
    EXPECT_EQ(object->atcId, "G-EZFF");
    EXPECT_FALSE(object->aiControlled);
}

// Given up after 30 s: an object that never reads its ATC id is removed and says nothing against its
// title; a creation that got no object is the simulator's refusal of the title, and an object that comes
// later still is removed.
TEST(SimLinkAircraft, CreationsGivenUpCountAgainstTheTitleOnlyWithoutAnObject) {
    {
        simsim::Scenario unreadable = linkScenario();
        unreadable.recognitionDelaySeconds = 40;
        LinkHarness link(unreadable);
        ASSERT_TRUE(link.connect());
        gf_queueCreate(creationOf(3, "Airbus A320 easyJet", "G-EZFF"));
        link.run(29.0);
        EXPECT_TRUE(link.notifications().empty());
        link.run(2.0);
        const auto notifications = link.notifications();
        ASSERT_EQ(notifications.size(), 1u);
        EXPECT_EQ(notifications[0].kind, SimNotificationKind::creationFailed);
        EXPECT_EQ(notifications[0].reason, "NOT RECOGNISED");
        EXPECT_EQ(gf_recordFailedCreation(notifications[0]), 0u);
        EXPECT_TRUE(link.sim->objects().empty()) << "no unmanaged aircraft is left behind";
        EXPECT_TRUE(contains(link.log(),
                             "SimConnect: G-EZFF (Airbus A320 easyJet) not seen 30 s after its creation"));
    }

    simsim::Scenario slow = linkScenario();
    slow.creationDelaySeconds = 35;
    LinkHarness slowLink(slow);
    ASSERT_TRUE(slowLink.connect());
    gf_queueCreate(creationOf(4, "Airbus A320 easyJet", "G-EZFG"));
    slowLink.run(31.0);
    const auto notifications = slowLink.notifications();
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0].reason, "NO OBJECT");
    EXPECT_EQ(gf_recordFailedCreation(notifications[0]), 1u);
    slowLink.run(5.0);
    EXPECT_TRUE(slowLink.sim->objects().empty()) << "the late object is removed";
    EXPECT_FALSE(stopRequested);
}

TEST(SimLinkAircraft, PositionUpdatesAreSentOnEachFrameInOrder) {
    LinkHarness link;
    ASSERT_TRUE(link.connect());
    const SimObjectId id = createAndRecognise(link, 1, "PH-BXB");
    ASSERT_NE(id, 0u);
    link.run(0.05); // past the next frame, so that the next one is whole
    std::vector<PositionUpdate> updates;
    for (int i = 1; i <= 3; ++i)
        updates.push_back({id, 52.3080 + i * 0.0001, 4.7650, 10.0 * i, 0.01, 0.0, simsim::toRadians(90)});
    gf_queuePositionUpdates(updates);
    link.sim->advance(std::chrono::milliseconds(1));
    link.connection.dispatch();
    EXPECT_EQ(link.sim->object(id)->positionUpdates, 0u) << "nothing before the next frame";
    link.run(0.04);
    auto object = *link.sim->object(id);
    EXPECT_EQ(object.positionUpdates, 3u);
    EXPECT_DOUBLE_EQ(object.latitude, 52.3083) << "the last one queued is where it ends up";
    EXPECT_DOUBLE_EQ(object.altitudeFt, 30.0);
    EXPECT_NEAR(object.headingDeg, 90, 1e-9);

    gf_queuePositionUpdates(std::vector<PositionUpdate>{{id, 52.4, 4.8, 0, 0, 0, 0}});
    gf_clearPositionUpdates();
    link.run(0.1);
    EXPECT_EQ(link.sim->object(id)->positionUpdates, 3u) << "emptied before a frame took it";
}

TEST(SimLinkAircraft, LightsRemovalAndObjectsTakenAway) {
    LinkHarness link;
    ASSERT_TRUE(link.connect());
    const SimObjectId first = createAndRecognise(link, 1, "PH-BXB");
    const SimObjectId second = createAndRecognise(link, 2, "PH-BXC");
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);

    gf_queueNavLights(first, 1);
    link.run(0.1);
    EXPECT_TRUE(link.sim->object(first)->navLights);
    gf_queueNavLights(first, 0);
    link.run(0.1);
    EXPECT_FALSE(link.sim->object(first)->navLights);

    gf_queueRemoval(first);
    link.run(0.1);
    EXPECT_FALSE(link.sim->object(first));
    auto notifications = link.notifications();
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0].kind, SimNotificationKind::objectRemoved);
    EXPECT_EQ(notifications[0].objectId, first);

    // The simulator takes the second aircraft away while a move and a light event for it wait.
    gf_queuePositionUpdates(std::vector<PositionUpdate>{{second, 52.31, 4.77, 0, 0, 0, 0}});
    gf_queueNavLights(second, 1);
    link.sim->takeAway(second);
    link.connection.dispatch();
    notifications = link.notifications();
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0].objectId, second);
    {
        std::lock_guard lock(simQueueMutex);
        EXPECT_TRUE(simQueues.positions.fill().empty()) << "nothing is sent to a gone object";
        EXPECT_TRUE(simQueues.lights.empty());
    }
    gf_queueRemoval(second);
    link.run(0.2);
    EXPECT_TRUE(link.notifications().empty()) << "a late removal is not reported twice";
}

TEST(SimLinkExits, TeleportEndsTheSessionOnlyAfterTheFirstDataAndBeyondFiveMiles) {
    LinkHarness link;
    ASSERT_TRUE(link.connect());
    link.sim->teleportUser(52.3, 4.9); // before any user data: the flight is still being placed
    link.run(2.0);
    ASSERT_TRUE(userAcDataReceived);
    EXPECT_FALSE(stopRequested);

    const auto near = simsim::destinationPoint(52.3, 4.9, 0, 4.9);
    link.sim->teleportUser(near.latitude, near.longitude);
    link.run(2.0);
    EXPECT_FALSE(stopRequested) << "4.9 nm is no teleport";

    const auto far = simsim::destinationPoint(near.latitude, near.longitude, 0, 5.2);
    link.sim->teleportUser(far.latitude, far.longitude);
    link.run(2.0);
    EXPECT_TRUE(stopRequested);
    EXPECT_EQ(exitReason, ExitReason::newFlight);
    EXPECT_EQ(restartDelaySeconds, 45);
    EXPECT_TRUE(contains(link.log(), "\nTeleport\n"));
}

TEST(SimLinkExits, FlightLoadedAndNewFileEventsAfterTheFirstData) {
    for (const bool flightFile : {true, false}) {
        LinkHarness link;
        int learned = 0;
        gf_setSimLinkHooks({[&] { ++learned; }, {}});
        ASSERT_TRUE(link.connection.open());
        flightFile ? link.sim->loadFlight("flights\\first.FLT") : link.sim->loadAircraft("aircraft.cfg");
        link.run(0.05);
        EXPECT_EQ(learned, 1);
        EXPECT_FALSE(stopRequested) << "loading the first flight does not end the session";
        link.run(2.0);
        ASSERT_TRUE(userAcDataReceived);
        flightFile ? link.sim->loadFlight("flights\\second.FLT") : link.sim->loadAircraft("aircraft.cfg");
        link.run(0.05);
        EXPECT_EQ(learned, 2);
        EXPECT_EQ(exitReason, ExitReason::newFlight);
        EXPECT_EQ(restartDelaySeconds, 45);
        EXPECT_TRUE(contains(link.log(),
                             flightFile ? "SimConnect: flight loaded event" : "SimConnect: New file event"));
    }
}

TEST(SimLinkExits, RequestErrorSuspendsTheLink) {
    LinkHarness link;
    ASSERT_TRUE(link.connect());
    link.run(1.5);
    link.sim->failNextRequests(1);
    gf_requestUserAcPosition();
    EXPECT_TRUE(simLinkSuspended);
    EXPECT_EQ(exitReason, ExitReason::simConnectError);
    EXPECT_EQ(restartDelaySeconds, 9);
    EXPECT_EQ(gf_messageLineSnapshot().messageText, "SimConnect request error");

    DWORD before = 0, after = 0;
    {
        std::lock_guard lock(simQueueMutex);
        SimConnect_GetLastSentPacketID(simConnectHandle, &before);
    }
    gf_queueCreate(creationOf(1, "Boeing 737-800 KLM", "PH-BXB"));
    gf_requestUserAcPosition();
    gf_requestUserAcTitleAndModel();
    EXPECT_TRUE(gf_requestUserAcOnGround()) << "no request, so nothing failed";
    link.run(2.0);
    {
        std::lock_guard lock(simQueueMutex);
        SimConnect_GetLastSentPacketID(simConnectHandle, &after);
    }
    EXPECT_EQ(after, before) << "no further requests";
    EXPECT_TRUE(link.sim->objects().empty());
}

TEST(SimLinkExits, RequestErrorWhileSendingOnAFrame) {
    LinkHarness link;
    ASSERT_TRUE(link.connect());
    gf_queueCreate(creationOf(1, "Boeing 737-800 KLM", "PH-BXB"));
    link.sim->failNextRequests(1);
    link.run(0.1);
    EXPECT_TRUE(simLinkSuspended);
    EXPECT_EQ(exitReason, ExitReason::simConnectError);
    EXPECT_TRUE(contains(link.log(), "SimConnect request fails on a frame"));
}

TEST(SimLinkExits, FlightStoppingAndResumingIsFollowed) {
    LinkHarness link;
    ASSERT_TRUE(link.connect());
    link.sim->setFlightRunning(false);
    EXPECT_EQ(link.run(3.0), 0) << "no rounds without a flight";
    EXPECT_FALSE(flightActive);
    EXPECT_FALSE(statusDisplay.flightRunning);
    link.sim->setFlightRunning(true);
    EXPECT_GE(link.run(2.05), 2);
    EXPECT_TRUE(flightActive);
    EXPECT_FALSE(stopRequested);
}

} // namespace
} // namespace kvr::test
