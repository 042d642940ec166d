// The simulator link under real threads: the SimClient thread against the simulated simulator running in
// real time, an engine thread that creates, moves, lights and removes aircraft and consumes notifications
// while holding the notification lock, a window thread that switches lights, and a second client that
// takes aircraft away behind the link's back. Built with -DVANTREL_TSAN=ON, ThreadSanitizer reports any
// lock taken against the documented order (notification lock, then simulator queue lock) and any data
// race; the test fails on such a report. Label: tsan.
#include "link_harness.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <random>
#include <set>

namespace kvr::test {
namespace {

using namespace std::chrono_literals;

TEST(SimLinkThreads, EngineWindowAndSimClientKeepTheLockOrder) {
    simsim::Scenario scenario = linkScenario();
    scenario.creationDelaySeconds = 0.1;
    LinkHarness link(scenario);
    link.sim->runInRealTime();
    std::atomic<int> standLookups{0};
    gf_setSimLinkHooks({[] {},
                        [&](double, double) {
                            ++standLookups;
                            return std::string("D7");
                        }});
    simClientThread = WatchedThread("SimClient", SimClient);

    std::mutex knownMutex;
    std::set<SimObjectId> known; // objects the engine knows, shared with the window thread
    std::atomic<bool> running{true};
    std::atomic<int> created{0}, removed{0}, failed{0}, rounds{0};

    std::jthread window([&] {
        while (running) {
            std::vector<SimObjectId> ids;
            {
                std::lock_guard lock(knownMutex);
                ids.assign(known.begin(), known.end());
            }
            for (SimObjectId id : ids)
                gf_queueNavLights(id, id % 2);
            (void)statusDisplay.texts();
            std::this_thread::sleep_for(5ms);
        }
    });

    std::jthread otherClient([&] {
        HANDLE other = nullptr;
        while (running && FAILED(SimConnect_Open(&other, "other", nullptr, 0, nullptr, 0)))
            std::this_thread::sleep_for(10ms);
        while (running) {
            std::this_thread::sleep_for(150ms);
            const auto objects = link.sim->objects();
            if (objects.size() > 3)
                SimConnect_AIRemoveObject(other, objects.front().objectId, 1);
        }
        SimConnect_Close(other);
    });

    std::mt19937 random(7);
    const auto end = std::chrono::steady_clock::now() + 2500ms;
    for (int tick = 0; std::chrono::steady_clock::now() < end; ++tick) {
        gf_processSimNotifications([&](const SimNotification& notification) {
            std::lock_guard lock(knownMutex);
            switch (notification.kind) {
            case SimNotificationKind::objectCreated:
                ++created;
                known.insert(notification.objectId);
                gf_queueNavLights(notification.objectId, 1);
                break;
            case SimNotificationKind::objectRemoved:
                ++removed;
                known.erase(notification.objectId);
                break;
            case SimNotificationKind::creationFailed:
                ++failed;
                break;
            }
        });
        if (tick % 5 == 0 && flightActive) {
            CreateRequest request = creationOf(tick, tick % 35 == 0 ? "Not Installed" : "Airbus A320 easyJet",
                                               fmt::format("T{}", tick));
            request.origin = {"EHAM", 52.3086, 4.7639, -11};
            request.destination = {"EGLL", 51.4700, -0.4543, 83};
            gf_queueCreate(request);
        }
        std::vector<PositionUpdate> updates;
        {
            std::lock_guard lock(knownMutex);
            for (SimObjectId id : known)
                updates.push_back({id, 52.30 + random() % 100 * 1e-4, 4.76, 0, 0, 0, 1.0});
            if (tick % 40 == 0 && !known.empty())
                gf_queueRemoval(*known.begin());
        }
        gf_queuePositionUpdates(updates);
        if (tick % 10 == 0)
            gf_requestUserAcPosition();
        if (tick % 97 == 0)
            gf_clearPositionUpdates();
        if (newData.exchange(false))
            ++rounds;
        std::this_thread::sleep_for(10ms);
    }

    running = false;
    EXPECT_TRUE(simClientThread.stopAndJoin());
    window.join();
    otherClient.join();

    EXPECT_GT(created, 5);
    EXPECT_GT(removed, 0);
    EXPECT_GT(failed, 0);
    EXPECT_GE(rounds, 1);
    EXPECT_GE(standLookups, 1);
    EXPECT_FALSE(stopRequested) << gf_exitReasonName(exitReason);
}

} // namespace
} // namespace kvr::test
