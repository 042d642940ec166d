#pragma once
// Our declarations of the simulator client-library calls and receive records the program uses, written from
// the library's documentation: names, numeric values, record layouts and the calling convention follow it,
// so that the program's code reads the same against the SDK's header. Only what the program needs is here.
// On Windows it includes <windows.h> only, so that it can stand in for the SDK's header where the build of
// the SDK's shape is tried.
#ifdef _WIN32
#include <windows.h>

// The client-library functions are C functions with the Windows API's calling convention; the simulated
// simulator's DLL exports them under their plain names.
#ifdef VANTREL_SIMCONNECT_EXPORTS
#define VANTREL_SIMCONNECT_API extern "C" __declspec(dllexport) HRESULT __stdcall
#else
#define VANTREL_SIMCONNECT_API extern "C" HRESULT __stdcall
#endif
#else
#include "platform/win32/win32_types.h"

#include <cstdint>

typedef void* HANDLE;
typedef std::int32_t HRESULT;
typedef const char* LPCSTR;

#ifndef S_OK
#define S_OK (static_cast<HRESULT>(0))
#endif
#ifndef E_FAIL
#define E_FAIL (static_cast<HRESULT>(0x80004005u))
#endif
#ifndef SUCCEEDED
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#endif
#ifndef FAILED
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

#define VANTREL_SIMCONNECT_API HRESULT
#endif

typedef DWORD SIMCONNECT_OBJECT_ID;
typedef DWORD SIMCONNECT_DATA_DEFINITION_ID;
typedef DWORD SIMCONNECT_DATA_REQUEST_ID;
typedef DWORD SIMCONNECT_CLIENT_EVENT_ID;
typedef DWORD SIMCONNECT_NOTIFICATION_GROUP_ID;
typedef DWORD SIMCONNECT_DATA_REQUEST_FLAG;
typedef DWORD SIMCONNECT_DATA_SET_FLAG;
typedef DWORD SIMCONNECT_EVENT_FLAG;

// The user's own aircraft in object-id parameters.
constexpr SIMCONNECT_OBJECT_ID SIMCONNECT_OBJECT_ID_USER = 0;
constexpr DWORD SIMCONNECT_UNUSED = static_cast<DWORD>(-1);
constexpr SIMCONNECT_NOTIFICATION_GROUP_ID SIMCONNECT_GROUP_PRIORITY_HIGHEST = 1;
constexpr SIMCONNECT_EVENT_FLAG SIMCONNECT_EVENT_FLAG_GROUPID_IS_PRIORITY = 0x10;
constexpr SIMCONNECT_DATA_REQUEST_FLAG SIMCONNECT_DATA_REQUEST_FLAG_DEFAULT = 0;
constexpr SIMCONNECT_DATA_SET_FLAG SIMCONNECT_DATA_SET_FLAG_DEFAULT = 0;

enum SIMCONNECT_RECV_ID : DWORD {
    SIMCONNECT_RECV_ID_NULL = 0,
    SIMCONNECT_RECV_ID_EXCEPTION = 1,
    SIMCONNECT_RECV_ID_OPEN = 2,
    SIMCONNECT_RECV_ID_QUIT = 3,
    SIMCONNECT_RECV_ID_EVENT = 4,
    SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE = 5,
    SIMCONNECT_RECV_ID_EVENT_FILENAME = 6,
    SIMCONNECT_RECV_ID_EVENT_FRAME = 7,
    SIMCONNECT_RECV_ID_SIMOBJECT_DATA = 8,
    SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE = 9,
    SIMCONNECT_RECV_ID_ASSIGNED_OBJECT_ID = 12,
};

enum SIMCONNECT_DATATYPE : DWORD {
    SIMCONNECT_DATATYPE_INVALID = 0,
    SIMCONNECT_DATATYPE_INT32 = 1,
    SIMCONNECT_DATATYPE_INT64 = 2,
    SIMCONNECT_DATATYPE_FLOAT32 = 3,
    SIMCONNECT_DATATYPE_FLOAT64 = 4,
    SIMCONNECT_DATATYPE_STRING8 = 5,
    SIMCONNECT_DATATYPE_STRING32 = 6,
    SIMCONNECT_DATATYPE_STRING64 = 7,
    SIMCONNECT_DATATYPE_STRING128 = 8,
    SIMCONNECT_DATATYPE_STRING256 = 9,
    SIMCONNECT_DATATYPE_STRING260 = 10,
};

