#include "parking/park_airport.h"

namespace kvr {

Airport currentParkAirport;

} // namespace kvr
