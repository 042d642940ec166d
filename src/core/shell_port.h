#pragma once

namespace kvr {

// Areas of the main window that writers elsewhere invalidate after changing what it shows.
enum class ScreenArea { header, statusPane, controlsArea, trafficPane, messageLine, simLamp, rtLamp, whole };

// The window-side half of the shared display state. The application shell installs one when its
// window exists; until then (and in tools and tests) invalidating does nothing, because there is
// nothing on screen to repaint.
class ShellPort {
public:
    virtual ~ShellPort() = default;
    virtual void invalidate(ScreenArea area) = 0;
};

void gf_installShellPort(ShellPort* port);
void gf_invalidateArea(ScreenArea area);

} // namespace kvr
