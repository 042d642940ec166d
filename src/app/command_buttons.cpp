// The push buttons of the main window. A button raises a request that the run thread serves in its next
// round; it disables itself until the run thread is done where a second click would make no sense.
#include "app/commands_internal.h"
#include "app/dpi_layout.h"
#include "app/edit_box_entries.h"
#include "app/main_window.h"
#include "app/request_flags.h"
#include "app/shell_open.h"
#include "core/message_line.h"
#include "core/program_version.h"
#include "core/status_display.h"
#include "core/utf.h"
#include "parking/park_stands.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"

#include <filesystem>

namespace kvr {

namespace {

constexpr int staticUpdateMinutes = 20;

void lf_onUnblock() {
    if (BLOCK_CALLSIGN.empty())
        gf_showMessage("Nothing to block or unblock...");
    else
        lf_unblockCallsign();
    gf_setControlEnabled(blockButton, !CALLSIGN_2_OBJECTID.empty());
}

void lf_onCsToOid() {
    csToOidRequested.exchange(true);
    gf_disableControl(blockButton);
}

void lf_onBlock() {
    const std::string callsign = CALLSIGN_2_OBJECTID.value();
    // The button is enabled only while a callsign is chosen; blocking the empty text would show
    // "Unblock" for a block that does not exist.
    if (!callsign.empty())
        lf_blockCallsign(callsign);
    gf_requestCallsignSelectionReset();
    gf_disableControl(blockButton);
}

void lf_onReRead() {
    reReadRequested.exchange(true);
    gf_disableControl(reReadButton);
    gf_disableControl(DESTINATION);
}

void lf_onFlushStatic() {
    gf_showMessage("All static parked aircraft will be removed ...");
    flushStaticRequested.exchange(true);
    gf_disableControl(flushStaticButton);
}

bool lf_onTblo() {
    std::error_code ec;
    if (gf_openWithShell(std::filesystem::current_path(ec) / "tblo" / "tblo.zip"))
        return true;
    const std::wstring caption = utf8_to_wide(programShortName);
    MessageBoxW(nullptr, L"Could not open File Explorer at tblo.zip.", caption.c_str(), MB_ICONEXCLAMATION);
    return false;
}

void lf_onNow(HWND window) {
    if (!parkAirportLoaded.load())
        return;
    if (INITIAL_LOAD_ONLY.value()) {
        gf_clearMessage();
        return;
    }
    staticParkingCountdownRequested.exchange(true);
    statusDisplay.minutesToStaticUpdate = staticUpdateMinutes;
    gf_invalidateLayoutArea(window, controlsRect);
}

} // namespace

bool lf_onButtonCommand(HWND window, std::uint16_t id) {
    if (id == unblockButton.controlId)
        lf_onUnblock();
    else if (id == csToOidButton.controlId)
        lf_onCsToOid();
    else if (id == blockButton.controlId)
        lf_onBlock();
    else if (id == reReadButton.controlId)
        lf_onReRead();
    else if (id == flushStaticButton.controlId)
        lf_onFlushStatic();
    else if (id == tbloButton.controlId)
        return lf_onTblo();
    else if (id == nowButton.controlId)
        lf_onNow(window);
    else
        return false;
    return true;
}

} // namespace kvr
