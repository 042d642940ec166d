#pragma once
// A main window in a scratch program folder that holds what the start-up reading needs: docs/, the staged
// input/ data files, a simulator install that the detection finds, and no download server (its address
// points at a closed port, so the update check goes on offline at once).
#include "app/control_state.h"
#include "app/request_flags.h"
#include "app/session_state.h"
#include "app_fixture.h"
#include "core/no_match_names.h"
#include "core/time_util.h"
#include "core/user_error.h"
#include "simlink/sim_link_state.h"
#include "simlink/sim_queues.h"

#include <chrono>
#include <functional>
#include <thread>

namespace kvr::test {

class SessionTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        previous = std::filesystem::current_path();
        std::filesystem::create_directories(program / "docs");
        std::filesystem::copy(std::filesystem::path(VANTREL_DIST_DIR) / "input", program / "input",
                              std::filesystem::copy_options::recursive);
        std::filesystem::create_directories(steamPackages / "Community");
        setenv("XDG_DATA_HOME", (folder / "local").c_str(), 1);
        setenv("VANTREL_DOWNLOAD_URL", "http://127.0.0.1:9", 1);
        std::filesystem::current_path(program);
        resetSession();
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        resetSession();
        MainWindowTest::TearDown();
    }

    static void resetSession() {
        restartPending = false;
        roundCounter = 0;
        flightNotRunning = false;
        for (auto* flag : {&reReadRequested, &flushStaticRequested, &csToOidRequested,
                           &callsignSelectionChanged, &blockedCallsignChanged, &staticParkingNowRequested,
                           &parkTrafficOnlyChanged, &matchingDepthRaised, &staticUpdatePhase, &controlsBusy,
                           &timeShiftRequested, &simTimeSwitched, &staticParkingCountdownRequested})
            flag->store(false);
        staticUpdateCountdown = staticUpdateCountdownStart;
        lastSimUtcSeconds = 0;
        timeShiftActive = false;
        simUtcTime = 0;
        userOnGround = false;
    }

    // Waits until the condition holds, at most the given time.
    static bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    std::filesystem::path previous;
    std::filesystem::path program = folder / "Vantrel";
    // Steam's place for the packages of MSFS 2020 under the roaming application data.
    std::filesystem::path steamPackages = folder / "config" / "Microsoft Flight Simulator" / "Packages";
};

} // namespace kvr::test
