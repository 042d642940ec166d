#pragma once
// The pieces of the SimClient thread that tests drive directly, step by step on a simulated clock.
#include "platform/simconnect/simconnect_library.h"
#include "simlink/sim_ids.h"
#include "simlink/sim_records.h"

#include <array>
#include <chrono>
#include <functional>
#include <stop_token>
#include <string>
#include <unordered_set>
#include <vector>

namespace kvr {

// The open connection's handle, shared with the requests of other threads; guarded by simQueueMutex.
extern HANDLE simConnectHandle;

// One connection to the simulator, from Open to Close.
class SimClientConnection {
public:
    enum class End { none, quit, lost, failed };

    SimClientConnection() = default;
    ~SimClientConnection();
    SimClientConnection(const SimClientConnection&) = delete;
    SimClientConnection& operator=(const SimClientConnection&) = delete;

    // One Open attempt; on success the data definitions and events are set up. False while the
    // simulator is not running.
    bool open();
    bool isOpen() const { return handle_ != nullptr; }
    // Hands everything waiting to lf_dispatchProc. False once the connection has ended.
    bool dispatch();
    End end() const { return end_; }
    const std::string& failure() const { return failure_; }
    void fail(const std::string& what);
    void close();

    // --- Called from the dispatch procedure ---
    void onOpen(const SIMCONNECT_RECV_OPEN& open);
    void onQuit();
    void onEvent(const SIMCONNECT_RECV_EVENT& event);
    void onFileEvent(const SIMCONNECT_RECV_EVENT_FILENAME& event);
    void onObjectAddRemove(const SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE& event);
    void onFrame(const SIMCONNECT_RECV_EVENT_FRAME& frame);
    // The answer to askForAtcId (its request id is the creation's).
    void onCreatedObjectData(const SIMCONNECT_RECV_SIMOBJECT_DATA& data, DWORD size);
    void onAssignedObjectId(const SIMCONNECT_RECV_ASSIGNED_OBJECT_ID& assigned);
    void onException(const SIMCONNECT_RECV_EXCEPTION& exception);

private:
    enum class PacketKind {
        none,
        creation,
        removal,
        lights,
        position,
        flightPlan,
        releaseControl,
        recognitionQuery
    };
    struct SentPacket {
        DWORD id = 0;
        PacketKind kind = PacketKind::none;
        SimObjectId objectId = 0;
    };
    struct AwaitedCreation {
        DWORD sendId = unknownSendId; // the creation's packet; unknown when the library could not tell
        DWORD requestId = 0;
        double waitedSeconds = 0;
        SimObjectId assignedId = 0; // from ASSIGNED_OBJECT_ID, while not yet recognised
        std::string atcId;          // the tail number as handed to the simulator
        CreateRequest request;
    };

    // SimConnect.dll can be used; while it cannot, the error line says why (once, not on every try).
    bool libraryFound();
    bool setUp();
    // The caller holds simQueueMutex. False when a call failed.
    bool sendQueued(double frameSeconds);
    // The packet id of the call just made, kept to tell later exceptions apart; unknownSendId (and an
    // error line) when the client library cannot tell it.
    DWORD rememberPacket(PacketKind kind, SimObjectId objectId);
    // Asks the object assigned to the creation for its ATC id.
    void askForAtcId(const AwaitedCreation& creation);
    void recognise(SimObjectId objectId, const AwaitedCreation& creation);
    // Objects assigned to awaited creations are asked for their ATC id each recognitionRepeatSeconds;
    // creations not recognised within recognitionTimeoutSeconds are given up.
    void expireAwaited(double seconds);
    // AIRemoveObject for an object nobody manages.
    void removeObject(SimObjectId objectId);
    // An object of this session is gone: nothing more is sent to it and the engine hears of it.
    void objectGone(SimObjectId objectId);

    HANDLE handle_ = nullptr;
    End end_ = End::none;
    std::string failure_;
    bool loggedWaiting_ = false;
    std::string libraryProblem_;
    static constexpr std::size_t packetRingSize = 8192;
    std::array<SentPacket, packetRingSize> sentPackets_{};
    std::vector<AwaitedCreation> awaited_;
    std::unordered_set<SimObjectId> ownObjects_;
    DWORD nextCreationRequest_ = 0;
    double secondsSinceRecognitionQuery_ = 0;
    double secondsSinceUserRequest_ = 0;
};

// A request for the user aircraft's data with the given definition.
HRESULT lf_requestUserData(HANDLE handle, DWORD request, DWORD definition, SIMCONNECT_PERIOD period);

// The dispatch procedure; the context is the SimClientConnection.
void CALLBACK lf_dispatchProc(SIMCONNECT_RECV* data, DWORD size, void* context);
// The answers to the user aircraft's requests (106 to 109).
void lf_onSimObjectData(const SIMCONNECT_RECV_SIMOBJECT_DATA& data, DWORD size);

// The body of SimClient with the waiting handed in: the thread waits on the steady clock (and wakes up
// when stopped); tests step the simulated simulator instead.
using SimClientWait = std::function<void(std::chrono::milliseconds)>;
void lf_runSimClient(std::stop_token stop, const SimClientWait& wait);
// The thread's own wait: the duration, or less when the thread is asked to stop meanwhile.
void lf_waitUnlessStopped(const std::stop_token& stop, std::chrono::milliseconds duration);

// The ICAO type designator in an ATC MODEL answer ("B738", "ATCCOM.AC_MODEL_B738.0.text", "$$:B738");
// empty when there is none.
std::string lf_typeFromAtcModel(const std::string& atcModel);

inline constexpr double recognitionTimeoutSeconds = 30;
inline constexpr double recognitionRepeatSeconds = 1;

// Half the wingspan (nm) used when the simulator reports none: that of a 36 m narrow-body.
inline constexpr double defaultHalfWingspanNm = 18.0 / 1852.0;

// The simulator's name for an exception, e.g. "CREATE_OBJECT_FAILED".
std::string lf_exceptionName(DWORD exception);

} // namespace kvr
