#pragma once
// The queues between the traffic engine and the SimClient thread, and the notifications back.
//
// Locks: simQueueMutex guards simQueues and every SimConnect request made by any thread (the client
// library handle is shared); simNotificationMutex guards the notifications. When both are needed, the
// notification lock is taken first. Neither is held while the log, the message line or the exit
// request are called, except that those only take their own locks inside.
//
// Use by the traffic engine (run thread):
// - gf_queueCreate / gf_queueRemoval / gf_queueNavLights / gf_queuePositionUpdates add to the queues;
//   everything queued is sent, in order, on the next "Frame" event.
// - Position updates go into the fill half of a double buffer; on each frame the SimClient thread swaps
//   the halves and sends the other one. Several ticks between two frames each add their updates; they
//   are sent in the order they were queued, so the last one of an object is where it ends up.
// - gf_takeSimNotifications hands over what the simulator reported since the last call;
//   gf_processSimNotifications does the same while holding the notification lock, for a consumer that
//   must queue requests in the same step (it may then take simQueueMutex inside).
#include "simlink/sim_records.h"

#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

namespace kvr {

extern std::mutex simQueueMutex;
extern std::mutex simNotificationMutex;

// Two halves: the engine fills one while the other is being sent.
class PositionDoubleBuffer {
public:
    std::vector<PositionUpdate>& fill() { return halves_[fillHalf_]; }
    std::vector<PositionUpdate>& send() { return halves_[1 - fillHalf_]; }
    // The filled half becomes the one to send; the sent one, emptied, is filled next.
    void swap();
    // Both halves empty; filling starts again with the first half.
    void clear();
    void reserve(std::size_t count);

private:
    std::array<std::vector<PositionUpdate>, 2> halves_;
    std::size_t fillHalf_ = 0;
};

struct SimQueues {
    std::deque<CreateRequest> creates;
    std::vector<SimObjectId> removals;
    std::vector<NavLightsEvent> lights;
    PositionDoubleBuffer positions;
};

// Guarded by simQueueMutex.
extern SimQueues simQueues;

// Reserves the queues and both position-update halves (256 entries each) and clears simLinkSuspended;
// called before the SimClient thread starts.
void lf_initSimQueues();
// Empties the queues and the notifications (session reset).
void gf_clearSimQueues();

void gf_queueCreate(CreateRequest request);
void gf_queueRemoval(SimObjectId objectId);
// NAV_LIGHTS_SET with the value for that object.
void gf_queueNavLights(SimObjectId objectId, std::uint32_t value);
void gf_queuePositionUpdates(std::span<const PositionUpdate> updates);
// Empties both halves of the position-update double buffer.
void gf_clearPositionUpdates();

// SimClient side: posts one notification (takes simNotificationMutex).
void gf_postSimNotification(SimNotification notification);
// The same for a caller that already holds simNotificationMutex.
void gf_postSimNotificationLocked(SimNotification notification);
// Engine side.
std::vector<SimNotification> gf_takeSimNotifications();
void gf_processSimNotifications(const std::function<void(const SimNotification&)>& consume);

// Titles the simulator could not create and the display texts of those aircraft; written and read on the
// run thread only (the engine adds to them when it takes a creationFailed notification).
extern std::unordered_set<std::string> failedLiveryTitles;
extern std::set<std::string> failedAircraftTexts;
// Adds the notification's description, and its title unless the creation failed for a reason that is not
// the title's (outside the reality bubble, the AI system's limits, an object created but not recognised);
// returns the number of failed titles.
std::size_t gf_recordFailedCreation(const SimNotification& notification);

} // namespace kvr
