#pragma once
// Services that the run thread, the session loop and the rounds call in features this build does not
// have yet: the park airports and their choice, static parking from parked traffic, the add-on airport
// scan. Each feature installs its services when it is built; until then every
// call behaves as the feature behaves when it finds nothing (no park airport, nothing scanned, nothing
// changed) and the first call logs "<feature> is not available in this build", once per feature and
// process.
#include <functional>
#include <optional>
#include <string>

namespace kvr {

struct ParkAirportServices {
    // Reads my_park_airports.txt; false when a line named an unknown airport or the reading failed.
    std::function<bool()> readMyParkAirports;
    // The park-airport tick of the session loop; true once before the first tick.
    std::function<void(bool loadAtOnce)> parkAirportTick;
    // The Re-read: true when it filled the text to show.
    std::function<bool(bool checkReserved, std::string& text)> checkParkAirportStands;
    // Remembers the user's stand at the park airport (simulator link thread).
    std::function<void()> learnUserStand;
    // The stand reserved for the user at the park airport; empty when none.
    std::function<std::string()> reservedStandName;
    // Distance from the position to the first park airport; none while the list is empty.
    std::function<std::optional<double>(double latitude, double longitude)> firstParkAirportDistanceNm;
};

struct StaticParkingServices {
    // The second phase of a static-parking update.
    std::function<void(bool parkTrafficOnlyChanged)> applyParkTrafficChanges;
    // Saves the learned stand files and removes the park traffic (closing down).
    std::function<void()> clearParkTraffic;
};

struct AddonAirportScanServices {
    std::function<void()> scanAddonAirports;
    // Unrecognised airports wait in tblo.zip to be mailed.
    std::function<bool()> tbloZipWaiting;
};

void gf_installParkAirportServices(ParkAirportServices services);
void gf_installStaticParkingServices(StaticParkingServices services);
void gf_installAddonAirportScanServices(AddonAirportScanServices services);

// The callers.
bool lf_readMyParkAirports();
void lf_parkAirportTick(bool loadAtOnce);
bool lf_checkParkAirportStands(bool checkReserved, std::string& text);
void gf_learnUserStand();
std::string gf_reservedStandName();
std::optional<double> gf_firstParkAirportDistanceNm(double latitude, double longitude);
void lf_applyParkTrafficChanges(bool parkTrafficOnlyChanged);
void lf_clearParkTraffic();
void gf_scanAddonAirports();
bool gf_tbloZipWaitingFromScan();

} // namespace kvr
