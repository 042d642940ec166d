#include "app/combo_fill.h"

#include "core/log.h"
#include "core/utf.h"
#include "platform/win32/win32.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

#include <string>
#include <vector>

namespace kvr {

namespace {

void lf_refill(WindowControl& control, const std::vector<std::string>& texts, std::optional<int> selected) {
    HWND combo = control.windowHandle.load();
    if (!combo)
        return;
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& text : texts) {
        try {
            const std::wstring wide = utf8_to_wide(text);
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        } catch (const std::exception& e) {
            gf_logLine(fmt::format("utf8_to_wide failed for '{}': {}", text, e.what()));
        }
    }
    if (selected)
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(*selected), 0);
}

} // namespace

void lf_fillNumberCombo(NumComboParameter& setting) {
    std::vector<std::string> texts;
    for (const std::int32_t choice : setting.choices())
        texts.push_back(fmt::format("{}", choice));
    lf_refill(setting, texts, setting.choiceIndexOf(setting.value()));
}

void lf_fillNumberCombo(FloatComboParameter& setting) {
    std::vector<std::string> texts;
    for (const float choice : setting.choices())
        texts.push_back(fmt::format("{:.1f}", choice));
    lf_refill(setting, texts, setting.choiceIndexOf(setting.value()));
}

std::optional<int> findComboIndex(const StringComboParameter& setting) {
    return setting.choiceIndexOf(setting.value());
}

void lf_fillStringCombo(StringComboParameter& setting) {
    lf_refill(setting, setting.choices(), findComboIndex(setting));
}

void lf_fillGlobalCombo() {
    lf_fillStringCombo(CALLSIGN_2_OBJECTID);
    // The list is created enabled and disabled by the start-up reading; only callsigns make it usable.
    gf_setControlEnabled(CALLSIGN_2_OBJECTID, !CALLSIGN_2_OBJECTID.choices().empty());
}

} // namespace kvr
