#include "core/message_line.h"
#include "platform/simconnect/sim_geo.h"
#include "sim_test_client.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <thread>

namespace kvr::simsim::test {
namespace {

constexpr DWORD positionDefinition = 1;
constexpr DWORD atcIdDefinition = 2;

void definePosition(HANDLE handle) {
    SimConnect_AddToDataDefinition(handle, positionDefinition, "PLANE LATITUDE", "degrees");
    SimConnect_AddToDataDefinition(handle, positionDefinition, "PLANE LONGITUDE", "degrees");
    SimConnect_AddToDataDefinition(handle, positionDefinition, "PLANE ALTITUDE", "feet");
    SimConnect_AddToDataDefinition(handle, positionDefinition, "PLANE PITCH DEGREES", "radians");
    SimConnect_AddToDataDefinition(handle, positionDefinition, "PLANE BANK DEGREES", "radians");
    SimConnect_AddToDataDefinition(handle, positionDefinition, "PLANE HEADING DEGREES TRUE", "radians");
}

SIMCONNECT_DATA_INITPOSITION initAt(double latitude, double longitude) {
    SIMCONNECT_DATA_INITPOSITION position{};
    position.Latitude = latitude;
    position.Longitude = longitude;
    position.Heading = 90;
    position.OnGround = 1;
    return position;
}

DWORD createAndWait(InstalledSimulator& installed, TestClient& client, const char* title, const char* tail) {
    SimConnect_AICreateNonATCAircraft(client.handle, title, tail, initAt(52.31, 4.76), 77);
    installed.sim->advanceSeconds(0.6);
    for (const Received& message : client.take())
        if (message.id == SIMCONNECT_RECV_ID_ASSIGNED_OBJECT_ID)
            return message.as<SIMCONNECT_RECV_ASSIGNED_OBJECT_ID>().dwObjectID;
    return 0;
}

TEST(SimulatedSimulatorOpen, FailsUntilTheSimulatorRunsThenAnnouncesNameAndVersion) {
    Scenario scenario = ehamScenario();
    scenario.startsAfterSeconds = 5;
    scenario.flightStartsAfterSeconds = 5;
    InstalledSimulator installed(scenario);
    TestClient client;
    EXPECT_FALSE(client.open());
    installed.sim->advanceSeconds(4.9);
    EXPECT_FALSE(client.open());
    installed.sim->advanceSeconds(0.2);
    ASSERT_TRUE(client.open());
    const auto messages = client.take();
    ASSERT_FALSE(messages.empty());
    ASSERT_EQ(messages.front().id, SIMCONNECT_RECV_ID_OPEN);
    const auto open = messages.front().as<SIMCONNECT_RECV_OPEN>();
    EXPECT_STREQ(open.szApplicationName, "KittyHawk");
    EXPECT_EQ(open.dwApplicationVersionMajor, 11u);
    EXPECT_EQ(open.dwApplicationBuildMajor, 282174u);
    EXPECT_EQ(installed.sim->openCount(), 1);
}

TEST(SimulatedSimulatorOpen, WithoutASimulatorOpenFails) {
    unsetenv("VANTREL_SIM");
    installSimulator(nullptr);
    TestClient client;
    EXPECT_FALSE(client.open());
}

TEST(SimulatedSimulatorOpen, TheEnvironmentNamesTheScenarioThatRunsInRealTime) {
    kvr::test::TempFolder folder;
    kvr::test::writeFileText(folder / "sim.json",
                             R"({"userAircraft": {"title": "T", "latitude": 52, "longitude": 4}})");
    setenv("VANTREL_SIM", (folder / "sim.json").c_str(), 1);
    installSimulator(nullptr);
    {
        TestClient client;
        EXPECT_TRUE(client.open());
        ASSERT_TRUE(currentSimulator());
        const double start = currentSimulator()->clockSeconds();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_GT(currentSimulator()->clockSeconds(), start) << "its own clock runs";
    }
    installSimulator(nullptr);
    setenv("VANTREL_SIM", (folder / "missing.json").c_str(), 1);
    TestClient client;
    EXPECT_FALSE(client.open()) << "a scenario that cannot be read: no simulator";
    unsetenv("VANTREL_SIM");
    installSimulator(nullptr);
}

TEST(SimulatedSimulatorEvents, SimStateAtSubscriptionThenThirtyFramesPerSecondWhileTheFlightRuns) {
    Scenario scenario = ehamScenario();
    scenario.flightStartsAfterSeconds = 2;
    InstalledSimulator installed(scenario);
    TestClient client;
    ASSERT_TRUE(client.open());
    SimConnect_SubscribeToSystemEvent(client.handle, 10, "Sim");
    SimConnect_SubscribeToSystemEvent(client.handle, 11, "Frame");
    auto events = only(client.take(), SIMCONNECT_RECV_ID_EVENT);
    ASSERT_EQ(events.size(), 1u) << "the state comes at once";
    EXPECT_EQ(events[0].as<SIMCONNECT_RECV_EVENT>().dwData, 0u);

    installed.sim->advanceSeconds(1.9);
    EXPECT_TRUE(only(client.take(), SIMCONNECT_RECV_ID_EVENT_FRAME).empty()) << "no frames before the flight";
    installed.sim->advanceSeconds(0.1);
    events = only(client.take(), SIMCONNECT_RECV_ID_EVENT);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].as<SIMCONNECT_RECV_EVENT>().dwData, 1u);
    installed.sim->advanceSeconds(2.0);
    const auto frames = only(client.take(), SIMCONNECT_RECV_ID_EVENT_FRAME);
    EXPECT_EQ(frames.size(), 60u);
    EXPECT_FLOAT_EQ(frames[0].as<SIMCONNECT_RECV_EVENT_FRAME>().fFrameRate, 30.0f);

