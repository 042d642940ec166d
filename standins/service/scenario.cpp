#include "standins/service/scenario.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>
#include <stdexcept>

namespace kvr::standin {

namespace {

constexpr double metresPerDegreeLatitude = 60.0 * metresPerNm;
using Json = nlohmann::json;

const Json& lf_need(const Json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end())
        throw std::runtime_error(fmt::format("missing \"{}\"", key));
    return *found;
}

double lf_number(const Json& object, const char* key) {
    const Json& value = lf_need(object, key);
    if (!value.is_number())
        throw std::runtime_error(fmt::format("\"{}\" is not a number", key));
    return value.get<double>();
}

double lf_number(const Json& object, const char* key, double fallback) {
    return object.contains(key) ? lf_number(object, key) : fallback;
}

std::string lf_text(const Json& object, const char* key, const std::string& fallback = {}) {
    const auto found = object.find(key);
    if (found == object.end())
        return fallback;
    if (!found->is_string())
        throw std::runtime_error(fmt::format("\"{}\" is not a text", key));
    return found->get<std::string>();
}

std::vector<std::string> lf_texts(const Json& object, const char* key) {
    std::vector<std::string> out;
    if (const auto found = object.find(key); found != object.end())
        for (const auto& item : *found)
            out.push_back(item.get<std::string>());
    return out;
}

ScenarioRunway lf_runway(const Scenario& scenario, const Json& json) {
    ScenarioRunway runway;
    runway.name = lf_text(json, "name");
    runway.headingDeg = lf_number(json, "heading");
    runway.threshold = scenario.toLocal(lf_number(json, "lat"), lf_number(json, "lon"));
    runway.lengthM = lf_number(json, "length");
    runway.exitAfterM = lf_number(json, "exitAfter", runway.lengthM * 0.65);
    if (runway.lengthM < 1000.0 || runway.exitAfterM <= 600.0 || runway.exitAfterM >= runway.lengthM)
        throw std::runtime_error(fmt::format("runway {}: length or exit out of range", runway.name));
    return runway;
}

std::vector<Point> lf_points(const Scenario& scenario, const Json& json, const char* key) {
    std::vector<Point> points;
    for (const auto& pair : lf_need(json, key)) {
        if (!pair.is_array() || pair.size() != 2)
            throw std::runtime_error(fmt::format("\"{}\" holds a point that is not [lat, lon]", key));
        points.push_back(scenario.toLocal(pair[0].get<double>(), pair[1].get<double>()));
    }
    if (points.empty())
        throw std::runtime_error(fmt::format("\"{}\" is empty", key));
    return points;
}

} // namespace

Point Scenario::toLocal(double lat, double lon) const {
    const double cosLat = std::cos(latitude * std::numbers::pi / 180.0);
    return {(lon - longitude) * metresPerDegreeLatitude * cosLat, (lat - latitude) * metresPerDegreeLatitude};
}

void Scenario::toLatLon(Point local, double& lat, double& lon) const {
    const double cosLat = std::cos(latitude * std::numbers::pi / 180.0);
    lat = latitude + local.y / metresPerDegreeLatitude;
    lon = longitude + local.x / (metresPerDegreeLatitude * cosLat);
}

