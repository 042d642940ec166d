#pragma once
// Aircraft arrays as the service sends them, for the tests of the reply processing.
#include <nlohmann/json.hpp>

#include <string>

namespace kvr::test {

struct ArraySpec {
    std::string address = "4840d6";
    std::string callsign = "KLM1234";
    double latitude = 52.31;
    double longitude = 4.76;
    double baroAltitude = 3000.0;
    bool onGround = false;
    double timestamp = 1796618000.0;
    std::string type = "B738";
    std::string registration = "PH-BXA";
    std::string stand;
    double parkedSince = 0.0;
};

inline nlohmann::json makeArray(const ArraySpec& spec) {
    nlohmann::json values = nlohmann::json::array({spec.address,
                                                   spec.callsign,
                                                   spec.latitude,
                                                   spec.longitude,
                                                   spec.baroAltitude,
                                                   180.0,
                                                   183.0,
                                                   -700.0,
                                                   spec.onGround ? 1 : 0,
                                                   spec.timestamp,
                                                   spec.type,
                                                   spec.registration,
                                                   "KLM",
                                                   "KL1234",
                                                   "EGLL",
                                                   "EHAM",
                                                   "1234",
                                                   182.0,
                                                   183.0,
                                                   nullptr,
                                                   spec.baroAltitude + 100.0,
                                                   "ADSB"});
    values.push_back(spec.stand.empty() ? nlohmann::json() : nlohmann::json(spec.stand));
    values.push_back(spec.parkedSince > 0 ? nlohmann::json(spec.parkedSince) : nlohmann::json());
    while (values.size() < 48)
        values.push_back(nullptr);
    return values;
}

inline std::string makeReply(const nlohmann::json& arrays) {
    return nlohmann::json{{"data", arrays}}.dump();
}

} // namespace kvr::test
