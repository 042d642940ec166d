// Live aircraft between sparse, late, jittered or incomplete reports: read by the Traffic Reader, shown by
// the engine's tick, and measured each second against the flight the reports were taken from.
#include "engine_fixture.h"

#include "core/geodesy.h"
#include "traffic_service/readers.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <functional>
#include <numbers>

namespace kvr::test {
namespace {

constexpr double degToRad = std::numbers::pi / 180.0;
constexpr std::uint32_t address = 0x4B1801;
constexpr double lagSeconds = 30.0; // reports are shown this long after their time

// One second of the true flight.
struct Truth {
    double latitude, longitude, altitude, speedKt, track, verticalRate;
    bool onGround;
};
// A part of the flight: the speed changes evenly to endKt, the track turns by turn degrees each second
// (right positive), the altitude changes at verticalRate ft/min down to 0.
struct Part {
    double seconds, endKt, turn = 0, verticalRate = 0;
    bool onGround = false;
};
// What the shown aircraft did while it was airborne.
struct Seen {
    double offPathNm = 0;      // farthest from the flight's path
    double behindNm = 0;       // farthest from where the flight was at the shown time
    double noseOffDeg = 0;     // largest angle between the nose and the motion of one second
    double slowestShare = 1e9; // slowest speed of one second over the flight's speed at the shown time
    double lowestFt = 1e9;     // lowest altitude
    int seconds = 0;
};

class FlightBetweenReports : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        trafficReader.reset();
        gf_installReportIntake();
    }
    // A fresh engine, reader and simulator for the next flight of a test.
    void restart() {
        TearDown();
        SetUp();
        echo = LinkEcho{};
    }

    void fly(double latitude, double longitude, double altitude, double speedKt, double track,
             const std::vector<Part>& parts) {
        truth = {{latitude, longitude, altitude, speedKt, track, 0, false}};
        for (const Part& part : parts) {
            const double startKt = truth.back().speedKt;
            for (int s = 1; s <= part.seconds; ++s) {
                const Truth& before = truth.back();
                Truth next = before;
                next.speedKt = startKt + (part.endKt - startKt) * s / part.seconds;
                const GeoPoint point = gf_destinationPoint(
                    before.latitude, before.longitude, (before.track + part.turn / 2) * degToRad,
                    (before.speedKt + next.speedKt) / 2 / 3600 * 1852 / 0.3048);
                next.latitude = point.latitude;
                next.longitude = point.longitude;
                // The track on arrival: the way back turned round (it turns over at the pole).
                next.track = std::fmod(
                    gf_initialBearing(point.latitude, point.longitude, before.latitude, before.longitude) /
                            degToRad +
                        180 + part.turn / 2 + 360,
                    360);
                next.verticalRate = part.verticalRate;
                next.altitude = std::max(0.0, before.altitude + part.verticalRate / 60);
                next.onGround = part.onGround;
                truth.push_back(next);
            }
        }
    }

    // Reports the flight every interval seconds (report k's time off by jitter[k % size]) through the
    // Traffic Reader; change may alter report k's array. Runs until the flight has been shown to its end.
    Seen report(int interval, const std::vector<double>& jitter = {0},
                const std::function<void(int, nlohmann::json&)>& change = {}) {
        Seen seen;
        // A plain value beside its flag: mingw's g++ takes an optional here for possibly uninitialised.
        port::PositionUpdate before{};
        bool hasBefore = false;
        const int last = static_cast<int>(truth.size()) - 1;
        for (int second = 0; second <= last + static_cast<int>(lagSeconds); ++second) {
            if (second % interval == 0 && second <= last) {
                const int k = second / interval;
                nlohmann::json values = arrayOf(truth[second], epoch0 + second + jitter[k % jitter.size()]);
                if (change)
                    change(k, values);
                trafficReader.processTrafficReply(
                    nlohmann::json{{"now", epoch0 + second}, {"data", {values}}}.dump());
            }
            run(1);
            const EchoObject* object = echo.byTail("SWR12");
            const LiveAc* aircraft = live(address);
            if (!object || object->moves.empty() || !aircraft || aircraft->onGround) {
                hasBefore = false;
                continue;
            }
            const port::PositionUpdate shown = object->moves.back();
            const int at = std::clamp(second - static_cast<int>(lagSeconds), 0, last);
            seen.behindNm = std::max(seen.behindNm, distanceNm(shown, truth[at]));
            double nearestNm = 1e9;
            for (int t = std::max(0, at - 120); t <= std::min(last, at + 120); ++t)
                nearestNm = std::min(nearestNm, distanceNm(shown, truth[t]));
            seen.offPathNm = std::max(seen.offPathNm, nearestNm);
            seen.lowestFt = std::min(seen.lowestFt, shown.altitudeFt);
            if (hasBefore) {
                const double movedNm =
                    gf_distanceNm(before.latitude, before.longitude, shown.latitude, shown.longitude);
                seen.slowestShare = std::min(seen.slowestShare, movedNm * 3600 / truth[at].speedKt);
                const double motion =
                    gf_initialBearing(before.latitude, before.longitude, shown.latitude, shown.longitude);
                const double off = std::remainder(motion - shown.headingRad, 2 * std::numbers::pi);
                if (movedNm > 0.001)
                    seen.noseOffDeg = std::max(seen.noseOffDeg, std::abs(off) / degToRad);
            }
            before = shown;
            hasBefore = true;
            ++seen.seconds;
        }
        return seen;
    }

