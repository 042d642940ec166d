#include "engine/sim_port.h"

#include <mutex>
#include <set>
#include <unordered_set>

namespace kvr::port {

// The simulator link is not part of this build: the queues and the user aircraft live here, and only the
// tests stand on the other side of them.
namespace {

std::mutex queueMutex;
QueuedForSim queued;
std::vector<SimNotification> notifications;
std::unordered_set<std::string> failedTitles;
std::set<std::string> failedTexts;
UserAcData userAircraft;
bool userAircraftOnGround = false;
double userAircraftHalfSpan = 0;

} // namespace

void queueCreate(CreateRequest request) {
    std::lock_guard lock(queueMutex);
    queued.creates.push_back(std::move(request));
}

void queueRemoval(SimObjectId objectId) {
    std::lock_guard lock(queueMutex);
    queued.removals.push_back(objectId);
}

void queueNavLights(SimObjectId objectId, std::uint32_t value) {
    std::lock_guard lock(queueMutex);
    queued.lights.push_back({objectId, value});
}

void queuePositionUpdates(std::span<const PositionUpdate> updates) {
    std::lock_guard lock(queueMutex);
    queued.positions.insert(queued.positions.end(), updates.begin(), updates.end());
}

void clearPositionUpdates() {
    std::lock_guard lock(queueMutex);
    queued.positions.clear();
}

std::vector<SimNotification> takeNotifications() {
    std::vector<SimNotification> taken;
    std::lock_guard lock(queueMutex);
    taken.swap(notifications);
    return taken;
}

std::size_t recordFailedCreation(const SimNotification& notification) {
    std::lock_guard lock(queueMutex);
    if (!notification.title.empty())
        failedTitles.insert(notification.title);
    if (!notification.description.empty())
        failedTexts.insert(notification.description);
    return failedTitles.size();
}

bool isFailedLiveryTitle(std::string_view title) {
    std::lock_guard lock(queueMutex);
    return failedTitles.contains(std::string(title));
}

std::vector<std::string> failedAircraftTexts() {
    std::lock_guard lock(queueMutex);
    return {failedTexts.begin(), failedTexts.end()};
}

UserAcData latestUserAcData() {
    std::lock_guard lock(queueMutex);
    return userAircraft;
}

bool userOnGround() {
    std::lock_guard lock(queueMutex);
    return userAircraftOnGround;
}

double userHalfWingspanNm() {
    std::lock_guard lock(queueMutex);
    return userAircraftHalfSpan;
}

QueuedForSim takeQueuedForSim() {
    std::lock_guard lock(queueMutex);
    QueuedForSim taken = std::move(queued);
    queued = {};
    return taken;
}

void discardQueuedForSim() {
    std::lock_guard lock(queueMutex);
    queued.creates.clear();
    queued.removals.clear();
    queued.lights.clear();
    queued.positions.clear();
}

void postNotification(SimNotification notification) {
    std::lock_guard lock(queueMutex);
    notifications.push_back(std::move(notification));
}

void clearFailedCreations() {
    std::lock_guard lock(queueMutex);
    failedTitles.clear();
    failedTexts.clear();
}

void setUserAircraft(const UserAcData& data, bool onGround, double halfWingspanNm) {
    std::lock_guard lock(queueMutex);
    userAircraft = data;
    userAircraftOnGround = onGround;
    userAircraftHalfSpan = halfWingspanNm;
}

} // namespace kvr::port
