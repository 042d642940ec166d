// The client-library functions linked in: the simulated simulator answers them in-process.
#include "platform/simconnect/simconnect_library.h"

namespace kvr {

namespace {

constexpr SimConnectFunctions linkedFunctions{
    &SimConnect_Open,
    &SimConnect_Close,
    &SimConnect_CallDispatch,
    &SimConnect_AddToDataDefinition,
    &SimConnect_RequestDataOnSimObject,
    &SimConnect_RequestDataOnSimObjectType,
    &SimConnect_SubscribeToSystemEvent,
    &SimConnect_MapClientEventToSimEvent,
    &SimConnect_TransmitClientEvent,
    &SimConnect_AICreateNonATCAircraft,
    &SimConnect_AISetAircraftFlightPlan,
    &SimConnect_AIRemoveObject,
    &SimConnect_AIReleaseControl,
    &SimConnect_SetDataOnSimObject,
    &SimConnect_GetLastSentPacketID,
};

} // namespace

std::string gf_loadSimConnect() {
    return {};
}

const SimConnectFunctions& gf_simConnect() {
    return linkedFunctions;
}

} // namespace kvr
