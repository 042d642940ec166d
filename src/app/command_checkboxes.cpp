// The check boxes of the main window. The boxes are not automatic: a click toggles the setting here, the
// mark follows it, and the value is saved at once; the hint of the box goes to the message line.
#include "app/commands_internal.h"
#include "app/control_state.h"
#include "app/dpi_layout.h"
#include "app/main_window.h"
#include "app/request_flags.h"
#include "core/exit_request.h"
#include "core/message_line.h"
#include "core/program_version.h"
#include "liveries/livery_database.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"
#include "simlink/sim_link_state.h"

#include <fmt/format.h>

#include <array>

namespace kvr {

namespace {

constexpr int scanRestartSeconds = 2;
constexpr int staticUpdateMinutes = 20;

void lf_repaintControls(HWND window) {
    gf_invalidateLayoutArea(window, controlsRect);
}

// A hint shown while the box is in one state; the line is emptied in the other.
void lf_hintWhen(bool show, const std::string& hint) {
    if (show)
        gf_showMessage(hint);
    else
        gf_clearMessage();
}

void lf_onScanLiveries(bool on) {
    if (!on) {
        gf_enableControl(AI_PACKAGE_SELECTOR);
        gf_clearMessage();
        return;
    }
    gf_disableControl(AI_PACKAGE_SELECTOR);
    if (!waitingForSim.load()) {
        gf_showMessage(
            fmt::format("Your liveries will be scanned at the next start of {}", programShortName));
        return;
    }
    // Without a connected simulator nothing is lost by restarting now; the next start-up builds the
    // livery data base from the new catalogue.
    gf_clearLiveryDatabase();
    liveriesProcessed.store(false);
    gf_showMessage("Your liveries will be scanned", true);
    gf_requestExit(ExitReason::newSettings, scanRestartSeconds);
}

void lf_onScanAirports(bool on) {
    if (!on) {
        gf_clearMessage();
        return;
    }
    if (!waitingForSim.load()) {
        gf_showMessage(
            fmt::format("Your airports will be scanned at the next start of {}", programShortName));
        return;
    }
    gf_showMessage("Your airports will be scanned", true);
    gf_requestExit(ExitReason::newSettings, scanRestartSeconds);
}

void lf_onAlwaysOnTop(bool on) {
    if (on)
        gf_showMessage(fmt::format("{}'s window will remain visible", programShortName));
    else
        gf_clearMessage();
    SetWindowPos(mainWindowHandle.load(), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}

struct BoxRule {
    CheckBoxParameter* box;
    void (*apply)(HWND window, bool on);
};

const auto& lf_boxRules() {
    static const auto rules = std::to_array<BoxRule>({
        {&SCAN_LIVERIES,
         [](HWND window, bool on) {
             lf_onScanLiveries(on);
             lf_repaintControls(window);
         }},
        {&LIG_AUTOMATIC,
         [](HWND, bool on) {
             lf_hintWhen(!on, "The liveries defined by your lfolder parameters will be scanned");
             gf_setControlEnabled(AI_PACKAGE_SELECTOR, on);
         }},
        {&LIG_PRIORITIZE,
         [](HWND, bool on) {
             lf_hintWhen(
                 on,
                 "Liveries, for airl+model, in lower lfolders that are already available will be skipped");
         }},
        {&ALWAYS_ON_TOP,
         [](HWND window, bool on) {
             lf_onAlwaysOnTop(on);
             lf_repaintControls(window);
         }},
        {&SCAN_AIRPORTS,
         [](HWND window, bool on) {
             lf_onScanAirports(on);
             lf_repaintControls(window);
         }},
        {&NAV_LIGHTS_WHILE_PARKED,
         [](HWND window, bool) {
             navLightsRequested.exchange(true);
             lf_repaintControls(window);
         }},
        {&GUID_CHANGES,
         [](HWND window, bool on) {
             lf_hintWhen(
                 !on,
                 "Be aware, no more livery updates: you miss correct data for Learn, LittleNavMap, etc!");
             lf_repaintControls(window);
         }},
        {&AUTO_RANGE,
         [](HWND, bool on) {
             gf_setControlEnabled(AR_ABOVE_HEIGHT, on);
             gf_applyAutoRangeSetting();
         }},
        {&AIRBORNE_ONLY,
         [](HWND window, bool on) {
             lf_hintWhen(on, "Be aware, airborne live traffic only!  (greater than 300 ft above ground ...)");
             lf_repaintControls(window);
         }},
        {&COLLISION_USER_GND,
         [](HWND, bool on) {
             lf_hintWhen(!on,
                         "Be aware, user aircraft may collide with (run through) live aircraft and static "
                         "parked on the ground");
         }},
        {&COLLISION_USER_AIR,
         [](HWND, bool on) {
             lf_hintWhen(!on,
                         "Be aware, user aircraft may collide with (run through) live aircraft in the air");
         }},
        {&COLLISION_LIVE_PARKED_GND,
         [](HWND, bool on) {
             lf_hintWhen(
                 !on, "Be aware, live aircraft may collide with (run through) static parked on the ground");
         }},
        {&INITIAL_LOAD_ONLY,
         [](HWND window, bool on) {
             lf_hintWhen(
                 on, fmt::format("Initial Load Only: static parked aircraft are generated once, no renewal "
                                 "every {} minutes",
                                 staticUpdateMinutes));
             gf_setControlEnabled(nowButton, !on && nowButtonAllowed.load());
             lf_repaintControls(window);
         }},
        {&RT_PARKTRAFFIC_ONLY,
         [](HWND window, bool on) {
             gf_updateParkControls();
             parkTrafficOnlyChanged.exchange(on);
             gf_invalidateLayoutArea(window, trafficPaneRect);
         }},
        {&SIM_TIME, [](HWND, bool) { simTimeSwitched.exchange(true); }},
        // Read by the run thread where it needs them.
        {&LIGHT_AIRCRAFT, [](HWND, bool) {}},
        {&HELICOPTERS, [](HWND, bool) {}},
        {&HIGH_PERF_AIRCRAFT, [](HWND, bool) {}},
        {&KEEP_SIM_TIME_PAR, [](HWND, bool) {}},
        {&STRAIGHT_PBS_ONLY, [](HWND, bool) {}},
        {&WEEK, [](HWND, bool) {}},
        {&PARK_SOFT, [](HWND, bool) {}},
    });
    return rules;
}

} // namespace

bool lf_onCheckBoxCommand(HWND window, std::uint16_t id) {
    for (const BoxRule& rule : lf_boxRules()) {
        if (rule.box->controlId != id)
            continue;
        const bool on = IsDlgButtonChecked(window, id) != BST_CHECKED;
        CheckDlgButton(window, id, on ? BST_CHECKED : BST_UNCHECKED);
        rule.box->setValue(on);
        gf_saveBoolParameter(*rule.box);
        rule.apply(window, on);
        return true;
    }
    return false;
}

} // namespace kvr
