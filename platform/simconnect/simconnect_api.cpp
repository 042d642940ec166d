// The SimConnect calls, answered by the simulated simulator (simulated_simulator.h).
#include "platform/simconnect/simconnect.h"
#include "platform/simconnect/simulated_simulator.h"

#include <map>
#include <memory>
#include <mutex>

namespace {

using kvr::simsim::Connection;
using kvr::simsim::SimulatedSimulator;

struct OpenHandle {
    std::shared_ptr<SimulatedSimulator> simulator;
    std::shared_ptr<Connection> connection;
};

std::mutex handleMutex;
std::map<HANDLE, OpenHandle> openHandles;

// A copy keeps both alive for the duration of the call, even when another thread closes the handle.
bool lf_lookUp(HANDLE handle, OpenHandle& out) {
    std::lock_guard lock(handleMutex);
    const auto it = openHandles.find(handle);
    if (it == openHandles.end())
        return false;
    out = it->second;
    return true;
}

template <typename Call> HRESULT lf_withConnection(HANDLE handle, Call&& call) {
    OpenHandle open;
    if (!lf_lookUp(handle, open))
        return E_FAIL;
    return call(*open.simulator, *open.connection);
}

} // namespace

HRESULT SimConnect_Open(HANDLE* phSimConnect, LPCSTR szName, HWND, DWORD, HANDLE, DWORD) {
    if (!phSimConnect)
        return E_FAIL;
    *phSimConnect = nullptr;
    auto simulator = kvr::simsim::currentSimulator();
    if (!simulator)
        return E_FAIL;
    auto connection = simulator->open(szName ? szName : "");
    if (!connection)
        return E_FAIL;
    HANDLE handle = connection.get();
    std::lock_guard lock(handleMutex);
    openHandles[handle] = {std::move(simulator), std::move(connection)};
    *phSimConnect = handle;
    return S_OK;
}

HRESULT SimConnect_Close(HANDLE hSimConnect) {
    OpenHandle open;
    {
        std::lock_guard lock(handleMutex);
        const auto it = openHandles.find(hSimConnect);
        if (it == openHandles.end())
            return E_FAIL;
        open = std::move(it->second);
        openHandles.erase(it);
    }
    open.simulator->close(*open.connection);
    return S_OK;
}

HRESULT SimConnect_CallDispatch(HANDLE hSimConnect, DispatchProc pfcnDispatch, void* pContext) {
    if (!pfcnDispatch)
        return E_FAIL;
    return lf_withConnection(hSimConnect, [&](SimulatedSimulator& sim, Connection& connection) {
        return sim.dispatch(connection, pfcnDispatch, pContext);
    });
}

HRESULT SimConnect_AddToDataDefinition(HANDLE hSimConnect, SIMCONNECT_DATA_DEFINITION_ID DefineID,
                                       const char* DatumName, const char* UnitsName,
                                       SIMCONNECT_DATATYPE DatumType, float, DWORD) {
    return lf_withConnection(hSimConnect, [&](SimulatedSimulator& sim, Connection& connection) {
        return sim.addToDataDefinition(connection, DefineID, DatumName, UnitsName, DatumType);
    });
}

HRESULT SimConnect_RequestDataOnSimObject(HANDLE hSimConnect, SIMCONNECT_DATA_REQUEST_ID RequestID,
                                          SIMCONNECT_DATA_DEFINITION_ID DefineID,
                                          SIMCONNECT_OBJECT_ID ObjectID, SIMCONNECT_PERIOD Period,
                                          SIMCONNECT_DATA_REQUEST_FLAG, DWORD, DWORD, DWORD) {
    return lf_withConnection(hSimConnect, [&](SimulatedSimulator& sim, Connection& connection) {
        return sim.requestData(connection, RequestID, DefineID, ObjectID, Period);
    });
}

HRESULT SimConnect_RequestDataOnSimObjectType(HANDLE hSimConnect, SIMCONNECT_DATA_REQUEST_ID RequestID,
                                              SIMCONNECT_DATA_DEFINITION_ID DefineID, DWORD dwRadiusMeters,
                                              SIMCONNECT_SIMOBJECT_TYPE type) {
    return lf_withConnection(hSimConnect, [&](SimulatedSimulator& sim, Connection& connection) {
        return sim.requestDataByType(connection, RequestID, DefineID, dwRadiusMeters, type);
    });
}

