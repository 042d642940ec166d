#pragma once
// The stand file beside which the learned-file target reads its input; the seed writer builds the learned
// seeds for the same stands.
#include "tools/stand_fixtures/stand_fixtures.h"

namespace kvr::fuzz {

inline fixtures::StandFileSpec learnedTargetAirport() {
    fixtures::StandFileSpec airport = fixtures::gf_syntheticAirport("Schiphol", 52.3086, 4.7639, 9, 1207);
    airport.stands[1].opts.push_back(fixtures::gf_optSpec("PH-BXA", 1, "12:15", "KLM1", "KLM", "B738"));
    return airport;
}

} // namespace kvr::fuzz
