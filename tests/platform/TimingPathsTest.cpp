#include <gtest/gtest.h>

#include "platform/Paths.h"
#include "platform/Timing.h"
#include "tests/support/TestUtil.h"

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
