#pragma once
// The engine's view of livery matching: the head of an aircraft record that the matchers read and write,
// and the two matchers. The only engine file that names the livery library.
#include "engine/aircraft_data_port.h"

#include <string>
#include <string_view>

namespace kvr::port {

// A view of a title owned by the livery data base; empty for none.
using TitleView = std::string_view;

struct MatchSubject {
    std::string operatorCode; // the airline; may be empty or "PVT"
    std::string icaoType;
    std::string registration; // may be empty
    AircraftCategory category = AircraftCategory::large;
    TitleView liveryTitle; // written by the matchers
    bool cargo = false;
    bool fsltl = false; // written by the live matcher: the title belongs to an FSLTL model
};

// What the static matcher reads of the stand an aircraft is placed on.
struct MatchStand {
    std::string_view name;
    bool cargo = false;
};

// Sets the record's livery title, or leaves it empty when nothing matched.
void matchLiveAircraftLivery(MatchSubject& record);
// True when a livery title is set.
bool matchStaticAircraftLivery(MatchSubject& record, const MatchStand& stand);

} // namespace kvr::port
