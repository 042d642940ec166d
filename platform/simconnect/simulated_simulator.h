#pragma once
// The simulated simulator behind our SimConnect stand-in: a small world (the user aircraft following its
// scenario, AI aircraft that clients create, move, light and remove), a clock that tests step or that
// runs in real time, the messages each connected client receives, and controls for tests (read-back of
// every object, failure injection, the scenario's timeline by hand).
//
// Client-visible behaviour:
// - Open fails until the clock reaches the scenario's start, and after a quit or a disconnect.
// - The first message of a connection is OPEN (application name and version of the scenario).
// - Clock time advances in frames of 1/30 s. On each frame while a flight runs, every client subscribed
//   to "Frame" gets EVENT_FRAME; data requests are answered per their period (ONCE at the next frame,
//   SECOND every simulated second, SIM_FRAME/VISUAL_FRAME every frame). A request with the id of an
//   earlier one replaces it; PERIOD_NEVER ends it.
// - Subscribing to "Sim" or "Pause" answers the current state at once, as later changes are announced.
// - A creation of an installed title (compared exactly) adds the object after the scenario's creation
//   delay: ObjectAdded to the subscribers and ASSIGNED_OBJECT_ID to the creating client; only after the
//   scenario's recognition delay is it listed in by-type answers and does its ATC ID read. An unknown
//   title (or an injected failure) gives EXCEPTION CREATE_OBJECT_FAILED with the packet id of the call; a
//   scenario-chosen share of creations fails late instead, with an exception 33 to 37 and that packet id.
// - The simulator's own AI objects (aircraft and others, with any callsign) come and go with ObjectAdded
//   and ObjectRemoved like those of the clients.
// - After a quit, calls are accepted and ignored until the client has been handed QUIT; then they fail.
// - Calls naming an object that does not exist give EXCEPTION UNRECOGNIZED_ID; AIRemoveObject removes only
//   the client's own objects and announces ObjectRemoved to the subscribers.
#include "platform/simconnect/sim_object.h"
#include "platform/simconnect/sim_scenario.h"
#include "platform/simconnect/simconnect.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace kvr::simsim {

class SimulatedSimulator;

// One message waiting for a client: the record's bytes, its head pointing into them.
struct SimMessage {
    std::unique_ptr<std::byte[]> bytes;
    SIMCONNECT_RECV* head = nullptr;
    DWORD size = 0;
};

// What one connected client has set up and what waits for it.
class Connection {
public:
    explicit Connection(std::string clientName) : clientName_(std::move(clientName)) {}
    const std::string& clientName() const { return clientName_; }

private:
    friend class SimulatedSimulator;

    struct DataRequest {
        DWORD defineId = 0;
        DWORD objectId = 0;
        SIMCONNECT_PERIOD period = SIMCONNECT_PERIOD_ONCE;
        std::int64_t nextDueMicros = 0;
    };
    struct ByTypeRequest {
        DWORD requestId = 0;
        DWORD defineId = 0;
        DWORD radiusMetres = 0;
        SIMCONNECT_SIMOBJECT_TYPE type = SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT;
    };

    std::string clientName_;
    std::deque<SimMessage> inbox_;
    std::map<DWORD, std::vector<Datum>> definitions_;
    std::map<DWORD, DataRequest> requests_;
    std::vector<ByTypeRequest> byTypeRequests_;
    std::map<DWORD, std::string> subscriptions_; // client event id -> system event name (lower case)
    std::map<DWORD, std::string> mappedEvents_;  // client event id -> simulator event name (upper case)
    DWORD lastPacketId_ = 0;
    bool closed_ = false;
    bool quitDelivered_ = false;
};

// A stand as the map shows it.
struct MapStand {
    std::string name;
    double latitude = 0;
    double longitude = 0;
    double radiusM = 20;
};

class SimulatedSimulator {
public:
    explicit SimulatedSimulator(Scenario scenario);
    ~SimulatedSimulator();
    SimulatedSimulator(const SimulatedSimulator&) = delete;
    SimulatedSimulator& operator=(const SimulatedSimulator&) = delete;

