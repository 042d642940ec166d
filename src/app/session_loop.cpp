// The session loop: a fixed 10 ms tick on the steady clock, resynchronised on each round.
#include "app/combo_fill.h"
#include "app/engine_link.h"
#include "app/request_flags.h"
#include "app/rounds.h"
#include "app/session_internal.h"
#include "app/session_state.h"
#include "app/traffic_link.h"
#include "core/exit_request.h"
#include "core/log.h"
#include "core/time_util.h"
#include "parking/static_parking.h"
#include "platform/win32/win32.h"
#include "refdata/downloads.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "simlink/sim_link_state.h"
#include "simlink/sim_queues.h"

#include <fmt/format.h>

#include <chrono>
#include <thread>

namespace kvr {

namespace {

constexpr auto tick = std::chrono::milliseconds(10);
constexpr int ticksPerSecond = 100;

// Countdown of the not-flying step; run thread only.
int notFlyingTicks = ticksPerSecond;

// The 10 ms sleeps keep their rate only with the timer resolution raised.
class TimerResolution {
public:
    TimerResolution() { timeBeginPeriod(1); }
    ~TimerResolution() { timeEndPeriod(1); }
    TimerResolution(const TimerResolution&) = delete;
    TimerResolution& operator=(const TimerResolution&) = delete;
};

// A round that waits for a download (a stand file of the park airport) keeps the engine's 10 ms ticks
// going on the loop's own deadline, so that live traffic does not stand still for the transfer and the
// loop goes on where the wait left off. The rounds themselves wait.
void lf_tickWhileDownloading(std::chrono::steady_clock::time_point& deadline) {
    while (std::chrono::steady_clock::now() >= deadline) {
        if (flightActive.load() && !simLinkSuspended.load())
            engine_link::handleAddingStack();
        deadline += tick;
    }
}

void lf_runRoundSteps() {
    const RoundSteps steps = lf_roundSteps(roundCounter.load(), staticUpdatePhase.load());
    if (steps.fiveRound) {
        traffic_link::updateConnectionIndicators();
        const UserAcData user = gf_latestUserAcData();
        traffic_link::setReferencePosition(user.latitude, user.longitude);
        traffic_link::updateTrafficBox();
        gf_removeParkedAtReservedStand();
        lf_handleReReadRequest();
        if (steps.periodic)
            lf_periodicTasks();
    }
    if (steps.parkAirportTick)
        gf_parkAirportTick(false);
    if (steps.liveOnStatic)
        engine_link::checkLiveOnStatic();
}

} // namespace

RoundSteps lf_roundSteps(int round, bool staticUpdateHalfDone) {
    RoundSteps steps;
    if (round % 5 == 0) {
        steps.fiveRound = true;
        steps.periodic = round % 15 == 0;
        return steps;
    }
    steps.parkAirportTick = round % 16 == 0 && !staticUpdateHalfDone;
    steps.liveOnStatic = round % 61 == 0;
    return steps;
}

void lf_onFlightNotRunning() {
    if (!flightNotRunning.load()) {
        engine_link::setKeepReportsFlag(false);
        flightNotRunning = true;
        notFlyingTicks = ticksPerSecond;
        gf_clearPositionUpdates();
        gf_logLine(fmt::format("{} Flight not running", gf_nowHms()));
    }
    // Creations and removals the simulator reports are still taken.
    engine_link::processSimNotifications();
    if (--notFlyingTicks % ticksPerSecond == 0) {
        lf_handleReReadRequest();
        traffic_link::updateTrafficBox();
    }
    if (notFlyingTicks < 1) {
        notFlyingTicks = ticksPerSecond;
        lf_updateParkedCounts();
        gf_updateCurrentTimeSlot();
    }
}

void lf_sessionLoop() {
    gf_parkAirportTick(true);
    traffic_link::updateConnectionIndicators();
    roundCounter = 0;
    const auto start = std::chrono::steady_clock::now();
    gf_updateCurrentTimeSlot();
    engine_link::setKeepReportsFlag(true);
    auto deadline = start + tick;
    lf_fillGlobalCombo();
    gf_enableControl(csToOidButton);
    const TimerResolution resolution;
    const ScopedDownloadWaitWork tickingWhileDownloading([&deadline] { lf_tickWhileDownloading(deadline); });

    for (;;) {
        if (flightActive.load() && !simLinkSuspended.load()) {
            engine_link::handleAddingStack();
            if (newData.exchange(false)) {
                lf_processRound();
                if (gf_stopping())
                    break;
                lf_runRoundSteps();
            }
        } else {
            lf_onFlightNotRunning();
            if (gf_stopping())
                break;
        }
        while (
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                .count() > 0)
            std::this_thread::sleep_until(deadline);
        // A round that is due starts the next tick 10 ms after its arrival; without one the ticks keep a
        // fixed rate and a late tick is followed by shorter waits.
        if (newData.load())
            deadline = std::chrono::steady_clock::now();
        deadline += tick;
    }
}

} // namespace kvr
