#pragma once
// The engine's view of the live-traffic client: the report records, the hand-over of report batches and
// the live aircraft collected for static parking. The only engine file that names the client.
#include "traffic_service/aircraft_reports.h"
#include "traffic_service/readers.h"
#include "traffic_service/service_hooks.h"

#include <vector>

namespace kvr::port {

using kvr::AircraftBase;
using kvr::LiveAircraft;
using kvr::ParkedAircraft;
using kvr::ReportBatchHandler;
using kvr::SeenLiveMaps;

// Moves the Traffic Reader's collected maps out and clears its collect flag.
SeenLiveMaps takeSeenLiveMaps();

// The handler the Traffic Reader calls, on its own thread, with each batch of new reports; it moves out
// what it takes.
void setReportBatchHandler(ReportBatchHandler handler);

} // namespace kvr::port
