#pragma once
// The engine's view of the aircraft data base: the only engine file that names it, so that the data base
// can change behind it.
#include "refdata/aircraft_dbase.h"

#include <string_view>

namespace kvr::port {

using kvr::AircraftCategory;
using kvr::aircraftCategoryCount;

AircraftCategory aircraftCategory(std::string_view icaoType);
// Half the wingspan of a type, nautical miles; the category's average for a type the data base lacks.
double halfWingspanNm(std::string_view icaoType);
// Whether the data base knows the registration as one of a cargo aircraft.
bool registrationIsCargo(std::string_view registration);

} // namespace kvr::port
