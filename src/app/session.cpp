// The start of a session: the simulator link, the user aircraft, the login and the two readers.
#include "app/control_state.h"
#include "app/engine_link.h"
#include "app/rounds.h"
#include "app/session_internal.h"
#include "app/session_state.h"
#include "app/time_shift.h"
#include "app/traffic_link.h"
#include "core/exit_request.h"
#include "core/log.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "core/stop_waits.h"
#include "liveries/livery_matching.h"
#include "settings/parameter_table.h"
#include "simlink/sim_client.h"
#include "simlink/sim_link_state.h"
#include "simlink/sim_queues.h"

#include <gsl/narrow>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <thread>

namespace kvr {

namespace {

using namespace std::chrono_literals;

constexpr int readyWaits = 10; // for the session GUID and the first QNH, 300 ms each
constexpr auto readyWaitStep = 300ms;
constexpr int firstReportWaits = 150; // 100 ms each
constexpr auto readerWatchdogLimit = std::chrono::seconds(10);

bool lf_knownPosition(const UserAcData& data) {
    return std::abs(data.latitude) > 0.0001 || std::abs(data.longitude) > 0.0001;
}

void lf_setStatusFlag(std::atomic<bool>& flag, bool value) {
    flag = value;
    gf_invalidateArea(ScreenArea::statusPane);
}

void lf_setLamp(std::atomic<int>& lamp, int state) {
    lamp = state;
    gf_invalidateArea(ScreenArea::statusPane);
}

// Ends the session with READER ERROR when the Traffic Reader receives nothing within 10 s. A stop
// requested meanwhile ends the watch at once: the session is over anyway.
void lf_watchTrafficReader() {
    const auto start = std::chrono::steady_clock::now();
    while (!traffic_link::trafficReceiving() && !gf_stopping()) {
        if (std::chrono::steady_clock::now() - start > readerWatchdogLimit) {
            gf_logLine("TrafficReader receiving timed out after 10 seconds?");
            gf_requestExit(ExitReason::readerError, 15);
            return;
        }
        std::this_thread::sleep_for(100ms);
    }
}

} // namespace

bool lf_requestSimAircraft() {
    while (!flightActive.load() || simLinkSuspended.load()) {
        if (gf_stopping())
            return false;
        std::this_thread::sleep_for(100ms);
    }
    if (gf_stopping())
        return false;
    if (!gf_requestUserAcOnGround()) {
        gf_logError("SimConnect request ac gnd/air fails");
        gf_onSimConnectRequestError();
    }
    UserAcData user;
    for (;;) {
        user = gf_requestUserAcPosition();
        if (userAcDataReceived.load() && lf_knownPosition(user))
            break;
        if (gf_stopping())
            return false;
        std::this_thread::sleep_for(500ms);
    }
    gf_requestUserAcTitleAndModel();
    while (!lf_knownPosition(user)) {
        user = gf_requestUserAcPosition();
        if (gf_stopping())
            return false;
        std::this_thread::sleep_for(200ms);
    }
    return true;
}

void lf_showNoTrafficHint() {
    for (int waits = 0; waits < firstReportWaits && !gf_stopping(); ++waits) {
        if (gsl::narrow<std::int64_t>(std::round(traffic_link::latestReportTime())) != 0)
            return;
        std::this_thread::sleep_for(100ms);
    }
    if (!gf_stopping() && gsl::narrow<std::int64_t>(std::round(traffic_link::latestReportTime())) == 0)
        gf_logLine("No traffic in this region?");
}

void gf_runSession() {
    lf_setStatusFlag(statusDisplay.authenticated, false);
    lf_setStatusFlag(statusDisplay.simConnected, false);
    engine_link::reserveTrafficTables();
    gf_reserveLiveryLists();
    lf_initSimQueues();
    gf_invalidateArea(ScreenArea::statusPane);
    // Assigning ends a thread of the previous session first.
    simClientThread = WatchedThread("SimClient", SimClient);

    if (!lf_requestSimAircraft())
        return;
    if (AUTO_RANGE.value())
        lf_applyAutoRange();
    if (gf_stopping())
        return;
    lf_setStatusFlag(statusDisplay.rtLampPending, false);
    if (gf_stopping())
        return;
    engine_link::setKeepReportsFlag(false);

    // The box needs the user aircraft's position before the Weather Reader can find its station.
    const UserAcData user = gf_latestUserAcData();
    traffic_link::setReferencePosition(user.latitude, user.longitude);
    traffic_link::updateTrafficBox();
    traffic_link::authenticate();
    lf_setLamp(statusDisplay.trafficLampState, 2);
    lf_setLamp(statusDisplay.weatherLampState, 2);
    lf_setTimeControlsEnabled(true);

    // A stop during the login or the waits below ends the session before its readers start: closing down
    // logs out when the login got its GUID.
    for (int waits = 0; waits < readyWaits && !traffic_link::hasSessionGuid(); ++waits)
        if (!gf_sleepUnlessStopping(readyWaitStep))
            return;
    if (gf_stopping())
        return;
    traffic_link::startWeatherReader();
    for (int waits = 0; waits < readyWaits && statusDisplay.shownQnh.load() == 0; ++waits) {
        if (!gf_sleepUnlessStopping(readyWaitStep))
            return;
        lf_handleReReadRequest();
    }
    if (gf_stopping())
        return;
    traffic_link::startTrafficReader();
    if (!gf_sleepUnlessStopping(readyWaitStep))
        return;
    const UserAcData now = gf_latestUserAcData();
    traffic_link::setReferencePosition(now.latitude, now.longitude);

    lf_showNoTrafficHint();
    gf_updateCurrentTimeSlot();
    lf_watchTrafficReader();
    lf_sessionLoop();
}

} // namespace kvr
