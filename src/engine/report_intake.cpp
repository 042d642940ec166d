// Reports on their way from the Traffic Reader to the aircraft: due ticks, the hand-over under
// reportListMutex, and the filing of each batch within half a polling interval.
#include "core/geodesy.h"
#include "core/log.h"
#include "core/shared_state.h"
#include "core/time_util.h"
#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace kvr {

std::mutex reportListMutex;
bool reportsAccepted = false;

namespace {

struct DeferredReport {
    port::LiveAircraft report;
    std::int64_t dueTick = 0;
    std::int64_t handedOverTick = 0;
};

// The engine's clock: the report time that was "now" at a tick. Guarded by reportListMutex.
struct ReportClock {
    bool set = false;
    double time = 0;
    std::int64_t tick = 0;
};
ReportClock reportClock;

// Handed over by the reader (guarded by reportListMutex) and being filed by the tick (run thread only).
std::vector<DeferredReport> handedOver;
std::vector<DeferredReport> beingFiled;
std::size_t nextToFile = 0;
// Reports of beingFiled taken per tick (run thread only).
std::size_t filingQuota = tuning::reportsPerTick;

// The intake's figures for the log (run thread only; counted per session).
struct IntakeFigures {
    std::uint64_t filed = 0;
    std::uint64_t late = 0; // waited longer than one polling interval
    std::int64_t longestWaitTicks = 0;
    std::size_t largestQuota = tuning::reportsPerTick;
};
IntakeFigures intakeFigures;

double expectedReportTime(const ReportClock& clock, std::int64_t tick) {
    return clock.time + static_cast<double>(tick - clock.tick) * tuning::secondsPerTick;
}

std::string hexAddress(std::uint32_t address) {
    return fmt::format("{:06X}", address);
}

// Run thread only; counted per session.
std::uint64_t jumpReports = 0;

std::int64_t dueTickLocked(double timestamp) {
    const double ticks =
        std::round((timestamp - reportClock.time) * static_cast<double>(tuning::ticksPerSecond));
    return reportClock.tick + static_cast<std::int64_t>(ticks) + tuning::reportLagTicks;
}

// The newest report time of a batch, among those within a minute of the batch's median: one report whose
// clock runs far ahead must not set the engine's clock, or every honest report would fall due in the past.
double batchTime(const std::vector<port::LiveAircraft>& batch) {
    std::vector<double> times;
    times.reserve(batch.size());
    for (const port::LiveAircraft& report : batch)
        times.push_back(report.timestamp);
    const auto middle = times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2);
    std::nth_element(times.begin(), middle, times.end());
    double newest = *middle;
    for (const double time : times)
        if (time <= *middle + tuning::batchSpanSeconds)
            newest = std::max(newest, time);
    return newest;
}

PositionSample sampleOf(const port::LiveAircraft& report, std::int64_t dueTick) {
    PositionSample sample;
    sample.latitude = report.latitude;
    sample.longitude = report.longitude;
    sample.altitude = report.altitude;
    sample.groundSpeed = report.groundSpeed;
    sample.track = report.track;
    sample.verticalRate = report.verticalRate;
    sample.trueAirspeed = report.trueAirspeed;
    sample.timestamp = report.timestamp;
    sample.dueTick = dueTick;
    sample.airborne = !report.onGround;
    sample.standing = report.onGround && report.groundSpeed < tuning::standingSpeedKt;
    sample.bank = report.bank;
    sample.heading = report.heading;
    // The reported altitude of an aircraft on the ground is barometric and often off by a hundred feet;
    // near the park airport its elevation from the stand file is the better ground.
    if (report.onGround && groundReferenceAltitude && !port::standList.empty() &&
        lf_flatDistanceNm(report.latitude, report.longitude, port::standList.front().latitude,
                          port::standList.front().longitude) < tuning::groundReferenceRangeNm)
        sample.altitude = *groundReferenceAltitude;
    return sample;
}

// Whether an aircraft can have moved between two samples; a gap in time allows a larger move.
bool plausibleMove(const PositionSample& a, const PositionSample& b, double& distanceNm) {
    distanceNm = gf_distanceNm(a.latitude, a.longitude, b.latitude, b.longitude);
    const double fastestKt = a.airborne || b.airborne ? tuning::maxAirMoveKt : tuning::maxGroundMoveKt;
    const double seconds = std::abs(b.timestamp - a.timestamp) + tuning::moveSlackSeconds;
    return distanceNm <= fastestKt * seconds / 3600.0 + tuning::moveSlackNm;
}

