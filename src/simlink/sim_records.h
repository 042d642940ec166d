#pragma once
// The records that cross the simulator link in both directions.
//
// Towards the simulator (queued by the traffic engine on the run thread, sent by the SimClient thread on
// the next "Frame" event; see sim_queues.h):
// - CreateRequest: one AI aircraft to create. The new object is recognised by its ATC id, which is the
//   tail number given at creation, so tail numbers of pending creations must differ.
// - PositionUpdate: one move of an AI object, in the simulator's position block (angles in radians).
// - NavLightsEvent: NAV_LIGHTS_SET for one object.
// - removals: object ids.
//
// Back to the traffic engine (posted by the SimClient thread, taken with gf_takeSimNotifications):
// - SimNotification objectCreated: the object id of a CreateRequest, recognised by the ATC id of the object
//   the simulator assigned to it; creationFailed: the simulator refused the creation (reason: the
//   simulator's exception name) or the link gave it up (noObjectReason, notRecognisedReason);
//   objectRemoved: an object this session created is gone (after AIRemoveObject, or taken away by the
//   simulator). Each notification echoes the CreateRequest's aircraftId, tailNumber, title and
//   description where it concerns a creation; objectRemoved carries the object id only.
//
// The user aircraft: UserAcData, the latest answer to the user-position request.
#include <cstdint>
#include <string>

namespace kvr {

using SimObjectId = std::uint32_t;

// An airport at one end of an AI aircraft's flight plan.
struct AirportPoint {
    std::string code; // ICAO code; empty: unknown
    double latitude = 0;
    double longitude = 0;
    double elevationFt = 0;
};

struct CreateRequest {
    std::uint32_t aircraftId = 0; // the engine's id of the aircraft, echoed back
    std::string title;            // livery title as installed
    std::string tailNumber;       // ATC id of the new object
    std::string description;      // display text, kept in failedAircraftTexts when the creation fails
    double latitude = 0;          // degrees
    double longitude = 0;         // degrees
    double altitudeFt = 0;
    double pitchDeg = 0;
    double bankDeg = 0;
    double headingDeg = 0; // true
    bool onGround = true;
    double airspeedKt = 0;
    // An AceXML flight plan "<object id>.pln" is written and given to the object when both codes are set.
    AirportPoint origin;
    AirportPoint destination;
    double cruisingAltitudeFt = 35000;
};

struct PositionUpdate {
    SimObjectId objectId = 0;
    double latitude = 0;  // degrees
    double longitude = 0; // degrees
    double altitudeFt = 0;
    double pitchRad = 0;
    double bankRad = 0;
    double headingRad = 0; // true
};

struct NavLightsEvent {
    SimObjectId objectId = 0;
    std::uint32_t value = 0; // 1 on, 0 off
};

enum class SimNotificationKind { objectCreated, creationFailed, objectRemoved };

struct SimNotification {
    SimNotificationKind kind = SimNotificationKind::objectCreated;
    SimObjectId objectId = 0;     // objectCreated, objectRemoved
    std::uint32_t aircraftId = 0; // objectCreated, creationFailed
    std::string tailNumber;       // objectCreated, creationFailed
    std::string title;            // objectCreated, creationFailed
    std::string description;      // objectCreated, creationFailed
    std::string reason;           // creationFailed: e.g. "CREATE_OBJECT_FAILED"
};

// The reasons of creations the link gave up: the simulator assigned no object in time, or the object it
// assigned never read the ATC id given.
inline constexpr const char* noObjectReason = "NO OBJECT";
inline constexpr const char* notRecognisedReason = "NOT RECOGNISED";

// The user aircraft as the simulator last reported it; latitude and longitude first.
struct UserAcData {
    double latitude = 0;    // degrees
    double longitude = 0;   // degrees
    double altitude = 0;    // feet ("Plane Altitude"); a negative altitude is stored as 0
    double groundSpeed = 0; // knots
    double heading = 0;     // degrees true
};

} // namespace kvr
