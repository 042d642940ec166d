// Long runs of the whole program in a busy sky within a 40-nm range (VANTREL_SOAK_SECONDS shortens the
// first): about 300 aircraft for five minutes, and about 600 through a 2-hour time shift. Each prints its
// figures.
#include "app/time_shift.h"
#include "busy_sky_fixture.h"

#include <cstdlib>
#include <iostream>

namespace kvr::test {
namespace {

double soakSeconds(double fallback) {
    const char* text = std::getenv("VANTREL_SOAK_SECONDS");
    return text ? std::atof(text) : fallback;
}

class BusySkySoak : public BusySky {
protected:
    void report(const std::string& name, std::size_t missing) {
        const auto sim = simsim::currentSimulator();
        std::cout << name << ": " << expectedAtLeast << " overflights at most within "
                  << rangeNm - enteringMarginNm << " nm, " << missing << " of them not shown at the end; "
                  << logCount(" is object ") << " objects recognised, " << logCount("not seen")
                  << " 'not seen', " << logCount("creation of") << " failed creations, "
                  << logCount("Error 81") << " Error 81, sessions ended: " << logCount("Exiting:") << "\n";
        const std::string log = logText();
        if (const auto at = log.find("Report intake:"); at != std::string::npos)
            std::cout << log.substr(at, log.find('\n', at) - at) << "\n";
    }
};

TEST_F(BusySkySoak, ThreeHundredWithinFortyMilesForFiveMinutes) {
    stage("eham_busy_300");
    std::set<std::string> missing;
    const int code = runWithUser([&] {
        EXPECT_TRUE(waitFor([] { return statusDisplay.liveAircraftCount.load() > 0; }, 120s)) << "no session";
        const double end = secondsSinceStart() + soakSeconds(300);
        while (secondsSinceStart() < end && mainWindowHandle.load()) {
            missing = missingOverflights();
            std::this_thread::sleep_for(2s);
        }
        closeBox();
    });
    EXPECT_EQ(code, 0);
    report("300 in 40 nm", missing.size());
    EXPECT_TRUE(missing.empty()) << *missing.begin();
    EXPECT_EQ(logCount("not seen"), 0u);
    EXPECT_EQ(logCount("Error 81"), 0u);
}

// The shift removes every aircraft and builds the traffic of two hours before anew: 600 creations in a
// row, with the 500 live aircraft of the budget. Six minutes after the shift, at two creations a second
// once the old aircraft are gone (a minute), well over 300 are back.
TEST_F(BusySkySoak, SixHundredKeepTheSessionThroughATwoHourShift) {
    stage("eham_busy_600");
    std::size_t shown = 0;
    std::size_t missing = 0;
    const int code = runWithUser([&] {
        EXPECT_TRUE(waitFor([] { return statusDisplay.liveAircraftCount.load() > 0; }, 120s)) << "no session";
        waitFor([&] { return secondsSinceStart() >= 270; }, 300s);
        EXPECT_TRUE(standin::chooseComboItem(TIME_SHIFT_HOURS.windowHandle.load(), 2));
        EXPECT_TRUE(waitFor([&] { return logCount("Time shifted 120 minutes") == 1; }));
        waitFor([&] { return secondsSinceStart() >= 270 + 360; }, 400s);
        shown = simsim::currentSimulator()->objects().size();
        missing = missingOverflights(2 * 3600).size();
        closeBox();
    });
    EXPECT_EQ(code, 0);
    report("600 in 40 nm, 2-hour shift", missing);
    std::cout << shown << " objects in the simulator 6 minutes after the shift\n";
    EXPECT_EQ(logCount("Exiting:"), 1u) << "only the user's close";
    EXPECT_EQ(logCount("Exiting: USER CLOSED SIM"), 1u);
    EXPECT_EQ(logCount("Error 81"), 0u);
    EXPECT_GT(shown, 300u);
}

} // namespace
} // namespace kvr::test
