#pragma once
// Process-wide values that several subsystems read and the application shell writes.
#include <atomic>
#include <cstdint>

namespace kvr {

// Traffic range: rangeNm as chosen (nm), rangeMetres = rangeNm x 1852 + 10000. Written by gf_setRange.
extern std::atomic<int> rangeNm;
extern std::atomic<int> rangeMetres;

// The simulator the user chose: MSFS 2020 when set, MSFS 2024 otherwise. Written at start-up and on a
// simulator switch.
extern std::atomic<bool> msfs2020Selected;

// The "sim" row of the meta blocks this program writes: 1 "2020", 2 "2024", 3 "v56".
extern std::atomic<int> metaSimCode;

} // namespace kvr