    installed.sim->setFlightRunning(false);
    events = only(client.take(), SIMCONNECT_RECV_ID_EVENT);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].as<SIMCONNECT_RECV_EVENT>().dwData, 0u);
    installed.sim->advanceSeconds(1.0);
    EXPECT_TRUE(only(client.take(), SIMCONNECT_RECV_ID_EVENT_FRAME).empty());
}

TEST(SimulatedSimulatorData, RequestsAreAnsweredPerPeriodAndReplacedById) {
    InstalledSimulator installed(ehamScenario());
    TestClient client;
    ASSERT_TRUE(client.open());
    definePosition(client.handle);
    SimConnect_RequestDataOnSimObject(client.handle, 5, positionDefinition, SIMCONNECT_OBJECT_ID_USER,
                                      SIMCONNECT_PERIOD_ONCE);
    installed.sim->advanceSeconds(3);
    auto answers = only(client.take(), SIMCONNECT_RECV_ID_SIMOBJECT_DATA);
    ASSERT_EQ(answers.size(), 1u);
    const auto values = answers[0].doubles();
    ASSERT_EQ(values.size(), 6u);
    EXPECT_EQ(answers[0].as<SIMCONNECT_RECV_SIMOBJECT_DATA>().dwentrynumber, 1u) << "one object: 1 of 1";
    EXPECT_EQ(answers[0].as<SIMCONNECT_RECV_SIMOBJECT_DATA>().dwoutof, 1u);
    EXPECT_DOUBLE_EQ(values[0], 52.30860);
    EXPECT_DOUBLE_EQ(values[1], 4.76390);
    EXPECT_NEAR(values[5], toRadians(225), 1e-12);

    SimConnect_RequestDataOnSimObject(client.handle, 5, positionDefinition, SIMCONNECT_OBJECT_ID_USER,
                                      SIMCONNECT_PERIOD_SECOND);
    installed.sim->advanceSeconds(3.01);
    EXPECT_EQ(only(client.take(), SIMCONNECT_RECV_ID_SIMOBJECT_DATA).size(), 4u)
        << "at once, then each second";
    SimConnect_RequestDataOnSimObject(client.handle, 5, positionDefinition, SIMCONNECT_OBJECT_ID_USER,
                                      SIMCONNECT_PERIOD_NEVER);
    installed.sim->advanceSeconds(3);
    EXPECT_TRUE(only(client.take(), SIMCONNECT_RECV_ID_SIMOBJECT_DATA).empty());
}

TEST(SimulatedSimulatorData, UnitsTextsAndUtcTime) {
    InstalledSimulator installed(ehamScenario());
    TestClient client;
    ASSERT_TRUE(client.open());
    SimConnect_AddToDataDefinition(client.handle, 3, "TITLE", nullptr, SIMCONNECT_DATATYPE_STRING256);
    SimConnect_AddToDataDefinition(client.handle, 4, "plane altitude", "Meters");
    SimConnect_AddToDataDefinition(client.handle, 4, "ZULU YEAR", "number");
    SimConnect_AddToDataDefinition(client.handle, 4, "ZULU DAY OF YEAR", "number");
    SimConnect_AddToDataDefinition(client.handle, 4, "ZULU TIME", "seconds");
    SimConnect_AddToDataDefinition(client.handle, 4, "SIM ON GROUND", "bool");
    SimConnect_RequestDataOnSimObject(client.handle, 1, 3, SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_ONCE);
    SimConnect_RequestDataOnSimObject(client.handle, 2, 4, SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_ONCE);
    installed.sim->advanceSeconds(0.05);
    const auto answers = only(client.take(), SIMCONNECT_RECV_ID_SIMOBJECT_DATA);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].textAt(0, 256), "Boeing 737-800 KLM (PH-BXA)");
    const auto values = answers[1].doubles();
    ASSERT_EQ(values.size(), 5u);
    EXPECT_NEAR(values[0], -11 * 0.3048, 1e-9);
    // 1750000000 s is 2025-06-15 15:06:40 UTC, day 166 of the year.
    EXPECT_EQ(values[1], 2025);
    EXPECT_EQ(values[2], 166);
    EXPECT_NEAR(values[3], 15 * 3600 + 6 * 60 + 40 + 1.0 / 30, 1e-6);
    EXPECT_EQ(values[4], 1);
}

