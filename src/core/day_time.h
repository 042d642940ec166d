#pragma once
#include <bitset>
#include <optional>
#include <string>
#include <string_view>

namespace kvr {

// The 48 half-hour slots of a day (UTC): bit n = slot n, slot 0 = 00:00-00:29.
using HalfHourSet = std::bitset<48>;

// The time of day as hh:mm:ss (UTC) of gf_now, with "<<< " before it while time shift is active.
std::string gf_clockText();

// Reads a comma list of items, each a slot "n" or an inclusive range "a:b" (0 <= a <= b <= 47), blanks
// around items allowed. An empty text gives an empty set. Any invalid item (not a number, beyond 47,
// an empty item, a range running backwards) makes the whole text invalid: it is logged and gives an
// empty set. A range across midnight such as "46:2" is invalid, because a stay across midnight is kept
// as two sets of two weekdays.
HalfHourSet gf_hours2bitset(std::string_view text);

// "first:last" for a run of two or more neighbouring slots, "n" for one slot, and no value for an
// empty set or slots that are not one run.
std::optional<std::string> gf_bitsetToHours(const HalfHourSet& slots);

} // namespace kvr
