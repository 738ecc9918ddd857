#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/Timing.h"
#include "tests/support/TestUtil.h"

TEST(Clock, PinnedClockMovesOnlyWhenAdvanced) {
    Clock::setNow(QDateTime::fromSecsSinceEpoch(1'000'000));
    EXPECT_EQ(Clock::nowSecs(), 1'000'000);
    Clock::advance(604800);
    EXPECT_EQ(Clock::nowSecs(), 1'604'800);
    Clock::reset();
    EXPECT_NEAR(Clock::nowSecs(), QDateTime::currentSecsSinceEpoch(), 2);
}

TEST(Timing, DelaysAtSpeedZeroStillRunInOrder) {
    QStringList order;
    QObject receiver;
    Timing::after(1000, &receiver, [&] { order << "late"; });
    Timing::after(0, &receiver, [&] { order << "early"; });
    ASSERT_TRUE(testutil::waitUntil([&] { return order.size() == 2; }));
    // Both scale to 0 ms: they fire in the order they were asked for.
    EXPECT_EQ(order, (QStringList{"late", "early"}));
}

TEST(Timing, DelayDiesWithItsReceiver) {
    bool ran = false;
    auto* receiver = new QObject;
    Timing::after(0, receiver, [&] { ran = true; });
    delete receiver;
    testutil::spin(50);
    EXPECT_FALSE(ran);
}

TEST(Paths, HomeOverrideHoldsAllThreeFolders) {
    testutil::ScopedHome home;
    EXPECT_TRUE(Paths::documentsDir().startsWith(home.path()));
    EXPECT_TRUE(Paths::cachesDir().startsWith(home.path()));
    EXPECT_TRUE(Paths::preferencesDir().startsWith(home.path()));
    EXPECT_NE(Paths::documentsDir(), Paths::cachesDir());
}
