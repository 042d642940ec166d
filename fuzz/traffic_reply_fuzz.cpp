// Replies of the live-traffic service's traffic endpoint: a location-traffic reply through the Traffic
// Reader (validation, filters, already-sent test, hand-over), the same reply with one more array that holds
// a number beyond a double (which must hand over exactly what the reply alone does), and the reply read as
// parked traffic.
#include "core/time_util.h"
#include "fuzz_support.h"
#include "traffic_service/readers.h"
#include "traffic_service/report_parser.h"
#include "traffic_service/service_hooks.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <set>
#include <stdexcept>
#include <unordered_map>

namespace {

using namespace kvr;

bool validPosition(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::abs(latitude) <= 90.0 &&
           std::abs(longitude) <= 180.0 && !(latitude == 0.0 && longitude == 0.0);
}

std::vector<LiveAircraft> handedOver;

// The hand-over: valid reports, each aircraft's positions newer than the one before.
void checkBatch(std::vector<LiveAircraft>& batch) {
    handedOver = batch;
    std::unordered_map<std::uint32_t, double> newest;
    for (const LiveAircraft& report : batch) {
        FUZZ_CHECK(report.address >= 1 && report.address <= 0xFFFFFF);
        FUZZ_CHECK(validPosition(report.latitude, report.longitude));
        FUZZ_CHECK(std::isfinite(report.timestamp) && report.timestamp > 0.0);
        const auto [previous, first] = newest.try_emplace(report.address, report.timestamp);
        FUZZ_CHECK(first || report.timestamp > previous->second);
        previous->second = report.timestamp;
    }
}

void checkParkedList(const nlohmann::json& data, double now, bool parkTrafficOnly, int maxFit) {
    unsigned invalid = 0;
    const std::vector<ParkedAircraft> list = gf_buildParkedList(data, now, parkTrafficOnly, maxFit, invalid);
    FUZZ_CHECK(invalid + list.size() <= data.size());
    std::set<std::string> stands;
    std::set<std::string> callsigns;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const ParkedAircraft& record = list[i];
        FUZZ_CHECK(validPosition(record.latitude, record.longitude));
        FUZZ_CHECK(record.age >= 0);
        FUZZ_CHECK(i == 0 || list[i - 1].age <= record.age);
        FUZZ_CHECK(!parkTrafficOnly || record.age <= maxFit);
        FUZZ_CHECK(record.standName.empty() || stands.insert(record.standName).second);
        FUZZ_CHECK(record.callsign.empty() || callsigns.insert(record.callsign).second);
    }
}

bool sameReports(const std::vector<LiveAircraft>& a, const std::vector<LiveAircraft>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].address != b[i].address || a[i].timestamp != b[i].timestamp ||
            a[i].latitude != b[i].latitude || a[i].longitude != b[i].longitude ||
            a[i].callsign != b[i].callsign)
            return false;
    return true;
}

// The reply with an array holding "1e999" inserted at a place the input chooses.
std::string withOverflowingArray(nlohmann::json reply, std::size_t place) {
    constexpr const char* marker = "overflowing number goes here";
    nlohmann::json bad = nlohmann::json::array({"ABCDEF", "BAD1", 52.3, 4.76, marker, 200, 90, 0, 0, 1.8e9});
    while (bad.size() < reportField::count)
        bad.push_back(nullptr);
    auto& data = reply["data"];
    data.insert(data.begin() + static_cast<std::ptrdiff_t>(place % (data.size() + 1)), bad);
    std::string body = reply.dump();
    const std::string quoted = nlohmann::json(marker).dump();
    body.replace(body.find(quoted), quoted.size(), "1e999");
    return body;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    [[maybe_unused]] static const bool ready = [] {
        gf_setReportBatchHandler(checkBatch);
        gf_setAircraftCategoryLookup([](std::string_view type) { return type == "C172" ? 0 : 2; });
        return true;
    }();
    const std::string_view body = fuzz::asText(data, size);

    TrafficReader reader;
    try {
        const unsigned aircraft = reader.processTrafficReply(body);
        FUZZ_CHECK(reader.counters.delivered.load() <= reader.counters.arrays.load());
        FUZZ_CHECK(aircraft <= reader.counters.arrays.load());
        // The time of the newest report is a time after 1970 that the clock can hold.
        FUZZ_CHECK(latestTrafficTime.load() >= 0);
    } catch (const std::runtime_error&) {
        // Not JSON, or no data list: the poll counts as failed.
    }

    const nlohmann::json reply = nlohmann::json::parse(body, nullptr, false);
    if (!reply.is_object())
        return 0;
    const auto list = reply.find("data");
    if (list == reply.end() || !list->is_array())
        return 0;

    TrafficReader alone, beside;
    handedOver.clear();
    const unsigned aircraft = alone.processTrafficReply(reply.dump());
    const std::vector<LiveAircraft> fromReply = std::move(handedOver);
    handedOver.clear();
    FUZZ_CHECK(beside.processTrafficReply(withOverflowingArray(reply, size)) == aircraft);
    FUZZ_CHECK(sameReports(handedOver, fromReply));
    FUZZ_CHECK(beside.counters.invalid.load() == alone.counters.invalid.load() + 1);

    const auto nowField = reply.find("now");
    const double now = nowField != reply.end() && nowField->is_number() ? nowField->get<double>() : 1.8e9;
    checkParkedList(*list, now, false, 47);
    checkParkedList(*list, now, true, 4);
    for (const nlohmann::json& values : *list)
        if (const auto report = gf_readAircraftArray(values))
            FUZZ_CHECK(gf_parseAddress(values[reportField::address].get<std::string>()) == report->address);
    return 0;
}