enum SIMCONNECT_PERIOD : DWORD {
    SIMCONNECT_PERIOD_NEVER = 0,
    SIMCONNECT_PERIOD_ONCE = 1,
    SIMCONNECT_PERIOD_VISUAL_FRAME = 2,
    SIMCONNECT_PERIOD_SIM_FRAME = 3,
    SIMCONNECT_PERIOD_SECOND = 4,
};

enum SIMCONNECT_SIMOBJECT_TYPE : DWORD {
    SIMCONNECT_SIMOBJECT_TYPE_USER = 0,
    SIMCONNECT_SIMOBJECT_TYPE_ALL = 1,
    SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT = 2,
    SIMCONNECT_SIMOBJECT_TYPE_HELICOPTER = 3,
    SIMCONNECT_SIMOBJECT_TYPE_BOAT = 4,
    SIMCONNECT_SIMOBJECT_TYPE_GROUND = 5,
};

enum SIMCONNECT_EXCEPTION : DWORD {
    SIMCONNECT_EXCEPTION_NONE = 0,
    SIMCONNECT_EXCEPTION_ERROR = 1,
    SIMCONNECT_EXCEPTION_SIZE_MISMATCH = 2,
    SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID = 3,
    SIMCONNECT_EXCEPTION_UNOPENED = 4,
    SIMCONNECT_EXCEPTION_VERSION_MISMATCH = 5,
    SIMCONNECT_EXCEPTION_TOO_MANY_GROUPS = 6,
    SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED = 7,
    SIMCONNECT_EXCEPTION_TOO_MANY_EVENT_NAMES = 8,
    SIMCONNECT_EXCEPTION_EVENT_ID_DUPLICATE = 9,
    SIMCONNECT_EXCEPTION_TOO_MANY_MAPS = 10,
    SIMCONNECT_EXCEPTION_TOO_MANY_OBJECTS = 11,
    SIMCONNECT_EXCEPTION_TOO_MANY_REQUESTS = 12,
    SIMCONNECT_EXCEPTION_WEATHER_INVALID_PORT = 13,
    SIMCONNECT_EXCEPTION_WEATHER_INVALID_METAR = 14,
    SIMCONNECT_EXCEPTION_WEATHER_UNABLE_TO_GET_OBSERVATION = 15,
    SIMCONNECT_EXCEPTION_WEATHER_UNABLE_TO_CREATE_STATION = 16,
    SIMCONNECT_EXCEPTION_WEATHER_UNABLE_TO_REMOVE_STATION = 17,
    SIMCONNECT_EXCEPTION_INVALID_DATA_TYPE = 18,
    SIMCONNECT_EXCEPTION_INVALID_DATA_SIZE = 19,
    SIMCONNECT_EXCEPTION_DATA_ERROR = 20,
    SIMCONNECT_EXCEPTION_INVALID_ARRAY = 21,
    SIMCONNECT_EXCEPTION_CREATE_OBJECT_FAILED = 22,
    SIMCONNECT_EXCEPTION_LOAD_FLIGHTPLAN_FAILED = 23,
    SIMCONNECT_EXCEPTION_OPERATION_INVALID_FOR_OBJECT_TYPE = 24,
    SIMCONNECT_EXCEPTION_ILLEGAL_OPERATION = 25,
    SIMCONNECT_EXCEPTION_ALREADY_SUBSCRIBED = 26,
    SIMCONNECT_EXCEPTION_INVALID_ENUM = 27,
    SIMCONNECT_EXCEPTION_DEFINITION_ERROR = 28,
    SIMCONNECT_EXCEPTION_DUPLICATE_ID = 29,
    SIMCONNECT_EXCEPTION_DATUM_ID = 30,
    SIMCONNECT_EXCEPTION_OUT_OF_BOUNDS = 31,
    SIMCONNECT_EXCEPTION_ALREADY_CREATED = 32,
    SIMCONNECT_EXCEPTION_OBJECT_OUTSIDE_REALITY_BUBBLE = 33,
    SIMCONNECT_EXCEPTION_OBJECT_CONTAINER = 34,
    SIMCONNECT_EXCEPTION_OBJECT_AI = 35,
    SIMCONNECT_EXCEPTION_OBJECT_ATC = 36,
    SIMCONNECT_EXCEPTION_OBJECT_SCHEDULE = 37,
};

