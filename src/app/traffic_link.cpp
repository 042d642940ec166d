#include "app/traffic_link.h"

#include "core/stop_waits.h"
#include "core/watched_thread.h"
#include "refdata/aircraft_dbase.h"
#include "traffic_service/readers.h"
#include "traffic_service/service_hooks.h"

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
    // A reader reports finished whenever its loop has ended, stopped or failed; one that does not is left
    // behind, and the logout and the saving go on.
    gf_waitUntil([] { return weatherReader.finished.load() && trafficReader.finished.load(); },
                 WatchedThread::endLimit);
    for (const ServiceReader* reader : {static_cast<const ServiceReader*>(&weatherReader),
                                        static_cast<const ServiceReader*>(&trafficReader)})
        if (!reader->finished.load())
            gf_logThreadLeftBehind(reader->threadName(), WatchedThread::endLimit);
    deauthenticate(trafficReader);
}

} // namespace kvr::traffic_link
