#include "app/traffic_link.h"

#include "refdata/aircraft_dbase.h"
#include "traffic_service/readers.h"
#include "traffic_service/service_hooks.h"

#include <chrono>
#include <thread>

namespace kvr::traffic_link {

void wire() {
    gf_setAircraftCategoryLookup(
        [](std::string_view icaoType) { return static_cast<int>(gf_getAircraftCategory(icaoType)); });
}

void resetReaders() {
    gf_resetReaders();
}

void setReferencePosition(double latitude, double longitude) {
    trafficReader.setReferencePosition(latitude, longitude);
}

void updateTrafficBox() {
    gf_updateTrafficBox();
}
void authenticate() {
    gf_authenticater();
}
bool hasSessionGuid() {
    return weatherReader.hasGuid();
}
void startWeatherReader() {
    gf_startWeatherReader();
}
void startTrafficReader() {
    gf_startTrafficReader();
}
bool trafficReceiving() {
    return trafficReader.receiving.load();
}
double latestReportTime() {
    return trafficReader.latestReportTime.load();
}
void updateConnectionIndicators() {
    gf_updateConnectionIndicators();
}

void setTimeOffset(int minutes) {
    weatherReader.toffset = minutes;
    trafficReader.toffset = minutes;
}

void collectLiveAircraft() {
    trafficReader.collectLiveAircraft = true;
}

void stopReadersAndLogout() {
    if (!weatherReader.hasGuid())
        return;
    weatherReader.stopFlag = true;
    trafficReader.stopFlag = true;
    // A reader reports finished whenever its loop has ended, stopped or failed.
    while (!weatherReader.finished.load() || !trafficReader.finished.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    deauthenticate(trafficReader);
}

} // namespace kvr::traffic_link