Scenario gf_parseScenario(const std::string& jsonText) {
    const Json json = Json::parse(jsonText, nullptr, false);
    if (!json.is_object())
        throw std::runtime_error("not a JSON object");
    Scenario scenario;
    try {
        scenario.seed = static_cast<std::uint64_t>(lf_number(json, "seed", 1));
        const Json& airport = lf_need(json, "airport");
        scenario.airportCode = lf_text(airport, "icao");
        scenario.latitude = lf_number(airport, "lat");
        scenario.longitude = lf_number(airport, "lon");
        scenario.elevationFt = lf_number(airport, "elevation", 0.0);
        scenario.arrivalRunway = lf_runway(scenario, lf_need(json, "arrivalRunway"));
        scenario.departureRunway = lf_runway(scenario, lf_need(json, "departureRunway"));
        scenario.taxiIn = lf_points(scenario, json, "taxiIn");
        scenario.taxiOut = lf_points(scenario, json, "taxiOut");
        for (const auto& item : lf_need(json, "stands")) {
            ScenarioStand stand;
            stand.name = lf_text(item, "name");
            stand.at = scenario.toLocal(lf_number(item, "lat"), lf_number(item, "lon"));
            stand.headingDeg = lf_number(item, "heading");
            stand.pushbackPoint =
                gf_offset(stand.at, stand.headingDeg + 180.0, lf_number(item, "pushback", 70.0));
            scenario.stands.push_back(stand);
        }
        if (scenario.stands.empty())
            throw std::runtime_error("no stands");
        const auto lf_readFleet = [&](const Json& list, std::vector<FleetEntry>& fleet) {
            for (const auto& item : list) {
                FleetEntry entry;
                entry.airline = lf_text(item, "airline");
                entry.iata = lf_text(item, "iata");
                entry.type = lf_text(item, "type");
                entry.weight = static_cast<int>(lf_number(item, "weight", 1));
                entry.registrations = lf_texts(item, "registrations");
                entry.routes = lf_texts(item, "routes");
                entry.firstFlightNumber = static_cast<int>(lf_number(item, "firstFlightNumber", 100));
                entry.lastFlightNumber = static_cast<int>(lf_number(item, "lastFlightNumber", 9998));
                if (entry.type.empty() || entry.registrations.empty() || entry.routes.empty() ||
                    entry.weight < 1 || entry.lastFlightNumber <= entry.firstFlightNumber)
                    throw std::runtime_error(
                        fmt::format("fleet entry {} {} is incomplete", entry.airline, entry.type));
                // Turnarounds of one entry within a cycle must never share a registration.
                if (static_cast<int>(entry.registrations.size()) <= entry.weight)
                    throw std::runtime_error(
                        fmt::format("fleet entry {} {} needs more registrations than its weight",
                                    entry.airline, entry.type));
                fleet.push_back(std::move(entry));
            }
        };
        lf_readFleet(lf_need(json, "fleet"), scenario.fleet);
        if (const auto overflights = json.find("overflightFleet"); overflights != json.end())
            lf_readFleet(*overflights, scenario.overflightFleet);
        if (scenario.fleet.empty())
            throw std::runtime_error("no fleet");
        if (const auto locals = json.find("localTypes"); locals != json.end())
            for (const auto& item : *locals) {
                LocalType local;
                local.type = lf_text(item, "type");
                local.registrations = lf_texts(item, "registrations");
                local.altitudeFt = lf_number(item, "altitude", 1500.0);
                local.speedKt = lf_number(item, "speed", 100.0);
                if (local.registrations.empty())
                    throw std::runtime_error(fmt::format("local type {} has no registrations", local.type));
                scenario.localTypes.push_back(std::move(local));
            }
        const Json timing = json.value("timing", Json::object());
        scenario.turnaroundIntervalS = lf_number(timing, "turnaroundInterval", scenario.turnaroundIntervalS);
        scenario.minParkedS = lf_number(timing, "minParkedMinutes", 30.0) * 60.0;
        scenario.maxParkedS = lf_number(timing, "maxParkedMinutes", 80.0) * 60.0;
        scenario.overflightIntervalS = lf_number(timing, "overflightInterval", scenario.overflightIntervalS);
        scenario.localFlightIntervalS =
            lf_number(timing, "localFlightInterval", scenario.localFlightIntervalS);
        scenario.reportIntervalS = lf_number(timing, "reportInterval", scenario.reportIntervalS);
        scenario.bufferS = lf_number(timing, "buffer", scenario.bufferS);
        if (scenario.turnaroundIntervalS < 30.0 || scenario.reportIntervalS < 1.0 || scenario.bufferS < 0.0 ||
            scenario.minParkedS < 60.0 || scenario.maxParkedS < scenario.minParkedS)
            throw std::runtime_error("timing out of range");
        // A stand is used again one cycle later: the longest stay must end before that.
        const double cycle = scenario.turnaroundIntervalS * static_cast<double>(scenario.stands.size());
        if (scenario.maxParkedS + 0.5 * scenario.turnaroundIntervalS + 600.0 > cycle)
            throw std::runtime_error(
                fmt::format("maxParkedMinutes too long for {} stands at this turnaround interval",
                            scenario.stands.size()));
        for (const auto& item : lf_need(json, "stations")) {
            MetarStation station;
            station.code = lf_text(item, "station");
            station.latitude = lf_number(item, "lat");
            station.longitude = lf_number(item, "lon");
            station.qnh = lf_number(item, "qnh");
            station.metar = lf_text(item, "metar");
            scenario.stations.push_back(std::move(station));
        }
        for (const auto& item : lf_need(json, "accounts")) {
            Account account;
            account.key = lf_text(item, "key");
            account.status = static_cast<int>(lf_number(item, "status", 200));
            account.account = lf_text(item, "account");
            scenario.accounts.push_back(std::move(account));
        }
    } catch (const nlohmann::json::exception& e) {
        throw std::runtime_error(e.what());
    }
    return scenario;
}

Scenario gf_loadScenario(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error(fmt::format("scenario {}: cannot be read", file.string()));
    std::ostringstream text;
    text << in.rdbuf();
    try {
        return gf_parseScenario(text.str());
    } catch (const std::exception& e) {
        throw std::runtime_error(fmt::format("scenario {}: {}", file.string(), e.what()));
    }
}

} // namespace kvr::standin
