#include "core/log.h"
#include "core/xml_util.h"
#include "parking/learned_file_internal.h"
#include "parking/parking_hooks.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"

#include <fmt/format.h>

#include <algorithm>

namespace kvr {

AirportParameterSnapshot airportParameterSnapshot;

namespace {

std::int32_t lf_clampTo(const NumParameter& setting, std::int32_t value) {
    return std::clamp(value, setting.minimum(), setting.maximum());
}

void lf_selectIfListed(NumComboParameter& setting) {
    if (const auto index = setting.choiceIndexOf(setting.value()))
        gf_selectComboIndex(setting, *index);
}

void lf_logSetting(const Parameter& setting) {
    gf_logIndented(fmt::format("{:24}: {}", setting.name(), setting.valueText()));
}

template <typename Hook, typename... Args> void lf_callHook(const Hook& hook, Args&&... args) {
    if (hook)
        hook(std::forward<Args>(args)...);
}

// A learned bool setting: value and check mark, not saved.
void lf_applyLearnedBool(const pugi::xml_document& doc, CheckBoxParameter& box) {
    if (const auto value = lf_readBoolParameter(doc, box.name())) {
        box.setValue(*value);
        gf_showCheckMark(box);
        lf_logSetting(box);
    }
}

// Disabled while INITIAL_LOAD_ONLY is on; otherwise enabled exactly when its own flag allows it.
void lf_updateNowButton() {
    const ParkingHooks& hooks = gf_parkingHooks();
    const bool allowed = hooks.nowButtonAllowed && hooks.nowButtonAllowed();
    gf_setControlEnabled(nowButton, !INITIAL_LOAD_ONLY.value() && allowed);
}

} // namespace

AirportParameterSnapshot lf_currentAirportParameters() {
    return AirportParameterSnapshot{
        MAX_LIVE_SEL.value(),        MAX_FIT.value(),    RANGE.value(),
        parking_percentage.value(),  AUTO_RANGE.value(), INITIAL_LOAD_ONLY.value(),
        RT_PARKTRAFFIC_ONLY.value(), PARK_SOFT.value(),  WEEK.value()};
}

void lf_applyLearnedParameters(const pugi::xml_document& doc) {
    const ParkingHooks& hooks = gf_parkingHooks();
    if (const auto value = gf_readParameterValue(doc, MAX_LIVE_SEL.name())) {
        MAX_LIVE_SEL.setValue(lf_clampTo(MAX_LIVE_SEL, *value));
        lf_selectIfListed(MAX_LIVE_SEL);
        lf_logSetting(MAX_LIVE_SEL);
    }
    const auto range = gf_readParameterValue(doc, RANGE.name());
    if (range) {
        lf_callHook(hooks.setRange, *range);
        gf_enableControl(RANGE);
        lf_logSetting(RANGE);
    }
    if (const auto value = lf_readBoolParameter(doc, AUTO_RANGE.name())) {
        AUTO_RANGE.setValue(*value);
        gf_showCheckMark(AUTO_RANGE);
        lf_callHook(hooks.applyAutoRangeSetting);
        // Switching the automatic range off goes back to the manual range remembered for the whole program;
        // the airport's own RANGE is its manual range, and the unloading saves what is in force.
        if (!*value && range)
            lf_callHook(hooks.setRange, *range);
        lf_logSetting(AUTO_RANGE);
    }
    if (const auto value = gf_readParameterValue(doc, parking_percentage.name())) {
        // Taken as the file says: a learned share above the list's range is the user's own choice.
        parking_percentage.setValue(*value);
        lf_logSetting(parking_percentage);
    } else {
        parking_percentage.setValue(30);
    }
    lf_selectIfListed(parking_percentage);
    lf_applyLearnedBool(doc, WEEK);
    lf_applyLearnedBool(doc, PARK_SOFT);
    if (const auto value = gf_readParameterValue(doc, MAX_FIT.name())) {
        MAX_FIT.setValue(lf_clampTo(MAX_FIT, *value));
        lf_callHook(hooks.syncMaxFitCombo);
        gf_logIndented(fmt::format("{:24}: {} (max number of half hours, is {:.1F} hrs decimal)",
                                   MAX_FIT.name(), MAX_FIT.value(), MAX_FIT_FL.value()));
    }
    if (const auto value = lf_readBoolParameter(doc, RT_PARKTRAFFIC_ONLY.name())) {
        RT_PARKTRAFFIC_ONLY.setValue(*value);
        gf_showCheckMark(RT_PARKTRAFFIC_ONLY);
        lf_callHook(hooks.updateParkControls);
        lf_logSetting(RT_PARKTRAFFIC_ONLY);
    }
    if (const auto value = lf_readBoolParameter(doc, INITIAL_LOAD_ONLY.name())) {
        INITIAL_LOAD_ONLY.setValue(*value);
        gf_showCheckMark(INITIAL_LOAD_ONLY);
        lf_updateNowButton();
        lf_logSetting(INITIAL_LOAD_ONLY);
    }
}

void gf_applyAirportParameters() {
    const AirportParameterSnapshot& snapshot = airportParameterSnapshot;
    const ParkingHooks& hooks = gf_parkingHooks();

    MAX_LIVE_SEL.setValue(lf_clampTo(MAX_LIVE_SEL, snapshot.maxLiveSel));
    gf_saveNumParameter(MAX_LIVE_SEL);

    MAX_FIT.setValue(lf_clampTo(MAX_FIT, snapshot.maxFit));
    gf_saveNumParameter(MAX_FIT);
    lf_callHook(hooks.syncMaxFitCombo);

    RANGE.setValue(lf_clampTo(RANGE, snapshot.range));
    gf_saveNumParameter(RANGE);
    lf_callHook(hooks.setRange, RANGE.value());

    parking_percentage.setValue(lf_clampTo(parking_percentage, snapshot.parkingPercentage));
    gf_saveNumParameter(parking_percentage);
    lf_selectIfListed(parking_percentage);

    gf_setCheckSetting(AUTO_RANGE, snapshot.autoRange);
    gf_setControlEnabled(RANGE, !snapshot.autoRange);
    gf_setControlEnabled(AR_ABOVE_HEIGHT, snapshot.autoRange);

    gf_setCheckSetting(INITIAL_LOAD_ONLY, snapshot.initialLoadOnly);
    gf_setCheckSetting(RT_PARKTRAFFIC_ONLY, snapshot.rtParkTrafficOnly);
    gf_setCheckSetting(PARK_SOFT, snapshot.parkSoft);
    gf_setCheckSetting(WEEK, snapshot.week);
}

} // namespace kvr