    // Nine minutes of a 300 kt cruise eastwards reported without the value at the field of the array.
    Seen cruiseWithout(std::size_t field, int interval) {
        restart();
        fly(airportLatitude, airportLongitude - 0.3, 12000, 300, 90, {{540, 300}});
        return report(interval, {0}, [field](int, nlohmann::json& values) { values[field] = nullptr; });
    }

    static double distanceNm(const port::PositionUpdate& shown, const Truth& point) {
        return gf_distanceNm(shown.latitude, shown.longitude, point.latitude, point.longitude);
    }

    static nlohmann::json arrayOf(const Truth& point, double timestamp) {
        nlohmann::json values(48, nullptr);
        values[0] = fmt::format("{:06X}", address);
        values[1] = "SWR12";
        values[2] = point.latitude;
        values[3] = point.longitude;
        values[4] = point.altitude;
        values[5] = point.speedKt;
        values[6] = point.track;
        values[7] = point.verticalRate;
        values[8] = point.onGround ? 1 : 0;
        values[9] = timestamp;
        values[10] = "A320";
        values[12] = "SWR";
        return values;
    }

    std::vector<Truth> truth;
};

// A 450 kt cruise with report times off by up to 3 s, one report 1.5 nm behind the flight, and a
// deceleration to 250 kt, reported once a minute: the shown aircraft flies nose first, never slower than
// half the flight's speed, and stays on the flight's path.
TEST_F(FlightBetweenReports, AReportBehindTheShownAircraftSlowsItAlongItsPath) {
    fly(airportLatitude - 0.3, airportLongitude, 30000, 450, 0, {{420, 450}, {240, 250}, {300, 250}});
    const Seen seen = report(60, {0, 3, -3, 2, -2, 1}, [](int k, nlohmann::json& values) {
        if (k == 4)
            values[2] = values[2].get<double>() - 1.5 / 60;
    });
    EXPECT_GT(seen.seconds, 840);
    EXPECT_LT(seen.noseOffDeg, 45);
    EXPECT_GE(seen.slowestShare, 0.48);
    EXPECT_LT(seen.offPathNm, 0.3);
}

// The last airborne report at 62 ft descending 900 ft/min, the next one on the runway at 0 ft (the
// airborne altitudes are corrected with QNH 1013 by -7 ft): the aircraft is never shown below 0 ft in
// the air.
TEST_F(FlightBetweenReports, AnAirborneAircraftIsNeverShownBelowTheGroundOfItsReports) {
    fly(airportLatitude, airportLongitude - 0.1, 962, 140, 90, {{64, 140, 0, -900}, {120, 20, 0, 0, true}});
    const Seen seen = report(60);
    EXPECT_GT(seen.seconds, 20);
    EXPECT_GE(seen.lowestFt, 0.0);
}

// Reports without a ground speed, every 5 s and once a minute: the aircraft keeps up with its reports.
TEST_F(FlightBetweenReports, AMissingGroundSpeedIsTheSpeedMadeGood) {
    for (const int interval : {5, 60}) {
        const Seen seen = cruiseWithout(5, interval);
        EXPECT_GT(seen.seconds, 400) << interval;
        EXPECT_LT(seen.behindNm, 1.0) << interval;
    }
}