TEST(SimulatedSimulatorData, DefinitionsRefuseUnknownNamesUnitsAndTypes) {
    InstalledSimulator installed(ehamScenario());
    TestClient client;
    ASSERT_TRUE(client.open());
    client.take();
    SimConnect_AddToDataDefinition(client.handle, 1, "PLANE WARP FACTOR", "number");
    SimConnect_AddToDataDefinition(client.handle, 1, "PLANE ALTITUDE", "furlongs");
    SimConnect_AddToDataDefinition(client.handle, 1, "TITLE", nullptr, SIMCONNECT_DATATYPE_FLOAT64);
    const auto exceptions = only(client.take(), SIMCONNECT_RECV_ID_EXCEPTION);
    ASSERT_EQ(exceptions.size(), 3u);
    EXPECT_EQ(exceptions[0].as<SIMCONNECT_RECV_EXCEPTION>().dwException,
              SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED);
    EXPECT_EQ(exceptions[1].as<SIMCONNECT_RECV_EXCEPTION>().dwException, SIMCONNECT_EXCEPTION_DATA_ERROR);
    EXPECT_EQ(exceptions[2].as<SIMCONNECT_RECV_EXCEPTION>().dwException,
              SIMCONNECT_EXCEPTION_INVALID_DATA_TYPE);
    EXPECT_EQ(exceptions[2].as<SIMCONNECT_RECV_EXCEPTION>().dwSendID, client.lastPacket());
    // The parameter at fault: name 2, units 3, type 4.
    for (DWORD i = 0; i < 3; ++i)
        EXPECT_EQ(exceptions[i].as<SIMCONNECT_RECV_EXCEPTION>().dwIndex, i + 2);
}

TEST(SimulatedSimulatorData, ByTypeRadiusLimitsArrayCountZeroAndReleasingControl) {
    InstalledSimulator installed(ehamScenario());
    TestClient client;
    ASSERT_TRUE(client.open());
    definePosition(client.handle);
    SimConnect_AddToDataDefinition(client.handle, atcIdDefinition, "ATC ID", nullptr,
                                   SIMCONNECT_DATATYPE_STRING32);
    const DWORD id = createAndWait(installed, client, "Airbus A320 easyJet", "G-EZAD");
    ASSERT_NE(id, 0u);
    SimConnect_RequestDataOnSimObjectType(client.handle, 9, atcIdDefinition, 200001,
                                          SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT);
    auto exceptions = only(client.take(), SIMCONNECT_RECV_ID_EXCEPTION);
    ASSERT_EQ(exceptions.size(), 1u);
    EXPECT_EQ(exceptions[0].as<SIMCONNECT_RECV_EXCEPTION>().dwException, SIMCONNECT_EXCEPTION_OUT_OF_BOUNDS);
    EXPECT_EQ(exceptions[0].as<SIMCONNECT_RECV_EXCEPTION>().dwIndex, 3u);
    SimConnect_RequestDataOnSimObjectType(client.handle, 9, atcIdDefinition, 0,
                                          SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT);
    installed.sim->advanceSeconds(0.05);
    const auto inRange = only(client.take(), SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE);
    ASSERT_EQ(inRange.size(), 1u) << "radius 0: the user aircraft alone";
    EXPECT_EQ(inRange[0].textAt(0, 32), "USER");

    double block[6] = {52.32, 4.77, 120.0, 0, 0, 0};
    SimConnect_SetDataOnSimObject(client.handle, positionDefinition, id, 0, 0, sizeof block, block);
    EXPECT_EQ(installed.sim->object(id)->positionUpdates, 1u) << "array count 0 is one element";
    EXPECT_TRUE(installed.sim->object(id)->aiControlled);
    SimConnect_AIReleaseControl(client.handle, id, 5);
    SimConnect_AIReleaseControl(client.handle, 999999, 5);
    EXPECT_FALSE(installed.sim->object(id)->aiControlled);
    exceptions = only(client.take(), SIMCONNECT_RECV_ID_EXCEPTION);
    ASSERT_EQ(exceptions.size(), 1u);
    EXPECT_EQ(exceptions[0].as<SIMCONNECT_RECV_EXCEPTION>().dwException,
              SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID);
}

