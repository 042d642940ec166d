#pragma once
#include "app/edit_box_entries.h"

#include <cstdint>
#include <string>

namespace kvr {

// The text of the main window's control with that id; empty when it cannot be read.
std::string lf_getTextFromId(std::uint16_t id);
// A typed install path for the target setting (MSFS_INSTALL_PATH or MSFS_2024_INSTALL_PATH).
void lf_onCommunityPathEntered(StringParameter& target, const std::string& typed);
// The message of a destination check: 0 emptied, 1 not valid, 2 already set, 3 unknown.
void lf_showDestinationStatus(int status, const std::string& code);

} // namespace kvr
