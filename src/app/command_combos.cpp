// The drop-down lists of the main window. A list acts on its CBN_SELCHANGE only: the chosen entry is
// stored (and saved where the setting is saved), and what depends on it follows.
#include "app/commands_internal.h"
#include "app/control_state.h"
#include "app/dpi_layout.h"
#include "app/main_window.h"
#include "app/request_flags.h"
#include "app/time_shift.h"
#include "core/message_line.h"
#include "core/shared_state.h"
#include "core/status_display.h"
#include "core/utf.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvr {

namespace {

using Selection = std::pair<int, std::string>;

void lf_repaintControls(HWND window) {
    gf_invalidateLayoutArea(window, controlsRect);
}

// The chosen entry of a numeric list, clamped to the setting's range. A list whose entries are not the
// setting's choices (never filled) gives nothing.
std::optional<std::int32_t> lf_chosenNumber(const NumComboParameter& setting, int index) {
    const std::vector<std::int32_t>& choices = setting.choices();
    if (index < 0 || static_cast<std::size_t>(index) >= choices.size())
        return std::nullopt;
    return std::clamp(choices[static_cast<std::size_t>(index)], setting.minimum(), setting.maximum());
}

// Stores and saves the chosen number; the old value, when the entry was a choice.
std::optional<std::int32_t> lf_storeChosenNumber(NumComboParameter& setting, int index) {
    const std::optional<std::int32_t> chosen = lf_chosenNumber(setting, index);
    if (!chosen)
        return std::nullopt;
    const std::int32_t old = setting.value();
    setting.setValue(*chosen);
    gf_saveNumParameter(setting);
    return old;
}

bool lf_onSimChoice(const Selection& chosen) {
    if (chosen.second == SIM_CHOICE.value())
        return true;
    SIM_CHOICE.setValue(chosen.second);
    gf_saveStringParameter(SIM_CHOICE);
    msfs2020Selected = chosen.second == "MSFS 2020";
    lf_switchSimulator();
    return true;
}

bool lf_onPackageSelector(const Selection& chosen) {
    if (chosen.second == AI_PACKAGE_SELECTOR.value())
        return true;
    AI_PACKAGE_SELECTOR.setValue(chosen.second);
    gf_saveStringParameter(AI_PACKAGE_SELECTOR);
    gf_showMessage("If you want to make this choice effective, you must start a Scan for liveries", true);
    return true;
}

bool lf_onCallsignChoice(HWND window, const Selection& chosen) {
    if (chosen.second == CALLSIGN_2_OBJECTID.value())
        return true;
    CALLSIGN_2_OBJECTID.setValue(chosen.second);
    statusDisplay.changeTexts([](StatusTexts& texts) { texts.objectIdText.clear(); });
    lf_repaintControls(window);
    callsignSelectionChanged.exchange(true);
    gf_setControlEnabled(blockButton, !gf_isControlEnabled(unblockButton));
    return true;
}

bool lf_onMatchingDepth(const Selection& chosen) {
    const std::optional<std::int32_t> old = lf_storeChosenNumber(MATCHING_DEPTH, chosen.first);
    if (old && MATCHING_DEPTH.value() > *old)
        matchingDepthRaised.exchange(true);
    return true;
}

bool lf_onRange(const Selection& chosen) {
    if (lf_storeChosenNumber(RANGE, chosen.first))
        gf_setRange(RANGE.value());
    return true;
}

bool lf_onMaxLive(const Selection& chosen) {
    if (lf_storeChosenNumber(MAX_LIVE_SEL, chosen.first))
        liveLimitRequested.exchange(true);
    return true;
}

bool lf_onMaxFit(const Selection& chosen) {
    const std::vector<float>& choices = MAX_FIT_FL.choices();
    if (chosen.first < 0 || static_cast<std::size_t>(chosen.first) >= choices.size())
        return true;
    const float hours = choices[static_cast<std::size_t>(chosen.first)];
    MAX_FIT_FL.setValue(hours);
    MAX_FIT.setValue(gf_hoursToMaxFit(hours));
    gf_saveNumParameter(MAX_FIT);
    return true;
}

// The three lists make one shift.
bool lf_onTimeShift(NumComboParameter& setting, const Selection& chosen) {
    const std::optional<std::int32_t> value = lf_chosenNumber(setting, chosen.first);
    // While the simulator's clock is followed the lists are disabled; a choice that slipped through is stale.
    if (!value || SIM_TIME.value())
        return true;
    setting.setValue(*value);
    lf_applyChosenTimeShift();
    return true;
}

bool lf_onPlainNumber(NumComboParameter& setting, const Selection& chosen) {
    lf_storeChosenNumber(setting, chosen.first);
    return true;
}

} // namespace

