#include "traffic_service/motion_made_good.h"

#include "core/geodesy.h"
#include "traffic_service/report_parser.h"

#include <numbers>

namespace kvr {

namespace {

// The motion is measured over at least this long once the aircraft is known: over a few seconds the
// jitter of the report times (a few seconds too) would swamp it.
constexpr double anchorSeconds = 20.0;
// Shorter than this, the move says nothing about the motion.
constexpr double shortestSeconds = 1.0;

} // namespace

bool gf_completeMotion(LiveAircraft& report, ReportMemory& memory) {
    const double seconds = memory.anchored ? report.timestamp - memory.anchorTime : 0.0;
    const bool measurable =
        seconds >= anchorSeconds || (seconds >= shortestSeconds && !(memory.groundSpeed && memory.track));
    if (measurable && (report.groundSpeedMissing || report.trackMissing)) {
        const double nm =
            gf_distanceNm(memory.anchorLatitude, memory.anchorLongitude, report.latitude, report.longitude);
        const double madeGoodKt = nm / seconds * 3600.0;
        // A move faster than any aircraft flies comes from a false position: it tells nothing.
        if (madeGoodKt <= fastestGroundSpeedKt) {
            if (report.groundSpeedMissing)
                memory.groundSpeed = madeGoodKt;
            if (report.trackMissing && nm > 0.0)
                memory.track = gf_initialBearing(memory.anchorLatitude, memory.anchorLongitude,
                                                 report.latitude, report.longitude) *
                               180.0 / std::numbers::pi;
        }
    }
    if (!report.groundSpeedMissing)
        memory.groundSpeed = report.groundSpeed;
    if (!report.trackMissing)
        memory.track = report.track;
    memory.timestamp = report.timestamp;
    if (!memory.anchored || seconds >= anchorSeconds || seconds < 0.0) {
        memory.anchored = true;
        memory.anchorTime = report.timestamp;
        memory.anchorLatitude = report.latitude;
        memory.anchorLongitude = report.longitude;
    }
    if (!memory.groundSpeed || !memory.track)
        return false;
    report.groundSpeed = *memory.groundSpeed;
    report.track = *memory.track;
    return true;
}

} // namespace kvr
