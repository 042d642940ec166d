// The simulated simulator's side of each client call.
#include "core/native_path.h"
#include "core/text_util.h"
#include "platform/simconnect/sim_geo.h"
#include "platform/simconnect/sim_messages.h"
#include "platform/simconnect/simulated_simulator.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kvr::simsim {

namespace {

constexpr DWORD maximumRadiusMetres = 200000;

// Names from the client may be null.
std::string lf_upper(const char* text) {
    return gf_toUpper(text ? text : "");
}

std::string lf_lower(const char* text) {
    return gf_toLower(text ? text : "");
}

bool lf_isKnownSystemEvent(const std::string& name) {
    for (const char* known : {"sim", "pause", "frame", "flightloaded", "aircraftloaded", "objectadded",
                              "objectremoved", "simstart", "simstop"})
        if (name == known)
            return true;
    return false;
}

} // namespace

bool SimulatedSimulator::usable(const Connection& connection) const {
    return !connection.closed_ && started_ && !gone_;
}

// Every call that the client library would send as a packet: refused while the connection is not
// usable or an injected failure is due. Between a quit and the delivery of QUIT the calls still go out
// but nobody acts on them, as with a simulator that is shutting down. Otherwise the call gets the next
// packet id and is carried out (nullopt).
std::optional<HRESULT> SimulatedSimulator::beginCall(Connection& connection) {
    if (gone_ && !broken_ && !connection.closed_ && !connection.quitDelivered_)
        return S_OK;
    if (!usable(connection))
        return E_FAIL;
    if (failRequests_ > 0) {
        --failRequests_;
        return E_FAIL;
    }
    ++connection.lastPacketId_;
    return std::nullopt;
}

std::shared_ptr<Connection> SimulatedSimulator::sharedConnection(const Connection& connection) const {
    for (const auto& candidate : connections_)
        if (candidate.get() == &connection)
            return candidate;
    return nullptr;
}

std::shared_ptr<Connection> SimulatedSimulator::open(const std::string& clientName) {
    std::lock_guard lock(mutex_);
    if (!started_ || gone_)
        return nullptr;
    auto connection = std::make_shared<Connection>(clientName);
    SIMCONNECT_RECV_OPEN record{};
    record.dwID = SIMCONNECT_RECV_ID_OPEN;
    std::strncpy(record.szApplicationName, scenario_.applicationName.c_str(),
                 sizeof record.szApplicationName - 1);
    record.dwApplicationVersionMajor = scenario_.version[0];
    record.dwApplicationVersionMinor = scenario_.version[1];
    record.dwApplicationBuildMajor = scenario_.version[2];
    record.dwApplicationBuildMinor = scenario_.version[3];
    record.dwSimConnectVersionMajor = scenario_.version[0];
    record.dwSimConnectVersionMinor = scenario_.version[1];
    record.dwSimConnectBuildMajor = scenario_.version[2];
    record.dwSimConnectBuildMinor = scenario_.version[3];
    connection->inbox_.push_back(makeSimMessage(record));
    connections_.push_back(connection);
    ++openCount_;
    return connection;
}

void SimulatedSimulator::close(Connection& connection) {
    std::lock_guard lock(mutex_);
    if (connection.closed_)
        return;
    connection.closed_ = true;
    connection.inbox_.clear();
    std::erase_if(connections_, [&](const auto& candidate) { return candidate.get() == &connection; });
    std::erase_if(pendingCreations_, [&](const PendingCreation& p) {
        const auto client = p.client.lock();
        return !client || client.get() == &connection;
    });
    for (auto it = creators_.begin(); it != creators_.end();) {
        const auto creator = it->second.lock();
        if (!creator || creator.get() == &connection) {
            const auto object = objects_.find(it->first);
            const auto kind =
                object != objects_.end() ? object->second.kind : SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT;
            objects_.erase(it->first);
            listedFrom_.erase(it->first);
            sendObjectEvent("objectremoved", it->first, kind);
            it = creators_.erase(it);
        } else {
            ++it;
        }
    }
}

HRESULT SimulatedSimulator::dispatch(Connection& connection, DispatchProc proc, void* context) {
    std::deque<SimMessage> messages;
    {
        std::lock_guard lock(mutex_);
        // After a quit the waiting messages (the QUIT itself) are still delivered, once.
        if (connection.closed_ || broken_ || (connection.inbox_.empty() && (gone_ || !started_)))
            return E_FAIL;
        messages.swap(connection.inbox_);
    }
    for (SimMessage& message : messages) {
        if (message.head->dwID == SIMCONNECT_RECV_ID_QUIT) {
            std::lock_guard lock(mutex_);
            connection.quitDelivered_ = true;
        }
        proc(message.head, message.size, context);
    }
    return S_OK;
}

