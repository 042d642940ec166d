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

namespace {
constexpr DWORD maximumRangeMetres = 200000;
} // namespace

void SimClientConnection::requestAircraftInRange() {
    if (inRangeQueryOpen_) {
        inRangeQueryAgain_ = true;
        return;
    }
    const int range = rangeMetres;
    const DWORD radius =
        range > 0 ? std::min(static_cast<DWORD>(range), maximumRangeMetres) : maximumRangeMetres;
    bool failed = false;
    {
        std::lock_guard lock(simQueueMutex);
        if (simLinkSuspended || !handle_)
            return;
        failed = FAILED(gf_simConnect().RequestDataOnSimObjectType(
            handle_, aircraftInRangeRequest, atcIdDefinition, radius, SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT));
        if (!failed)
            rememberPacket(PacketKind::inRangeQuery, 0);
    }
    if (failed) {
        gf_logError("SimConnect request aircraft in range fails");
        gf_onSimConnectRequestError();
        return;
    }
    inRangeQueryOpen_ = true;
    inRangeQueryOpenSeconds_ = 0;
    secondsSinceInRangeQuery_ = 0;
}

void SimClientConnection::onAircraftInRange(const SIMCONNECT_RECV_SIMOBJECT_DATA& data, DWORD size) {
    if (data.dwRequestID != aircraftInRangeRequest)
        return;
    if (data.dwoutof > 0 && data.dwDefineCount > 0) {
        std::string atcId;
        try {
            atcId = SimAnswerReader(data, size).text(32);
        } catch (const std::runtime_error& error) {
            gf_logError(fmt::format("onAircraftInRange: {}", error.what()));
        }
        // The simulator's own traffic may carry the same callsign: only the object assigned to the
        // creation is ours.
        const auto awaited =
            std::find_if(awaited_.begin(), awaited_.end(), [&](const AwaitedCreation& creation) {
                return !atcId.empty() && creation.atcId == atcId && creation.assignedId != 0 &&
                       creation.assignedId == data.dwObjectID;
            });
        if (awaited != awaited_.end() && !ownObjects_.count(data.dwObjectID)) {
            const AwaitedCreation creation = std::move(*awaited);
            awaited_.erase(awaited);
            recognise(data.dwObjectID, creation);
        }
    }
    if (data.dwentrynumber >= data.dwoutof) {
        inRangeQueryOpen_ = false;
        if (inRangeQueryAgain_ && !awaited_.empty()) {
            inRangeQueryAgain_ = false;
            requestAircraftInRange();
        }
    }
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
    bool awaited = false;
    for (AwaitedCreation& creation : awaited_)
        if (creation.requestId == assigned.dwRequestID) {
            creation.assignedId = assigned.dwObjectID;
            awaited = true;
        }
    if (awaited)
        requestAircraftInRange();
}

void SimClientConnection::expireAwaited(double seconds) {
    if (inRangeQueryOpen_ && (inRangeQueryOpenSeconds_ += seconds) > inRangeTimeoutSeconds) {
        inRangeQueryOpen_ = false;
        if (!awaited_.empty())
            requestAircraftInRange();
    }
    // The object may be listed, or carry its ATC id, only some time after it was added: ask again.
    secondsSinceInRangeQuery_ += seconds;
    if (!awaited_.empty() && secondsSinceInRangeQuery_ >= inRangeRepeatSeconds - 1e-9)
        requestAircraftInRange();
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
        gf_logLine(fmt::format("SimConnect: {} ({}) not seen {:.0f} s after its creation", request.tailNumber,
                               request.title, recognitionTimeoutSeconds));
        // An object that did appear but cannot be told apart would stand there unmanaged.
        if (creation.assignedId != 0) {
            bool failed = false;
            {
                std::lock_guard lock(simQueueMutex);
                if (!simLinkSuspended && handle_) {
                    failed =
                        FAILED(gf_simConnect().AIRemoveObject(handle_, creation.assignedId, removalRequest));
                    if (!failed)
                        rememberPacket(PacketKind::removal, creation.assignedId);
                }
            }
            if (failed) {
                gf_logError("SimConnect request removal fails");
                gf_onSimConnectRequestError();
            }
        }
        gf_postSimNotification({SimNotificationKind::creationFailed, 0, request.aircraftId,
                                request.tailNumber, request.title, request.description, "NOT RECOGNISED"});
    }
}

} // namespace kvr
