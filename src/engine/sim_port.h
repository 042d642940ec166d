#pragma once
// The engine's view of the simulator link: the records that cross it and the calls the engine makes. The
// only engine file that names the link.
//
// Towards the simulator everything is queued and sent by the link's own thread on its next frame; the
// link echoes the CreateRequest's aircraftId and tail number in its notifications.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kvr::port {

using SimObjectId = std::uint32_t;

struct CreateRequest {
    std::uint32_t aircraftId = 0; // echoed back in the notifications
    std::string title;
    std::string tailNumber; // the ATC id by which the new object is recognised
    std::string description;
    double latitude = 0;
    double longitude = 0;
    double altitudeFt = 0;
    double pitchDeg = 0;
    double bankDeg = 0;
    double headingDeg = 0;
    bool onGround = true;
    double airspeedKt = 0;
};

// One move of an AI object, in the simulator's position block (angles in radians).
struct PositionUpdate {
    SimObjectId objectId = 0;
    double latitude = 0;
    double longitude = 0;
    double altitudeFt = 0;
    double pitchRad = 0;
    double bankRad = 0;
    double headingRad = 0;
};

struct NavLightsEvent {
    SimObjectId objectId = 0;
    std::uint32_t value = 0;
};

enum class SimNotificationKind { objectCreated, creationFailed, objectRemoved };

struct SimNotification {
    SimNotificationKind kind = SimNotificationKind::objectCreated;
    SimObjectId objectId = 0;
    std::uint32_t aircraftId = 0;
    std::string tailNumber;
    std::string title;
    std::string description;
    std::string reason;
};

struct UserAcData {
    double latitude = 0;
    double longitude = 0;
    double altitude = 0;    // feet
    double groundSpeed = 0; // knots
    double heading = 0;     // degrees true
};

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
