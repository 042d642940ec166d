#include "app/feature_hooks.h"

#include "core/log.h"

#include <atomic>
#include <mutex>

namespace kvr {

namespace {

// One line per missing feature and process, from whichever thread asks first.
class MissingFeature {
public:
    explicit MissingFeature(const char* name) : name_(name) {}
    void report() {
        if (!reported_.exchange(true))
            gf_logLine(std::string(name_) + " is not available in this build");
    }

private:
    const char* name_;
    std::atomic<bool> reported_{false};
};

MissingFeature parkAirportChoice("The park-airport choice");
MissingFeature staticParking("Static parking");
MissingFeature addonAirportScan("The add-on airport scan");

std::mutex servicesMutex;
ParkAirportServices parkAirports;
StaticParkingServices staticParkingServices;
AddonAirportScanServices airportScan;

template <typename Services> Services lf_copy(const Services& services) {
    std::lock_guard lock(servicesMutex);
    return services;
}

} // namespace

void gf_installParkAirportServices(ParkAirportServices services) {
    std::lock_guard lock(servicesMutex);
    parkAirports = std::move(services);
}

void gf_installStaticParkingServices(StaticParkingServices services) {
    std::lock_guard lock(servicesMutex);
    staticParkingServices = std::move(services);
}

void gf_installAddonAirportScanServices(AddonAirportScanServices services) {
    std::lock_guard lock(servicesMutex);
    airportScan = std::move(services);
}

bool lf_readMyParkAirports() {
    if (const auto read = lf_copy(parkAirports).readMyParkAirports)
        return read();
    parkAirportChoice.report();
    return true; // no file, no park airport
}

void lf_parkAirportTick(bool loadAtOnce) {
    if (const auto tick = lf_copy(parkAirports).parkAirportTick)
        return tick(loadAtOnce);
    parkAirportChoice.report();
}

bool lf_checkParkAirportStands(bool checkReserved, std::string& text) {
    if (const auto check = lf_copy(parkAirports).checkParkAirportStands)
        return check(checkReserved, text);
    parkAirportChoice.report();
    return false;
}

void gf_learnUserStand() {
    if (const auto learn = lf_copy(parkAirports).learnUserStand)
        return learn();
    parkAirportChoice.report();
}

std::string gf_reservedStandName() {
    if (const auto name = lf_copy(parkAirports).reservedStandName)
        return name();
    return {};
}

std::optional<double> gf_firstParkAirportDistanceNm(double latitude, double longitude) {
    if (const auto distance = lf_copy(parkAirports).firstParkAirportDistanceNm)
        return distance(latitude, longitude);
    return std::nullopt;
}

void lf_applyParkTrafficChanges(bool parkTrafficOnlyChanged) {
    if (const auto apply = lf_copy(staticParkingServices).applyParkTrafficChanges)
        return apply(parkTrafficOnlyChanged);
    staticParking.report();
}

void lf_clearParkTraffic() {
    if (const auto clear = lf_copy(staticParkingServices).clearParkTraffic)
        return clear();
    staticParking.report();
}

void gf_scanAddonAirports() {
    if (const auto scan = lf_copy(airportScan).scanAddonAirports)
        return scan();
    addonAirportScan.report();
}

bool gf_tbloZipWaitingFromScan() {
    const auto waiting = lf_copy(airportScan).tbloZipWaiting;
    return waiting && waiting();
}

} // namespace kvr
