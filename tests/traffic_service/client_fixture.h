#pragma once
// A vantrel-standin on loopback and the client's global state set back around every test.
#include "core/exit_request.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/shared_state.h"
#include "core/status_display.h"
#include "settings/parameter_table.h"
#include "support/file_text.h"
#include "support/log_text.h"
#include "support/standin_process.h"
#include "support/temp_folder.h"
#include "traffic_service/readers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <mutex>

namespace kvr::test {

inline constexpr double standinEpoch = 1796618766.0;
inline constexpr double schipholLatitude = 52.3086;
inline constexpr double schipholLongitude = 4.7639;

inline std::string ehamScenario() {
    return std::string(VANTREL_SOURCE_DIR) + "/scenarios/traffic/eham.json";
}

class ClientFixture : public ::testing::Test {
protected:
    void SetUp() override {
        gf_resetStopState();
        gf_clearMessageAndError();
        statusDisplay.reset();
        weatherReader.toffset = 0;
        trafficReader.toffset = 0;
        gf_resetReaders();
        auto& timings = gf_serviceTimings();
        timings = ServiceTimings{};
        timings.trafficPoll = std::chrono::milliseconds(200);
        timings.retryDelay = std::chrono::milliseconds(20);
        timings.refusalDelay = std::chrono::milliseconds(150);
        timings.parkedWait = std::chrono::seconds(5);
        timings.requestTimeout = std::chrono::seconds(3);
        RT_KEY.setValue("");
        RT_PARKTRAFFIC_ONLY.setValue(false);
        MAX_FIT.setValue(47);
        rangeNm = 40;
        gf_openLogFile(folder.path());
        gf_setReportBatchHandler([this](std::vector<LiveAircraft>& batch) {
            std::lock_guard lock(batchMutex);
            batches.push_back(std::move(batch));
        });
    }

    void TearDown() override {
        stopReaders();
        gf_setReportBatchHandler(nullptr);
        gf_closeLogFile();
        gf_resetStopState();
        standin.reset();
        unsetenv("VANTREL_SERVICE_URL");
    }

    void startStandin(std::vector<std::string> extra = {}, const std::string& scenario = ehamScenario()) {
        std::vector<std::string> arguments{"--scenario", scenario, "--start-epoch", "1796618766"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        standin = std::make_unique<StandinProcess>(arguments);
        setenv("VANTREL_SERVICE_URL", standin->url().c_str(), 1);
    }

    void login() {
        trafficReader.setReferencePosition(schipholLatitude, schipholLongitude);
        gf_updateTrafficBox();
        gf_authenticater();
        ASSERT_TRUE(weatherReader.hasGuid());
    }

    // Sets both stop flags and waits for both readers; the time it took.
    std::chrono::steady_clock::duration stopReaders() {
        const auto started = std::chrono::steady_clock::now();
        weatherReader.stopFlag = true;
        trafficReader.stopFlag = true;
        waitFor([] { return weatherReader.finished.load() && trafficReader.finished.load(); },
                std::chrono::seconds(10));
        return std::chrono::steady_clock::now() - started;
    }

    template <typename Condition>
    static bool waitFor(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    std::vector<std::vector<LiveAircraft>> takeBatches() {
        std::lock_guard lock(batchMutex);
        std::vector<std::vector<LiveAircraft>> taken;
        taken.swap(batches);
        return taken;
    }
    std::size_t reportCount() {
        std::lock_guard lock(batchMutex);
        std::size_t n = 0;
        for (const auto& batch : batches)
            n += batch.size();
        return n;
    }
    std::string logText() { return loggedText(folder.path()); }

    TempFolder folder;
    std::unique_ptr<StandinProcess> standin;
    std::mutex batchMutex;
    std::vector<std::vector<LiveAircraft>> batches;
};

} // namespace kvr::test
