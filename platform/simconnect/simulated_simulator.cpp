#include "platform/simconnect/simulated_simulator.h"

#include "platform/simconnect/installed_titles.h"
#include "platform/simconnect/sim_geo.h"
#include "platform/simconnect/sim_messages.h"

#include "core/message_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kvr::simsim {

namespace {

constexpr int framesPerSecond = 30;
constexpr std::int64_t microsPerSecond = 1'000'000;

// Object ids as each simulator hands them out: small numbers in 2020, large ones in 2024.
constexpr DWORD userObjectId = 1;
constexpr DWORD firstAiObjectId2020 = 1001;
constexpr DWORD firstAiObjectId2024 = 0x0A000001;

std::int64_t lf_frameTime(std::int64_t frameIndex) {
    return frameIndex * microsPerSecond / framesPerSecond;
}

} // namespace

SimulatedSimulator::SimulatedSimulator(Scenario scenario)
    : scenario_(std::move(scenario)),
      nextObjectId_(scenario_.kind == "MSFS 2020" ? firstAiObjectId2020 : firstAiObjectId2024) {
    std::vector<std::string> titles = scenario_.extraTitles;
    std::optional<std::filesystem::path> packages = scenario_.packagesFolder;
    if (!packages)
        packages = packagesFolderOfInstall(scenario_.kind);
    if (packages && !packages->empty())
        for (const char* folder : {"Community", "Official"})
            for (std::string& title : readTitlesBelow(*packages / folder))
                titles.push_back(std::move(title));
    for (const std::string& title : titles) {
        installedTitles_.insert(title);
    }

    const UserAircraftSetup& setup = scenario_.user;
    user_.objectId = userObjectId;
    user_.title = setup.title;
    user_.atcModel = setup.atcModel;
    user_.atcId = "USER";
    user_.wingspanFt = setup.wingspanFt;
    user_.latitude = setup.latitude;
    user_.longitude = setup.longitude;
    user_.altitudeFt = setup.altitudeFt;
    user_.headingDeg = setup.headingDeg;
    user_.onGround = setup.onGround;
    user_.navLights = true;
    user_.recordTrail();
    // Frame 0 is the moment of creation: a scenario that starts at once is running before any step.
    runFrame(0);
}

SimulatedSimulator::~SimulatedSimulator() {
    if (realTimeThread_.joinable()) {
        realTimeThread_.request_stop();
        realTimeThread_.join();
    }
}

// --- Clock -------------------------------------------------------------------------------------------

void SimulatedSimulator::advance(std::chrono::microseconds step) {
    std::lock_guard lock(mutex_);
    const std::int64_t target = nowMicros_ + std::max<std::int64_t>(step.count(), 0);
    while (lf_frameTime(frameIndex_ + 1) <= target) {
        ++frameIndex_;
        nowMicros_ = lf_frameTime(frameIndex_);
        runFrame(1.0 / framesPerSecond);
    }
    nowMicros_ = target;
}

void SimulatedSimulator::advanceSeconds(double seconds) {
    advance(std::chrono::microseconds(static_cast<std::int64_t>(std::llround(seconds * microsPerSecond))));
}

double SimulatedSimulator::clockSeconds() const {
    std::lock_guard lock(mutex_);
    return static_cast<double>(nowMicros_) / microsPerSecond;
}

void SimulatedSimulator::runInRealTime() {
    realTimeThread_ = std::jthread([this](std::stop_token stop) {
        auto last = std::chrono::steady_clock::now();
        while (!stop.stop_requested()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::steady_clock::now() - last);
            last += elapsed;
            advance(elapsed);
        }
    });
}

double SimulatedSimulator::utcNow() const {
    return static_cast<double>(scenario_.utcStartEpoch) + static_cast<double>(nowMicros_) / microsPerSecond;
}

// --- One frame ---------------------------------------------------------------------------------------

void SimulatedSimulator::runFrame(double seconds) {
    if (!started_ && !gone_ && nowMicros_ >= std::llround(scenario_.startsAfterSeconds * microsPerSecond))
        started_ = true;
    if (!started_ || gone_)
        return;
    updateFlightState();
    runTimeline();
    if (gone_)
        return;
    if (flightRunning_ && !paused_)
        moveUser(seconds);
    addDueSimulatorTraffic();
    addDueCreations();
    for (const auto& connection : connections_) {
        if (flightRunning_)
            for (const auto& [eventId, name] : connection->subscriptions_)
                if (name == "frame") {
                    SIMCONNECT_RECV_EVENT_FRAME frame{};
                    frame.dwID = SIMCONNECT_RECV_ID_EVENT_FRAME;
                    frame.uGroupID = SIMCONNECT_UNUSED;
                    frame.uEventID = eventId;
                    frame.fFrameRate = static_cast<float>(framesPerSecond);
                    frame.fSimSpeed = paused_ ? 0.0f : 1.0f;
                    connection->inbox_.push_back(makeSimMessage(frame));
                }
        answerRequests(*connection);
    }
}