// The records are packed as the client library packs them: the simulator writes them byte by byte, so a
// record with a member of an odd size must not gain padding here.
#pragma pack(push, 1)

// Every message the dispatch procedure receives starts with this head; dwID tells which record it is.
struct SIMCONNECT_RECV {
    DWORD dwSize;
    DWORD dwVersion;
    DWORD dwID;
};

struct SIMCONNECT_RECV_EXCEPTION : SIMCONNECT_RECV {
    DWORD dwException;
    DWORD dwSendID; // the packet id of the call that failed (SimConnect_GetLastSentPacketID)
    DWORD dwIndex;  // the parameter at fault, when known
};

struct SIMCONNECT_RECV_OPEN : SIMCONNECT_RECV {
    char szApplicationName[256];
    DWORD dwApplicationVersionMajor;
    DWORD dwApplicationVersionMinor;
    DWORD dwApplicationBuildMajor;
    DWORD dwApplicationBuildMinor;
    DWORD dwSimConnectVersionMajor;
    DWORD dwSimConnectVersionMinor;
    DWORD dwSimConnectBuildMajor;
    DWORD dwSimConnectBuildMinor;
    DWORD dwReserved1;
    DWORD dwReserved2;
};

struct SIMCONNECT_RECV_QUIT : SIMCONNECT_RECV {};

struct SIMCONNECT_RECV_EVENT : SIMCONNECT_RECV {
    DWORD uGroupID;
    DWORD uEventID;
    DWORD dwData; // "Sim": 1 running, 0 stopped; ObjectAdded/Removed: the object id
};

struct SIMCONNECT_RECV_EVENT_FILENAME : SIMCONNECT_RECV_EVENT {
    char szFileName[MAX_PATH];
    DWORD dwFlags;
};

struct SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE : SIMCONNECT_RECV_EVENT {
    SIMCONNECT_SIMOBJECT_TYPE eObjType;
};

struct SIMCONNECT_RECV_EVENT_FRAME : SIMCONNECT_RECV_EVENT {
    float fFrameRate;
    float fSimSpeed;
};

// The data of one object; the values of the definition start at dwData, in definition order.
struct SIMCONNECT_RECV_SIMOBJECT_DATA : SIMCONNECT_RECV {
    DWORD dwRequestID;
    DWORD dwObjectID;
    DWORD dwDefineID;
    DWORD dwFlags;
    DWORD dwentrynumber; // by-type answers: 1..dwoutof
    DWORD dwoutof;
    DWORD dwDefineCount;
    DWORD dwData;
};

struct SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE : SIMCONNECT_RECV_SIMOBJECT_DATA {};

struct SIMCONNECT_RECV_ASSIGNED_OBJECT_ID : SIMCONNECT_RECV {
    DWORD dwRequestID;
    DWORD dwObjectID;
};

// Where a created aircraft appears; angles in degrees, altitude in feet, airspeed in knots.
struct SIMCONNECT_DATA_INITPOSITION {
    double Latitude;
    double Longitude;
    double Altitude;
    double Pitch;
    double Bank;
    double Heading;
    DWORD OnGround;
    DWORD Airspeed;
};

#pragma pack(pop)

typedef void(CALLBACK* DispatchProc)(SIMCONNECT_RECV* pData, DWORD cbData, void* pContext);

// Fails (E_FAIL) while the simulator is not running.
VANTREL_SIMCONNECT_API SimConnect_Open(HANDLE* phSimConnect, LPCSTR szName, HWND hWnd, DWORD UserEventWin32,
                                       HANDLE hEventHandle, DWORD ConfigIndex);