TEST(SimulatedSimulatorObjects, CreationAppearsAfterTheDelayAndIsListedWithItsAtcId) {
    InstalledSimulator installed(ehamScenario());
    TestClient client;
    ASSERT_TRUE(client.open());
    SimConnect_SubscribeToSystemEvent(client.handle, 6, "ObjectAdded");
    SimConnect_AddToDataDefinition(client.handle, atcIdDefinition, "ATC ID", nullptr,
                                   SIMCONNECT_DATATYPE_STRING32);
    client.take();
    ASSERT_EQ(SimConnect_AICreateNonATCAircraft(client.handle, "Boeing 737-800 KLM", "PH-BXB",
                                                initAt(52.3100, 4.7600), 1234),
              S_OK);
    installed.sim->advanceSeconds(0.4);
    EXPECT_TRUE(installed.sim->objects().empty());
    EXPECT_TRUE(client.take().empty());
    installed.sim->advanceSeconds(0.2);
    const auto messages = client.take();
    const auto added = only(messages, SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE);
    const auto assigned = only(messages, SIMCONNECT_RECV_ID_ASSIGNED_OBJECT_ID);
    ASSERT_EQ(added.size(), 1u);
    ASSERT_EQ(assigned.size(), 1u);
    const DWORD id = assigned[0].as<SIMCONNECT_RECV_ASSIGNED_OBJECT_ID>().dwObjectID;
    EXPECT_EQ(assigned[0].as<SIMCONNECT_RECV_ASSIGNED_OBJECT_ID>().dwRequestID, 1234u);
    EXPECT_EQ(added[0].as<SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE>().dwData, id);
    const auto object = installed.sim->object(id);
    ASSERT_TRUE(object);
    EXPECT_EQ(object->atcId, "PH-BXB");
    EXPECT_EQ(object->title, "Boeing 737-800 KLM");
    EXPECT_DOUBLE_EQ(object->headingDeg, 90);

    SimConnect_RequestDataOnSimObjectType(client.handle, 9, atcIdDefinition, 5000,
                                          SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT);
    installed.sim->advanceSeconds(0.05);
    const auto inRange = only(client.take(), SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE);
    ASSERT_EQ(inRange.size(), 2u) << "the user aircraft and the new one";
    const auto second = inRange[1].as<SIMCONNECT_RECV_SIMOBJECT_DATA>();
    EXPECT_EQ(second.dwentrynumber, 2u);
    EXPECT_EQ(second.dwoutof, 2u);
    EXPECT_EQ(second.dwObjectID, id);
    EXPECT_EQ(inRange[1].textAt(0, 32), "PH-BXB");

    SimConnect_RequestDataOnSimObjectType(client.handle, 9, atcIdDefinition, 100,
                                          SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT);
    installed.sim->advanceSeconds(0.05);
    EXPECT_EQ(only(client.take(), SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE).size(), 1u) << "outside 100 m";
}

