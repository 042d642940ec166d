#pragma once
// One object of the simulated world and the data definitions that read and write it.
#include "platform/simconnect/simconnect.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvr::simsim {

struct TrailPoint {
    double latitude;
    double longitude;
};

// The user aircraft and every AI aircraft share this state; angles in degrees, altitude in feet.
struct SimObjectState {
    DWORD objectId = 0;
    std::string title;
    std::string atcModel;
    std::string atcId; // AI aircraft: the tail number given at creation
    double wingspanFt = 0;
    double latitude = 0;
    double longitude = 0;
    double altitudeFt = 0;
    double pitchDeg = 0;
    double bankDeg = 0;
    double headingDeg = 0;
    double groundSpeedKt = 0;
    bool onGround = true;
    bool navLights = false;
    SIMCONNECT_SIMOBJECT_TYPE kind =
        SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT; // AIRCRAFT, HELICOPTER, BOAT or GROUND
    bool aiControlled = true;               // AI objects: until a client releases them with AIReleaseControl
    std::string flightPlanPath;             // AI aircraft: the plan last given to it
    std::size_t positionUpdates = 0;        // AI aircraft: how often a client moved it
    std::vector<TrailPoint> trail;

    // Appends the position to the trail when it moved far enough from the trail's last point.
    void recordTrail();
};

// One value of a data definition.
struct Datum {
    std::string name;  // upper case
    std::string units; // lower case
    SIMCONNECT_DATATYPE type = SIMCONNECT_DATATYPE_FLOAT64;
};

// Bytes a value of the type takes in a data answer; 0 for types this simulator does not offer.
std::size_t datumSize(SIMCONNECT_DATATYPE type);

// Why a datum cannot be defined; nullopt when it can.
std::optional<SIMCONNECT_EXCEPTION> checkDatum(const Datum& datum);

// Appends the datum's value for the object. zuluEpoch is the simulator's UTC time (seconds since 1970).
void encodeDatum(const SimObjectState& object, const Datum& datum, double zuluEpoch,
                 std::vector<std::byte>& out);

// Sets the object's value from size bytes; false when the datum cannot be written.
bool applyDatum(SimObjectState& object, const Datum& datum, const std::byte* bytes);

} // namespace kvr::simsim
