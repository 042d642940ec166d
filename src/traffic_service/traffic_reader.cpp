#include "traffic_service/readers.h"

#include "core/geodesy.h"
#include "core/log.h"
#include "core/time_util.h"
#include "traffic_service/report_parser.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <limits>
#include <unordered_set>

namespace kvr {

namespace {

// Sent times older than this behind the newest report are forgotten, so the map cannot grow without end.
constexpr double sentTimeMemorySeconds = 900.0;
constexpr double airborneMarginFt = 300.0;
// How far a report may lie after the reply's "now" (clocks of receivers and service differ a little);
// beyond it the report claims a future and would drag every honest report into the past.
constexpr double aheadToleranceSeconds = 30.0;

double lf_timestampOf(const nlohmann::json& values) {
    if (values.is_array() && values.size() > reportField::timestamp &&
        values[reportField::timestamp].is_number())
        return values[reportField::timestamp].get<double>();
    return -std::numeric_limits<double>::infinity();
}

} // namespace

void TrafficReader::setReferencePosition(double latitude, double longitude) {
    std::lock_guard lock(boxMutex_);
    reference_ = std::make_pair(latitude, longitude);
}

std::optional<std::pair<double, double>> TrafficReader::referencePosition() const {
    std::lock_guard lock(boxMutex_);
    return reference_;
}

TrafficBox TrafficReader::box() const {
    std::lock_guard lock(boxMutex_);
    return box_;
}

void TrafficReader::updateBox(int range) {
    std::lock_guard lock(boxMutex_);
    if (!reference_)
        return;
    const auto [latitude, longitude] = *reference_;
    if (box_.valid && box_.rangeNm == range && box_.centreLatitude == latitude &&
        box_.centreLongitude == longitude)
        return;
    // A box that moved by more than half its range, or grew, holds aircraft the engine has no past for.
    const bool jump =
        !box_.valid || range > box_.rangeNm ||
        gf_distanceNm(box_.centreLatitude, box_.centreLongitude, latitude, longitude) > range / 2.0;
    if (jump)
        bufferWanted_ = true;
    box_ = gf_boxAround(latitude, longitude, range);
}

SeenLiveMaps TrafficReader::takeSeenLiveMaps() {
    std::lock_guard lock(seenMutex_);
    SeenLiveMaps taken = std::move(seen_);
    seen_ = SeenLiveMaps{};
    collectLiveAircraft.store(false);
    return taken;
}

void TrafficReader::setGroundElevation(std::optional<double> elevationFt) {
    groundElevation_.store(elevationFt.value_or(0.0));
    hasGroundElevation_.store(elevationFt.has_value());
}

std::optional<double> TrafficReader::groundElevation() const {
    if (!hasGroundElevation_.load())
        return std::nullopt;
    return groundElevation_.load();
}

LineOutcome TrafficReader::processLine(const nlohmann::json& values, const ReportFilter& filter) {
    counters.arrays.fetch_add(1);
    auto report = gf_readAircraftArray(values);
    if (!report && gf_impossibleGroundSpeed(values)) {
        counters.impossibleSpeed.fetch_add(1);
        return LineOutcome::impossibleSpeed;
    }
    if (!report) {
        counters.invalid.fetch_add(1);
        return LineOutcome::invalid;
    }
    if (report->timestamp > filter.latestTimestamp) {
        counters.aheadOfNow.fetch_add(1);
        return LineOutcome::aheadOfNow;
    }
    if (collectLiveAircraft.load()) {
        std::lock_guard lock(seenMutex_);
        if (!report->callsign.empty())
            seen_.callsigns[report->callsign] = report->address;
        seen_.addresses[report->address] = report->callsign;
    }
    if (!filter.blockedCallsign.empty() && report->callsign == filter.blockedCallsign) {
        counters.blocked.fetch_add(1);
        return LineOutcome::blocked;
    }
    report->category = filter.categoryOf ? filter.categoryOf(report->icaoType) : 2;
    if ((report->category == 0 && !filter.lightAircraft) ||
        (report->category == 4 && !filter.highPerfAircraft) ||
        (report->category == 5 && !filter.helicopters)) {
        counters.categoryOff.fetch_add(1);
        return LineOutcome::categoryOff;
    }
    const double corrected = gf_correctAltitudeWithQnh(report->altitude, filter.qnh);
    if (filter.airborneOnly &&
        (report->onGround ||
         (filter.groundElevation && corrected < *filter.groundElevation + airborneMarginFt))) {
        counters.notAirborne.fetch_add(1);
        return LineOutcome::notAirborne;
    }
    const auto sent = sentReports_.find(report->address);
    if (sent != sentReports_.end() && report->timestamp <= sent->second.timestamp) {
        counters.alreadySent.fetch_add(1);
        return LineOutcome::alreadySent;
    }
    if (!gf_completeMotion(*report, sentReports_[report->address])) {
        counters.withoutMotion.fetch_add(1);
        return LineOutcome::withoutMotion;
    }
    if (!report->onGround)
        report->altitude = corrected;
    reports_.push_back(std::move(*report));
    counters.delivered.fetch_add(1);
    return LineOutcome::delivered;
}

unsigned TrafficReader::processTrafficReply(std::string_view body) {
    // One absurd number must not cost the whole reply: ten such replies in a row would end the session.
    bool quotedNumbers = false;
    nlohmann::json reply = gf_parseReply(body, quotedNumbers);
    if (reply.is_discarded())
        throw std::runtime_error("malformed JSON");
    if (quotedNumbers)
        gf_logLine("Traffic Reader: a number out of range in the reply; the arrays holding it are skipped");
    if (!reply.is_object())
        throw std::runtime_error("reply is not a JSON object");
    const auto data = reply.find("data");
    if (data == reply.end() || !data->is_array())
        throw std::runtime_error("reply without data");
    counters.replies.fetch_add(1);

    // The already-sent test needs each aircraft's positions oldest first, whatever order the reply has.
    std::stable_sort(data->begin(), data->end(), [](const nlohmann::json& a, const nlohmann::json& b) {
        return lf_timestampOf(a) < lf_timestampOf(b);
    });
    ReportFilter filter = gf_currentReportFilter();
    const auto now = reply.find("now");
    filter.latestTimestamp = (now != reply.end() && now->is_number()
                                  ? now->get<double>()
                                  : static_cast<double>(std::time(nullptr)) - toffset.load() * 60.0) +
                             aheadToleranceSeconds;
    unsigned invalid = 0;
    unsigned ahead = 0;
    unsigned impossible = 0;
    double impossibleKt = 0.0;
    double newest = 0.0;
    std::unordered_set<std::uint32_t> addresses;
    for (const auto& values : *data) {
        const LineOutcome outcome = processLine(values, filter);
        if (outcome == LineOutcome::invalid) {
            ++invalid;
            continue;
        }
        if (outcome == LineOutcome::aheadOfNow) {
            ++ahead;
            continue;
        }
        if (outcome == LineOutcome::impossibleSpeed) {
            ++impossible;
            impossibleKt = *gf_impossibleGroundSpeed(values);
            continue;
        }
        addresses.insert(*gf_parseAddress(values[reportField::address].get_ref<const std::string&>()));
        newest = std::max(newest, values[reportField::timestamp].get<double>());
    }
    if (invalid > 0)
        gf_logLine(fmt::format("Traffic Reader: {} invalid aircraft array{} skipped", invalid,
                               invalid == 1 ? "" : "s"));
    if (impossible > 0)
        gf_logLine(fmt::format("Traffic Reader: {} report{} with a ground speed no aircraft flies ({} kt) "
                               "skipped",
                               impossible, impossible == 1 ? "" : "s", impossibleKt));
    if (ahead > 0)
        gf_logLine(fmt::format("Traffic Reader: {} report{} ahead of the service's time dropped", ahead,
                               ahead == 1 ? "" : "s"));
    if (newest > 0.0) {
        latestReportTime.store(newest);
        latestTrafficTime.store(static_cast<std::time_t>(std::floor(newest)));
    }
    aircraftCount.store(static_cast<unsigned>(addresses.size()));
    forgetOldReports();
    handOver();
    return static_cast<unsigned>(addresses.size());
}

void TrafficReader::handOver() {
    if (const auto handler = gf_reportBatchHandler())
        handler(reports_);
    reports_.clear();
}

void TrafficReader::forgetOldReports() {
    const double limit = latestReportTime.load() - sentTimeMemorySeconds;
    std::erase_if(sentReports_, [limit](const auto& entry) { return entry.second.timestamp < limit; });
}

std::vector<ParkedAircraft> TrafficReader::parkedAircraft() const {
    std::lock_guard lock(parkedMutex_);
    return parked_;
}

void TrafficReader::reset() {
    setGuid(std::string());
    stopFlag.store(false);
    {
        std::lock_guard lock(boxMutex_);
        reference_.reset();
        box_ = TrafficBox{};
        bufferWanted_ = true;
    }
    lastToffsetSent_ = toffset.load();
    latestReportTime.store(0.0);
    latestTrafficTime.store(0);
    receiving.store(false);
    aircraftCount.store(0);
    setGroundElevation(std::nullopt);
    {
        std::lock_guard lock(seenMutex_);
        seen_ = SeenLiveMaps{};
        collectLiveAircraft.store(false);
    }
    counters.reset();
    reports_.clear();
    sentReports_.clear();
    {
        std::lock_guard lock(parkedMutex_);
        parked_.clear();
        parkedServed_ = parkedRequested_;
        parkedSucceeded_ = false;
    }
}

} // namespace kvr
