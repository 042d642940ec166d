#include "traffic_service/readers.h"

#include "core/exit_request.h"
#include "core/log.h"
#include "core/message_line.h"
#include "core/shared_state.h"
#include "core/shell_port.h"
#include "core/status_display.h"
#include "settings/parameter_table.h"

#include <fmt/format.h>

#include <thread>

namespace kvr {

WeatherReader weatherReader;
TrafficReader trafficReader;

namespace {

// Marks a reader finished however its body ends.
class FinishedOnExit {
public:
    explicit FinishedOnExit(std::atomic<bool>& flag) : flag_(flag) {}
    ~FinishedOnExit() { flag_.store(true); }
    FinishedOnExit(const FinishedOnExit&) = delete;
    FinishedOnExit& operator=(const FinishedOnExit&) = delete;

private:
    std::atomic<bool>& flag_;
};

template <typename Reader> void lf_runReaderBody(Reader& reader) {
    FinishedOnExit finishedOnExit(reader.finished);
    try {
        reader.run();
    } catch (const std::exception& e) {
        gf_logError(fmt::format("{} exception: {}", reader.threadName(), e.what()));
        gf_onWorkerError(reader.threadName(), false);
    }
}

} // namespace

std::string ServiceReader::guid() const {
    std::lock_guard lock(guidMutex_);
    return guid_;
}

void ServiceReader::setGuid(std::string guid) {
    std::lock_guard lock(guidMutex_);
    guid_ = std::move(guid);
}

bool ServiceReader::hasGuid() const {
    std::lock_guard lock(guidMutex_);
    return !guid_.empty();
}

bool ServiceReader::shouldStop() const {
    return stopFlag.load() || stopRequested.load();
}

bool ServiceReader::pause(std::chrono::milliseconds duration) const {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + duration;
    while (!shouldStop()) {
        const auto now = clock::now();
        if (now >= deadline)
            return true;
        std::this_thread::sleep_for(std::min<clock::duration>(deadline - now, std::chrono::milliseconds(50)));
    }
    return false;
}

void TrafficCounters::reset() {
    for (auto* counter : {&replies, &arrays, &invalid, &blocked, &categoryOff, &notAirborne, &alreadySent,
                          &aheadOfNow, &impossibleSpeed, &withoutMotion, &delivered, &failures})
        counter->store(0);
}

ReportFilter gf_currentReportFilter() {
    ReportFilter filter;
    filter.blockedCallsign = BLOCK_CALLSIGN.value();
    filter.lightAircraft = LIGHT_AIRCRAFT.value();
    filter.highPerfAircraft = HIGH_PERF_AIRCRAFT.value();
    filter.helicopters = HELICOPTERS.value();
    filter.airborneOnly = AIRBORNE_ONLY.value();
    filter.groundElevation = trafficReader.groundElevation();
    filter.qnh = weatherReader.qnh.load();
    filter.categoryOf = gf_aircraftCategoryLookup();
    return filter;
}

void gf_weatherReader() {
    lf_runReaderBody(weatherReader);
}

void gf_trafficReader() {
    lf_runReaderBody(trafficReader);
}

void gf_startWeatherReader() {
    weatherReader.finished.store(false);
    try {
        std::thread(gf_weatherReader).detach();
    } catch (...) {
        weatherReader.finished.store(true);
        throw;
    }
}

void gf_startTrafficReader() {
    trafficReader.finished.store(false);
    try {
        std::thread(gf_trafficReader).detach();
    } catch (...) {
        trafficReader.finished.store(true);
        throw;
    }
}

void gf_updateTrafficBox() {
    trafficReader.updateBox(rangeNm.load());
}

void gf_updateConnectionIndicators() {
    if (!statusDisplay.authenticated.load())
        return;
    statusDisplay.weatherLampState.store(weatherReader.weatherOk.load() ? 1 : 2);
    statusDisplay.trafficLampState.store(trafficReader.aircraftCount.load() > 0 ? 1 : 2);
    gf_invalidateArea(ScreenArea::statusPane);
}

void gf_resetReaders() {
    weatherReader.reset();
    trafficReader.reset();
}

} // namespace kvr
