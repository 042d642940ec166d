#include "core/status_display.h"

namespace kvr {

StatusDisplay statusDisplay;

void StatusDisplay::reset() {
    learnedFitAverage = -1.0f;
    parkedTrafficFitAverage = -1.0f;
    for (auto* count : {&liveAircraftCount, &simAddonAirportCount, &thirdPartyAirportCount, &liveryCount,
                        &parkedLiveCount, &staticAircraftCount, &standCount})
        count->store(0);
    trafficPaneFirstLineY = 399;
    for (auto* value : {&wantedMaxParkPercentage, &shownQnh, &wantedMaxParkCount, &minutesToStaticUpdate,
                        &numberOfUpdates, &staticInBrackets})
        value->store(0);
    for (auto* flag : {&handmadeStandFile, &authenticated, &standFileLoaded, &simConnected, &flightRunning,
                       &softFit, &weekFit, &reservedStandFound})
        flag->store(false);
    rtLampPending = true;
    userModelKnown = true;
    timeControlsEnabled = true;
    trafficLampState = 3;
    weatherLampState = 3;
    changeTexts([](StatusTexts& t) { t = StatusTexts{}; });
}

} // namespace kvr
