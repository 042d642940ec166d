// The controls after the settings were read: filled, selected and enabled as a new pass needs them.
#include "app/combo_fill.h"
#include "app/control_state.h"
#include "app/run_thread_internal.h"
#include "core/shared_state.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"

#include <initializer_list>

namespace kvr {

namespace {

void lf_enable(std::initializer_list<WindowControl*> controls) {
    for (WindowControl* control : controls)
        gf_enableControl(*control);
}

void lf_enableAndFill(std::initializer_list<NumComboParameter*> combos) {
    for (NumComboParameter* combo : combos) {
        gf_enableControl(*combo);
        lf_fillNumberCombo(*combo);
    }
}

} // namespace

void lf_initControlStates() {
    // The boxes were created before the settings were read; without this they would show the defaults
    // instead of what parameters.xml holds.
    for (WindowControl* control : gf_allControls())
        if (auto* box = dynamic_cast<CheckBoxParameter*>(control))
            gf_showCheckMark(*box);

    lf_enable({&ALWAYS_ON_TOP, &NAV_LIGHTS_WHILE_PARKED, &GUID_CHANGES, &SCAN_LIVERIES, &LIG_AUTOMATIC,
               &LIG_PRIORITIZE, &SCAN_AIRPORTS});
    gf_disableControl(tbloButton);
    lf_enableAndFill({&MATCHING_DEPTH});
    lf_enable({&LIGHT_AIRCRAFT, &HELICOPTERS, &HIGH_PERF_AIRCRAFT});
    gf_setControlEnabled(RANGE, !AUTO_RANGE.value());
    lf_fillNumberCombo(RANGE);
    // The traffic box and the creation range follow the range read from parameters.xml, not the default.
    gf_setRange(RANGE.value());
    gf_enableControl(AUTO_RANGE);
    gf_setControlEnabled(AR_ABOVE_HEIGHT, AUTO_RANGE.value());
    lf_fillNumberCombo(AR_ABOVE_HEIGHT);
    lf_enable({&AIRBORNE_ONLY, &COLLISION_USER_GND, &COLLISION_USER_AIR, &COLLISION_LIVE_PARKED_GND});
    gf_disableControl(blockButton);
    gf_enableControl(BLOCK_CALLSIGN);
    gf_showControlText(BLOCK_CALLSIGN);
    gf_setControlEnabled(unblockButton, !BLOCK_CALLSIGN.empty());
    if (!INITIAL_LOAD_ONLY.value())
        gf_disableControl(nowButton);
    nowButtonAllowed = true;
    lf_enableAndFill({&MAX_PARK_SEL, &MAX_LIVE_SEL});
    gf_enableControl(STRAIGHT_PBS_ONLY);
    gf_disableControl(csToOidButton);
    gf_disableControl(CALLSIGN_2_OBJECTID);
    lf_fillStringCombo(AI_PACKAGE_SELECTOR);
    gf_setControlEnabled(AI_PACKAGE_SELECTOR, LIG_AUTOMATIC.value());
    msfs2020Selected = SIM_CHOICE.value() == "MSFS 2020";
    gf_enableControl(SIM_CHOICE);
    lf_fillStringCombo(SIM_CHOICE);
    metaSimCode = 1;
    gf_disableControl(DESTINATION);
    lf_enableAndFill({&AIRP_RANGE, &AIRP_HEIGHT});
    gf_disableControl(reReadButton);
    // Never stored in parameters.xml: every start begins at 30 %.
    parking_percentage.setValue(30);
    lf_fillNumberCombo(parking_percentage);
    gf_disableControl(parking_percentage);
    lf_fillNumberCombo(MAX_FIT_FL);
    gf_syncMaxFitCombo();
    gf_disableControl(MAX_FIT_FL);
    lf_enable({&WEEK, &PARK_SOFT});
    gf_disableControl(flushStaticButton);
    gf_enableControl(RT_PARKTRAFFIC_ONLY);
    gf_updateParkControls();
    gf_enableControl(INITIAL_LOAD_ONLY);
}

} // namespace kvr
