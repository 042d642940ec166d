#include "settings/control_services.h"

#include "settings/parameters_file.h"

#include <atomic>

namespace kvr {

namespace {
std::atomic<ControlPort*> installedPort{nullptr};
}

void gf_installControlPort(ControlPort* port) { installedPort.store(port); }

void gf_showControlNumber(NumParameter& setting) {
    if (ControlPort* port = installedPort.load())
        port->showControlNumber(setting);
}

void gf_showControlText(StringParameter& setting) {
    if (ControlPort* port = installedPort.load())
        port->showControlText(setting);
}

void gf_setCheckSetting(CheckBoxParameter& box, bool value) {
    box.setValue(value);
    gf_saveBoolParameter(box);
    if (ControlPort* port = installedPort.load())
        port->setCheckMark(box, value);
}

void gf_showCheckMark(CheckBoxParameter& box) {
    if (ControlPort* port = installedPort.load())
        port->setCheckMark(box, box.value());
}

void gf_setControlEnabled(WindowControl& control, bool enabled) {
    if (ControlPort* port = installedPort.load())
        port->enableControl(control, enabled);
}

void gf_enableControl(WindowControl& control) { gf_setControlEnabled(control, true); }
void gf_disableControl(WindowControl& control) { gf_setControlEnabled(control, false); }

bool gf_isControlEnabled(const WindowControl& control) {
    if (ControlPort* port = installedPort.load())
        return port->isControlEnabled(control);
    return false;
}

void gf_selectComboIndex(WindowControl& control, int index) {
    if (ControlPort* port = installedPort.load())
        port->selectComboIndex(control, index);
}

void gf_invalidateControlsArea() {
    if (ControlPort* port = installedPort.load())
        port->invalidateControlsArea();
}

} // namespace kvr
