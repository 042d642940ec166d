#pragma once
// How well the use of an airport's stands is known: Qf_real from the options seen in real traffic,
// Qf_soft from the assumed ones, each 0..100; -1 in both means that no options are known.
#include <cstdint>
#include <utility>

namespace kvr {

using QualityFactorPair = std::pair<std::int32_t, std::int32_t>; // (Qf_real, Qf_soft)

// The factors of the park airport; (0, 0) at start.
extern QualityFactorPair qualityFactors;

// The factors of the current standList.
QualityFactorPair gf_computeQualityFactors();

} // namespace kvr
