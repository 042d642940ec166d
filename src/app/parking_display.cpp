#include "app/parking_display.h"

#include <mutex>

namespace kvr {

namespace {

std::mutex sourceMutex;
ParkingDisplaySource installedSource;

ParkingDisplaySource lf_source() {
    std::lock_guard lock(sourceMutex);
    return installedSource;
}

} // namespace

void gf_installParkingDisplaySource(ParkingDisplaySource source) {
    std::lock_guard lock(sourceMutex);
    installedSource = std::move(source);
}

std::string gf_reservedStandNameShown() {
    const auto source = lf_source();
    return source.reservedStandName ? source.reservedStandName() : std::string();
}

int gf_rtTrafficWeekShown() {
    const auto source = lf_source();
    return source.rtTrafficWeek ? source.rtTrafficWeek() : 0;
}

bool gf_tbloZipWaiting() {
    const auto source = lf_source();
    return source.tbloZipWaiting && source.tbloZipWaiting();
}

} // namespace kvr
