#include "app/time_shift.h"

#include "app/control_state.h"
#include "app/engine_link.h"
#include "app/request_flags.h"
#include "app/rounds.h"
#include "app/session_state.h"
#include "app/traffic_link.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "core/text_util.h"
#include "core/time_util.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"
#include "simlink/sim_link_state.h"

#include <fmt/format.h>

#include <algorithm>

namespace kvr {

namespace {

void lf_storeClamped(NumComboParameter& setting, std::int64_t value) {
    setting.setClamped(value);
    gf_saveNumParameter(setting);
}

void lf_selectCurrent(NumComboParameter& setting) {
    if (const auto index = setting.choiceIndexOf(setting.value()))
        gf_selectComboIndex(setting, *index);
}

// The shift itself: the three settings with their lists and both readers; the traffic is left alone.
// Returns the minutes in force.
int lf_storeTimeShift(int minutes) {
    // A negative shift would ask the service for the future; it means no shift.
    minutes = std::max(minutes, 0);
    timeShiftActive = minutes > 0;
    if (minutes > maxTimeShiftMinutes) {
        minutes = maxTimeShiftMinutes;
        gf_logLine("Time shifting is limited to 2 weeks");
    }
    lf_setTimeShiftCombos(minutes);
    traffic_link::setTimeOffset(minutes);
    return minutes;
}

// The message of a shift; a shift back to 0 is shown even when quiet.
void lf_announceTimeShift(int minutes, bool quiet) {
    if (minutes == 0)
        gf_showMessage("Time shift = 0", true);
    else if (!quiet)
        gf_showMessage(fmt::format("Time shifted {} minute{}", minutes, gf_pluralSuffixInt(minutes)), true);
}

} // namespace

void lf_setTimeShiftCombos(int minutes) {
    lf_storeClamped(TIME_SHIFT_DAYS, minutes / 1440);
    lf_storeClamped(TIME_SHIFT_HOURS, (minutes - TIME_SHIFT_DAYS.value() * 1440) / 60);
    lf_storeClamped(TIME_SHIFT_MINS, minutes - (minutes / 60) * 60);
    for (NumComboParameter* setting : {&TIME_SHIFT_DAYS, &TIME_SHIFT_HOURS, &TIME_SHIFT_MINS})
        lf_selectCurrent(*setting);
}

int lf_timeShiftSettingMinutes() {
    return (TIME_SHIFT_DAYS.value() * 24 + TIME_SHIFT_HOURS.value()) * 60 + TIME_SHIFT_MINS.value();
}

void lf_applyTimeShift(int minutes, bool quiet) {
    lf_announceTimeShift(lf_storeTimeShift(minutes), quiet);
    if (!quiet)
        lf_rebuildForTimeShift();
}

void lf_applyChosenTimeShift() {
    lf_announceTimeShift(lf_storeTimeShift(lf_timeShiftSettingMinutes()), false);
    // Only a connected simulator can hold traffic of the old time; the readers already ask for the new one.
    if (!waitingForSim.load())
        timeShiftRequested.exchange(true);
}

void lf_rebuildForTimeShift() {
    // Aircraft of another time must not stay in the simulator.
    engine_link::rebuildTraffic();
    lf_showStaticParkingCountdown();
}

void lf_applySimTimeSetting() {
    const bool followSimulator = SIM_TIME.value();
    if (!followSimulator) {
        lf_applyTimeShift(0, false);
        lastSimUtcSeconds = static_cast<std::int64_t>(simUtcTime.load());
    } else {
        lastSimUtcSeconds = 0;
    }
    for (NumComboParameter* setting : {&TIME_SHIFT_DAYS, &TIME_SHIFT_HOURS, &TIME_SHIFT_MINS})
        gf_setTimeControlEnabled(*setting, !followSimulator);
}

void lf_resetTimeShift() {
    for (NumComboParameter* setting : {&TIME_SHIFT_DAYS, &TIME_SHIFT_HOURS, &TIME_SHIFT_MINS}) {
        setting->setClamped(0);
        gf_saveNumParameter(*setting);
    }
}

void lf_setTimeControlsEnabled(bool enabled) {
    // While the simulator's clock is followed, a shift of the lists would be overwritten in the next round.
    for (NumComboParameter* list : {&TIME_SHIFT_DAYS, &TIME_SHIFT_HOURS, &TIME_SHIFT_MINS})
        gf_setTimeControlEnabled(*list, enabled && !SIM_TIME.value());
    gf_setTimeControlEnabled(SIM_TIME, enabled);
    gf_setTimeControlEnabled(KEEP_SIM_TIME_PAR, enabled);
    statusDisplay.timeControlsEnabled = enabled;
    gf_invalidateArea(ScreenArea::controlsArea);
}

} // namespace kvr
