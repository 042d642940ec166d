// The live-traffic client is not part of this build yet: no login happens, no reader runs and no traffic
// arrives, so a session ends through the reader watchdog.
#include "app/traffic_link.h"

#include "core/log.h"

#include <atomic>

namespace kvr::traffic_link {

namespace {

void lf_reportMissing() {
    static std::atomic<bool> reported{false};
    if (!reported.exchange(true))
        gf_logLine("The live-traffic client is not available in this build");
}

} // namespace

void wire() {}
void resetReaders() {}
void setReferencePosition(double, double) {}
void updateTrafficBox() {}
void authenticate() {
    lf_reportMissing();
}
bool hasSessionGuid() {
    return false;
}
void startWeatherReader() {}
void startTrafficReader() {}
bool trafficReceiving() {
    return false;
}
double latestReportTime() {
    return 0.0;
}
void updateConnectionIndicators() {}
void setTimeOffset(int) {}
void collectLiveAircraft() {}
void stopReadersAndLogout() {}

} // namespace kvr::traffic_link
