// What the steps of static parking share: the lists they hand each other, the time of day, and the
// stands and static aircraft as they look at them.
#include "core/geodesy.h"
#include "core/time_util.h"
#include "parking/parking_hooks.h"
#include "parking/static_parking_internal.h"
#include "traffic_service/readers.h"

#include <algorithm>

namespace kvr {

std::vector<ParkPosition> parkPositions;
std::vector<RemovalEntry> removalList;
std::vector<StaticCandidate> candidateList;
FitOffsets fitOffsets;
bool parkAirportLoadPending = false;

namespace {
constexpr std::int64_t slotsPerDay = 48;
constexpr std::int64_t slotsPerWeek = 7 * slotsPerDay;
} // namespace

DaySlot lf_nowDaySlot() {
    return gf_daySlotOf(static_cast<double>(gf_now()));
}

DaySlot lf_slotsBefore(DaySlot from, std::int64_t slots) {
    std::int64_t slot = from.slot - slots;
    std::int64_t day = from.day;
    while (slot < 0) {
        slot += slotsPerDay;
        if (--day < 1)
            day = 7;
    }
    return {static_cast<std::uint32_t>(day), static_cast<int>(slot)};
}

std::int64_t lf_weekSlot(DaySlot at) {
    return static_cast<std::int64_t>(at.day) * slotsPerDay + at.slot;
}

std::int64_t lf_weekSlot(std::int32_t weekday, std::int32_t slot) {
    return static_cast<std::int64_t>(weekday) * slotsPerDay + slot;
}

std::int64_t lf_ageSlots(DaySlot now, std::int32_t weekday, std::int32_t slot) {
    std::int64_t age = (lf_weekSlot(now) - lf_weekSlot(weekday, slot)) % slotsPerWeek;
    if (age < 0)
        age += slotsPerWeek;
    return age;
}

float lf_hoursOf(int halfHours) {
    if (const auto& toHours = gf_parkingHooks().maxFitToHours)
        return toHours(halfHours);
    return static_cast<float>(halfHours) / 2.0f;
}

Stand* lf_parkStandByNumber(std::uint32_t number) {
    if (number == 0)
        return nullptr;
    if (number <= standList.size() && standList[number - 1].number == number)
        return &standList[number - 1];
    const auto it = std::find_if(standList.begin(), standList.end(),
                                 [number](const Stand& stand) { return stand.number == number; });
    return it == standList.end() ? nullptr : &*it;
}

void lf_chooseStand(Stand& stand) {
    stand.chosen = true;
    for (const std::uint32_t number : stand.overlapping)
        if (Stand* neighbour = lf_parkStandByNumber(number))
            neighbour->blocked = true;
}

std::size_t lf_countChosenStands() {
    return static_cast<std::size_t>(
        std::count_if(standList.begin(), standList.end(), [](const Stand& stand) { return stand.chosen; }));
}

// A static aircraft chosen for removal keeps its state until the removals are applied, so that the
// removal reaches the simulator; until then the later steps must not count it as staying.
bool lf_isActiveStatic(const StaticAc& aircraft) {
    if (aircraft.removed || aircraft.simState != SimState::active)
        return false;
    return std::none_of(removalList.begin(), removalList.end(), [&aircraft](const RemovalEntry& entry) {
        return entry.standNumber == aircraft.standNumber && entry.callsign == aircraft.callsign;
    });
}

void lf_addToRemovalList(const StaticAc& aircraft) {
    removalList.push_back({aircraft.callsign, aircraft.standNumber});
}

void lf_addCandidate(const StaticAc& aircraft) {
    candidateList.push_back({aircraft.callsign, aircraft.optionCallsign, aircraft.optionCallsign2,
                             aircraft.registration, aircraft.operatorCode, aircraft.icaoType,
                             aircraft.weekday, aircraft.slot, aircraft.standNumber, false});
}

double lf_standDistanceNm(const Stand& a, const Stand& b) {
    return gf_distanceNm(a.latitude, a.longitude, b.latitude, b.longitude);
}

std::optional<std::vector<ParkedAircraft>> lf_receiveParkedTraffic() {
    if (const auto& receive = gf_parkingHooks().receiveParkedTraffic)
        return receive();
    if (!gf_receiveParkedTraffic())
        return std::nullopt;
    return trafficReader.parkedAircraft();
}

} // namespace kvr
