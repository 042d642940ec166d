#include "app/control_state.h"
#include "app/subsystem_wiring.h"
#include "app_fixture.h"
#include "core/shared_state.h"
#include "engine/sim_port.h"
#include "parking/park_airport.h"
#include "simlink/sim_link_state.h"

namespace kvr::test {
namespace {

class AutoRange : public MainWindowTest {
protected:
    void TearDown() override {
        gf_installAutoRangeHooks({});
        {
            std::lock_guard lock(parkAirportMutex);
            parkAirports.clear();
        }
        port::setUserAircraft(UserAcData{}, false, 0.0);
        userAcDataReceived = false;
        MainWindowTest::TearDown();
    }
};

// The destination is first in the park-airport list with the distance it was entered with (0), and no
// park-airport tick has run since: the range must follow where the user aircraft is now.
TEST_F(AutoRange, DecidesByTheDistanceToTheFirstParkAirportNow) {
    {
        std::lock_guard lock(parkAirportMutex);
        parkAirports = {{"EHRD", "", 52.0, 4.0, 0.0}};
    }
    gf_installAutoRangeHooks({gf_autoRangeInputs, nullptr});
    // 0.3331 degrees north of the destination: 20.0 nm on an earth of 6371 km (60.04 nm a degree).
    port::setUserAircraft(UserAcData{52.0 + 0.3331, 4.0, 3000, 250, 0}, false, 0.01);
    userAcDataReceived = true;
    AUTO_RANGE.setValue(true);
    lf_applyAutoRange();
    EXPECT_EQ(RANGE.value(), 20);
}

} // namespace
} // namespace kvr::test
