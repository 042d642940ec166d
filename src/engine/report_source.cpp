#include "engine/report_source.h"

namespace kvr::port {

SeenLiveMaps takeSeenLiveMaps() {
    return trafficReader.takeSeenLiveMaps();
}

void setReportBatchHandler(ReportBatchHandler handler) {
    gf_setReportBatchHandler(std::move(handler));
}

} // namespace kvr::port
