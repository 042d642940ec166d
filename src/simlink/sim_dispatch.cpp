// What the SimClient thread does with each message from the simulator.
#include "core/exit_request.h"
#include "core/log.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "simlink/sim_client.h"
#include "simlink/sim_client_internal.h"
#include "simlink/sim_ids.h"
#include "simlink/sim_link_state.h"
#include "simlink/sim_queues.h"
#include "simlink/simlink_hooks.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstring>

namespace kvr {

namespace {

template <typename Record> const Record* lf_record(const SIMCONNECT_RECV* data, DWORD size) {
    if (size < sizeof(Record)) {
        gf_logError(fmt::format("lf_dispatchProc: message {} has {} bytes, too short", data->dwID, size));
        return nullptr;
    }
    return static_cast<const Record*>(data);
}

SIMCONNECT_DATA_INITPOSITION lf_initPosition(const CreateRequest& request) {
    SIMCONNECT_DATA_INITPOSITION position{};
    position.Latitude = request.latitude;
    position.Longitude = request.longitude;
    position.Altitude = request.altitudeFt;
    position.Pitch = request.pitchDeg;
    position.Bank = request.bankDeg;
    position.Heading = request.headingDeg;
    position.OnGround = request.onGround ? 1 : 0;
    position.Airspeed = static_cast<DWORD>(std::clamp(request.airspeedKt, 0.0, 1000.0));
    return position;
}

// The simulator takes tail numbers of at most 12 characters; a longer one is cut where no UTF-8 letter is
// split, and the cut text is what its ATC id will read.
std::string lf_atcIdFor(const std::string& tailNumber) {
    constexpr std::size_t longestTailNumber = 12;
    if (tailNumber.size() <= longestTailNumber)
        return tailNumber;
    std::size_t cut = longestTailNumber;
    while (cut > 0 && (static_cast<unsigned char>(tailNumber[cut]) & 0xC0) == 0x80)
        --cut;
    return tailNumber.substr(0, cut);
}

void lf_learnUserStand() {
    try {
        gf_callLearnUserStand();
    } catch (const std::exception& error) {
        gf_logError(fmt::format("gf_learnUserStand exception: {}", error.what()));
    }
}

} // namespace

std::string lf_exceptionName(DWORD exception) {
    // By value, as the simulator numbers them.
    static constexpr const char* names[] = {
        "NONE",
        "ERROR",
        "SIZE_MISMATCH",
        "UNRECOGNIZED_ID",
        "UNOPENED",
        "VERSION_MISMATCH",
        "TOO_MANY_GROUPS",
        "NAME_UNRECOGNIZED",
        "TOO_MANY_EVENT_NAMES",
        "EVENT_ID_DUPLICATE",
        "TOO_MANY_MAPS",
        "TOO_MANY_OBJECTS",
        "TOO_MANY_REQUESTS",
        "WEATHER_INVALID_PORT",
        "WEATHER_INVALID_METAR",
        "WEATHER_UNABLE_TO_GET_OBSERVATION",
        "WEATHER_UNABLE_TO_CREATE_STATION",
        "WEATHER_UNABLE_TO_REMOVE_STATION",
        "INVALID_DATA_TYPE",
        "INVALID_DATA_SIZE",
        "DATA_ERROR",
        "INVALID_ARRAY",
        "CREATE_OBJECT_FAILED",
        "LOAD_FLIGHTPLAN_FAILED",
        "OPERATION_INVALID_FOR_OBJECT_TYPE",
        "ILLEGAL_OPERATION",
        "ALREADY_SUBSCRIBED",
        "INVALID_ENUM",
        "DEFINITION_ERROR",
        "DUPLICATE_ID",
        "DATUM_ID",
        "OUT_OF_BOUNDS",
        "ALREADY_CREATED",
        "OBJECT_OUTSIDE_REALITY_BUBBLE",
        "OBJECT_CONTAINER",
        "OBJECT_AI",
        "OBJECT_ATC",
        "OBJECT_SCHEDULE",
    };
    if (exception < std::size(names))
        return names[exception];
    return fmt::format("EXCEPTION {}", exception);
}

void CALLBACK lf_dispatchProc(SIMCONNECT_RECV* data, DWORD size, void* context) {
    auto& connection = *static_cast<SimClientConnection*>(context);
    try {
        switch (data->dwID) {
        case SIMCONNECT_RECV_ID_OPEN:
            if (const auto* open = lf_record<SIMCONNECT_RECV_OPEN>(data, size))
                connection.onOpen(*open);
            break;
        case SIMCONNECT_RECV_ID_QUIT:
            connection.onQuit();
            break;
        case SIMCONNECT_RECV_ID_EVENT:
            if (const auto* event = lf_record<SIMCONNECT_RECV_EVENT>(data, size))
                connection.onEvent(*event);
            break;
        case SIMCONNECT_RECV_ID_EVENT_FILENAME:
            if (const auto* event = lf_record<SIMCONNECT_RECV_EVENT_FILENAME>(data, size))
                connection.onFileEvent(*event);
            break;
        case SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE:
            if (const auto* event = lf_record<SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE>(data, size))
                connection.onObjectAddRemove(*event);
            break;
        case SIMCONNECT_RECV_ID_EVENT_FRAME:
            if (const auto* frame = lf_record<SIMCONNECT_RECV_EVENT_FRAME>(data, size))
                connection.onFrame(*frame);
            break;
        case SIMCONNECT_RECV_ID_SIMOBJECT_DATA:
            if (const auto* answer = lf_record<SIMCONNECT_RECV_SIMOBJECT_DATA>(data, size)) {
                if (answer->dwRequestID >= firstCreationRequest)
                    connection.onCreatedObjectData(*answer, size);
                else
                    lf_onSimObjectData(*answer, size);
            }
            break;
        case SIMCONNECT_RECV_ID_ASSIGNED_OBJECT_ID:
            if (const auto* assigned = lf_record<SIMCONNECT_RECV_ASSIGNED_OBJECT_ID>(data, size))
                connection.onAssignedObjectId(*assigned);
            break;
        case SIMCONNECT_RECV_ID_EXCEPTION:
            if (const auto* exception = lf_record<SIMCONNECT_RECV_EXCEPTION>(data, size))
                connection.onException(*exception);
            break;
        default:
            break;
        }
    } catch (const std::exception& error) {
        connection.fail(fmt::format("lf_dispatchProc: {}", error.what()));
    }
}

// --- Events ------------------------------------------------------------------------------------------

void SimClientConnection::onEvent(const SIMCONNECT_RECV_EVENT& event) {
    if (event.uEventID == simEvent) {
        const bool running = event.dwData == 1;
        if (flightActive.exchange(running) != running || statusDisplay.flightRunning != running)
            gf_logLine(running ? "SimConnect: flight running" : "SimConnect: flight stopped");
        statusDisplay.flightRunning = running;
        gf_invalidateArea(ScreenArea::statusPane);
    } else if (event.uEventID == pauseEvent) {
        gf_logLine(event.dwData ? "SimConnect: paused" : "SimConnect: pause ended");
    }
}

// Loading another flight or aircraft ends the session, but not the first load of a session: that one
// comes before the user aircraft's first data.
void SimClientConnection::onFileEvent(const SIMCONNECT_RECV_EVENT_FILENAME& event) {
    if (event.uEventID != flightLoadedEvent && event.uEventID != aircraftLoadedEvent)
        return;
    gf_logLine(event.uEventID == flightLoadedEvent ? "SimConnect: flight loaded event"
                                                   : "SimConnect: New file event");
    lf_learnUserStand();
    if (userAcDataReceived)
        gf_requestExit(ExitReason::newFlight, 45);
}

// ObjectAdded comes for every AI object, the simulator's own included; ours are told by the assigned
// object id (onAssignedObjectId).
void SimClientConnection::onObjectAddRemove(const SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE& event) {
    if (event.uEventID == objectRemovedEvent && ownObjects_.count(event.dwData))
        objectGone(event.dwData);
}

// --- Sending on each frame ---------------------------------------------------------------------------

void SimClientConnection::onFrame(const SIMCONNECT_RECV_EVENT_FRAME& frame) {
    const double seconds = frame.fFrameRate > 1.0f ? 1.0 / frame.fFrameRate : 1.0 / 30.0;
    bool sent = true;
    {
        std::lock_guard lock(simQueueMutex);
        if (simLinkSuspended || !handle_)
            return;
        sent = sendQueued(seconds);
    }
    if (!sent) {
        gf_logError("SimConnect request fails on a frame");
        gf_onSimConnectRequestError();
        return;
    }
    expireAwaited(seconds);
}

bool SimClientConnection::sendQueued(double frameSeconds) {
    auto& creates = simQueues.creates;
    while (!creates.empty()) {
        CreateRequest request = std::move(creates.front());
        creates.pop_front();
        std::string atcId = lf_atcIdFor(request.tailNumber);
        if (FAILED(gf_simConnect().AICreateNonATCAircraft(handle_, request.title.c_str(), atcId.c_str(),
                                                          lf_initPosition(request), nextCreationRequest_++)))
            return false;
        const DWORD sendId = rememberPacket(PacketKind::creation, 0);
        awaited_.push_back({sendId, nextCreationRequest_ - 1, 0, 0, std::move(atcId), std::move(request)});
    }
    for (SimObjectId objectId : simQueues.removals) {
        if (FAILED(gf_simConnect().AIRemoveObject(handle_, objectId, removalRequest)))
            return false;
        rememberPacket(PacketKind::removal, objectId);
    }
    simQueues.removals.clear();
    for (const NavLightsEvent& lights : simQueues.lights) {
        if (FAILED(gf_simConnect().TransmitClientEvent(handle_, lights.objectId, navLightsSetEvent,
                                                       lights.value, SIMCONNECT_GROUP_PRIORITY_HIGHEST,
                                                       SIMCONNECT_EVENT_FLAG_GROUPID_IS_PRIORITY)))
            return false;
        rememberPacket(PacketKind::lights, lights.objectId);
    }
    simQueues.lights.clear();
    simQueues.positions.swap();
    for (const PositionUpdate& update : simQueues.positions.send()) {
        double block[6] = {update.latitude, update.longitude, update.altitudeFt,
                           update.pitchRad, update.bankRad,   update.headingRad};
        if (FAILED(gf_simConnect().SetDataOnSimObject(handle_, aiPositionDefinition, update.objectId,
                                                      SIMCONNECT_DATA_SET_FLAG_DEFAULT, 1, sizeof block,
                                                      block)))
            return false;
        rememberPacket(PacketKind::position, update.objectId);
    }
    simQueues.positions.send().clear();

    // The user aircraft's data once a simulated second: each answer is one round of the session loop.
    secondsSinceUserRequest_ += frameSeconds;
    if (secondsSinceUserRequest_ >= 1.0 - 1e-9) {
        secondsSinceUserRequest_ = std::min(secondsSinceUserRequest_ - 1.0, 1.0);
        return SUCCEEDED(
            lf_requestUserData(handle_, userPositionRequest, userPositionDefinition, SIMCONNECT_PERIOD_ONCE));
    }
    return true;
}

DWORD SimClientConnection::rememberPacket(PacketKind kind, SimObjectId objectId) {
    DWORD id = unknownSendId;
    if (FAILED(gf_simConnect().GetLastSentPacketID(handle_, &id)) || id == unknownSendId) {
        gf_logError(fmt::format("SimConnect: no packet id for a request on object {}", objectId));
        return unknownSendId;
    }
    sentPackets_[id % packetRingSize] = {id, kind, objectId};
    return id;
}

// --- Creations, removals and failures ----------------------------------------------------------------

void SimClientConnection::onException(const SIMCONNECT_RECV_EXCEPTION& exception) {
    const std::string name = lf_exceptionName(exception.dwException);
    // Nothing may be blamed for an exception whose packet the simulator cannot tell.
    if (exception.dwSendID == unknownSendId) {
        gf_logError(fmt::format("SimConnect exception {} for an unknown packet (parameter {})", name,
                                exception.dwIndex));
        return;
    }
    const auto awaited = std::find_if(awaited_.begin(), awaited_.end(), [&](const AwaitedCreation& creation) {
        return creation.sendId == exception.dwSendID;
    });
    if (awaited != awaited_.end()) {
        const CreateRequest request = std::move(awaited->request);
        awaited_.erase(awaited);
        gf_logLine(fmt::format("SimConnect: creation of {} ({}) failed: {}", request.tailNumber,
                               request.title, name));
        gf_postSimNotification({SimNotificationKind::creationFailed, 0, request.aircraftId,
                                request.tailNumber, request.title, request.description, name});
        return;
    }
    const SentPacket& packet = sentPackets_[exception.dwSendID % packetRingSize];
    if (packet.id == exception.dwSendID && packet.kind != PacketKind::none &&
        packet.kind != PacketKind::creation) {
        if (exception.dwException == SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID &&
            ownObjects_.count(packet.objectId)) {
            gf_logLine(fmt::format("SimConnect: object {} is gone", packet.objectId));
            objectGone(packet.objectId);
        } else if (packet.kind != PacketKind::position) {
            gf_logError(fmt::format("SimConnect exception {} for object {}", name, packet.objectId));
        }
        return;
    }
    gf_logError(fmt::format("SimConnect exception {} for packet {} (parameter {})", name, exception.dwSendID,
                            exception.dwIndex));
}

} // namespace kvr
