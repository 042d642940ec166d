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

// WM_CREATE: takes the window's DPI, creates every control of the table at its place for that DPI, stores its
// window handle, repaints the controls area.
void lf_createControls(HWND parent, const CREATESTRUCTW* creation);
// WM_DPICHANGED: the window moved onto a display of another DPI (dpi_layout.h), which suggests where to put
// it; the window, its controls and their font follow that DPI.
void gf_onDpiChanged(HWND hwnd, int dpi, const RECT& suggested);
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
