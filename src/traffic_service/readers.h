#pragma once
// The live-traffic service client: the login, the Weather Reader and the Traffic Reader.
//
// Session use (run thread):
//   gf_resetReaders();                                // before a new session (QNH 1013, flags, lists)
//   trafficReader.setReferencePosition(lat, lon);     // the user aircraft, before the box is computed
//   gf_updateTrafficBox();
//   gf_authenticater();                               // throws UserErrorException / std::runtime_error
//   gf_startWeatherReader();  ...  gf_startTrafficReader();
//   every 5 rounds: setReferencePosition, gf_updateTrafficBox, gf_updateConnectionIndicators
//   closing down: set both stopFlag, wait for both finished, deauthenticate(trafficReader)
#include "traffic_service/aircraft_reports.h"
#include "traffic_service/motion_made_good.h"
#include "traffic_service/service_client.h"
#include "traffic_service/service_hooks.h"
#include "traffic_service/traffic_box.h"

#include <nlohmann/json_fwd.hpp>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kvr {

// What both readers hold: the session GUID, the stop and finished flags and the time offset.
class ServiceReader {
public:
    explicit ServiceReader(const char* threadName) : threadName_(threadName) {}
    ServiceReader(const ServiceReader&) = delete;
    ServiceReader& operator=(const ServiceReader&) = delete;

    std::string guid() const;
    void setGuid(std::string guid);
    bool hasGuid() const;
    const char* threadName() const { return threadName_; }

    std::atomic<bool> stopFlag{false}; // closing down sets it; the loop ends at its next check
    std::atomic<bool> finished{true};  // the polling loop is not running (never started, stopped or failed)
    std::atomic<int> toffset{0};       // time offset in minutes, sent with every request

protected:
    bool shouldStop() const;
    // Sleeps up to the duration in short steps; false when a stop came meanwhile.
    bool pause(std::chrono::milliseconds duration) const;

private:
    const char* threadName_;
    mutable std::mutex guidMutex_;
    std::string guid_;
};

class WeatherReader : public ServiceReader {
public:
    WeatherReader() : ServiceReader("Weather Reader") {}

    std::atomic<int> qnh{1013};         // hPa, used to correct the reported altitudes
    std::atomic<bool> weatherOk{false}; // the last weather request gave an accepted QNH
    std::string station() const;        // the nearest METAR station; empty until known
    std::string metar() const;

    void run();
    void reset();

private:
    enum class Outcome { ok, failed, unauthorized, stopped };
    Outcome refresh(ServiceClient& client, double latitude, double longitude);

    mutable std::mutex textMutex_;
    std::string station_;
    std::string metar_;
};

// Counters of the Traffic Reader's work since the last reset (read by tests and the soak).
struct TrafficCounters {
    std::atomic<std::uint64_t> replies{0};
    std::atomic<std::uint64_t> arrays{0};
    std::atomic<std::uint64_t> invalid{0};
    std::atomic<std::uint64_t> blocked{0};
    std::atomic<std::uint64_t> categoryOff{0};
    std::atomic<std::uint64_t> notAirborne{0};
    std::atomic<std::uint64_t> alreadySent{0};
    std::atomic<std::uint64_t> aheadOfNow{0};
    std::atomic<std::uint64_t> impossibleSpeed{0};
    std::atomic<std::uint64_t> withoutMotion{0}; // held back: no speed or track, and none known yet
    std::atomic<std::uint64_t> delivered{0};
    std::atomic<std::uint64_t> failures{0};
    void reset();
};

// The callsigns and addresses of the live aircraft seen while collecting.
struct SeenLiveMaps {
    std::unordered_map<std::string, std::uint32_t> callsigns; // callsign -> address
    std::unordered_map<std::uint32_t, std::string> addresses; // address -> callsign
};

// The settings and values one reply is filtered with, taken once per reply.
struct ReportFilter {
    std::string blockedCallsign; // empty: none
    bool lightAircraft = true;
    bool highPerfAircraft = true;
    bool helicopters = true;
    bool airborneOnly = false;
    std::optional<double> groundElevation;
    int qnh = 1013;
    AircraftCategoryLookup categoryOf; // empty: every type is large
    // Reports after this time (epoch s) claim a future the service has not seen yet: the reply's "now"
    // plus a small tolerance. Infinite: not checked.
    double latestTimestamp = std::numeric_limits<double>::infinity();
};
ReportFilter gf_currentReportFilter();

enum class LineOutcome {
    invalid,
    impossibleSpeed,
    aheadOfNow,
    delivered,
    blocked,
    categoryOff,
    notAirborne,
    alreadySent,
    withoutMotion
};

class TrafficReader : public ServiceReader {
public:
    TrafficReader() : ServiceReader("Traffic Reader") {}