HRESULT SimulatedSimulator::addToDataDefinition(Connection& connection, DWORD defineId, const char* datumName,
                                                const char* unitsName, SIMCONNECT_DATATYPE type) {
    std::lock_guard lock(mutex_);
    if (const auto early = beginCall(connection))
        return *early;
    const Datum datum{lf_upper(datumName), lf_lower(unitsName), type};
    if (const auto problem = checkDatum(datum)) {
        // The parameters: definition 1, name 2, units 3, type 4.
        const DWORD index = *problem == SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED   ? 2
                            : *problem == SIMCONNECT_EXCEPTION_INVALID_DATA_TYPE ? 4
                                                                                 : 3;
        sendException(connection, *problem, index);
        return S_OK;
    }
    connection.definitions_[defineId].push_back(datum);
    return S_OK;
}

HRESULT SimulatedSimulator::requestData(Connection& connection, DWORD requestId, DWORD defineId,
                                        DWORD objectId, SIMCONNECT_PERIOD period) {
    std::lock_guard lock(mutex_);
    if (const auto early = beginCall(connection))
        return *early;
    if (!connection.definitions_.count(defineId)) {
        sendException(connection, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, 2);
        return S_OK;
    }
    if (!findObject(objectId)) {
        sendException(connection, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, 3);
        return S_OK;
    }
    if (period == SIMCONNECT_PERIOD_NEVER) {
        connection.requests_.erase(requestId);
        return S_OK;
    }
    connection.requests_[requestId] = {defineId, objectId, period, nowMicros_};
    return S_OK;
}

HRESULT SimulatedSimulator::requestDataByType(Connection& connection, DWORD requestId, DWORD defineId,
                                              DWORD radiusMetres, SIMCONNECT_SIMOBJECT_TYPE type) {
    std::lock_guard lock(mutex_);
    if (const auto early = beginCall(connection))
        return *early;
    if (!connection.definitions_.count(defineId)) {
        sendException(connection, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, 2);
        return S_OK;
    }
    if (radiusMetres > maximumRadiusMetres && type != SIMCONNECT_SIMOBJECT_TYPE_USER) {
        sendException(connection, SIMCONNECT_EXCEPTION_OUT_OF_BOUNDS, 3);
        return S_OK;
    }
    connection.byTypeRequests_.push_back({requestId, defineId, radiusMetres, type});
    return S_OK;
}

HRESULT SimulatedSimulator::subscribe(Connection& connection, DWORD eventId, const char* systemEventName) {
    std::lock_guard lock(mutex_);
    if (const auto early = beginCall(connection))
        return *early;
    const std::string name = lf_lower(systemEventName);
    if (!lf_isKnownSystemEvent(name)) {
        sendException(connection, SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED, 2);
        return S_OK;
    }
    connection.subscriptions_[eventId] = name;
    if (name == "sim" || name == "pause") {
        SIMCONNECT_RECV_EVENT event{};
        event.dwID = SIMCONNECT_RECV_ID_EVENT;
        event.uGroupID = SIMCONNECT_UNUSED;
        event.uEventID = eventId;
        event.dwData = (name == "sim" ? flightRunning_ : paused_) ? 1 : 0;
        connection.inbox_.push_back(makeSimMessage(event));
    }
    return S_OK;
}

HRESULT SimulatedSimulator::mapClientEvent(Connection& connection, DWORD eventId, const char* eventName) {
    std::lock_guard lock(mutex_);
    if (const auto early = beginCall(connection))
        return *early;
    connection.mappedEvents_[eventId] = lf_upper(eventName);
    return S_OK;
}

HRESULT SimulatedSimulator::transmitClientEvent(Connection& connection, DWORD objectId, DWORD eventId,
                                                DWORD data) {
    std::lock_guard lock(mutex_);
    if (const auto early = beginCall(connection))
        return *early;
    const auto mapped = connection.mappedEvents_.find(eventId);
    if (mapped == connection.mappedEvents_.end()) {
        sendException(connection, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, 2);
        return S_OK;
    }
    SimObjectState* object = findObject(objectId);
    if (!object) {
        sendException(connection, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, 1);
        return S_OK;
    }
    if (mapped->second == "NAV_LIGHTS_SET")
        object->navLights = data != 0;
    else if (mapped->second == "TOGGLE_NAV_LIGHTS")
        object->navLights = !object->navLights;
    return S_OK;
}

