#include "app/subsystem_wiring.h"

#include "app/closing_down.h"
#include "app/command_hooks.h"
#include "app/control_state.h"
#include "app/engine_link.h"
#include "app/parking_display.h"
#include "app/rounds.h"
#include "app/scan_link.h"
#include "app/session_state.h"
#include "app/time_shift.h"
#include "app/traffic_link.h"
#include "parking/airport_scan.h"
#include "parking/park_airport.h"
#include "parking/park_stands.h"
#include "parking/parking_hooks.h"
#include "parking/stand_names.h"
#include "parking/static_parking.h"
#include "refdata/closest_airport.h"
#include "simlink/sim_link_state.h"
#include "simlink/simlink_hooks.h"

#include <cmath>
#include <mutex>

namespace kvr {

// The distance to the first park airport is taken now: the one stored in the list is as old as the last
// park-airport tick.
std::optional<AutoRangeInputs> gf_autoRangeInputs() {
    const UserAcData user = gf_latestUserAcData();
    if (!userAcDataReceived.load() ||
        (std::abs(user.latitude) <= 0.0001 && std::abs(user.longitude) <= 0.0001))
        return std::nullopt;
    return AutoRangeInputs{userOnGround.load(), user.altitude,
                           gf_firstParkAirportDistanceNm(user.latitude, user.longitude)};
}

namespace {

void lf_wireStands() {
    // The simulator link's thread must not touch standList, which the run thread changes without a lock:
    // it names the user's stand from the copy the stands subsystem publishes.
    gf_setSimLinkHooks({gf_learnUserStand, gf_standNameNear});
    // Of airports close together, the closest airport is the one with the nearest stand.
    gf_installClosestStandLookup(gf_readDestApfForClosestStand);
    ParkingHooks parking;
    parking.setRange = gf_setRange;
    parking.applyAutoRangeSetting = gf_applyAutoRangeSetting;
    parking.syncMaxFitCombo = gf_syncMaxFitCombo;
    parking.updateParkControls = gf_updateParkControls;
    parking.nowButtonAllowed = [] { return nowButtonAllowed.load(); };
    parking.setGroundReferenceAltitude = engine_link::setGroundReferenceAltitude;
    parking.disableControlsWhileBusy = gf_disableControlsWhileBusy;
    parking.enableControlsAfterBusy = gf_enableControlsAfterBusy;
    parking.controlsBusy = [] { return controlsBusy.load(); };
    parking.restartStaticUpdateCountdown = [] { staticUpdateCountdown = staticUpdateCountdownStart; };
    parking.maxFitToHours = gf_maxFitToFloat;
    gf_installParkingHooks(std::move(parking));
    gf_installParkingDisplaySource(
        {gf_reservedStandName, [] { return rtTrafficWeek; }, [] { return tbloCount.load() > 0; }});
}

void lf_wireCommands() {
    CommandHooks commands;
    commands.restartForCommunityPath = lf_restartForCommunityPath;
    commands.addDestinationParkAirport = gf_addDestinationParkAirport;
    commands.clearAirportScanSuccess = [] { airportFilesChanged = false; };
    gf_installCommandHooks(std::move(commands));
}

void lf_wire() {
    lf_wireStands();
    gf_installAutoRangeHooks({gf_autoRangeInputs, traffic_link::updateTrafficBox});
    lf_wireCommands();
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