    // --- Clock -------------------------------------------------------------------------------------
    // Steps the simulated clock; everything due on the way happens in order, frame by frame.
    void advance(std::chrono::microseconds step);
    void advanceSeconds(double seconds);
    // Seconds since the simulator was created.
    double clockSeconds() const;
    // Lets a thread of its own advance the clock with the steady clock until destruction.
    void runInRealTime();

    // --- State and read-back -----------------------------------------------------------------------
    const Scenario& scenario() const { return scenario_; }
    bool isRunning() const;
    bool flightRunning() const;
    bool paused() const;
    double utcEpochSeconds() const;
    SimObjectState userAircraft() const;
    std::vector<SimObjectState> objects() const;          // AI objects the clients created, by object id
    std::vector<SimObjectState> simulatorTraffic() const; // the simulator's own AI objects, by object id
    std::optional<SimObjectState> object(DWORD objectId) const;
    std::set<std::string> installedTitles() const;
    bool isInstalled(const std::string& title) const;
    int connectionCount() const; // clients connected now
    int openCount() const;       // successful opens so far

    // --- Test control ------------------------------------------------------------------------------
    void failNextRequests(int count);    // the next calls of any client return E_FAIL and do nothing
    void failNextCreations(int count);   // creations fail as if the title were not installed
    void failNextPacketIds(int count);   // GetLastSentPacketID returns E_FAIL
    void takeAway(DWORD objectId);       // the simulator removes an AI object by itself
    void disconnect();                   // the connection breaks: further calls fail, Open too
    void quit();                         // QUIT to every client, then the simulator is gone
    void setFlightRunning(bool running); // "Sim" 1 or 0
    void setPaused(bool paused);
    void teleportUser(double latitude, double longitude, std::optional<double> altitudeFt = std::nullopt);
    void loadFlight(const std::string& fileName);   // FlightLoaded
    void loadAircraft(const std::string& fileName); // AircraftLoaded

    // --- Picture -----------------------------------------------------------------------------------
    // North-up map of radiusNm round the centre: stands, trails, AI aircraft (live: moved by a client;
    // static: never moved) with their ATC ids, and the user aircraft. False when the file cannot be written.
    bool renderMapPng(const std::filesystem::path& file, TrailPoint centre, double radiusNm,
                      const std::vector<MapStand>& stands = {}) const;

    // --- Client side (called by the SimConnect stand-in functions) ---------------------------------
    std::shared_ptr<Connection> open(const std::string& clientName);
    void close(Connection& connection);
    HRESULT dispatch(Connection& connection, DispatchProc proc, void* context);
    HRESULT addToDataDefinition(Connection& connection, DWORD defineId, const char* datumName,
                                const char* unitsName, SIMCONNECT_DATATYPE type);
    HRESULT requestData(Connection& connection, DWORD requestId, DWORD defineId, DWORD objectId,
                        SIMCONNECT_PERIOD period);
    HRESULT requestDataByType(Connection& connection, DWORD requestId, DWORD defineId, DWORD radiusMetres,
                              SIMCONNECT_SIMOBJECT_TYPE type);
    HRESULT subscribe(Connection& connection, DWORD eventId, const char* systemEventName);
    HRESULT mapClientEvent(Connection& connection, DWORD eventId, const char* eventName);
    HRESULT transmitClientEvent(Connection& connection, DWORD objectId, DWORD eventId, DWORD data);
    HRESULT createAircraft(Connection& connection, const char* title, const char* tailNumber,
                           const SIMCONNECT_DATA_INITPOSITION& position, DWORD requestId);
    HRESULT setFlightPlan(Connection& connection, DWORD objectId, const char* planPath, DWORD requestId);
    HRESULT removeObject(Connection& connection, DWORD objectId, DWORD requestId);
    HRESULT releaseControl(Connection& connection, DWORD objectId, DWORD requestId);
    HRESULT setData(Connection& connection, DWORD defineId, DWORD objectId, DWORD arrayCount, DWORD unitSize,
                    const void* data);
    HRESULT lastSentPacketId(Connection& connection, DWORD* id);

private:
    struct PendingCreation {
        std::int64_t dueMicros = 0;
        std::weak_ptr<Connection> client;
        DWORD requestId = 0;
        DWORD sendId = 0;
        std::optional<SIMCONNECT_EXCEPTION> lateFailure;
        SimObjectState object;
    };

