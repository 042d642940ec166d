#pragma once
// The 47 child controls of the main window, created on WM_CREATE from the settings they belong to.
#include "platform/win32/win32.h"
#include "settings/parameter.h"

#include <cstdint>
#include <vector>

namespace kvr {

enum class ControlKind { comboBox, editBox, checkBox, pushButton };

// One row of the control table, in creation (and tab) order.
struct ControlRow {
    ControlKind kind;
    WindowControl* control;
    int x;
    int width;
    int listHeight; // combo boxes: height of the dropped list
};

const std::vector<ControlRow>& gf_controlTable();

// WM_CREATE: creates every control of the table, stores its window handle, repaints the controls area.
void lf_createControls(HWND parent, const CREATESTRUCTW* creation);
// A push button captioned with its name, created disabled.
HWND createButton(ButtonControl& button, HWND parent, const CREATESTRUCTW* creation, int x, int width);
// A check box without text, its mark from the setting's value, enabled.
HWND createCheckBox(CheckBoxParameter& setting, HWND parent, const CREATESTRUCTW* creation, int x);
// An empty edit box with the given subclass procedure in front of its own, created disabled.
HWND createEditBox(ControlStringParameter& setting, HWND parent, const CREATESTRUCTW* creation, int x,
                   int width, WNDPROC subclassProc);

// The subclass procedures of the three edit boxes.
LRESULT CALLBACK lf_installPathEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK lf_callsignEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK lf_destinationEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace kvr
