#include "settings/parameters_file.h"

#include "core/log.h"
#include "core/native_path.h"
#include "core/xml_util.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

#include <cstdlib>
#include <mutex>

namespace kvr {

std::filesystem::path appDataFolder;
std::filesystem::path parametersFilePath;

namespace {

// One load-modify-save at a time, whichever thread saves.
std::mutex parametersFileMutex;

std::filesystem::path lf_roamingFolder() {
#ifdef _WIN32
    // Windows names the user's roaming application data folder in APPDATA; wide, for any user name.
    if (const wchar_t* appData = _wgetenv(L"APPDATA"); appData && *appData)
        return appData;
#else
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".config";
#endif
    return std::filesystem::current_path();
}

struct AppDataInitialiser {
    AppDataInitialiser() { gf_initAppDataFolder(); }
} appDataInitialiser;

pugi::xml_node lf_ensureParametersNode(pugi::xml_document& doc) {
    pugi::xml_node root = doc.child("root");
    if (!root)
        root = doc.append_child("root");
    pugi::xml_node parameters = root.child("parameters");
    if (!parameters)
        parameters = root.append_child("parameters");
    return parameters;
}

void lf_setElement(pugi::xml_node parameters, const Parameter& setting) {
    const std::string value = setting.valueText();
    for (pugi::xml_node p : parameters.children("parameter")) {
        if (setting.name() == p.attribute("name").value()) {
            pugi::xml_attribute attribute = p.attribute("value");
            if (!attribute)
                attribute = p.append_attribute("value");
            attribute.set_value(value.c_str());
            return;
        }
    }
    lf_appendParameterElement(parameters, setting.name(), value);
}

void lf_saveSetting(const Parameter& setting) {
    if (!setting.isSaved())
        return;
    std::lock_guard lock(parametersFileMutex);
    std::error_code ec;
    std::filesystem::create_directories(appDataFolder, ec);
    pugi::xml_document doc;
    if (std::filesystem::exists(parametersFilePath, ec) && !doc.load_file(parametersFilePath.c_str())) {
        // Never overwrite a file we could not read: its other values would be lost.
        gf_logError(fmt::format("Could not save {}: {} does not parse", setting.name(),
                                gf_pathToUtf8(parametersFilePath)));
        return;
    }
    lf_setElement(lf_ensureParametersNode(doc), setting);
    if (!gf_saveXml(doc, parametersFilePath))
        gf_logError(
            fmt::format("Could not save {} into {}", setting.name(), gf_pathToUtf8(parametersFilePath)));
}

} // namespace

void gf_initAppDataFolder() {
    appDataFolder = lf_roamingFolder() / "Vantrel";
    parametersFilePath = appDataFolder / "parameters.xml";
}

void lf_loadParameters() {
    std::lock_guard lock(parametersFileMutex);
    std::error_code ec;
    std::filesystem::create_directories(appDataFolder, ec);
    pugi::xml_document doc;
    const bool exists = std::filesystem::exists(parametersFilePath, ec);
    if (!exists) {
        gf_logLine(
            fmt::format("{} not found, created with default values", gf_pathToUtf8(parametersFilePath)));
        for (Parameter* setting : gf_allParameters())
            setting->resetToDefault();
        SCAN_LIVERIES.setValue(true);
        SCAN_AIRPORTS.setValue(true);
    } else {
        const pugi::xml_parse_result parsed = doc.load_file(parametersFilePath.c_str());
        if (!parsed) {
            gf_logError(fmt::format("{} could not be loaded ({}), default values used",
                                    gf_pathToUtf8(parametersFilePath), parsed.description()));
            return;
        }
        for (pugi::xml_node p : lf_ensureParametersNode(doc).children("parameter")) {
            Parameter* setting = gf_findParameter(p.attribute("name").value());
            if (setting == nullptr || !setting->isSaved())
                continue; // unknown names stay in the file as they are
            const std::string text = p.attribute("value").value();
            switch (setting->setFromText(text)) {
            case ParseOutcome::taken:
                break;
            case ParseOutcome::clamped:
                gf_logLine(fmt::format("parameters.xml: {} value '{}' out of range, set to {}",
                                       setting->name(), text, setting->valueText()));
                break;
            case ParseOutcome::invalid:
                setting->resetToDefault();
                gf_logLine(fmt::format("parameters.xml: {} value '{}' not valid, default {} used",
                                       setting->name(), text, setting->defaultText()));
                break;
            }
        }
    }
    // Upgrade: write back every saved setting, so that settings added since the file was written appear.
    pugi::xml_node parameters = lf_ensureParametersNode(doc);
    for (Parameter* setting : gf_allParameters())
        if (setting->isSaved())
            lf_setElement(parameters, *setting);
    if (!gf_saveXml(doc, parametersFilePath))
        gf_logError(fmt::format("Could not write {}", gf_pathToUtf8(parametersFilePath)));
}

void gf_saveNumParameter(const NumParameter& setting) {
    lf_saveSetting(setting);
}
void gf_saveNumParameter(const FloatParameter& setting) {
    lf_saveSetting(setting);
}
void gf_saveBoolParameter(const BoolParameter& setting) {
    lf_saveSetting(setting);
}
void gf_saveStringParameter(const StringParameter& setting) {
    lf_saveSetting(setting);
}

void gf_setParameterAndSave(StringParameter& setting, const std::string& value) {
    setting.setValue(value);
    lf_saveSetting(setting);
}

} // namespace kvr
