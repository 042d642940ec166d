#pragma once
// What the simulated simulator plays: a JSON scenario file (docs/simulator-scenario.md describes it).
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kvr::simsim {

// One step of the user aircraft's route: either a hold where it is, or a leg to a point at a speed.
struct RouteStep {
    double holdSeconds = 0; // > 0: a hold
    double latitude = 0;
    double longitude = 0;
    double speedKt = 0;
    std::optional<double> altitudeFt; // reached at the end of the leg; unchanged when absent
    std::optional<bool> onGround;     // from the start of the leg; unchanged when absent
    bool backwards = false;           // pushed back: the nose points away from the point
};

struct UserAircraftSetup {
    std::string title;
    std::string atcModel;
    double wingspanFt = 0;
    double latitude = 0;
    double longitude = 0;
    double altitudeFt = 0;
    double headingDeg = 0;
    bool onGround = true;
    std::vector<RouteStep> route; // followed while a flight runs and the simulator is not paused
};

enum class TimelineKind {
    flightLoaded,
    aircraftLoaded,
    teleport,
    pause,
    unpause,
    simStop,
    simStart,
    quit,
    disconnect
};

struct TimelineEvent {
    double atSeconds = 0;
    TimelineKind kind = TimelineKind::pause;
    std::string fileName;             // flightLoaded, aircraftLoaded
    double latitude = 0;              // teleport
    double longitude = 0;             // teleport
    std::optional<double> altitudeFt; // teleport
    std::optional<double> headingDeg; // teleport
};

// An AI object of the simulator's own, not created by any client.
struct SimulatorTrafficObject {
    std::string kind = "aircraft"; // "aircraft", "helicopter", "boat" or "ground"
    std::string atcId;
    std::string title;
    double latitude = 0;
    double longitude = 0;
    double altitudeFt = 0;
    double headingDeg = 0;
    double appearsAtSeconds = 0;
};

struct Scenario {
    std::string kind = "MSFS 2020"; // or "MSFS 2024"
    std::string applicationName;    // what the connection's open message names
    std::array<std::uint32_t, 4> version{};
    double startsAfterSeconds = 0;       // Open fails before
    double flightStartsAfterSeconds = 0; // the "Sim" event reports a running flight from then on
    double creationDelaySeconds = 0.6;   // between a creation call and the object's appearance
    // After ObjectAdded, an AI object is missing from by-type answers and its ATC ID reads empty this long.
    double recognitionDelaySeconds = 0;
    // This share of accepted creations fails when the object would appear, with the exceptions below in
    // turn (SIMCONNECT_EXCEPTION values 33 to 37).
    double lateFailureShare = 0;
    std::vector<std::uint32_t> lateFailureExceptions = {33, 34, 35, 36, 37};
    // The simulator's own AI traffic; with copyCallsigns it also adds an aircraft of its own with the
    // callsign of every creation, near it, at once.
    std::vector<SimulatorTrafficObject> simulatorTraffic; // sorted by the time they appear
    bool copyCallsigns = false;
    std::int64_t utcStartEpoch = 0; // simulator UTC at clock 0
    // Holds Community (and Official); an empty path: none. When absent, the simulator finds it through the
    // UserCfg.opt of its kind, as the real one does.
    std::optional<std::filesystem::path> packagesFolder;
    std::vector<std::string> extraTitles; // installed titles besides the aircraft.cfg ones
    UserAircraftSetup user;
    std::vector<TimelineEvent> timeline; // sorted by time
};

// Throws std::runtime_error "scenario <file>: <what is wrong>". Relative folders are taken from the
// scenario file's folder.
Scenario loadScenarioFile(const std::filesystem::path& file);
Scenario parseScenario(const std::string& jsonText, const std::filesystem::path& baseFolder,
                       const std::string& sourceName = "text");

// "2025-06-14T09:30:00Z" -> seconds since 1970; nullopt when malformed.
std::optional<std::int64_t> parseUtcTime(const std::string& text);
// Days since 1970-01-01 of a civil date.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day);

const char* timelineKindName(TimelineKind kind);

} // namespace kvr::simsim
