#pragma once
// The main window with its lists filled and its controls enabled, as after the start-up reading, and the
// hooks of the commands recorded instead of served.
#include "app/combo_fill.h"
#include "app/command_hooks.h"
#include "app/request_flags.h"
#include "app_fixture.h"
#include "core/shared_state.h"
#include "core/utf.h"
#include "engine/sim_port.h"
#include "engine/traffic_engine.h"
#include "liveries/livery_database.h"
#include "parking/park_stands.h"
#include "refdata/airport_table.h"
#include "simlink/sim_link_state.h"
#include "simlink/sim_queues.h"

#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace kvr::test {

struct RecordedHooks {
    int restarts = 0;
    std::vector<std::tuple<std::string, double, double>> destinations;
    int airportScanCleared = 0;
};

class CommandsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(openWindow());
        for (WindowControl* control : gf_allControls()) {
            if (auto* numbers = dynamic_cast<NumComboParameter*>(control))
                lf_fillNumberCombo(*numbers);
            else if (auto* hours = dynamic_cast<FloatComboParameter*>(control))
                lf_fillNumberCombo(*hours);
            else if (auto* texts = dynamic_cast<StringComboParameter*>(control))
                lf_fillStringCombo(*texts);
            gf_enableControl(*control);
        }
        resetFlags();
        gf_installCommandHooks(recordingHooks());
        standin::clearRecordedCalls();
        standin::pumpMessages();
    }

    void TearDown() override {
        gf_installCommandHooks({});
        resetFlags();
        lf_clearTrafficTables();
        gf_clearSimQueues();
        port::setUserAircraft(UserAcData{}, false, 0.0);
        airportTable.clear();
        MainWindowTest::TearDown();
    }

    static void resetFlags() {
        for (std::atomic<bool>* flag :
             {&csToOidRequested, &reReadRequested, &flushStaticRequested, &blockedCallsignChanged,
              &callsignSelectionChanged, &matchingDepthRaised, &parkTrafficOnlyChanged,
              &staticParkingNowRequested, &callsignSelectionResetRequested, &navLightsRequested,
              &liveLimitRequested, &timeShiftRequested, &simTimeSwitched, &staticParkingCountdownRequested})
            flag->store(false);
        waitingForSim = true;
        msfs2020Selected = true;
        parkAirportLoaded = false;
        liveriesProcessed = true;
    }

    CommandHooks recordingHooks() {
        CommandHooks hooks;
        hooks.restartForCommunityPath = [this] { ++hooksSeen.restarts; };
        hooks.addDestinationParkAirport = [this](const std::string& code, double lat, double lon) {
            hooksSeen.destinations.emplace_back(code, lat, lon);
        };
        hooks.clearAirportScanSuccess = [this] { ++hooksSeen.airportScanCleared; };
        return hooks;
    }

    // What the user does, carried out as the window's thread would.
    static bool clickOn(const WindowControl& control) {
        const bool taken = standin::click(control.windowHandle.load());
        standin::pumpMessages();
        return taken;
    }
    static void choose(const WindowControl& control, int index) {
        ASSERT_TRUE(standin::chooseComboItem(control.windowHandle.load(), index));
        standin::pumpMessages();
    }
    template <typename Value> static void chooseValue(NumComboParameter& list, Value value) {
        const auto index = list.choiceIndexOf(value);
        ASSERT_TRUE(index.has_value()) << value;
        choose(list, *index);
    }
    static void enter(const ControlStringParameter& box, const std::string& text) {
        HWND hwnd = box.windowHandle.load();
        SetWindowTextW(hwnd, L"");
        ASSERT_TRUE(text.empty() || standin::typeText(hwnd, text));
        ASSERT_TRUE(standin::pressKey(hwnd, VK_RETURN));
        standin::pumpMessages();
    }

    static std::string boxText(const WindowControl& control) {
        wchar_t buffer[512] = {};
        GetWindowTextW(control.windowHandle.load(), buffer, 512);
        return wide_to_utf8(buffer);
    }
    static bool checked(const CheckBoxParameter& box) {
        return static_cast<WPARAM>(SendMessageW(box.windowHandle.load(), BM_GETCHECK, 0, 0)) == BST_CHECKED;
    }
    static bool enabled(const WindowControl& control) {
        return IsWindowEnabled(control.windowHandle.load()) != FALSE;
    }
    static std::string message() { return gf_messageLineSnapshot().messageText; }
    bool logged(const std::string& line) { return logText().find(line + "\n") != std::string::npos; }

    RecordedHooks hooksSeen;
};

} // namespace kvr::test
