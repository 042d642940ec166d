#pragma once
// What the simulated simulator's world looked like while Vantrel ran, for the demo and the end-to-end
// tests: a map picture and the figures of the AI aircraft the program put into it. Only on this platform,
// only when asked for by the environment:
//   VANTREL_MAP_PNG=path         the map (user aircraft, AI aircraft with their ATC ids and trails, stands)
//   VANTREL_MAP_RADIUS_NM=n      its radius round the user aircraft (default 4)
//   VANTREL_MAP_STANDS=file      a JSON file whose "stands" array ({"name", "lat", "lon"}) the map shows
//   VANTREL_WORLD_JSON=path      the figures: aircraft created, moving, landed, parked, removed
// Both files are written at every closing down, while the simulator link still runs, so the last session's
// world is what remains; the figures also every 2 s while the program runs.
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace kvr::demo {

// The life of one AI object as the watch saw it.
struct ObjectTrack {
    std::string atcId;
    std::string title;
    double firstAltitudeFt = 0;
    double lowestAltitudeFt = 0;
    double lastLatitude = 0;
    double lastLongitude = 0;
    double pathNm = 0;            // along the positions seen
    double stillSinceSeconds = 0; // simulator clock of its last move
    std::size_t positionUpdates = 0;
    bool landed = false; // came down from 300 ft or more above its lowest altitude
    bool parked = false; // came to rest on the ground for a minute after it had moved
    bool removed = false;
};

struct WorldFigures {
    std::size_t created = 0;
    std::size_t inWorld = 0;
    std::size_t moving = 0;
    std::size_t landed = 0;
    std::size_t parked = 0;
    std::size_t removed = 0;
    std::size_t neverMoved = 0; // static aircraft: placed and never moved by the program
};

class WorldWatch {
public:
    // None when the environment asks for neither file.
    static std::unique_ptr<WorldWatch> fromEnvironment();
    ~WorldWatch();
    WorldWatch(const WorldWatch&) = delete;
    WorldWatch& operator=(const WorldWatch&) = delete;

    // One look at the world (the watch's thread calls it twice a second).
    void sample();
    // Writes the map and the figures now.
    void writeReports();
    void writeFigures();
    WorldFigures figures() const;

private:
    WorldWatch() = default;
    void run(std::stop_token stop);

    std::optional<std::filesystem::path> mapFile_;
    std::optional<std::filesystem::path> figuresFile_;
    std::optional<std::filesystem::path> standsFile_;
    double radiusNm_ = 4.0;

    std::mutex writeMutex_;
    mutable std::mutex mutex_;
    std::map<unsigned long, ObjectTrack> tracks_;
    std::jthread thread_;
};

} // namespace kvr::demo
