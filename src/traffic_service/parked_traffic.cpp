#include "traffic_service/readers.h"

#include "traffic_service/report_parser.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <limits>
#include <unordered_set>

namespace kvr {

namespace {
constexpr double secondsPerSlot = 1800.0;
constexpr int oldestAge = std::numeric_limits<int>::max();
} // namespace

std::vector<ParkedAircraft> gf_buildParkedList(const nlohmann::json& data, double now, bool parkTrafficOnly,
                                               int maxFit, unsigned& invalidCount) {
    std::vector<ParkedAircraft> all;
    all.reserve(data.size());
    for (const auto& values : data) {
        auto record = gf_readParkedArray(values);
        if (!record) {
            ++invalidCount;
            continue;
        }
        const double since = record->parkedSince > 0.0 ? record->parkedSince : record->timestamp;
        // The reply's own "now" may lie any distance ahead; an age beyond the int range is the oldest age.
        const double slots = since < now ? (now - since) / secondsPerSlot : 0.0;
        record->age = slots < oldestAge ? static_cast<int>(slots) : oldestAge;
        all.push_back(std::move(*record));
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const ParkedAircraft& a, const ParkedAircraft& b) { return a.age < b.age; });

    // The youngest record of a stand is the aircraft standing there now; an aircraft reported on two stands
    // stands where it parked last.
    std::vector<ParkedAircraft> kept;
    std::unordered_set<std::string> stands;
    std::unordered_set<std::string> callsigns;
    for (auto& record : all) {
        if (parkTrafficOnly && record.age > maxFit)
            continue;
        if (!record.standName.empty() && stands.contains(record.standName))
            continue;
        if (!record.callsign.empty() && callsigns.contains(record.callsign))
            continue;
        if (!record.standName.empty())
            stands.insert(record.standName);
        if (!record.callsign.empty())
            callsigns.insert(record.callsign);
        kept.push_back(std::move(record));
    }
    return kept;
}

} // namespace kvr
