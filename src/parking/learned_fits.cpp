// Fits of learned stand options: stands the parked traffic left free are filled with aircraft that were
// seen there at this time of day, looking back one half-hour at a time up to MAX_FIT, first among real
// options of this weekday, then (as the settings allow) of any weekday and among soft options.
#include "core/geodesy.h"
#include "core/log.h"
#include "core/random_engine.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "core/text_util.h"
#include "parking/static_parking_internal.h"
#include "refdata/aircraft_dbase.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

#include <algorithm>
#include <optional>

namespace kvr {

namespace {

constexpr std::size_t idRoom = 256;

bool lf_slotSet(const StandOption& option, int slot) {
    return slot >= 0 && slot < 48 && ((option.halfHours >> slot) & 1u) != 0;
}

std::uint32_t lf_nextWeekday(std::uint32_t day) {
    return day >= 7 ? 1 : day + 1;
}

const char* lf_kindName(std::uint32_t real, std::uint32_t sameDay) {
    if (real == 1)
        return sameDay == 1 ? "real" : "week/real";
    return sameDay == 1 ? "soft" : "week/soft";
}

template <typename Items> void lf_shuffle(Items& items) {
    std::shuffle(items.begin(), items.end(), gf_randomEngine());
}

bool lf_sameText(const std::string& a, const std::string& b) {
    return !a.empty() && a == b;
}

// Whether an active static aircraft on a stand overlapping this one stands closer than the two half
// wingspans.
bool lf_neighbourTooClose(const Stand& stand, double halfWingspan) {
    for (const std::uint32_t number : stand.overlapping) {
        const auto first =
            std::find_if(staticAcList.begin(), staticAcList.end(), [number](const StaticAc& s) {
                return s.standNumber == number && s.simState == SimState::active && !s.removed;
            });
        if (first == staticAcList.end())
            continue;
        if (gf_distanceNm(stand.latitude, stand.longitude, first->latitude, first->longitude) <
            first->halfWingspan + halfWingspan)
            return true;
    }
    return false;
}

// The option whose aircraft already stands here as a learned static aircraft, among the ids found.
std::optional<std::uint32_t> lf_idOfStaticHere(const Stand& stand, const std::vector<std::uint32_t>& ids) {
    for (const StaticAc& aircraft : staticAcList) {
        if (aircraft.kind != 1 || aircraft.standNumber != stand.number || aircraft.removed)
            continue;
        for (const StandOption& option : stand.options)
            if (std::find(ids.begin(), ids.end(), option.aircraftId) != ids.end() &&
                gf_sameOperatorAndType(aircraft, option) &&
                ((!option.callsign.empty() && option.callsign + "*" == aircraft.callsign) ||
                 (!option.callsign2.empty() && option.callsign2 + "*" == aircraft.callsign)))
                return option.aircraftId;
    }
    return std::nullopt;
}

// Whether the aircraft of the option still stands there in the half-hour after the current one.
bool lf_staysNextSlot(const Stand& stand, const StandOption& option, DaySlot now) {
    if (option.callsign2.empty())
        return true;
    if (now.slot < 47)
        return lf_slotSet(option, now.slot + 1);
    const std::uint32_t nextDay = lf_nextWeekday(now.day);
    return std::any_of(stand.options.begin(), stand.options.end(), [&](const StandOption& other) {
        return other.aircraftId > 0 && other.day == nextDay && other.airline == option.airline &&
               other.type == option.type && lf_slotSet(other, 0);
    });
}

void lf_searchStand(Stand& stand, DaySlot search, DaySlot now, std::uint32_t real, std::uint32_t sameDay,
                    int offset, std::vector<ParkPosition>& candidates) {
    if (stand.blocked || (stand.heli && !HELICOPTERS.value()))
        return;
    std::vector<std::uint32_t> ids;
    ids.reserve(idRoom);
    for (const StandOption& option : stand.options) {
        if (option.aircraftId == 0 || (sameDay == 1 && option.day != search.day) || option.real != real ||
            !lf_slotSet(option, search.slot))
            continue;
        if (lf_neighbourTooClose(stand, gf_getWingspan(option.type)))
            continue;
        ids.push_back(option.aircraftId);
    }
    if (ids.empty())
        return;
    std::uint32_t picked = ids.front();
    if (ids.size() > 1) {
        if (const auto here = lf_idOfStaticHere(stand, ids)) {
            picked = *here;
        } else {
            lf_shuffle(ids);
            picked = ids.front();
        }
    }
    const auto option = std::find_if(stand.options.begin(), stand.options.end(),
                                     [picked](const StandOption& o) { return o.aircraftId == picked; });
    if (option == stand.options.end())
        return;
    // An aircraft that is elsewhere now is left out of this calculation; the stand stays free for the
    // next offset.
    if (lf_isOptionInUse(*option)) {
        option->aircraftId = 0;
        return;
    }
    candidates.push_back({0, 1, stand.number, static_cast<std::uint32_t>(offset), option->airline,
                          option->type, option->callsign, option->callsign2, option->registration,
                          lf_staysNextSlot(stand, *option, now)});
    lf_chooseStand(stand);
}

} // namespace

bool lf_isCallsignSeenLive(const std::unordered_map<std::string, std::uint32_t>& callsigns,
                           const std::string& callsign) {
    return callsigns.contains(callsign) || callsigns.contains(callsign + "_");
}

// An empty text names no aircraft, so it matches nothing here.
bool lf_isOptionInUse(const StandOption& option) {
    const auto namesOption = [&option](const std::string& callsign) {
        return lf_sameText(callsign, option.callsign) || lf_sameText(callsign, option.callsign2);
    };
    const bool positionTaken =
        std::any_of(parkPositions.begin(), parkPositions.end(), [&](const ParkPosition& position) {
            return lf_sameText(option.registration, position.registration) || namesOption(position.callsign);
        });
    if (positionTaken)
        return true;
    for (const std::string* callsign : {&option.callsign, &option.callsign2})
        if (!callsign->empty() && lf_isCallsignSeenLive(seenLiveMaps.callsigns, *callsign))
            return true;
    for (const StaticAc& aircraft : staticAcList) {
        if (aircraft.removed)
            continue;
        if (namesOption(aircraft.optionCallsign) || lf_sameText(option.registration, aircraft.registration))
            return true;
        if (aircraft.kind == 0 && lf_isActiveStatic(aircraft) &&
            ((!option.callsign.empty() && aircraft.callsign == option.callsign + "*") ||
             (!option.callsign2.empty() && aircraft.callsign == option.callsign2 + "*")))
            return true;
    }
    return std::any_of(liveParkedList.begin(), liveParkedList.end(),
                       [&](const LiveParked& parked) { return namesOption(parked.callsign); });
}

void lf_searchStands(DaySlot now, std::uint32_t real, std::uint32_t sameDay, int offset,
                     std::vector<ParkPosition>& candidates) {
    const DaySlot search = lf_slotsBefore(now, offset);
    try {
        for (Stand& stand : standList)
            if (!stand.reservedForUser && !stand.chosen)
                lf_searchStand(stand, search, now, real, sameDay, offset, candidates);
    } catch (const std::exception& e) {
        gf_logError(fmt::format("{}: day: {}, offset {}: {}", "lf_searchStands",
                                fmt::format("[{},{}]", now.day, now.slot), offset, e.what()));
    }
}

bool lf_fitParkPositions(DaySlot now, std::uint32_t real, std::uint32_t sameDay, std::int64_t wanted,
                         std::vector<ParkPosition>& candidates) {
    if (wanted == 0)
        return true;
    const std::size_t chosenBefore = lf_countChosenStands();
    const int maxFit = MAX_FIT.value();
    int offset = 0;
    bool reached = false;
    while (true) {
        lf_searchStands(now, real, sameDay, offset, candidates);
        if (static_cast<std::int64_t>(lf_countChosenStands()) >= wanted) {
            reached = true;
            break;
        }
        std::move(candidates.begin(), candidates.end(), std::back_inserter(parkPositions));
        candidates.clear();
        if (++offset > maxFit)
            break;
    }
    if (real == 1) {
        fitOffsets.real = offset;
        fitOffsets.soft = -1;
    } else {
        fitOffsets.soft = offset;
    }
    const std::size_t found = lf_countChosenStands() - chosenBefore;
    if (found >= 1) {
        statusDisplay.softFit = real == 0;
        statusDisplay.weekFit = sameDay == 0;
        gf_invalidateArea(ScreenArea::trafficPane);
        gf_logLine(fmt::format("{} {} position{} found, Max fit={:.1F} hours{}{}", found,
                               lf_kindName(real, sameDay), gf_pluralSuffix(found), MAX_FIT_FL.value(),
                               fmt::format(", day {}", now.day),
                               fmt::format(", hh:{} or {:.1F} hrs, fit: {:.1F} hour", now.slot,
                                           lf_hoursOf(now.slot), lf_hoursOf(offset))));
    }
    return reached;
}

void lf_addFitPositions(DaySlot now, std::int64_t wanted, std::int64_t extra, std::uint32_t real,
                        std::uint32_t sameDay) {
    std::vector<ParkPosition> candidates;
    if (!lf_fitParkPositions(now, real, sameDay, wanted, candidates))
        return;
    // The last offset may give more stands than wanted; which of them get an aircraft is left to chance
    // rather than to the order of the stand file.
    const std::int64_t surplus =
        static_cast<std::int64_t>(parkPositions.size() + candidates.size()) + extra - wanted;
    if (surplus >= 1 && !candidates.empty()) {
        lf_shuffle(candidates);
        if (surplus <= static_cast<std::int64_t>(candidates.size()))
            candidates.resize(candidates.size() - static_cast<std::size_t>(surplus));
    }
    std::move(candidates.begin(), candidates.end(), std::back_inserter(parkPositions));
    const std::int64_t room = std::max<std::int64_t>(wanted - extra, 0);
    if (static_cast<std::int64_t>(parkPositions.size()) > room)
        parkPositions.resize(static_cast<std::size_t>(room));
}

void lf_addLearnedPositions(DaySlot now, std::int64_t wanted, std::int64_t extra) {
    fitOffsets = FitOffsets{};
    const auto stillShort = [&] { return wanted > static_cast<std::int64_t>(parkPositions.size()) + extra; };
    lf_addFitPositions(now, wanted, extra, 1, 1);
    if (stillShort() && WEEK.value())
        lf_addFitPositions(now, wanted, extra, 1, 0);
    if (stillShort() && PARK_SOFT.value())
        lf_addFitPositions(now, wanted, extra, 0, 1);
    if (stillShort() && PARK_SOFT.value() && WEEK.value())
        lf_addFitPositions(now, wanted, extra, 0, 0);
}

} // namespace kvr
