// One aircraft shown twice: a live aircraft and a static one that stands for the same airframe or
// flight, or a static one where a live one stands; and the callsign of an aircraft's other flight.
#include "core/geodesy.h"
#include "core/log.h"
#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"

#include <fmt/format.h>

#include <algorithm>

namespace kvr {

namespace {

bool slotNear(std::uint64_t halfHours, int slot) {
    for (int s = slot - 1; s <= slot + 1; ++s)
        if (s >= 0 && s < 48 && (halfHours >> s) & 1u)
            return true;
    return false;
}

bool standsFor(const StaticAc& parked, const std::string& callsign) {
    return parked.callsign == callsign + "*" ||
           (!parked.optionCallsign.empty() && parked.optionCallsign == callsign) ||
           (!parked.optionCallsign2.empty() && parked.optionCallsign2 == callsign);
}

bool stillThere(const StaticAc& parked) {
    return !parked.removed &&
           (parked.simState == SimState::active || parked.simState == SimState::adding2sim);
}

// A live aircraft of this half wingspan standing at the position would touch the static one.
bool inTheWayOf(const StaticAc& parked, double latitude, double longitude, double halfWingspan) {
    return gf_distanceNm(latitude, longitude, parked.latitude, parked.longitude) <=
           (halfWingspan + parked.halfWingspan) * tuning::staticCollisionFactor;
}

} // namespace

void lf_searchForCoupledCsAroundThisTime(DaySlot now, LiveAc& aircraft) {
    aircraft.coupledSearchDone = true;
    if (aircraft.registration.empty())
        return;
    for (const port::Stand& stand : port::standList)
        for (const port::StandOption& option : stand.options) {
            if (option.aircraftId == 0 || option.day != now.day ||
                option.registration != aircraft.registration || !slotNear(option.halfHours, now.slot))
                continue;
            for (const std::string* callsign : {&option.callsign, &option.callsign2})
                if (!callsign->empty() && *callsign != aircraft.reportCallsign) {
                    aircraft.coupledCallsign = *callsign;
                    gf_logIndented(fmt::format("{} {} coupled with {}", aircraft.reportCallsign,
                                               aircraft.registration, aircraft.coupledCallsign));
                    return;
                }
        }
}

void lf_removeDuplicates(LiveAc& aircraft, bool onGround) {
    const bool standing = onGround && !aircraft.samples.empty() && aircraft.samples.front().standing;
    for (StaticAc& parked : staticAcList) {
        if (!stillThere(parked))
            continue;
        const bool sameAirframe =
            !aircraft.registration.empty() && parked.registration == aircraft.registration;
        const bool sameFlight =
            standsFor(parked, aircraft.reportCallsign) ||
            (!aircraft.coupledCallsign.empty() && standsFor(parked, aircraft.coupledCallsign));
        // A live aircraft standing still where a static one was put shows that the static one is wrong.
        const bool inTheWay = standing && inTheWayOf(parked, aircraft.current.latitude,
                                                     aircraft.current.longitude, aircraft.halfWingspan);
        if (!sameAirframe && !sameFlight && !inTheWay)
            continue;
        gf_logIndented(
            fmt::format("static {} removed: duplicate of live {}", parked.callsign, aircraft.callsign));
        removeAircraftFromSim(parked);
    }
}

void lf_makeRoomAtStand(const LiveAc& aircraft, const port::Stand& stand) {
    for (StaticAc& parked : staticAcList) {
        if (!stillThere(parked))
            continue;
        const bool onTheStand = parked.standNumber == stand.number ||
                                std::find(stand.overlapping.begin(), stand.overlapping.end(),
                                          parked.standNumber) != stand.overlapping.end();
        if (!onTheStand && !inTheWayOf(parked, stand.latitude, stand.longitude, aircraft.halfWingspan))
            continue;
        gf_logIndented(fmt::format("static {} removed: live {} parks at {}", parked.callsign,
                                   aircraft.callsign, stand.id));
        removeAircraftFromSim(parked);
    }
}

void lf_checkLiveOnStatic() {
    for (const LiveAc& aircraft : liveAcList) {
        if (aircraft.removed || aircraft.simState != SimState::active)
            continue;
        for (StaticAc& parked : staticAcList)
            if (stillThere(parked) && standsFor(parked, aircraft.reportCallsign)) {
                gf_logIndented(
                    fmt::format("static {} removed: {} is live", parked.callsign, aircraft.callsign));
                removeAircraftFromSim(parked);
            }
    }
}

} // namespace kvr
