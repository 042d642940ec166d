// Whole sessions inside the test: gf_runMainWindow with the simulated simulator and vantrel-standin's
// traffic at Schiphol, and the user at the window's controls.
#include "app/control_state.h"
#include "core/status_display.h"
#include "schiphol_world_fixture.h"
#include "simlink/sim_client.h"

#include <algorithm>

namespace kvr::test {
namespace {

class LiveSession : public SchipholWorld {
protected:
    void SetUp() override {
        SchipholWorld::SetUp();
        stageProgram();
        startWorld({"--scenario", std::string(VANTREL_SOURCE_DIR) + "/scenarios/traffic/eham.json"});
    }
    static bool enabled(const WindowControl& control) {
        return IsWindowEnabled(control.windowHandle.load()) != FALSE;
    }
    static bool inSimulator(const std::string& tailNumber) {
        const auto objects = simsim::currentSimulator()->objects();
        return std::any_of(objects.begin(), objects.end(),
                           [&](const simsim::SimObjectState& o) { return o.atcId == tailNumber; });
    }
};

TEST_F(LiveSession, TheCallsignListOffersTheLiveAircraftAndBlockRemovesTheChosenOne) {
    const int code = runWithUser([] {
        const bool live = waitFor(
            [] { return enabled(csToOidButton) && statusDisplay.liveAircraftCount.load() > 0; }, 180s);
        EXPECT_TRUE(live) << "no live aircraft in the simulator";
        if (live) {
            HWND list = CALLSIGN_2_OBJECTID.windowHandle.load();
            EXPECT_TRUE(standin::click(csToOidButton.windowHandle.load()));
            EXPECT_TRUE(
                waitFor([&] { return enabled(CALLSIGN_2_OBJECTID) && !standin::comboItems(list).empty(); }));
            const std::vector<std::string> callsigns = standin::comboItems(list);
            if (!callsigns.empty()) {
                EXPECT_TRUE(standin::chooseComboItem(list, 0));
                EXPECT_TRUE(waitFor([] { return enabled(blockButton); }));
                EXPECT_TRUE(standin::click(blockButton.windowHandle.load()));
                EXPECT_TRUE(waitFor([&] { return BLOCK_CALLSIGN.value() == callsigns[0]; }));
                EXPECT_TRUE(waitFor([&] { return !inSimulator(callsigns[0]); })) << callsigns[0];
            }
        }
        closeBox();
    });
    EXPECT_EQ(code, 0);
}

// Closing down ends the simulator link's thread while the window still runs: none is left for the end of
// the process, where waiting for it could keep the program from ending.
TEST_F(LiveSession, NoThreadOfTheSimulatorLinkOutlivesTheWindow) {
    const int code = runWithUser([] {
        EXPECT_TRUE(waitFor([] { return statusDisplay.simConnected.load(); }, 60s));
        closeBox();
    });
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(simClientThread.joinable());
}

// SIM_TIME on disables the lists; off again, they must be usable once the static parking placed for the
// new time is done.
TEST_F(LiveSession, AfterSimTimeIsSwitchedOffTheTimeShiftListsAreUsableAgain) {
    const int code = runWithUser([this] {
        // Each switch shifts the time and places the static parking anew, which keeps the controls busy.
        // The controls may go busy again between the moment they are seen free and the click: the box,
        // disabled by then, drops the click, and the user clicks again.
        auto switchSimTime = [this](std::size_t shifts) {
            const bool wanted = !SIM_TIME.value();
            for (int click = 0; click < 3 && SIM_TIME.value() != wanted; ++click) {
                EXPECT_TRUE(waitFor([] { return !controlsBusy.load() && enabled(SIM_TIME); }, 120s));
                standin::click(SIM_TIME.windowHandle.load());
                waitFor([&] { return SIM_TIME.value() == wanted; }, 5s);
            }
            EXPECT_EQ(SIM_TIME.value(), wanted);
            EXPECT_TRUE(waitFor([&] { return logCount("Time shift") == shifts; }));
            EXPECT_TRUE(waitFor([] { return controlsBusy.load(); }));
            EXPECT_TRUE(waitFor([] { return !controlsBusy.load() && enabled(SIM_TIME); }, 120s));
        };
        EXPECT_TRUE(waitFor([] { return enabled(csToOidButton); }, 120s)) << "no session";
        switchSimTime(1);
        EXPECT_FALSE(enabled(TIME_SHIFT_HOURS)) << "the simulator's clock is followed";
        switchSimTime(2);
        EXPECT_TRUE(waitFor([] { return enabled(TIME_SHIFT_HOURS) && enabled(TIME_SHIFT_MINS); }, 2s));
        closeBox();
    });
    EXPECT_EQ(code, 0);
}

} // namespace
} // namespace kvr::test
