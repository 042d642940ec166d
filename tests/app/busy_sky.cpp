// A busy sky through the whole program: about 250 overflights within the 40-nm range, so the first reply
// fills the creation queue for two minutes and those near the edge flying outwards are created where they
// are after their wait. Every aircraft within the range must end up in the simulator, and no creation may
// be held against the one livery they all share.
#include "busy_sky_fixture.h"

namespace kvr::test {
namespace {

TEST_F(BusySky, EveryAircraftInRangeIsShownOnceTheQueueDrainsAndNoLiveryIsBlamed) {
    stage("eham_busy_300");
    std::set<std::string> missing;
    const int code = runWithUser([&] {
        EXPECT_TRUE(waitFor([] { return statusDisplay.liveAircraftCount.load() > 0; }, 120s)) << "no session";
        // Two creations a second: the first reply's queue drains within about two minutes.
        waitFor([&] { return (missing = missingOverflights()).empty(); }, 180s);
        closeBox();
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(missing.empty()) << missing.size() << " not shown, e.g. " << *missing.begin();
    EXPECT_GE(expectedAtLeast, 60u) << "a busy sky";
    EXPECT_EQ(logCount("not seen"), 0u);
    EXPECT_EQ(logCount("creation of"), 0u);
    EXPECT_EQ(logCount("Error 81"), 0u);
    EXPECT_EQ(logCount(" 0 waited longer than 3 s"), 1u) << "reports filed within one polling interval";
}

} // namespace
} // namespace kvr::test
