#pragma once
// The engine's view of the simulator link: the records that cross it and the calls the engine makes. The
// only engine file that names the link.
//
// Towards the simulator everything is queued and sent by the link's own thread on its next frame; the
// link echoes the CreateRequest's aircraftId and tail number in its notifications.
#include "simlink/sim_queues.h"
#include "simlink/sim_records.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kvr::port {

using kvr::AirportPoint;
using kvr::CreateRequest;
using kvr::NavLightsEvent;
using kvr::PositionUpdate;
using kvr::SimNotification;
using kvr::SimNotificationKind;
using kvr::SimObjectId;
using kvr::UserAcData;

void queueCreate(CreateRequest request);
void queueRemoval(SimObjectId objectId);
void queueNavLights(SimObjectId objectId, std::uint32_t value);
void queuePositionUpdates(std::span<const PositionUpdate> updates);
// Empties both halves of the position-update double buffer.
void clearPositionUpdates();
// What the simulator reported since the last call.
std::vector<SimNotification> takeNotifications();
// Keeps the title and the text of a creation the simulator refused; returns the number of refused titles.
std::size_t recordFailedCreation(const SimNotification& notification);
bool isFailedLiveryTitle(std::string_view title);
std::vector<std::string> failedAircraftTexts();

UserAcData latestUserAcData();
bool userOnGround();
double userHalfWingspanNm();

// The link's side, used by the tests and the benchmark, which run without the link's thread.
struct QueuedForSim {
    std::vector<CreateRequest> creates;
    std::vector<SimObjectId> removals;
    std::vector<NavLightsEvent> lights;
    std::vector<PositionUpdate> positions;
};
// Moves everything queued out, as the link's thread does on a frame.
QueuedForSim takeQueuedForSim();
// Drops everything queued without moving it out (keeps the queues' memory).
void discardQueuedForSim();
void postNotification(SimNotification notification);
// Forgets the refused titles and texts.
void clearFailedCreations();
void setUserAircraft(const UserAcData& data, bool onGround, double halfWingspanNm);

} // namespace kvr::port