// Reports without a track, every 5 s and once a minute: the nose points along the flight and the aircraft
// stays with its reports.
TEST_F(FlightBetweenReports, AMissingTrackIsTheTrackMadeGood) {
    for (const int interval : {5, 60}) {
        const Seen seen = cruiseWithout(6, interval);
        EXPECT_GT(seen.seconds, 400) << interval;
        EXPECT_LT(seen.behindNm, 1.0) << interval;
        EXPECT_LT(seen.noseOffDeg, 45) << interval;
    }
}

// A 230 kt holding (left rate-one turns of 180 degrees between one-minute legs) reported once a minute, at
// the start and the end of each turn and, with report times off by up to 3 s, halfway through them; and a
// turn onto final: the nose turns the way the aircraft turns (not through the other side of the 180
// degrees), the aircraft never slows below half its speed, and it keeps to the path. Where a turn begins
// at a report, the 30 s until the next report is heard are dead reckoned straight on: at the full 230 kt
// 1.92 nm would leave the 1.22 nm turn radius by sqrt(1.22^2 + 1.92^2) - 1.22 = 1.05 nm, at half speed
// (an aircraft seen turning) 0.96 nm leave it by 0.33 nm.
TEST_F(FlightBetweenReports, TurnsAreFlownAsTheReportsDescribeThem) {
    std::vector<Part> holding;
    for (int lap = 0; lap < 3; ++lap)
        holding.insert(holding.end(), {{60, 230, -3}, {60, 230}, {60, 230, -3}, {60, 230}});
    for (const double reportsAfterTurnSeconds : {0, 30}) {
        restart();
        std::vector<Part> flight{{reportsAfterTurnSeconds, 230}};
        flight.insert(flight.end(), holding.begin(), holding.end());
        fly(airportLatitude, airportLongitude, 8000, 230, 0, flight);
        const Seen held = report(60, {0, 3, -3, 2, -2, 1});
        EXPECT_GT(held.seconds, 660) << reportsAfterTurnSeconds;
        EXPECT_LT(held.offPathNm, 0.6) << reportsAfterTurnSeconds;
        EXPECT_LT(held.noseOffDeg, 45) << reportsAfterTurnSeconds;
        EXPECT_GE(held.slowestShare, 0.5) << reportsAfterTurnSeconds;
    }

    restart();
    fly(airportLatitude - 0.1, airportLongitude - 0.2, 3000, 200, 90,
        {{50, 180, 0, -500}, {30, 170, -3, -500}, {200, 140, 0, -700}});
    const Seen final = report(60);
    EXPECT_GT(final.seconds, 180);
    EXPECT_LT(final.offPathNm, 0.6);
    EXPECT_LT(final.noseOffDeg, 45);
    EXPECT_GE(final.slowestShare, 0.5);
}

// Ground speeds of 1e30, -300 and 60,000 kt among the reports of a flight over the North Pole: the reader
// refuses them, and nothing beyond the globe or not finite is ever queued for the simulator.
TEST_F(FlightBetweenReports, OutOfRangeSpeedsAreRefusedAndAPolePassStaysOnTheGlobe) {
    port::setUserAircraft({89.75, 10.0, 35000, 0, 0}, false, 0.01);
    fly(89.75, 10.0, 35000, 480, 0, {{300, 480}});
    const Seen seen = report(30, {0}, [](int k, nlohmann::json& values) {
        if (k == 3 || k == 5 || k == 7)
            values[5] = k == 3 ? 1e30 : k == 5 ? -300.0 : 60000.0;
    });
    EXPECT_EQ(trafficReader.counters.impossibleSpeed.load(), 3u);
    EXPECT_GT(seen.seconds, 200);
    EXPECT_LT(seen.behindNm, 1.0);
    const EchoObject* object = echo.byTail("SWR12");
    ASSERT_NE(object, nullptr);
    for (const port::PositionUpdate& move : object->moves) {
        ASSERT_TRUE(std::isfinite(move.latitude) && std::isfinite(move.longitude) &&
                    std::isfinite(move.altitudeFt) && std::isfinite(move.headingRad));
        ASSERT_LE(std::abs(move.latitude), 90.0);
        ASSERT_LE(std::abs(move.longitude), 180.0);
    }
}

} // namespace
} // namespace kvr::test
