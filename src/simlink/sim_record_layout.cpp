// The receive records and the creation position as the client library documents them, byte by byte: the
// link reads the simulator's messages through these declarations (ours or the SDK's), so any difference in
// size, place or packing would misread every answer. Checked when the link compiles.
#include "platform/simconnect/simconnect.h"

#include <cstddef>

namespace kvr {

namespace {

// The records derive from SIMCONNECT_RECV, which makes them not standard-layout; g++ gives their offsets all
// the same, as the library's own users rely on.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"

template <typename Record> constexpr bool lf_packed(std::size_t size) {
    return sizeof(Record) == size && alignof(Record) == 1;
}

static_assert(lf_packed<SIMCONNECT_RECV>(12));
static_assert(offsetof(SIMCONNECT_RECV, dwSize) == 0 && offsetof(SIMCONNECT_RECV, dwVersion) == 4 &&
              offsetof(SIMCONNECT_RECV, dwID) == 8);

static_assert(lf_packed<SIMCONNECT_RECV_EXCEPTION>(24));
static_assert(offsetof(SIMCONNECT_RECV_EXCEPTION, dwException) == 12 &&
              offsetof(SIMCONNECT_RECV_EXCEPTION, dwSendID) == 16 &&
              offsetof(SIMCONNECT_RECV_EXCEPTION, dwIndex) == 20);

static_assert(lf_packed<SIMCONNECT_RECV_OPEN>(308));
static_assert(offsetof(SIMCONNECT_RECV_OPEN, szApplicationName) == 12 &&
              offsetof(SIMCONNECT_RECV_OPEN, dwApplicationVersionMajor) == 268 &&
              offsetof(SIMCONNECT_RECV_OPEN, dwApplicationVersionMinor) == 272 &&
              offsetof(SIMCONNECT_RECV_OPEN, dwApplicationBuildMajor) == 276 &&
              offsetof(SIMCONNECT_RECV_OPEN, dwApplicationBuildMinor) == 280 &&
              offsetof(SIMCONNECT_RECV_OPEN, dwSimConnectVersionMajor) == 284 &&
              offsetof(SIMCONNECT_RECV_OPEN, dwReserved2) == 304);

static_assert(lf_packed<SIMCONNECT_RECV_QUIT>(12));

static_assert(lf_packed<SIMCONNECT_RECV_EVENT>(24));
static_assert(offsetof(SIMCONNECT_RECV_EVENT, uGroupID) == 12 &&
              offsetof(SIMCONNECT_RECV_EVENT, uEventID) == 16 &&
              offsetof(SIMCONNECT_RECV_EVENT, dwData) == 20);

static_assert(lf_packed<SIMCONNECT_RECV_EVENT_FILENAME>(288));
static_assert(offsetof(SIMCONNECT_RECV_EVENT_FILENAME, szFileName) == 24 &&
              offsetof(SIMCONNECT_RECV_EVENT_FILENAME, dwFlags) == 284);

static_assert(lf_packed<SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE>(28));
static_assert(offsetof(SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE, eObjType) == 24);

static_assert(lf_packed<SIMCONNECT_RECV_EVENT_FRAME>(32));
static_assert(offsetof(SIMCONNECT_RECV_EVENT_FRAME, fFrameRate) == 24 &&
              offsetof(SIMCONNECT_RECV_EVENT_FRAME, fSimSpeed) == 28);

static_assert(lf_packed<SIMCONNECT_RECV_SIMOBJECT_DATA>(44));
static_assert(offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwRequestID) == 12 &&
              offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwObjectID) == 16 &&
              offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwDefineID) == 20 &&
              offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwFlags) == 24 &&
              offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwentrynumber) == 28 &&
              offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwoutof) == 32 &&
              offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwDefineCount) == 36 &&
              offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwData) == 40);
static_assert(lf_packed<SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE>(44));

static_assert(lf_packed<SIMCONNECT_RECV_ASSIGNED_OBJECT_ID>(20));
static_assert(offsetof(SIMCONNECT_RECV_ASSIGNED_OBJECT_ID, dwRequestID) == 12 &&
              offsetof(SIMCONNECT_RECV_ASSIGNED_OBJECT_ID, dwObjectID) == 16);

static_assert(lf_packed<SIMCONNECT_DATA_INITPOSITION>(56));
static_assert(offsetof(SIMCONNECT_DATA_INITPOSITION, Latitude) == 0 &&
              offsetof(SIMCONNECT_DATA_INITPOSITION, Longitude) == 8 &&
              offsetof(SIMCONNECT_DATA_INITPOSITION, Altitude) == 16 &&
              offsetof(SIMCONNECT_DATA_INITPOSITION, Pitch) == 24 &&
              offsetof(SIMCONNECT_DATA_INITPOSITION, Bank) == 32 &&
              offsetof(SIMCONNECT_DATA_INITPOSITION, Heading) == 40 &&
              offsetof(SIMCONNECT_DATA_INITPOSITION, OnGround) == 48 &&
              offsetof(SIMCONNECT_DATA_INITPOSITION, Airspeed) == 52);

#pragma GCC diagnostic pop

} // namespace

} // namespace kvr
