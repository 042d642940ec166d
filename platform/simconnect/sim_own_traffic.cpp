// What the simulated simulator does on its own: its AI traffic, which clients see come and go like their
// own objects, the time an object takes before it is listed, and creations that fail late.
#include "platform/simconnect/sim_geo.h"
#include "platform/simconnect/sim_messages.h"
#include "platform/simconnect/simulated_simulator.h"

#include <cmath>

namespace kvr::simsim {

namespace {

constexpr std::int64_t microsPerSecond = 1'000'000;

// Where the simulator puts its own aircraft with a client's callsign: about 150 m north of the client's.
constexpr double copyOffsetDegrees = 0.00135;

SIMCONNECT_SIMOBJECT_TYPE lf_objectKind(const std::string& kind) {
    if (kind == "helicopter")
        return SIMCONNECT_SIMOBJECT_TYPE_HELICOPTER;
    if (kind == "boat")
        return SIMCONNECT_SIMOBJECT_TYPE_BOAT;
    if (kind == "ground")
        return SIMCONNECT_SIMOBJECT_TYPE_GROUND;
    return SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT;
}

} // namespace

DWORD SimulatedSimulator::addObject(SimObjectState object, std::int64_t addedMicros) {
    const DWORD id = nextObjectId_++;
    object.objectId = id;
    object.recordTrail();
    const SIMCONNECT_SIMOBJECT_TYPE kind = object.kind;
    objects_[id] = std::move(object);
    listedFrom_[id] = addedMicros + std::llround(scenario_.recognitionDelaySeconds * microsPerSecond);
    sendObjectEvent("objectadded", id, kind);
    return id;
}

void SimulatedSimulator::addDueSimulatorTraffic() {
    const auto& traffic = scenario_.simulatorTraffic;
    while (nextTrafficObject_ < traffic.size() &&
           std::llround(traffic[nextTrafficObject_].appearsAtSeconds * microsPerSecond) <= nowMicros_) {
        const SimulatorTrafficObject& setup = traffic[nextTrafficObject_++];
        SimObjectState object;
        object.kind = lf_objectKind(setup.kind);
        object.atcId = setup.atcId;
        object.title = setup.title;
        object.latitude = setup.latitude;
        object.longitude = setup.longitude;
        object.altitudeFt = setup.altitudeFt;
        object.headingDeg = setup.headingDeg;
        // The simulator's traffic is established: listed at once.
        listedFrom_[addObject(std::move(object), nowMicros_)] = nowMicros_;
    }
}

void SimulatedSimulator::addCallsignCopy(const SimObjectState& created) {
    SimObjectState copy = created;
    copy.latitude = std::min(created.latitude + copyOffsetDegrees, 90.0);
    listedFrom_[addObject(std::move(copy), nowMicros_)] = nowMicros_;
}

// Spread evenly: creation n fails when n * share passes a whole number.
std::optional<SIMCONNECT_EXCEPTION> SimulatedSimulator::nextLateFailure() {
    const double share = scenario_.lateFailureShare;
    const std::uint64_t n = ++acceptedCreations_;
    if (share <= 0 || scenario_.lateFailureExceptions.empty() ||
        std::floor(static_cast<double>(n) * share) == std::floor(static_cast<double>(n - 1) * share))
        return std::nullopt;
    const auto& exceptions = scenario_.lateFailureExceptions;
    return static_cast<SIMCONNECT_EXCEPTION>(exceptions[lateFailures_++ % exceptions.size()]);
}

bool SimulatedSimulator::listed(DWORD objectId) const {
    const auto it = listedFrom_.find(objectId);
    return it == listedFrom_.end() || it->second <= nowMicros_;
}

bool SimulatedSimulator::createdBy(DWORD objectId, const Connection& connection) const {
    const auto it = creators_.find(objectId);
    if (it == creators_.end())
        return false;
    const auto creator = it->second.lock();
    return creator && creator.get() == &connection;
}

std::vector<SimObjectState> SimulatedSimulator::simulatorTraffic() const {
    std::lock_guard lock(mutex_);
    std::vector<SimObjectState> result;
    for (const auto& [id, object] : objects_)
        if (!creators_.count(id))
            result.push_back(object);
    return result;
}

void SimulatedSimulator::failNextPacketIds(int count) {
    std::lock_guard lock(mutex_);
    failPacketIds_ = std::max(count, 0);
}

void SimulatedSimulator::takeAway(DWORD objectId) {
    std::lock_guard lock(mutex_);
    removeAiObject(objectId);
}

} // namespace kvr::simsim
