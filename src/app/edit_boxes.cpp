// The subclass procedures in front of the three edit boxes. Until the boxes act on Enter, every message
// goes on to the box's own procedure unchanged.
#include "app/control_creation.h"
#include "settings/parameter_table.h"

namespace kvr {

namespace {

LRESULT lf_editSubclassProc(ControlStringParameter& setting, HWND hwnd, UINT message, WPARAM wParam,
                            LPARAM lParam) {
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