TEST(SimulatedSimulatorObjects, OwnTrafficLateListingAndLateFailuresAsTheScenarioSets) {
    Scenario scenario = ehamScenario();
    scenario.recognitionDelaySeconds = 1;
    scenario.copyCallsigns = true;
    scenario.lateFailureShare = 0.5;
    scenario.lateFailureExceptions = {35};
    // Appearing after the client subscribed.
    scenario.simulatorTraffic = {{"ground", "", "", 52.3087, 4.7641, 0, 0, 0.02},
                                 {"aircraft", "KLM1234", "Boeing 737-800 KLM", 52.3100, 4.7600, 0, 0, 0.02}};
    InstalledSimulator installed(scenario);
    TestClient client;
    ASSERT_TRUE(client.open());
    SimConnect_SubscribeToSystemEvent(client.handle, 6, "ObjectAdded");
    SimConnect_AddToDataDefinition(client.handle, atcIdDefinition, "ATC ID", nullptr,
                                   SIMCONNECT_DATATYPE_STRING32);
    installed.sim->advanceSeconds(0.05);
    auto added = only(client.take(), SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE);
    ASSERT_EQ(added.size(), 2u) << "the simulator's own traffic, announced to whoever subscribes";
    EXPECT_EQ(added[0].as<SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE>().eObjType,
              SIMCONNECT_SIMOBJECT_TYPE_GROUND);
    EXPECT_EQ(added[1].as<SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE>().eObjType,
              SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT);
    const DWORD trafficId = added[1].as<SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE>().dwData;

    SimConnect_AICreateNonATCAircraft(client.handle, "Boeing 737-800 KLM", "PH-BXB", initAt(52.31, 4.76), 1);
    SimConnect_AICreateNonATCAircraft(client.handle, "Boeing 737-800 KLM", "PH-BXC", initAt(52.31, 4.76), 2);
    const DWORD secondPacket = client.lastPacket();
    installed.sim->advanceSeconds(0.6);
    const auto messages = client.take();
    EXPECT_EQ(only(messages, SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE).size(), 3u)
        << "two namesakes of the simulator's at once, then the first creation";
    const auto assigned = only(messages, SIMCONNECT_RECV_ID_ASSIGNED_OBJECT_ID);
    ASSERT_EQ(assigned.size(), 1u);
    const DWORD ours = assigned[0].as<SIMCONNECT_RECV_ASSIGNED_OBJECT_ID>().dwObjectID;
    const auto failed = only(messages, SIMCONNECT_RECV_ID_EXCEPTION);
    ASSERT_EQ(failed.size(), 1u) << "every second creation fails late";
    EXPECT_EQ(failed[0].as<SIMCONNECT_RECV_EXCEPTION>().dwException, SIMCONNECT_EXCEPTION_OBJECT_AI);
    EXPECT_EQ(failed[0].as<SIMCONNECT_RECV_EXCEPTION>().dwSendID, secondPacket);

    auto listedIds = [&] {
        SimConnect_RequestDataOnSimObjectType(client.handle, 9, atcIdDefinition, 5000,
                                              SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT);
        installed.sim->advanceSeconds(0.05);
        std::set<DWORD> ids;
        for (const Received& answer : only(client.take(), SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE))
            ids.insert(answer.as<SIMCONNECT_RECV_SIMOBJECT_DATA>().dwObjectID);
        return ids;
    };
    auto ids = listedIds();
    EXPECT_EQ(ids.size(), 4u) << "the user, KLM1234 and both namesakes; no ground vehicle";
    EXPECT_FALSE(ids.count(ours)) << "not listed within a second of being added";
    SimConnect_RequestDataOnSimObject(client.handle, 3, atcIdDefinition, ours, SIMCONNECT_PERIOD_ONCE);
    installed.sim->advanceSeconds(0.05);
    auto single = only(client.take(), SIMCONNECT_RECV_ID_SIMOBJECT_DATA);
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0].textAt(0, 32), "") << "no ATC id yet";
    installed.sim->advanceSeconds(1);
    EXPECT_TRUE(listedIds().count(ours));
    ASSERT_EQ(installed.sim->objects().size(), 1u);
    EXPECT_EQ(installed.sim->simulatorTraffic().size(), 4u);

    SimConnect_AIRemoveObject(client.handle, trafficId, 4);
    const auto refused = only(client.take(), SIMCONNECT_RECV_ID_EXCEPTION);
    ASSERT_EQ(refused.size(), 1u) << "only the client's own objects";
    EXPECT_EQ(refused[0].as<SIMCONNECT_RECV_EXCEPTION>().dwException, SIMCONNECT_EXCEPTION_ILLEGAL_OPERATION);
    EXPECT_TRUE(installed.sim->object(trafficId));
}

TEST(SimulatedSimulatorObjects, UninstalledTitleAndInjectedFailureRaiseCreateObjectFailed) {
    InstalledSimulator installed(ehamScenario());
    TestClient client;
    ASSERT_TRUE(client.open());
    client.take();
    SimConnect_AICreateNonATCAircraft(client.handle, "Concorde Air France", "F-BVFA", initAt(52.31, 4.76), 1);
    const DWORD firstPacket = client.lastPacket();
    installed.sim->failNextCreations(1);
    SimConnect_AICreateNonATCAircraft(client.handle, "Airbus A320 easyJet", "G-EZAA", initAt(52.31, 4.76), 2);
    SimConnect_AICreateNonATCAircraft(client.handle, "Airbus A320 easyJet", "G-EZAB", initAt(52.31, 4.76), 3);
    installed.sim->advanceSeconds(1);
    const auto messages = client.take();
    const auto exceptions = only(messages, SIMCONNECT_RECV_ID_EXCEPTION);
    ASSERT_EQ(exceptions.size(), 2u);
    EXPECT_EQ(exceptions[0].as<SIMCONNECT_RECV_EXCEPTION>().dwException,
              SIMCONNECT_EXCEPTION_CREATE_OBJECT_FAILED);
    EXPECT_EQ(exceptions[0].as<SIMCONNECT_RECV_EXCEPTION>().dwSendID, firstPacket);
    EXPECT_EQ(exceptions[1].as<SIMCONNECT_RECV_EXCEPTION>().dwSendID, firstPacket + 1);
    ASSERT_EQ(installed.sim->objects().size(), 1u);
    EXPECT_EQ(installed.sim->objects()[0].atcId, "G-EZAB");
}

