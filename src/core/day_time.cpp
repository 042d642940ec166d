#include "core/day_time.h"

#include "core/log.h"
#include "core/text_util.h"
#include "core/time_util.h"

#include <fmt/format.h>

#include <charconv>

namespace kvr {

namespace {

std::optional<std::size_t> lf_slotNumber(std::string_view text) {
    std::size_t slot = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), slot);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || slot >= HalfHourSet().size())
        return std::nullopt;
    return slot;
}

bool lf_addItem(std::string_view item, HalfHourSet& slots) {
    const std::size_t colon = item.find(':');
    const std::string first = gf_trim(item.substr(0, colon));
    const auto from = lf_slotNumber(first);
    if (!from)
        return false;
    std::size_t to = *from;
    if (colon != std::string_view::npos) {
        const auto last = lf_slotNumber(gf_trim(item.substr(colon + 1)));
        if (!last || *last < *from)
            return false;
        to = *last;
    }
    for (std::size_t slot = *from; slot <= to; ++slot)
        slots.set(slot);
    return true;
}

} // namespace

std::string gf_clockText() {
    return (timeShiftActive.load() ? "<<< " : "") + gf_nowHms();
}

HalfHourSet gf_hours2bitset(std::string_view text) {
    HalfHourSet slots;
    if (gf_trim(text).empty())
        return slots;
    for (const std::string& item : gf_splitString(text, ',')) {
        if (!lf_addItem(item, slots)) {
            gf_logError(fmt::format("gf_hours2bitset: invalid half-hour text '{}'", text));
            return {};
        }
    }
    return slots;
}

std::optional<std::string> gf_bitsetToHours(const HalfHourSet& slots) {
    if (slots.none())
        return std::nullopt;
    std::size_t first = 0;
    while (!slots.test(first))
        ++first;
    std::size_t last = first;
    while (last + 1 < slots.size() && slots.test(last + 1))
        ++last;
    if (slots.count() != last - first + 1)
        return std::nullopt;
    if (first == last)
        return fmt::format("{}", first);
    return fmt::format("{}:{}", first, last);
}

} // namespace kvr