HRESULT SimConnect_SubscribeToSystemEvent(HANDLE hSimConnect, SIMCONNECT_CLIENT_EVENT_ID EventID,
                                          const char* SystemEventName) {
    return lf_withConnection(hSimConnect, [&](SimulatedSimulator& sim, Connection& connection) {
        return sim.subscribe(connection, EventID, SystemEventName);
    });
}

HRESULT SimConnect_MapClientEventToSimEvent(HANDLE hSimConnect, SIMCONNECT_CLIENT_EVENT_ID EventID,
                                            const char* EventName) {
    return lf_withConnection(hSimConnect, [&](SimulatedSimulator& sim, Connection& connection) {
        return sim.mapClientEvent(connection, EventID, EventName);
    });
}

HRESULT SimConnect_TransmitClientEvent(HANDLE hSimConnect, SIMCONNECT_OBJECT_ID ObjectID,
                                       SIMCONNECT_CLIENT_EVENT_ID EventID, DWORD dwData,
                                       SIMCONNECT_NOTIFICATION_GROUP_ID, SIMCONNECT_EVENT_FLAG) {
    return lf_withConnection(hSimConnect, [&](SimulatedSimulator& sim, Connection& connection) {
        return sim.transmitClientEvent(connection, ObjectID, EventID, dwData);
    });
}

HRESULT SimConnect_AICreateNonATCAircraft(HANDLE hSimConnect, const char* szContainerTitle,
                                          const char* szTailNumber, SIMCONNECT_DATA_INITPOSITION InitPos,
                                          SIMCONNECT_DATA_REQUEST_ID RequestID) {
    return lf_withConnection(hSimConnect, [&](SimulatedSimulator& sim, Connection& connection) {
        return sim.createAircraft(connection, szContainerTitle, szTailNumber, InitPos, RequestID);
    });
}

HRESULT SimConnect_AISetAircraftFlightPlan(HANDLE hSimConnect, SIMCONNECT_OBJECT_ID ObjectID,
                                           const char* szFlightPlanPath,
                                           SIMCONNECT_DATA_REQUEST_ID RequestID) {
    return lf_withConnection(hSimConnect, [&](SimulatedSimulator& sim, Connection& connection) {
        return sim.setFlightPlan(connection, ObjectID, szFlightPlanPath, RequestID);
    });
}

HRESULT SimConnect_AIRemoveObject(HANDLE hSimConnect, SIMCONNECT_OBJECT_ID ObjectID,
                                  SIMCONNECT_DATA_REQUEST_ID RequestID) {
    return lf_withConnection(hSimConnect, [&](SimulatedSimulator& sim, Connection& connection) {
        return sim.removeObject(connection, ObjectID, RequestID);
    });
}

HRESULT SimConnect_AIReleaseControl(HANDLE hSimConnect, SIMCONNECT_OBJECT_ID ObjectID,
                                    SIMCONNECT_DATA_REQUEST_ID RequestID) {
    return lf_withConnection(hSimConnect, [&](SimulatedSimulator& sim, Connection& connection) {
        return sim.releaseControl(connection, ObjectID, RequestID);
    });
}

HRESULT SimConnect_SetDataOnSimObject(HANDLE hSimConnect, SIMCONNECT_DATA_DEFINITION_ID DefineID,
                                      SIMCONNECT_OBJECT_ID ObjectID, SIMCONNECT_DATA_SET_FLAG,
                                      DWORD ArrayCount, DWORD cbUnitSize, void* pDataSet) {
    return lf_withConnection(hSimConnect, [&](SimulatedSimulator& sim, Connection& connection) {
        return sim.setData(connection, DefineID, ObjectID, ArrayCount, cbUnitSize, pDataSet);
    });
}

HRESULT SimConnect_GetLastSentPacketID(HANDLE hSimConnect, DWORD* pdwSendID) {
    return lf_withConnection(hSimConnect, [&](SimulatedSimulator& sim, Connection& connection) {
        return sim.lastSentPacketId(connection, pdwSendID);
    });
}
