#include "app/commands.h"

#include "app/commands_internal.h"
#include "app/dpi_layout.h"
#include "app/main_window.h"
#include "core/log.h"

#include <fmt/format.h>

#include <cstdint>
#include <exception>

namespace kvr {

namespace {

void lf_repaintControls(HWND window) {
    gf_invalidateLayoutArea(window, controlsRect);
}

} // namespace

bool lf_HandleWMCOMMAND(HWND window, WPARAM wParam) {
    try {
        const std::uint16_t id = LOWORD(wParam);
        if (lf_onButtonCommand(window, id) || lf_onCheckBoxCommand(window, id) ||
            lf_onComboCommand(window, wParam))
            return true;
    } catch (const std::exception& e) {
        // The setting may already be changed and saved; the repaint shows the controls as they are.
        gf_logError(fmt::format("{} exception {}", "lf_HandleWMCOMMAND", e.what()));
    }
    lf_repaintControls(window);
    return false;
}

} // namespace kvr
