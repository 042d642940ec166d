#include "app/control_creation.h"

#include "app/dpi_layout.h"
#include "app/main_window.h"
#include "core/utf.h"
#include "settings/parameter_table.h"

#include <cstdint>

namespace kvr {

namespace {

constexpr DWORD comboStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;
constexpr DWORD checkBoxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX;
constexpr DWORD buttonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD editStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP;
constexpr int comboOffsetY = -5;
constexpr int checkBoxOffsetY = 2;
constexpr int checkBoxSize = 12;
constexpr int buttonHeight = 20;
constexpr int editHeight = 16;

HMENU lf_childId(const WindowControl& control) {
    return reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(control.controlId));
}

HINSTANCE lf_instance(const CREATESTRUCTW* creation) {
    return creation ? creation->hInstance : nullptr;
}

// A control's place and size. A combo box's height holds its closed field and its dropped list.
struct Place {
    int x;
    int y;
    int width;
    int height;

    // Place and size scale each on their own, so that every control is exactly as much larger as the display.
    Place scaled() const { return Place{gf_scaled(x), gf_scaled(y), gf_scaled(width), gf_scaled(height)}; }
};

Place lf_placeAt96(const ControlRow& row) {
    const int y = row.control->rowY;
    switch (row.kind) {
    case ControlKind::comboBox:
        return Place{row.x, y + comboOffsetY, row.width, row.listHeight};
    case ControlKind::editBox:
        return Place{row.x, y, row.width, editHeight};
    case ControlKind::checkBox:
        return Place{row.x, y + checkBoxOffsetY, checkBoxSize, checkBoxSize};
    case ControlKind::pushButton:
        break;
    }
    return Place{row.x, y, row.width, buttonHeight};
}

HWND lf_createControl(const wchar_t* className, const wchar_t* text, DWORD style, const Place& placeAt96,
                      HWND parent, const WindowControl& control, const CREATESTRUCTW* creation) {
    const Place place = placeAt96.scaled();
    HWND hwnd = CreateWindowExW(0, className, text, style, place.x, place.y, place.width, place.height,
                                parent, lf_childId(control), lf_instance(creation), nullptr);
    if (HFONT font = gf_windowFont())
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
}

WNDPROC lf_editProcFor(const ControlStringParameter& setting) {
    if (&setting == &BLOCK_CALLSIGN)
        return lf_callsignEditProc;
    if (&setting == &DESTINATION)
        return lf_destinationEditProc;
    return lf_installPathEditProc;
}

} // namespace

const std::vector<ControlRow>& gf_controlTable() {
    using K = ControlKind;
    static const std::vector<ControlRow> table{
        {K::comboBox, &SIM_CHOICE, 5, 105, 80},
        {K::editBox, &ALL_INSTALL_PATH, 111, 1200, 0},
        {K::checkBox, &SCAN_LIVERIES, 5, 12, 0},
        {K::checkBox, &LIG_AUTOMATIC, 217, 12, 0},
        {K::comboBox, &AI_PACKAGE_SELECTOR, 323, 175, 300},
        {K::checkBox, &LIG_PRIORITIZE, 536, 12, 0},
        {K::checkBox, &ALWAYS_ON_TOP, 748, 12, 0},
        {K::checkBox, &SCAN_AIRPORTS, 5, 12, 0},
        {K::pushButton, &tbloButton, 217, 60, 0},
        {K::checkBox, &NAV_LIGHTS_WHILE_PARKED, 748, 12, 0},
        {K::comboBox, &MATCHING_DEPTH, 217, 40, 120},
        {K::checkBox, &LIGHT_AIRCRAFT, 323, 12, 0},
        {K::checkBox, &HELICOPTERS, 430, 12, 0},
        {K::checkBox, &HIGH_PERF_AIRCRAFT, 536, 12, 0},
        {K::checkBox, &GUID_CHANGES, 748, 12, 0},
        {K::comboBox, &RANGE, 217, 50, 200},
        {K::checkBox, &AUTO_RANGE, 323, 12, 0},
        {K::comboBox, &AR_ABOVE_HEIGHT, 455, 70, 230},
        {K::checkBox, &AIRBORNE_ONLY, 572, 12, 0},
        {K::comboBox, &TIME_SHIFT_DAYS, 748, 45, 200},
        {K::checkBox, &COLLISION_USER_GND, 217, 12, 0},
        {K::checkBox, &COLLISION_USER_AIR, 323, 12, 0},
        {K::checkBox, &COLLISION_LIVE_PARKED_GND, 430, 12, 0},
        {K::checkBox, &SIM_TIME, 652, 12, 0},
        {K::comboBox, &TIME_SHIFT_HOURS, 748, 45, 200},
        {K::editBox, &BLOCK_CALLSIGN, 107, 100, 0},
        {K::pushButton, &unblockButton, 223, 60, 0},
        {K::pushButton, &csToOidButton, 305, 60, 0},
        {K::comboBox, &CALLSIGN_2_OBJECTID, 375, 100, 300},
        {K::pushButton, &blockButton, 576, 60, 0},
        {K::checkBox, &KEEP_SIM_TIME_PAR, 652, 12, 0},
        {K::comboBox, &TIME_SHIFT_MINS, 748, 45, 300},
        {K::pushButton, &nowButton, 111, 45, 0},
        {K::comboBox, &MAX_PARK_SEL, 323, 55, 144},
        {K::comboBox, &MAX_LIVE_SEL, 536, 55, 144},
        {K::editBox, &DESTINATION, 217, 50, 0},
        {K::comboBox, &AIRP_RANGE, 353, 45, 144},
        {K::comboBox, &AIRP_HEIGHT, 566, 70, 230},
        {K::checkBox, &STRAIGHT_PBS_ONLY, 652, 12, 0},
        {K::checkBox, &INITIAL_LOAD_ONLY, 5, 12, 0},
        {K::checkBox, &WEEK, 71, 12, 0},
        {K::checkBox, &PARK_SOFT, 151, 12, 0},
        {K::comboBox, &parking_percentage, 323, 50, 200},
        {K::comboBox, &MAX_FIT_FL, 566, 60, 300},
        {K::checkBox, &RT_PARKTRAFFIC_ONLY, 667, 12, 0},
        {K::pushButton, &reReadButton, 758, 90, 0},
        {K::pushButton, &flushStaticButton, 758, 90, 0},
    };
    return table;
}

