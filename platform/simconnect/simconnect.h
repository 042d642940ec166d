#pragma once
// The simulator client-library calls and receive records the program uses. With the simulator's SDK
// (VANTREL_SIMCONNECT_SDK, whose include/ folder is then on the include path) they are the SDK's own
// declarations; otherwise ours (simconnect_declarations.h), answered by the simulated simulator of this
// folder. The program reaches the calls through the table of simconnect_library.h.
#ifdef VANTREL_SIMCONNECT_SDK
// The SDK's header uses DWORD, HANDLE, HRESULT and CALLBACK but includes only <float.h>.
#include <windows.h>

#include <SimConnect.h>
#else
#include "platform/simconnect/simconnect_declarations.h"
#endif
