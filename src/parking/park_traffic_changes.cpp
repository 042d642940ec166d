// Keeping the static parked aircraft in step with the time and the service's parked traffic: every change
// run works out which static aircraft must go and which positions are to be added, and hands both to the
// traffic engine. Also the removal of all park traffic when the park airport is given up.
#include "core/log.h"
#include "core/message_line.h"
#include "core/status_display.h"
#include "core/text_util.h"
#include "parking/static_parking.h"
#include "parking/static_parking_internal.h"
#include "refdata/aircraft_dbase.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

#include <algorithm>
#include <optional>

namespace kvr {

namespace {

bool lf_slotSet(const StandOption& option, int slot) {
    return slot >= 0 && slot < 48 && ((option.halfHours >> slot) & 1u) != 0;
}

bool lf_anySlotSet(const StandOption& option, int from, int downTo) {
    for (int slot = from; slot >= downTo; --slot)
        if (lf_slotSet(option, slot))
            return true;
    return false;
}

bool lf_sameAircraftOption(const StandOption& option, const StaticAc& aircraft, std::uint32_t day) {
    return option.day == day && option.registration == aircraft.registration &&
           option.airline == aircraft.operatorCode && option.type == aircraft.icaoType;
}

bool lf_namedWithStar(const std::string& callsign, const std::string& simCallsign) {
    return !callsign.empty() && callsign + "*" == simCallsign;
}

// Whether an option of the static aircraft's stand still puts it there now, looking back as far as the
// last fit had to.
bool lf_isCoveredByOption(const StaticAc& aircraft, const Stand& stand, DaySlot now) {
    const int offset = std::min(std::max(fitOffsets.real, fitOffsets.soft), 47);
    const int earliest = now.slot - offset;
    const bool today = std::any_of(stand.options.begin(), stand.options.end(), [&](const StandOption& o) {
        return lf_sameAircraftOption(o, aircraft, now.day) &&
               lf_anySlotSet(o, now.slot, std::max(earliest, 0));
    });
    if (today || earliest >= 0)
        return today;
    // The fit looked back offset slots from now: the ones it did not find today are the last of yesterday,
    // slot 47 down to 48 - remaining.
    const int remaining = offset - now.slot;
    const std::uint32_t yesterday = now.day <= 1 ? 7 : now.day - 1;
    return std::any_of(stand.options.begin(), stand.options.end(), [&](const StandOption& o) {
        return lf_sameAircraftOption(o, aircraft, yesterday) && lf_anySlotSet(o, 47, 48 - remaining);
    });
}

std::optional<std::size_t> lf_positionOnStand(std::uint32_t standNumber) {
    for (std::size_t i = 0; i < parkPositions.size(); ++i)
        if (parkPositions[i].standNumber == standNumber)
            return i;
    return std::nullopt;
}

// A position on a stand overlapping the static aircraft's stand, closer than the two half wingspans.
std::optional<std::size_t> lf_crowdingPosition(const StaticAc& aircraft, const Stand& stand) {
    for (const std::uint32_t number : stand.overlapping) {
        const Stand* neighbour = lf_parkStandByNumber(number);
        if (!neighbour)
            continue;
        const auto index = lf_positionOnStand(number);
        if (index && lf_standDistanceNm(stand, *neighbour) <
                         aircraft.halfWingspan + gf_getWingspan(parkPositions[*index].type))
            return index;
    }
    return std::nullopt;
}

// Whether the candidate's aircraft leaves its stand before the next half-hour, by the option it was
// created from. That option may be marked unused (id 0) in this run: the fit found its aircraft standing
// here as this very static aircraft. It still tells where the aircraft goes next.
bool lf_isLeaving(const StaticCandidate& candidate, DaySlot now) {
    const Stand* stand = lf_parkStandByNumber(candidate.standNumber);
    if (!stand)
        return false;
    std::string callsign = candidate.simCallsign;
    if (!callsign.empty() && callsign.back() == '*')
        callsign.pop_back();
    const auto option = std::find_if(stand->options.begin(), stand->options.end(), [&](const StandOption& o) {
        return o.day == now.day && o.callsign == callsign && o.airline == candidate.airline &&
               o.type == candidate.type;
    });
    if (option == stand->options.end())
        return false;
    if (now.slot < 47)
        return !lf_slotSet(*option, now.slot + 1);
    const std::uint32_t tomorrow = now.day >= 7 ? 1 : now.day + 1;
    return std::none_of(stand->options.begin(), stand->options.end(), [&](const StandOption& o) {
        return o.day == tomorrow && o.callsign == callsign && o.airline == candidate.airline &&
               o.type == candidate.type && lf_slotSet(o, 0);
    });
}

void lf_markLeavingCandidates(DaySlot now) {
    std::stable_sort(candidateList.begin(), candidateList.end(),
                     [now](const StaticCandidate& a, const StaticCandidate& b) {
                         return lf_ageSlots(now, a.weekday, a.slot) < lf_ageSlots(now, b.weekday, b.slot);
                     });
    for (StaticCandidate& candidate : candidateList)
        if (!candidate.optionCallsign2.empty() && !candidate.optionCallsign.empty() &&
            candidate.simCallsign.find(candidate.optionCallsign) != std::string::npos)
            candidate.leaving = lf_isLeaving(candidate, now);
}

// Leaving aircraft are created again as positions that do not stay through the next slot.
void lf_recreateLeaving() {
    for (const StaticCandidate& candidate : candidateList) {
        if (!candidate.leaving)
            continue;
        parkPositions.push_back({0, 1, candidate.standNumber, static_cast<std::uint32_t>(candidate.slot),
                                 candidate.airline, candidate.type, candidate.optionCallsign,
                                 candidate.optionCallsign2, candidate.registration, false});
        removalList.push_back({candidate.simCallsign, candidate.standNumber});
    }
    std::erase_if(candidateList, [](const StaticCandidate& candidate) { return candidate.leaving; });
}

void lf_forgetStand(LiveAc& aircraft) {
    aircraft.standLatitude = 0;
    aircraft.standLongitude = 0;
    aircraft.standHeading = 0;
    aircraft.standNumber = 0;
}

bool lf_isOnGroundAtAirport(AcPhase phase) {
    switch (phase) {
    case AcPhase::pushing_back:
    case AcPhase::pushed_back:
    case AcPhase::taxi:
    case AcPhase::take_off:
    case AcPhase::parked:
        return true;
    default:
        return false;
    }
}

void lf_removeLiveParkedAt(std::uint32_t standNumber) {
    const auto aircraft = std::find_if(liveAcList.begin(), liveAcList.end(), [standNumber](const LiveAc& a) {
        return !a.removed && a.simState == SimState::active && a.phase == AcPhase::parked &&
               a.standNumber == standNumber;
    });
    if (aircraft != liveAcList.end())
        removeAircraftFromSim(*aircraft);
}

} // namespace

void lf_limitParkedLive(std::int64_t wanted) {
    lf_listLiveParked();
    const auto parked = static_cast<std::int64_t>(liveParkedList.size());
    if (!RT_PARKTRAFFIC_ONLY.value() && wanted >= 1 && parked > wanted) {
        gf_showMessage(fmt::format("Parking adjustments: {} more live ac than wanted", parked - wanted),
                       true);
        lf_removeExcessLiveParked(static_cast<int>(parked - wanted));
        lf_listLiveParked();
    }
    for (const LiveParked& live : liveParkedList)
        if (Stand* stand = lf_parkStandByNumber(live.standNumber))
            lf_chooseStand(*stand);
}

void lf_updatePtPositions(const std::vector<ParkedAircraft>& records) {
    lf_assignPtToStands(records);
    for (const StaticAc& aircraft : staticAcList) {
        if (aircraft.kind != 0 || !lf_isActiveStatic(aircraft))
            continue;
        const auto same =
            std::find_if(parkPositions.begin(), parkPositions.end(), [&](const ParkPosition& p) {
                return p.standNumber == aircraft.standNumber &&
                       (lf_namedWithStar(p.callsign, aircraft.callsign) ||
                        lf_namedWithStar(p.secondCallsign, aircraft.callsign) ||
                        (!p.registration.empty() && p.registration == aircraft.registration));
            });
        if (!seenLiveMaps.addresses.contains(aircraft.id) && same != parkPositions.end()) {
            lf_addCandidate(aircraft);
            parkPositions.erase(same);
        } else {
            lf_addToRemovalList(aircraft);
        }
    }
    gf_logLine(fmt::format("{} new parking position{} from PT", parkPositions.size(),
                           gf_pluralSuffix(parkPositions.size())));
}

void lf_matchPtWithLearnedStatics(bool removeAllLearned) {
    if (removeAllLearned)
        return;
    const DaySlot now = lf_nowDaySlot();
    for (const StaticAc& aircraft : staticAcList) {
        if (aircraft.kind != 1 || !lf_isActiveStatic(aircraft))
            continue;
        const auto position =
            std::find_if(parkPositions.begin(), parkPositions.end(), [&](const ParkPosition& p) {
                return p.standNumber == aircraft.standNumber ||
                       lf_namedWithStar(p.callsign, aircraft.callsign);
            });
        if (position == parkPositions.end())
            continue;
        const bool parkedLater = position->age < lf_ageSlots(now, aircraft.weekday, aircraft.slot);
        const bool sameAircraft = lf_namedWithStar(position->callsign, aircraft.callsign) &&
                                  position->airline == aircraft.operatorCode &&
                                  position->type == aircraft.icaoType;
        if (parkedLater && !sameAircraft)
            lf_addToRemovalList(aircraft);
        else
            parkPositions.erase(position);
    }
}

void lf_resolveStaticAgainstPt(const StaticAc& aircraft, std::size_t positionIndex) {
    const std::int64_t staticAge = lf_ageSlots(lf_nowDaySlot(), aircraft.weekday, aircraft.slot);
    if (parkPositions[positionIndex].age < staticAge) {
        lf_addToRemovalList(aircraft);
    } else {
        lf_addCandidate(aircraft);
        parkPositions.erase(parkPositions.begin() + static_cast<std::ptrdiff_t>(positionIndex));
    }
}

void lf_selectLearnedStatics(DaySlot now) {
    for (const StaticAc& aircraft : staticAcList) {
        if (aircraft.kind != 1 || !lf_isActiveStatic(aircraft))
            continue;
        if ((!aircraft.optionCallsign.empty() &&
             lf_isCallsignSeenLive(seenLiveMaps.callsigns, aircraft.optionCallsign)) ||
            (!aircraft.optionCallsign2.empty() &&
             lf_isCallsignSeenLive(seenLiveMaps.callsigns, aircraft.optionCallsign2))) {
            lf_addToRemovalList(aircraft);
            continue;
        }
        const Stand* stand = lf_parkStandByNumber(aircraft.standNumber);
        if (!stand) {
            lf_addToRemovalList(aircraft);
            continue;
        }
        const auto onStand = lf_positionOnStand(stand->number);
        if (!onStand) {
            if (const auto crowding = lf_crowdingPosition(aircraft, *stand))
                lf_resolveStaticAgainstPt(aircraft, *crowding);
            else if (lf_isCoveredByOption(aircraft, *stand, now))
                lf_addCandidate(aircraft);
            else
                lf_addToRemovalList(aircraft);
            continue;
        }
        const ParkPosition& position = parkPositions[*onStand];
        if (position.airline == aircraft.operatorCode && position.type == aircraft.icaoType &&
            (lf_namedWithStar(position.callsign, aircraft.callsign) ||
             lf_namedWithStar(position.secondCallsign, aircraft.callsign))) {
            lf_addCandidate(aircraft);
            parkPositions.erase(parkPositions.begin() + static_cast<std::ptrdiff_t>(*onStand));
        } else {
            lf_resolveStaticAgainstPt(aircraft, *onStand);
        }
    }
    lf_markLeavingCandidates(now);
}

void lf_trimToWanted(std::int64_t wanted) {
    std::int64_t excess =
        static_cast<std::int64_t>(parkPositions.size() + candidateList.size() + liveParkedList.size()) -
        wanted;
    for (; excess > 0; --excess) {
        if (!parkPositions.empty()) {
            parkPositions.pop_back();
        } else if (!candidateList.empty()) {
            removalList.push_back({candidateList.back().simCallsign, candidateList.back().standNumber});
            candidateList.pop_back();
        } else if (!liveParkedList.empty()) {
            lf_removeLiveParkedAt(liveParkedList.back().standNumber);
            liveParkedList.pop_back();
        } else {
            break;
        }
    }
}

void lf_applyRemovals() {
    for (const RemovalEntry& entry : removalList) {
        const auto aircraft = std::find_if(staticAcList.begin(), staticAcList.end(), [&](const StaticAc& s) {
            return !s.removed && s.standNumber == entry.standNumber && s.callsign == entry.callsign &&
                   (s.simState == SimState::active || s.simState == SimState::removingfromsim);
        });
        if (aircraft != staticAcList.end())
            removeAircraftFromSim(*aircraft);
    }
    removalList.clear();
}

void gf_applyParkTrafficChanges(bool removeAllLearned) {
    const DaySlot now = lf_logDayAndHour();
    lf_takeSeenLiveMaps();
    statusDisplay.softFit = false;
    statusDisplay.weekFit = false;

    removalList.clear();
    candidateList.clear();
    liveParkedList.clear();
    parkPositions.clear();
    for (Stand& stand : standList) {
        stand.reservedForUser = false;
        stand.blocked = false;
        stand.chosen = false;
        std::uint32_t id = 0;
        for (StandOption& option : stand.options)
            option.aircraftId = ++id;
    }
    lf_markReservedStands();

    if (removeAllLearned)
        for (const StaticAc& aircraft : staticAcList)
            if (aircraft.kind == 1 && lf_isActiveStatic(aircraft))
                lf_addToRemovalList(aircraft);

    const std::int64_t wanted = lf_wantedParkCount();
    lf_limitParkedLive(wanted);
    if (const auto records = lf_receiveParkedTraffic()) {
        lf_updatePtPositions(*records);
        if (RT_PARKTRAFFIC_ONLY.value()) {
            gf_showMessage(fmt::format("ParkTraffic changes: {} to be removed, {} to be added",
                                       removalList.size(), parkPositions.size()),
                           true);
            lf_applyRemovals();
            return;
        }
    }
    lf_matchPtWithLearnedStatics(removeAllLearned);

    const auto kept = static_cast<std::int64_t>(liveParkedList.size() + candidateList.size());
    for (const StaticCandidate& candidate : candidateList)
        if (Stand* stand = lf_parkStandByNumber(candidate.standNumber))
            lf_chooseStand(*stand);
    if (wanted - static_cast<std::int64_t>(parkPositions.size()) != kept)
        lf_addLearnedPositions(now, wanted, kept);
    lf_selectLearnedStatics(now);
    lf_recreateLeaving();

    lf_trimToWanted(wanted);
    std::stable_sort(parkPositions.begin(), parkPositions.end(),
                     [](const ParkPosition& a, const ParkPosition& b) { return a.age > b.age; });
    gf_showMessage(fmt::format("Parking adjustments: {} to be removed, {} to be added\n", removalList.size(),
                               parkPositions.size()),
                   true);
    lf_applyRemovals();
}

void gf_clearParkTraffic(LearnedSaving saving) {
    parkPositions.clear();
    lf_removeAllStatic();
    for (LiveAc& aircraft : liveAcList) {
        if (aircraft.removed || !lf_isOnGroundAtAirport(aircraft.phase))
            continue;
        // Removing first lets a parked aircraft's stay be learned before the stand is forgotten.
        if (aircraft.simState == SimState::active || aircraft.simState == SimState::adding2sim)
            removeAircraftFromSim(aircraft);
        lf_forgetStand(aircraft);
    }
    lf_unloadParkAirport(saving);
}

} // namespace kvr
