#pragma once
#include <functional>
#include <optional>
#include <string>

namespace kvr {

// Distance in nm from a position to the nearest stand of an airport's stand file, 100.0 when there is
// none; the stand's id goes to standId. The stands subsystem provides it (gf_readDestApfForClosestStand).
using ClosestStandLookup =
    std::function<double(const std::string& code, double latitude, double longitude, std::string& standId)>;

// Installs the stand lookup that gf_closestAirport uses to choose between airports close together; an empty
// function goes back to the default, which knows no stands (every airport 100.0).
void gf_installClosestStandLookup(ClosestStandLookup lookup);

// The airport nearest to the position within 5 nm. With several in reach, the one whose stand file has
// the nearest stand wins; equal stand distances (100.0: no stand known) go to the nearest reference
// point, and equal distances to the airport first in table order.
std::optional<std::string> gf_closestAirport(double latitude, double longitude);

// Reach of gf_closestAirport, nm.
inline constexpr double closestAirportReachNm = 5.0;

} // namespace kvr
