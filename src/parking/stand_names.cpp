#include "parking/stand_names.h"

#include "core/geodesy.h"
#include "parking/stand.h"

#include <mutex>
#include <vector>

namespace kvr {

namespace {

constexpr double standNameReachNm = 55.0 / standNmToMetres;

struct NamedPlace {
    std::string id;
    double latitude;
    double longitude;
};

std::mutex standNamesMutex;
std::vector<NamedPlace> publishedStands; // guarded by standNamesMutex

} // namespace

void gf_publishStandNames() {
    std::vector<NamedPlace> places;
    places.reserve(standList.size());
    for (const Stand& stand : standList)
        places.push_back({stand.id, stand.latitude, stand.longitude});
    std::lock_guard lock(standNamesMutex);
    publishedStands.swap(places);
}

std::string gf_standNameNear(double latitude, double longitude) {
    std::lock_guard lock(standNamesMutex);
    const NamedPlace* nearest = nullptr;
    double nearestDistance = standNameReachNm;
    // Of two stands at the same distance the later one is named, as the traffic engine names it.
    for (const NamedPlace& place : publishedStands) {
        const double distance = gf_distanceNm(latitude, longitude, place.latitude, place.longitude);
        if (distance <= nearestDistance) {
            nearest = &place;
            nearestDistance = distance;
        }
    }
    return nearest ? nearest->id : std::string();
}

} // namespace kvr
