#include "simlink/sim_client.h"

#include "core/exit_request.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/program_version.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "core/stop_waits.h"
#include "simlink/sim_client_internal.h"
#include "simlink/sim_ids.h"
#include "simlink/sim_link_state.h"
#include "simlink/sim_queues.h"
#include "simlink/simlink_hooks.h"

#include <fmt/format.h>

#include <cstring>
#include <mutex>

namespace kvr {

WatchedThread simClientThread;
HANDLE simConnectHandle = nullptr;

namespace {

struct DatumLayout {
    SimDefinition definition;
    const char* name;
    const char* units;
    SIMCONNECT_DATATYPE type;
};

// The layouts lf_onSimObjectData and the frame sender rely on.
constexpr DatumLayout datumLayouts[] = {
    {aiPositionDefinition, "PLANE LATITUDE", "degrees", SIMCONNECT_DATATYPE_FLOAT64},
    {aiPositionDefinition, "PLANE LONGITUDE", "degrees", SIMCONNECT_DATATYPE_FLOAT64},
    {aiPositionDefinition, "PLANE ALTITUDE", "feet", SIMCONNECT_DATATYPE_FLOAT64},
    {aiPositionDefinition, "PLANE PITCH DEGREES", "radians", SIMCONNECT_DATATYPE_FLOAT64},
    {aiPositionDefinition, "PLANE BANK DEGREES", "radians", SIMCONNECT_DATATYPE_FLOAT64},
    {aiPositionDefinition, "PLANE HEADING DEGREES TRUE", "radians", SIMCONNECT_DATATYPE_FLOAT64},
    {userPositionDefinition, "PLANE LATITUDE", "degrees", SIMCONNECT_DATATYPE_FLOAT64},
    {userPositionDefinition, "PLANE LONGITUDE", "degrees", SIMCONNECT_DATATYPE_FLOAT64},
    {userPositionDefinition, "PLANE ALTITUDE", "feet", SIMCONNECT_DATATYPE_FLOAT64},
    {userPositionDefinition, "GROUND VELOCITY", "knots", SIMCONNECT_DATATYPE_FLOAT64},
    {userPositionDefinition, "PLANE HEADING DEGREES TRUE", "degrees", SIMCONNECT_DATATYPE_FLOAT64},
    {userPositionDefinition, "ZULU YEAR", "number", SIMCONNECT_DATATYPE_FLOAT64},
    {userPositionDefinition, "ZULU DAY OF YEAR", "number", SIMCONNECT_DATATYPE_FLOAT64},
    {userPositionDefinition, "ZULU TIME", "seconds", SIMCONNECT_DATATYPE_FLOAT64},
    {userTitleDefinition, "TITLE", nullptr, SIMCONNECT_DATATYPE_STRING256},
    {userModelDefinition, "ATC MODEL", nullptr, SIMCONNECT_DATATYPE_STRING32},
    {userModelDefinition, "WING SPAN", "feet", SIMCONNECT_DATATYPE_FLOAT64},
    {userOnGroundDefinition, "SIM ON GROUND", "bool", SIMCONNECT_DATATYPE_INT32},
    {atcIdDefinition, "ATC ID", nullptr, SIMCONNECT_DATATYPE_STRING32},
};

struct SystemEventName {
    SimEvent event;
    const char* name;
};

constexpr SystemEventName systemEvents[] = {
    {simEvent, "Sim"},
    {pauseEvent, "Pause"},
    {frameEvent, "Frame"},
    {flightLoadedEvent, "FlightLoaded"},
    {aircraftLoadedEvent, "AircraftLoaded"},
    {objectAddedEvent, "ObjectAdded"},
    {objectRemovedEvent, "ObjectRemoved"},
};

void lf_showDisconnected() {
    statusDisplay.simConnected = false;
    statusDisplay.flightRunning = false;
    gf_invalidateArea(ScreenArea::statusPane);
}

} // namespace

HRESULT lf_requestUserData(HANDLE handle, DWORD request, DWORD definition, SIMCONNECT_PERIOD period) {
    return gf_simConnect().RequestDataOnSimObject(handle, request, definition, SIMCONNECT_OBJECT_ID_USER,
                                                  period, SIMCONNECT_DATA_REQUEST_FLAG_DEFAULT, 0, 0, 0);
}

// A sleep with looks at the stop request, with no stop callback: one built per 1 ms wait could lose the
// thread's wake-up at its clean-up, and the thread then never ended.
void lf_waitUnlessStopped(const std::stop_token& stop, std::chrono::milliseconds duration) {
    gf_waitUntil([&stop] { return stop.stop_requested(); }, duration);
}

// --- The connection ----------------------------------------------------------------------------------

SimClientConnection::~SimClientConnection() {
    close();
}

bool SimClientConnection::open() {
    if (!libraryFound())
        return false;
    HANDLE handle = nullptr;
    if (FAILED(gf_simConnect().Open(&handle, programShortName, nullptr, 0, nullptr, 0))) {
        if (!loggedWaiting_)
            gf_logLine("SimConnect: waiting for the simulator ...");
        loggedWaiting_ = true;
        return false;
    }
    handle_ = handle;
    nextCreationRequest_ = firstCreationRequest;
    {
        std::lock_guard lock(simQueueMutex);
        simConnectHandle = handle_;
    }
    waitingForSim = false;
    if (!setUp()) {
        gf_logError("SimConnect: setting up the data definitions and events failed");
        gf_onSimConnectRequestError();
    }
    return true;
}

bool SimClientConnection::libraryFound() {
    const std::string problem = gf_loadSimConnect();
    if (problem == libraryProblem_)
        return problem.empty();
    // Shown until the DLL is there: the program waits for it as it waits for the simulator, and the user may
    // look into Log.txt meanwhile.
    if (problem.empty()) {
        gf_clearMessageAndError();
    } else {
        gf_showError(problem);
        gf_flushLog();
    }
    libraryProblem_ = problem;
    return problem.empty();
}

bool SimClientConnection::setUp() {
    std::lock_guard lock(simQueueMutex);
    for (const DatumLayout& datum : datumLayouts)
        if (FAILED(gf_simConnect().AddToDataDefinition(handle_, datum.definition, datum.name, datum.units,
                                                       datum.type, 0, SIMCONNECT_UNUSED)))
            return false;
    for (const SystemEventName& event : systemEvents)
        if (FAILED(gf_simConnect().SubscribeToSystemEvent(handle_, event.event, event.name)))
            return false;
    return SUCCEEDED(gf_simConnect().MapClientEventToSimEvent(handle_, navLightsSetEvent, "NAV_LIGHTS_SET"));
}

bool SimClientConnection::dispatch() {
    if (!handle_ || end_ != End::none)
        return false;
    if (FAILED(gf_simConnect().CallDispatch(handle_, lf_dispatchProc, this)) && end_ == End::none) {
        gf_logError("SimConnect: the connection to the simulator is lost");
        end_ = End::lost;
    }
    return end_ == End::none;
}

void SimClientConnection::fail(const std::string& what) {
    if (end_ == End::none) {
        end_ = End::failed;
        failure_ = what;
    }
}

void SimClientConnection::close() {
    if (!handle_)
        return;
    {
        std::lock_guard lock(simQueueMutex);
        if (simConnectHandle == handle_)
            simConnectHandle = nullptr;
    }
    gf_simConnect().Close(handle_);
    handle_ = nullptr;
}

void SimClientConnection::onOpen(const SIMCONNECT_RECV_OPEN& open) {
    std::string name(open.szApplicationName, strnlen(open.szApplicationName, sizeof open.szApplicationName));
    const std::string line =
        fmt::format("{} {}.{}.{}.{}", name, open.dwApplicationVersionMajor, open.dwApplicationVersionMinor,
                    open.dwApplicationBuildMajor, open.dwApplicationBuildMinor);
    statusDisplay.changeTexts([&](StatusTexts& texts) { texts.simNameAndVersion = line; });
    statusDisplay.simConnected = true;
    gf_invalidateArea(ScreenArea::statusPane);
    gf_logLine(fmt::format("SimConnect: connected to {}", line));
}

void SimClientConnection::onQuit() {
    gf_logLine("SimConnect: the simulator quits");
    end_ = End::quit;
}

// --- The thread --------------------------------------------------------------------------------------

void lf_runSimClient(std::stop_token stop, const SimClientWait& wait) {
    SimClientConnection connection;
    try {
        while (!stop.stop_requested() && !connection.open())
            wait(std::chrono::seconds(2));
        while (!stop.stop_requested() && connection.dispatch())
            wait(std::chrono::milliseconds(1));
    } catch (const std::exception& error) {
        connection.fail(error.what());
    }
    try {
        gf_callLearnUserStand();
    } catch (const std::exception& error) {
        gf_logError(fmt::format("gf_learnUserStand exception: {}", error.what()));
    }
    switch (connection.end()) {
    case SimClientConnection::End::quit:
    case SimClientConnection::End::lost:
        flightActive = false;
        lf_showDisconnected();
        gf_onSimDisconnected();
        break;
    case SimClientConnection::End::failed:
        gf_logError(fmt::format("SimClient exception: {}", connection.failure()));
        flightActive = false;
        lf_showDisconnected();
        gf_onSimConnectRequestError();
        break;
    case SimClientConnection::End::none:
        break;
    }
    connection.close();
}

void SimClient(std::stop_token stop) {
    lf_runSimClient(stop,
                    [&stop](std::chrono::milliseconds duration) { lf_waitUnlessStopped(stop, duration); });
}

// --- Requests from other threads ---------------------------------------------------------------------

UserAcData gf_requestUserAcPosition() {
    bool failed = false;
    UserAcData copy;
    {
        std::lock_guard lock(simQueueMutex);
        if (!simLinkSuspended && simConnectHandle)
            failed = FAILED(lf_requestUserData(simConnectHandle, userPositionRequest, userPositionDefinition,
                                               SIMCONNECT_PERIOD_ONCE));
        copy = userAcData;
    }
    if (failed) {
        gf_logError("SimConnect request user position fails");
        gf_onSimConnectRequestError();
    }
    return copy;
}

void gf_requestUserAcTitleAndModel() {
    bool failed = false;
    {
        std::lock_guard lock(simQueueMutex);
        if (simLinkSuspended || !simConnectHandle)
            return;
        failed = FAILED(lf_requestUserData(simConnectHandle, userTitleRequest, userTitleDefinition,
                                           SIMCONNECT_PERIOD_ONCE)) ||
                 FAILED(lf_requestUserData(simConnectHandle, userModelRequest, userModelDefinition,
                                           SIMCONNECT_PERIOD_ONCE));
    }
    if (failed) {
        gf_logError("SimConnect request user title and model fails");
        gf_onSimConnectRequestError();
    }
}

bool gf_requestUserAcOnGround() {
    std::lock_guard lock(simQueueMutex);
    if (simLinkSuspended)
        return true;
    return simConnectHandle &&
           SUCCEEDED(lf_requestUserData(simConnectHandle, userOnGroundRequest, userOnGroundDefinition,
                                        SIMCONNECT_PERIOD_SECOND));
}

void gf_onSimConnectRequestError() {
    gf_showMessage("SimConnect request error", true);
    simLinkSuspended = true;
    gf_requestExit(ExitReason::simConnectError, 9);
}

} // namespace kvr
