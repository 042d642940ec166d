// The subclass procedures in front of the three edit boxes. Enter acts on the box's text and never
// reaches the box; every other message goes on to the box's own procedure unchanged.
#include "app/control_creation.h"
#include "app/edit_box_entries.h"
#include "core/log.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

#include <exception>

namespace kvr {

namespace {

constexpr WPARAM carriageReturn = 13;

LRESULT lf_editSubclassProc(ControlStringParameter& setting, HWND hwnd, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    if (message == WM_CHAR && wParam == carriageReturn) {
        // An exception must not leave a window procedure.
        try {
            lf_onEditBoxEnter(setting);
        } catch (const std::exception& e) {
            gf_logError(fmt::format("{} exception {}", "lf_editSubclassProc", e.what()));
        }
        return 0;
    }
    return CallWindowProcW(setting.previousWindowProc, hwnd, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK lf_installPathEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return lf_editSubclassProc(ALL_INSTALL_PATH, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK lf_callsignEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return lf_editSubclassProc(BLOCK_CALLSIGN, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK lf_destinationEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return lf_editSubclassProc(DESTINATION, hwnd, message, wParam, lParam);
}

} // namespace kvr
