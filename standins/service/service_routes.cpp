#include "standins/service/service_routes.h"

#include "standins/service/download_faults.h"
#include "standins/service/faults.h"
#include "standins/service/traffic_model.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <charconv>
#include <chrono>
#include <cmath>
#include <ctime>
#include <iostream>
#include <set>
#include <thread>

namespace kvr::standin {

namespace {

using Json = nlohmann::json;
constexpr const char* jsonType = "application/json";
constexpr double feetPerHectopascal = 27.0;
constexpr double standardPressure = 1013.25;
constexpr double hangSeconds = 86400; // a hung answer: longer than any run, ended by the stand-in's stop
// The furthest back toffset may reach (366 days, in minutes): beyond any time shift of the program, and
// small enough that the shifted time and the traffic model's indexes stay far inside their ranges.
constexpr double maxOffsetMinutes = 527040.0;
// Stands for a number no double holds: replaced in the reply's text, as JSON allows it and nlohmann does not.
constexpr const char* overflowPlaceholder = "\u0001 overflowing number \u0001";
constexpr const char* overflowText = "1e999";

// Without a scenario every /v4 request is answered 503: a service that is there but has nothing to serve.
class UnavailableService : public ServiceRoutes {};

void lf_reply(httplib::Response& response, int status, const Json& body) {
    response.status = status;
    response.set_content(body.dump(), jsonType);
}

void lf_error(httplib::Response& response, int status, const std::string& text) {
    lf_reply(response, status, Json{{"error", text}});
}

std::optional<double> lf_number(const httplib::Request& request, const char* name) {
    if (!request.has_param(name))
        return std::nullopt;
    const std::string text = request.get_param_value(name);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool lf_isLatitude(const std::optional<double>& value) {
    return value && std::abs(*value) <= 90.0;
}

bool lf_isLongitude(const std::optional<double>& value) {
    return value && std::abs(*value) <= 180.0;
}

std::string lf_hexAddress(std::uint32_t address) {
    return fmt::format("{:06x}", address);
}

double lf_round(double value, double step) {
    return std::round(value / step) * step;
}

class LiveTrafficService : public ServiceRoutes {
public:
    LiveTrafficService(Scenario scenario, FaultSpec faults, const StandinOptions& options)
        : model_(std::move(scenario)), faults_(std::move(faults)), started_(std::chrono::steady_clock::now()),
          startEpoch_(options.startEpoch.value_or(static_cast<double>(std::time(nullptr)))),
          speed_(options.speed) {
        const auto& stations = model_.scenario().stations;
        qnh_ = stations.empty() ? standardPressure : stations.front().qnh;
    }

    void registerOn(httplib::Server& server) {
        server_ = &server;
        server.Post("/v4/auth",
                    [this](const httplib::Request& q, httplib::Response& r) { authenticate(q, r); });
        server.Post("/v4/deauth",
                    [this](const httplib::Request& q, httplib::Response& r) { deauthenticate(q, r); });
        server.Post("/v4/traffic",
                    [this](const httplib::Request& q, httplib::Response& r) { traffic(q, r); });
        server.Post("/v4/nearestmetar",
                    [this](const httplib::Request& q, httplib::Response& r) { nearestMetar(q, r); });
        server.Post("/v4/weather",
                    [this](const httplib::Request& q, httplib::Response& r) { weather(q, r); });
    }

private:
    double secondsSinceStart() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    }
    double serviceNow() const { return startEpoch_ + secondsSinceStart() * speed_; }

    bool knownSession(const httplib::Request& request) {
        std::lock_guard lock(sessionMutex_);
        return sessions_.contains(request.get_param_value("guid"));
    }

    // Applies the fault drawn for this request; true when the reply has been made by it.
    bool injectFault(const std::string& endpoint, httplib::Response& response) {
        const FaultDecision decision = faults_.decide(endpoint);
        if (decision.delayMilliseconds > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(decision.delayMilliseconds));
        switch (decision.kind) {
        case FaultKind::none:
            return false;
        case FaultKind::serverError:
            lf_error(response, 503, "service temporarily unavailable");
            return true;
        case FaultKind::malformed:
            response.status = 200;
            response.set_content(R"({"data": [["4840d6", "KLM1)", jsonType);
            return true;
        case FaultKind::drop:
            // Headers promise a body that never comes: the client sees the connection end half-way.
            response.status = 200;
            response.set_content_provider(1000, jsonType,
                                          [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
            return true;
        case FaultKind::status:
            lf_error(response, faults_.spec().statusCode, "fault");
            return true;
        }
        return false;
    }

    // A hang fault takes the request and answers nothing until the stand-in stops.
    bool hang(bool wanted, const char* endpoint) {
        if (!wanted)
            return false;
        std::cout << endpoint << " hangs" << std::endl;
        gf_holdAnswer(*server_, hangSeconds);
        return true;
    }

    void authenticate(const httplib::Request& request, httplib::Response& response) {
        if (hang(faults_.spec().hangAuth, "auth"))
            return;
        const std::string key = request.get_param_value("key");
        for (const auto& account : model_.scenario().accounts) {
            if (account.key != key)
                continue;
            if (account.status != 200) {
                lf_error(response, account.status, "login refused");
                return;
            }
            std::string guid;
            {
                std::lock_guard lock(sessionMutex_);
                const std::uint64_t n = ++sessionCount_;
                guid = fmt::format("{:08x}-{:04x}-4{:03x}-8{:03x}-{:012x}",
                                   static_cast<std::uint32_t>(model_.scenario().seed), n & 0xFFFF,
                                   (n >> 4) & 0xFFF, (n * 7) & 0xFFF, n * 0x9E3779B97ULL & 0xFFFFFFFFFFFFULL);
                sessions_.insert(guid);
            }
            lf_reply(response, 200, Json{{"guid", guid}, {"account", account.account}});
            return;
        }
        lf_error(response, 404, "key not known");
    }

    void deauthenticate(const httplib::Request& request, httplib::Response& response) {
        if (hang(faults_.spec().hangDeauth, "deauth"))
            return;
        std::lock_guard lock(sessionMutex_);
        if (sessions_.erase(request.get_param_value("guid")) == 0) {
            lf_error(response, 401, "session not known");
            return;
        }
        lf_reply(response, 200, Json{{"ok", true}});
    }

    void traffic(const httplib::Request& request, httplib::Response& response) {
        const std::string queryType = request.get_param_value("querytype");
        const bool parked = queryType == "parkedtraffic";
        if (!parked && queryType != "locationtraffic") {
            lf_error(response, 400, "querytype must be locationtraffic or parkedtraffic");
            return;
        }
        if (!knownSession(request)) {
            lf_error(response, 401, "session not known");
            return;
        }
        if (injectFault(parked ? "parked" : "traffic", response))
            return;
        const auto south = lf_number(request, "lat_min");
        const auto north = lf_number(request, "lat_max");
        const auto west = lf_number(request, "lon_min");
        const auto east = lf_number(request, "lon_max");
        const auto offset =
            request.has_param("toffset") ? lf_number(request, "toffset") : std::optional<double>(0.0);
        if (!lf_isLatitude(south) || !lf_isLatitude(north) || !lf_isLongitude(west) ||
            !lf_isLongitude(east) || !offset || *offset < 0.0 || *offset > maxOffsetMinutes ||
            *south > *north || *west > *east || serviceNow() - std::floor(*offset) * 60.0 <= 0.0) {
            lf_error(response, 400,
                     "box (lat_min, lat_max, lon_min, lon_max) or toffset missing or not valid");
            return;
        }
        const double t = serviceNow() - std::floor(*offset) * 60.0;
        const LatLonBox box{*south, *west, *north, *east};
        Json data = Json::array();
        if (parked) {
            for (const auto& aircraft : model_.parkedTraffic(t, box))
                data.push_back(toArray(aircraft, true));
        } else if (!faults_.stalled(secondsSinceStart())) {
            for (const auto& aircraft : model_.liveTraffic(t, box, request.get_param_value("buffer") == "1"))
                data.push_back(glitched(toArray(aircraft, false)));
        }
        if (parked || data.empty() || !faults_.overflowDue(secondsSinceStart())) {
            lf_reply(response, 200, Json{{"now", std::floor(t)}, {"data", std::move(data)}});
            return;
        }
        data[data.size() / 2][4] = overflowPlaceholder;
        std::string body = Json{{"now", std::floor(t)}, {"data", std::move(data)}}.dump();
        const std::string quoted = Json(overflowPlaceholder).dump();
        body.replace(body.find(quoted), quoted.size(), overflowText);
        response.status = 200;
        response.set_content(body, jsonType);
    }

    // A report as a live feed sometimes has it: a clock far ahead, or a position far off.
    Json glitched(Json values) {
        const ReportGlitch glitch = faults_.glitchReport();
        if (glitch.timestampShiftS != 0.0)
            values[9] = values[9].get<double>() + glitch.timestampShiftS;
        if (glitch.latitudeShiftDeg != 0.0) {
            const double latitude = values[2].get<double>();
            values[2] = latitude + (latitude + glitch.latitudeShiftDeg <= 90.0 ? glitch.latitudeShiftDeg
                                                                               : -glitch.latitudeShiftDeg);
        }
        return values;
    }

    Json toArray(const AircraftSnapshot& a, bool parked) const {
        const double baro = a.altitudeFt - (qnh_ - standardPressure) * feetPerHectopascal;
        Json values = Json::array(
            {lf_hexAddress(a.address), a.callsign, lf_round(a.latitude, 1e-6), lf_round(a.longitude, 1e-6),
             std::round(baro), lf_round(a.groundSpeedKt, 0.1), lf_round(a.trackDeg, 0.1),
             std::round(a.verticalRateFpm), a.onGround ? 1 : 0, lf_round(a.timestamp, 0.01), a.type,
             a.registration, a.operatorCode, a.flightNumber, a.origin, a.destination, a.squawk,
             lf_round(a.trueAirspeedKt, 0.1), lf_round(a.headingDeg, 0.1)});
        values.push_back(a.bankDeg ? Json(lf_round(*a.bankDeg, 0.1)) : Json());
        values.push_back(a.onGround ? Json() : Json(std::round(a.altitudeFt)));
        values.push_back("ADSB");
        values.push_back(parked ? Json(a.standName) : Json());
        values.push_back(parked ? Json(std::floor(a.parkedSince)) : Json());
        while (values.size() < 48)
            values.push_back(Json());
        return values;
    }

    void nearestMetar(const httplib::Request& request, httplib::Response& response) {
        if (!knownSession(request)) {
            lf_error(response, 401, "session not known");
            return;
        }
        if (injectFault("weather", response))
            return;
        const auto latitude = lf_number(request, "lat");
        const auto longitude = lf_number(request, "lon");
        if (!lf_isLatitude(latitude) || !lf_isLongitude(longitude)) {
            lf_error(response, 400, "lat and lon needed, within the earth's ranges");
            return;
        }
        const MetarStation* nearest = nullptr;
        double best = 0.0;
        for (const auto& station : model_.scenario().stations) {
            const double dLat = station.latitude - *latitude;
            const double dLon =
                (station.longitude - *longitude) * std::cos(*latitude * 3.141592653589793 / 180.0);
            const double distance = std::hypot(dLat, dLon) * 60.0;
            if (nearest == nullptr || distance < best) {
                nearest = &station;
                best = distance;
            }
        }
        if (nearest == nullptr) {
            lf_error(response, 404, "no station");
            return;
        }
        lf_reply(response, 200, Json{{"station", nearest->code}, {"distance", lf_round(best, 0.1)}});
    }

    void weather(const httplib::Request& request, httplib::Response& response) {
        if (!knownSession(request)) {
            lf_error(response, 401, "session not known");
            return;
        }
        if (injectFault("weather", response))
            return;
        const std::string code = request.get_param_value("station");
        for (const auto& station : model_.scenario().stations)
            if (station.code == code) {
                lf_reply(response, 200,
                         Json{{"station", station.code}, {"qnh", station.qnh}, {"metar", station.metar}});
                return;
            }
        lf_error(response, 404, "station not known");
    }

    TrafficModel model_;
    FaultInjector faults_;
    std::chrono::steady_clock::time_point started_;
    httplib::Server* server_ = nullptr;
    double startEpoch_;
    double speed_;
    double qnh_;
    std::mutex sessionMutex_;
    std::set<std::string> sessions_;
    std::uint64_t sessionCount_ = 0;
};

} // namespace

std::unique_ptr<ServiceRoutes> registerServiceRoutes(httplib::Server& server, const StandinOptions& options) {
    FaultSpec faults;
    if (const auto error = gf_parseFaultSpec(options.faults, faults))
        throw std::runtime_error("--faults: " + *error);
    if (options.scenarioFile.empty()) {
        server.Post(R"(/v4/.*)", [](const httplib::Request&, httplib::Response& response) {
            lf_error(response, 503, "service not available");
        });
        return std::make_unique<UnavailableService>();
    }
    auto service =
        std::make_unique<LiveTrafficService>(gf_loadScenario(options.scenarioFile), faults, options);
    service->registerOn(server);
    return service;
}

} // namespace kvr::standin
