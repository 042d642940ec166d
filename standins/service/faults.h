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
    std::string only;       // only=traffic|parked|weather; empty: all three
    std::uint64_t seed = 1; // seed=N
    int after = 0;          // after=N: the first N requests are never faulted
};

// Parses "key=value,key=value"; the error text when the text is not valid.
std::optional<std::string> gf_parseFaultSpec(const std::string& text, FaultSpec& spec);

enum class FaultKind { none, serverError, malformed, drop, status };

struct FaultDecision {
    FaultKind kind = FaultKind::none;
    int delayMilliseconds = 0;
};

// Draws the fault of each request from a seeded generator, so a run with the same requests repeats.
class FaultInjector {
public:
    explicit FaultInjector(FaultSpec spec);
    // endpoint: "traffic", "parked" or "weather".
    FaultDecision decide(const std::string& endpoint);
    bool stalled(double secondsSinceStart) const;
    const FaultSpec& spec() const { return spec_; }

private:
    FaultSpec spec_;
    std::mutex mutex_;
    std::mt19937_64 random_;
    int requests_ = 0;
};

} // namespace kvr::standin
