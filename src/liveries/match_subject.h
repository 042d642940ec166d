#pragma once
// What the livery matchers read and write of an aircraft. The traffic engine's AcRecord carries this head
// (as its base or first member), so that the matchers need nothing else of the engine; the static matcher
// reads only the stand's name and cargo flag.
#include "liveries/livery_database.h"
#include "refdata/aircraft_dbase.h"

#include <string>
#include <string_view>

namespace kvr {

struct MatchSubject {
    std::string operatorCode; // the airline; may be empty or "PVT"
    std::string icaoType;     // the model
    std::string registration; // may be empty
    AircraftCategory category = AircraftCategory::large;
    // Written by the matchers: a view into the livery data base, valid until gf_clearLiveryDatabase;
    // empty for none.
    TitleView liveryTitle;
    // Read by both matchers; the static matcher sets it from the stand first.
    bool cargo = false;
    // Written by the live matcher: the title belongs to an FSLTL model.
    bool fsltl = false;
};

struct MatchStand {
    std::string_view name; // the stand's id, for the "no livery match" line
    bool cargo = false;
};

} // namespace kvr
