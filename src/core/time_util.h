#pragma once
#include <atomic>
#include <ctime>
#include <string>

namespace kvr {

// Time shift: while set, gf_now answers the time of the latest traffic data instead of the clock.
extern std::atomic<bool> timeShiftActive;
// Epoch seconds of the latest report the Traffic Reader received; 0 until the first one.
extern std::atomic<std::time_t> latestTrafficTime;

std::time_t gf_now();
std::string gf_nowHms();                      // current UTC time as hh:mm:ss
std::string gf_timeToText(std::time_t time);  // "Mon Dec  7 04:23:41 2026" (UTC)
int gf_halfHourIndex(std::time_t time);       // 0..47 in UTC, -1 when the time cannot be broken down
bool gf_utcBreakDown(std::time_t time, std::tm& out);

} // namespace kvr
