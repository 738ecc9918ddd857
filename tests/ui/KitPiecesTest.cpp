// Small pieces of the kit that everything else leans on: animations over the speed factor,
// images stretched with caps, and the navigation bar's effect on the screen's room.
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/Timing.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/StretchableImage.h"
#include "platform/ui/Window.h"
#include "tests/support/TestUtil.h"

namespace {

TEST(AnimationTest, AtSpeedZeroValuesLandAtOnceAndHandlersRunLaterInOrder) {
    ASSERT_EQ(Timing::speed(), 0.0);
    QWidget a, b;
    QStringList order;
    Animation::animate(&a, "pos", QPoint(10, 20), 400, [&] { order.append("a"); });
    Animation::animate(&b, "pos", QPoint(5, 5), 100, [&] { order.append("b"); });
    EXPECT_EQ(a.pos(), QPoint(10, 20));
    EXPECT_EQ(b.pos(), QPoint(5, 5));
    EXPECT_TRUE(order.isEmpty()); // never inside the caller
    ASSERT_TRUE(testutil::waitUntil([&] { return order.size() == 2; }));
    EXPECT_EQ(order, (QStringList{"a", "b"}));

    // A handler whose widget went away does not run.
    bool ran = false;
    auto* gone = new QWidget();
    Animation::fade(gone, 0.0, 200, [&] { ran = true; });
    delete gone;
    testutil::spin(50);
    EXPECT_FALSE(ran);
}

TEST(AnimationTest, ARunningAnimationReplacedFinishesItsHandlerFirst) {
    Timing::setSpeed(1);
    QWidget w;
    QStringList order;
    Animation::animate(&w, "pos", QPoint(100, 0), 5000, [&] { order.append("first"); });
    Animation::animate(&w, "pos", QPoint(0, 50), 10, [&] { order.append("second"); });
    Timing::setSpeed(0);
    ASSERT_TRUE(testutil::waitUntil([&] { return order.size() == 2; }, 3000));
    EXPECT_EQ(order, (QStringList{"first", "second"}));
    EXPECT_EQ(w.pos(), QPoint(0, 50));
}

TEST(StretchableImageTest, CapsKeepTheirSizeAndOnlyTheMiddleStretches) {
    QImage source(30, 10, QImage::Format_ARGB32);
    source.fill(Qt::green);
    QPainter sp(&source);
    sp.fillRect(0, 0, 10, 10, Qt::red);
    sp.fillRect(20, 0, 10, 10, Qt::blue);
    sp.end();

    QImage target(200, 10, QImage::Format_ARGB32);
    target.fill(Qt::black);
    QPainter p(&target);
    StretchableImage(QPixmap::fromImage(source), QMargins(10, 0, 10, 0)).draw(p, target.rect());
    p.end();
    EXPECT_EQ(QColor(target.pixel(8, 5)), QColor(Qt::red));
    EXPECT_EQ(QColor(target.pixel(12, 5)), QColor(Qt::green));
    EXPECT_EQ(QColor(target.pixel(187, 5)), QColor(Qt::green));
    EXPECT_EQ(QColor(target.pixel(192, 5)), QColor(Qt::blue));

    // The classic left/top cap form leaves one middle pixel.
    const StretchableImage classic =
        StretchableImage::withLeftCapTopCap(QPixmap::fromImage(source), 12, 4);
    EXPECT_EQ(classic.caps(), QMargins(12, 4, 17, 5));
}

TEST(NavigationBarTest, AHiddenOrTranslucentBarGivesTheScreenTheWholeHeight) {
    Window window;
    auto* root = new ViewController();
    root->setTitle(QStringLiteral("书架"));
    auto* nav = new NavigationController(root);
    window.setRootViewController(nav);
    window.makeKeyAndVisible();
    const int h = Window::applicationFrame().height();
    EXPECT_EQ(root->geometry(), QRect(0, 44, 320, h - 44));
    EXPECT_EQ(nav->navigationBar()->titleText(), QStringLiteral("书架"));
    EXPECT_FALSE(nav->navigationBar()->backButton()->isVisible());

    nav->setNavigationBarTranslucent(true);
    EXPECT_EQ(root->geometry(), QRect(0, 0, 320, h));
    nav->setNavigationBarTranslucent(false);
    nav->setNavigationBarHidden(true, true);
    EXPECT_EQ(root->geometry(), QRect(0, 0, 320, h));
    ASSERT_TRUE(testutil::waitUntil([&] { return nav->navigationBar()->isHidden(); }));
    nav->setToolbarHidden(false, false);
    EXPECT_EQ(root->height(), h - 44);
    EXPECT_TRUE(nav->toolbar()->isVisible());
    nav->setNavigationBarHidden(false, false);
    EXPECT_EQ(root->geometry(), QRect(0, 44, 320, h - 88));

    // A pushed screen gets a back button unless it hides it or brings its own.
    auto* next = new ViewController();
    next->setTitle(QStringLiteral("详情"));
    nav->pushViewController(next, false);
    EXPECT_EQ(nav->navigationBar()->titleText(), QStringLiteral("详情"));
    EXPECT_TRUE(nav->navigationBar()->backButton()->isVisible());
    next->setHidesBackButton(true);
    EXPECT_FALSE(nav->navigationBar()->backButton()->isVisible());
}

} // namespace
