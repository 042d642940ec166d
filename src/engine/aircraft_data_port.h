#pragma once
// The engine's view of the aircraft data base: the only engine file that names it, so that the data base
// can change behind it.
#include <cstdint>
#include <string_view>

namespace kvr::port {

// Indexes every per-category table: 0 light, 1 buzjet, 2 large, 3 heavy, 4 high performance, 5 rotorcraft.
enum class AircraftCategory : std::uint8_t {
    light = 0,
    buzjet = 1,
    large = 2,
    heavy = 3,
    highPerformance = 4,
    rotorcraft = 5,
};
inline constexpr int aircraftCategoryCount = 6;

AircraftCategory aircraftCategory(std::string_view icaoType);
// Half the wingspan of a type, nautical miles; the category's average for a type the data base lacks.
double halfWingspanNm(std::string_view icaoType, AircraftCategory category);
// Whether the data base knows the registration as one of a cargo operator.
bool registrationIsCargo(std::string_view registration);

} // namespace kvr::port