    // The user aircraft's position; the box follows it in gf_updateTrafficBox.
    void setReferencePosition(double latitude, double longitude);
    std::optional<std::pair<double, double>> referencePosition() const;
    TrafficBox box() const;
    void updateBox(int range);

    std::atomic<double> latestReportTime{0.0}; // epoch seconds of the newest report; 0 until the first
    std::atomic<bool> receiving{false};        // a traffic reply has been received
    std::atomic<bool> collectLiveAircraft{false};
    std::atomic<unsigned> aircraftCount{0}; // aircraft in the latest reply
    TrafficCounters counters;

    // Moves the collected maps out and clears the collect flag.
    SeenLiveMaps takeSeenLiveMaps();

    // Airport elevation (ft) for AIRBORNE_ONLY; none: only the on-ground flag counts.
    void setGroundElevation(std::optional<double> elevationFt);
    std::optional<double> groundElevation() const;

    // One traffic reply: validates, collects, filters and appends the reports to the list, then hands the
    // list over (service_hooks.h). Returns the number of aircraft in the reply. Reports more than 30 s
    // after the reply's "now" are dropped, and an array holding a number beyond the range of a double is
    // skipped alone. Throws std::runtime_error for a reply that is not JSON or holds no "data" array.
    unsigned processTrafficReply(std::string_view body);
    // One 48-value array of a reply.
    LineOutcome processLine(const nlohmann::json& values, const ReportFilter& filter);
    // The reports not yet handed over (the reader thread's list).
    const std::vector<LiveAircraft>& pendingReports() const { return reports_; }

    // Parked traffic: the list of the last successful request.
    std::vector<ParkedAircraft> parkedAircraft() const;
    // Asks the reader thread for the parked traffic in the box and waits up to the parked wait.
    bool receiveParkedTraffic(const TrafficBox& box);

    void run();
    void reset(); // keeps toffset

private:
    enum class Outcome { ok, failed, unauthorized, stopped };
    Outcome pollTraffic(ServiceClient& client);
    void serveParkedRequest(ServiceClient& client);
    void handOver();
    void forgetOldReports();

    mutable std::mutex boxMutex_;
    std::optional<std::pair<double, double>> reference_;
    TrafficBox box_;
    bool bufferWanted_ = true; // guarded by boxMutex_
    int lastToffsetSent_ = 0;  // reader thread only

    std::atomic<bool> hasGroundElevation_{false};
    std::atomic<double> groundElevation_{0.0};

    std::mutex seenMutex_;
    SeenLiveMaps seen_;

    std::vector<LiveAircraft> reports_;                           // reader thread only
    std::unordered_map<std::uint32_t, ReportMemory> sentReports_; // reader thread only

    mutable std::mutex parkedMutex_;
    std::condition_variable parkedChanged_;
    std::uint64_t parkedRequested_ = 0; // sequence of the newest request
    std::uint64_t parkedServed_ = 0;    // sequence of the newest request answered (or failed)
    bool parkedSucceeded_ = false;
    TrafficBox parkedBox_;
    std::vector<ParkedAircraft> parked_;
};

extern WeatherReader weatherReader;
extern TrafficReader trafficReader;

// The login on the run thread: on success both readers hold the session GUID and the status display shows
// the account. 402, 404, 405: shown, then thrown as UserErrorException after the refusal delay (10 s);
// 500: std::runtime_error("No RT database connection"); anything else: gf_onWorkerError("Authenticater",
// restart).
void gf_authenticater();
// POST /v4/deauth with the session GUID; clears the GUIDs and the account line. Never throws.
void deauthenticate(TrafficReader& reader);

// The thread bodies; each sets its reader's finished flag when its loop ends.
void gf_weatherReader();
void gf_trafficReader();
// Clear the finished flag and start the body on a detached thread.
void gf_startWeatherReader();
void gf_startTrafficReader();

// Recomputes the query box from the Traffic Reader's reference position and rangeNm when either changed.
void gf_updateTrafficBox();
// The Weather and Traffic lamps from the weather-ok flag and the aircraft count (only after the login).
void gf_updateConnectionIndicators();
// Both readers back to their start (GUIDs, lists, QNH 1013, boxes, flags); the time offsets stay.
void gf_resetReaders();
// The parked traffic in a box of 3 nm round the reference position, waited for at most the parked wait
// (10 s). True: trafficReader.parkedAircraft() holds the records sorted by age (youngest first), one per
// stand and one per callsign; with RT_PARKTRAFFIC_ONLY without those older than MAX_FIT.
bool gf_receiveParkedTraffic();

// The parked-traffic list of one reply: validated, aged against now (epoch s), sorted and de-duplicated.
// invalidCount receives the number of arrays that were skipped.
std::vector<ParkedAircraft> gf_buildParkedList(const nlohmann::json& data, double now, bool parkTrafficOnly,
                                               int maxFit, unsigned& invalidCount);

} // namespace kvr
