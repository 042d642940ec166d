// The start-up reading of every run-thread pass: settings, controls, folders, updates, data bases and the
// simulator's install folder.
#include "app/combo_fill.h"
#include "app/leftover_temporaries.h"
#include "app/main_window.h"
#include "app/run_thread_internal.h"
#include "app/session_state.h"
#include "app/time_shift.h"
#include "core/exit_request.h"
#include "core/log.h"
#include "core/shared_state.h"
#include "core/shell_port.h"
#include "core/user_error.h"
#include "core/utf.h"
#include "refdata/aircraft_dbase.h"
#include "refdata/airport_table.h"
#include "refdata/update_check.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"
#include "simlink/sim_install.h"

#include <fmt/format.h>

#include <array>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace kvr {

namespace {

constexpr std::string_view communityFolderName = "Community";

StringParameter& lf_selectedInstallPath() {
    return msfs2020Selected.load() ? MSFS_INSTALL_PATH : MSFS_2024_INSTALL_PATH;
}

// The install-path setting names the folder that holds Community, not Community itself.
void lf_cleanInstallPath() {
    StringParameter& setting = lf_selectedInstallPath();
    if (const auto shortened = lf_installPathWithoutCommunity(setting.value()))
        gf_setParameterAndSave(setting, *shortened);
}

void lf_applyStoredTimeShift() {
    for (NumComboParameter* combo : {&TIME_SHIFT_DAYS, &TIME_SHIFT_HOURS, &TIME_SHIFT_MINS})
        lf_fillNumberCombo(*combo);
    gf_enableControl(KEEP_SIM_TIME_PAR);
    if (SIM_TIME.value()) {
        lf_applySimTimeSetting();
    } else if (TIME_SHIFT_DAYS.value() != TIME_SHIFT_DAYS.defaultValue() ||
               TIME_SHIFT_HOURS.value() != TIME_SHIFT_HOURS.defaultValue() ||
               TIME_SHIFT_MINS.value() != TIME_SHIFT_MINS.defaultValue()) {
        lf_applyTimeShift(lf_timeShiftSettingMinutes(), true);
    }
    for (WindowControl* control : std::initializer_list<WindowControl*>{
             &TIME_SHIFT_DAYS, &TIME_SHIFT_HOURS, &TIME_SHIFT_MINS, &SIM_TIME, &KEEP_SIM_TIME_PAR})
        gf_enableControl(*control);
}

void lf_readDataBases() {
    if (!dbaseLoaded.exchange(true) && !gf_readDbase())
        throw std::runtime_error("reading data files failed!");
    if (!gf_readAirports())
        throw std::runtime_error("reading airports failed!");
}

void lf_showInstallPath() {
    StringParameter& setting = lf_selectedInstallPath();
    ALL_INSTALL_PATH.setValue(setting.value());
    gf_enableControl(ALL_INSTALL_PATH);
    gf_showControlText(ALL_INSTALL_PATH);
    if (!ALL_INSTALL_PATH.empty())
        return;
    const std::filesystem::path detected = gf_detectSimInstall();
    if (detected.empty())
        throw UserErrorException(
            150,
            "No install path detected. Type the full path to your Community folder above, then press Enter");
    const std::u8string utf8 = detected.u8string();
    gf_setParameterAndSave(setting, std::string(utf8.begin(), utf8.end()));
    ALL_INSTALL_PATH.setValue(setting.value());
    gf_showControlText(ALL_INSTALL_PATH);
}

void lf_createFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    const auto status = std::filesystem::status(folder, ec);
    if (ec && ec != std::errc::no_such_file_or_directory)
        throw std::filesystem::filesystem_error("status", folder, ec);
    if (std::filesystem::is_directory(status))
        return;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        throw std::filesystem::filesystem_error("create_directories", folder, ec);
}

} // namespace

std::optional<std::string> lf_installPathWithoutCommunity(const std::string& path) {
    constexpr std::size_t endingLength = communityFolderName.size() + 1;
    if (path.size() < endingLength || !path.ends_with(communityFolderName))
        return std::nullopt;
    const char separator = path[path.size() - endingLength];
    if (separator != '\\' && separator != '/')
        return std::nullopt;
    return path.substr(0, path.size() - endingLength);
}

void lf_createDataFolders() {
    static const std::array<const char*, 11> folders{"output",
                                                     "output/info",
                                                     "output/errors",
                                                     "airports",
                                                     "airports/learned",
                                                     "airports/learned/stock",
                                                     "airports/learned/simaddon",
                                                     "airports/learned/thirdparty",
                                                     "airports/my_simaddon",
                                                     "airports/my_thirdparty",
                                                     "input/my_regcodes"};
    for (const char* folder : folders)
        lf_createFolder(folder);
    for (const char* stale : {"input/AIG-regcodes0.xml", "input/AIG-regcodes00.xml"})
        if (std::filesystem::exists(stale))
            std::filesystem::remove(stale);
}

void lf_readStartupData() {
    if (!restartPending.load())
        gf_removeLeftoverTemporaries();
    lf_loadParameters();
    gf_invalidateArea(ScreenArea::statusPane);
    gf_flushLog();
    lf_initControlStates();
    lf_cleanInstallPath();
    lf_createDataFolders();
    // The update check asks for the program's end itself when a new version was unpacked.
    if (!restartPending.load() && !gf_checkForUpdates())
        return;
    // Closed while the update check waited for the server: nothing further is needed to close down.
    if (gf_stopping())
        return;
    lf_applyStoredTimeShift();
    gf_updateCurrentTimeSlot();
    lf_readDataBases();
    lf_showInstallPath();
    gf_invalidateControlsArea();
}

std::string lf_getTextFromId(std::uint16_t controlId) {
    HWND control = GetDlgItem(controlParentHandle.load(), controlId);
    if (!control) {
        gf_logLine(fmt::format("GetDlgItem failed for ID {}", controlId));
        return {};
    }
    const int length = GetWindowTextLengthW(control);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(read, 0)));
    try {
        return wide_to_utf8(text);
    } catch (const std::exception& e) {
        gf_logError(
            fmt::format("{}: UTF-16 UTF-8 failed for id {}: {}", "lf_getTextFromId", controlId, e.what()));
        return {};
    }
}

} // namespace kvr
