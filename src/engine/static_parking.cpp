// Static aircraft from the chosen parking positions: one per tick, the last position first.
#include "core/log.h"
#include "engine/engine_internal.h"

#include <fmt/format.h>

#include <numbers>

namespace kvr {

namespace {

// Static aircraft are told apart from live ones (whose ids are 24-bit addresses) by a bit above them.
constexpr std::uint32_t staticCreationBit = 0x01000000;
std::uint32_t staticCreations = 0;

std::string staticTailNumber(const port::ParkPosition& position) {
    if (!position.callsign.empty())
        return position.callsign + "*";
    if (!position.registration.empty())
        return position.registration + "*";
    return fmt::format("{:06X}*", position.aircraftId);
}

} // namespace

void lf_createStaticParking() {
    if (port::parkPositions.empty())
        return;
    const port::ParkPosition position = std::move(port::parkPositions.back());
    port::parkPositions.pop_back();
    port::Stand* stand = lf_standByNumber(position.standNumber);
    if (!stand) {
        gf_logError(fmt::format("static parking: no stand number {} for {}", position.standNumber,
                                position.callsign));
        return;
    }

    port::AircraftBase head;
    head.operatorCode = position.airline;
    head.icaoType = position.type;
    head.registration = position.registration;
    head.callsign = position.callsign;
    StaticAc parked;
    static_cast<AcRecord&>(parked) = gf_makeAcRecord(head);
    parked.callsign = staticTailNumber(position);
    parked.optionCallsign = position.callsign;
    parked.optionCallsign2 = position.secondCallsign;
    parked.id = position.aircraftId;
    const DaySlot now = lf_currentDaySlot();
    parked.weekday = static_cast<std::int32_t>(now.day);
    parked.slot = now.slot;
    parked.standNumber = stand->number;
    parked.kind = position.kind;
    parked.latitude = stand->latitude;
    parked.longitude = stand->longitude;
    parked.heading = stand->heading;
    parked.creationId = staticCreationBit | (++staticCreations & (staticCreationBit - 1));

    if (!lf_liveryMatchers().forStatic(parked, {stand->id, stand->cargo}))
        return;
    parked.simState = SimState::adding2sim;
    stand->occupied = true;
    MotionState at;
    at.latitude = stand->latitude;
    at.longitude = stand->longitude;
    at.altitude = groundReferenceAltitude.value_or(0.0);
    at.heading = stand->heading * 180.0 / std::numbers::pi;
    createDequeStatic.push_back(lf_makeCreateRequest(parked, at, true, gf_describeFlightLong(parked)));
    staticAcList.push_back(std::move(parked));
}

} // namespace kvr
