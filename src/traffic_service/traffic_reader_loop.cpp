#include "traffic_service/readers.h"

#include "core/log.h"
#include "core/message_line.h"
#include "settings/parameter_table.h"
#include "traffic_service/report_parser.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <ctime>
#include <thread>

namespace kvr {

namespace {

constexpr int failuresInARowAllowed = 10;
constexpr double parkedBoxRangeNm = 3.0;

void lf_addBox(FormFields& fields, const TrafficBox& box) {
    fields.emplace_back("lat_min", fmt::format("{:.6f}", box.south));
    fields.emplace_back("lat_max", fmt::format("{:.6f}", box.north));
    fields.emplace_back("lon_min", fmt::format("{:.6f}", box.west));
    fields.emplace_back("lon_max", fmt::format("{:.6f}", box.east));
}

} // namespace

void TrafficReader::run() {
    using clock = std::chrono::steady_clock;
    ServiceClient client(&stopFlag);
    int failures = 0;
    auto nextPoll = clock::now();
    while (!shouldStop()) {
        serveParkedRequest(client);
        if (shouldStop())
            break;
        if (clock::now() >= nextPoll) {
            const Outcome outcome = pollTraffic(client);
            if (outcome == Outcome::stopped)
                break;
            if (outcome == Outcome::unauthorized) {
                gf_logError("Traffic Reader: the service no longer knows the session (401)");
                gf_onWorkerError(threadName(), true);
                return;
            }
            const auto now = clock::now();
            if (outcome == Outcome::failed) {
                counters.failures.fetch_add(1);
                if (++failures >= failuresInARowAllowed) {
                    gf_logError(fmt::format("Traffic Reader: {} failed requests in a row", failures));
                    gf_onWorkerError(threadName(), false);
                    return;
                }
                nextPoll = now + gf_serviceTimings().retryDelay;
            } else {
                failures = 0;
                nextPoll += gf_serviceTimings().trafficPoll;
                if (nextPoll < now)
                    nextPoll = now + gf_serviceTimings().trafficPoll;
            }
        }
        // Short waits keep a stop prompt; a parked-traffic request wakes the loop at once.
        std::unique_lock lock(parkedMutex_);
        const auto wait = std::min<clock::duration>(std::chrono::milliseconds(50),
                                                    std::max<clock::duration>(nextPoll - clock::now(), {}));
        parkedChanged_.wait_for(lock, wait, [this] { return parkedRequested_ != parkedServed_; });
    }
}

TrafficReader::Outcome TrafficReader::pollTraffic(ServiceClient& client) {
    TrafficBox box;
    bool buffer = false;
    {
        std::lock_guard lock(boxMutex_);
        box = box_;
        if (box.valid) {
            buffer = bufferWanted_;
            bufferWanted_ = false;
        }
    }
    if (!box.valid)
        return Outcome::ok; // no reference position yet: nothing to ask for
    const int offset = toffset.load();
    if (offset != lastToffsetSent_) {
        // Another time: the reports of the old one say nothing about what was sent of the new one.
        buffer = true;
        sentReports_.clear();
        lastToffsetSent_ = offset;
    }
    FormFields fields{
        {"guid", guid()}, {"toffset", std::to_string(offset)}, {"querytype", "locationtraffic"}};
    lf_addBox(fields, box);
    fields.emplace_back("buffer", buffer ? "1" : "0");

    const auto lf_failed = [&](const std::string& why) {
        if (buffer) {
            std::lock_guard lock(boxMutex_);
            bufferWanted_ = true;
        }
        gf_logLine(fmt::format("Traffic Reader: {}", why));
        return Outcome::failed;
    };
    const HttpReply reply = client.post("/v4/traffic", fields);
    if (reply.aborted)
        return Outcome::stopped;
    if (!reply.error.empty())
        return lf_failed(reply.error);
    if (reply.status == 401)
        return Outcome::unauthorized;
    if (reply.status != 200)
        return lf_failed(fmt::format("HTTP {}", reply.status));
    try {
        processTrafficReply(reply.body);
    } catch (const std::exception& e) {
        return lf_failed(e.what());
    }
    receiving.store(true);
    return Outcome::ok;
}

void TrafficReader::serveParkedRequest(ServiceClient& client) {
    TrafficBox box;
    std::uint64_t sequence = 0;
    {
        std::lock_guard lock(parkedMutex_);
        if (parkedRequested_ == parkedServed_)
            return;
        sequence = parkedRequested_;
        box = parkedBox_;
    }
    const int offset = toffset.load();
    FormFields fields{{"guid", guid()}, {"toffset", std::to_string(offset)}, {"querytype", "parkedtraffic"}};
    lf_addBox(fields, box);
    const HttpReply reply = client.post("/v4/traffic", fields);

    bool succeeded = false;
    std::vector<ParkedAircraft> list;
    if (reply.answered() && reply.status == 200) {
        bool quotedNumbers = false;
        const nlohmann::json parsed = gf_parseReply(reply.body, quotedNumbers);
        const auto data = parsed.is_object() ? parsed.find("data") : parsed.end();
        if (parsed.is_object() && data != parsed.end() && data->is_array()) {
            const auto nowField = parsed.find("now");
            const double now = nowField != parsed.end() && nowField->is_number()
                                   ? nowField->get<double>()
                                   : static_cast<double>(std::time(nullptr)) - offset * 60.0;
            unsigned invalid = 0;
            list = gf_buildParkedList(*data, now, RT_PARKTRAFFIC_ONLY.value(), MAX_FIT.value(), invalid);
            if (invalid > 0)
                gf_logLine(fmt::format("Parked traffic: {} invalid aircraft array{} skipped", invalid,
                                       invalid == 1 ? "" : "s"));
            succeeded = true;
        } else {
            gf_logLine("Parked traffic: malformed reply");
        }
    } else if (!reply.aborted) {
        gf_logLine(fmt::format("Parked traffic: {}",
                               reply.error.empty() ? fmt::format("HTTP {}", reply.status) : reply.error));
    }
    {
        std::lock_guard lock(parkedMutex_);
        if (succeeded)
            parked_ = std::move(list);
        parkedSucceeded_ = succeeded;
        parkedServed_ = sequence;
    }
    parkedChanged_.notify_all();
}

bool TrafficReader::receiveParkedTraffic(const TrafficBox& box) {
    using clock = std::chrono::steady_clock;
    if (finished.load())
        return false;
    std::unique_lock lock(parkedMutex_);
    const std::uint64_t sequence = ++parkedRequested_;
    parkedBox_ = box;
    parkedChanged_.notify_all();
    const auto deadline = clock::now() + gf_serviceTimings().parkedWait;
    while (parkedServed_ < sequence) {
        if (clock::now() >= deadline || finished.load())
            return false;
        parkedChanged_.wait_for(lock, std::chrono::milliseconds(100));
    }
    return parkedSucceeded_;
}

bool gf_receiveParkedTraffic() {
    const auto reference = trafficReader.referencePosition();
    if (!reference)
        return false;
    const bool received = trafficReader.receiveParkedTraffic(
        gf_boxAround(reference->first, reference->second, parkedBoxRangeNm));
    if (!received)
        gf_logLine("Parked traffic not received");
    return received;
}

} // namespace kvr