void SimulatedSimulator::updateFlightState() {
    const bool running = started_ && !gone_ && !flightStoppedByScript_ &&
                         nowMicros_ >= std::llround(scenario_.flightStartsAfterSeconds * microsPerSecond);
    if (running == flightRunning_)
        return;
    flightRunning_ = running;
    sendSystemEvent("sim", running ? 1 : 0);
    sendSystemEvent(running ? "simstart" : "simstop", 0);
}

void SimulatedSimulator::runTimeline() {
    const auto& timeline = scenario_.timeline;
    while (!gone_ && nextTimelineEvent_ < timeline.size() &&
           std::llround(timeline[nextTimelineEvent_].atSeconds * microsPerSecond) <= nowMicros_) {
        const TimelineEvent& event = timeline[nextTimelineEvent_++];
        switch (event.kind) {
        case TimelineKind::flightLoaded:
            sendFileEvent("flightloaded", event.fileName);
            break;
        case TimelineKind::aircraftLoaded:
            sendFileEvent("aircraftloaded", event.fileName);
            break;
        case TimelineKind::teleport:
            teleportLocked(event.latitude, event.longitude, event.altitudeFt);
            if (event.headingDeg)
                user_.headingDeg = *event.headingDeg;
            break;
        case TimelineKind::pause:
        case TimelineKind::unpause:
            setPausedLocked(event.kind == TimelineKind::pause);
            break;
        case TimelineKind::simStop:
        case TimelineKind::simStart:
            flightStoppedByScript_ = event.kind == TimelineKind::simStop;
            updateFlightState();
            break;
        case TimelineKind::quit:
            quitLocked();
            break;
        case TimelineKind::disconnect:
            disconnectLocked();
            break;
        }
    }
}

void SimulatedSimulator::moveUser(double seconds) {
    const auto& route = scenario_.user.route;
    double remaining = seconds;
    while (remaining > 1e-9 && routeStep_ < route.size()) {
        const RouteStep& step = route[routeStep_];
        if (step.holdSeconds > 0) {
            if (holdLeft_ < 0)
                holdLeft_ = step.holdSeconds;
            const double used = std::min(remaining, holdLeft_);
            holdLeft_ -= used;
            remaining -= used;
            user_.groundSpeedKt = 0;
            if (holdLeft_ <= 1e-9) {
                holdLeft_ = -1;
                ++routeStep_;
            }
            continue;
        }
        if (step.onGround)
            user_.onGround = *step.onGround;
        user_.groundSpeedKt = step.speedKt;
        const double distance = distanceNm(user_.latitude, user_.longitude, step.latitude, step.longitude);
        const double travel = step.speedKt * remaining / 3600.0;
        const double track = bearingDeg(user_.latitude, user_.longitude, step.latitude, step.longitude);
        if (distance > 1e-7)
            user_.headingDeg = step.backwards ? std::fmod(track + 180.0, 360.0) : track;
        if (travel >= distance) {
            remaining -= distance / step.speedKt * 3600.0;
            user_.latitude = step.latitude;
            user_.longitude = step.longitude;
            if (step.altitudeFt)
                user_.altitudeFt = *step.altitudeFt;
            ++routeStep_;
        } else {
            if (step.altitudeFt)
                user_.altitudeFt += (*step.altitudeFt - user_.altitudeFt) * travel / distance;
            const LatLon next = destinationPoint(user_.latitude, user_.longitude, track, travel);
            user_.latitude = next.latitude;
            user_.longitude = next.longitude;
            remaining = 0;
        }
    }
    if (routeStep_ >= route.size())
        user_.groundSpeedKt = 0;
    user_.recordTrail();
}

