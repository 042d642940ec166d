#pragma once
// Learned stand files: what the system learned at an airport, kept beside its stand file, and the
// nine per-airport settings they carry.
#include <cstdint>
#include <filesystem>

namespace kvr {

// Folders relative to the working folder. airportsDir is inline so that it is made before the paths other
// files build from it at start-up: the order of start-up across files is the linker's (another on Windows).
inline const std::filesystem::path airportsDir{"airports"};
extern const std::filesystem::path learnedDir; // airports/learned (sub-folders stock, simaddon, thirdparty)
extern const std::filesystem::path myThirdpartyDir; // airports/my_thirdparty
extern const std::filesystem::path mySimaddonDir;   // airports/my_simaddon

// The per-airport settings in force before the park airport's learned file was applied.
struct AirportParameterSnapshot {
    std::int32_t maxLiveSel = 0;
    std::int32_t maxFit = 0;
    std::int32_t range = 0;
    std::int32_t parkingPercentage = 0;
    bool autoRange = false;
    bool initialLoadOnly = false;
    bool rtParkTrafficOnly = false;
    bool parkSoft = false;
    bool week = false;
};

extern AirportParameterSnapshot airportParameterSnapshot;

// Restores the snapshot into the nine settings (clamped), saves each and updates its control.
void gf_applyAirportParameters();

} // namespace kvr
