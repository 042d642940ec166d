// The Weather Reader and the Traffic Reader threads against vantrel-standin.
#include "core/geodesy.h"
#include "traffic_service/client_fixture.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <map>
#include <set>

namespace kvr {
namespace {

using namespace std::chrono_literals;
using test::ClientFixture;

class Readers : public ClientFixture {
protected:
    void startBoth() {
        gf_startWeatherReader();
        gf_startTrafficReader();
    }
    std::map<std::uint32_t, int> perAddress(const std::vector<LiveAircraft>& batch) {
        std::map<std::uint32_t, int> count;
        for (const auto& report : batch)
            ++count[report.address];
        return count;
    }
};

TEST_F(Readers, StartDeliverAndStopWithinASecond) {
    startStandin();
    EXPECT_TRUE(weatherReader.finished) << "a reader that never ran counts as finished";
    EXPECT_TRUE(trafficReader.finished);
    login();
    startBoth();
    EXPECT_FALSE(weatherReader.finished);
    EXPECT_FALSE(trafficReader.finished);

    ASSERT_TRUE(waitFor([] { return statusDisplay.shownQnh.load() == 1018; }));
    EXPECT_EQ(weatherReader.qnh.load(), 1018);
    EXPECT_EQ(weatherReader.station(), "EHAM");
    EXPECT_EQ(statusDisplay.weatherLampState.load(), 1);
    ASSERT_TRUE(waitFor([&] { return trafficReader.receiving.load() && reportCount() > 20; }));
    EXPECT_GT(trafficReader.latestReportTime.load(), test::standinEpoch - 10.0);
    gf_updateConnectionIndicators();
    EXPECT_EQ(statusDisplay.trafficLampState.load(), 1);

    EXPECT_LT(stopReaders(), 1s);
    EXPECT_FALSE(stopRequested) << "a stopped reader is no error";
}

TEST_F(Readers, FirstPollBringsThePastAndAirborneAltitudesFollowTheQnh) {
    startStandin();
    login();
    weatherReader.qnh = 1018; // as the Weather Reader would have it before the traffic starts
    gf_startTrafficReader();
    ASSERT_TRUE(waitFor([&] { return reportCount() > 0; }));
    ASSERT_TRUE(waitFor([&] {
        std::lock_guard lock(batchMutex);
        return batches.size() >= 4;
    }));
    const auto seen = takeBatches();
    const auto first = perAddress(seen.front());
    EXPECT_GE(
        std::max_element(first.begin(), first.end(), [](auto& a, auto& b) { return a.second < b.second; })
            ->second,
        10)
        << "a minute of past positions per aircraft";
    int airborne = 0;
    for (std::size_t i = 1; i < seen.size(); ++i) {
        for (const auto& [address, n] : perAddress(seen[i]))
            EXPECT_EQ(n, 1) << "after the first poll only new positions";
        for (const auto& report : seen[i])
            if (!report.onGround && report.geometricAltitude) {
                EXPECT_NEAR(report.altitude, *report.geometricAltitude, 1.5) << report.callsign;
                ++airborne;
            }
    }
    for (const auto& report : seen.front()) {
        if (!report.onGround && report.geometricAltitude) {
            EXPECT_NEAR(report.altitude, *report.geometricAltitude, 1.5) << report.callsign;
        }
    }
    EXPECT_GT(airborne, 0);
}

TEST_F(Readers, TheGlobalStopEndsBothLoops) {
    startStandin();
    login();
    startBoth();
    ASSERT_TRUE(waitFor([] { return trafficReader.receiving.load(); }));
    const auto started = std::chrono::steady_clock::now();
    gf_requestExit(ExitReason::userClosedSim, 0);
    ASSERT_TRUE(waitFor([] { return weatherReader.finished.load() && trafficReader.finished.load(); }, 1s));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
}

TEST_F(Readers, AStopAbortsARequestThatHangs) {
    startStandin({"--faults", "slow=1:3000,only=traffic"});
    gf_serviceTimings().requestTimeout = 20s;
    login();
    gf_startTrafficReader();
    std::this_thread::sleep_for(300ms); // the first traffic request is now waiting for its reply
    EXPECT_LT(stopReaders(), 1s);
    EXPECT_EQ(trafficReader.counters.failures.load(), 0u) << "an abort on a stop is no failure";
}

TEST_F(Readers, TimeOffsetReplaysThePastAlsoWhenItGoesBackAgain) {
    startStandin();
    login();
    trafficReader.toffset = 60;
    gf_startTrafficReader();
    ASSERT_TRUE(waitFor([&] { return reportCount() > 0; }));
    for (const auto& batch : takeBatches())
        for (const auto& report : batch)
            EXPECT_LT(report.timestamp, test::standinEpoch - 3500.0);
    EXPECT_LT(trafficReader.latestReportTime.load(), test::standinEpoch - 3500.0);

    trafficReader.toffset = 0;
    ASSERT_TRUE(waitFor([&] { return trafficReader.latestReportTime.load() > test::standinEpoch - 100.0; }));
    takeBatches();
    // Back into the past: these times are older than everything sent, yet new for this offset.
    trafficReader.toffset = 30;
    ASSERT_TRUE(waitFor([&] {
        for (const auto& batch : takeBatches())
            for (const auto& report : batch)
                if (report.timestamp < test::standinEpoch - 1700.0)
                    return true;
        return false;
    }));
    EXPECT_LT(trafficReader.latestReportTime.load(), test::standinEpoch - 1700.0);
}

TEST_F(Readers, TransientFailuresAreRetried) {
    startStandin({"--faults", "5xx=0.3,malformed=0.1,drop=0.1,seed=5,only=traffic"});
    login();
    gf_startTrafficReader();
    ASSERT_TRUE(waitFor([] { return trafficReader.counters.replies.load() >= 12; }, 20s));
    EXPECT_GT(trafficReader.counters.failures.load(), 0u);
    EXPECT_FALSE(trafficReader.finished);
    EXPECT_FALSE(stopRequested);
}

// Every reply holds one number beyond a double ("1e999", valid JSON) in one array: only that array is lost.
TEST_F(Readers, ANumberBeyondADoubleCostsOnlyItsArray) {
    startStandin({"--faults", "overflow=0.001"});
    login();
    gf_startTrafficReader();
    ASSERT_TRUE(waitFor([] { return trafficReader.counters.replies.load() >= 12; }, 20s));
    EXPECT_EQ(trafficReader.counters.failures.load(), 0u);
    EXPECT_GE(trafficReader.counters.invalid.load(), 12u);
    EXPECT_GT(reportCount(), 20u);
    EXPECT_FALSE(trafficReader.finished);
    EXPECT_FALSE(stopRequested);
    EXPECT_NE(logText().find(
                  "Traffic Reader: a number out of range in the reply; the arrays holding it are skipped"),
              std::string::npos);
}

struct PersistentFault {
    const char* name;
    const char* faults;
    const char* threadName;
    ExitReason reason;
};

void PrintTo(const PersistentFault& fault, std::ostream* out) {
    *out << fault.faults;
}

class ReadersUnderAPersistentFault : public Readers, public ::testing::WithParamInterface<PersistentFault> {};

TEST_P(ReadersUnderAPersistentFault, EndTheReaderThroughTheWorkerError) {
    const PersistentFault fault = GetParam();
    startStandin({"--faults", fault.faults});
    gf_serviceTimings().requestTimeout = 300ms;
    login();
    startBoth();
    ServiceReader& failing = std::string(fault.threadName) == "Traffic Reader"
                                 ? static_cast<ServiceReader&>(trafficReader)
                                 : weatherReader;
    ASSERT_TRUE(waitFor([&] { return failing.finished.load(); }, 30s));
    EXPECT_EQ(exitReason.load(), fault.reason);
    EXPECT_EQ(gf_messageLineSnapshot().messageText,
              fmt::format("The {} has stopped with an error", fault.threadName));
    if (fault.reason == ExitReason::systemError) {
        EXPECT_NE(logText().find(fmt::format("{}: 10 failed requests in a row", fault.threadName)),
                  std::string::npos);
    }
    ASSERT_TRUE(waitFor([] { return weatherReader.finished.load() && trafficReader.finished.load(); }, 2s))
        << "the stop request ends the other reader too";
}

INSTANTIATE_TEST_SUITE_P(Faults, ReadersUnderAPersistentFault,
                         ::testing::Values(PersistentFault{"TrafficServerErrors", "5xx=1,only=traffic",
                                                           "Traffic Reader", ExitReason::systemError},
                                           PersistentFault{"TrafficMalformedJson", "malformed=1,only=traffic",
                                                           "Traffic Reader", ExitReason::systemError},
                                           PersistentFault{"TrafficDroppedConnections", "drop=1,only=traffic",
                                                           "Traffic Reader", ExitReason::systemError},
                                           PersistentFault{"TrafficTimeouts", "slow=1:1000,only=traffic",
                                                           "Traffic Reader", ExitReason::systemError},
                                           PersistentFault{"TrafficUnauthorized", "status=401:1,only=traffic",
                                                           "Traffic Reader", ExitReason::readerError},
                                           PersistentFault{"WeatherServerErrors", "5xx=1,only=weather",
                                                           "Weather Reader", ExitReason::systemError},
                                           PersistentFault{"WeatherUnauthorized", "status=401:1,only=weather",
                                                           "Weather Reader", ExitReason::readerError}),
                         [](const ::testing::TestParamInfo<PersistentFault>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(Readers, AStalledServiceEmptiesTheTrafficUntilItComesBack) {
    startStandin({"--faults", "stall=1.5:1.5"});
    login();
    gf_startTrafficReader();
    ASSERT_TRUE(waitFor([] { return trafficReader.aircraftCount.load() > 0; }));
    ASSERT_TRUE(waitFor([] { return trafficReader.aircraftCount.load() == 0; }));
    gf_updateConnectionIndicators();
    EXPECT_EQ(statusDisplay.trafficLampState.load(), 2);
    ASSERT_TRUE(waitFor([] { return trafficReader.aircraftCount.load() > 0; }));
    EXPECT_EQ(trafficReader.counters.failures.load(), 0u);
    EXPECT_FALSE(trafficReader.finished);
}

TEST_F(Readers, ParkedTrafficIsSortedAndUniqueAndWaitsOnlyForARunningReader) {
    startStandin();
    login();
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(gf_receiveParkedTraffic()) << "no Traffic Reader runs";
    EXPECT_LT(std::chrono::steady_clock::now() - started, 500ms);

    gf_startTrafficReader();
    ASSERT_TRUE(gf_receiveParkedTraffic());
    const auto parked = trafficReader.parkedAircraft();
    ASSERT_GT(parked.size(), 5u);
    std::set<std::string> stands, callsigns;
    for (std::size_t i = 0; i < parked.size(); ++i) {
        if (i > 0) {
            EXPECT_LE(parked[i - 1].age, parked[i].age);
        }
        EXPECT_TRUE(stands.insert(parked[i].standName).second);
        EXPECT_TRUE(callsigns.insert(parked[i].callsign).second);
        EXPECT_LE(gf_distanceNm(test::schipholLatitude, test::schipholLongitude, parked[i].latitude,
                                parked[i].longitude),
                  3.0 * 1.5);
        // Aged against the service's clock, which has run on a little since its start epoch.
        EXPECT_GE(parked[i].age, static_cast<int>((test::standinEpoch - parked[i].parkedSince) / 1800.0));
        EXPECT_LE(parked[i].age,
                  static_cast<int>((test::standinEpoch + 30.0 - parked[i].parkedSince) / 1800.0));
    }

    RT_PARKTRAFFIC_ONLY.setValue(true);
    MAX_FIT.setValue(0);
    ASSERT_TRUE(gf_receiveParkedTraffic());
    const auto recent = trafficReader.parkedAircraft();
    EXPECT_LT(recent.size(), parked.size());
    for (const auto& record : recent)
        EXPECT_EQ(record.age, 0);
}

TEST_F(Readers, AQnhNoBarometerShowsIsNotTaken) {
    auto scenario = nlohmann::json::parse(test::readFileText(test::ehamScenario()));
    scenario["stations"][0]["qnh"] = 870;
    test::writeFileText(folder / "low.json", scenario.dump());
    startStandin({}, (folder / "low.json").string());
    login();
    startBoth();
    ASSERT_TRUE(waitFor([] { return statusDisplay.weatherLampState.load() == 2; }));
    EXPECT_EQ(weatherReader.qnh.load(), 1013);
    EXPECT_FALSE(weatherReader.weatherOk);
    EXPECT_EQ(statusDisplay.shownQnh.load(), 0);
    EXPECT_NE(logText().find("Weather Reader: QNH 870 of EHAM not accepted"), std::string::npos);
}

TEST_F(Readers, AJumpOfTheBoxBringsNewWeatherAndThePastOfTheNewArea) {
    startStandin();
    login();
    startBoth();
    ASSERT_TRUE(waitFor([] { return weatherReader.station() == "EHAM"; }));
    ASSERT_TRUE(waitFor([&] {
        std::lock_guard lock(batchMutex);
        return batches.size() >= 3;
    }));
    takeBatches();
    trafficReader.setReferencePosition(51.9569, 4.4372); // Rotterdam, 24 nm away
    gf_updateTrafficBox();
    ASSERT_TRUE(
        waitFor([] { return weatherReader.station() == "EHRD" && weatherReader.qnh.load() == 1019; }));
    ASSERT_TRUE(waitFor([&] {
        for (const auto& batch : takeBatches())
            for (const auto& [address, n] : perAddress(batch))
                if (n > 1)
                    return true;
        return false;
    })) << "the first poll of the new box asks for the buffer";
}

} // namespace
} // namespace kvr
