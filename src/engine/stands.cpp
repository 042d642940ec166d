// The stands of the park airport as the engine finds them: by name, the nearest to a position, and the
// nearest free one that fits an aircraft.
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

std::vector<port::Stand>::iterator lf_findNearestStand(double latitude, double longitude,
                                                       const AcRecord& aircraft, double maxDistanceNm,
                                                       bool secondSearch) {
    auto& stands = port::standList;
    const bool rotorcraft = aircraft.category == port::AircraftCategory::rotorcraft;
    auto nearest = stands.end();
    double nearestDistance = std::numeric_limits<double>::max();
    bool nearestIsSmall = false;
    for (auto stand = stands.begin(); stand != stands.end(); ++stand) {
        if (stand->occupied || stand->heli != rotorcraft)
            continue;
        const double distance = gf_distanceNm(latitude, longitude, stand->latitude, stand->longitude);
        if (distance > maxDistanceNm || distance >= nearestDistance)
            continue;
        const bool fits = stand->radius >= aircraft.halfWingspan - tuning::smallStandMarginNm;
        // A live aircraft standing this close to a stand that seems too small shows that the stand file
        // gives it too small a radius.
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

} // namespace kvr
