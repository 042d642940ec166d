#pragma once
// The ground speed and track a report lacks, taken from what its aircraft made good since an earlier
// report: read as 0, a missing speed would hold an airborne aircraft in the air and a missing track would
// turn its nose north.
#include "traffic_service/aircraft_reports.h"

#include <optional>

namespace kvr {

// What the Traffic Reader keeps of the reports of one address.
struct ReportMemory {
    double timestamp = 0.0; // the newest report taken (handed over or held back)
    // The earlier position the motion is measured from; moved on once it lies far enough back.
    bool anchored = false;
    double anchorTime = 0.0;
    double anchorLatitude = 0.0;
    double anchorLongitude = 0.0;
    std::optional<double> groundSpeed; // kt, the last one reported or made good
    std::optional<double> track;       // degrees
};

// Fills the report's missing ground speed and track from the move since the memory's anchor (or the last
// known values) and remembers the report. False when the report lacks one of them and nothing is known to
// take it from yet (the first report of an aircraft): the report is to be held back.
bool gf_completeMotion(LiveAircraft& report, ReportMemory& memory);

} // namespace kvr
