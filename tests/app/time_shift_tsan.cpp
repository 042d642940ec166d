// The time-shift lists, the simulator-time box and "Now" used while the run thread ticks the traffic
// engine and runs its rounds. The window applies and saves a chosen shift itself but leaves the traffic to
// the run thread through flags, so a ThreadSanitizer build finds no race on the traffic tables, the
// settings or the remembered control states; any report fails the test. Label: tsan.
#include "app/combo_fill.h"
#include "app/engine_link.h"
#include "app/rounds.h"
#include "app/time_shift.h"
#include "engine/traffic_engine.h"
#include "parking/park_stands.h"
#include "session_fixture.h"

#include <atomic>
#include <thread>

namespace kvr::test {
namespace {

using namespace std::chrono_literals;

class TimeShiftThreads : public SessionTest {
protected:
    void TearDown() override {
        engine_link::clearTrafficTables();
        SessionTest::TearDown();
    }
    // As the window's thread gets it from a click, whether the control is enabled or not.
    void command(const WindowControl& control, WORD notification) {
        SendMessageW(window(), WM_COMMAND, MAKEWPARAM(control.controlId, notification),
                     reinterpret_cast<LPARAM>(control.windowHandle.load()));
    }
    void chooseShift(NumComboParameter& list, int index) {
        SendMessageW(list.windowHandle.load(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        command(list, CBN_SELCHANGE);
    }
};

// A live aircraft the engine's tick walks: on its way into the simulator or in it.
void addLive(std::uint32_t id) {
    LiveAc aircraft;
    aircraft.id = id;
    aircraft.callsign = "KLM" + std::to_string(id);
    aircraft.reportCallsign = aircraft.callsign;
    aircraft.objectId = id + 100;
    aircraft.simState = id % 2 ? SimState::active : SimState::adding2sim;
    aircraft.phase = AcPhase::flying;
    aircraft.current.latitude = 52.3 + id * 0.001;
    aircraft.current.longitude = 4.76;
    // Reports due far ahead: the aircraft stays while the test runs.
    for (std::int64_t due : {std::int64_t{1} << 40, (std::int64_t{1} << 40) + 100}) {
        PositionSample sample;
        sample.latitude = aircraft.current.latitude;
        sample.longitude = aircraft.current.longitude;
        sample.altitude = 3000;
        sample.groundSpeed = 180;
        sample.airborne = true;
        sample.dueTick = due;
        aircraft.samples.push_back(sample);
    }
    liveAcList.push_back(aircraft);
}

TEST_F(TimeShiftThreads, TheWindowsTimeControlsDuringTicksLeaveTheTrafficToTheRunThread) {
    ASSERT_TRUE(openWindow());
    for (NumComboParameter* list : {&TIME_SHIFT_DAYS, &TIME_SHIFT_HOURS, &TIME_SHIFT_MINS})
        lf_fillNumberCombo(*list);
    lf_setTimeControlsEnabled(true);
    parkAirportLoaded = true;
    waitingForSim = false; // a connected simulator: a chosen shift rebuilds the traffic

    std::atomic<bool> running{true};
    std::atomic<int> rounds{0};
    std::thread runThread([&] {
        std::uint32_t nextId = 1;
        for (int tick = 1; running; ++tick) {
            while (liveAcList.size() < 8)
                addLive(nextId++);
            engine_link::handleAddingStack();
            if (tick % 5 == 0) {
                lf_processRound();
                if (roundCounter.load() % 15 == 0)
                    lf_periodicTasks();
                ++rounds;
            }
            std::this_thread::sleep_for(1ms);
        }
    });
    for (int i = 0; i < 60; ++i) {
        chooseShift(TIME_SHIFT_HOURS, 1 + i % 23);
        chooseShift(TIME_SHIFT_MINS, i % 60);
        if (i % 10 == 0)
            command(nowButton, BN_CLICKED);
        if (i % 20 == 5 || i % 20 == 6)
            command(SIM_TIME, BN_CLICKED);
        const auto pause = std::chrono::steady_clock::now() + 5ms;
        while (std::chrono::steady_clock::now() < pause)
            standin::pumpMessages();
    }
    const auto settle = std::chrono::steady_clock::now() + 200ms;
    while (std::chrono::steady_clock::now() < settle)
        standin::pumpMessages(); // the run thread's control changes go through this thread
    running = false;
    std::atomic<bool> joined{false};
    std::thread joiner([&] {
        runThread.join();
        joined = true;
    });
    while (!joined)
        standin::pumpMessages();
    joiner.join();
    parkAirportLoaded = false;
    waitingForSim = true;
    EXPECT_GT(rounds.load(), 10);
    EXPECT_GT(TIME_SHIFT_HOURS.value() + TIME_SHIFT_MINS.value(), 0);
}

} // namespace
} // namespace kvr::test
