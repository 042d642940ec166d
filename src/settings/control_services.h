#pragma once
// What the subsystems below the application shell may do to the controls of the main window.
// The shell installs a ControlPort once its window exists; without one (tools, tests, before the
// window) the settings still change and save, and the control operations do nothing, since no
// control is on screen.
#include "settings/parameter.h"

#include <string>
#include <vector>

namespace kvr {

class ControlPort {
public:
    virtual ~ControlPort() = default;
    virtual void showControlNumber(NumParameter& setting) = 0;
    virtual void showControlText(StringParameter& setting) = 0;
    virtual void setCheckMark(CheckBoxParameter& box, bool checked) = 0;
    virtual void enableControl(WindowControl& control, bool enabled) = 0;
    virtual bool isControlEnabled(const WindowControl& control) = 0;
    virtual void selectComboIndex(WindowControl& control, int index) = 0;
    virtual void invalidateControlsArea() = 0;
};

void gf_installControlPort(ControlPort* port);

// Writes the setting's current value into its control.
void gf_showControlNumber(NumParameter& setting);
void gf_showControlText(StringParameter& setting);
// Stores and saves the value and sets the box's check mark.
void gf_setCheckSetting(CheckBoxParameter& box, bool value);
// Sets the box's check mark from its setting's value (nothing saved).
void gf_showCheckMark(CheckBoxParameter& box);
void gf_enableControl(WindowControl& control);
void gf_disableControl(WindowControl& control);
void gf_setControlEnabled(WindowControl& control, bool enabled);
bool gf_isControlEnabled(const WindowControl& control);
void gf_selectComboIndex(WindowControl& control, int index);
void gf_invalidateControlsArea();

} // namespace kvr
