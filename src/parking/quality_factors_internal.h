#pragma once
#include <string>

namespace kvr {

// The text of qualityFactors for the status display and the log.
std::string lf_formatQualityFactors();

} // namespace kvr
