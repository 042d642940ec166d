#pragma once
// The whole program in a busy sky: the stand-in's overflights (registrations PH-Z..) cross the range in
// every direction, and the stand-in's own traffic model tells which of them are in range at any moment.
#include "app/traffic_link.h"
#include "core/geodesy.h"
#include "core/status_display.h"
#include "platform/simconnect/simulated_simulator.h"
#include "standins/service/traffic_model.h"
#include "support/standin_process.h"
#include "whole_run_fixture.h"

#include <algorithm>
#include <ctime>
#include <memory>
#include <set>

namespace kvr::test {

class BusySky : public WholeRun {
protected:
    static constexpr double userLatitude = 52.30860;
    static constexpr double userLongitude = 4.76390;
    // Reports are shown 30 s after their time; an aircraft that entered the range within the last 40 s at
    // 480 kt (5 nm) may still be on its way in.
    static constexpr double shownLagSeconds = 30;
    static constexpr double enteringMarginNm = 5;

    void TearDown() override {
        unsetenv("VANTREL_SIM");
        unsetenv("VANTREL_SERVICE_URL");
        simsim::installSimulator(nullptr);
        service.reset();
        WholeRun::TearDown();
    }

    // The program with the traffic scenario of that name and the automatic range off; the user picks the
    // range of that many miles (chooseRange) unless it is the default 40.
    void stage(const std::string& trafficScenario, int range) {
        rangeNm = range;
        stageProgram(R"(<parameter name="AUTO_RANGE" value="false"/>)");
        const std::filesystem::path file =
            std::filesystem::path(VANTREL_SOURCE_DIR) / "scenarios/traffic" / (trafficScenario + ".json");
        model = std::make_unique<standin::TrafficModel>(standin::gf_loadScenario(file));
        startEpoch = static_cast<double>(std::time(nullptr));
        started = std::chrono::steady_clock::now();
        service = std::make_unique<StandinProcess>(
            std::vector<std::string>{"--scenario", file.string(), "--start-epoch",
                                     std::to_string(static_cast<long long>(startEpoch))});
        setenv("VANTREL_SERVICE_URL", service->url().c_str(), 1);
        traffic_link::setTimeOffset(0);
        const std::filesystem::path scenario = folder / "sim.json";
        writeFileText(scenario, R"json({"install": {"titles": ["Boeing 737-800 KLM"]},
            "userAircraft": {"title": "Boeing 737-800 KLM (PH-BXA)", "atcModel": "B738", "wingspanFt": 117.4,
                             "latitude": 52.30860, "longitude": 4.76390, "altitudeFt": -11, "headingDeg": 45}})json");
        setenv("VANTREL_SIM", scenario.c_str(), 1);
        simsim::installSimulator(nullptr);
    }

    // As the user does in the RANGE list, as soon as the window shows it.
    bool chooseRange() {
        if (!waitFor([] { return RANGE.windowHandle.load() && IsWindowEnabled(RANGE.windowHandle.load()); }))
            return false;
        const std::vector<std::string> items = standin::comboItems(RANGE.windowHandle.load());
        const auto item = std::find(items.begin(), items.end(), std::to_string(static_cast<int>(rangeNm)));
        return item != items.end() &&
               standin::chooseComboItem(RANGE.windowHandle.load(), static_cast<int>(item - items.begin()));
    }

    double secondsSinceStart() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }

    // The overflights well inside the range as the program shows them now (shifted back by that many
    // seconds), by callsign, less those the simulator holds.
    std::set<std::string> missingOverflights(double shiftSeconds = 0) {
        const double shownTime = startEpoch + secondsSinceStart() - shiftSeconds - shownLagSeconds;
        const standin::LatLonBox box{userLatitude - 1, userLongitude - 2, userLatitude + 1,
                                     userLongitude + 2};
        std::set<std::string> missing;
        for (const standin::AircraftSnapshot& aircraft : model->liveTraffic(shownTime, box, false))
            if (aircraft.registration.starts_with("PH-Z") &&
                gf_distanceNm(userLatitude, userLongitude, aircraft.latitude, aircraft.longitude) <
                    rangeNm - enteringMarginNm)
                missing.insert(aircraft.callsign);
        expectedAtLeast = std::max(expectedAtLeast, missing.size());
        if (const auto sim = simsim::currentSimulator())
            for (const simsim::SimObjectState& object : sim->objects()) {
                // A ghost's callsign carries a "_".
                std::string callsign = object.atcId;
                while (callsign.ends_with('_'))
                    callsign.pop_back();
                missing.erase(callsign);
            }
        return missing;
    }

    double rangeNm = 0;
    std::unique_ptr<standin::TrafficModel> model;
    double startEpoch = 0;
    std::chrono::steady_clock::time_point started;
    std::size_t expectedAtLeast = 0;
    std::unique_ptr<StandinProcess> service;
};

} // namespace kvr::test
