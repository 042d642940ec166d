// One aircraft shown twice: a live aircraft and a static one that stands for the same airframe or
// flight, and the callsign of an aircraft's other flight.
#include "core/geodesy.h"
#include "core/log.h"
#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"

#include <fmt/format.h>

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
        const bool inTheWay =
            standing && gf_distanceNm(aircraft.current.latitude, aircraft.current.longitude, parked.latitude,
                                      parked.longitude) <=
                            (aircraft.halfWingspan + parked.halfWingspan) * tuning::staticCollisionFactor;
        if (!sameAirframe && !sameFlight && !inTheWay)
            continue;
        gf_logIndented(
            fmt::format("static {} removed: duplicate of live {}", parked.callsign, aircraft.callsign));
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