void addSample(LiveAc& aircraft, const PositionSample& sample) {
    auto& samples = aircraft.samples;
    auto later = std::find_if(samples.begin(), samples.end(),
                              [&](const PositionSample& s) { return s.timestamp >= sample.timestamp; });
    if (later != samples.end() && later->timestamp == sample.timestamp)
        return;
    // A report older than the sample the aircraft is already past changes nothing.
    if (later == samples.begin() && !samples.empty() && samples.front().dueTick <= trafficTick.load())
        return;
    // A position no aircraft can reach from its last accepted one would drag the shown aircraft across
    // the field; the next plausible report carries on from the samples already held.
    if (!samples.empty()) {
        const PositionSample& neighbour = later == samples.begin() ? *later : *std::prev(later);
        if (double distanceNm = 0; !plausibleMove(neighbour, sample, distanceNm)) {
            ++jumpReports;
            gf_logLine(fmt::format("{} ({}): report {:.1f} nm from the last in {:.0f} s dropped",
                                   aircraft.reportCallsign, hexAddress(aircraft.id), distanceNm,
                                   std::abs(sample.timestamp - neighbour.timestamp)));
            double fromLastJumpNm = 0;
            const bool agrees =
                aircraft.agreeingJumps > 0 && plausibleMove(aircraft.lastJump, sample, fromLastJumpNm);
            aircraft.agreeingJumps = agrees ? aircraft.agreeingJumps + 1 : 1;
            aircraft.lastJump = sample;
            if (aircraft.agreeingJumps >= tuning::agreeingJumpsToRestart) {
                gf_logLine(
                    fmt::format("{} ({}): its later reports agree, the earlier ones were false: removed "
                                "to come back from the later ones",
                                aircraft.reportCallsign, hexAddress(aircraft.id)));
                if (aircraft.simState == SimState::buffer)
                    aircraft.removed = true;
                else
                    removeAircraftFromSim(aircraft);
            }
            return;
        }
    }
    aircraft.agreeingJumps = 0;
    if (samples.size() >= tuning::maxSamples) {
        if (later == samples.begin())
            return;
        samples.erase(samples.begin());
        later = std::find_if(samples.begin(), samples.end(),
                             [&](const PositionSample& s) { return s.timestamp > sample.timestamp; });
    }
    samples.insert(later, sample);
    lf_settleGroundFlicker(samples);
    ++aircraft.samplesReceived;
}

} // namespace

void lf_processReports(std::vector<port::LiveAircraft>& batch) {
    if (batch.empty())
        return;
    const double newest = batchTime(batch);
    const std::int64_t tick = trafficTick.load();
    std::lock_guard lock(reportListMutex);
    if (!reportsAccepted)
        return;
    if (!reportClock.set ||
        std::abs(newest - expectedReportTime(reportClock, tick)) > tuning::clockJumpSeconds)
        reportClock = {true, newest, tick};
    handedOver.reserve(handedOver.size() + batch.size());
    for (port::LiveAircraft& report : batch) {
        const std::int64_t due = dueTickLocked(report.timestamp);
        handedOver.push_back({std::move(report), due, tick});
    }
    batch.clear();
}

void lf_setKeepReportsFlag(bool keep) {
    std::lock_guard lock(reportListMutex);
    reportsAccepted = keep;
}

void gf_installReportIntake() {
    port::setReportBatchHandler(lf_processReports);
}

std::size_t gf_pendingReportCount() {
    std::lock_guard lock(reportListMutex);
    return handedOver.size() + (beingFiled.size() - nextToFile);
}

std::int64_t lf_dueTickOf(double timestamp) {
    std::lock_guard lock(reportListMutex);
    return dueTickLocked(timestamp);
}

double gf_trafficTime() {
    std::lock_guard lock(reportListMutex);
    if (!reportClock.set)
        return static_cast<double>(gf_now());
    return expectedReportTime(reportClock, trafficTick.load()) -
           static_cast<double>(tuning::reportLagTicks) * tuning::secondsPerTick;
}

std::uint64_t gf_jumpReportCount() {
    return jumpReports;
}

void gf_logReportIntake() {
    // Like the other summaries, nothing when there is nothing to tell.
    if (intakeFigures.filed == 0)
        return;
    gf_logLine(
        fmt::format("Report intake: {} report{} filed, {} waited longer than {} s, longest wait {:.2f} s, "
                    "at most {} per tick",
                    intakeFigures.filed, intakeFigures.filed == 1 ? "" : "s", intakeFigures.late,
                    tuning::pollingIntervalTicks / tuning::ticksPerSecond,
                    static_cast<double>(intakeFigures.longestWaitTicks) * tuning::secondsPerTick,
                    intakeFigures.largestQuota));
}

