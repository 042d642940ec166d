#include "traffic_service/service_hooks.h"

#include <mutex>

namespace kvr {

namespace {
std::mutex hookMutex;
AircraftCategoryLookup categoryLookup; // empty: every type is large
ReportBatchHandler batchHandler;
} // namespace

void gf_setAircraftCategoryLookup(AircraftCategoryLookup lookup) {
    std::lock_guard lock(hookMutex);
    categoryLookup = std::move(lookup);
}

AircraftCategoryLookup gf_aircraftCategoryLookup() {
    std::lock_guard lock(hookMutex);
    if (categoryLookup)
        return categoryLookup;
    return [](std::string_view) { return 2; };
}

void gf_setReportBatchHandler(ReportBatchHandler handler) {
    std::lock_guard lock(hookMutex);
    batchHandler = std::move(handler);
}

ReportBatchHandler gf_reportBatchHandler() {
    std::lock_guard lock(hookMutex);
    return batchHandler;
}

} // namespace kvr
