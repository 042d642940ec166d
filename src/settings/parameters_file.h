#pragma once
#include "settings/parameter.h"

#include <filesystem>

namespace kvr {

// Roaming application data + "Vantrel" (%APPDATA% on Windows, $XDG_CONFIG_HOME or ~/.config here), and
// parameters.xml in it.
extern std::filesystem::path appDataFolder;
extern std::filesystem::path parametersFilePath;

// Recomputes both from the environment (tests point XDG_CONFIG_HOME elsewhere first).
void gf_initAppDataFolder();

// Reads parameters.xml into every saved setting. A missing file is created with the defaults and
// SCAN_LIVERIES and SCAN_AIRPORTS switched on. Values out of range are clamped, values that do not parse
// keep the default; both are logged. Settings the file lacks are added, unknown names are kept,
// and the file is saved. A file that does not parse is left untouched and the defaults are used.
void lf_loadParameters();

// Each writes the current value of that one setting into parameters.xml at once.
void gf_saveNumParameter(const NumParameter& setting);
void gf_saveNumParameter(const FloatParameter& setting);
void gf_saveBoolParameter(const BoolParameter& setting);
void gf_saveStringParameter(const StringParameter& setting);
void gf_setParameterAndSave(StringParameter& setting, const std::string& value);

} // namespace kvr