void lf_resetReportClock() {
    jumpReports = 0;
    intakeFigures = {};
    filingQuota = tuning::reportsPerTick;
    std::lock_guard lock(reportListMutex);
    reportClock = {};
    handedOver.clear();
    beingFiled.clear();
    nextToFile = 0;
}

namespace {

// Takes what the reader handed over since the last batch. A batch is filed within half a polling
// interval: the next one, handed over meanwhile, waits at most that long before its own filing starts, so
// no report waits longer than one polling interval, however many aircraft report (a buffered reply holds
// a minute of them).
bool lf_startFilingNextBatch() {
    beingFiled.clear();
    nextToFile = 0;
    {
        std::lock_guard lock(reportListMutex);
        if (handedOver.empty())
            return false;
        beingFiled.swap(handedOver);
    }
    constexpr std::size_t spreadTicks = tuning::pollingIntervalTicks / 2;
    filingQuota =
        std::max<std::size_t>(tuning::reportsPerTick, (beingFiled.size() + spreadTicks - 1) / spreadTicks);
    intakeFigures.largestQuota = std::max(intakeFigures.largestQuota, filingQuota);
    return true;
}

} // namespace

void lf_takeDeferredReports() {
    const std::int64_t tick = trafficTick.load();
    for (std::size_t taken = 0; taken < filingQuota; ++taken) {
        if (nextToFile == beingFiled.size() && !lf_startFilingNextBatch())
            return;
        DeferredReport& deferred = beingFiled[nextToFile++];
        const std::int64_t waited = tick - deferred.handedOverTick;
        intakeFigures.longestWaitTicks = std::max(intakeFigures.longestWaitTicks, waited);
        intakeFigures.late += waited > tuning::pollingIntervalTicks ? 1 : 0;
        ++intakeFigures.filed;
        lf_fileReport(deferred.report, deferred.dueTick);
    }
}

LiveAc* lf_findLiveById(std::uint32_t id) {
    for (LiveAc& aircraft : liveAcList)
        if (aircraft.id == id && !aircraft.removed)
            return &aircraft;
    return nullptr;
}

bool lf_acceptNewAircraft(const port::LiveAircraft& report) {
    using port::AircraftCategory;
    const auto category = static_cast<AircraftCategory>(std::clamp(report.category, 0, 5));
    if ((category == AircraftCategory::light && !LIGHT_AIRCRAFT.value()) ||
        (category == AircraftCategory::rotorcraft && !HELICOPTERS.value()) ||
        (category == AircraftCategory::highPerformance && !HIGH_PERF_AIRCRAFT.value()))
        return false;
    if (AIRBORNE_ONLY.value() && report.onGround)
        return false;
    const port::UserAcData user = port::latestUserAcData();
    const double rangeLimitNm = static_cast<double>(rangeMetres.load()) / metresPerNauticalMile;
    if (gf_distanceNm(user.latitude, user.longitude, report.latitude, report.longitude) > rangeLimitNm)
        return false;
    const auto counted = std::count_if(liveAcList.begin(), liveAcList.end(), [](const LiveAc& aircraft) {
        return !aircraft.removed && !aircraft.liveryRefused && aircraft.simState != SimState::removingfromsim;
    });
    return counted < MAX_LIVE_SEL.value();
}

void lf_fileReport(port::LiveAircraft& report, std::int64_t dueTick) {
    if (LiveAc* known = lf_findLiveById(report.address)) {
        if (known->simState != SimState::removingfromsim)
            addSample(*known, sampleOf(report, dueTick));
        return;
    }
    if (!lf_acceptNewAircraft(report))
        return;
    if (report.callsign.empty())
        report.callsign = hexAddress(report.address);
    LiveAc aircraft;
    static_cast<AcRecord&>(aircraft) = gf_makeAcRecord(report);
    aircraft.id = report.address;
    aircraft.creationId = report.address;
    aircraft.reportCallsign = report.callsign;
    aircraft.flightNumber = std::move(report.flightNumber);
    aircraft.origin = std::move(report.origin);
    aircraft.destination = std::move(report.destination);
    aircraft.onGround = report.onGround;
    aircraft.samples.reserve(tuning::maxSamples);
    aircraft.staySlots.reserve(8);
    aircraft.samples.push_back(sampleOf(report, dueTick));
    aircraft.samplesReceived = 1;
    liveAcList.push_back(std::move(aircraft));
}

} // namespace kvr