void SimulatedSimulator::addDueCreations() {
    auto due = std::stable_partition(pendingCreations_.begin(), pendingCreations_.end(),
                                     [this](const PendingCreation& p) { return p.dueMicros > nowMicros_; });
    std::vector<PendingCreation> ready(std::make_move_iterator(due),
                                       std::make_move_iterator(pendingCreations_.end()));
    pendingCreations_.erase(due, pendingCreations_.end());
    for (PendingCreation& creation : ready) {
        const auto client = creation.client.lock();
        if (creation.lateFailure) {
            if (client && !client->closed_)
                sendException(*client, *creation.lateFailure, 0, creation.sendId);
            continue;
        }
        // Known to the creator before the object is announced, so that ObjectAdded finds it owned.
        const DWORD id = nextObjectId_;
        creators_[id] = creation.client;
        addObject(std::move(creation.object), nowMicros_);
        if (client && !client->closed_) {
            SIMCONNECT_RECV_ASSIGNED_OBJECT_ID assigned{};
            assigned.dwID = SIMCONNECT_RECV_ID_ASSIGNED_OBJECT_ID;
            assigned.dwRequestID = creation.requestId;
            assigned.dwObjectID = id;
            client->inbox_.push_back(makeSimMessage(assigned));
        }
    }
}

void SimulatedSimulator::answerRequests(Connection& connection) {
    for (auto it = connection.requests_.begin(); it != connection.requests_.end();) {
        Connection::DataRequest& request = it->second;
        const SimObjectState* object = findObject(request.objectId);
        if (!object) {
            it = connection.requests_.erase(it);
            continue;
        }
        if (request.nextDueMicros > nowMicros_) {
            ++it;
            continue;
        }
        sendObjectData(connection, it->first, request.defineId, *object, 0, 0, false);
        if (request.period == SIMCONNECT_PERIOD_ONCE) {
            it = connection.requests_.erase(it);
            continue;
        }
        if (request.period == SIMCONNECT_PERIOD_SECOND)
            request.nextDueMicros = std::max(request.nextDueMicros + microsPerSecond, nowMicros_ + 1);
        else
            request.nextDueMicros = nowMicros_ + 1;
        ++it;
    }
    for (const Connection::ByTypeRequest& request : connection.byTypeRequests_)
        answerByType(connection, request);
    connection.byTypeRequests_.clear();
}

// Radius 0 (or type USER) lists the user aircraft alone; AIRCRAFT lists the user aircraft and the
// aircraft within the radius, ALL every AI object besides; the other types their own kind. Objects not
// yet listed are left out.
void SimulatedSimulator::answerByType(Connection& connection, const Connection::ByTypeRequest& request) {
    std::vector<const SimObjectState*> inRange;
    const bool userOnly = request.type == SIMCONNECT_SIMOBJECT_TYPE_USER || request.radiusMetres == 0;
    if (userOnly || request.type == SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT ||
        request.type == SIMCONNECT_SIMOBJECT_TYPE_ALL)
        inRange.push_back(&user_);
    if (!userOnly) {
        const double radiusNm = static_cast<double>(request.radiusMetres) / metresPerNm;
        for (const auto& [id, object] : objects_)
            if ((request.type == SIMCONNECT_SIMOBJECT_TYPE_ALL || object.kind == request.type) &&
                listed(id) &&
                distanceNm(user_.latitude, user_.longitude, object.latitude, object.longitude) <= radiusNm)
                inRange.push_back(&object);
    }
    if (inRange.empty()) {
        sendObjectData(connection, request.requestId, request.defineId, user_, 0, 0, true);
        return;
    }
    for (std::size_t i = 0; i < inRange.size(); ++i)
        sendObjectData(connection, request.requestId, request.defineId, *inRange[i],
                       static_cast<DWORD>(i + 1), static_cast<DWORD>(inRange.size()), true);
}

// --- Messages ----------------------------------------------------------------------------------------

void SimulatedSimulator::sendException(Connection& connection, SIMCONNECT_EXCEPTION exception, DWORD index,
                                       std::optional<DWORD> sendId) {
    SIMCONNECT_RECV_EXCEPTION record{};
    record.dwID = SIMCONNECT_RECV_ID_EXCEPTION;
    record.dwException = exception;
    record.dwSendID = sendId.value_or(connection.lastPacketId_);
    record.dwIndex = index;
    connection.inbox_.push_back(makeSimMessage(record));
}

void SimulatedSimulator::sendSystemEvent(const std::string& name, DWORD data) {
    for (const auto& connection : connections_)
        for (const auto& [eventId, subscribed] : connection->subscriptions_)
            if (subscribed == name) {
                SIMCONNECT_RECV_EVENT event{};
                event.dwID = SIMCONNECT_RECV_ID_EVENT;
                event.uGroupID = SIMCONNECT_UNUSED;
                event.uEventID = eventId;
                event.dwData = data;
                connection->inbox_.push_back(makeSimMessage(event));
            }
}

