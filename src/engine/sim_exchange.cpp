// The engine's tick and its exchange with the simulator link: the position updates of every tick, the
// throttled creations and removals, and the notifications that come back.
#include "core/log.h"
#include "core/user_error.h"
#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"
#include "refdata/airport_table.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

#include <algorithm>
#include <limits>

namespace kvr {

namespace {

constexpr std::int64_t longAgo = std::numeric_limits<std::int64_t>::min() / 2;

std::deque<port::SimObjectId> pendingRemovals;
std::int64_t lastCreationTick = longAgo;
std::int64_t lastRemovalTick = longAgo;
std::vector<port::PositionUpdate> tickUpdates;
bool daySlotKnown = false;

template <typename Aircraft>
Aircraft* findByCreationId(std::vector<Aircraft>& list, std::uint32_t creationId) {
    for (Aircraft& aircraft : list)
        if (aircraft.creationId == creationId && !aircraft.removed &&
            aircraft.simState == SimState::adding2sim)
            return &aircraft;
    return nullptr;
}

template <typename Aircraft>
Aircraft* findByObjectId(std::vector<Aircraft>& list, port::SimObjectId objectId) {
    for (Aircraft& aircraft : list)
        if (aircraft.objectId == objectId && !aircraft.removed)
            return &aircraft;
    return nullptr;
}

void releaseStaticStand(StaticAc& aircraft) {
    if (port::Stand* stand = lf_standByNumber(aircraft.standNumber))
        stand->occupied = false;
}

void releaseLiveStand(LiveAc& aircraft) {
    lf_recordStay(aircraft);
    if (port::Stand* stand = lf_standByNumber(aircraft.standNumber))
        stand->occupied = false;
    aircraft.standNumber = 0;
}

void onObjectCreated(const port::SimNotification& notification) {
    if (LiveAc* live = findByCreationId(liveAcList, notification.aircraftId)) {
        live->objectId = notification.objectId;
        live->simState = SimState::active;
        if (live->removeWhenCreated) {
            removeAircraftFromSim(*live);
            return;
        }
        lf_setNavLights(*live, lf_wantsNavLights(*live));
        duplicateCheckIds.push_back(live->id);
        return;
    }
    if (StaticAc* parked = findByCreationId(staticAcList, notification.aircraftId)) {
        parked->objectId = notification.objectId;
        parked->simState = SimState::active;
        if (parked->removeWhenCreated) {
            removeAircraftFromSim(*parked);
            return;
        }
        lf_setNavLights(*parked, NAV_LIGHTS_WHILE_PARKED.value());
        return;
    }
    // Nobody waits for this object any more: it goes again.
    pendingRemovals.push_back(notification.objectId);
}

void onCreationFailed(const port::SimNotification& notification) {
    const std::size_t failedTitles = port::recordFailedCreation(notification);
    gf_logError(fmt::format("creation of {} failed ({}): '{}'", notification.tailNumber, notification.reason,
                            notification.title));
    if (LiveAc* live = findByCreationId(liveAcList, notification.aircraftId)) {
        spawnCache.erase(live->id);
        releaseLiveStand(*live);
        live->removed = true;
    } else if (StaticAc* parked = findByCreationId(staticAcList, notification.aircraftId)) {
        releaseStaticStand(*parked);
        parked->removed = true;
    }
    if (failedTitles >= tuning::failedTitlesLimit)
        throw UserErrorException(
            81, fmt::format("the simulator could not create {} of the installed liveries; please rescan your "
                            "liveries (check \"Scan liveries\" and restart)",
                            failedTitles));
}

void onObjectRemoved(const port::SimNotification& notification) {
    if (followedObject == notification.objectId)
        followedObject = 0;
    if (LiveAc* live = findByObjectId(liveAcList, notification.objectId)) {
        releaseLiveStand(*live);
        live->removed = true;
    } else if (StaticAc* parked = findByObjectId(staticAcList, notification.objectId)) {
        releaseStaticStand(*parked);
        parked->removed = true;
    }
}

void markRemovalSent(port::SimObjectId objectId) {
    if (LiveAc* live = findByObjectId(liveAcList, objectId))
        live->removed = true;
    else if (StaticAc* parked = findByObjectId(staticAcList, objectId))
        parked->removed = true;
}

void sendNextCreation() {
    if (!createDequeLive.empty()) {
        port::CreateRequest request = std::move(createDequeLive.front());
        createDequeLive.pop_front();
        if (LiveAc* live = findByCreationId(liveAcList, request.aircraftId)) {
            // Where the aircraft is now, not where it was when it joined the queue.
            if (live->phase != AcPhase::parked) {
                const std::int64_t tick = trafficTick.load();
                lf_trimSamples(*live, tick);
                const double pitch = live->current.pitch;
                live->current = lf_sampleStateAt(*live, tick);
                live->current.pitch = pitch;
            }
            port::queueCreate(lf_makeLiveCreateRequest(*live));
        }
        return;
    }
    if (!createDequeStatic.empty()) {
        port::queueCreate(std::move(createDequeStatic.front()));
        createDequeStatic.pop_front();
    }
}

bool updateLiveAircraft(std::int64_t tick, DaySlot now, bool newSecond) {
    bool anyRemoved = false;
    for (LiveAc& aircraft : liveAcList) {
        switch (aircraft.simState) {
        case SimState::buffer:
            if (aircraft.removed)
                break;
            lf_trimSamples(aircraft, tick);
            if (tick - aircraft.samples.back().dueTick > tuning::staleTicks)
                aircraft.removed = true;
            else if (lf_readyToSpawn(aircraft, tick))
                spawnLiveAc(aircraft);
            break;
        case SimState::adding2sim: {
            lf_trimSamples(aircraft, tick);
            const std::int64_t silent = tick - aircraft.samples.back().dueTick;
            if (!aircraft.removeWhenCreated && silent > tuning::staleTicks)
                removeAircraftFromSim(aircraft);
            // A creation the link never answers must not keep the record for good; should the object
            // come after all, nobody waits for it and it is removed again.
            else if (aircraft.removeWhenCreated && silent > 2 * tuning::staleTicks)
                aircraft.removed = true;
            break;
        }
        case SimState::active: {
            port::PositionUpdate update;
            if (lf_updateLiveAc(aircraft, tick, update))
                tickUpdates.push_back(update);
            if (newSecond && aircraft.phase == AcPhase::parked)
                lf_noteStaySlot(aircraft, now);
            break;
        }
        case SimState::removingfromsim:
            break;
        }
        anyRemoved = anyRemoved || aircraft.removed;
    }
    return anyRemoved;
}

} // namespace

std::deque<port::SimObjectId>& lf_pendingRemovals() {
    return pendingRemovals;
}

void lf_resetTickQueues() {
    pendingRemovals.clear();
    lastCreationTick = longAgo;
    lastRemovalTick = longAgo;
    tickUpdates.clear();
    daySlotKnown = false;
}

port::CreateRequest lf_makeCreateRequest(const AcRecord& aircraft, const MotionState& at, bool onGround,
                                         std::string description) {
    port::CreateRequest request;
    request.aircraftId = aircraft.creationId;
    request.title = std::string(aircraft.liveryTitle);
    request.tailNumber = aircraft.callsign;
    request.description = std::move(description);
    request.latitude = at.latitude;
    request.longitude = at.longitude;
    request.altitudeFt = at.altitude;
    // The simulator counts pitch nose down and bank left wing down as positive.
    request.pitchDeg = -at.pitch;
    request.bankDeg = -at.bank;
    request.headingDeg = at.heading;
    request.onGround = onGround;
    request.airspeedKt = at.groundSpeed;
    return request;
}

port::CreateRequest lf_makeLiveCreateRequest(const LiveAc& aircraft) {
    port::CreateRequest request =
        lf_makeCreateRequest(aircraft, aircraft.current, aircraft.onGround, gf_describeFlight(aircraft));
    if (!aircraft.origin.empty() && !aircraft.destination.empty()) {
        const auto origin = gf_findAirport(aircraft.origin);
        const auto destination = gf_findAirport(aircraft.destination);
        if (origin && destination) {
            request.origin = {origin->code, origin->latitude, origin->longitude, origin->altitude};
            request.destination = {destination->code, destination->latitude, destination->longitude,
                                   destination->altitude};
        }
    }
    return request;
}

void lf_processSimNotifications() {
    for (const port::SimNotification& notification : port::takeNotifications()) {
        switch (notification.kind) {
        case port::SimNotificationKind::objectCreated:
            onObjectCreated(notification);
            break;
        case port::SimNotificationKind::creationFailed:
            onCreationFailed(notification);
            break;
        case port::SimNotificationKind::objectRemoved:
            onObjectRemoved(notification);
            break;
        }
    }
}

void lf_serveTickQueues(std::int64_t tick) {
    if (!pendingRemovals.empty() && tick - lastRemovalTick >= tuning::ticksBetweenRemovals) {
        const port::SimObjectId objectId = pendingRemovals.front();
        pendingRemovals.pop_front();
        port::queueRemoval(objectId);
        markRemovalSent(objectId);
        lastRemovalTick = tick;
    }
    if ((!createDequeLive.empty() || !createDequeStatic.empty()) &&
        tick - lastCreationTick >= tuning::ticksBetweenCreations) {
        sendNextCreation();
        lastCreationTick = tick;
    }
}

void lf_eraseRemoved() {
    std::erase_if(liveAcList, [](const LiveAc& aircraft) { return aircraft.removed; });
    std::erase_if(staticAcList, [](const StaticAc& aircraft) { return aircraft.removed; });
    std::erase_if(duplicateCheckIds, [](std::uint32_t id) { return lf_findLiveById(id) == nullptr; });
}

void lf_handleAddingStack() {
    const std::int64_t tick = ++trafficTick;
    lf_processSimNotifications();
    const bool newSecond = !daySlotKnown || tick % tuning::ticksPerSecond == 0;
    if (newSecond) {
        lf_refreshDaySlot();
        daySlotKnown = true;
    }
    lf_takeDeferredReports();

    tickUpdates.clear();
    bool anyRemoved = updateLiveAircraft(tick, lf_currentDaySlot(), newSecond);
    if (!tickUpdates.empty())
        port::queuePositionUpdates(tickUpdates);

    lf_serveTickQueues(tick);
    if (!port::parkPositions.empty())
        lf_createStaticParking();
    for (const StaticAc& aircraft : staticAcList)
        anyRemoved = anyRemoved || aircraft.removed;
    if (anyRemoved)
        lf_eraseRemoved();
    // Aircraft may also be erased by the window's commands; their ids must not block the duplicate check.
    if (!duplicateCheckIds.empty() && lf_findLiveById(duplicateCheckIds.front()) == nullptr)
        duplicateCheckIds.pop_front();
}

} // namespace kvr
