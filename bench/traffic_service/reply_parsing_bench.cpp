// A traffic reply of 1,000 aircraft: the Traffic Reader's whole processing (parse, validation, filters,
// QNH, hand-over) beside nlohmann-json's bare parse of the same text.
#include "traffic_service/readers.h"

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <random>

namespace {

std::string lf_replyOf1000Aircraft() {
    std::mt19937 random(42);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const char* types[] = {"B738", "A320", "E190", "B77W", "A388", "C172", "EC35"};
    nlohmann::json data = nlohmann::json::array();
    for (int i = 0; i < 1000; ++i) {
        const bool ground = unit(random) < 0.2;
        const double altitude = ground ? -11.0 : std::round(1000.0 + unit(random) * 38000.0);
        nlohmann::json values =
            nlohmann::json::array({fmt::format("{:06x}", 0x484000 + i),
                                   fmt::format("KLM{}", 1000 + i),
                                   50.0 + unit(random) * 4.0,
                                   2.0 + unit(random) * 6.0,
                                   altitude,
                                   std::round(unit(random) * 4800.0) / 10.0,
                                   std::round(unit(random) * 3600.0) / 10.0,
                                   std::round((unit(random) - 0.5) * 4000.0),
                                   ground ? 1 : 0,
                                   1796618766.0 - unit(random) * 10.0,
                                   types[i % 7],
                                   fmt::format("PH-{}", 1000 + i),
                                   "KLM",
                                   fmt::format("KL{}", 1000 + i),
                                   "EGLL",
                                   "EHAM",
                                   "1234",
                                   std::round(unit(random) * 4800.0) / 10.0,
                                   std::round(unit(random) * 3600.0) / 10.0,
                                   ground ? nlohmann::json() : nlohmann::json(0.0),
                                   ground ? nlohmann::json() : nlohmann::json(altitude + 120.0),
                                   "ADSB"});
        while (values.size() < 48)
            values.push_back(nullptr);
        data.push_back(std::move(values));
    }
    return nlohmann::json{{"now", 1796618766.0}, {"data", std::move(data)}}.dump();
}

const std::string& lf_reply() {
    static const std::string reply = lf_replyOf1000Aircraft();
    return reply;
}

void BM_TrafficReaderReply(benchmark::State& state) {
    kvr::gf_setReportBatchHandler(
        [](std::vector<kvr::LiveAircraft>& batch) { benchmark::DoNotOptimize(batch.data()); });
    for (auto _ : state) {
        state.PauseTiming();
        kvr::trafficReader.reset(); // every report new again, as in a reply of a fresh box
        state.ResumeTiming();
        benchmark::DoNotOptimize(kvr::trafficReader.processTrafficReply(lf_reply()));
    }
    state.SetItemsProcessed(state.iterations() * 1000);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(lf_reply().size()));
}
BENCHMARK(BM_TrafficReaderReply)->Unit(benchmark::kMillisecond);

void BM_NlohmannBareParse(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(nlohmann::json::parse(lf_reply()));
    state.SetItemsProcessed(state.iterations() * 1000);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(lf_reply().size()));
}
BENCHMARK(BM_NlohmannBareParse)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
