// What the window and static parking read of the engine: counts, the parked live aircraft, the callsign
// list and the live aircraft the Traffic Reader saw.
#include "core/status_display.h"
#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"

#include <algorithm>

namespace kvr {

namespace {

bool inSim(SimState state, bool activeOnly) {
    return state == SimState::active || (!activeOnly && state == SimState::adding2sim);
}

} // namespace

unsigned lf_countParkedLive(bool activeOnly) {
    return static_cast<unsigned>(
        std::count_if(liveAcList.begin(), liveAcList.end(), [activeOnly](const LiveAc& a) {
            return !a.removed && a.phase == AcPhase::parked && inSim(a.simState, activeOnly);
        }));
}

unsigned lf_countStaticInSim(bool activeOnly) {
    return static_cast<unsigned>(
        std::count_if(staticAcList.begin(), staticAcList.end(), [activeOnly](const StaticAc& a) {
            return !a.removed && inSim(a.simState, activeOnly);
        }));
}

void lf_listLiveParked() {
    liveParkedList.clear();
    const std::int64_t tick = trafficTick.load();
    for (const LiveAc& aircraft : liveAcList)
        if (!aircraft.removed && aircraft.simState == SimState::active && aircraft.phase == AcPhase::parked)
            liveParkedList.push_back(
                {aircraft.callsign, aircraft.standNumber,
                 static_cast<int>((tick - aircraft.parkedSinceTick) / (60 * tuning::ticksPerSecond))});
}

void lf_refreshCallsignList() {
    std::vector<std::string> callsigns;
    callsigns.reserve(liveAcList.size());
    for (const LiveAc& aircraft : liveAcList)
        if (!aircraft.removed && aircraft.simState == SimState::active && aircraft.phase != AcPhase::parked)
            callsigns.push_back(aircraft.callsign);
    std::sort(callsigns.begin(), callsigns.end());
    CALLSIGN_2_OBJECTID.setChoices(std::move(callsigns));
    gf_invalidateControlsArea();
}

void lf_resetCallsignSelection() {
    followedObject = 0;
    statusDisplay.changeTexts([](StatusTexts& texts) { texts.objectIdText.clear(); });
    CALLSIGN_2_OBJECTID.setValue(std::string());
    lf_refreshCallsignList();
}

void lf_takeSeenLiveMaps() {
    seenLiveMaps = port::takeSeenLiveMaps();
}

} // namespace kvr
