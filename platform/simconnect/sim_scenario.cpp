#include "platform/simconnect/sim_scenario.h"

#include "core/file_util.h"
#include "core/native_path.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace kvr::simsim {

namespace {

using nlohmann::json;

struct Reader {
    std::string source;

    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error(fmt::format("scenario {}: {}", source, what));
    }

    const json& member(const json& object, const char* name, const std::string& where) const {
        if (!object.contains(name))
            fail(fmt::format("{}.{} is missing", where, name));
        return object.at(name);
    }

    double number(const json& object, const char* name, const std::string& where) const {
        const json& value = member(object, name, where);
        if (!value.is_number())
            fail(fmt::format("{}.{} must be a number", where, name));
        return value.get<double>();
    }

    double numberOr(const json& object, const char* name, const std::string& where, double fallback) const {
        return object.contains(name) ? number(object, name, where) : fallback;
    }

    std::optional<double> optionalNumber(const json& object, const char* name,
                                         const std::string& where) const {
        if (!object.contains(name))
            return std::nullopt;
        return number(object, name, where);
    }

    std::string text(const json& object, const char* name, const std::string& where) const {
        const json& value = member(object, name, where);
        if (!value.is_string())
            fail(fmt::format("{}.{} must be a text", where, name));
        return value.get<std::string>();
    }

    std::string textOr(const json& object, const char* name, const std::string& where,
                       const std::string& fallback) const {
        return object.contains(name) ? text(object, name, where) : fallback;
    }

    std::optional<bool> optionalFlag(const json& object, const char* name, const std::string& where) const {
        if (!object.contains(name))
            return std::nullopt;
        const json& value = object.at(name);
        if (!value.is_boolean())
            fail(fmt::format("{}.{} must be true or false", where, name));
        return value.get<bool>();
    }

    void checkLatLon(double latitude, double longitude, const std::string& where) const {
        if (latitude < -90 || latitude > 90 || longitude < -180 || longitude > 180)
            fail(fmt::format("{} has a position outside the earth ({}, {})", where, latitude, longitude));
    }
};

std::array<std::uint32_t, 4> lf_parseVersion(const Reader& reader, const std::string& text) {
    std::array<std::uint32_t, 4> parts{};
    std::istringstream in(text);
    std::string part;
    std::size_t count = 0;
    while (std::getline(in, part, '.')) {
        if (count == parts.size() || part.empty() ||
            !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
            part.size() > 9)
            reader.fail(fmt::format("simulator.version '{}' is not of the form a.b.c.d", text));
        parts[count++] = static_cast<std::uint32_t>(std::stoul(part));
    }
    if (count != parts.size())
        reader.fail(fmt::format("simulator.version '{}' is not of the form a.b.c.d", text));
    return parts;
}

RouteStep lf_parseRouteStep(const Reader& reader, const json& step, const std::string& where) {
    if (!step.is_object())
        reader.fail(fmt::format("{} must be an object", where));
    RouteStep result;
    if (step.contains("holdSeconds")) {
        result.holdSeconds = reader.number(step, "holdSeconds", where);
        if (result.holdSeconds <= 0)
            reader.fail(fmt::format("{}.holdSeconds must be above 0", where));
        return result;
    }
    result.latitude = reader.number(step, "latitude", where);
    result.longitude = reader.number(step, "longitude", where);
    reader.checkLatLon(result.latitude, result.longitude, where);
    result.speedKt = reader.number(step, "speedKt", where);
    if (result.speedKt <= 0)
        reader.fail(fmt::format("{}.speedKt must be above 0", where));
    result.altitudeFt = reader.optionalNumber(step, "altitudeFt", where);
    result.onGround = reader.optionalFlag(step, "onGround", where);
    result.backwards = reader.optionalFlag(step, "backwards", where).value_or(false);
    return result;
}