HRESULT SimulatedSimulator::createAircraft(Connection& connection, const char* title, const char* tailNumber,
                                           const SIMCONNECT_DATA_INITPOSITION& position, DWORD requestId) {
    std::lock_guard lock(mutex_);
    if (const auto early = beginCall(connection))
        return *early;
    const std::string wanted = title ? title : "";
    const bool injected = failCreations_ > 0;
    if (injected)
        --failCreations_;
    const bool validPosition = std::isfinite(position.Latitude) && std::isfinite(position.Longitude) &&
                               std::abs(position.Latitude) <= 90 && std::abs(position.Longitude) <= 180;
    if (injected || !isInstalled(wanted) || !validPosition) {
        sendException(connection, SIMCONNECT_EXCEPTION_CREATE_OBJECT_FAILED, validPosition ? 1 : 3);
        return S_OK;
    }
    PendingCreation creation;
    creation.dueMicros = nowMicros_ + std::llround(scenario_.creationDelaySeconds * 1e6);
    creation.client = sharedConnection(connection);
    creation.requestId = requestId;
    creation.sendId = connection.lastPacketId_;
    creation.lateFailure = nextLateFailure();
    SimObjectState& object = creation.object;
    object.title = wanted;
    // The client library documents tail numbers of at most 12 characters; the ATC id keeps no more.
    object.atcId = std::string(tailNumber ? tailNumber : "").substr(0, 12);
    object.latitude = position.Latitude;
    object.longitude = position.Longitude;
    object.altitudeFt = position.Altitude;
    object.pitchDeg = position.Pitch;
    object.bankDeg = position.Bank;
    object.headingDeg = position.Heading;
    object.onGround = position.OnGround != 0;
    object.groundSpeedKt = static_cast<double>(position.Airspeed);
    if (scenario_.copyCallsigns)
        addCallsignCopy(object);
    pendingCreations_.push_back(std::move(creation));
    return S_OK;
}

HRESULT SimulatedSimulator::setFlightPlan(Connection& connection, DWORD objectId, const char* planPath,
                                          DWORD) {
    std::lock_guard lock(mutex_);
    if (const auto early = beginCall(connection))
        return *early;
    SimObjectState* object = aiObjectOrException(connection, objectId);
    if (!object)
        return S_OK;
    // The client names the plan without its extension.
    const std::filesystem::path file = gf_pathFromUtf8(std::string(planPath ? planPath : "") + ".pln");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        sendException(connection, SIMCONNECT_EXCEPTION_LOAD_FLIGHTPLAN_FAILED, 2);
        return S_OK;
    }
    object->flightPlanPath = gf_pathToUtf8(file);
    return S_OK;
}

HRESULT SimulatedSimulator::removeObject(Connection& connection, DWORD objectId, DWORD) {
    std::lock_guard lock(mutex_);
    if (const auto early = beginCall(connection))
        return *early;
    SimObjectState* object = aiObjectOrException(connection, objectId);
    if (!object)
        return S_OK;
    // Only what the client created with the AI creation calls.
    if (!createdBy(objectId, connection)) {
        sendException(connection, SIMCONNECT_EXCEPTION_ILLEGAL_OPERATION, 1);
        return S_OK;
    }
    removeAiObject(objectId);
    return S_OK;
}

HRESULT SimulatedSimulator::releaseControl(Connection& connection, DWORD objectId, DWORD) {
    std::lock_guard lock(mutex_);
    if (const auto early = beginCall(connection))
        return *early;
    SimObjectState* object = aiObjectOrException(connection, objectId);
    if (!object)
        return S_OK;
    object->aiControlled = false;
    return S_OK;
}

HRESULT SimulatedSimulator::setData(Connection& connection, DWORD defineId, DWORD objectId, DWORD arrayCount,
                                    DWORD unitSize, const void* data) {
    std::lock_guard lock(mutex_);
    if (const auto early = beginCall(connection))
        return *early;
    const auto definition = connection.definitions_.find(defineId);
    if (definition == connection.definitions_.end()) {
        sendException(connection, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, 1);
        return S_OK;
    }
    std::size_t expected = 0;
    for (const Datum& datum : definition->second)
        expected += datumSize(datum.type);
    // An array count of 0 counts as one element.
    arrayCount = std::max<DWORD>(arrayCount, 1);
    if (unitSize != expected || !data) {
        sendException(connection, SIMCONNECT_EXCEPTION_SIZE_MISMATCH, 5);
        return S_OK;
    }
    SimObjectState* object = findObject(objectId);
    if (!object) {
        sendException(connection, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, 2);
        return S_OK;
    }
    SimObjectState changed = *object;
    const auto* bytes = static_cast<const std::byte*>(data);
    for (DWORD element = 0; element < arrayCount; ++element)
        for (const Datum& datum : definition->second) {
            if (!applyDatum(changed, datum, bytes)) {
                sendException(connection, SIMCONNECT_EXCEPTION_DATA_ERROR, 6);
                return S_OK;
            }
            bytes += datumSize(datum.type);
        }
    ++changed.positionUpdates;
    changed.recordTrail();
    *object = std::move(changed);
    return S_OK;
}

HRESULT SimulatedSimulator::lastSentPacketId(Connection& connection, DWORD* id) {
    std::lock_guard lock(mutex_);
    if (connection.closed_ || !id)
        return E_FAIL;
    if (failPacketIds_ > 0) {
        --failPacketIds_;
        return E_FAIL;
    }
    *id = connection.lastPacketId_;
    return S_OK;
}

} // namespace kvr::simsim
