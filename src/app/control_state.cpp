#include "app/control_state.h"

#include "app/control_state_internal.h"
#include "core/message_line.h"
#include "core/shared_state.h"
#include "core/status_display.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"

#include <gsl/narrow>

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>

namespace kvr {

std::atomic<bool> controlsBusy{false};
std::atomic<bool> nowButtonAllowed{false};

namespace {

// Enable states of the time controls from before the parking controls became busy; the run thread
// alone brackets a calculation (the window's "Now" and time shift only ask it to), so they need no lock.
std::array<bool, 5> rememberedTimeControls{};

std::array<WindowControl*, 5> lf_timeControls() {
    return {&SIM_TIME, &KEEP_SIM_TIME_PAR, &TIME_SHIFT_DAYS, &TIME_SHIFT_HOURS, &TIME_SHIFT_MINS};
}

std::mutex hooksMutex;
AutoRangeHooks installedHooks;

AutoRangeHooks lf_hooks() {
    std::lock_guard lock(hooksMutex);
    return installedHooks;
}

// The manual range to come back to when AUTO_RANGE is switched off.
std::atomic<int>& lf_rememberedManualRange() {
    static std::atomic<int> range{RANGE.defaultValue()};
    return range;
}

} // namespace

void gf_disableControlsWhileBusy() {
    // A calculation may be bracketed again while busy ("Now", then the update's first phase): only the
    // outermost bracket saw the time controls as the user left them.
    const bool alreadyBusy = controlsBusy.exchange(true);
    for (WindowControl* control :
         std::initializer_list<WindowControl*>{&parking_percentage, &MAX_FIT_FL, &MAX_PARK_SEL, &MAX_LIVE_SEL,
                                               &WEEK, &PARK_SOFT, &flushStaticButton})
        gf_disableControl(*control);
    if (!INITIAL_LOAD_ONLY.value())
        gf_disableControl(nowButton);
    nowButtonAllowed = true;
    gf_disableControl(reReadButton);
    const auto timeControls = lf_timeControls();
    if (!alreadyBusy)
        for (std::size_t i = 0; i < timeControls.size(); ++i)
            rememberedTimeControls[i] = gf_isControlEnabled(*timeControls[i]);
    for (WindowControl* control : timeControls)
        gf_disableControl(*control);
    gf_disableControl(RT_PARKTRAFFIC_ONLY);
    gf_invalidateControlsArea();
}

void gf_enableControlsAfterBusy() {
    const bool wasBusy = controlsBusy.exchange(false);
    statusDisplay.minutesToStaticUpdate = 19;
    gf_invalidateControlsArea();
    gf_enableControl(MAX_PARK_SEL);
    gf_enableControl(MAX_LIVE_SEL);
    // A park airport that fails to load ends a calculation that never began: nothing was remembered then.
    const auto timeControls = lf_timeControls();
    for (std::size_t i = 0; wasBusy && i < timeControls.size(); ++i)
        gf_setControlEnabled(*timeControls[i], rememberedTimeControls[i]);
    gf_enableControl(RT_PARKTRAFFIC_ONLY);
    if (!INITIAL_LOAD_ONLY.value())
        gf_enableControl(nowButton);
    nowButtonAllowed = true;
    gf_enableControl(flushStaticButton);
    gf_enableControl(reReadButton);
    gf_updateParkControls();
    gf_invalidateControlsArea();
}

void gf_setTimeControlEnabled(WindowControl& control, bool enabled) {
    const auto timeControls = lf_timeControls();
    const auto at = std::find(timeControls.begin(), timeControls.end(), &control);
    // A state wanted while busy would be overwritten by the state the bracket remembered.
    if (controlsBusy.load() && at != timeControls.end())
        rememberedTimeControls[static_cast<std::size_t>(at - timeControls.begin())] = enabled;
    else
        gf_setControlEnabled(control, enabled);
}

void gf_updateParkControls() {
    const bool enabled = !RT_PARKTRAFFIC_ONLY.value();
    for (WindowControl* control :
         std::initializer_list<WindowControl*>{&PARK_SOFT, &WEEK, &parking_percentage, &MAX_FIT_FL})
        gf_setControlEnabled(*control, enabled);
    gf_invalidateControlsArea();
}

void gf_installAutoRangeHooks(AutoRangeHooks hooks) {
    std::lock_guard lock(hooksMutex);
    installedHooks = std::move(hooks);
}

void gf_applyAutoRangeSetting() {
    std::atomic<int>& remembered = lf_rememberedManualRange();
    if (AUTO_RANGE.value()) {
        remembered = RANGE.value();
        lf_applyAutoRange();
    } else {
        gf_setRange(remembered);
        gf_clearMessage();
    }
    gf_setControlEnabled(RANGE, !AUTO_RANGE.value());
}

int lf_autoRangeFor(const AutoRangeInputs& inputs) {
    if (inputs.onGround)
        return 10;
    if (inputs.altitudeFt > AR_ABOVE_HEIGHT.value())
        return 100;
    if (inputs.altitudeFt > AIRP_HEIGHT.value())
        return 40;
    const double d = inputs.firstParkAirportDistanceNm.value_or(10000.0);
    if (d <= 7)
        return 10;
    if (d >= 37)
        return 40;
    const int n = gsl::narrow<int>(std::lround(d));
    static constexpr std::array<std::pair<int, int>, 9> steps{
        {{33, 35}, {28, 30}, {23, 25}, {19, 20}, {17, 18}, {15, 16}, {13, 14}, {11, 12}, {9, 10}}};
    for (const auto& [from, range] : steps)
        if (n >= from)
            return range;
    return 8;
}

void lf_applyAutoRange() {
    const AutoRangeHooks hooks = lf_hooks();
    const std::optional<AutoRangeInputs> inputs = hooks.currentInputs ? hooks.currentInputs() : std::nullopt;
    if (!inputs)
        return;
    const int previous = RANGE.value();
    gf_setRange(lf_autoRangeFor(*inputs));
    if (RANGE.value() != previous && hooks.updateTrafficBox)
        hooks.updateTrafficBox();
}

void gf_setRange(int nm) {
    const int range = RANGE.setClamped(nm);
    if (const auto index = RANGE.choiceIndexOf(range))
        gf_selectComboIndex(RANGE, *index);
    // The copies follow the stored value, so the traffic box never differs from the range shown.
    rangeNm = range;
    rangeMetres = range * 1852 + 10000;
}

float gf_maxFitToFloat(int maxFit) {
    if (maxFit >= 44)
        return 24;
    if (maxFit >= 38)
        return 21;
    if (maxFit >= 32)
        return 18;
    if (maxFit >= 26)
        return 15;
    if (maxFit >= 22)
        return 12;
    if (maxFit >= 10)
        return static_cast<float>(maxFit / 2 + 1); // 20, 21: 11 ... 10, 11: 6
    if (maxFit >= 1)
        return static_cast<float>(maxFit + 1) / 2.0f;
    return 0.5f;
}

int gf_hoursToMaxFit(float hours) {
    const int maxFit = gsl::narrow<int>(std::lround(2.0f * hours)) - 1;
    return std::clamp(maxFit, MAX_FIT.minimum(), MAX_FIT.maximum());
}

void gf_syncMaxFitCombo() {
    const float hours = gf_maxFitToFloat(MAX_FIT.value());
    MAX_FIT_FL.setValue(hours);
    if (const auto index = MAX_FIT_FL.choiceIndexOf(hours))
        gf_selectComboIndex(MAX_FIT_FL, *index);
}

} // namespace kvr
