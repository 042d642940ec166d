// The labels painted beside the controls, on the rows of the controls they name.
#include "app/control_state.h"
#include "app/paint_internal.h"
#include "app/parking_display.h"
#include "core/status_display.h"
#include "core/text_util.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

namespace kvr {

namespace {

constexpr const char* tbloMailRequest = "Please mail tblo\\tblo.zip to support@vantrel.org";

void lf_label(int x, const WindowControl& row, const std::string& text, COLORREF colour) {
    gf_textOut(x, row.rowY, text, colour);
}

COLORREF lf_onOff(bool on, COLORREF whenOn, COLORREF whenOff) {
    return on ? whenOn : whenOff;
}

bool lf_enabled(const WindowControl& control) {
    HWND hwnd = control.windowHandle.load();
    return hwnd && IsWindowEnabled(hwnd);
}

std::string lf_plural(const char* word, int count) { return word + gf_pluralSuffixInt(count); }

void lf_paintTimeShiftLabels() {
    const COLORREF timeShift = lf_onOff(statusDisplay.timeControlsEnabled, blackColour, greyColour);
    lf_label(652, TIME_SHIFT_DAYS, "Time shift:", timeShift);
    lf_label(672, KEEP_SIM_TIME_PAR, "Keep", timeShift);
    lf_label(672, TIME_SHIFT_HOURS, "Sim Time", timeShift);
    lf_label(798, TIME_SHIFT_DAYS, lf_plural("day", TIME_SHIFT_DAYS.value()), timeShift);
    lf_label(798, TIME_SHIFT_HOURS, lf_plural("hour", TIME_SHIFT_HOURS.value()), timeShift);
    lf_label(798, TIME_SHIFT_MINS, lf_plural("minute", TIME_SHIFT_MINS.value()), timeShift);
}

void lf_paintScanAndTrafficLabels() {
    lf_label(768, ALWAYS_ON_TOP, "Stay on top", blackColour);
    lf_label(768, NAV_LIGHTS_WHILE_PARKED, "Nav lights", blackColour);
    lf_label(768, GUID_CHANGES, "GUID changes", lf_onOff(GUID_CHANGES.value(), blackColour, yellowColour));
    lf_label(25, SCAN_LIVERIES, "Scan for liveries",
             lf_onOff(SCAN_LIVERIES.value(), yellowColour, blackColour));
    lf_label(237, LIG_AUTOMATIC, "Automatic:", blackColour);
    lf_label(556, LIG_PRIORITIZE, "Prioritize", blackColour);
    lf_label(25, SCAN_AIRPORTS, "Scan for addon airports",
             lf_onOff(SCAN_AIRPORTS.value(), yellowColour, blackColour));
    if (gf_tbloZipWaiting())
        lf_label(323, SCAN_AIRPORTS, tbloMailRequest, redColour);
    lf_label(5, MATCHING_DEPTH, "Max aircraft matching depth", blackColour);
    lf_label(258, LIGHT_AIRCRAFT, "Optional:", blackColour);
    lf_label(343, LIGHT_AIRCRAFT, "Light aircraft",
             lf_onOff(lf_enabled(LIGHT_AIRCRAFT), blackColour, greyColour));
    lf_label(450, HELICOPTERS, "Helicopters", lf_onOff(lf_enabled(HELICOPTERS), blackColour, greyColour));
    lf_label(556, HIGH_PERF_AIRCRAFT, "FighterJets",
             lf_onOff(lf_enabled(HIGH_PERF_AIRCRAFT), blackColour, greyColour));
    lf_label(5, RANGE, "Traffic injection", blackColour);
    lf_label(163, RANGE, "Radius:", blackColour);
    lf_label(270, RANGE, "nm, or", blackColour);
    lf_label(343, AUTO_RANGE, "Auto range", blackColour);
    const COLORREF aboveHeight = lf_onOff(AUTO_RANGE.value(), blackColour, greyColour);
    lf_label(430, AR_ABOVE_HEIGHT, "Ah:", aboveHeight);
    lf_label(536, AR_ABOVE_HEIGHT, "ft", aboveHeight);
    lf_label(592, AIRBORNE_ONLY, "AirOnly", lf_onOff(AIRBORNE_ONLY.value(), yellowColour, blackColour));
    lf_label(5, BLOCK_CALLSIGN, "Block callsign:", blackColour);
    const std::string objectId = statusDisplay.texts().objectIdText;
    if (!objectId.empty() && !CALLSIGN_2_OBJECTID.empty())
        lf_label(476, CALLSIGN_2_OBJECTID, objectId, blackColour);
    lf_label(5, COLLISION_USER_GND, "Collision avoidance", blackColour);
    lf_label(237, COLLISION_USER_GND, "User ground", blackColour);
    lf_label(343, COLLISION_USER_GND, "User air", blackColour);
    lf_label(450, COLLISION_USER_GND, "Live X parked", blackColour);
}

void lf_paintParkingLabels() {
    const bool busy = controlsBusy;
    lf_label(5, MAX_PARK_SEL, "Airport parking", lf_onOff(busy, yellowColour, blackColour));
    const int maxPark = MAX_PARK_SEL.value();
    const int maxLive = MAX_LIVE_SEL.value();
    const bool bothZero = maxPark == 0 && maxLive == 0;
    lf_label(171, MAX_PARK_SEL, "Max park (static+live):",
             bothZero ? redColour : lf_onOff(maxPark != 0, blackColour, yellowColour));
    lf_label(401, MAX_LIVE_SEL, "Max live (park incl):",
             bothZero ? redColour : lf_onOff(maxLive != 0, blackColour, yellowColour));
    lf_label(672, STRAIGHT_PBS_ONLY, "Straight push backs only",
             lf_onOff(STRAIGHT_PBS_ONLY.value(), blackColour, greyColour));
    lf_label(137, DESTINATION, "Destination:", blackColour);
    lf_label(303, AIRP_RANGE, "Range:", blackColour);
    lf_label(403, AIRP_RANGE, "nm", blackColour);
    lf_label(440, AIRP_HEIGHT, "Height above gnd:", blackColour);
    lf_label(646, AIRP_HEIGHT, "ft", blackColour);

    const int minutes = statusDisplay.minutesToStaticUpdate;
    if (statusDisplay.standFileLoaded && !busy && minutes >= 1 && minutes <= 19) {
        if (INITIAL_LOAD_ONLY.value())
            lf_label(5, AIRP_RANGE, "(no next ... )", blackColour);
        else
            lf_label(5, AIRP_RANGE, fmt::format("(next in {} min)", minutes), blackColour);
    }
    lf_label(25, INITIAL_LOAD_ONLY, "ILO", lf_onOff(INITIAL_LOAD_ONLY.value(), yellowColour, blackColour));

    const COLORREF parkTraffic = lf_onOff(RT_PARKTRAFFIC_ONLY.value(), greyColour, blackColour);
    lf_label(91, WEEK, "Week", parkTraffic);
    lf_label(171, PARK_SOFT, "Soft", parkTraffic);
    lf_label(264, parking_percentage, "Target: ", parkTraffic);
    lf_label(378, parking_percentage, "%", parkTraffic);
    lf_label(506, MAX_FIT_FL, "Max fit:", parkTraffic);
    lf_label(632, MAX_FIT_FL, "hrs", blackColour);
    lf_label(687, RT_PARKTRAFFIC_ONLY, "PT only", blackColour);
}

} // namespace

void lf_paintControlLabels(const MainWindow&) {
    lf_paintTimeShiftLabels();
    lf_paintScanAndTrafficLabels();
    lf_paintParkingLabels();
}

} // namespace kvr
