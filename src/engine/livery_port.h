#pragma once
// The engine's view of livery matching: the head of an aircraft record that the matchers read and write,
// and the two matchers. The only engine file that names the livery library.
#include "engine/aircraft_data_port.h"
#include "liveries/livery_matching.h"
#include "liveries/match_subject.h"

namespace kvr::port {

using kvr::MatchStand;
using kvr::MatchSubject;
using kvr::TitleView;

// Sets the record's livery title, or leaves it empty when nothing matched.
void matchLiveAircraftLivery(MatchSubject& record);
// True when a livery title is set.
bool matchStaticAircraftLivery(MatchSubject& record, const MatchStand& stand);

} // namespace kvr::port
