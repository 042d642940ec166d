// The window side of the control services and of the status display: what the subsystems below the
// shell do to the window goes through these two ports.
#include "app/dpi_layout.h"
#include "app/main_window.h"
#include "app/main_window_internal.h"
#include "core/log.h"
#include "core/shell_port.h"
#include "core/utf.h"
#include "settings/control_services.h"

#include <fmt/format.h>

namespace kvr {

namespace {

std::uint16_t lf_controlIdOf(Parameter& setting) {
    const WindowControl* control = setting.control();
    return control ? control->controlId : 0;
}

void lf_invalidateControls() {
    gf_invalidateLayoutArea(mainWindowHandle.load(), controlsRect);
}

// Writes a text into the control with that id, found under the window the procedure saw last.
void lf_showControlText(std::uint16_t id, const std::string& text) {
    std::wstring wide;
    try {
        wide = utf8_to_wide(text);
    } catch (const std::exception& e) {
        gf_logLine(fmt::format("utf8_to_wide failed for '{}': {}", text, e.what()));
        return;
    }
    HWND control = GetDlgItem(controlParentHandle.load(), id);
    if (!control) {
        gf_logLine(fmt::format("GetDlgItem failed for ID {}", id));
        return;
    }
    SetWindowTextW(control, wide.c_str());
    lf_invalidateControls();
}

class WindowControlPort final : public ControlPort {
public:
    ~WindowControlPort() override { gf_installControlPort(nullptr); }
    void showControlNumber(NumParameter& setting) override {
        lf_showControlText(lf_controlIdOf(setting), fmt::format("{}", setting.value()));
    }
    void showControlText(StringParameter& setting) override {
        lf_showControlText(lf_controlIdOf(setting), setting.value());
    }
    void setCheckMark(CheckBoxParameter& box, bool checked) override {
        SendMessageW(box.windowHandle.load(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void enableControl(WindowControl& control, bool enabled) override {
        EnableWindow(control.windowHandle.load(), enabled ? TRUE : FALSE);
    }
    bool isControlEnabled(const WindowControl& control) override {
        HWND hwnd = control.windowHandle.load();
        return hwnd && IsWindowEnabled(hwnd);
    }
    void selectComboIndex(WindowControl& control, int index) override {
        SendMessageW(control.windowHandle.load(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    void invalidateControlsArea() override { lf_invalidateControls(); }
};

class WindowShellPort final : public ShellPort {
public:
    ~WindowShellPort() override { gf_installShellPort(nullptr); }
    void invalidate(ScreenArea area) override {
        HWND hwnd = mainWindowHandle.load();
        if (!hwnd)
            return;
        const RECT* rect = nullptr;
        switch (area) {
        case ScreenArea::header:
            rect = &headerRect;
            break;
        case ScreenArea::statusPane:
            rect = &statusPaneRect;
            break;
        case ScreenArea::controlsArea:
            rect = &controlsRect;
            break;
        case ScreenArea::trafficPane:
            rect = &trafficPaneRect;
            break;
        case ScreenArea::messageLine:
            rect = &messageLineRect;
            break;
        case ScreenArea::simLamp:
            rect = &simLampRect;
            break;
        case ScreenArea::rtLamp:
            rect = &rtLampRect;
            break;
        case ScreenArea::whole:
            break;
        }
        if (rect)
            gf_invalidateLayoutArea(hwnd, *rect);
        else
            InvalidateRect(hwnd, nullptr, TRUE);
    }
};

} // namespace

void lf_installWindowPorts() {
    static WindowControlPort controlPort;
    static WindowShellPort shellPort;
    gf_installControlPort(&controlPort);
    gf_installShellPort(&shellPort);
}

} // namespace kvr
