// Scenario files of the simulated simulator (VANTREL_SIM): the JSON read into a scenario, which either
// names what is wrong or holds only what the simulator can play.
#include "fuzz_support.h"
#include "platform/simconnect/sim_scenario.h"

#include <algorithm>
#include <stdexcept>

namespace {

using namespace kvr::simsim;

bool onEarth(double latitude, double longitude) {
    return latitude >= -90 && latitude <= 90 && longitude >= -180 && longitude <= 180;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Scenario scenario;
    try {
        scenario = parseScenario(std::string(kvr::fuzz::asText(data, size)), "/scenarios", "fuzz");
    } catch (const std::runtime_error& error) {
        FUZZ_CHECK(std::string_view(error.what()).starts_with("scenario fuzz: "));
        return 0;
    }
    FUZZ_CHECK(scenario.kind == "MSFS 2020" || scenario.kind == "MSFS 2024");
    FUZZ_CHECK(scenario.startsAfterSeconds >= 0 && scenario.creationDelaySeconds >= 0);
    FUZZ_CHECK(scenario.flightStartsAfterSeconds >= scenario.startsAfterSeconds);
    FUZZ_CHECK(onEarth(scenario.user.latitude, scenario.user.longitude));
    for (const RouteStep& step : scenario.user.route)
        FUZZ_CHECK(step.holdSeconds > 0 || (onEarth(step.latitude, step.longitude) && step.speedKt > 0));
    FUZZ_CHECK(std::is_sorted(
        scenario.timeline.begin(), scenario.timeline.end(),
        [](const TimelineEvent& a, const TimelineEvent& b) { return a.atSeconds < b.atSeconds; }));
    for (const TimelineEvent& event : scenario.timeline) {
        FUZZ_CHECK(event.atSeconds >= 0);
        if (event.kind == TimelineKind::teleport)
            FUZZ_CHECK(onEarth(event.latitude, event.longitude));
    }
    if (scenario.packagesFolder && !scenario.packagesFolder->empty())
        FUZZ_CHECK(scenario.packagesFolder->is_absolute());
    return 0;
}
