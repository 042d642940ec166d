// The tasks of every 15th round, the static-parking countdown and the Re-read.
#include "app/control_state.h"
#include "app/engine_link.h"
#include "parking/airport_scan.h"
#include "parking/park_airport.h"
#include "parking/static_parking.h"
#include "parking/tblo_zip.h"
#include "app/request_flags.h"
#include "app/rounds.h"
#include "app/session_state.h"
#include "app/traffic_link.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/no_match_names.h"
#include "core/program_version.h"
#include "core/text_util.h"
#include "liveries/livery_matching.h"
#include "parking/park_airport.h"
#include "parking/park_stands.h"
#include "parking/stand.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

namespace kvr {

namespace {

constexpr int periodicRounds = 15;
constexpr int roundsPerDay = 86400;

// First phase: the controls are busy and the Traffic Reader collects the live aircraft of its next reply.
// Second phase, 15 rounds later: the changes are applied to the park airport's static aircraft.
void lf_stepStaticParkingUpdate() {
    if (!staticParkingNowRequested.load())
        return;
    if (!staticUpdatePhase.exchange(true)) {
        gf_disableControlsWhileBusy();
        traffic_link::collectLiveAircraft();
        return;
    }
    staticUpdatePhase = false;
    gf_clearMessageAndError();
    if (!currentParkAirport.code.empty() && !standList.empty()) {
        gf_applyParkTrafficChanges(parkTrafficOnlyChanged.load());
        gf_flushLog();
        parkTrafficOnlyChanged = false;
    } else {
        gf_flushLog();
    }
    staticParkingNowRequested = false;
}

} // namespace

void lf_periodicTasks() {
    lf_stepStaticParkingUpdate();
    const int round = roundCounter.load();
    if (round % 30 != 0)
        return;
    if (matchingDepthRaised.exchange(false))
        gf_clearNoMatchNames();
    if (AUTO_RANGE.value())
        lf_applyAutoRange();
    if (round % 60 == 0 && --staticUpdateCountdown <= 0) {
        staticUpdateCountdown = staticUpdateCountdownStart;
        if (parkAirportLoaded.load() && !INITIAL_LOAD_ONLY.value() && !controlsBusy.load() &&
            !staticParkingNowRequested.load())
            lf_showStaticParkingCountdown();
    }
    if (round % 1200 == 0) {
        gf_logNoMatch();
        if (round % roundsPerDay == 0) {
            roundCounter = 0;
            gf_logLiveryMatchingSummary();
            engine_link::clearSpawnCache();
        }
    }
    gf_flushLog();
}

void lf_showStaticParkingCountdown() {
    gf_disableControlsWhileBusy();
    const int rounds = periodicRounds - roundCounter.load() % periodicRounds;
    gf_showMessage(fmt::format("{} will update static parking in {} second{} ...", programShortName, rounds,
                               gf_pluralSuffixInt(rounds)));
    staticParkingNowRequested = true;
}

void lf_handleReReadRequest() {
    if (!reReadRequested.load() || controlsBusy.load())
        return;
    std::string text;
    if (gf_checkParkAirportStands(true, text))
        gf_showMessage(text, true);
    gf_enableControl(reReadButton);
    gf_enableControl(DESTINATION);
    reReadRequested = false;
}

} // namespace kvr