    // All of these run with mutex_ held.
    bool usable(const Connection& connection) const;
    std::optional<HRESULT> beginCall(Connection& connection);
    void runFrame(double seconds);
    void updateFlightState();
    void runTimeline();
    void moveUser(double seconds);
    void addDueCreations();
    void answerRequests(Connection& connection);
    void answerByType(Connection& connection, const Connection::ByTypeRequest& request);
    // The simulator's own traffic (sim_own_traffic.cpp).
    void addDueSimulatorTraffic();
    DWORD addObject(SimObjectState object, std::int64_t addedMicros);
    void addCallsignCopy(const SimObjectState& created);
    std::optional<SIMCONNECT_EXCEPTION> nextLateFailure();
    bool listed(DWORD objectId) const;
    bool createdBy(DWORD objectId, const Connection& connection) const;
    // sendId: the packet the exception answers; by default the client's last one.
    void sendException(Connection& connection, SIMCONNECT_EXCEPTION exception, DWORD index = 0,
                       std::optional<DWORD> sendId = std::nullopt);
    void sendSystemEvent(const std::string& name, DWORD data);
    void sendFileEvent(const std::string& name, const std::string& fileName);
    void sendObjectEvent(const std::string& name, DWORD objectId, SIMCONNECT_SIMOBJECT_TYPE kind);
    void disconnectLocked();
    void quitLocked();
    void setPausedLocked(bool paused);
    void teleportLocked(double latitude, double longitude, std::optional<double> altitudeFt);
    std::shared_ptr<Connection> sharedConnection(const Connection& connection) const;
    SimObjectState* findObject(DWORD objectId);
    // An AI object the call names (not the user), or null after answering UNRECOGNIZED_ID.
    SimObjectState* aiObjectOrException(Connection& connection, DWORD objectId);
    // Drops the object from every table and tells subscribers; unknown ids are ignored.
    void removeAiObject(DWORD objectId);
    void sendObjectData(Connection& connection, DWORD requestId, DWORD defineId, const SimObjectState& object,
                        DWORD entry, DWORD outOf, bool byType);
    double utcNow() const;

    Scenario scenario_;
    std::set<std::string> installedTitles_;

    mutable std::mutex mutex_;
    std::int64_t nowMicros_ = 0;
    std::int64_t frameIndex_ = 0;
    bool started_ = false;
    bool gone_ = false;   // quit or disconnected: never running again
    bool broken_ = false; // disconnected: not even waiting messages are delivered
    bool flightRunning_ = false;
    bool flightStoppedByScript_ = false;
    bool paused_ = false;
    std::size_t nextTimelineEvent_ = 0;
    std::size_t routeStep_ = 0;
    double holdLeft_ = -1;
    SimObjectState user_;
    std::map<DWORD, SimObjectState> objects_;
    std::map<DWORD, std::weak_ptr<Connection>> creators_; // the client's aircraft go when it closes
    std::map<DWORD, std::int64_t> listedFrom_;            // when each AI object joins by-type answers
    std::size_t nextTrafficObject_ = 0;
    std::uint64_t acceptedCreations_ = 0;
    std::size_t lateFailures_ = 0;
    std::vector<PendingCreation> pendingCreations_;
    DWORD nextObjectId_;
    std::vector<std::shared_ptr<Connection>> connections_;
    int openCount_ = 0;
    int failRequests_ = 0;
    int failCreations_ = 0;
    int failPacketIds_ = 0;

    std::jthread realTimeThread_;
};

// The simulator the SimConnect stand-in talks to. Tests install one; without that, the first call finds
// the scenario named by the environment variable VANTREL_SIM, starts it in real time and keeps it for the
// life of the process. Without either, there is no simulator and Open fails. Installing none goes back to
// the start: the next call looks at VANTREL_SIM again.
void installSimulator(std::shared_ptr<SimulatedSimulator> simulator);
std::shared_ptr<SimulatedSimulator> currentSimulator();

} // namespace kvr::simsim
