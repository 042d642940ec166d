#pragma once
// Faults the stand-in injects into its live-traffic replies (syntax in docs/service-protocol.md).
#include <cstdint>
#include <mutex>
#include <optional>
#include <random>
#include <string>

namespace kvr::standin {

struct FaultSpec {
    double serverErrorShare = 0.0; // 5xx=P
    double slowShare = 0.0;        // slow=P:MS
    int slowMilliseconds = 0;
    double malformedShare = 0.0; // malformed=P
    double dropShare = 0.0;      // drop=P
    int statusCode = 0;          // status=CODE:P
    double statusShare = 0.0;
    double stallStartS = -1.0; // stall=START:DURATION, seconds after the stand-in started
    double stallDurationS = 0.0;
    // Glitches of single reports in locationtraffic replies, as live feeds have them.
    double aheadShare = 0.0; // ahead=P:SECONDS, share of reports whose timestamp lies SECONDS ahead
    double aheadSeconds = 0.0;
    double jumpShare = 0.0; // jump=P:DEGREES, share of reports whose latitude is DEGREES off
    double jumpDegrees = 0.0;
    double overflowEveryS = 0.0; // overflow=SECONDS, one reply per SECONDS holds a number beyond a double
    std::string only;            // only=traffic|parked|weather; empty: all three
    std::uint64_t seed = 1;      // seed=N
    int after = 0;               // after=N: the first N requests are never faulted
    bool hangAuth = false;       // hang=auth: the login is taken and never answered
    bool hangDeauth = false;     // hang=deauth: the logout is taken and never answered
};

// Parses "key=value,key=value"; the error text when the text is not valid.
std::optional<std::string> gf_parseFaultSpec(const std::string& text, FaultSpec& spec);

enum class FaultKind { none, serverError, malformed, drop, status };

struct FaultDecision {
    FaultKind kind = FaultKind::none;
    int delayMilliseconds = 0;
};

// How one report of a locationtraffic reply is falsified.
struct ReportGlitch {
    double timestampShiftS = 0.0;
    double latitudeShiftDeg = 0.0;
};

// Draws the fault of each request from a seeded generator, so a run with the same requests repeats.
class FaultInjector {
public:
    explicit FaultInjector(FaultSpec spec);
    // endpoint: "traffic", "parked" or "weather".
    FaultDecision decide(const std::string& endpoint);
    bool stalled(double secondsSinceStart) const;
    // Drawn per report from a generator of its own, so that glitches never change the request faults.
    ReportGlitch glitchReport();
    // True for the first reply of each overflow period (counted from the stand-in's start).
    bool overflowDue(double secondsSinceStart);
    const FaultSpec& spec() const { return spec_; }

private:
    FaultSpec spec_;
    std::mutex mutex_;
    std::mt19937_64 random_;
    int requests_ = 0;
    std::mt19937_64 glitchRandom_;
    std::int64_t overflowPeriodsServed_ = 0;
};

} // namespace kvr::standin