// The client's texts are UTF-8, also where they name a file: a user or install folder with 'ë' in it.
TEST(SimulatedSimulatorObjects, InstallAndFlightPlanFoldersWithLettersOutsideAscii) {
    kvr::test::TempFolder folder;
    const auto utf8 = [](const std::filesystem::path& path) {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    };
    const std::filesystem::path user = folder.path() / std::u8string(u8"Zo\u00eb");
    setenv("XDG_DATA_HOME", (user / "local").c_str(), 1);
    const std::filesystem::path packages = folder.path() / std::u8string(u8"Pakete \u00eb");
    std::filesystem::create_directories(packages / "Community" / "b738");
    kvr::test::writeFileText(packages / "Community" / "b738" / "aircraft.cfg",
                             "[FLTSIM.0]\ntitle=Boeing 737-800 Transavia\n");
    const auto store = user / "local" / "Packages" / "Microsoft.FlightSimulator_8wekyb3d8bbwe" / "LocalCache";
    std::filesystem::create_directories(store);
    kvr::test::writeFileText(store / "UserCfg.opt", "InstalledPackagesPath \"" + utf8(packages) + "\"\n");
    kvr::test::writeFileText(user / "plan.pln", "<?xml version=\"1.0\"?>\n");

    Scenario scenario = ehamScenario();
    scenario.extraTitles.clear();
    scenario.packagesFolder.reset(); // from UserCfg.opt
    InstalledSimulator installed(scenario);
    TestClient client;
    ASSERT_TRUE(client.open());
    client.take();
    const DWORD objectId = createAndWait(installed, client, "Boeing 737-800 Transavia", "PH-HZA");
    ASSERT_NE(objectId, 0u) << "the title is installed";
    SimConnect_AISetAircraftFlightPlan(client.handle, objectId, utf8(user / "plan").c_str(), 5);
    EXPECT_TRUE(only(client.take(), SIMCONNECT_RECV_ID_EXCEPTION).empty());
    EXPECT_EQ(installed.sim->object(objectId)->flightPlanPath, utf8(user / "plan.pln"));
}

// A UserCfg.opt edited by hand in the ANSI code page: 'ë' is the one byte EB there, as Windows-1252 has it.
TEST(SimulatedSimulatorObjects, UserCfgInTheAnsiCodePageNamesThePackagesFolder) {
    kvr::test::TempFolder folder;
    setenv("XDG_DATA_HOME", (folder.path() / "local").c_str(), 1);
    const std::filesystem::path packages = folder.path() / std::u8string(u8"Pakete \u00eb");
    std::filesystem::create_directories(packages / "Community" / "b738");
    kvr::test::writeFileText(packages / "Community" / "b738" / "aircraft.cfg",
                             "[FLTSIM.0]\ntitle=Boeing 737-800 Transavia\n");
    const auto store =
        folder.path() / "local" / "Packages" / "Microsoft.FlightSimulator_8wekyb3d8bbwe" / "LocalCache";
    std::filesystem::create_directories(store);
    const std::u8string base = folder.path().u8string();
    kvr::test::writeFileText(store / "UserCfg.opt", "InstalledPackagesPath \"" +
                                                        std::string(base.begin(), base.end()) +
                                                        "/Pakete \xEB\"\r\n");
    Scenario scenario = ehamScenario();
    scenario.extraTitles.clear();
    scenario.packagesFolder.reset();
    InstalledSimulator installed(scenario);
    EXPECT_EQ(installed.sim->installedTitles(), std::set<std::string>{"Boeing 737-800 Transavia"});
}

// The program only learns that the simulator does not answer; the reason goes where the user looks.
TEST(SimulatedSimulatorStart, AScenarioThatCannotBeReadIsNamedInTheErrorLine) {
    kvr::test::TempFolder folder;
    const std::filesystem::path missing = folder.path() / "missing.json";
    setenv("VANTREL_SIM", missing.string().c_str(), 1);
    installSimulator(nullptr); // taken from VANTREL_SIM at the next opening
    kvr::gf_clearMessageAndError();
    TestClient client;
    EXPECT_FALSE(client.open());
    const std::string error = kvr::gf_messageLineSnapshot().errorText;
    EXPECT_TRUE(error.starts_with("VANTREL_SIM: scenario ")) << error;
    EXPECT_NE(error.find("missing.json"), std::string::npos) << error;
    unsetenv("VANTREL_SIM");
    installSimulator(nullptr);
    kvr::gf_clearMessageAndError();
}

