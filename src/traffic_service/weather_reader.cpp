#include "traffic_service/readers.h"

#include "core/geodesy.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "traffic_service/report_parser.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <cmath>

namespace kvr {

namespace {
constexpr int failuresInARowAllowed = 10;
constexpr double stationMoveNm = 20.0;

std::string lf_coordinate(double degrees) {
    return fmt::format("{:.6f}", degrees);
}
} // namespace

std::string WeatherReader::station() const {
    std::lock_guard lock(textMutex_);
    return station_;
}

std::string WeatherReader::metar() const {
    std::lock_guard lock(textMutex_);
    return metar_;
}

void WeatherReader::reset() {
    setGuid(std::string());
    stopFlag.store(false);
    qnh.store(standardQnh);
    weatherOk.store(false);
    std::lock_guard lock(textMutex_);
    station_.clear();
    metar_.clear();
}

void WeatherReader::run() {
    using clock = std::chrono::steady_clock;
    ServiceClient client(&stopFlag);
    int failures = 0;
    std::optional<clock::time_point> lastRefresh;
    double lastLatitude = 0.0;
    double lastLongitude = 0.0;
    while (!shouldStop()) {
        const TrafficBox box = trafficReader.box();
        const bool due =
            box.valid && (!lastRefresh || clock::now() - *lastRefresh >= gf_serviceTimings().weatherRefresh ||
                          gf_distanceNm(lastLatitude, lastLongitude, box.centreLatitude,
                                        box.centreLongitude) > stationMoveNm);
        if (!due) {
            pause(std::chrono::milliseconds(100));
            continue;
        }
        const Outcome outcome = refresh(client, box.centreLatitude, box.centreLongitude);
        if (outcome == Outcome::stopped)
            return;
        if (outcome == Outcome::unauthorized) {
            gf_logError("Weather Reader: the service no longer knows the session (401)");
            gf_onWorkerError(threadName(), true);
            return;
        }
        if (outcome == Outcome::failed) {
            weatherOk.store(false);
            if (++failures >= failuresInARowAllowed) {
                gf_logError(fmt::format("Weather Reader: {} failed requests in a row", failures));
                gf_onWorkerError(threadName(), false);
                return;
            }
            pause(gf_serviceTimings().retryDelay);
            continue;
        }
        failures = 0;
        lastRefresh = clock::now();
        lastLatitude = box.centreLatitude;
        lastLongitude = box.centreLongitude;
    }
}

WeatherReader::Outcome WeatherReader::refresh(ServiceClient& client, double latitude, double longitude) {
    const std::string offset = std::to_string(toffset.load());
    const auto lf_ask = [&](const char* path, FormFields fields, nlohmann::json& answer) -> Outcome {
        const HttpReply reply = client.post(path, fields);
        if (reply.aborted)
            return Outcome::stopped;
        if (!reply.error.empty()) {
            gf_logLine(fmt::format("Weather Reader: {}", reply.error));
            return Outcome::failed;
        }
        if (reply.status == 401)
            return Outcome::unauthorized;
        if (reply.status != 200) {
            gf_logLine(fmt::format("Weather Reader: HTTP {} from {}", reply.status, path));
            return Outcome::failed;
        }
        answer = nlohmann::json::parse(reply.body, nullptr, false);
        if (!answer.is_object()) {
            gf_logLine(fmt::format("Weather Reader: malformed reply from {}", path));
            return Outcome::failed;
        }
        return Outcome::ok;
    };

    nlohmann::json nearest;
    Outcome outcome = lf_ask("/v4/nearestmetar",
                             {{"guid", guid()},
                              {"toffset", offset},
                              {"lat", lf_coordinate(latitude)},
                              {"lon", lf_coordinate(longitude)}},
                             nearest);
    if (outcome != Outcome::ok)
        return outcome;
    const auto stationField = nearest.find("station");
    if (stationField == nearest.end() || !stationField->is_string() ||
        stationField->get<std::string>().empty()) {
        gf_logLine("Weather Reader: no METAR station in the reply");
        return Outcome::failed;
    }
    const std::string stationCode = stationField->get<std::string>();

    nlohmann::json weather;
    outcome =
        lf_ask("/v4/weather", {{"guid", guid()}, {"toffset", offset}, {"station", stationCode}}, weather);
    if (outcome != Outcome::ok)
        return outcome;
    const auto qnhField = weather.find("qnh");
    if (qnhField == weather.end() || !qnhField->is_number()) {
        gf_logLine(fmt::format("Weather Reader: no QNH for {}", stationCode));
        return Outcome::failed;
    }
    const auto metarField = weather.find("metar");
    {
        std::lock_guard lock(textMutex_);
        station_ = stationCode;
        metar_ = metarField != weather.end() && metarField->is_string() ? metarField->get<std::string>() : "";
    }
    const double reported = qnhField->get<double>();
    if (!std::isfinite(reported) || reported < minimumQnh || reported > maximumQnh) {
        // A value no barometer shows at sea level: keep the QNH in use and show the attention lamp.
        gf_logLine(fmt::format("Weather Reader: QNH {} of {} not accepted", reported, stationCode));
        weatherOk.store(false);
        statusDisplay.weatherLampState.store(2);
        gf_invalidateArea(ScreenArea::statusPane);
        return Outcome::ok;
    }
    const int accepted = static_cast<int>(std::lround(reported));
    if (qnh.exchange(accepted) != accepted || !weatherOk.load())
        gf_logLine(fmt::format("QNH {} hPa from {}", accepted, stationCode));
    weatherOk.store(true);
    statusDisplay.shownQnh.store(accepted);
    statusDisplay.weatherLampState.store(1);
    gf_invalidateArea(ScreenArea::statusPane);
    return Outcome::ok;
}

} // namespace kvr
