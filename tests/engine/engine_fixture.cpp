#include "engine_fixture.h"

#include "core/geodesy.h"
#include "core/no_match_names.h"
#include "core/shared_state.h"
#include "settings/parameter_table.h"
#include "traffic_service/readers.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <numbers>

namespace kvr::test {

void LinkEcho::serve() {
    for (port::CreateRequest& request : waiting_) {
        port::SimNotification notification;
        notification.aircraftId = request.aircraftId;
        notification.tailNumber = request.tailNumber;
        notification.title = request.title;
        notification.description = request.description;
        if (std::find(refusedTitles.begin(), refusedTitles.end(), request.title) != refusedTitles.end()) {
            notification.kind = port::SimNotificationKind::creationFailed;
            notification.reason = "CREATE_OBJECT_FAILED";
        } else {
            notification.kind = port::SimNotificationKind::objectCreated;
            notification.objectId = nextId_++;
            objects[notification.objectId].created = request;
        }
        port::postNotification(std::move(notification));
    }
    waiting_.clear();

    port::QueuedForSim queued = port::takeQueuedForSim();
    for (port::CreateRequest& request : queued.creates) {
        creations.push_back(request);
        if (answerCreations)
            waiting_.push_back(std::move(request));
    }
    for (const port::PositionUpdate& update : queued.positions)
        if (auto object = objects.find(update.objectId); object != objects.end() && !object->second.removed)
            object->second.moves.push_back(update);
    for (const port::NavLightsEvent& event : queued.lights)
        if (auto object = objects.find(event.objectId); object != objects.end())
            object->second.lights.push_back(event.value);
    for (port::SimObjectId id : queued.removals) {
        removals.push_back(id);
        if (auto object = objects.find(id); object != objects.end() && !object->second.removed) {
            object->second.removed = true;
            port::SimNotification notification;
            notification.kind = port::SimNotificationKind::objectRemoved;
            notification.objectId = id;
            port::postNotification(std::move(notification));
        }
    }
}

const EchoObject* LinkEcho::byTail(const std::string& tail) const {
    for (const auto& [id, object] : objects)
        if (object.created.tailNumber == tail)
            return &object;
    return nullptr;
}

port::SimObjectId LinkEcho::idOfTail(const std::string& tail) const {
    for (const auto& [id, object] : objects)
        if (object.created.tailNumber == tail)
            return id;
    return 0;
}

port::LiveAircraft makeReport(std::uint32_t address, const std::string& callsign, double timestamp,
                              double latitude, double longitude, double altitude, double groundSpeed,
                              double track, double verticalRate, bool onGround) {
    port::LiveAircraft report;
    report.address = address;
    report.callsign = callsign;
    report.operatorCode = callsign.size() >= 3 ? callsign.substr(0, 3) : "";
    report.icaoType = "B738";
    report.registration = "PH-" + callsign.substr(std::min<std::size_t>(callsign.size(), 3));
    report.timestamp = timestamp;
    report.latitude = latitude;
    report.longitude = longitude;
    report.altitude = altitude;
    report.groundSpeed = groundSpeed;
    report.track = track;
    report.verticalRate = verticalRate;
    report.onGround = onGround;
    report.trueAirspeed = groundSpeed;
    return report;
}

std::vector<port::LiveAircraft> pathReports(std::uint32_t address, const std::string& callsign,
                                            double startTime, double latitude, double longitude,
                                            double altitude, const std::vector<Leg>& legs, double interval) {
    std::vector<port::LiveAircraft> reports;
    double time = startTime;
    for (const Leg& leg : legs) {
        for (double t = 0; t < leg.seconds - 1e-9; t += interval) {
            reports.push_back(makeReport(address, callsign, time, latitude, longitude, altitude,
                                         leg.groundSpeed, leg.track, leg.verticalRate, leg.onGround));
            const double feet = leg.groundSpeed * 1852.0 / 0.3048 * interval / 3600.0;
            const GeoPoint next =
                gf_destinationPoint(latitude, longitude, leg.track * std::numbers::pi / 180.0, feet);
            latitude = next.latitude;
            longitude = next.longitude;
            altitude = std::max(0.0, altitude + leg.verticalRate * interval / 60.0);
            time += interval;
        }
    }
    return reports;
}

port::Stand makeStand(const std::string& id, double latitude, double longitude, double headingDeg,
                      double radiusM, bool heli) {
    return port::Stand(id, {}, {latitude, longitude, headingDeg * std::numbers::pi / 180.0}, radiusM, false,
                       false, heli);
}

port::Stand& addStand(const std::string& id, double latitude, double longitude, double headingDeg,
                      double radiusM, bool heli) {
    port::standList.push_back(makeStand(id, latitude, longitude, headingDeg, radiusM, heli));
    port::standList.back().number = static_cast<std::uint32_t>(port::standList.size());
    return port::standList.back();
}

std::string replyOf(const std::vector<port::LiveAircraft>& reports, double now) {
    nlohmann::json body{{"now", now}, {"data", nlohmann::json::array()}};
    for (const port::LiveAircraft& report : reports) {
        nlohmann::json values(48, nullptr);
        values[0] = fmt::format("{:06X}", report.address);
        values[1] = report.callsign;
        values[2] = report.latitude;
        values[3] = report.longitude;
        values[4] = report.altitude;
        values[5] = report.groundSpeed;
        values[6] = report.track;
        values[7] = report.verticalRate;
        values[8] = report.onGround ? 1 : 0;
        values[9] = report.timestamp;
        values[10] = report.icaoType;
        values[11] = report.registration;
        values[12] = report.operatorCode;
        values[17] = report.trueAirspeed;
        if (report.heading)
            values[18] = *report.heading;
        body["data"].push_back(std::move(values));
    }
    return body.dump();
}

void EngineTest::SetUp() {
    lf_clearTrafficTables();
    liveAcList.reserve(64); // tests keep references to the aircraft they add
    staticAcList.reserve(64);
    spawnCache.clear();
    spawnedCallsigns.clear();
    gf_clearNoMatchNames();
    seenLiveMaps = {};
    groundReferenceAltitude.reset();
    port::standList.clear();
    port::standList.reserve(64); // tests keep references to the stands they add
    port::parkPositions.clear();
    port::learnedUpdateCount = 0;
    port::discardQueuedForSim();
    port::takeNotifications();
    port::clearFailedCreations();
    port::setUserAircraft({airportLatitude, airportLongitude, 0, 0, 0}, true, 0.01);
    rangeNm = 40;
    rangeMetres = 40 * 1852 + 10000;
    MAX_LIVE_SEL.setValue(500);
    AIRBORNE_ONLY.setValue(false);
    LIGHT_AIRCRAFT.setValue(true);
    HELICOPTERS.setValue(true);
    HIGH_PERF_AIRCRAFT.setValue(true);
    NAV_LIGHTS_WHILE_PARKED.setValue(true);
    STRAIGHT_PBS_ONLY.setValue(false);
    lf_setKeepReportsFlag(true);
    gf_setLiveryMatchers({[this](port::MatchSubject& subject) {
                              ++liveMatches;
                              subject.liveryTitle =
                                  liveMatcherFinds ? port::TitleView(matchedTitles[0]) : port::TitleView();
                              subject.fsltl = fsltlLiveries;
                          },
                          [this](port::MatchSubject& subject, const port::MatchStand&) {
                              subject.liveryTitle =
                                  staticMatcherFinds ? port::TitleView(matchedTitles[1]) : port::TitleView();
                              return staticMatcherFinds;
                          }});
}

void EngineTest::TearDown() {
    port::setReportBatchHandler({});
    gf_setLiveryMatchers({});
    lf_setKeepReportsFlag(false);
    lf_clearTrafficTables();
    port::standList.clear();
    port::discardQueuedForSim();
    port::takeNotifications();
}

void EngineTest::handOver(std::vector<port::LiveAircraft> reports) {
    lf_processReports(reports);
}

void EngineTest::schedule(std::vector<port::LiveAircraft> reports) {
    scheduled_.insert(scheduled_.end(), std::make_move_iterator(reports.begin()),
                      std::make_move_iterator(reports.end()));
    std::stable_sort(
        scheduled_.begin(), scheduled_.end(),
        [](const port::LiveAircraft& a, const port::LiveAircraft& b) { return a.timestamp < b.timestamp; });
}

LiveAc& EngineTest::addActiveLive(std::uint32_t id, const std::string& callsign, double latitude,
                                  double longitude, double altitude, bool onGround, AcPhase phase) {
    port::LiveAircraft report =
        makeReport(id, callsign, now(), latitude, longitude, altitude, onGround ? 0 : 200, 90, 0, onGround);
    LiveAc aircraft;
    static_cast<AcRecord&>(aircraft) = gf_makeAcRecord(report);
    aircraft.id = id;
    aircraft.creationId = id;
    aircraft.reportCallsign = callsign;
    aircraft.objectId = 1000 + id;
    aircraft.simState = SimState::active;
    aircraft.phase = phase;
    aircraft.onGround = onGround;
    aircraft.current = {latitude, longitude, altitude, 90, 0, 0, report.groundSpeed};
    aircraft.standLatitude = latitude;
    aircraft.standLongitude = longitude;
    PositionSample sample;
    sample.latitude = latitude;
    sample.longitude = longitude;
    sample.altitude = altitude;
    sample.timestamp = report.timestamp;
    sample.dueTick = trafficTick.load();
    sample.airborne = !onGround;
    sample.standing = onGround;
    aircraft.samples.push_back(sample);
    liveAcList.push_back(std::move(aircraft));
    return liveAcList.back();
}

StaticAc& EngineTest::addActiveStatic(const std::string& callsign, const port::Stand& stand) {
    StaticAc aircraft;
    port::AircraftBase head;
    head.icaoType = "A320";
    head.callsign = callsign;
    static_cast<AcRecord&>(aircraft) = gf_makeAcRecord(head);
    aircraft.callsign = callsign + "*";
    aircraft.optionCallsign = callsign;
    aircraft.standNumber = stand.number;
    aircraft.latitude = stand.latitude;
    aircraft.longitude = stand.longitude;
    aircraft.objectId = 5000 + static_cast<port::SimObjectId>(staticAcList.size());
    aircraft.simState = SimState::active;
    staticAcList.push_back(std::move(aircraft));
    return staticAcList.back();
}

void EngineTest::tick(int count) {
    for (int i = 0; i < count; ++i) {
        if (ticks_ % tuning::ticksPerSecond == 0 && !scheduled_.empty()) {
            const double time = now();
            const auto due = std::find_if(scheduled_.begin(), scheduled_.end(),
                                          [time](const port::LiveAircraft& r) { return r.timestamp > time; });
            std::vector<port::LiveAircraft> batch(std::make_move_iterator(scheduled_.begin()),
                                                  std::make_move_iterator(due));
            scheduled_.erase(scheduled_.begin(), due);
            if (!batch.empty() && throughReader)
                trafficReader.processTrafficReply(replyOf(batch, time));
            else if (!batch.empty())
                lf_processReports(batch);
        }
        beforeTick();
        lf_handleAddingStack();
        afterTick();
        ++ticks_;
    }
}

void EngineTest::run(double seconds) {
    tick(static_cast<int>(seconds * tuning::ticksPerSecond + 0.5));
}

std::vector<port::LiveAircraft> departureReports() {
    return pathReports(0x4CA001, "RYR55", epoch0, airportLatitude + 0.00002, airportLongitude, 0,
                       {{60, 0, 0, 0, true},
                        {25, 3, 180, 0, true},
                        {30, 0, 180, 0, true},
                        {100, 15, 90, 0, true},
                        {20, 80, 90, 0, true},
                        {15, 140, 90, 0, true},
                        {60, 160, 90, 2000, false}});
}

} // namespace kvr::test
