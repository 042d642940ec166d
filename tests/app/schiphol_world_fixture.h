#pragma once
// The whole program in the world of the live sessions: vantrel-standin serves the traffic at Schiphol, and
// the simulated simulator has the user's 737 at a stand there with the catalogue's livery installed.
#include "app/traffic_link.h"
#include "platform/simconnect/simulated_simulator.h"
#include "support/standin_process.h"
#include "whole_run_fixture.h"

#include <memory>
#include <string>
#include <vector>

namespace kvr::test {

class SchipholWorld : public WholeRun {
protected:
    void TearDown() override {
        unsetenv("VANTREL_SIM");
        unsetenv("VANTREL_SERVICE_URL");
        simsim::installSimulator(nullptr);
        service.reset();
        WholeRun::TearDown();
    }
    // Starts the stand-in with these arguments and points the program at it and at the simulator.
    void startWorld(const std::vector<std::string>& standinArguments) {
        service = std::make_unique<StandinProcess>(standinArguments);
        setenv("VANTREL_SERVICE_URL", service->url().c_str(), 1);
        // The readers keep their time offset from session to session; an earlier program in the process
        // may have left one.
        traffic_link::setTimeOffset(0);
        const std::filesystem::path scenario = folder / "sim.json";
        writeFileText(scenario, R"json({"install": {"titles": ["Boeing 737-800 KLM"]},
            "userAircraft": {"title": "Boeing 737-800 KLM (PH-BXA)", "atcModel": "B738", "wingspanFt": 117.4,
                             "latitude": 52.30860, "longitude": 4.76390, "altitudeFt": -11, "headingDeg": 45}})json");
        setenv("VANTREL_SIM", scenario.c_str(), 1);
        // A program run before this one in the process may have found no simulator; look again.
        simsim::installSimulator(nullptr);
    }

    std::unique_ptr<StandinProcess> service;
};

} // namespace kvr::test
