#pragma once
// The link's data definitions, requests and client events as the simulator knows them.
#include "platform/simconnect/simconnect.h"

namespace kvr {

enum SimDefinition : SIMCONNECT_DATA_DEFINITION_ID {
    aiPositionDefinition = 400,   // latitude, longitude, altitude, pitch, bank, heading (radians)
    userPositionDefinition = 403, // user latitude, longitude, altitude, ground speed, heading, UTC
    userTitleDefinition = 407,    // TITLE
    userModelDefinition = 408,    // ATC MODEL, WING SPAN
    userOnGroundDefinition = 409, // SIM ON GROUND
    atcIdDefinition = 410,        // ATC ID of a created object
};

enum SimRequest : SIMCONNECT_DATA_REQUEST_ID {
    userTitleRequest = 106,
    userModelRequest = 107,
    userOnGroundRequest = 108,
    userPositionRequest = 109,
    removalRequest = 111,
    flightPlanRequest = 112,
    releaseControlRequest = 113,
    firstCreationRequest = 1000, // each creation has its own id from here on, also for its ATC id query
};

// The packet id an exception carries when the simulator cannot tell which packet it answers.
inline constexpr DWORD unknownSendId = 0;

enum SimEvent : SIMCONNECT_CLIENT_EVENT_ID {
    simEvent = 1,
    pauseEvent = 2,
    frameEvent = 3,
    flightLoadedEvent = 4,
    aircraftLoadedEvent = 5,
    objectAddedEvent = 6,
    objectRemovedEvent = 7,
    navLightsSetEvent = 20,
};

} // namespace kvr
