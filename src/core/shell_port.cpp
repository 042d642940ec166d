#include "core/shell_port.h"

#include <atomic>

namespace kvr {

namespace {
std::atomic<ShellPort*> installedPort{nullptr};
}

void gf_installShellPort(ShellPort* port) { installedPort.store(port); }

void gf_invalidateArea(ScreenArea area) {
    if (ShellPort* port = installedPort.load())
        port->invalidate(area);
}

} // namespace kvr
