#pragma once
// Every setting of the program: one global object each, built by static initialisation before main.
#include "settings/parameter.h"

namespace kvr {

// Simulator and install folders
extern StringComboParameter SIM_CHOICE;
extern ControlStringParameter ALL_INSTALL_PATH;
extern StringParameter MSFS_INSTALL_PATH;
extern StringParameter MSFS_2024_INSTALL_PATH;

// Scans and liveries
extern CheckBoxParameter SCAN_LIVERIES;
extern CheckBoxParameter LIG_AUTOMATIC;
extern StringComboParameter AI_PACKAGE_SELECTOR;
extern CheckBoxParameter LIG_PRIORITIZE;
extern CheckBoxParameter SCAN_AIRPORTS;
extern NumComboParameter MATCHING_DEPTH;
extern CheckBoxParameter LIGHT_AIRCRAFT;
extern CheckBoxParameter HELICOPTERS;
extern CheckBoxParameter HIGH_PERF_AIRCRAFT;
extern StringParameter lfolder0, lfolder1, lfolder2, lfolder3, lfolder4, lfolder5, lfolder6, lfolder7, lfolder8,
    lfolder9;
StringParameter& gf_liveryFolderSetting(int index); // lfolder0 .. lfolder9

// Window
extern CheckBoxParameter ALWAYS_ON_TOP;
extern NumParameter MAIN_WINDOW_X;
extern NumParameter MAIN_WINDOW_Y;

// Traffic
extern CheckBoxParameter NAV_LIGHTS_WHILE_PARKED;
extern CheckBoxParameter GUID_CHANGES;
extern NumComboParameter RANGE;
extern CheckBoxParameter AUTO_RANGE;
extern NumComboParameter AR_ABOVE_HEIGHT;
extern CheckBoxParameter AIRBORNE_ONLY;
extern CheckBoxParameter COLLISION_USER_GND;
extern CheckBoxParameter COLLISION_USER_AIR;
extern CheckBoxParameter COLLISION_LIVE_PARKED_GND;
extern ControlStringParameter BLOCK_CALLSIGN;
extern StringComboParameter CALLSIGN_2_OBJECTID;
extern NumComboParameter MAX_LIVE_SEL;
extern CheckBoxParameter STRAIGHT_PBS_ONLY;
extern StringParameter RT_KEY;            // the live-traffic service credential (hidden)
extern NumParameter LAST_EPOCH_TIME;      // key "LAST_EPOCH_TIME:" (the colon is part of it)

// Time shift
extern CheckBoxParameter SIM_TIME;
extern CheckBoxParameter KEEP_SIM_TIME_PAR;
extern NumComboParameter TIME_SHIFT_DAYS;
extern NumComboParameter TIME_SHIFT_HOURS;
extern NumComboParameter TIME_SHIFT_MINS;

// Static parking and park airports
extern NumComboParameter MAX_PARK_SEL;
extern ControlStringParameter DESTINATION;
extern NumComboParameter AIRP_RANGE;
extern NumComboParameter AIRP_HEIGHT;
extern CheckBoxParameter INITIAL_LOAD_ONLY;
extern CheckBoxParameter WEEK;
extern CheckBoxParameter PARK_SOFT;
extern NumComboParameter parking_percentage;
extern NumParameter CUSTOM_PARKING_PERCENTAGE;
extern FloatComboParameter MAX_FIT_FL;
extern NumParameter MAX_FIT;
extern CheckBoxParameter RT_PARKTRAFFIC_ONLY;

// Updates
extern StringParameter ADDONS_SCAN_VERSION;
extern StringParameter MYSIMADDON24_VERSION;

// Push buttons
extern ButtonControl tbloButton;         // "tblo"
extern ButtonControl unblockButton;      // "Unblock"
extern ButtonControl csToOidButton;      // "cs->oid:"
extern ButtonControl blockButton;        // "Block"
extern ButtonControl nowButton;          // "Now"
extern ButtonControl reReadButton;       // "Re-read"
extern ButtonControl flushStaticButton;  // "Flush static"

} // namespace kvr