HWND createButton(ButtonControl& button, HWND parent, const CREATESTRUCTW* creation, int x, int width) {
    const std::wstring caption = utf8_to_wide(button.name());
    HWND hwnd = lf_createControl(L"BUTTON", caption.c_str(), buttonStyle,
                                 lf_placeAt96({ControlKind::pushButton, &button, x, width, 0}), parent,
                                 button, creation);
    EnableWindow(hwnd, FALSE);
    return hwnd;
}

HWND createCheckBox(CheckBoxParameter& setting, HWND parent, const CREATESTRUCTW* creation, int x) {
    HWND hwnd =
        lf_createControl(L"BUTTON", L"", checkBoxStyle,
                         lf_placeAt96({ControlKind::checkBox, &setting, x, 0, 0}), parent, setting, creation);
    CheckDlgButton(parent, setting.controlId, setting.value() ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(hwnd, TRUE);
    return hwnd;
}

HWND createEditBox(ControlStringParameter& setting, HWND parent, const CREATESTRUCTW* creation, int x,
                   int width, WNDPROC subclassProc) {
    HWND hwnd =
        lf_createControl(L"EDIT", L"", editStyle, lf_placeAt96({ControlKind::editBox, &setting, x, width, 0}),
                         parent, setting, creation);
    setting.previousWindowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProc)));
    EnableWindow(hwnd, FALSE);
    return hwnd;
}

void lf_createControls(HWND parent, const CREATESTRUCTW* creation) {
    // The controls are born at their places for the window's DPI.
    gf_setWindowDpi(static_cast<int>(GetDpiForWindow(parent)));
    for (const ControlRow& row : gf_controlTable()) {
        HWND hwnd = nullptr;
        switch (row.kind) {
        case ControlKind::comboBox:
            hwnd = lf_createControl(L"COMBOBOX", L"", comboStyle, lf_placeAt96(row), parent, *row.control,
                                    creation);
            break;
        case ControlKind::editBox: {
            auto& setting = dynamic_cast<ControlStringParameter&>(*row.control);
            hwnd = createEditBox(setting, parent, creation, row.x, row.width, lf_editProcFor(setting));
            break;
        }
        case ControlKind::checkBox:
            hwnd = createCheckBox(dynamic_cast<CheckBoxParameter&>(*row.control), parent, creation, row.x);
            break;
        case ControlKind::pushButton:
            hwnd =
                createButton(dynamic_cast<ButtonControl&>(*row.control), parent, creation, row.x, row.width);
            break;
        }
        row.control->windowHandle = hwnd;
    }
    gf_invalidateLayoutArea(parent, controlsRect);
}

void gf_onDpiChanged(HWND hwnd, int dpi, const RECT& suggested) {
    // The old font goes once no control draws with it any more.
    const FontHandle previous = gf_setWindowDpi(dpi);
    const POINT topLeft{suggested.left, suggested.top};
    gf_fitWindowToDpi(hwnd, &topLeft);
    const HFONT font = gf_windowFont();
    for (const ControlRow& row : gf_controlTable()) {
        HWND control = row.control->windowHandle.load();
        if (!control)
            continue;
        // The font first: a combo box sizes its field by it.
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        const Place place = lf_placeAt96(row).scaled();
        MoveWindow(control, place.x, place.y, place.width, place.height, TRUE);
    }
    InvalidateRect(hwnd, nullptr, TRUE);
}

} // namespace kvr
