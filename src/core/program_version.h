#pragma once
// The program's own identity. No dependencies, so that any file may include it.

namespace kvr {

struct ProgramVersion {
    int major;
    int minor;
    int patch;
};

inline constexpr ProgramVersion programVersion{12, 0, 0};
inline constexpr const char* programVersionText = "12.0.0";
inline constexpr const char* programShortName = "Vantrel";
inline constexpr const char* supportedSimulators = "MSFS 2020/2024";

} // namespace kvr
