#pragma once
// The whole program in a busy sky: the stand-in's overflights (registrations PH-Z..) cross the range in
// every direction, and the stand-in's own traffic model tells which of them are in range at any moment.
#include "core/geodesy.h"
#include "core/status_display.h"
#include "schiphol_world_fixture.h"
#include "standins/service/traffic_model.h"

#include <ctime>
#include <memory>
#include <set>

namespace kvr::test {

class BusySky : public SchipholWorld {
protected:
    static constexpr double userLatitude = 52.30860;
    static constexpr double userLongitude = 4.76390;
    static constexpr double rangeNm = 40;
    // Reports are shown 30 s after their time; an aircraft that entered the range within the last 40 s at
    // 480 kt (5 nm) may still be on its way in.
    static constexpr double shownLagSeconds = 30;
    static constexpr double enteringMarginNm = 5;

    // The program with the traffic scenario of that name, the automatic range off and the range at its
    // default of 40 nm.
    void stage(const std::string& trafficScenario) {
        stageProgram(R"(<parameter name="AUTO_RANGE" value="false"/>)");
        const std::filesystem::path file =
            std::filesystem::path(VANTREL_SOURCE_DIR) / "scenarios/traffic" / (trafficScenario + ".json");
        model = std::make_unique<standin::TrafficModel>(standin::gf_loadScenario(file));
        startEpoch = static_cast<double>(std::time(nullptr));
        started = std::chrono::steady_clock::now();
        startWorld({"--scenario", file.string(), "--start-epoch",
                    std::to_string(static_cast<long long>(startEpoch))});
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

    std::unique_ptr<standin::TrafficModel> model;
    double startEpoch = 0;
    std::chrono::steady_clock::time_point started;
    std::size_t expectedAtLeast = 0;
};

} // namespace kvr::test
