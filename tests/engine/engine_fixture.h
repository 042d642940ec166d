#pragma once
// Drives the traffic engine without threads: reports are handed over as the Traffic Reader would, ticks
// are stepped one by one, and the simulator's side of the link is played by LinkEcho, which creates,
// moves and removes objects as the queues ask.
#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace kvr::test {

inline constexpr double epoch0 = 1'700'000'000.0; // Tuesday 14 November 2023, 22:13:20 UTC
inline constexpr double airportLatitude = 52.3;
inline constexpr double airportLongitude = 4.76;

// One object of the simulator side, as the queued requests shaped it.
struct EchoObject {
    port::CreateRequest created;
    std::vector<port::PositionUpdate> moves;
    std::vector<std::uint32_t> lights;
    bool removed = false;
};

class LinkEcho {
public:
    // Takes what the engine queued: creations become objects (reported created on the next call unless
    // their title is refused), removals remove them.
    void serve();
    std::map<port::SimObjectId, EchoObject> objects;
    std::vector<port::CreateRequest> creations;
    std::vector<port::SimObjectId> removals;
    std::vector<std::string> refusedTitles;
    bool answerCreations = true;

    const EchoObject* byTail(const std::string& tail) const;
    port::SimObjectId idOfTail(const std::string& tail) const;

private:
    port::SimObjectId nextId_ = 100;
    std::vector<port::CreateRequest> waiting_;
};

// A live report built field by field.
port::LiveAircraft makeReport(std::uint32_t address, const std::string& callsign, double timestamp,
                              double latitude, double longitude, double altitude, double groundSpeed,
                              double track, double verticalRate, bool onGround);

// A path of reports every interval seconds: legs of constant speed, track and vertical rate.
struct Leg {
    double seconds;
    double groundSpeed;
    double track;
    double verticalRate = 0;
    bool onGround = false;
};
std::vector<port::LiveAircraft> pathReports(std::uint32_t address, const std::string& callsign,
                                            double startTime, double latitude, double longitude,
                                            double altitude, const std::vector<Leg>& legs,
                                            double interval = 5.0);

// A departure from a stand just south of the reports' start: pushback, taxi, take-off roll and climb-out.
std::vector<port::LiveAircraft> departureReports();

// The service's reply (JSON, 48 values per aircraft) holding the reports, sent at `now`.
std::string replyOf(const std::vector<port::LiveAircraft>& reports, double now);

port::Stand makeStand(const std::string& id, double latitude, double longitude, double headingDeg,
                      double radiusM, bool heli = false);
// Appends the stand to the stand list and numbers it.
port::Stand& addStand(const std::string& id, double latitude, double longitude, double headingDeg,
                      double radiusM, bool heli = false);

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The simulator's side around each engine tick; the echo by default.
    virtual void beforeTick() {}
    virtual void afterTick() { echo.serve(); }

    // Hands over the reports (one batch) as the Traffic Reader does.
    void handOver(std::vector<port::LiveAircraft> reports);
    // Steps the engine tick by tick; each simulated second hands over the reports whose time has come
    // (time = epoch0 + seconds since the start of the test) and the echo serves the link after each tick.
    void run(double seconds);
    void tick(int count = 1);
    double now() const { return clockBase_ + static_cast<double>(ticks_) * tuning::secondsPerTick; }
    // The report time of the test's first tick.
    void startClockAt(double epochSeconds) { clockBase_ = epochSeconds; }

    void schedule(std::vector<port::LiveAircraft> reports);
    // A live aircraft already in the simulator at the position, with one sample due now.
    LiveAc& addActiveLive(std::uint32_t id, const std::string& callsign, double latitude, double longitude,
                          double altitude = 0, bool onGround = true, AcPhase phase = AcPhase::taxi);
    StaticAc& addActiveStatic(const std::string& callsign, const port::Stand& stand);
    LiveAc* live(std::uint32_t id) { return lf_findLiveById(id); }

    LinkEcho echo;
    // Scheduled reports reach the engine as the service's replies through the Traffic Reader.
    bool throughReader = false;
    std::vector<std::string> matchedTitles{"Test Livery A", "Test Livery B"};
    int liveMatches = 0;
    bool liveMatcherFinds = true;
    bool staticMatcherFinds = true;
    bool fsltlLiveries = false;

private:
    std::int64_t ticks_ = 0;
    double clockBase_ = epoch0;
    std::vector<port::LiveAircraft> scheduled_;
};

} // namespace kvr::test
