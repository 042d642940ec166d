#include "liveries/livery_scan_internal.h"

#include "core/exit_request.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/native_path.h"
#include "core/program_version.h"
#include "core/shell_port.h"
#include "core/user_error.h"
#include "settings/ai_package_orders.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "simlink/sim_install.h"

#include <fmt/format.h>

#include <array>
#include <mutex>
#include <stdexcept>
#include <string_view>

namespace kvr {

namespace fs = std::filesystem;

namespace {

std::mutex shellActionsMutex;
LiveryScanShellActions shellActions;

void lf_runShellAction(std::function<void()> LiveryScanShellActions::*action) {
    std::function<void()> run;
    {
        std::lock_guard lock(shellActionsMutex);
        run = shellActions.*action;
    }
    if (run)
        run();
}

// The first direct entry of the Community folder whose name holds one of the patterns (and is no
// converted copy, "_CVT_") joins the folders.
void lf_autoScanPackage(const fs::path& community, LiveryFolders& folders,
                        std::initializer_list<std::string_view> patterns, std::string_view packageName) {
    for (const fs::directory_entry& entry : fs::directory_iterator(community)) {
        const std::string name = gf_pathToUtf8(entry.path().filename());
        if (name.find("_CVT_") != std::string::npos)
            continue;
        for (std::string_view pattern : patterns) {
            if (name.find(pattern) != std::string::npos) {
                gf_logLine(fmt::format("Automatic {} scan found folder: '{}'", packageName,
                                       gf_pathToUtf8(entry.path())));
                gf_flushLog();
                folders.push_back(entry.path());
                return;
            }
        }
    }
}

} // namespace

void gf_installLiveryScanShellActions(LiveryScanShellActions actions) {
    std::lock_guard lock(shellActionsMutex);
    shellActions = std::move(actions);
}

void lf_checkLiveryFolders(LiveryFolders& folders) {
    for (int i = 0; i < 10; ++i) {
        const StringParameter& setting = gf_liveryFolderSetting(i);
        const std::string value = setting.value();
        if (value.empty())
            continue;
        const fs::path path = gf_pathFromUtf8(value);
        if (!fs::exists(path)) {
            gf_logError(fmt::format("{}: '{}' does not exist", setting.name(), gf_pathToUtf8(path)));
            throw UserErrorException(
                243, fmt::format("the path pointed to by parameter '{}' does not exist, see Log.txt!",
                                 setting.name()));
        }
        folders.push_back(path);
    }
}

void lf_autoScanAig(const fs::path& community, LiveryFolders& folders) {
    lf_autoScanPackage(community, folders, {"aig-aitraffic-oci"}, "AIG");
}

void lf_autoScanFsltl(const fs::path& community, LiveryFolders& folders) {
    lf_autoScanPackage(community, folders, {"fsltl-traffic-base"}, "FSLTL");
}

void lf_autoScanJustFlight(const fs::path& community, LiveryFolders& folders) {
    lf_autoScanPackage(community, folders,
                       {"justflight-aircraft-traffic-fleet", "justflight-fstraffic-module"}, "JF");
}

void lf_autoScanIvaoMtl(const fs::path& community, LiveryFolders& folders) {
    lf_autoScanPackage(community, folders, {"IVAO_MTL"}, "IVAO_MTL");
}

void lf_autoScanUserAiTraffic(const fs::path& community, LiveryFolders& folders) {
    lf_autoScanPackage(community, folders, {"user-aitraffic"}, "user-aitraffic");
}

void lf_autoScanSelectedPackages(const fs::path& community, LiveryFolders& folders) {
    const std::string choice = AI_PACKAGE_SELECTOR.value();
    const std::vector<AiPackageOrder>& orders = aiPackageOrders();
    const auto order = std::find_if(orders.begin(), orders.end(),
                                    [&](const AiPackageOrder& entry) { return entry.choiceText == choice; });
    if (order == orders.end())
        throw std::runtime_error(fmt::format("{} not set", AI_PACKAGE_SELECTOR.name()));
    using Scanner = void (*)(const fs::path&, LiveryFolders&);
    static const std::array<std::pair<std::string_view, Scanner>, 4> scanners{{{"AIG", lf_autoScanAig},
                                                                               {"FSLTL", lf_autoScanFsltl},
                                                                               {"JF", lf_autoScanJustFlight},
                                                                               {"MTL", lf_autoScanIvaoMtl}}};
    for (const std::string& package : order->packages)
        for (const auto& [name, scanner] : scanners)
            if (package == name)
                scanner(community, folders);
    lf_autoScanUserAiTraffic(community, folders);
}

void gf_scanLiveries() {
    gf_disableControl(AI_PACKAGE_SELECTOR);
    const bool automatic = LIG_AUTOMATIC.value();
    gf_showMessage(fmt::format("Scanning {}for liveries ...", LIG_PRIORITIZE.value() ? "prioritized " : ""));
    gf_logLine(
        fmt::format("\n++++++++++++++++++++++++ liveries scan {} starts ++++++++++++++++++++++++++++++++",
                    automatic ? "automatic" : "manual"));

    LiveryFolders folders;
    folders.reserve(10);
    if (automatic) {
        const fs::path community = gf_simPath("Community");
        if (!community.empty())
            lf_autoScanSelectedPackages(community, folders);
    } else {
        lf_checkLiveryFolders(folders);
    }

    if (folders.empty()) {
        if (automatic) {
            gf_enableControl(AI_PACKAGE_SELECTOR);
            throw UserErrorException(
                43, "Automatic scan has not found any AI packages, choose a different selection "
                    "(or go to Manual mode, see Manual 5.2)");
        }
        lf_runShellAction(&LiveryScanShellActions::openManual);
        lf_runShellAction(&LiveryScanShellActions::openParametersFolder);
        throw UserErrorException(
            48,
            fmt::format(
                "Exit {} first!   Then set one or more lfolder parameters to your liveries, see Manual 5.2",
                programShortName));
    }

    const LiveryScanEnd end = lf_scanLiveryFolders(folders);
    if (end == LiveryScanEnd::noLivery) {
        if (!automatic)
            throw UserErrorException(53, "no liveries found");
        gf_enableControl(AI_PACKAGE_SELECTOR);
        throw UserErrorException(
            143, "Automatic scan has not found any liveries, choose a different selection, or "
                 "switch off automatic and set lfolder parameter(-s)");
    }

    gf_enableControl(AI_PACKAGE_SELECTOR);
    if (end == LiveryScanEnd::stopped || gf_stopping()) {
        // Nothing was written; switching the scan off now would leave the next start without a catalogue.
        gf_logLine("liveries scan stopped, it runs again at the next start");
        return;
    }
    if (end == LiveryScanEnd::notSaved) {
        // The next start must not read the stale catalogue without a scan.
        gf_logLine("liveries scan not saved, this start uses its liveries and the next start scans again");
        return;
    }
    gf_setCheckSetting(SCAN_LIVERIES, false);
    gf_invalidateArea(ScreenArea::controlsArea);
    gf_invalidateArea(ScreenArea::statusPane);
    gf_logLine("\n++++++++++++++++++++++++ liveries scan ends ++++++++++++++++++++++++++++++++\n");
    gf_flushLog();
}

} // namespace kvr
