#pragma once
// The client-library functions the simulator link calls, as one table. vantrel.exe finds them in
// SimConnect.dll at run time, so that a missing or unfit DLL is an error the program shows and waits out
// instead of a loader failure before the window exists. Everywhere else (Linux, the Windows tests) they are
// linked in from the simulated simulator of this folder.
#include "platform/simconnect/simconnect.h"

#include <string>

namespace kvr {

struct SimConnectFunctions {
    decltype(&SimConnect_Open) Open = nullptr;
    decltype(&SimConnect_Close) Close = nullptr;
    decltype(&SimConnect_CallDispatch) CallDispatch = nullptr;
    decltype(&SimConnect_AddToDataDefinition) AddToDataDefinition = nullptr;
    decltype(&SimConnect_RequestDataOnSimObject) RequestDataOnSimObject = nullptr;
    decltype(&SimConnect_RequestDataOnSimObjectType) RequestDataOnSimObjectType = nullptr;
    decltype(&SimConnect_SubscribeToSystemEvent) SubscribeToSystemEvent = nullptr;
    decltype(&SimConnect_MapClientEventToSimEvent) MapClientEventToSimEvent = nullptr;
    decltype(&SimConnect_TransmitClientEvent) TransmitClientEvent = nullptr;
    decltype(&SimConnect_AICreateNonATCAircraft) AICreateNonATCAircraft = nullptr;
    decltype(&SimConnect_AISetAircraftFlightPlan) AISetAircraftFlightPlan = nullptr;
    decltype(&SimConnect_AIRemoveObject) AIRemoveObject = nullptr;
    decltype(&SimConnect_AIReleaseControl) AIReleaseControl = nullptr;
    decltype(&SimConnect_SetDataOnSimObject) SetDataOnSimObject = nullptr;
    decltype(&SimConnect_GetLastSentPacketID) GetLastSentPacketID = nullptr;
};

// Makes the functions available; an empty text when they are. Otherwise the text tells the user what is
// wrong with SimConnect.dll and where the right one comes from; the next call tries again, so that a DLL
// copied beside the program while it waits is taken.
std::string gf_loadSimConnect();

// The functions; valid once gf_loadSimConnect has returned an empty text, and from then on for the life of
// the process.
const SimConnectFunctions& gf_simConnect();

} // namespace kvr
