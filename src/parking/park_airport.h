#pragma once
// The park airport: the airport whose stands are in standList. Run thread only.
#include "refdata/airport_table.h"

namespace kvr {

// A copy of the park airport's record of the airport table; an empty code means that none is set. Its
// altitude is replaced by the altitude its stand file gives.
extern Airport currentParkAirport;

} // namespace kvr
