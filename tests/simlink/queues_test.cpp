#include "simlink/sim_link_state.h"
#include "simlink/sim_queues.h"

#include <gtest/gtest.h>

namespace kvr {
namespace {

TEST(PositionDoubleBuffer, FillSwapSendAndClear) {
    PositionDoubleBuffer buffer;
    std::vector<PositionUpdate>* first = &buffer.fill();
    buffer.fill().push_back({1});
    buffer.fill().push_back({2});
    buffer.swap();
    ASSERT_EQ(buffer.send().size(), 2u);
    EXPECT_EQ(buffer.send()[1].objectId, 2u);
    EXPECT_TRUE(buffer.fill().empty());
    buffer.fill().push_back({3});
    buffer.swap();
    ASSERT_EQ(buffer.send().size(), 1u) << "the half sent before is refilled, not appended to";
    EXPECT_EQ(buffer.send()[0].objectId, 3u);
    EXPECT_TRUE(buffer.fill().empty()) << "a swap empties the half that will be filled";
    buffer.fill().push_back({4});
    buffer.clear();
    EXPECT_TRUE(buffer.fill().empty());
    EXPECT_TRUE(buffer.send().empty());
    EXPECT_EQ(&buffer.fill(), first) << "filling starts again with the first half";
}

TEST(SimNotifications, TakenInOrderOnceAndConsumableWhileQueueing) {
    gf_clearSimQueues();
    gf_postSimNotification({SimNotificationKind::objectCreated, 11, 1});
    gf_postSimNotification({SimNotificationKind::objectRemoved, 12});
    auto taken = gf_takeSimNotifications();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].objectId, 11u);
    EXPECT_EQ(taken[1].kind, SimNotificationKind::objectRemoved);
    EXPECT_TRUE(gf_takeSimNotifications().empty());

    gf_postSimNotification({SimNotificationKind::objectCreated, 21, 2});
    std::vector<SimObjectId> seen;
    gf_processSimNotifications([&](const SimNotification& notification) {
        seen.push_back(notification.objectId);
        gf_queueNavLights(notification.objectId, 1); // the queue lock inside the notification lock
    });
    EXPECT_EQ(seen, std::vector<SimObjectId>{21});
    EXPECT_TRUE(gf_takeSimNotifications().empty());
    {
        std::lock_guard lock(simQueueMutex);
        ASSERT_EQ(simQueues.lights.size(), 1u);
        EXPECT_EQ(simQueues.lights[0].objectId, 21u);
    }
    gf_clearSimQueues();
}

TEST(SimQueues, InitClearsSuspensionAndResetEmptiesEverything) {
    simLinkSuspended = true;
    lf_initSimQueues();
    EXPECT_FALSE(simLinkSuspended);
    gf_queueCreate(CreateRequest{});
    gf_queueRemoval(5);
    gf_queuePositionUpdates(std::vector<PositionUpdate>{{5}});
    gf_postSimNotification({});
    flightActive = true;
    userAcDataReceived = true;
    {
        std::lock_guard lock(simQueueMutex);
        userAcData.latitude = 52;
    }
    gf_resetSimLink();
    EXPECT_FALSE(flightActive);
    EXPECT_FALSE(userAcDataReceived);
    EXPECT_EQ(gf_latestUserAcData().latitude, 0);
    EXPECT_TRUE(gf_takeSimNotifications().empty());
    std::lock_guard lock(simQueueMutex);
    EXPECT_TRUE(simQueues.creates.empty());
    EXPECT_TRUE(simQueues.removals.empty());
    EXPECT_TRUE(simQueues.positions.fill().empty());
}

} // namespace
} // namespace kvr
