#pragma once

namespace kvr {

// Connects the subsystems' hooks to each other and to the window, once per process: the simulator link's
// user stand, the automatic range, the stand files' control services, the traffic pane's parking values,
// the live-traffic client's categories and report hand-over, the livery matchers' names of aircraft and the
// livery scan's hints.
void gf_wireSubsystems();

} // namespace kvr
