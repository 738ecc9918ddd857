// The view-controller kit: navigation stacks, modal screens and the tab bar.
#include <QMouseEvent>
#include <QPointer>
#include <gtest/gtest.h>

#include "catalog/FirstViewController.h"
#include "catalog/SecondViewController.h"
#include "catalog/ThirdViewController.h"
#include "engines/HttpRequest.h"
#include "platform/Timing.h"
#include "platform/ui/Animation.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "tests/support/FakeService.h"
#include "tests/support/TestUtil.h"

using testutil::waitUntil;

namespace {

// A screen that writes down its lifecycle.
class Recorder final : public ViewController {
public:
    explicit Recorder(QStringList* log, QString name) : log_(log), name_(std::move(name)) {}
    ~Recorder() override { log_->append(name_ + QStringLiteral(":destroyed")); }

protected:
    void viewDidLoad() override { log_->append(name_ + QStringLiteral(":load")); }
    void viewWillAppear(bool) override { log_->append(name_ + QStringLiteral(":willAppear")); }
    void viewDidAppear(bool) override { log_->append(name_ + QStringLiteral(":didAppear")); }
    void viewWillDisappear(bool) override {
        log_->append(name_ + QStringLiteral(":willDisappear"));
    }

private:
    QStringList* log_;
    QString name_;
};

class NavigationTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = new Window();
        root = new Recorder(&log, QStringLiteral("root"));
        nav = new NavigationController(root);
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
        waitUntil([&] { return log.contains(QStringLiteral("root:didAppear")); });
        log.clear();
    }
    void TearDown() override { delete window; }

    QStringList log;
    Window* window = nullptr;
    Recorder* root = nullptr;
    NavigationController* nav = nullptr;
};

TEST_F(NavigationTest, PushShowsTheScreenAndPopDestroysIt) {
    QPointer<ViewController> pushed = new Recorder(&log, QStringLiteral("a"));
    nav->pushViewController(pushed, true);
    ASSERT_TRUE(waitUntil([&] { return log.contains(QStringLiteral("a:didAppear")); }));
    EXPECT_EQ(nav->topViewController(), pushed.data());
    EXPECT_TRUE(pushed->isVisible());
    EXPECT_EQ(pushed->geometry(), nav->contentRect());
    EXPECT_EQ(nav->contentRect().top(), NavigationController::kBarHeight);
    EXPECT_EQ(log.mid(0, 4),
              (QStringList{"a:load", "root:willDisappear", "a:willAppear", "a:didAppear"}));
    log.clear();

    EXPECT_EQ(nav->popViewController(true), pushed.data());
    ASSERT_TRUE(waitUntil([&] { return pushed.isNull(); }));
    EXPECT_EQ(nav->viewControllers(), QList<ViewController*>{root});
    EXPECT_TRUE(log.contains(QStringLiteral("a:willDisappear")));
    EXPECT_TRUE(log.contains(QStringLiteral("root:didAppear")));
    // The root screen is never popped.
    EXPECT_EQ(nav->popViewController(false), nullptr);
    EXPECT_EQ(nav->topViewController(), root);
}

TEST_F(NavigationTest, ARequestOfAPoppedScreenNeverCallsBack) {
    FakeService service;
    FakeService::Reply slow = FakeService::Reply::json(R"({"result":"ok"})");
    slow.delayMs = 400;
    service.route("GET", "/slow", slow);

    auto* screen = new ViewController();
    nav->pushViewController(screen, false);
    bool called = false;
    auto* request = new HttpRequest(QUrl(service.baseUrl() + "/slow"), screen);
    request->setDidFinish([&](HttpRequest*) { called = true; });
    request->setDidFail([&](HttpRequest*) { called = true; });
    request->startAsynchronous();
    ASSERT_TRUE(service.waitForRequests(1));

    QPointer<HttpRequest> watch(request);
    nav->popViewController(false);
    // Gone with its screen, and silent even before the screen is actually deleted.
    testutil::spin(700);
    EXPECT_TRUE(watch.isNull());
    EXPECT_FALSE(called);
}

TEST_F(NavigationTest, ALeftoverNoticeIsTransparentWhenItsScreenAppearsAgain) {
    auto* screen = new ViewController();
    auto* notice = new NoticeView(screen);
    nav->pushViewController(screen, false);
    Timing::setSpeed(1);
    notice->showBDK(QStringLiteral("已加入书架"), QStringLiteral("read_refresh_yes"));
    notice->displayNotification();
    nav->pushViewController(new ViewController(), false);
    nav->popViewController(false);
    testutil::spin(60);
    EXPECT_DOUBLE_EQ(Animation::opacity(notice), 0.0);
    EXPECT_TRUE(notice->isAnimating());
    Timing::setSpeed(0);
}

