// The client-library functions linked in: the simulated simulator answers them in-process.
#include "platform/simconnect/simconnect_library.h"

namespace kvr {

namespace {

// Named members: several functions share a signature, so a table in the wrong order would still compile.
constexpr SimConnectFunctions linkedFunctions{
    .Open = &SimConnect_Open,
    .Close = &SimConnect_Close,
    .CallDispatch = &SimConnect_CallDispatch,
    .AddToDataDefinition = &SimConnect_AddToDataDefinition,
    .RequestDataOnSimObject = &SimConnect_RequestDataOnSimObject,
    .RequestDataOnSimObjectType = &SimConnect_RequestDataOnSimObjectType,
    .SubscribeToSystemEvent = &SimConnect_SubscribeToSystemEvent,
    .MapClientEventToSimEvent = &SimConnect_MapClientEventToSimEvent,
    .TransmitClientEvent = &SimConnect_TransmitClientEvent,
    .AICreateNonATCAircraft = &SimConnect_AICreateNonATCAircraft,
    .AISetAircraftFlightPlan = &SimConnect_AISetAircraftFlightPlan,
    .AIRemoveObject = &SimConnect_AIRemoveObject,
    .AIReleaseControl = &SimConnect_AIReleaseControl,
    .SetDataOnSimObject = &SimConnect_SetDataOnSimObject,
    .GetLastSentPacketID = &SimConnect_GetLastSentPacketID,
};

} // namespace

std::string gf_loadSimConnect() {
    return {};
}

const SimConnectFunctions& gf_simConnect() {
    return linkedFunctions;
}

} // namespace kvr
