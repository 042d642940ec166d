#pragma once
#include "app/edit_box_entries.h"
#include "app/run_thread_internal.h"

#include <cstdint>
#include <string>

namespace kvr {

// A typed install path for the target setting (MSFS_INSTALL_PATH or MSFS_2024_INSTALL_PATH).
void lf_onCommunityPathEntered(StringParameter& target, const std::string& typed);
// The message of a destination check: 0 emptied, 1 not valid, 2 already set, 3 unknown.
void lf_showDestinationStatus(int status, const std::string& code);

} // namespace kvr
