// The choice of the park airport: on the ground the user's closest airport with a stand file, in the air
// the first park airport once it comes within sight. Loading and unloading it, the user's reserved stand,
// the Re-read of the park airports and a new destination.
#include "core/day_time.h"
#include "core/geodesy.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "parking/learned_file.h"
#include "parking/park_airport.h"
#include "parking/park_airport_internal.h"
#include "parking/park_stands.h"
#include "parking/parking_hooks.h"
#include "parking/stand_lookup.h"
#include "parking/stand_names.h"
#include "parking/static_parking.h"
#include "parking/static_parking_internal.h"
#include "refdata/closest_airport.h"
#include "settings/control_services.h"
#include "settings/parameter_table.h"
#include "simlink/sim_link_state.h"
#include "traffic_service/readers.h"

#include <fmt/format.h>

#include <cmath>
#include <mutex>

namespace kvr {

ParkAirportFileInfo parkAirportFileInfo;

namespace {

constexpr double noPositionDegrees = 0.0001;
constexpr double samePositionDegrees = 1e-8;

// The reserved stand is shown by the window's thread.
std::mutex reservedStandMutex;
std::string reservedStandName; // guarded by reservedStandMutex

double lastLatitude = 0.0;
double lastLongitude = 0.0;

void lf_hooked(const std::function<void()>& hook) {
    if (hook)
        hook();
}

bool lf_controlsBusy() {
    const auto& busy = gf_parkingHooks().controlsBusy;
    return busy && busy();
}

void lf_setParkAirportText(const std::string& text) {
    statusDisplay.changeTexts([&text](StatusTexts& texts) { texts.parkAirportText = text; });
    gf_invalidateArea(ScreenArea::whole);
}

double lf_distanceFromUser(const UserAcData& user, double latitude, double longitude) {
    return gf_distanceNm(user.latitude, user.longitude, latitude, longitude);
}

bool lf_inSight(double distanceNm, const UserAcData& user) {
    return distanceNm <= AIRP_RANGE.value() && user.altitude <= AIRP_HEIGHT.value();
}

// The first entry of the park-airport list, copied under the lock.
std::optional<ParkAirport> lf_firstParkAirport() {
    std::lock_guard lock(parkAirportMutex);
    if (parkAirports.empty())
        return std::nullopt;
    return parkAirports.front();
}

void lf_updateDistances(const UserAcData& user) {
    std::lock_guard lock(parkAirportMutex);
    if (parkAirports.empty())
        return;
    if (std::abs(user.latitude - lastLatitude) < samePositionDegrees &&
        std::abs(user.longitude - lastLongitude) < samePositionDegrees) {
        ParkAirport& first = parkAirports.front();
        first.distanceNm = lf_distanceFromUser(user, first.latitude, first.longitude);
        return;
    }
    lastLatitude = user.latitude;
    lastLongitude = user.longitude;
    // Every distance stays current; a destination stays first whatever is nearer.
    for (ParkAirport& entry : parkAirports)
        entry.distanceNm = lf_distanceFromUser(user, entry.latitude, entry.longitude);
    if (DESTINATION.empty())
        parkAirports.sort(
            [](const ParkAirport& a, const ParkAirport& b) { return a.distanceNm < b.distanceNm; });
}

// The file gives the entries in its own order: the destination goes first again, and without one the
// next tick sorts the list by distance as if the user had moved.
void lf_restoreParkAirportOrder() {
    std::lock_guard lock(parkAirportMutex);
    lastLatitude = 0.0;
    lastLongitude = 0.0;
    const std::string destination = DESTINATION.value();
    if (destination.empty())
        return;
    const auto entry =
        std::find_if(parkAirports.begin(), parkAirports.end(),
                     [&destination](const ParkAirport& airport) { return airport.code == destination; });
    if (entry != parkAirports.end())
        parkAirports.splice(parkAirports.begin(), parkAirports, entry);
}

void lf_refreshParkedCounts() {
    statusDisplay.staticAircraftCount = lf_countStaticInSim(true);
    statusDisplay.parkedLiveCount = lf_countParkedLive(true);
    gf_invalidateArea(ScreenArea::trafficPane);
}

// Learns the user's stand while the park airport's stand file is read: the park airport becomes the
// first entry (added when it is not) and its reserved stand the stand the user aircraft stands at.
void lf_learnStandAtLoading() {
    const UserAcData user = gf_latestUserAcData();
    const std::string name = gf_nearestStandName(user.latitude, user.longitude);
    std::lock_guard lock(parkAirportMutex);
    if (!parkAirports.empty() && parkAirports.front().code == currentParkAirport.code) {
        ParkAirport& first = parkAirports.front();
        if (name.empty() || name == first.reservedStand)
            return;
        first.reservedStand = name;
    } else {
        parkAirports.push_front(
            {currentParkAirport.code, name, currentParkAirport.latitude, currentParkAirport.longitude, 0.0});
    }
    lf_writeMyParkAirports();
}

void lf_takeReservedStandFromList() {
    std::string reserved;
    {
        std::lock_guard lock(parkAirportMutex);
        if (!parkAirports.empty() && parkAirports.front().code == currentParkAirport.code)
            reserved = parkAirports.front().reservedStand;
    }
    const bool found = !reserved.empty() && lf_findStandByName(reserved) != standList.end();
    lf_setReservedStandName(found ? reserved : std::string());
    statusDisplay.reservedStandFound = found;
}

} // namespace

void lf_setReservedStandName(std::string name) {
    std::lock_guard lock(reservedStandMutex);
    reservedStandName = std::move(name);
}

std::string gf_reservedStandName() {
    std::lock_guard lock(reservedStandMutex);
    return reservedStandName;
}

void gf_removeParkedAtReservedStand() {
    const std::string reserved = gf_reservedStandName();
    if (reserved.empty())
        return;
    if (const auto stand = lf_findStandByName(reserved); stand != standList.end())
        lf_removeParkedAtStand(&*stand);
}

void gf_parkAirportTick(bool loadAtOnce) {
    if (lf_controlsBusy() && parkPositions.empty()) {
        lf_hooked(gf_parkingHooks().enableControlsAfterBusy);
        gf_clearMessage();
        lf_refreshParkedCounts();
    }
    if (parkAirportLoadPending) {
        gf_clearMessage();
        parkAirportLoadPending = false;
        lf_loadParkAirport();
        return;
    }
    const UserAcData user = gf_latestUserAcData();
    if (std::abs(user.latitude) <= noPositionDegrees && std::abs(user.longitude) <= noPositionDegrees)
        return;
    lf_updateDistances(user);
    if (!currentParkAirport.code.empty())
        lf_reportParkAirportSight(user);
    else
        lf_checkUserOnGround(user, loadAtOnce);
}

void lf_checkUserOnGround(const UserAcData& user, bool loadAtOnce) {
    if (userOnGround) {
        const auto code = gf_closestAirport(user.latitude, user.longitude);
        if (!code) {
            gf_showMessage("User aircraft on the ground, no RT supported airport in sight", true);
            return;
        }
        if (!gf_airportFileExists(*code)) {
            gf_showMessage(
                fmt::format("User aircraft on the ground at {}", *code) + ", no airport file found", true);
            return;
        }
        gf_logLine(fmt::format("User aircraft on the ground at {}", *code));
        if (!lf_setParkAirport(*code))
            return;
        if (loadAtOnce) {
            parkAirportLoadPending = false;
            lf_loadParkAirport();
        } else {
            parkAirportLoadPending = true;
            lf_requestStaticParking(false);
        }
        return;
    }
    gf_enableControl(DESTINATION);
    const auto first = lf_firstParkAirport();
    if (!first)
        return;
    const double distance = lf_distanceFromUser(user, first->latitude, first->longitude);
    if (lf_inSight(distance, user) && lf_setParkAirport(first->code)) {
        gf_showMessage(fmt::format("{} in sight at {:.1F} nm", first->code, distance), true);
        parkAirportLoadPending = true;
        lf_requestStaticParking(false);
    }
}

void lf_reportParkAirportSight(const UserAcData& user) {
    if (userOnGround)
        return;
    const double current =
        lf_distanceFromUser(user, currentParkAirport.latitude, currentParkAirport.longitude);
    if (lf_inSight(current, user)) {
        const auto first = lf_firstParkAirport();
        if (!first || first->code == currentParkAirport.code)
            return;
        const double firstDistance = lf_distanceFromUser(user, first->latitude, first->longitude);
        if (!lf_inSight(firstDistance, user) || current < firstDistance)
            return;
        gf_logLine(fmt::format("\n{} {} is in sight ({:.1F} nm), parked aircraft at {} will be removed first",
                               gf_clockText(), first->code, firstDistance,
                               gf_airportDisplayText(currentParkAirport)));
    } else {
        gf_logLine(fmt::format("\n{} {} is out of sight ({:.1F} nm), parked aircraft will be removed",
                               gf_clockText(), gf_airportDisplayText(currentParkAirport), current));
    }
    gf_clearParkTraffic();
}

bool lf_setParkAirport(const std::string& code) {
    const auto airport = gf_findAirport(code);
    if (!airport) {
        lf_setParkAirportText(std::string());
        return false;
    }
    {
        std::lock_guard lock(parkAirportMutex);
        currentParkAirport = *airport;
    }
    const std::string text = gf_airportDisplayText(*airport);
    gf_logLine("\nThe park airport is " + text);
    lf_setParkAirportText(text);
    return true;
}

void lf_loadParkAirport() {
    const std::string text = lf_readParkedFile();
    if (!text.empty()) {
        lf_hooked(gf_parkingHooks().enableControlsAfterBusy);
        gf_showMessage(text, true);
        lf_unloadParkAirport();
    } else {
        lf_hooked(gf_parkingHooks().restartStaticUpdateCountdown);
        trafficReader.setGroundElevation(currentParkAirport.altitude);
        lf_calculateParkPositions();
    }
    gf_enableControl(DESTINATION);
    gf_flushLog();
}

std::string lf_readParkedFile() {
    gf_clearStands();
    gf_publishStandNames();
    const std::string path = gf_findArchivedStockApf(currentParkAirport.code);
    if (path.empty())
        return fmt::format("{} {} not found", "lf_readParkedFile", currentParkAirport.code);

    parkAirportFileInfo = ParkAirportFileInfo{};
    std::string text = gf_readApf(path, parkAirportFileInfo);
    gf_publishStandNames();
    if (text.empty()) {
        if (userAcDataValid)
            lf_learnStandAtLoading();
        standList.shrink_to_fit();
        lf_takeReservedStandFromList();
    }
    statusDisplay.standFileLoaded = text.empty();
    statusDisplay.changeTexts([](StatusTexts& texts) { texts.standFileName = parkAirportFileInfo.fileName; });
    gf_invalidateArea(ScreenArea::whole);
    learnedUpdateCount = 0;
    statusDisplay.numberOfUpdates = 0;
    return text;
}

void lf_unloadParkAirport(LearnedSaving saving) {
    if (parkAirportLoaded) {
        // The learned file holds the airport's own settings, so it is written while they are in force.
        lf_saveLearnedAirports(saving);
        gf_applyAirportParameters();
    }
    handmadeApf = false;
    parkAirportLoaded = false;

    if (!INITIAL_LOAD_ONLY.value())
        gf_disableControl(nowButton);
    gf_disableControl(flushStaticButton);

    {
        std::lock_guard lock(parkAirportMutex);
        currentParkAirport = Airport{};
    }
    lf_setParkAirportText(std::string());
    trafficReader.setGroundElevation(std::nullopt);
    if (const auto& setAltitude = gf_parkingHooks().setGroundReferenceAltitude)
        setAltitude(std::nullopt);

    removalList.clear();
    parkPositions.clear();
    gf_clearStands();
    gf_publishStandNames();
    statusDisplay.standFileLoaded = false;
    statusDisplay.reservedStandFound = false;
    statusDisplay.changeTexts([](StatusTexts& texts) { texts.standFileName.clear(); });
    lf_setReservedStandName(std::string());
    gf_invalidateArea(ScreenArea::whole);
}

void lf_requestStaticParking(bool showText) {
    lf_hooked(gf_parkingHooks().disableControlsWhileBusy);
    trafficReader.collectLiveAircraft = true;
    if (showText)
        gf_showMessage("Calculating static parked aircraft ...");
}

bool gf_checkParkAirportStands(bool checkReserved, std::string& text) {
    const bool read = gf_readMyParkAirports();
    lf_restoreParkAirportOrder();
    if (!read)
        return false;
    if (checkReserved && userAcDataValid && !lf_controlsBusy() &&
        statusDisplay.texts().userStandName.empty()) {
        const auto first = lf_firstParkAirport();
        const std::string previous = gf_reservedStandName();
        if (first && first->code == currentParkAirport.code && !first->reservedStand.empty() &&
            first->reservedStand != previous) {
            text = fmt::format("reserved stand changed from '{}' to '{}'", previous, first->reservedStand);
            if (!previous.empty())
                if (auto stand = lf_findStandByName(previous); stand != standList.end())
                    stand->reservedForUser = false;
            lf_setReservedStandName(first->reservedStand);
            const auto stand = lf_findStandByName(first->reservedStand);
            if (stand != standList.end()) {
                lf_removeParkedAtStand(&*stand);
                stand->reservedForUser = true;
            }
            statusDisplay.reservedStandFound = stand != standList.end();
            gf_invalidateArea(ScreenArea::whole);
        }
    }
    if (text.empty())
        text = "park airports and stands are okay";
    return true;
}

void gf_addDestinationParkAirport(const std::string& code, double latitude, double longitude) {
    std::lock_guard lock(parkAirportMutex);
    const auto entry = std::find_if(parkAirports.begin(), parkAirports.end(),
                                    [&code](const ParkAirport& airport) { return airport.code == code; });
    if (entry == parkAirports.end()) {
        parkAirports.push_front({code, std::string(), latitude, longitude, 0.0});
        lf_writeMyParkAirports();
        return;
    }
    parkAirports.splice(parkAirports.begin(), parkAirports, entry);
}

} // namespace kvr
