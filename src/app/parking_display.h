#pragma once
// Values of the stands subsystem that the traffic pane and the labels show. That subsystem installs its
// source when it is wired in; until then nothing of it is shown.
#include <functional>
#include <string>

namespace kvr {

struct ParkingDisplaySource {
    std::function<std::string()> reservedStandName; // the stand reserved for the user at the park airport
    std::function<int()> rtTrafficWeek;   // RT_traffic_week of the loaded stand file (0 when absent)
    std::function<bool()> tbloZipWaiting; // unrecognised airports wait in tblo.zip to be mailed
};

void gf_installParkingDisplaySource(ParkingDisplaySource source);

std::string gf_reservedStandNameShown();
int gf_rtTrafficWeekShown();
bool gf_tbloZipWaiting();

} // namespace kvr
