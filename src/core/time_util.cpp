#include "core/time_util.h"

#include <fmt/format.h>

namespace kvr {

std::atomic<bool> timeShiftActive{false};
std::atomic<std::time_t> latestTrafficTime{0};

bool gf_utcBreakDown(std::time_t time, std::tm& out) {
#ifdef _WIN32
    return gmtime_s(&out, &time) == 0;
#else
    return gmtime_r(&time, &out) != nullptr;
#endif
}

std::time_t gf_now() {
    if (timeShiftActive.load()) {
        const std::time_t latest = latestTrafficTime.load();
        if (latest != 0)
            return latest;
    }
    return std::time(nullptr);
}

std::string gf_nowHms() {
    std::tm t{};
    if (!gf_utcBreakDown(gf_now(), t))
        return "??:??:??";
    return fmt::format("{:02}:{:02}:{:02}", t.tm_hour, t.tm_min, t.tm_sec);
}

std::string gf_timeToText(std::time_t time) {
    static constexpr const char* weekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm t{};
    if (!gf_utcBreakDown(time, t))
        return "?";
    return fmt::format("{:3} {:3} {:02} {:02}:{:02}:{:02} {:4}", weekdays[t.tm_wday % 7],
                       months[t.tm_mon % 12], t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, t.tm_year + 1900);
}

int gf_halfHourIndex(std::time_t time) {
    std::tm t{};
    if (!gf_utcBreakDown(time, t))
        return -1;
    return t.tm_hour * 2 + (t.tm_min >= 30 ? 1 : 0);
}

} // namespace kvr
