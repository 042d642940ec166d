#include "simlink/sim_queues.h"

#include "simlink/sim_link_state.h"

namespace kvr {

std::mutex simQueueMutex;
std::mutex simNotificationMutex;
SimQueues simQueues;
std::unordered_set<std::string> failedLiveryTitles;
std::set<std::string> failedAircraftTexts;

namespace {
constexpr std::size_t reservedEntries = 256;
std::vector<SimNotification> notifications; // guarded by simNotificationMutex
} // namespace

void PositionDoubleBuffer::swap() {
    fillHalf_ = 1 - fillHalf_;
    fill().clear();
}

void PositionDoubleBuffer::clear() {
    halves_[0].clear();
    halves_[1].clear();
    fillHalf_ = 0;
}

void PositionDoubleBuffer::reserve(std::size_t count) {
    halves_[0].reserve(count);
    halves_[1].reserve(count);
}

void lf_initSimQueues() {
    {
        std::lock_guard lock(simQueueMutex);
        simQueues.removals.reserve(reservedEntries);
        simQueues.lights.reserve(reservedEntries);
        simQueues.positions.reserve(reservedEntries);
    }
    {
        std::lock_guard lock(simNotificationMutex);
        notifications.reserve(reservedEntries);
    }
    simLinkSuspended = false;
}

void gf_clearSimQueues() {
    std::lock_guard notificationLock(simNotificationMutex);
    std::lock_guard queueLock(simQueueMutex);
    simQueues.creates.clear();
    simQueues.removals.clear();
    simQueues.lights.clear();
    simQueues.positions.clear();
    notifications.clear();
}

void gf_queueCreate(CreateRequest request) {
    std::lock_guard lock(simQueueMutex);
    simQueues.creates.push_back(std::move(request));
}

void gf_queueRemoval(SimObjectId objectId) {
    std::lock_guard lock(simQueueMutex);
    simQueues.removals.push_back(objectId);
}

void gf_queueNavLights(SimObjectId objectId, std::uint32_t value) {
    std::lock_guard lock(simQueueMutex);
    simQueues.lights.push_back({objectId, value});
}

void gf_queuePositionUpdates(std::span<const PositionUpdate> updates) {
    std::lock_guard lock(simQueueMutex);
    auto& fill = simQueues.positions.fill();
    fill.insert(fill.end(), updates.begin(), updates.end());
}

void gf_clearPositionUpdates() {
    std::lock_guard lock(simQueueMutex);
    simQueues.positions.clear();
}

void gf_postSimNotification(SimNotification notification) {
    std::lock_guard lock(simNotificationMutex);
    notifications.push_back(std::move(notification));
}

void gf_postSimNotificationLocked(SimNotification notification) {
    notifications.push_back(std::move(notification));
}

std::vector<SimNotification> gf_takeSimNotifications() {
    std::vector<SimNotification> taken;
    std::lock_guard lock(simNotificationMutex);
    taken.swap(notifications);
    return taken;
}

void gf_processSimNotifications(const std::function<void(const SimNotification&)>& consume) {
    std::lock_guard lock(simNotificationMutex);
    std::vector<SimNotification> taken;
    taken.swap(notifications);
    for (const SimNotification& notification : taken)
        consume(notification);
}

namespace {

// Failures that name the place, the AI system's limits or the simulator's schedule, not the livery: the
// same title may well be created elsewhere or later. An object that was created but not recognised was
// no refusal at all.
bool lf_failureOfTheTitle(const std::string& reason) {
    for (const char* notTheTitle : {"TOO_MANY_OBJECTS", "OBJECT_OUTSIDE_REALITY_BUBBLE", "OBJECT_CONTAINER",
                                    "OBJECT_AI", "OBJECT_ATC", "OBJECT_SCHEDULE", notRecognisedReason})
        if (reason == notTheTitle)
            return false;
    return true;
}

} // namespace

std::size_t gf_recordFailedCreation(const SimNotification& notification) {
    if (!notification.title.empty() && lf_failureOfTheTitle(notification.reason))
        failedLiveryTitles.insert(notification.title);
    if (!notification.description.empty())
        failedAircraftTexts.insert(notification.description);
    return failedLiveryTitles.size();
}

} // namespace kvr