std::optional<Selection> lf_getComboSelection(HWND window, std::uint16_t id, WPARAM wParam) {
    if (LOWORD(wParam) != id || HIWORD(wParam) != CBN_SELCHANGE)
        return std::nullopt;
    HWND combo = GetDlgItem(window, id);
    if (!combo)
        return std::nullopt;
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return std::nullopt;
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length < 0)
        return std::nullopt;
    // Sized by the entry, so that no entry can write past the buffer.
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    if (SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text.data())) == CB_ERR)
        return std::nullopt;
    text.resize(static_cast<std::size_t>(length));
    return Selection{static_cast<int>(index), wide_to_utf8(text)};
}

bool lf_onComboCommand(HWND window, WPARAM wParam) {
    struct ListRule {
        WindowControl* list;
        bool (*apply)(HWND window, const Selection& chosen);
    };
    static const auto rules = std::to_array<ListRule>({
        {&SIM_CHOICE, [](HWND, const Selection& s) { return lf_onSimChoice(s); }},
        {&AI_PACKAGE_SELECTOR, [](HWND, const Selection& s) { return lf_onPackageSelector(s); }},
        {&CALLSIGN_2_OBJECTID, [](HWND w, const Selection& s) { return lf_onCallsignChoice(w, s); }},
        {&MATCHING_DEPTH, [](HWND, const Selection& s) { return lf_onMatchingDepth(s); }},
        {&MAX_PARK_SEL, [](HWND, const Selection& s) { return lf_onPlainNumber(MAX_PARK_SEL, s); }},
        {&parking_percentage,
         [](HWND, const Selection& s) { return lf_onPlainNumber(parking_percentage, s); }},
        {&RANGE, [](HWND, const Selection& s) { return lf_onRange(s); }},
        {&AIRP_RANGE, [](HWND, const Selection& s) { return lf_onPlainNumber(AIRP_RANGE, s); }},
        {&AR_ABOVE_HEIGHT, [](HWND, const Selection& s) { return lf_onPlainNumber(AR_ABOVE_HEIGHT, s); }},
        {&AIRP_HEIGHT, [](HWND, const Selection& s) { return lf_onPlainNumber(AIRP_HEIGHT, s); }},
        {&MAX_FIT_FL, [](HWND, const Selection& s) { return lf_onMaxFit(s); }},
        {&MAX_LIVE_SEL, [](HWND, const Selection& s) { return lf_onMaxLive(s); }},
        {&TIME_SHIFT_DAYS, [](HWND, const Selection& s) { return lf_onTimeShift(TIME_SHIFT_DAYS, s); }},
        {&TIME_SHIFT_HOURS, [](HWND, const Selection& s) { return lf_onTimeShift(TIME_SHIFT_HOURS, s); }},
        {&TIME_SHIFT_MINS, [](HWND, const Selection& s) { return lf_onTimeShift(TIME_SHIFT_MINS, s); }},
    });
    for (const ListRule& rule : rules)
        if (const auto chosen = lf_getComboSelection(window, rule.list->controlId, wParam))
            return rule.apply(window, *chosen);
    return false;
}

} // namespace kvr
