#pragma once
// Filling the drop-down lists of the main window from their settings.
#include "settings/parameter.h"

#include <optional>

namespace kvr {

// Refills the list with the setting's numeric choices and selects the current value.
void lf_fillNumberCombo(NumComboParameter& setting);
// The same for hours, written with one decimal ("0.5", "24.0").
void lf_fillNumberCombo(FloatComboParameter& setting);
// Refills the list with the setting's texts and selects the current value.
void lf_fillStringCombo(StringComboParameter& setting);
// The index of the current value among the setting's texts.
std::optional<int> findComboIndex(const StringComboParameter& setting);
// Refills the CALLSIGN_2_OBJECTID list from its shared list of callsigns, selects the chosen one and
// enables the list exactly when it holds a callsign.
void lf_fillGlobalCombo();

} // namespace kvr
