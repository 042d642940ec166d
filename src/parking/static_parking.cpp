// Static parking from the service's parked traffic: each reported parked aircraft goes to the nearest
// free stand, learned stand options fill the stands up to the wanted number, and the result waits in
// parkPositions for the traffic engine.
#include "parking/static_parking.h"
#include "core/day_time.h"
#include "core/log.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "core/text_util.h"
#include "parking/parking_hooks.h"
#include "parking/static_parking_internal.h"
#include "refdata/aircraft_dbase.h"
#include "settings/parameter_table.h"
#include "simlink/sim_link_state.h"

#include <fmt/format.h>
#include <gsl/narrow>

#include <algorithm>
#include <array>
#include <cmath>

namespace kvr {

namespace {

constexpr double parkedTrafficReachNm = 110.0 / standNmToMetres;

const char* lf_weekdayName(std::uint32_t day) {
    static constexpr std::array<const char*, 7> names{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    return day >= 1 && day <= 7 ? names[day - 1] : "???";
}

void lf_hooked(const std::function<void()>& hook) {
    if (hook)
        hook();
}

bool lf_byAgeAscending(const ParkPosition& a, const ParkPosition& b) {
    return a.age < b.age;
}

// Stands held by static aircraft count as free for the parked traffic: the aircraft reported there
// either is that static aircraft or replaces it. Stands held by live aircraft stay taken.
class StaticStandsFreed {
public:
    StaticStandsFreed() {
        for (const StaticAc& aircraft : staticAcList) {
            Stand* stand = lf_parkStandByNumber(aircraft.standNumber);
            if (!stand || !stand->occupied || aircraft.removed || lf_heldByLive(stand->number))
                continue;
            stand->occupied = false;
            freed_.push_back(stand->number);
        }
    }
    ~StaticStandsFreed() {
        for (const std::uint32_t number : freed_)
            if (Stand* stand = lf_parkStandByNumber(number))
                stand->occupied = true;
    }
    StaticStandsFreed(const StaticStandsFreed&) = delete;
    StaticStandsFreed& operator=(const StaticStandsFreed&) = delete;

private:
    static bool lf_heldByLive(std::uint32_t number) {
        return std::any_of(liveAcList.begin(), liveAcList.end(), [number](const LiveAc& aircraft) {
            return !aircraft.removed && aircraft.standNumber == number;
        });
    }
    std::vector<std::uint32_t> freed_;
};

bool lf_isSeenLive(const ParkedAircraft& record) {
    return seenLiveMaps.addresses.contains(record.address) ||
           seenLiveMaps.callsigns.contains(record.callsign) ||
           seenLiveMaps.callsigns.contains(record.callsign + "_");
}

bool lf_isLiveNow(const ParkedAircraft& record) {
    return std::any_of(liveAcList.begin(), liveAcList.end(), [&record](const LiveAc& live) {
        return !live.removed && lf_isSameAircraft(record, live);
    });
}

// Whether an aircraft already placed on a stand overlapping this one stands too close to it.
bool lf_crowdedByNeighbour(const Stand& stand, double halfWingspan) {
    for (const std::uint32_t number : stand.overlapping) {
        const Stand* neighbour = lf_parkStandByNumber(number);
        if (!neighbour)
            continue;
        for (const ParkPosition& position : parkPositions)
            if (position.standNumber == number &&
                lf_standDistanceNm(stand, *neighbour) < gf_getWingspan(position.type) + halfWingspan)
                return true;
    }
    return false;
}

// A static aircraft from parked traffic on the stand: the one that parked later (the younger) keeps it.
// True when the static aircraft stays (the record is not placed).
bool lf_staticKeepsStand(const ParkedAircraft& record, Stand& stand, DaySlot now) {
    const std::string ownTail = record.callsign + "*";
    for (const StaticAc& aircraft : staticAcList) {
        if (aircraft.kind != 0 || aircraft.standNumber != stand.number || aircraft.callsign == ownTail ||
            !lf_isActiveStatic(aircraft))
            continue;
        const std::int64_t age = lf_ageSlots(now, aircraft.weekday, aircraft.slot);
        if (record.age > age) {
            std::string callsign = aircraft.callsign;
            if (!callsign.empty())
                callsign.pop_back();
            parkPositions.push_back({aircraft.id, 0, stand.number, static_cast<std::uint32_t>(age),
                                     aircraft.operatorCode, aircraft.icaoType, std::move(callsign), "",
                                     aircraft.registration, true});
            // The kept aircraft holds the stand: no second record may be compared with it again.
            lf_chooseStand(stand);
            return true;
        }
        lf_addToRemovalList(aircraft);
        return false;
    }
    return false;
}

} // namespace

DaySlot lf_logDayAndHour() {
    const DaySlot now = lf_nowDaySlot();
    gf_logLine(fmt::format("\n{} (utc) It is day {} ({}), {:.1F} hours", gf_clockText(), now.day,
                           lf_weekdayName(now.day), lf_hoursOf(now.slot)));
    return now;
}

std::int64_t lf_wantedParkCount() {
    const std::int64_t max = MAX_PARK_SEL.value();
    if (max <= 0) {
        statusDisplay.wantedMaxParkCount = 0;
        statusDisplay.wantedMaxParkPercentage = parking_percentage.value();
        return 0;
    }
    const std::int64_t pct = CUSTOM_PARKING_PERCENTAGE.value() >= 0 ? CUSTOM_PARKING_PERCENTAGE.value()
                                                                    : parking_percentage.value();
    const auto stands = static_cast<std::int64_t>(standList.size());
    std::int64_t wanted = 1;
    if (stands > 1 && (stands > 3 || pct >= 50))
        wanted = gsl::narrow<std::int64_t>(std::round(static_cast<double>(pct * stands) / 100.0));
    wanted = std::min(max, wanted);
    statusDisplay.wantedMaxParkCount = gsl::narrow<int>(wanted);
    statusDisplay.wantedMaxParkPercentage =
        gf_percentage(static_cast<double>(wanted), static_cast<double>(stands));
    return wanted;
}

void lf_markReservedStands() {
    const std::string reserved = gf_reservedStandName();
    if (!reserved.empty())
        if (auto stand = lf_findStandByName(reserved); stand != standList.end())
            stand->reservedForUser = true;
    const UserAcData user = gf_latestUserAcData();
    const std::string name = gf_nearestStandName(user.latitude, user.longitude);
    if (!name.empty() && name != reserved)
        if (auto stand = lf_findStandByName(name); stand != standList.end())
            stand->reservedForUser = true;
}

bool lf_isSameAircraft(const ParkedAircraft& record, const LiveAc& live) {
    if (record.address == live.id)
        return true;
    if (record.callsign == live.callsign || live.callsign == record.callsign + "_")
        return true;
    return !record.registration.empty() && record.registration == live.registration;
}

void lf_assignPtToStands(const std::vector<ParkedAircraft>& records) {
    const std::int64_t wanted = lf_wantedParkCount();
    const bool parkTrafficOnly = RT_PARKTRAFFIC_ONLY.value();
    if (wanted == 0 && !parkTrafficOnly)
        return;
    const DaySlot now = lf_nowDaySlot();
    const StaticStandsFreed freed;
    for (const ParkedAircraft& record : records) {
        if (!parkTrafficOnly && static_cast<std::int64_t>(parkPositions.size()) >= wanted)
            break;
        if (record.callsign.empty() || lf_isSeenLive(record) || lf_isLiveNow(record))
            continue;

        AircraftBase head = record;
        bool cargo = false;
        if (!record.registration.empty())
            if (const auto known = gf_lookupRegistration(record.registration))
                cargo = known->cargo;
        if (head.operatorCode.empty() && !gf_setAirlineFromCallsign(head))
            head.operatorCode = "PVT";
        AcRecord aircraft = gf_makeAcRecord(head);
        aircraft.cargo = cargo;

        const auto found =
            lf_findNearestStand(record.latitude, record.longitude, aircraft, parkedTrafficReachNm, false);
        if (found == standList.end()) {
            gf_logIndented(fmt::format("[{:10}: {:8x} {:8} {:12}, hh:{} ===> no stand for PT {}",
                                       record.standName, record.address, record.callsign, record.registration,
                                       record.age,
                                       fmt::format("{:.6f},{:.6f}", record.latitude, record.longitude)));
            continue;
        }
        Stand& stand = *found;
        if (stand.reservedForUser || stand.chosen)
            continue;
        if (stand.blocked && lf_crowdedByNeighbour(stand, aircraft.halfWingspan))
            continue;
        if (lf_staticKeepsStand(record, stand, now))
            continue;
        parkPositions.push_back({record.address, 0, stand.number, static_cast<std::uint32_t>(record.age),
                                 head.operatorCode, head.icaoType, record.callsign, "", record.registration,
                                 true});
        lf_chooseStand(stand);
    }
}

void lf_calculateParkPositions() {
    const DaySlot now = lf_logDayAndHour();
    lf_hooked(gf_parkingHooks().disableControlsWhileBusy);

    parkPositions.clear();
    candidateList.clear();
    liveParkedList.clear();
    statusDisplay.learnedFitAverage = -1.0f;
    statusDisplay.parkedTrafficFitAverage = -1.0f;
    statusDisplay.softFit = false;
    statusDisplay.weekFit = false;
    gf_invalidateArea(ScreenArea::trafficPane);

    lf_takeSeenLiveMaps();
    for (Stand& stand : standList) {
        stand.reservedForUser = false;
        stand.blocked = false;
        stand.chosen = false;
    }
    lf_markReservedStands();

    const bool parkTrafficOnly = RT_PARKTRAFFIC_ONLY.value();
    if (MAX_PARK_SEL.value() > 0) {
        if (const auto records = lf_receiveParkedTraffic())
            lf_assignPtToStands(*records);
        if (!parkTrafficOnly)
            gf_logLine(fmt::format("{} parking position{} from PT", parkPositions.size(),
                                   gf_pluralSuffix(parkPositions.size())));
    }
    if (!parkTrafficOnly) {
        const std::int64_t wanted = lf_wantedParkCount();
        if (wanted > static_cast<std::int64_t>(parkPositions.size()))
            lf_addLearnedPositions(now, wanted, 0);
        std::stable_sort(parkPositions.begin(), parkPositions.end(), lf_byAgeAscending);
        if (static_cast<std::int64_t>(parkPositions.size()) > wanted)
            parkPositions.resize(static_cast<std::size_t>(std::max<std::int64_t>(wanted, 0)));
    }

    const std::size_t n = parkPositions.size();
    if (n == 0) {
        gf_logLine("no parking positions found");
        lf_hooked(gf_parkingHooks().enableControlsAfterBusy);
        return;
    }
    const int pct = standList.empty() ? 0
                                      : gsl::narrow<int>(std::round(static_cast<double>(n) * 100.0 /
                                                                    static_cast<double>(standList.size())));
    if (parkTrafficOnly)
        gf_logLine(fmt::format("{} positions from RT parktraffic only\n", n));
    else
        gf_logLine(fmt::format("{} positions ({}% vs wanted {}%, with Max fit={:.1F} hours)\n", n, pct,
                               parking_percentage.value(), MAX_FIT_FL.value()));
    std::stable_sort(parkPositions.begin(), parkPositions.end(),
                     [](const ParkPosition& a, const ParkPosition& b) { return a.age > b.age; });
}

} // namespace kvr
