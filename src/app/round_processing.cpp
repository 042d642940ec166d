// The work of one round: everything the run thread does once per new set of user-aircraft data.
#include "app/combo_fill.h"
#include "app/control_state.h"
#include "app/engine_link.h"
#include "app/request_flags.h"
#include "app/rounds.h"
#include "app/session_state.h"
#include "app/time_shift.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "core/text_util.h"
#include "core/time_util.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "simlink/sim_link_state.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <mutex>

namespace kvr {

namespace {

// A message stays about 25 seconds.
constexpr int messageLifetimeRounds = 25;
// The simulator clock must move this far from the one last used before the shift follows it.
constexpr std::int64_t simClockStepSeconds = 30;

void lf_expireMessage() {
    const int round = gf_messageRoundCounter() + 1;
    gf_setMessageRoundCounter(round);
    std::lock_guard lock(messageMutex);
    if (messageLine.messageRound > 0 && round - messageLine.messageRound >= messageLifetimeRounds) {
        messageLine.messageText.clear();
        messageLine.messageRound = 0;
        gf_invalidateArea(ScreenArea::messageLine);
    }
}

void lf_followSimulatorClock() {
    const auto simSeconds = static_cast<std::int64_t>(simUtcTime.load());
    const std::int64_t difference = simSeconds - lastSimUtcSeconds.load();
    if (difference >= simClockStepSeconds || difference <= -simClockStepSeconds) {
        // Division truncates toward zero; a simulator clock ahead of the real one means no shift.
        const std::int64_t minutes = (static_cast<std::int64_t>(std::time(nullptr)) - simSeconds) / 60;
        lf_applyTimeShift(static_cast<int>(std::clamp<std::int64_t>(minutes, 0, maxTimeShiftMinutes + 1)),
                          false);
    }
    lastSimUtcSeconds = simSeconds;
}

// What the window asked of the time shift and the static parking since the last round.
void lf_serveWindowRequests() {
    if (simTimeSwitched.exchange(false))
        lf_applySimTimeSetting();
    if (timeShiftRequested.exchange(false))
        lf_rebuildForTimeShift();
    if (staticParkingCountdownRequested.exchange(false)) {
        staticUpdateCountdown = staticUpdateCountdownStart;
        lf_showStaticParkingCountdown();
    }
}

void lf_setObjectIdText(const std::string& text) {
    statusDisplay.changeTexts([&](StatusTexts& texts) { texts.objectIdText = text; });
    gf_invalidateArea(ScreenArea::controlsArea);
}

void lf_lookUpSelectedCallsign() {
    const std::optional<std::uint32_t> objectId = engine_link::followCallsign(CALLSIGN_2_OBJECTID.value());
    lf_setObjectIdText(objectId ? fmt::format("= {}", gf_idToString(*objectId)) : std::string("has left"));
}

void lf_removeCollisions() {
    if (userOnGround.load()) {
        if (COLLISION_USER_GND.value()) {
            const UserAcData user = gf_latestUserAcData();
            engine_link::removeGroundCollisionWithUser(user.latitude, user.longitude,
                                                       userHalfWingspan.load());
        }
    } else if (COLLISION_USER_AIR.value()) {
        engine_link::removeAcInFrontOfUser();
    }
    if (COLLISION_LIVE_PARKED_GND.value())
        engine_link::checkLiveAgainstStaticOnGround();
}

} // namespace

void lf_updateParkedCounts() {
    const engine_link::ParkedCounts counts = engine_link::parkedCounts();
    if (statusDisplay.liveAircraftCount.exchange(counts.activeLive) != counts.activeLive)
        gf_invalidateArea(ScreenArea::statusPane);
    const bool staticChanged =
        statusDisplay.staticAircraftCount.exchange(counts.staticInSim) != counts.staticInSim;
    const bool parkedChanged = statusDisplay.parkedLiveCount.exchange(counts.parkedLive) != counts.parkedLive;
    if (staticChanged || parkedChanged)
        gf_invalidateArea(ScreenArea::trafficPane);
}

void lf_processRound() {
    gf_serveEngineRequests();
    if (flightNotRunning.exchange(false)) {
        gf_logLine(fmt::format("{} Flight resumed", gf_nowHms()));
        engine_link::setKeepReportsFlag(true);
    }
    lf_expireMessage();
    lf_updateParkedCounts();
    gf_updateCurrentTimeSlot();
    lf_serveWindowRequests();
    if (SIM_TIME.value())
        lf_followSimulatorClock();
    ++roundCounter;
    engine_link::serveDuplicateCheck(gf_currentTimeSlot());

    if (callsignSelectionChanged.exchange(false))
        lf_lookUpSelectedCallsign();
    if (flushStaticRequested.exchange(false)) {
        engine_link::removeAllStatic();
        if (!INITIAL_LOAD_ONLY.value()) {
            // For this run only: parameters.xml keeps what the user chose.
            INITIAL_LOAD_ONLY.setValue(true);
            gf_showCheckMark(INITIAL_LOAD_ONLY);
        }
    }
    if (csToOidRequested.exchange(false)) {
        lf_setObjectIdText("");
        engine_link::refreshCallsignList();
        lf_fillGlobalCombo();
        callsignSelectionChanged = true;
    }

    lf_removeCollisions();

    if (blockedCallsignChanged.exchange(false)) {
        if (const std::string blocked = BLOCK_CALLSIGN.value(); !blocked.empty())
            engine_link::removeBlockedCallsign(blocked);
    }
    if (controlsBusy.load()) {
        statusDisplay.staticInBrackets = static_cast<int>(engine_link::parkPositionCount());
        gf_invalidateArea(ScreenArea::trafficPane);
    }
}

} // namespace kvr
