#pragma once
#include "app/control_state.h"

#include <optional>

namespace kvr {

// What the automatic range decides from: the user aircraft as last reported and its distance to the first
// park airport now; none until the user aircraft's position is known.
std::optional<AutoRangeInputs> gf_autoRangeInputs();

// Connects the subsystems' hooks to each other and to the window, once per process: the simulator link's
// user stand, the automatic range, the stand files' control services, the traffic pane's parking values,
// the live-traffic client's categories and report hand-over, the livery matchers' names of aircraft and the
// livery scan's hints.
void gf_wireSubsystems();

} // namespace kvr
