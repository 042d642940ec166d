#include "app/subsystem_wiring.h"

#include "app/closing_down.h"
#include "app/command_hooks.h"
#include "app/control_state.h"
#include "app/engine_link.h"
#include "app/feature_hooks.h"
#include "app/parking_display.h"
#include "app/rounds.h"
#include "app/scan_link.h"
#include "app/session_state.h"
#include "app/time_shift.h"
#include "app/traffic_link.h"
#include "parking/parking_hooks.h"
#include "simlink/sim_link_state.h"
#include "simlink/simlink_hooks.h"

#include <cmath>
#include <mutex>

namespace kvr {

namespace {

std::optional<AutoRangeInputs> lf_autoRangeInputs() {
    const UserAcData user = gf_latestUserAcData();
    if (!userAcDataReceived.load() ||
        (std::abs(user.latitude) <= 0.0001 && std::abs(user.longitude) <= 0.0001))
        return std::nullopt;
    return AutoRangeInputs{userOnGround.load(), user.altitude,
                           gf_firstParkAirportDistanceNm(user.latitude, user.longitude)};
}

void lf_wire() {
    gf_setSimLinkHooks({gf_learnUserStand, engine_link::nearestStandName});
    gf_installAutoRangeHooks({lf_autoRangeInputs, traffic_link::updateTrafficBox});
    gf_installParkingHooks({gf_setRange, gf_applyAutoRangeSetting, gf_syncMaxFitCombo, gf_updateParkControls,
                            [] { return nowButtonAllowed.load(); }, engine_link::setGroundReferenceAltitude});
    gf_installParkingDisplaySource({gf_reservedStandName, {}, gf_tbloZipWaitingFromScan});
    CommandHooks commands;
    commands.applySimTimeSetting = lf_applySimTimeSetting;
    commands.applyTimeShift = lf_applyTimeShift;
    commands.showStaticParkingCountdown = lf_showStaticParkingCountdown;
    commands.setStaticUpdateCountdown = [](int count) { staticUpdateCountdown = count; };
    commands.restartForCommunityPath = lf_restartForCommunityPath;
    gf_installCommandHooks(std::move(commands));
    traffic_link::wire();
    engine_link::wire();
    scan_link::wire();
}

} // namespace

void gf_wireSubsystems() {
    static std::once_flag wired;
    std::call_once(wired, lf_wire);
}

} // namespace kvr
