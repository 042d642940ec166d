#pragma once
#include "app/control_state.h"

namespace kvr {

// The range the automatic range chooses for these inputs, in nautical miles.
int lf_autoRangeFor(const AutoRangeInputs& inputs);

} // namespace kvr