TEST_F(NavigationTest, PopToAClassStopsAtTheFirstFoundFromTheBottom) {
    QPointer<ViewController> first1 = new FirstViewController();
    QPointer<ViewController> second = new SecondViewController();
    QPointer<ViewController> first2 = new FirstViewController();
    QPointer<ViewController> third = new ThirdViewController();
    for (ViewController* c : {first1.data(), second.data(), first2.data(), third.data()})
        nav->pushViewController(c, false);
    ASSERT_EQ(nav->viewControllers().size(), 5);

    EXPECT_TRUE(nav->popToFirstOfClass<FirstViewController>(true));
    ASSERT_TRUE(waitUntil([&] { return second.isNull() && first2.isNull() && third.isNull(); }));
    EXPECT_EQ(nav->topViewController(), first1.data());
    EXPECT_TRUE(first1->isVisible());

    // No screen of that class: nothing happens.
    EXPECT_FALSE(nav->popToFirstOfClass<ThirdViewController>(false));
    EXPECT_EQ(nav->viewControllers().size(), 2);

    nav->popToRootViewController(false);
    ASSERT_TRUE(waitUntil([&] { return first1.isNull(); }));
    EXPECT_EQ(nav->topViewController(), root);
}

TEST_F(NavigationTest, ModalScreensCoverTheWindowAndGoAwayWhenDismissed) {
    QPointer<ViewController> modal = new Recorder(&log, QStringLiteral("modal"));
    auto* modalNav = new NavigationController(modal);
    QPointer<NavigationController> watchNav(modalNav);
    root->presentModal(modalNav, true);
    ASSERT_TRUE(waitUntil([&] { return log.contains(QStringLiteral("modal:didAppear")); }));
    EXPECT_EQ(root->presentedViewController(), modalNav);
    EXPECT_EQ(modalNav->presentingViewController(), root);
    EXPECT_EQ(modalNav->parentWidget(), window);
    EXPECT_EQ(modalNav->geometry(), Window::applicationFrame());
    EXPECT_EQ(modal->navigationController(), modalNav);
    log.clear();

    // Dismissing from the presented screen's stack works as from the presenter.
    modalNav->dismissModal(true);
    ASSERT_TRUE(waitUntil([&] { return watchNav.isNull() && modal.isNull(); }));
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_TRUE(log.contains(QStringLiteral("root:didAppear")));
}

TEST(TabBarTest, TheTabBarHidesForAScreenPushedWithHidesBottomBarWhenPushed) {
    Window window;
    auto* tabs = new TabBarController();
    auto* nav1 = new NavigationController(new FirstViewController());
    nav1->setTabBarItem({QStringLiteral("书架"), QStringLiteral("public_tabbarBg_Icon_books"), 1});
    auto* nav2 = new NavigationController(new SecondViewController());
    nav2->setTabBarItem({QStringLiteral("推荐"), QStringLiteral("public_tabbarBg_Icon_recom"), 2});
    tabs->setViewControllers({nav1, nav2});
    window.setRootViewController(tabs);
    window.makeKeyAndVisible();
    const int full = Window::applicationFrame().height();

    EXPECT_EQ(tabs->selectedIndex(), 0);
    EXPECT_TRUE(tabs->tabBar()->isVisible());
    EXPECT_EQ(nav1->height(), full - TabBarController::kBarHeight);

    auto* detail = new ViewController();
    detail->setHidesBottomBarWhenPushed(true);
    nav1->pushViewController(detail, false);
    EXPECT_TRUE(tabs->isTabBarHidden());
    EXPECT_FALSE(tabs->tabBar()->isVisible());
    EXPECT_EQ(nav1->height(), full);

    // Another tab's screens keep the bar; coming back hides it again.
    tabs->setSelectedIndex(1);
    EXPECT_TRUE(tabs->tabBar()->isVisible());
    tabs->setSelectedIndex(0);
    EXPECT_FALSE(tabs->tabBar()->isVisible());

    // Tapping an item selects its tab.
    TabBar* bar = tabs->tabBar();
    const QPoint second = bar->itemRect(1).center();
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(second),
                        bar->mapToGlobal(QPointF(second)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    int selectedSignals = 0;
    QObject::connect(tabs, &TabBarController::didSelectViewController, tabs,
                     [&](ViewController* c) { selectedSignals += c == nav2 ? 1 : 100; });
    QCoreApplication::sendEvent(bar, &release);
    EXPECT_EQ(tabs->selectedIndex(), 1);
    EXPECT_EQ(selectedSignals, 1);
    EXPECT_TRUE(nav2->isVisible());
    EXPECT_FALSE(nav1->isVisible());
    tabs->setSelectedIndex(0);

    // A screen pushed without the flag over a list keeps the bar.
    nav1->popViewController(false);
    EXPECT_TRUE(tabs->tabBar()->isVisible());
    nav1->pushViewController(new ViewController(), false);
    EXPECT_TRUE(tabs->tabBar()->isVisible());
}

} // namespace