UserAircraftSetup lf_parseUser(const Reader& reader, const json& user) {
    const std::string where = "userAircraft";
    if (!user.is_object())
        reader.fail("userAircraft must be an object");
    UserAircraftSetup result;
    result.title = reader.text(user, "title", where);
    result.atcModel = reader.textOr(user, "atcModel", where, "");
    result.wingspanFt = reader.numberOr(user, "wingspanFt", where, 0);
    result.latitude = reader.number(user, "latitude", where);
    result.longitude = reader.number(user, "longitude", where);
    reader.checkLatLon(result.latitude, result.longitude, where);
    result.altitudeFt = reader.numberOr(user, "altitudeFt", where, 0);
    result.headingDeg = reader.numberOr(user, "headingDeg", where, 0);
    result.onGround = reader.optionalFlag(user, "onGround", where).value_or(true);
    if (user.contains("route")) {
        const json& route = user.at("route");
        if (!route.is_array())
            reader.fail("userAircraft.route must be a list");
        for (std::size_t i = 0; i < route.size(); ++i)
            result.route.push_back(
                lf_parseRouteStep(reader, route[i], fmt::format("userAircraft.route[{}]", i)));
    }
    return result;
}

std::optional<TimelineKind> lf_timelineKind(const std::string& name) {
    for (TimelineKind kind :
         {TimelineKind::flightLoaded, TimelineKind::aircraftLoaded, TimelineKind::teleport,
          TimelineKind::pause, TimelineKind::unpause, TimelineKind::simStop, TimelineKind::simStart,
          TimelineKind::quit, TimelineKind::disconnect})
        if (name == timelineKindName(kind))
            return kind;
    return std::nullopt;
}

TimelineEvent lf_parseTimelineEvent(const Reader& reader, const json& entry, const std::string& where) {
    if (!entry.is_object())
        reader.fail(fmt::format("{} must be an object", where));
    TimelineEvent event;
    event.atSeconds = reader.number(entry, "atSeconds", where);
    if (event.atSeconds < 0)
        reader.fail(fmt::format("{}.atSeconds must not be negative", where));
    const std::string name = reader.text(entry, "event", where);
    const auto kind = lf_timelineKind(name);
    if (!kind)
        reader.fail(fmt::format("{}.event '{}' is unknown", where, name));
    event.kind = *kind;
    switch (event.kind) {
    case TimelineKind::flightLoaded:
        event.fileName = reader.textOr(entry, "fileName", where, "flights\\custom\\loaded.FLT");
        break;
    case TimelineKind::aircraftLoaded:
        event.fileName = reader.textOr(entry, "fileName", where, "SimObjects\\Airplanes\\user\\aircraft.CFG");
        break;
    case TimelineKind::teleport:
        event.latitude = reader.number(entry, "latitude", where);
        event.longitude = reader.number(entry, "longitude", where);
        reader.checkLatLon(event.latitude, event.longitude, where);
        event.altitudeFt = reader.optionalNumber(entry, "altitudeFt", where);
        event.headingDeg = reader.optionalNumber(entry, "headingDeg", where);
        break;
    default:
        break;
    }
    return event;
}

