// Taps, swipes and long presses from mouse events.
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/ui/GestureRecognizer.h"
#include "tests/support/TestUtil.h"

namespace {

void mouse(QWidget* w, QEvent::Type type, QPoint at) {
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void drag(QWidget* w, QPoint from, QPoint to) {
    mouse(w, QEvent::MouseButtonPress, from);
    mouse(w, QEvent::MouseMove, (from + to) / 2);
    mouse(w, QEvent::MouseButtonRelease, to);
}

using Kind = GestureRecognizer::Kind;

TEST(GestureRecognizerTest, EachKindFiresOnlyForItsOwnMovement) {
    QWidget view;
    view.resize(320, 480);
    QStringList seen;
    const QList<QPair<Kind, QString>> kinds{{Kind::Tap, "tap"},
                                            {Kind::SwipeLeft, "left"},
                                            {Kind::SwipeRight, "right"},
                                            {Kind::SwipeUp, "up"},
                                            {Kind::SwipeDown, "down"}};
    for (const auto& [kind, name] : kinds) {
        GestureRecognizer::add(&view, kind, &view,
                               [&seen, name = name](QPoint) { seen.append(name); });
    }
    drag(&view, {100, 100}, {104, 103});
    drag(&view, {200, 100}, {120, 110});
    drag(&view, {100, 100}, {180, 90});
    drag(&view, {100, 300}, {110, 200});
    drag(&view, {100, 100}, {95, 200});
    // Too short for a swipe, too long for a tap.
    drag(&view, {100, 100}, {120, 100});
    EXPECT_EQ(seen, (QStringList{"tap", "left", "right", "up", "down"}));
}

TEST(GestureRecognizerTest, ALongPressFiresOnceWhileHeldAndGivesWhereItBegan) {
    QWidget view;
    view.resize(320, 480);
    QList<QPoint> longPresses;
    int taps = 0;
    GestureRecognizer::add(&view, Kind::LongPress, &view,
                           [&](QPoint at) { longPresses.append(at); });
    GestureRecognizer::add(&view, Kind::Tap, &view, [&](QPoint) { ++taps; });
    mouse(&view, QEvent::MouseButtonPress, {40, 60});
    ASSERT_TRUE(testutil::waitUntil([&] { return !longPresses.isEmpty(); }));
    mouse(&view, QEvent::MouseButtonRelease, {40, 60});
    EXPECT_EQ(longPresses, QList<QPoint>{QPoint(40, 60)});
    // A short press and release is no long press.
    mouse(&view, QEvent::MouseButtonPress, {10, 10});
    mouse(&view, QEvent::MouseButtonRelease, {10, 10});
    testutil::spin(30);
    EXPECT_EQ(longPresses.size(), 1);
    EXPECT_EQ(taps, 2);

    // A receiver that is gone is not called.
    auto* receiver = new QObject();
    bool called = false;
    GestureRecognizer::add(&view, Kind::Tap, receiver, [&](QPoint) { called = true; });
    delete receiver;
    drag(&view, {5, 5}, {5, 5});
    EXPECT_FALSE(called);
}

} // namespace
