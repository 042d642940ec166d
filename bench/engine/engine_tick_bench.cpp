// One tick of the traffic engine (lf_handleAddingStack) in steady state: 512 live aircraft in the
// simulator (flying, taxiing and parked, each reporting every 5 s) and 256 static ones, with the reports
// handed over once a second as the Traffic Reader does and the position buffer swapped as the simulator
// link does on its frames. The tick's budget is 10 ms; besides the time per tick the benchmark shows
// its share of that budget and the heap allocations made inside the tick, counted by the replaced global
// operator new of this binary.
//   engine_tick_bench [--benchmark_filter=...]
#include "core/shared_state.h"
#include "engine/engine_internal.h"
#include "engine/engine_tuning.h"
#include "settings/parameter_table.h"
#include "simlink/sim_queues.h"

#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <numbers>

namespace {

std::atomic<std::uint64_t> allocationCount{0};

} // namespace

void* operator new(std::size_t size) {
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return ::operator new(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

using namespace kvr;

constexpr int liveCount = 512;
constexpr int parkedLiveCount = 32;
constexpr int taxiingCount = 80;
constexpr int staticCount = 256;
constexpr double startTime = 1'700'000'000.0;
constexpr double reportInterval = 5.0;
constexpr double airportLatitude = 52.3;
constexpr double airportLongitude = 4.76;
const std::string title = "Bench Livery";

struct Mover {
    std::uint32_t address;
    std::string callsign;
    double latitude;
    double longitude;
    double altitude;
    double speed;
    double track;
    bool onGround;
    double offset; // seconds after each multiple of the report interval
};

std::vector<Mover> movers;

port::LiveAircraft reportOf(const Mover& mover, double time) {
    port::LiveAircraft report;
    report.address = mover.address;
    report.callsign = mover.callsign;
    report.operatorCode = "BNC";
    report.icaoType = "B738";
    report.timestamp = time;
    const double travelled = mover.speed * (time - startTime) / 3600.0 / 60.0;
    const double track = mover.track * std::numbers::pi / 180.0;
    report.latitude = mover.latitude + travelled * std::cos(track);
    report.longitude =
        mover.longitude + travelled * std::sin(track) / std::cos(mover.latitude * std::numbers::pi / 180);
    report.altitude = mover.altitude;
    report.groundSpeed = mover.speed;
    report.track = mover.track;
    report.onGround = mover.onGround;
    report.trueAirspeed = mover.speed;
    return report;
}

// The reports of every aircraft with times in (from, to].
std::vector<port::LiveAircraft> reportsBetween(double from, double to) {
    std::vector<port::LiveAircraft> batch;
    for (const Mover& mover : movers) {
        double first = std::floor((from - startTime - mover.offset) / reportInterval) * reportInterval +
                       startTime + mover.offset;
        for (double time = first; time <= to; time += reportInterval)
            if (time > from)
                batch.push_back(reportOf(mover, time));
    }
    return batch;
}

void buildTraffic() {
    lf_reserveTrafficTables();
    lf_initSimQueues();
    lf_setKeepReportsFlag(true);
    rangeMetres = 100 * 1852 + 10000;
    MAX_LIVE_SEL.setValue(liveCount);
    port::setUserAircraft({airportLatitude, airportLongitude, 0, 0, 0}, true, 0.01);
    port::standList.clear();
    port::parkPositions.clear();
    gf_setLiveryMatchers({[](port::MatchSubject& subject) { subject.liveryTitle = title; },
                          [](port::MatchSubject& subject, const port::MatchStand&) {
                              subject.liveryTitle = title;
                              return true;
                          }});
    port::standList.reserve(staticCount + parkedLiveCount);
    for (int i = 0; i < staticCount + parkedLiveCount; ++i) {
        port::standList.emplace_back(fmt::format("S{}", i + 1), std::vector<port::StandOption>{},
                                     port::StandPlacement{airportLatitude + (i / 16) * 0.0006,
                                                          airportLongitude + (i % 16) * 0.0009, 0.0},
                                     30.0, false, false, false);
        port::standList.back().number = static_cast<std::uint32_t>(i + 1);
    }
    movers.clear();
    for (int i = 0; i < liveCount; ++i) {
        Mover mover{static_cast<std::uint32_t>(0x400000 + i),
                    fmt::format("BNC{}", i),
                    0,
                    0,
                    0,
                    0,
                    0,
                    false,
                    (i % 500) / 100.0};
        if (i < parkedLiveCount) {
            const port::Stand& stand = port::standList[static_cast<std::size_t>(staticCount + i)];
            mover.latitude = stand.latitude;
            mover.longitude = stand.longitude;
            mover.onGround = true;
        } else if (i < parkedLiveCount + taxiingCount) {
            mover.latitude = airportLatitude - 0.01 - (i % 40) * 0.001;
            mover.longitude = airportLongitude + (i % 7) * 0.002;
            mover.speed = 15;
            mover.track = (i * 37) % 360;
            mover.onGround = true;
        } else {
            mover.latitude = airportLatitude + ((i % 23) - 11) * 0.03;
            mover.longitude = airportLongitude + ((i % 29) - 14) * 0.04;
            mover.altitude = 2000 + (i % 50) * 600;
            mover.speed = 180 + (i % 200);
            mover.track = (i * 53) % 360;
        }
        movers.push_back(std::move(mover));
    }

    // The history the service sends first, then the aircraft brought into the simulator as the
    // notifications would; the static aircraft stand on the first stands.
    std::vector<port::LiveAircraft> history = reportsBetween(startTime - 40, startTime);
    lf_processReports(history);
    while (gf_pendingReportCount() > 0)
        lf_takeDeferredReports();
    const std::int64_t tick = trafficTick.load();
    for (LiveAc& aircraft : liveAcList) {
        lf_trimSamples(aircraft, tick);
        aircraft.liveryTitle = title;
        aircraft.objectId = aircraft.id;
        aircraft.simState = SimState::active;
        aircraft.current = lf_sampleStateAt(aircraft, tick);
        aircraft.onGround = !aircraft.samples.front().airborne;
        aircraft.phase = aircraft.onGround ? AcPhase::taxi : AcPhase::flying;
    }
    for (int i = 0; i < parkedLiveCount; ++i) {
        LiveAc& aircraft = liveAcList[static_cast<std::size_t>(i)];
        port::Stand& stand = port::standList[static_cast<std::size_t>(staticCount + i)];
        lf_startParking(aircraft, stand, tick);
        lf_arriveAtStand(aircraft, tick);
    }
    for (int i = 0; i < staticCount; ++i) {
        port::ParkPosition position{
            0, 1, static_cast<std::uint32_t>(i + 1), 0, "BNC", "A320", fmt::format("STA{}", i), "", "", true};
        port::parkPositions.push_back(std::move(position));
        lf_createStaticParking();
    }
    createDequeStatic.clear();
    for (std::size_t i = 0; i < staticAcList.size(); ++i) {
        staticAcList[i].simState = SimState::active;
        staticAcList[i].objectId = static_cast<port::SimObjectId>(0x1000000 + i);
    }
    port::discardQueuedForSim();
}

void BM_EngineTick(benchmark::State& state) {
    buildTraffic();
    double handedUpTo = startTime;
    std::uint64_t ticks = 0;
    std::uint64_t allocations = 0;
    std::chrono::steady_clock::duration tickTime{};
    for (auto _ : state) {
        if (ticks % tuning::ticksPerSecond == 0) {
            state.PauseTiming();
            const double now = startTime + static_cast<double>(ticks) * tuning::secondsPerTick;
            std::vector<port::LiveAircraft> batch = reportsBetween(handedUpTo, now);
            handedUpTo = now;
            lf_processReports(batch);
            state.ResumeTiming();
        }
        const std::uint64_t before = allocationCount.load(std::memory_order_relaxed);
        const auto start = std::chrono::steady_clock::now();
        lf_handleAddingStack();
        tickTime += std::chrono::steady_clock::now() - start;
        allocations += allocationCount.load(std::memory_order_relaxed) - before;
        {
            // What the link's thread does on a frame: the filled half goes out, the other is filled next.
            std::lock_guard lock(simQueueMutex);
            simQueues.positions.swap();
            simQueues.lights.clear();
        }
        ++ticks;
    }
    std::size_t active = 0;
    for (const LiveAc& aircraft : liveAcList)
        active += aircraft.simState == SimState::active ? 1 : 0;
    state.counters["live_active"] = static_cast<double>(active);
    state.counters["static"] = static_cast<double>(staticAcList.size());
    state.counters["allocs_per_tick"] = static_cast<double>(allocations) / static_cast<double>(ticks);
    // Share of the 10 ms tick, in percent, of the time spent in lf_handleAddingStack alone.
    const double microseconds =
        std::chrono::duration<double, std::micro>(tickTime).count() / static_cast<double>(ticks);
    state.counters["tick_us"] = microseconds;
    state.counters["pct_of_10ms"] = microseconds / 100.0;
    lf_clearTrafficTables();
}
BENCHMARK(BM_EngineTick)->Unit(benchmark::kMicrosecond);

} // namespace
