#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"

#include <algorithm>
#include <cmath>

namespace kvr {

std::vector<LiveAc> liveAcList;
std::vector<StaticAc> staticAcList;
std::deque<port::CreateRequest> createDequeLive;
std::deque<port::CreateRequest> createDequeStatic;
std::deque<std::uint32_t> duplicateCheckIds;
std::unordered_map<std::uint32_t, SpawnCacheEntry> spawnCache;
std::vector<std::string> spawnedCallsigns;
port::SimObjectId followedObject = 0;
std::atomic<std::int64_t> trafficTick{0};
std::optional<double> groundReferenceAltitude;
port::SeenLiveMaps seenLiveMaps;
std::vector<LiveParked> liveParkedList;

namespace {

LiveryMatchers liveryMatchers{port::matchLiveAircraftLivery, port::matchStaticAircraftLivery};
DaySlot currentDaySlot;

} // namespace

void lf_reserveTrafficTables() {
    liveAcList.reserve(tuning::liveTableSize);
    staticAcList.reserve(tuning::staticTableSize);
    spawnedCallsigns.reserve(tuning::liveTableSize);
    liveParkedList.reserve(tuning::staticTableSize);
    spawnCache.reserve(tuning::liveTableSize);
}

void lf_clearTrafficTables() {
    for (StaticAc& aircraft : staticAcList)
        if (port::Stand* stand = lf_standByNumber(aircraft.standNumber))
            stand->occupied = false;
    for (LiveAc& aircraft : liveAcList)
        if (port::Stand* stand = lf_standByNumber(aircraft.standNumber))
            stand->occupied = false;
    liveAcList.clear();
    staticAcList.clear();
    createDequeLive.clear();
    createDequeStatic.clear();
    duplicateCheckIds.clear();
    liveParkedList.clear();
    followedObject = 0;
    lf_resetTickQueues();
    lf_resetReportClock();
}

void gf_setLiveryMatchers(LiveryMatchers matchers) {
    if (!matchers.live)
        matchers.live = port::matchLiveAircraftLivery;
    if (!matchers.forStatic)
        matchers.forStatic = port::matchStaticAircraftLivery;
    liveryMatchers = std::move(matchers);
}

const LiveryMatchers& lf_liveryMatchers() {
    return liveryMatchers;
}

void gf_setGroundReferenceAltitude(std::optional<double> feet) {
    groundReferenceAltitude = feet;
}

DaySlot gf_daySlotOf(double epochSeconds) {
    constexpr double secondsPerDay = 86400.0;
    const double days = std::floor(epochSeconds / secondsPerDay);
    const double secondOfDay = epochSeconds - days * secondsPerDay;
    // 1 January 1970 was a Thursday, weekday 4.
    const auto dayNumber = static_cast<std::int64_t>(days);
    const auto weekday = static_cast<std::uint32_t>(((dayNumber + 3) % 7 + 7) % 7 + 1);
    const int slot = std::clamp(static_cast<int>(secondOfDay / 1800.0), 0, 47);
    return {weekday, slot};
}

DaySlot lf_currentDaySlot() {
    return currentDaySlot;
}

void lf_refreshDaySlot() {
    currentDaySlot = gf_daySlotOf(gf_trafficTime());
}

} // namespace kvr
