#pragma once
// Reading the park airport's stands, and the nearest stand of any airport.
#include "parking/stand.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace kvr {

// Set once the park airport's stand file is read; the GUI thread reads it.
extern std::atomic<bool> parkAirportLoaded;

// The RT_traffic_week value of the park airport's stand file; 0 when it has none.
extern std::int32_t rtTrafficWeek;

// Reads the stand file of the park airport (a local path beginning with "airports", else a path on the
// download server) and its learned file into standList, numbers the stands, finds their overlaps and
// reports the file in the log and the status display. standList must be empty and info cleared first.
// Returns an empty text on success, "no stands found" for a file without usable stands, or the failure.
// Throws UserErrorException 65 (no altitude), 93 and 94 (bad stand ids).
std::string gf_readApf(const std::string& path, ParkAirportFileInfo& info);

// Distance in nm from a position to the nearest stand of the airport's stand file, whose id goes to
// standId; 100.0 when no stand is known. Never throws.
double gf_readDestApfForClosestStand(const std::string& code, double latitude, double longitude,
                                     std::string& standId);

} // namespace kvr
