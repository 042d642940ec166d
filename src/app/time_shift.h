#pragma once
// Time shift: the live-traffic service replays the traffic of up to two weeks ago. A shift is stored in
// the three settings TIME_SHIFT_DAYS, TIME_SHIFT_HOURS and TIME_SHIFT_MINS, handed to both readers, and
// the traffic of the old time leaves the simulator.

namespace kvr {

// The longest shift, in minutes (14 days).
inline constexpr int maxTimeShiftMinutes = 20160;

// Applies a shift. A quiet shift above 0 shows nothing and leaves the traffic alone; a shift of 0 always
// shows "Time shift = 0".
void lf_applyTimeShift(int minutes, bool quiet);
// GUI thread, on a choice in one of the three lists: the shift the lists now hold is applied and saved at
// once, whether a session runs or not; removing the traffic of the old time is left to the run thread's
// next round (timeShiftRequested), as the traffic is its own.
void lf_applyChosenTimeShift();
// Run thread: the traffic of the old time leaves the simulator and the static parking is placed again.
void lf_rebuildForTimeShift();
// The shift the three settings hold, in minutes.
int lf_timeShiftSettingMinutes();
// The three settings (each clamped to its range and saved) and their combo boxes from a shift.
void lf_setTimeShiftCombos(int minutes);
// Applies SIM_TIME: off, the shift goes back to 0; on, the next round follows the simulator's clock.
void lf_applySimTimeSetting();
// The three settings back to 0 and saved; the combo boxes are left alone.
void lf_resetTimeShift();
// The three combo boxes and the SIM_TIME and KEEP_SIM_TIME_PAR check boxes; the lists stay disabled while
// SIM_TIME is on.
void lf_setTimeControlsEnabled(bool enabled);

} // namespace kvr
