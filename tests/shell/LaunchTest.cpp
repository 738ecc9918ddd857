// The launch sequence: first-launch flags, the reading defaults, the tabs and the guide.
#include <gtest/gtest.h>
#include <memory>

#include "app/AppDelegate.h"
#include "catalog/FifthViewController.h"
#include "catalog/FirstViewController.h"
#include "catalog/FouthViewController.h"
#include "catalog/SecondViewController.h"
#include "catalog/ThirdViewController.h"
#include "catalog/WZGuideViewController.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "tests/support/TestUtil.h"

using testutil::waitUntil;

namespace {

class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override { defaults().reload(); }
    void TearDown() override {
        delegate.reset();
        Application::shared().setDelegate(nullptr);
        defaults().reload();
    }

    static UserDefaults& defaults() { return UserDefaults::standard(); }

    // A launch of a fresh process: the store is read from its file again.
    void launch() {
        delegate.reset();
        Application::shared().setDelegate(nullptr);
        defaults().reload();
        delegate = std::make_unique<AppDelegate>();
        Application::shared().setDelegate(delegate.get());
        ASSERT_TRUE(Application::shared().launch());
        // Let the guide finish sliding in.
        testutil::spin(20);
    }

    bool guideShown() const {
        return WZGuideViewController::sharedGuide()->parentWidget() == delegate->window();
    }

    testutil::ScopedHome home;
    std::unique_ptr<AppDelegate> delegate;
};

TEST_F(LaunchTest, TheFirstLaunchWritesTheFlagsAndDefaultsAndShowsTheGuide) {
    launch();
    // What was written is in the file, not only in memory.
    defaults().reload();
    EXPECT_TRUE(defaults().boolForKey("everLaunched"));
    EXPECT_TRUE(defaults().boolForKey("firstLaunch"));
    EXPECT_EQ(defaults().objectForKey("FontSizeId"), QVariant(QStringLiteral("18")));
    EXPECT_EQ(defaults().objectForKey("LightSizeId"), QVariant(QStringLiteral("100")));
    EXPECT_EQ(defaults().integerForKey("ReadType"), 1);
    EXPECT_TRUE(defaults().contains("is_open_wifi"));
    EXPECT_FALSE(defaults().boolForKey("is_open_wifi"));
    EXPECT_TRUE(guideShown());
    EXPECT_EQ(WZGuideViewController::sharedGuide()->geometry(), Window::applicationFrame());
}

TEST_F(LaunchTest, UntilTheGuideIsPassedEveryLaunchRewritesTheDefaultsAndShowsIt) {
    launch();
    defaults().setObject("FontSizeId", 22);
    defaults().setObject("ReadType", 2);
    defaults().synchronize();

    launch();
    EXPECT_EQ(defaults().objectForKey("FontSizeId"), QVariant(QStringLiteral("18")));
    EXPECT_EQ(defaults().integerForKey("ReadType"), 1);
    EXPECT_TRUE(guideShown());

    // The start button ends the first-launch state for good.
    WZGuideViewController* guide = WZGuideViewController::sharedGuide();
    guide->scrollToPage(2);
    guide->startButton()->click();
    ASSERT_TRUE(waitUntil([&] { return !guide->parentWidget(); }));
    defaults().setObject("FontSizeId", 22);
    defaults().synchronize();

    launch();
    EXPECT_FALSE(defaults().boolForKey("firstLaunch"));
    EXPECT_TRUE(defaults().boolForKey("everLaunched"));
    EXPECT_EQ(defaults().integerForKey("FontSizeId"), 22);
    EXPECT_FALSE(guideShown());
}

