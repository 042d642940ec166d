#include "engine/aircraft_data_port.h"

namespace kvr::port {

AircraftCategory aircraftCategory(std::string_view icaoType) {
    return gf_getAircraftCategory(icaoType);
}

double halfWingspanNm(std::string_view icaoType) {
    return gf_getWingspan(icaoType);
}

bool registrationIsCargo(std::string_view registration) {
    const auto record = gf_lookupRegistration(registration);
    return record && record->cargo;
}

} // namespace kvr::port
