#include "engine/sim_port.h"

#include "simlink/sim_link_state.h"

#include <mutex>

namespace kvr::port {

void queueCreate(CreateRequest request) {
    gf_queueCreate(std::move(request));
}

void queueRemoval(SimObjectId objectId) {
    gf_queueRemoval(objectId);
}

void queueNavLights(SimObjectId objectId, std::uint32_t value) {
    gf_queueNavLights(objectId, value);
}

void queuePositionUpdates(std::span<const PositionUpdate> updates) {
    gf_queuePositionUpdates(updates);
}

void clearPositionUpdates() {
    gf_clearPositionUpdates();
}

std::vector<SimNotification> takeNotifications() {
    return gf_takeSimNotifications();
}

std::size_t recordFailedCreation(const SimNotification& notification) {
    return gf_recordFailedCreation(notification);
}

// Both sets are written and read on the run thread only.
bool isFailedLiveryTitle(std::string_view title) {
    return failedLiveryTitles.contains(std::string(title));
}

std::vector<std::string> failedAircraftTexts() {
    return {kvr::failedAircraftTexts.begin(), kvr::failedAircraftTexts.end()};
}

UserAcData latestUserAcData() {
    return gf_latestUserAcData();
}

bool userOnGround() {
    return kvr::userOnGround.load();
}

double userHalfWingspanNm() {
    return userHalfWingspan.load();
}

QueuedForSim takeQueuedForSim() {
    QueuedForSim taken;
    std::lock_guard lock(simQueueMutex);
    taken.creates.assign(std::make_move_iterator(simQueues.creates.begin()),
                         std::make_move_iterator(simQueues.creates.end()));
    simQueues.creates.clear();
    taken.removals.swap(simQueues.removals);
    taken.lights.swap(simQueues.lights);
    taken.positions.swap(simQueues.positions.fill());
    return taken;
}

void discardQueuedForSim() {
    std::lock_guard lock(simQueueMutex);
    simQueues.creates.clear();
    simQueues.removals.clear();
    simQueues.lights.clear();
    simQueues.positions.clear();
}

void postNotification(SimNotification notification) {
    gf_postSimNotification(std::move(notification));
}

void clearFailedCreations() {
    failedLiveryTitles.clear();
    kvr::failedAircraftTexts.clear();
}

void setUserAircraft(const UserAcData& data, bool onGround, double halfWingspanNm) {
    {
        std::lock_guard lock(simQueueMutex);
        userAcData = data;
    }
    kvr::userOnGround = onGround;
    userHalfWingspan = halfWingspanNm;
}

} // namespace kvr::port
