#pragma once
// The simulator link against the simulated simulator, on the test's thread and the simulated clock.
#include "core/exit_request.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/shared_state.h"
#include "core/status_display.h"
#include "platform/simconnect/simulated_simulator.h"
#include "settings/parameters_file.h"
#include "simlink/flight_plan.h"
#include "simlink/sim_client.h"
#include "simlink/sim_client_internal.h"
#include "simlink/sim_link_state.h"
#include "simlink/sim_queues.h"
#include "simlink/simlink_hooks.h"
#include "support/file_text.h"
#include "support/log_text.h"
#include "support/temp_folder.h"

#include <cstdlib>
#include <memory>

namespace kvr::test {

// EHAM, the user at a stand; the simulator and the flight run from the start.
inline simsim::Scenario linkScenario() {
    simsim::Scenario scenario;
    scenario.kind = "MSFS 2020";
    scenario.applicationName = "KittyHawk";
    scenario.version = {11, 0, 282174, 999};
    scenario.utcStartEpoch = 1749893400;
    scenario.creationDelaySeconds = 0.5;
    scenario.packagesFolder = std::filesystem::path(); // only the titles below
    scenario.extraTitles = {"Boeing 737-800 KLM", "Airbus A320 easyJet"};
    scenario.user.title = "Boeing 737-800 KLM (PH-BXA)";
    scenario.user.atcModel = "B738";
    scenario.user.wingspanFt = 117.4;
    scenario.user.latitude = 52.30860;
    scenario.user.longitude = 4.76390;
    scenario.user.altitudeFt = -11;
    scenario.user.headingDeg = 225;
    return scenario;
}

inline CreateRequest creationOf(std::uint32_t aircraftId, const std::string& title, const std::string& tail) {
    CreateRequest request;
    request.aircraftId = aircraftId;
    request.title = title;
    request.tailNumber = tail;
    request.description = "KLM B738 " + tail;
    request.latitude = 52.3080;
    request.longitude = 4.7650;
    request.headingDeg = 135;
    return request;
}

class LinkHarness {
public:
    explicit LinkHarness(simsim::Scenario scenario = linkScenario()) {
        setenv("XDG_CONFIG_HOME", (folder.path() / "roaming").c_str(), 1);
        gf_initAppDataFolder();
        gf_createFlightPlanFolder();
        gf_openLogFile(folder.path());
        gf_resetStopState();
        gf_clearMessageAndError();
        gf_resetSimLink();
        lf_initSimQueues();
        statusDisplay.reset();
        waitingForSim = true;
        userOnGround = false;
        simUtcTime = 0;
        rangeMetres = 40 * 1852 + 10000;
        failedLiveryTitles.clear();
        failedAircraftTexts.clear();
        sim = std::make_shared<simsim::SimulatedSimulator>(std::move(scenario));
        simsim::installSimulator(sim);
    }
    ~LinkHarness() {
        connection.close();
        simsim::installSimulator(nullptr);
        gf_setSimLinkHooks({});
        gf_closeLogFile();
        gf_resetStopState();
    }

    // Opens the connection and lets the first messages arrive.
    bool connect() {
        if (!connection.open())
            return false;
        run(0.1);
        return true;
    }

    // The simulated clock in 10 ms steps, the link dispatching after each; counts the rounds (taken newData).
    int run(double seconds) {
        int rounds = 0;
        for (int step = 0; step < static_cast<int>(seconds * 100 + 0.5); ++step) {
            sim->advance(std::chrono::milliseconds(10));
            connection.dispatch();
            if (newData.exchange(false))
                ++rounds;
        }
        return rounds;
    }

    std::vector<SimNotification> notifications() { return gf_takeSimNotifications(); }

    std::string log() { return loggedText(folder.path()); }

    TempFolder folder;
    std::shared_ptr<simsim::SimulatedSimulator> sim;
    SimClientConnection connection;
};

} // namespace kvr::test