void SimulatedSimulator::sendFileEvent(const std::string& name, const std::string& fileName) {
    for (const auto& connection : connections_)
        for (const auto& [eventId, subscribed] : connection->subscriptions_)
            if (subscribed == name) {
                SIMCONNECT_RECV_EVENT_FILENAME event{};
                event.dwID = SIMCONNECT_RECV_ID_EVENT_FILENAME;
                event.uGroupID = SIMCONNECT_UNUSED;
                event.uEventID = eventId;
                std::strncpy(event.szFileName, fileName.c_str(), sizeof event.szFileName - 1);
                connection->inbox_.push_back(makeSimMessage(event));
            }
}

void SimulatedSimulator::sendObjectEvent(const std::string& name, DWORD objectId,
                                         SIMCONNECT_SIMOBJECT_TYPE kind) {
    for (const auto& connection : connections_)
        for (const auto& [eventId, subscribed] : connection->subscriptions_)
            if (subscribed == name) {
                SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE event{};
                event.dwID = SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE;
                event.uGroupID = SIMCONNECT_UNUSED;
                event.uEventID = eventId;
                event.dwData = objectId;
                event.eObjType = kind;
                connection->inbox_.push_back(makeSimMessage(event));
            }
}

void SimulatedSimulator::sendObjectData(Connection& connection, DWORD requestId, DWORD defineId,
                                        const SimObjectState& object, DWORD entry, DWORD outOf, bool byType) {
    std::vector<std::byte> payload;
    const auto& datums = connection.definitions_[defineId];
    // An object is complete only once listed: until then its ATC ID reads empty.
    SimObjectState unlisted;
    const SimObjectState* shown = &object;
    if (object.objectId != user_.objectId && !listed(object.objectId)) {
        unlisted = object;
        unlisted.atcId.clear();
        shown = &unlisted;
    }
    if (outOf > 0 || !byType)
        for (const Datum& datum : datums)
            encodeDatum(*shown, datum, utcNow(), payload);
    SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE record{};
    record.dwID = byType ? SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE : SIMCONNECT_RECV_ID_SIMOBJECT_DATA;
    record.dwRequestID = requestId;
    record.dwObjectID = outOf > 0 || !byType ? object.objectId : 0;
    record.dwDefineID = defineId;
    // A single object's answer is entry 1 of 1.
    record.dwentrynumber = byType ? entry : 1;
    record.dwoutof = byType ? outOf : 1;
    record.dwDefineCount = static_cast<DWORD>(payload.empty() ? 0 : datums.size());
    connection.inbox_.push_back(makeSimMessage(record, payload, simObjectDataOffset()));
}

SimObjectState* SimulatedSimulator::aiObjectOrException(Connection& connection, DWORD objectId) {
    const auto it = objects_.find(objectId);
    if (it != objects_.end())
        return &it->second;
    sendException(connection, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, 1);
    return nullptr;
}

void SimulatedSimulator::removeAiObject(DWORD objectId) {
    const auto it = objects_.find(objectId);
    if (it == objects_.end())
        return;
    const SIMCONNECT_SIMOBJECT_TYPE kind = it->second.kind;
    objects_.erase(it);
    creators_.erase(objectId);
    listedFrom_.erase(objectId);
    sendObjectEvent("objectremoved", objectId, kind);
}

SimObjectState* SimulatedSimulator::findObject(DWORD objectId) {
    if (objectId == SIMCONNECT_OBJECT_ID_USER || objectId == user_.objectId)
        return &user_;
    const auto it = objects_.find(objectId);
    return it == objects_.end() ? nullptr : &it->second;
}

// --- State and read-back -----------------------------------------------------------------------------

bool SimulatedSimulator::isRunning() const {
    std::lock_guard lock(mutex_);
    return started_ && !gone_;
}

bool SimulatedSimulator::flightRunning() const {
    std::lock_guard lock(mutex_);
    return flightRunning_;
}

bool SimulatedSimulator::paused() const {
    std::lock_guard lock(mutex_);
    return paused_;
}

double SimulatedSimulator::utcEpochSeconds() const {
    std::lock_guard lock(mutex_);
    return utcNow();
}

SimObjectState SimulatedSimulator::userAircraft() const {
    std::lock_guard lock(mutex_);
    return user_;
}

std::vector<SimObjectState> SimulatedSimulator::objects() const {
    std::lock_guard lock(mutex_);
    std::vector<SimObjectState> result;
    for (const auto& [id, object] : objects_)
        if (creators_.count(id))
            result.push_back(object);
    return result;
}

std::optional<SimObjectState> SimulatedSimulator::object(DWORD objectId) const {
    std::lock_guard lock(mutex_);
    const auto it = objects_.find(objectId);
    if (it == objects_.end())
        return std::nullopt;
    return it->second;
}

std::set<std::string> SimulatedSimulator::installedTitles() const {
    return installedTitles_;
}

