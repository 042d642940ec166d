#include "engine/report_source.h"

namespace kvr::port {

// The live-traffic client is not part of this build: no reports arrive and no live aircraft are
// collected; the tests hand their reports to the engine directly.
SeenLiveMaps takeSeenLiveMaps() {
    return {};
}

void setReportBatchHandler(ReportBatchHandler) {}

} // namespace kvr::port
