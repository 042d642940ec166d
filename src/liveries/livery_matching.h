#pragma once
// Livery matching: the title of an installed livery for every live and static aircraft, chosen in
// numbered steps from the most specific (a livery painted for exactly this registration) to the most
// generic (any livery of a similar model), as deep as MATCHING_DEPTH allows. Run thread only.
#include "liveries/match_subject.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kvr {

inline constexpr int matchStepCount = 7;

// Accepted live matches per step since program start; never reset.
extern std::array<std::int32_t, matchStepCount> matchStepCounters;

// What the matchers need from the subsystems around them. The simulator link owns the titles and the
// aircraft texts the simulator could not create; the traffic engine knows how to name an aircraft in the
// log. The application installs them once; a member left empty keeps its default (nothing refused,
// nothing failed, the aircraft named by registration, operator and type).
struct MatchHooks {
    std::function<bool(std::string_view title)> isFailedLiveryTitle;
    std::function<std::vector<std::string>()> failedAircraftTexts;
    std::function<std::string(const MatchSubject&)> describeFlight;
    std::function<std::string(const MatchSubject&)> describeFlightLong;
};
void gf_installMatchHooks(MatchHooks hooks);

// Sets the record's livery title, or leaves it empty when nothing matched; counts the accepted step and
// sets the FSLTL flag.
void gf_matchLiveAircraftLivery(MatchSubject& record);

// Sets the record's cargo flag from the stand and its livery title; false (and a log line) when nothing
// matched. A record that has a title already keeps it.
bool gf_matchStaticAircraftLivery(MatchSubject& record, const MatchStand& stand);

// The per-step counts of the live matches, once there is one.
void gf_logLiveryMatchingSummary();

// Reserves the special-livery and model lists once per process.
void gf_reserveLiveryLists();

} // namespace kvr
