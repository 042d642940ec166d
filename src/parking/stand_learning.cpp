#include "parking/stand_learning.h"

#include "core/log.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "parking/registered_identity_internal.h"

#include <fmt/format.h>

#include <algorithm>
#include <bitset>
#include <stdexcept>

namespace kvr {

std::atomic<int> learnedUpdateCount{0};

namespace {

using SlotSet = std::bitset<48>;

std::string_view lf_withoutGhostMark(std::string_view callsign) {
    if (!callsign.empty() && callsign.back() == '_')
        callsign.remove_suffix(1);
    return callsign;
}

StandOption* lf_findOption(std::vector<StandOption>& options, std::uint32_t id) {
    if (id == 0)
        return nullptr;
    const auto it = std::find_if(options.begin(), options.end(),
                                 [id](const StandOption& o) { return o.aircraftId == id; });
    return it == options.end() ? nullptr : &*it;
}

// Sets one slot of an option; a slot outside 0..47 throws std::out_of_range from the bit set.
void lf_setSlot(StandOption& option, int slot) {
    SlotSet bits(option.halfHours);
    bits.set(static_cast<std::size_t>(slot));
    option.halfHours = bits.to_ullong();
}

int lf_takeBack(std::vector<int>& slots) {
    const int slot = slots.back();
    slots.pop_back();
    return slot;
}

void lf_countLearnedUpdate() {
    const int count = learnedUpdateCount.fetch_add(1) + 1;
    if (statusDisplay.numberOfUpdates.exchange(count) != count)
        gf_invalidateArea(ScreenArea::statusPane);
}

} // namespace

void gf_addStandOption(std::vector<StandOption>& options, std::optional<std::uint32_t>& result,
                       const StandVisitor& aircraft, std::uint32_t day, int slot, std::string_view callsign,
                       const std::string& registration, bool coupled) {
    result.reset();
    if (registration.empty())
        return;
    SlotSet bits;
    bits.set(static_cast<std::size_t>(slot));
    const std::uint64_t slotBits = bits.to_ullong();
    const auto newId = static_cast<std::uint32_t>(options.size() + 1);

    StandOption option;
    if (auto known = lf_registeredIdentity(registration)) {
        option.airline = std::move(known->airline);
        option.type = std::move(known->type);
    } else {
        option.airline = aircraft.operatorCode;
        option.type = aircraft.type;
    }
    const bool alreadyThere = std::any_of(options.begin(), options.end(), [&](const StandOption& o) {
        return o.registration == registration && o.day == day && o.halfHours == slotBits;
    });
    if (alreadyThere)
        return;

    option.registration = registration;
    option.callsign = lf_withoutGhostMark(callsign);
    option.halfHours = slotBits;
    option.aircraftId = newId;
    option.day = day;
    option.fromStandFile = 0;
    option.real = 1;
    option.coupled = coupled;
    options.push_back(std::move(option));
    lf_countLearnedUpdate();
    result = newId;
}

void gf_addOptionCallsign(std::vector<StandOption>& options, std::uint32_t id, std::string_view callsign) {
    const std::string_view cs = lf_withoutGhostMark(callsign);
    if (cs.empty())
        return;
    StandOption* option = lf_findOption(options, id);
    if (option == nullptr)
        return;
    if (option->callsign.empty())
        option->callsign = cs;
    else if (cs != option->callsign && cs != option->callsign2)
        option->callsign2 = cs;
}

bool updateOptions(std::vector<StandOption>& options, std::vector<int>& slots, std::uint32_t id) {
    StandOption* option = lf_findOption(options, id);
    if (option == nullptr)
        return false;
    try {
        while (!slots.empty())
            lf_setSlot(*option, lf_takeBack(slots));
        return true;
    } catch (const std::exception& e) {
        gf_logError(fmt::format("{} exception:{}", "updateOptions", e.what()));
        return false;
    }
}

bool updateOptionsWrapped(std::vector<StandOption>& options, std::vector<int>& slots, std::uint32_t id1,
                          std::uint32_t id2) {
    try {
        StandOption* before = lf_findOption(options, id1);
        if (before == nullptr)
            return false;
        if (!slots.empty() && slots.back() != 0) {
            int slot = -1;
            while (!slots.empty() && slot != 47) {
                slot = lf_takeBack(slots);
                lf_setSlot(*before, slot);
            }
        }
        StandOption* after = lf_findOption(options, id2);
        if (after == nullptr)
            return false;
        // The newest slot is the one the aircraft is leaving in; it is not part of the stay.
        while (slots.size() >= 2)
            lf_setSlot(*after, lf_takeBack(slots));
        return true;
    } catch (const std::exception& e) {
        gf_logError(fmt::format("{} exception:{}", "updateOptionsWrapped", e.what()));
        return false;
    }
}

} // namespace kvr