VANTREL_SIMCONNECT_API SimConnect_Close(HANDLE hSimConnect);
// Hands every message waiting for this client to the procedure, on the calling thread. Fails once the
// connection is gone.
VANTREL_SIMCONNECT_API SimConnect_CallDispatch(HANDLE hSimConnect, DispatchProc pfcnDispatch, void* pContext);
VANTREL_SIMCONNECT_API
SimConnect_AddToDataDefinition(HANDLE hSimConnect, SIMCONNECT_DATA_DEFINITION_ID DefineID,
                               const char* DatumName, const char* UnitsName,
                               SIMCONNECT_DATATYPE DatumType = SIMCONNECT_DATATYPE_FLOAT64,
                               float fEpsilon = 0, DWORD DatumID = SIMCONNECT_UNUSED);
VANTREL_SIMCONNECT_API
SimConnect_RequestDataOnSimObject(HANDLE hSimConnect, SIMCONNECT_DATA_REQUEST_ID RequestID,
                                  SIMCONNECT_DATA_DEFINITION_ID DefineID, SIMCONNECT_OBJECT_ID ObjectID,
                                  SIMCONNECT_PERIOD Period,
                                  SIMCONNECT_DATA_REQUEST_FLAG Flags = SIMCONNECT_DATA_REQUEST_FLAG_DEFAULT,
                                  DWORD origin = 0, DWORD interval = 0, DWORD limit = 0);
VANTREL_SIMCONNECT_API SimConnect_RequestDataOnSimObjectType(HANDLE hSimConnect,
                                                             SIMCONNECT_DATA_REQUEST_ID RequestID,
                                                             SIMCONNECT_DATA_DEFINITION_ID DefineID,
                                                             DWORD dwRadiusMeters,
                                                             SIMCONNECT_SIMOBJECT_TYPE type);
VANTREL_SIMCONNECT_API SimConnect_SubscribeToSystemEvent(HANDLE hSimConnect,
                                                         SIMCONNECT_CLIENT_EVENT_ID EventID,
                                                         const char* SystemEventName);
VANTREL_SIMCONNECT_API SimConnect_MapClientEventToSimEvent(HANDLE hSimConnect,
                                                           SIMCONNECT_CLIENT_EVENT_ID EventID,
                                                           const char* EventName = "");
VANTREL_SIMCONNECT_API SimConnect_TransmitClientEvent(HANDLE hSimConnect, SIMCONNECT_OBJECT_ID ObjectID,
                                                      SIMCONNECT_CLIENT_EVENT_ID EventID, DWORD dwData,
                                                      SIMCONNECT_NOTIFICATION_GROUP_ID GroupID,
                                                      SIMCONNECT_EVENT_FLAG Flags);
VANTREL_SIMCONNECT_API SimConnect_AICreateNonATCAircraft(HANDLE hSimConnect, const char* szContainerTitle,
                                                         const char* szTailNumber,
                                                         SIMCONNECT_DATA_INITPOSITION InitPos,
                                                         SIMCONNECT_DATA_REQUEST_ID RequestID);
VANTREL_SIMCONNECT_API SimConnect_AISetAircraftFlightPlan(HANDLE hSimConnect, SIMCONNECT_OBJECT_ID ObjectID,
                                                          const char* szFlightPlanPath,
                                                          SIMCONNECT_DATA_REQUEST_ID RequestID);
VANTREL_SIMCONNECT_API SimConnect_AIRemoveObject(HANDLE hSimConnect, SIMCONNECT_OBJECT_ID ObjectID,
                                                 SIMCONNECT_DATA_REQUEST_ID RequestID);
VANTREL_SIMCONNECT_API SimConnect_AIReleaseControl(HANDLE hSimConnect, SIMCONNECT_OBJECT_ID ObjectID,
                                                   SIMCONNECT_DATA_REQUEST_ID RequestID);
VANTREL_SIMCONNECT_API SimConnect_SetDataOnSimObject(HANDLE hSimConnect,
                                                     SIMCONNECT_DATA_DEFINITION_ID DefineID,
                                                     SIMCONNECT_OBJECT_ID ObjectID,
                                                     SIMCONNECT_DATA_SET_FLAG Flags, DWORD ArrayCount,
                                                     DWORD cbUnitSize, void* pDataSet);
VANTREL_SIMCONNECT_API SimConnect_GetLastSentPacketID(HANDLE hSimConnect, DWORD* pdwSendID);
