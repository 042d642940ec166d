#pragma once
// Keeping the controls of the main window in step with the settings and the session: the busy state of
// the parking controls, the automatic traffic range, and the range and maximum-fit conversions.
#include <atomic>
#include <functional>
#include <optional>

namespace kvr {

struct WindowControl;

// A static-parking calculation is running; the parking controls are disabled meanwhile.
extern std::atomic<bool> controlsBusy;
// The "Now" button may be enabled.
extern std::atomic<bool> nowButtonAllowed;

// Bracket a static-parking calculation.
void gf_disableControlsWhileBusy();
void gf_enableControlsAfterBusy();
// Enables or disables one of the time controls (SIM_TIME, KEEP_SIM_TIME_PAR and the three time-shift
// lists). While the controls are busy it stays disabled and gets that state when they are free again.
// Run thread, like the bracket.
void gf_setTimeControlEnabled(WindowControl& control, bool enabled);
// PARK_SOFT, WEEK, parking_percentage and MAX_FIT_FL are enabled exactly when RT_PARKTRAFFIC_ONLY is off.
void gf_updateParkControls();

// What the automatic range decides from: the user aircraft and the first park airport.
struct AutoRangeInputs {
    bool onGround = false;
    double altitudeFt = 0.0;
    std::optional<double> firstParkAirportDistanceNm; // none: the park-airport list is empty
};

// The simulator link and the park airports provide the inputs (none until the user aircraft is known);
// the live-traffic client re-centres its traffic box when the range changed.
struct AutoRangeHooks {
    std::function<std::optional<AutoRangeInputs>()> currentInputs;
    std::function<void()> updateTrafficBox;
};
void gf_installAutoRangeHooks(AutoRangeHooks hooks);

// Applies AUTO_RANGE: on, the manual range is remembered and the automatic range decides; off, the
// remembered manual range comes back. The RANGE list is enabled exactly when AUTO_RANGE is off.
void gf_applyAutoRangeSetting();
// One automatic range decision; nothing while the inputs are not known.
void lf_applyAutoRange();
// Sets RANGE (clamped), selects it in its list when it is a choice, and the copies rangeNm, rangeMetres.
void gf_setRange(int nm);

// The hours of a MAX_FIT value, and the MAX_FIT value of hours chosen in the MAX_FIT_FL list.
float gf_maxFitToFloat(int maxFit);
int gf_hoursToMaxFit(float hours);
// MAX_FIT_FL from MAX_FIT, selected in its list when it is a choice.
void gf_syncMaxFitCombo();

} // namespace kvr
