#include "world_watch.h"

#include "core/geodesy.h"
#include "core/native_path.h"
#include "core/xml_util.h"
#include "platform/simconnect/simulated_simulator.h"
#include "simlink/sim_link_state.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <set>

namespace kvr::demo {

namespace {

constexpr auto samplePeriod = std::chrono::milliseconds(500);
constexpr std::size_t samplesPerFiguresFile = 4;
constexpr double landedDropFt = 300;
constexpr double groundBandFt = 30;
constexpr double stillForSeconds = 60;
constexpr double movedNm = 3.0 / 1852.0;       // 3 m between two looks
constexpr double movingPathNm = 50.0 / 1852.0; // 50 m in all

std::optional<std::filesystem::path> lf_pathFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value)
        return std::nullopt;
    return std::filesystem::path(value);
}

std::vector<simsim::MapStand> lf_readStands(const std::filesystem::path& file) {
    std::vector<simsim::MapStand> stands;
    std::ifstream in(file);
    const nlohmann::json doc = nlohmann::json::parse(in, nullptr, false);
    if (doc.is_discarded() || !doc.contains("stands") || !doc["stands"].is_array()) {
        std::fprintf(stderr, "VANTREL_MAP_STANDS: %s holds no stands array\n", gf_pathToUtf8(file).c_str());
        return stands;
    }
    for (const auto& stand : doc["stands"])
        if (stand.contains("lat") && stand.contains("lon"))
            stands.push_back({stand.value("name", std::string()), stand["lat"].get<double>(),
                              stand["lon"].get<double>(), 20});
    return stands;
}

} // namespace

std::unique_ptr<WorldWatch> WorldWatch::fromEnvironment() {
    auto mapFile = lf_pathFromEnvironment("VANTREL_MAP_PNG");
    auto figuresFile = lf_pathFromEnvironment("VANTREL_WORLD_JSON");
    if (!mapFile && !figuresFile)
        return nullptr;
    std::unique_ptr<WorldWatch> watch(new WorldWatch);
    watch->mapFile_ = std::move(mapFile);
    watch->figuresFile_ = std::move(figuresFile);
    watch->standsFile_ = lf_pathFromEnvironment("VANTREL_MAP_STANDS");
    if (const char* radius = std::getenv("VANTREL_MAP_RADIUS_NM"); radius && std::atof(radius) > 0)
        watch->radiusNm_ = std::atof(radius);
    watch->thread_ = std::jthread([w = watch.get()](std::stop_token stop) { w->run(stop); });
    return watch;
}

WorldWatch::~WorldWatch() {
    thread_.request_stop();
    if (thread_.joinable())
        thread_.join();
}

void WorldWatch::run(std::stop_token stop) {
    for (std::size_t looks = 1; !stop.stop_requested(); ++looks) {
        // The simulator's clock starts with the program's first connection attempt; looking earlier would
        // start it sooner than the scenario says.
        if (!waitingForSim.load()) {
            sample();
            if (looks % samplesPerFiguresFile == 0)
                writeFigures();
        }
        std::this_thread::sleep_for(samplePeriod);
    }
}

void WorldWatch::sample() {
    const auto simulator = simsim::currentSimulator();
    if (!simulator)
        return;
    const double now = simulator->clockSeconds();
    const std::vector<simsim::SimObjectState> objects = simulator->objects();
    std::lock_guard lock(mutex_);
    std::set<unsigned long> present;
    for (const simsim::SimObjectState& object : objects) {
        present.insert(object.objectId);
        auto [entry, added] = tracks_.try_emplace(object.objectId);
        ObjectTrack& track = entry->second;
        if (added || track.removed) {
            track = ObjectTrack{object.atcId,
                                object.title,
                                object.altitudeFt,
                                object.altitudeFt,
                                object.latitude,
                                object.longitude,
                                0,
                                now};
        }
        const double step =
            gf_distanceNm(track.lastLatitude, track.lastLongitude, object.latitude, object.longitude);
        if (step >= movedNm) {
            track.pathNm += step;
            track.stillSinceSeconds = now;
            track.lastLatitude = object.latitude;
            track.lastLongitude = object.longitude;
        }
        track.lowestAltitudeFt = std::min(track.lowestAltitudeFt, object.altitudeFt);
        track.positionUpdates = object.positionUpdates;
        if (track.firstAltitudeFt - track.lowestAltitudeFt >= landedDropFt)
            track.landed = true;
        if (!track.parked && track.pathNm >= movingPathNm &&
            now - track.stillSinceSeconds >= stillForSeconds &&
            object.altitudeFt - track.lowestAltitudeFt <= groundBandFt)
            track.parked = true;
    }
    for (auto& [id, track] : tracks_)
        if (!present.contains(id))
            track.removed = true;
}

WorldFigures WorldWatch::figures() const {
    std::lock_guard lock(mutex_);
    WorldFigures figures;
    for (const auto& [id, track] : tracks_) {
        ++figures.created;
        figures.inWorld += track.removed ? 0 : 1;
        figures.moving += track.pathNm >= movingPathNm ? 1 : 0;
        figures.landed += track.landed ? 1 : 0;
        figures.parked += track.parked ? 1 : 0;
        figures.removed += track.removed ? 1 : 0;
        figures.neverMoved += track.positionUpdates == 0 ? 1 : 0;
    }
    return figures;
}

void WorldWatch::writeReports() {
    const auto simulator = simsim::currentSimulator();
    if (!simulator)
        return;
    sample();
    if (mapFile_) {
        const simsim::SimObjectState user = simulator->userAircraft();
        const auto stands = standsFile_ ? lf_readStands(*standsFile_) : std::vector<simsim::MapStand>{};
        if (!simulator->renderMapPng(*mapFile_, {user.latitude, user.longitude}, radiusNm_, stands))
            std::fprintf(stderr, "VANTREL_MAP_PNG: %s cannot be written\n", gf_pathToUtf8(*mapFile_).c_str());
    }
    writeFigures();
}

void WorldWatch::writeFigures() {
    const auto simulator = simsim::currentSimulator();
    if (!figuresFile_ || !simulator)
        return;
    const WorldFigures f = figures();
    nlohmann::json doc{{"simulatorSeconds", simulator->clockSeconds()},
                       {"created", f.created},
                       {"inWorld", f.inWorld},
                       {"moving", f.moving},
                       {"landed", f.landed},
                       {"parked", f.parked},
                       {"removed", f.removed},
                       {"neverMoved", f.neverMoved}};
    nlohmann::json& aircraft = doc["aircraft"] = nlohmann::json::array();
    {
        std::lock_guard lock(mutex_);
        for (const auto& [id, track] : tracks_)
            aircraft.push_back({{"objectId", id},
                                {"atcId", track.atcId},
                                {"title", track.title},
                                {"positionUpdates", track.positionUpdates},
                                {"pathNm", track.pathNm},
                                {"landed", track.landed},
                                {"parked", track.parked},
                                {"removed", track.removed}});
    }
    // The watch's thread and closing down may both write; one file at a time.
    std::lock_guard writing(writeMutex_);
    if (!gf_replaceFileAtomically(*figuresFile_, doc.dump(2) + "\n"))
        std::fprintf(stderr, "VANTREL_WORLD_JSON: %s cannot be written\n",
                     gf_pathToUtf8(*figuresFile_).c_str());
}

} // namespace kvr::demo
