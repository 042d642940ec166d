// Creations on their way into the simulator: recognised by their ATC id on the object the simulator
// assigned to the creation, given up when never seen, and the objects of this session that disappear
// again.
#include "core/log.h"
#include "core/native_path.h"
#include "core/shared_state.h"
#include "simlink/flight_plan.h"
#include "simlink/sim_answer.h"
#include "simlink/sim_client.h"
#include "simlink/sim_client_internal.h"
#include "simlink/sim_ids.h"
#include "simlink/sim_link_state.h"
#include "simlink/sim_queues.h"

#include <fmt/format.h>

#include <algorithm>

namespace kvr {

// The object the simulator assigned to a creation is asked for its ATC id wherever it is: a creation
// waits in the engine's queue, and an aircraft near the edge of the range and flying outwards is created
// where it is by then, which may be beyond any radius the aircraft in range are asked for.
void SimClientConnection::askForAtcId(const AwaitedCreation& creation) {
    bool failed = false;
    {
        std::lock_guard lock(simQueueMutex);
        if (simLinkSuspended || !handle_)
            return;
        failed = FAILED(gf_simConnect().RequestDataOnSimObject(
            handle_, creation.requestId, atcIdDefinition, creation.assignedId, SIMCONNECT_PERIOD_ONCE,
            SIMCONNECT_DATA_REQUEST_FLAG_DEFAULT, 0, 0, 0));
        if (!failed)
            rememberPacket(PacketKind::recognitionQuery, creation.assignedId);
    }
    if (failed) {
        gf_logError("SimConnect request ATC id of a created object fails");
        gf_onSimConnectRequestError();
    }
}

void SimClientConnection::onCreatedObjectData(const SIMCONNECT_RECV_SIMOBJECT_DATA& data, DWORD size) {
    const auto awaited = std::find_if(awaited_.begin(), awaited_.end(), [&](const AwaitedCreation& creation) {
        return creation.requestId == data.dwRequestID && creation.assignedId != 0 &&
               creation.assignedId == data.dwObjectID;
    });
    if (awaited == awaited_.end() || data.dwDefineCount == 0 || ownObjects_.count(data.dwObjectID))
        return;
    std::string atcId;
    try {
        atcId = SimAnswerReader(data, size).text(32);
    } catch (const std::runtime_error& error) {
        gf_logError(fmt::format("onCreatedObjectData: {}", error.what()));
        return;
    }
    // The ATC id may read empty for a while after the object was added: it is asked for again.
    if (atcId != awaited->atcId)
        return;
    const AwaitedCreation creation = std::move(*awaited);
    awaited_.erase(awaited);
    recognise(data.dwObjectID, creation);
}

void SimClientConnection::recognise(SimObjectId objectId, const AwaitedCreation& creation) {
    const CreateRequest& request = creation.request;
    ownObjects_.insert(objectId);
    gf_logIndented(fmt::format("{} is object {} ({})", request.tailNumber, objectId, request.title));
    gf_postSimNotification({SimNotificationKind::objectCreated,
                            objectId,
                            request.aircraftId,
                            request.tailNumber,
                            request.title,
                            request.description,
                            {}});

    const std::filesystem::path plan = gf_writeFlightPlan(objectId, request);
    // The simulator takes the plan's path without its extension.
    const std::string planName =
        plan.empty() ? std::string() : gf_pathToUtf8(plan.parent_path() / plan.stem());
    const char* failedCall = nullptr;
    {
        std::lock_guard lock(simQueueMutex);
        if (simLinkSuspended || !handle_)
            return;
        if (!planName.empty()) {
            if (FAILED(gf_simConnect().AISetAircraftFlightPlan(handle_, objectId, planName.c_str(),
                                                               flightPlanRequest)))
                failedCall = "flight plan";
            else
                rememberPacket(PacketKind::flightPlan, objectId);
        }
        // Every frame moves the object from here on: the AI must not move it too (docs/ai-control.md).
        // Released after the plan, so that the plan cannot hand the object back.
        if (!failedCall) {
            if (FAILED(gf_simConnect().AIReleaseControl(handle_, objectId, releaseControlRequest)))
                failedCall = "release control";
            else
                rememberPacket(PacketKind::releaseControl, objectId);
        }
    }
    if (failedCall) {
        gf_logError(fmt::format("SimConnect request {} fails", failedCall));
        gf_onSimConnectRequestError();
    }
}

void SimClientConnection::objectGone(SimObjectId objectId) {
    ownObjects_.erase(objectId);
    // One step for both: the engine never sees the removal while updates for the object still wait.
    std::lock_guard notificationLock(simNotificationMutex);
    {
        std::lock_guard queueLock(simQueueMutex);
        auto sameObject = [objectId](const auto& entry) { return entry.objectId == objectId; };
        std::erase_if(simQueues.positions.fill(), sameObject);
        std::erase_if(simQueues.lights, sameObject);
        std::erase(simQueues.removals, objectId);
    }
    gf_postSimNotificationLocked({SimNotificationKind::objectRemoved, objectId, 0, {}, {}, {}, {}});
}

void SimClientConnection::onAssignedObjectId(const SIMCONNECT_RECV_ASSIGNED_OBJECT_ID& assigned) {
    const auto awaited = std::find_if(awaited_.begin(), awaited_.end(), [&](const AwaitedCreation& creation) {
        return creation.requestId == assigned.dwRequestID;
    });
    if (awaited != awaited_.end()) {
        awaited->assignedId = assigned.dwObjectID;
        askForAtcId(*awaited);
    } else if (assigned.dwRequestID >= firstCreationRequest && assigned.dwRequestID < nextCreationRequest_) {
        // A creation given up before its object came: nobody manages the object, so it goes.
        gf_logLine(
            fmt::format("SimConnect: object {} came after its creation was given up", assigned.dwObjectID));
        removeObject(assigned.dwObjectID);
    }
}

void SimClientConnection::removeObject(SimObjectId objectId) {
    bool failed = false;
    {
        std::lock_guard lock(simQueueMutex);
        if (simLinkSuspended || !handle_)
            return;
        failed = FAILED(gf_simConnect().AIRemoveObject(handle_, objectId, removalRequest));
        if (!failed)
            rememberPacket(PacketKind::removal, objectId);
    }
    if (failed) {
        gf_logError("SimConnect request removal fails");
        gf_onSimConnectRequestError();
    }
}

void SimClientConnection::expireAwaited(double seconds) {
    // The object may carry its ATC id only some time after it was added: ask again.
    secondsSinceRecognitionQuery_ += seconds;
    if (secondsSinceRecognitionQuery_ >= recognitionRepeatSeconds - 1e-9) {
        secondsSinceRecognitionQuery_ = 0;
        for (const AwaitedCreation& creation : awaited_)
            if (creation.assignedId != 0)
                askForAtcId(creation);
    }
    for (AwaitedCreation& creation : awaited_)
        creation.waitedSeconds += seconds;
    const auto expired =
        std::stable_partition(awaited_.begin(), awaited_.end(), [](const AwaitedCreation& creation) {
            return creation.waitedSeconds <= recognitionTimeoutSeconds;
        });
    std::vector<AwaitedCreation> givenUp(std::make_move_iterator(expired),
                                         std::make_move_iterator(awaited_.end()));
    awaited_.erase(expired, awaited_.end());
    for (const AwaitedCreation& creation : givenUp) {
        const CreateRequest& request = creation.request;
        // Only a creation that got no object is the simulator's refusal; an object that is there but does
        // not read its ATC id says nothing against the title.
        const bool noObject = creation.assignedId == 0;
        gf_logLine(fmt::format("SimConnect: {} ({}) {} {:.0f} s after its creation", request.tailNumber,
                               request.title, noObject ? "got no object" : "not seen",
                               recognitionTimeoutSeconds));
        // An object that did appear but cannot be told apart would stand there unmanaged.
        if (!noObject)
            removeObject(creation.assignedId);
        gf_postSimNotification({SimNotificationKind::creationFailed, 0, request.aircraftId,
                                request.tailNumber, request.title, request.description,
                                noObject ? noObjectReason : notRecognisedReason});
    }
}

} // namespace kvr