void lf_parseSimulator(const Reader& reader, const json& simulator, Scenario& scenario) {
    const std::string where = "simulator";
    if (!simulator.is_object())
        reader.fail("simulator must be an object");
    scenario.kind = reader.textOr(simulator, "kind", where, "MSFS 2020");
    if (scenario.kind != "MSFS 2020" && scenario.kind != "MSFS 2024")
        reader.fail(fmt::format("simulator.kind '{}' is neither MSFS 2020 nor MSFS 2024", scenario.kind));
    const bool is2020 = scenario.kind == "MSFS 2020";
    scenario.applicationName =
        reader.textOr(simulator, "applicationName", where, is2020 ? "KittyHawk" : "SunRise");
    scenario.version = lf_parseVersion(
        reader, reader.textOr(simulator, "version", where, is2020 ? "11.0.282174.999" : "12.1.282174.999"));
    scenario.startsAfterSeconds = reader.numberOr(simulator, "startsAfterSeconds", where, 0);
    scenario.flightStartsAfterSeconds =
        reader.numberOr(simulator, "flightStartsAfterSeconds", where, scenario.startsAfterSeconds);
    scenario.creationDelaySeconds = reader.numberOr(simulator, "creationDelaySeconds", where, 0.6);
    scenario.recognitionDelaySeconds = reader.numberOr(simulator, "recognitionDelaySeconds", where, 0);
    if (scenario.startsAfterSeconds < 0 || scenario.flightStartsAfterSeconds < scenario.startsAfterSeconds ||
        scenario.creationDelaySeconds < 0 || scenario.recognitionDelaySeconds < 0)
        reader.fail("simulator times must not be negative, and the flight cannot start before the simulator");
    if (simulator.contains("lateFailures")) {
        const json& late = simulator.at("lateFailures");
        if (!late.is_object())
            reader.fail("simulator.lateFailures must be an object");
        scenario.lateFailureShare = reader.number(late, "share", "simulator.lateFailures");
        if (scenario.lateFailureShare < 0 || scenario.lateFailureShare > 1)
            reader.fail("simulator.lateFailures.share must be between 0 and 1");
        if (late.contains("exceptions")) {
            const json& exceptions = late.at("exceptions");
            if (!exceptions.is_array() || exceptions.empty() ||
                !std::all_of(exceptions.begin(), exceptions.end(), [](const json& e) {
                    return e.is_number_unsigned() && e.get<std::uint64_t>() >= 33 &&
                           e.get<std::uint64_t>() <= 37;
                }))
                reader.fail("simulator.lateFailures.exceptions must list numbers from 33 to 37");
            scenario.lateFailureExceptions = exceptions.get<std::vector<std::uint32_t>>();
        }
    }
}

void lf_parseSimulatorTraffic(const Reader& reader, const json& traffic, Scenario& scenario) {
    if (!traffic.is_object())
        reader.fail("simulatorTraffic must be an object");
    scenario.copyCallsigns =
        reader.optionalFlag(traffic, "copyCallsigns", "simulatorTraffic").value_or(false);
    if (!traffic.contains("objects"))
        return;
    const json& objects = traffic.at("objects");
    if (!objects.is_array())
        reader.fail("simulatorTraffic.objects must be a list");
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const std::string where = fmt::format("simulatorTraffic.objects[{}]", i);
        const json& entry = objects[i];
        if (!entry.is_object())
            reader.fail(fmt::format("{} must be an object", where));
        SimulatorTrafficObject object;
        object.kind = reader.textOr(entry, "kind", where, "aircraft");
        if (object.kind != "aircraft" && object.kind != "helicopter" && object.kind != "boat" &&
            object.kind != "ground")
            reader.fail(fmt::format("{}.kind '{}' is none of aircraft, helicopter, boat, ground", where,
                                    object.kind));
        object.atcId = reader.textOr(entry, "atcId", where, "");
        object.title = reader.textOr(entry, "title", where, "");
        object.latitude = reader.number(entry, "latitude", where);
        object.longitude = reader.number(entry, "longitude", where);
        reader.checkLatLon(object.latitude, object.longitude, where);
        object.altitudeFt = reader.numberOr(entry, "altitudeFt", where, 0);
        object.headingDeg = reader.numberOr(entry, "headingDeg", where, 0);
        object.appearsAtSeconds = reader.numberOr(entry, "appearsAtSeconds", where, 0);
        scenario.simulatorTraffic.push_back(std::move(object));
    }
    std::stable_sort(scenario.simulatorTraffic.begin(), scenario.simulatorTraffic.end(),
                     [](const SimulatorTrafficObject& a, const SimulatorTrafficObject& b) {
                         return a.appearsAtSeconds < b.appearsAtSeconds;
                     });
}

} // namespace

