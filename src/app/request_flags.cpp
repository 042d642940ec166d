#include "app/request_flags.h"

#include "app/combo_fill.h"
#include "core/status_display.h"
#include "engine/traffic_engine.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "simlink/sim_queues.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace kvr {

std::atomic<bool> csToOidRequested{false};
std::atomic<bool> reReadRequested{false};
std::atomic<bool> flushStaticRequested{false};
std::atomic<bool> blockedCallsignChanged{false};
std::atomic<bool> callsignSelectionChanged{false};
std::atomic<bool> matchingDepthRaised{false};
std::atomic<bool> parkTrafficOnlyChanged{false};
std::atomic<bool> staticParkingNowRequested{false};
std::atomic<bool> timeShiftRequested{false};
std::atomic<bool> simTimeSwitched{false};
std::atomic<bool> staticParkingCountdownRequested{false};

std::atomic<bool> callsignSelectionResetRequested{false};
std::atomic<bool> navLightsRequested{false};
std::atomic<bool> liveLimitRequested{false};

namespace {

bool lf_takesNavLights(const AcRecord& aircraft) {
    return aircraft.simState == SimState::active && aircraft.objectId != 0;
}

void lf_sendNavLightsWhileParked() {
    const std::uint32_t value = NAV_LIGHTS_WHILE_PARKED.value() ? 1u : 0u;
    for (const StaticAc& aircraft : staticAcList)
        if (lf_takesNavLights(aircraft))
            gf_queueNavLights(aircraft.objectId, value);
    for (const LiveAc& aircraft : liveAcList)
        if (lf_takesNavLights(aircraft) && aircraft.phase == AcPhase::parked)
            gf_queueNavLights(aircraft.objectId, value);
}

void lf_removeLiveBeyondLimit() {
    const auto active =
        static_cast<std::int64_t>(std::count_if(liveAcList.begin(), liveAcList.end(), [](const LiveAc& a) {
            return a.simState == SimState::active && !a.removed;
        }));
    for (std::int64_t excess = active - MAX_LIVE_SEL.value(); excess > 0; --excess)
        lf_removeFarthestLive(-1.0);
}

} // namespace

void gf_requestCallsignSelectionReset() {
    CALLSIGN_2_OBJECTID.setValue(std::string());
    statusDisplay.changeTexts([](StatusTexts& texts) { texts.objectIdText.clear(); });
    gf_invalidateControlsArea();
    callsignSelectionResetRequested.exchange(true);
}

void gf_serveEngineRequests() {
    if (callsignSelectionResetRequested.exchange(false)) {
        lf_resetCallsignSelection();
        lf_fillGlobalCombo();
    }
    if (navLightsRequested.exchange(false))
        lf_sendNavLightsWhileParked();
    if (liveLimitRequested.exchange(false))
        lf_removeLiveBeyondLimit();
}

} // namespace kvr