// The documentation gives the container title as case-sensitive; it is taken as it is.
bool SimulatedSimulator::isInstalled(const std::string& title) const {
    return installedTitles_.count(title) > 0;
}

int SimulatedSimulator::connectionCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(connections_.size());
}

int SimulatedSimulator::openCount() const {
    std::lock_guard lock(mutex_);
    return openCount_;
}

// --- Test control ------------------------------------------------------------------------------------

void SimulatedSimulator::failNextRequests(int count) {
    std::lock_guard lock(mutex_);
    failRequests_ = std::max(count, 0);
}

void SimulatedSimulator::failNextCreations(int count) {
    std::lock_guard lock(mutex_);
    failCreations_ = std::max(count, 0);
}

void SimulatedSimulator::disconnect() {
    std::lock_guard lock(mutex_);
    disconnectLocked();
}

void SimulatedSimulator::quit() {
    std::lock_guard lock(mutex_);
    quitLocked();
}

void SimulatedSimulator::setFlightRunning(bool running) {
    std::lock_guard lock(mutex_);
    flightStoppedByScript_ = !running;
    updateFlightState();
}

void SimulatedSimulator::setPaused(bool paused) {
    std::lock_guard lock(mutex_);
    setPausedLocked(paused);
}

void SimulatedSimulator::teleportUser(double latitude, double longitude, std::optional<double> altitudeFt) {
    std::lock_guard lock(mutex_);
    teleportLocked(latitude, longitude, altitudeFt);
}

void SimulatedSimulator::loadFlight(const std::string& fileName) {
    std::lock_guard lock(mutex_);
    sendFileEvent("flightloaded", fileName);
}

void SimulatedSimulator::loadAircraft(const std::string& fileName) {
    std::lock_guard lock(mutex_);
    sendFileEvent("aircraftloaded", fileName);
}

void SimulatedSimulator::disconnectLocked() {
    gone_ = true;
    broken_ = true;
    flightRunning_ = false;
}

void SimulatedSimulator::quitLocked() {
    if (gone_)
        return;
    for (const auto& connection : connections_) {
        SIMCONNECT_RECV_QUIT record{};
        record.dwID = SIMCONNECT_RECV_ID_QUIT;
        connection->inbox_.push_back(makeSimMessage(record));
    }
    gone_ = true;
    flightRunning_ = false;
}

void SimulatedSimulator::setPausedLocked(bool paused) {
    if (paused == paused_)
        return;
    paused_ = paused;
    sendSystemEvent("pause", paused ? 1 : 0);
}

void SimulatedSimulator::teleportLocked(double latitude, double longitude, std::optional<double> altitudeFt) {
    user_.latitude = latitude;
    user_.longitude = longitude;
    if (altitudeFt)
        user_.altitudeFt = *altitudeFt;
    user_.groundSpeedKt = 0;
    // The scripted route belonged to the old place.
    routeStep_ = scenario_.user.route.size();
    user_.trail.clear();
    user_.recordTrail();
}

// --- Process-wide simulator --------------------------------------------------------------------------

namespace {
std::mutex slotMutex;
std::shared_ptr<SimulatedSimulator> slot;
bool environmentTried = false;

// The scenario file VANTREL_SIM names; read wide on Windows, where a narrow value loses every letter outside
// the ANSI code page.
std::filesystem::path lf_scenarioFile() {
#ifdef _WIN32
    const wchar_t* value = _wgetenv(L"VANTREL_SIM");
#else
    const char* value = std::getenv("VANTREL_SIM");
#endif
    return value ? std::filesystem::path(value) : std::filesystem::path();
}
} // namespace

void installSimulator(std::shared_ptr<SimulatedSimulator> simulator) {
    std::lock_guard lock(slotMutex);
    environmentTried = simulator != nullptr;
    slot = std::move(simulator);
}

std::shared_ptr<SimulatedSimulator> currentSimulator() {
    std::lock_guard lock(slotMutex);
    if (slot || environmentTried)
        return slot;
    environmentTried = true;
    const std::filesystem::path file = lf_scenarioFile();
    if (file.empty())
        return nullptr;
    try {
        slot = std::make_shared<SimulatedSimulator>(loadScenarioFile(file));
        slot->runInRealTime();
    } catch (const std::exception& error) {
        // The program then waits for a simulator that never comes: its error line and Log.txt say why, where
        // the simulator runs in the program's process, and stderr where it runs in its own DLL.
        const std::string text = std::string("VANTREL_SIM: ") + error.what();
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
        gf_showError(text);
    }
    return slot;
}

} // namespace kvr::simsim
