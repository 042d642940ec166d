// The stands of the park airport as the engine finds them: by name, the nearest to a position, the
// nearest free one that fits an aircraft, and the one a live aircraft stopped at.
#include "core/geodesy.h"
#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"

#include <algorithm>
#include <limits>

namespace kvr {

std::string gf_nearestStandName(double latitude, double longitude) {
    const port::Stand* nearest = nullptr;
    double nearestDistance = tuning::nearestStandNameNm;
    for (const port::Stand& stand : port::standList) {
        const double distance = gf_distanceNm(latitude, longitude, stand.latitude, stand.longitude);
        if (distance <= nearestDistance) {
            nearest = &stand;
            nearestDistance = distance;
        }
    }
    return nearest ? nearest->id : std::string();
}

std::vector<port::Stand>::iterator lf_findStandByName(std::string_view id) {
    return std::find_if(port::standList.begin(), port::standList.end(),
                        [id](const port::Stand& stand) { return stand.id == id; });
}

namespace {

bool heldByLive(const port::Stand& stand) {
    return std::any_of(liveAcList.begin(), liveAcList.end(), [&stand](const LiveAc& aircraft) {
        return !aircraft.removed && aircraft.standNumber == stand.number;
    });
}

// The nearest stand that fits the aircraft and is not taken within the reach the stand allows. A stand
// that seems too small is taken only within 20 m in a second search: a live aircraft standing this close
// shows that the stand file gives it too small a radius, which is learned.
template <typename Reach, typename Taken>
std::vector<port::Stand>::iterator nearestFittingStand(double latitude, double longitude,
                                                       const AcRecord& aircraft, bool secondSearch,
                                                       Reach reach, Taken taken) {
    auto& stands = port::standList;
    const bool rotorcraft = aircraft.category == port::AircraftCategory::rotorcraft;
    auto nearest = stands.end();
    double nearestDistance = std::numeric_limits<double>::max();
    bool nearestIsSmall = false;
    for (auto stand = stands.begin(); stand != stands.end(); ++stand) {
        if (stand->heli != rotorcraft || taken(*stand))
            continue;
        const double distance = gf_distanceNm(latitude, longitude, stand->latitude, stand->longitude);
        const bool fits = stand->radius >= aircraft.halfWingspan - tuning::smallStandMarginNm;
        if (distance > reach(*stand, fits) || distance >= nearestDistance)
            continue;
        if (!fits && !(secondSearch && distance <= tuning::smallStandSearchNm))
            continue;
        nearest = stand;
        nearestDistance = distance;
        nearestIsSmall = !fits;
    }
    if (nearest != stands.end() && nearestIsSmall) {
        nearest->radius = aircraft.halfWingspan - tuning::enlargedStandMarginNm;
        nearest->radiusChange = true;
        ++port::learnedUpdateCount;
    }
    return nearest;
}

} // namespace

std::vector<port::Stand>::iterator lf_findNearestStand(double latitude, double longitude,
                                                       const AcRecord& aircraft, double maxDistanceNm,
                                                       bool secondSearch) {
    return nearestFittingStand(
        latitude, longitude, aircraft, secondSearch,
        [maxDistanceNm](const port::Stand&, bool) { return maxDistanceNm; },
        [](const port::Stand& stand) { return stand.occupied; });
}

std::vector<port::Stand>::iterator lf_findStandHolding(double latitude, double longitude,
                                                       const AcRecord& aircraft) {
    return nearestFittingStand(
        latitude, longitude, aircraft, true,
        [](const port::Stand& stand, bool fits) { return fits ? stand.radius : tuning::smallStandSearchNm; },
        [](const port::Stand& stand) { return stand.occupied && heldByLive(stand); });
}

} // namespace kvr
