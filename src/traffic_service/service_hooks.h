#pragma once
// The two places where the live-traffic client calls into subsystems above it. The application wires them
// before the first session; until then the defaults below apply.
#include "traffic_service/aircraft_reports.h"

#include <functional>
#include <string_view>
#include <vector>

namespace kvr {

// The aircraft category (0 light, 1 buzjet, 2 large, 3 heavy, 4 high performance, 5 rotorcraft) of an ICAO
// type. Default: 2 for every type. The application sets gf_getAircraftCategory of the aircraft data base.
using AircraftCategoryLookup = std::function<int(std::string_view icaoType)>;
void gf_setAircraftCategoryLookup(AircraftCategoryLookup lookup);
AircraftCategoryLookup gf_aircraftCategoryLookup();

// The hand-over of the Traffic Reader's reports. After each traffic reply the Traffic Reader thread calls
// the handler once with its list of new reports (possibly empty), in timestamp order per aircraft. The
// handler takes what it wants by moving elements out of the vector (the traffic engine: under
// reportListMutex, and only while reportsAccepted is set); whatever is left is dropped when the handler
// returns. No handler set: the reports are dropped. The handler runs on the reader thread and must not
// block for long: the next poll waits for it.
using ReportBatchHandler = std::function<void(std::vector<LiveAircraft>& batch)>;
void gf_setReportBatchHandler(ReportBatchHandler handler);
ReportBatchHandler gf_reportBatchHandler();

} // namespace kvr