TEST(SimulatedSimulatorObjects, MovingLightingAndRemovingAndUnknownIds) {
    InstalledSimulator installed(ehamScenario());
    TestClient client;
    ASSERT_TRUE(client.open());
    definePosition(client.handle);
    SimConnect_MapClientEventToSimEvent(client.handle, 20, "NAV_LIGHTS_SET");
    SimConnect_SubscribeToSystemEvent(client.handle, 7, "ObjectRemoved");
    const DWORD id = createAndWait(installed, client, "Embraer 175 KLM Cityhopper", "PH-EXA");
    ASSERT_NE(id, 0u);

    double block[6] = {52.32, 4.77, 120.0, 0.05, -0.1, toRadians(270)};
    EXPECT_EQ(SimConnect_SetDataOnSimObject(client.handle, positionDefinition, id, 0, 1, sizeof block, block),
              S_OK);
    SimConnect_TransmitClientEvent(client.handle, id, 20, 1, SIMCONNECT_GROUP_PRIORITY_HIGHEST,
                                   SIMCONNECT_EVENT_FLAG_GROUPID_IS_PRIORITY);
    auto object = installed.sim->object(id);
    ASSERT_TRUE(object);
    EXPECT_DOUBLE_EQ(object->latitude, 52.32);
    EXPECT_DOUBLE_EQ(object->altitudeFt, 120.0);
    EXPECT_NEAR(object->headingDeg, 270, 1e-9);
    EXPECT_NEAR(object->bankDeg, toDegrees(-0.1), 1e-9);
    EXPECT_EQ(object->positionUpdates, 1u);
    EXPECT_TRUE(object->navLights);
    EXPECT_TRUE(client.take().empty());

    double badLatitude[6] = {95.0, 4.77, 0, 0, 0, 0};
    SimConnect_SetDataOnSimObject(client.handle, positionDefinition, id, 0, 1, sizeof badLatitude,
                                  badLatitude);
    SimConnect_SetDataOnSimObject(client.handle, positionDefinition, id, 0, 1, sizeof block - 8, block);
    SimConnect_SetDataOnSimObject(client.handle, positionDefinition, 999999, 0, 1, sizeof block, block);
    SimConnect_TransmitClientEvent(client.handle, 999999, 20, 0, SIMCONNECT_GROUP_PRIORITY_HIGHEST, 0);
    auto exceptions = only(client.take(), SIMCONNECT_RECV_ID_EXCEPTION);
    ASSERT_EQ(exceptions.size(), 4u);
    EXPECT_EQ(exceptions[0].as<SIMCONNECT_RECV_EXCEPTION>().dwException, SIMCONNECT_EXCEPTION_DATA_ERROR);
    EXPECT_EQ(exceptions[1].as<SIMCONNECT_RECV_EXCEPTION>().dwException, SIMCONNECT_EXCEPTION_SIZE_MISMATCH);
    EXPECT_EQ(exceptions[2].as<SIMCONNECT_RECV_EXCEPTION>().dwException,
              SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID);
    EXPECT_EQ(exceptions[3].as<SIMCONNECT_RECV_EXCEPTION>().dwException,
              SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID);
    EXPECT_DOUBLE_EQ(installed.sim->object(id)->latitude, 52.32) << "a refused update changes nothing";

    SimConnect_AIRemoveObject(client.handle, id, 3);
    EXPECT_FALSE(installed.sim->object(id));
    const auto removed = only(client.take(), SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE);
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(removed[0].as<SIMCONNECT_RECV_EVENT>().dwData, id);
    SimConnect_AIRemoveObject(client.handle, id, 3);
    exceptions = only(client.take(), SIMCONNECT_RECV_ID_EXCEPTION);
    ASSERT_EQ(exceptions.size(), 1u);
    EXPECT_EQ(exceptions[0].as<SIMCONNECT_RECV_EXCEPTION>().dwException,
              SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID);
}

TEST(SimulatedSimulatorObjects, ClosingAClientTakesItsAircraftAway) {
    InstalledSimulator installed(ehamScenario());
    TestClient watcher;
    ASSERT_TRUE(watcher.open());
    SimConnect_SubscribeToSystemEvent(watcher.handle, 7, "ObjectRemoved");
    DWORD id = 0;
    {
        TestClient creator;
        ASSERT_TRUE(creator.open());
        id = createAndWait(installed, creator, "Airbus A320 easyJet", "G-EZAC");
        ASSERT_TRUE(installed.sim->object(id));
    }
    EXPECT_FALSE(installed.sim->object(id));
    const auto removed = only(watcher.take(), SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE);
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(removed[0].as<SIMCONNECT_RECV_EVENT>().dwData, id);
}