const char* timelineKindName(TimelineKind kind) {
    switch (kind) {
    case TimelineKind::flightLoaded:
        return "flightLoaded";
    case TimelineKind::aircraftLoaded:
        return "aircraftLoaded";
    case TimelineKind::teleport:
        return "teleport";
    case TimelineKind::pause:
        return "pause";
    case TimelineKind::unpause:
        return "unpause";
    case TimelineKind::simStop:
        return "simStop";
    case TimelineKind::simStart:
        return "simStart";
    case TimelineKind::quit:
        return "quit";
    case TimelineKind::disconnect:
        return "disconnect";
    }
    return "?";
}

std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

std::optional<std::int64_t> parseUtcTime(const std::string& text) {
    int year = 0;
    unsigned month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2u-%2uT%2u:%2u:%2u%c", &year, &month, &day, &hour, &minute, &second,
                    &tail) != 7 ||
        tail != 'Z' || text.size() != 20)
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

Scenario parseScenario(const std::string& jsonText, const std::filesystem::path& baseFolder,
                       const std::string& sourceName) {
    const Reader reader{sourceName};
    json root;
    try {
        root = json::parse(jsonText);
    } catch (const json::exception& error) { // a syntax error, or a number beyond a double
        reader.fail(fmt::format("not valid JSON ({})", error.what()));
    }
    if (!root.is_object())
        reader.fail("the top level must be an object");

    Scenario scenario;
    if (root.contains("simulator"))
        lf_parseSimulator(reader, root.at("simulator"), scenario);
    if (root.contains("utcStart")) {
        const std::string text = reader.text(root, "utcStart", "scenario");
        const auto epoch = parseUtcTime(text);
        if (!epoch)
            reader.fail(fmt::format("utcStart '{}' is not of the form 2025-06-14T09:30:00Z", text));
        scenario.utcStartEpoch = *epoch;
    } else {
        scenario.utcStartEpoch = std::chrono::duration_cast<std::chrono::seconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count();
    }
    if (root.contains("install")) {
        const json& install = root.at("install");
        if (!install.is_object())
            reader.fail("install must be an object");
        if (install.contains("packagesFolder")) {
            const std::filesystem::path folder =
                gf_pathFromUtf8(reader.text(install, "packagesFolder", "install"));
            scenario.packagesFolder = folder.is_absolute() ? folder : baseFolder / folder;
        }
        if (install.contains("titles")) {
            const json& titles = install.at("titles");
            if (!titles.is_array() ||
                !std::all_of(titles.begin(), titles.end(), [](const json& t) { return t.is_string(); }))
                reader.fail("install.titles must be a list of texts");
            for (const json& title : titles)
                scenario.extraTitles.push_back(title.get<std::string>());
        }
    }
    if (root.contains("simulatorTraffic"))
        lf_parseSimulatorTraffic(reader, root.at("simulatorTraffic"), scenario);
    scenario.user = lf_parseUser(reader, reader.member(root, "userAircraft", "scenario"));
    if (root.contains("timeline")) {
        const json& timeline = root.at("timeline");
        if (!timeline.is_array())
            reader.fail("timeline must be a list");
        for (std::size_t i = 0; i < timeline.size(); ++i)
            scenario.timeline.push_back(
                lf_parseTimelineEvent(reader, timeline[i], fmt::format("timeline[{}]", i)));
        std::stable_sort(
            scenario.timeline.begin(), scenario.timeline.end(),
            [](const TimelineEvent& a, const TimelineEvent& b) { return a.atSeconds < b.atSeconds; });
    }
    return scenario;
}

Scenario loadScenarioFile(const std::filesystem::path& file) {
    const auto text = gf_readFileBytes(file);
    if (!text)
        throw std::runtime_error(fmt::format("scenario {}: cannot be read", gf_pathToUtf8(file)));
    return parseScenario(*text, file.parent_path(), gf_pathToUtf8(file));
}

} // namespace kvr::simsim
