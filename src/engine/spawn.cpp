// From a stream of samples to an aircraft waiting for its creation: operator, cargo, ghosts, livery, phase
// and first position.
#include "core/log.h"
#include "core/no_match_names.h"
#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"

#include <fmt/format.h>

#include <algorithm>

namespace kvr {

namespace {

double latestReportTime(const LiveAc& aircraft) {
    return aircraft.samples.empty() ? 0.0 : aircraft.samples.back().timestamp;
}

bool tailNumberInUse(const std::string& tail) {
    const auto sameTail = [&tail](const auto& item) { return !item.removed && item.callsign == tail; };
    return std::any_of(liveAcList.begin(), liveAcList.end(), sameTail) ||
           std::any_of(createDequeLive.begin(), createDequeLive.end(),
                       [&tail](const port::CreateRequest& request) { return request.tailNumber == tail; });
}

void forgetSpawnedCallsign(const std::string& callsign) {
    const auto found = std::find(spawnedCallsigns.begin(), spawnedCallsigns.end(), callsign);
    if (found != spawnedCallsigns.end())
        spawnedCallsigns.erase(found);
}

// The live aircraft spawned with the same reported callsign and another address.
LiveAc* spawnedWithCallsign(const LiveAc& newcomer) {
    for (LiveAc& other : liveAcList)
        if (&other != &newcomer && !other.removed && other.reportCallsign == newcomer.reportCallsign &&
            (other.simState == SimState::adding2sim || other.simState == SimState::active))
            return &other;
    return nullptr;
}

} // namespace

bool lf_readyToSpawn(const LiveAc& aircraft, std::int64_t tick) {
    if (aircraft.liveryRefused || aircraft.samples.empty())
        return false;
    const PositionSample& first = aircraft.samples.front();
    // Counted as received, not as kept: when all of them are already due only the last is kept.
    return first.dueTick <= tick && (aircraft.samplesReceived >= 2 || first.standing);
}

void lf_removeGhost(LiveAc& staler) {
    gf_logIndented(fmt::format("ghost {} {:06X} removed", staler.callsign, staler.id));
    forgetSpawnedCallsign(staler.reportCallsign);
    removeAircraftFromSim(staler);
}

bool lf_prepareSpawn(LiveAc& aircraft) {
    if (aircraft.operatorCode.empty() && !gf_setAirlineFromCallsign(aircraft))
        aircraft.operatorCode = "PVT";
    if (!aircraft.registration.empty() && port::registrationIsCargo(aircraft.registration))
        aircraft.cargo = true;

    const bool listed = std::find(spawnedCallsigns.begin(), spawnedCallsigns.end(),
                                  aircraft.reportCallsign) != spawnedCallsigns.end();
    if (LiveAc* other = listed ? spawnedWithCallsign(aircraft) : nullptr) {
        if (latestReportTime(aircraft) <= latestReportTime(*other)) {
            gf_logIndented(fmt::format("ghost {} {:06X} dropped", aircraft.reportCallsign, aircraft.id));
            aircraft.removed = true;
            return false;
        }
        lf_removeGhost(*other);
        std::string tail = aircraft.reportCallsign + "_";
        while (tailNumberInUse(tail))
            tail += '_';
        aircraft.callsign = std::move(tail);
    }
    if (std::find(spawnedCallsigns.begin(), spawnedCallsigns.end(), aircraft.reportCallsign) ==
        spawnedCallsigns.end())
        spawnedCallsigns.push_back(aircraft.reportCallsign);
    return true;
}

void spawnLiveAc(LiveAc& aircraft) {
    const std::int64_t tick = trafficTick.load();
    if (!lf_prepareSpawn(aircraft))
        return;

    if (const auto cached = spawnCache.find(aircraft.id); cached != spawnCache.end()) {
        aircraft.liveryTitle = cached->second.title;
        aircraft.fsltl = cached->second.fsltl;
    } else {
        lf_liveryMatchers().live(aircraft);
        if (!aircraft.liveryTitle.empty())
            spawnCache.emplace(aircraft.id, SpawnCacheEntry{aircraft.liveryTitle, aircraft.fsltl});
    }
    if (aircraft.liveryTitle.empty()) {
        aircraft.liveryRefused = true;
        forgetSpawnedCallsign(aircraft.reportCallsign);
        if (!aircraft.registration.empty())
            gf_addNoMatchName(gf_describeFlightLong(aircraft));
        return;
    }

    const PositionSample& first = aircraft.samples.front();
    aircraft.onGround = !first.airborne;
    aircraft.current = lf_sampleStateAt(aircraft, tick);
    aircraft.segmentDueTick = -1;
    if (first.airborne) {
        aircraft.phase = AcPhase::flying;
        aircraft.current.pitch = lf_pitchForClimb(first.groundSpeed, first.verticalRate);
    } else if (first.standing) {
        const auto stand = lf_findStandHolding(first.latitude, first.longitude, aircraft);
        if (stand != port::standList.end()) {
            lf_takeStand(aircraft, *stand);
            lf_arriveAtStand(aircraft, tick);
        } else
            aircraft.phase = AcPhase::taxi;
    } else if (first.groundSpeed > tuning::takeOffSpeedKt) {
        const bool liftingOff =
            aircraft.samples.size() >= 2 &&
            (aircraft.samples[1].airborne || aircraft.samples[1].groundSpeed > first.groundSpeed);
        aircraft.phase = liftingOff ? AcPhase::take_off : AcPhase::landing;
    } else {
        aircraft.phase = AcPhase::taxi;
    }
    aircraft.simState = SimState::adding2sim;
    createDequeLive.push_back(lf_makeLiveCreateRequest(aircraft));
}

} // namespace kvr