TEST_F(LaunchTest, TheWindowHoldsFiveTabsInOrderWithTheFirstSelected) {
    launch();
    Window* window = delegate->window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Window::keyWindow(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->size(), QSize(320, Window::screenHeight()));
    TabBarController* tabs = delegate->tabbarcontroller();
    ASSERT_EQ(window->rootViewController(), tabs);
    const QList<ViewController*> stacks = tabs->viewControllers();
    ASSERT_EQ(stacks.size(), 5);
    auto rootOf = [&](int i) {
        return qobject_cast<NavigationController*>(stacks[i])->rootViewController();
    };
    EXPECT_TRUE(qobject_cast<FirstViewController*>(rootOf(0)));
    EXPECT_TRUE(qobject_cast<SecondViewController*>(rootOf(1)));
    EXPECT_TRUE(qobject_cast<ThirdViewController*>(rootOf(2)));
    EXPECT_TRUE(qobject_cast<FouthViewController*>(rootOf(3)));
    EXPECT_TRUE(qobject_cast<FifthViewController*>(rootOf(4)));
    EXPECT_EQ(tabs->selectedIndex(), 0);
    EXPECT_TRUE(rootOf(0)->isVisible());
}

TEST_F(LaunchTest, LaunchExpiresAStaleSignInAndClearsTheBadge) {
    defaults().setObject("user_token", QStringLiteral("t0k3n"));
    defaults().setObject("user_info",
                         QVariantMap{{"login_time", QString::number(Clock::nowSecs() - 604801)}});
    defaults().synchronize();
    Application::shared().setApplicationIconBadgeNumber(5);
    launch();
    EXPECT_FALSE(defaults().contains("user_token"));
    EXPECT_FALSE(defaults().contains("user_info"));
    EXPECT_EQ(Application::shared().applicationIconBadgeNumber(), 0);
    EXPECT_EQ(Application::shared().registeredNotificationTypes(), 7);
}

TEST_F(LaunchTest, TheGuideIsAddedOnceAndShowingItAgainKeepsTheFirstLaunchStateClear) {
    launch();
    WZGuideViewController* guide = WZGuideViewController::sharedGuide();
    guide->pressEnterButton();
    ASSERT_TRUE(waitUntil([&] { return !guide->parentWidget(); }));
    EXPECT_FALSE(defaults().boolForKey("firstLaunch"));

    // From the settings screen: shown twice in a row, it is in the window once.
    WZGuideViewController::show();
    WZGuideViewController::show();
    EXPECT_EQ(delegate->window()->findChildren<WZGuideViewController*>().size(), 1);
    ASSERT_TRUE(waitUntil([&] { return !guide->isAnimating(); }));
    WZGuideViewController::show();
    EXPECT_EQ(delegate->window()->findChildren<WZGuideViewController*>().size(), 1);
    EXPECT_EQ(guide->currentPage(), 0);

    guide->scrollToPage(2);
    EXPECT_EQ(guide->currentPage(), 2);
    guide->pressEnterButton();
    ASSERT_TRUE(waitUntil([&] { return !guide->parentWidget(); }));
    defaults().reload();
    EXPECT_FALSE(defaults().boolForKey("firstLaunch"));

    // Shown again, it starts at the first page.
    WZGuideViewController::show();
    EXPECT_EQ(guide->currentPage(), 0);
}

TEST(GuidePagesTest, TheTallScreenGetsTheTallPagesAndALowerStartButton) {
    const int before = Window::screenHeight();
    Window::setScreenHeight(568);
    EXPECT_EQ(WZGuideViewController::pageImageNames(),
              (QStringList{"I5_yindao_buzhou1", "I5_yindao_buzhou2", "I5_yindao_buzhou3"}));
    Window::setScreenHeight(480);
    EXPECT_EQ(WZGuideViewController::pageImageNames(),
              (QStringList{"I4_yindao_buzhou1", "I4_yindao_buzhou2", "I4_yindao_buzhou3"}));
    Window::setScreenHeight(before);
    WZGuideViewController* guide = WZGuideViewController::sharedGuide();
    const QRect button = guide->startButton()->geometry();
    EXPECT_EQ(button.center().y() + 1, before == 568 ? 320 : 280);
    EXPECT_GE(button.left(), 640); // on the last page
}

} // namespace
