#include "refdata/closest_airport.h"

#include "core/geodesy.h"
#include "refdata/airport_table.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>
#include <vector>

namespace kvr {

namespace {

constexpr double noStandDistance = 100.0;
constexpr double degreesPerNm = 1.0 / 60.0;

std::mutex lookupMutex;
ClosestStandLookup installedLookup; // guarded by lookupMutex

ClosestStandLookup lf_currentLookup() {
    std::lock_guard lock(lookupMutex);
    return installedLookup;
}

struct Candidate {
    const Airport* airport;
    double distanceNm;
    double standNm;
};

} // namespace

void gf_installClosestStandLookup(ClosestStandLookup lookup) {
    std::lock_guard lock(lookupMutex);
    installedLookup = std::move(lookup);
}

std::optional<std::string> gf_closestAirport(double latitude, double longitude) {
    // A degree of latitude is 60 nm everywhere, so most of the table is passed over without trigonometry.
    const double latitudeReach = closestAirportReachNm * degreesPerNm + 1e-9;
    std::vector<Candidate> candidates;
    for (const Airport& airport : airportTable) {
        if (std::abs(airport.latitude - latitude) > latitudeReach)
            continue;
        const double distance = gf_distanceNm(latitude, longitude, airport.latitude, airport.longitude);
        if (distance <= closestAirportReachNm)
            candidates.push_back({&airport, distance, noStandDistance});
    }
    if (candidates.empty())
        return std::nullopt;
    if (candidates.size() > 1) {
        if (const ClosestStandLookup lookup = lf_currentLookup()) {
            for (Candidate& candidate : candidates) {
                std::string standId;
                candidate.standNm = lookup(candidate.airport->code, latitude, longitude, standId);
            }
        }
    }
    const Candidate* best = &candidates.front();
    for (const Candidate& candidate : candidates)
        if (candidate.standNm < best->standNm ||
            (candidate.standNm == best->standNm && candidate.distanceNm < best->distanceNm))
            best = &candidate;
    return best->airport->code;
}

} // namespace kvr
