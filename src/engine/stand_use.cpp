// The learning of stand use: a live aircraft that parks at a stand of the park airport becomes a stand
// option for its weekday and slot; the slots of its stay are written into the option when it leaves.
// A stay across midnight goes into two options, one per weekday.
#include "engine/engine_internal.h"

namespace kvr {

port::Stand* lf_standByNumber(std::uint32_t number) {
    if (number == 0)
        return nullptr;
    auto& stands = port::standList;
    if (number <= stands.size() && stands[number - 1].number == number)
        return &stands[number - 1];
    for (port::Stand& stand : stands)
        if (stand.number == number)
            return &stand;
    return nullptr;
}

void lf_addRealStandOption(LiveAc& aircraft) {
    aircraft.optionId = 0;
    aircraft.optionId2 = 0;
    aircraft.staySlots.clear();
    port::Stand* stand = lf_standByNumber(aircraft.standNumber);
    if (!stand)
        return;
    const DaySlot now = lf_currentDaySlot();
    std::optional<std::uint32_t> id;
    port::addStandOption(stand->options, id, {aircraft.operatorCode, aircraft.icaoType}, now.day, now.slot,
                         aircraft.reportCallsign, aircraft.registration, !aircraft.coupledCallsign.empty());
    if (!id)
        return;
    aircraft.optionId = *id;
    aircraft.stayDay = now.day;
    aircraft.staySlots.push_back(now.slot);
    if (!aircraft.coupledCallsign.empty())
        port::addOptionCallsign(stand->options, *id, aircraft.coupledCallsign);
}

void lf_noteStaySlot(LiveAc& aircraft, DaySlot now) {
    if (aircraft.optionId == 0 || aircraft.staySlots.empty() || aircraft.staySlots.front() == now.slot)
        return;
    if (now.day != aircraft.stayDay && aircraft.optionId2 == 0) {
        if (port::Stand* stand = lf_standByNumber(aircraft.standNumber)) {
            std::optional<std::uint32_t> id;
            port::addStandOption(stand->options, id, {aircraft.operatorCode, aircraft.icaoType}, now.day,
                                 now.slot, aircraft.reportCallsign, aircraft.registration,
                                 !aircraft.coupledCallsign.empty());
            aircraft.optionId2 = id.value_or(0);
        }
    }
    aircraft.staySlots.insert(aircraft.staySlots.begin(), now.slot);
}

void lf_recordStay(LiveAc& aircraft) {
    if (aircraft.optionId == 0)
        return;
    if (port::Stand* stand = lf_standByNumber(aircraft.standNumber)) {
        // Slots newest first: a stay that crossed midnight has a newer slot below an older one.
        bool wrapped = false;
        for (std::size_t i = 1; i < aircraft.staySlots.size(); ++i)
            wrapped = wrapped || aircraft.staySlots[i - 1] < aircraft.staySlots[i];
        if (wrapped)
            port::updateOptionsWrapped(stand->options, aircraft.staySlots, aircraft.optionId,
                                       aircraft.optionId2);
        else
            port::updateOptions(stand->options, aircraft.staySlots, aircraft.optionId);
    }
    aircraft.optionId = 0;
    aircraft.optionId2 = 0;
    aircraft.staySlots.clear();
}

} // namespace kvr
