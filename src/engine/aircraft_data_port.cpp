#include "engine/aircraft_data_port.h"

#include <array>

namespace kvr::port {

namespace {

// Typical half spans per category (metres / 1852): light 5.5 m, buzjet 8.5 m, large 17.5 m, heavy 32 m,
// high performance 6 m, rotorcraft 6 m. The aircraft data base is not part of this build, so every type
// is treated as large and takes the average span of its category.
constexpr std::array<double, aircraftCategoryCount> averageHalfSpanNm{
    5.5 / 1852.0, 8.5 / 1852.0, 17.5 / 1852.0, 32.0 / 1852.0, 6.0 / 1852.0, 6.0 / 1852.0};

} // namespace

AircraftCategory aircraftCategory(std::string_view) {
    return AircraftCategory::large;
}

double halfWingspanNm(std::string_view, AircraftCategory category) {
    return averageHalfSpanNm[static_cast<std::size_t>(category)];
}

bool registrationIsCargo(std::string_view) {
    return false;
}

} // namespace kvr::port