TEST(SimulatedSimulatorFailures, InjectedRequestErrorsQuitAndDisconnect) {
    InstalledSimulator installed(ehamScenario());
    TestClient client;
    ASSERT_TRUE(client.open());
    const DWORD before = client.lastPacket();
    installed.sim->failNextRequests(2);
    EXPECT_EQ(SimConnect_SubscribeToSystemEvent(client.handle, 1, "Sim"), E_FAIL);
    EXPECT_EQ(SimConnect_SubscribeToSystemEvent(client.handle, 1, "Sim"), E_FAIL);
    EXPECT_EQ(client.lastPacket(), before);
    EXPECT_EQ(SimConnect_SubscribeToSystemEvent(client.handle, 1, "Sim"), S_OK);
    client.take();

    installed.sim->quit();
    EXPECT_FALSE(installed.sim->isRunning());
    EXPECT_EQ(SimConnect_SubscribeToSystemEvent(client.handle, 3, "Pause"), S_OK)
        << "QUIT is still on its way";
    const auto messages = client.take();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].id, SIMCONNECT_RECV_ID_QUIT);
    EXPECT_EQ(client.dispatch(), E_FAIL) << "after the quit has been delivered";
    EXPECT_EQ(SimConnect_SubscribeToSystemEvent(client.handle, 2, "Frame"), E_FAIL);
    TestClient late;
    EXPECT_FALSE(late.open());
}

TEST(SimulatedSimulatorFailures, DisconnectDropsWaitingMessages) {
    InstalledSimulator installed(ehamScenario());
    TestClient client;
    ASSERT_TRUE(client.open());
    SimConnect_SubscribeToSystemEvent(client.handle, 1, "Frame");
    installed.sim->advanceSeconds(0.5);
    installed.sim->disconnect();
    EXPECT_EQ(client.dispatch(), E_FAIL);
    EXPECT_TRUE(client.messages.empty());
}

TEST(SimulatedSimulatorWorld, UserFollowsItsRouteAndTheTimeline) {
    Scenario scenario = ehamScenario();
    const LatLon target = destinationPoint(scenario.user.latitude, scenario.user.longitude, 90, 0.1);
    scenario.user.route = {RouteStep{2.0}, RouteStep{0, target.latitude, target.longitude, 10, 20.0, true}};
    scenario.timeline = {{50, TimelineKind::pause},
                         {55, TimelineKind::unpause},
                         {60, TimelineKind::teleport, "", 51.4700, -0.4543, 83.0, 270.0},
                         {70, TimelineKind::flightLoaded, "flights\\next.FLT"},
                         {80, TimelineKind::quit}};
    InstalledSimulator installed(scenario);
    TestClient client;
    ASSERT_TRUE(client.open());
    SimConnect_SubscribeToSystemEvent(client.handle, 2, "Pause");
    SimConnect_SubscribeToSystemEvent(client.handle, 4, "FlightLoaded");
    client.take();

    installed.sim->advanceSeconds(2.0);
    EXPECT_DOUBLE_EQ(installed.sim->userAircraft().longitude, scenario.user.longitude) << "holding";
    installed.sim->advanceSeconds(18.0); // 18 s of the 36 s leg at 10 kt
    SimObjectState user = installed.sim->userAircraft();
    EXPECT_NEAR(distanceNm(user.latitude, user.longitude, target.latitude, target.longitude), 0.05, 0.001);
    EXPECT_NEAR(user.headingDeg, 90, 0.1);
    EXPECT_DOUBLE_EQ(user.groundSpeedKt, 10);
    EXPECT_NEAR(user.altitudeFt, 4.5, 0.2) << "half way from -11 ft to 20 ft";
    installed.sim->advanceSeconds(20.0);
    user = installed.sim->userAircraft();
    EXPECT_NEAR(user.latitude, target.latitude, 1e-9);
    EXPECT_DOUBLE_EQ(user.groundSpeedKt, 0) << "the route has ended";
    EXPECT_GT(user.trail.size(), 5u);

    installed.sim->advanceSeconds(13); // 51 s: paused
    EXPECT_TRUE(installed.sim->paused());
    installed.sim->advanceSeconds(10); // 61 s: teleported
    user = installed.sim->userAircraft();
    EXPECT_DOUBLE_EQ(user.latitude, 51.4700);
    EXPECT_DOUBLE_EQ(user.headingDeg, 270);
    auto messages = client.take();
    const auto pauses = only(messages, SIMCONNECT_RECV_ID_EVENT);
    ASSERT_EQ(pauses.size(), 2u) << "pause, unpause";
    EXPECT_EQ(pauses[0].as<SIMCONNECT_RECV_EVENT>().dwData, 1u);
    EXPECT_EQ(pauses[1].as<SIMCONNECT_RECV_EVENT>().dwData, 0u);

    installed.sim->advanceSeconds(10);
    const auto files = only(client.take(), SIMCONNECT_RECV_ID_EVENT_FILENAME);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_STREQ(files[0].as<SIMCONNECT_RECV_EVENT_FILENAME>().szFileName, "flights\\next.FLT");
    installed.sim->advanceSeconds(10);
    EXPECT_FALSE(installed.sim->isRunning());
    EXPECT_EQ(only(client.take(), SIMCONNECT_RECV_ID_QUIT).size(), 1u);
}

} // namespace
} // namespace kvr::simsim::test
