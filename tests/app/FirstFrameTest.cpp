#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include "app/FirstFrame.h"
#include "app/Thumbnail.h"
#include "tests/support/TestUtil.h"

TEST(FirstFrameTest, ProcessAgeCountsMillisecondsSinceTheProcessStarted) {
    const qint64 first = FirstFrame::msSinceProcessStart();
    ASSERT_GE(first, 0);
    QElapsedTimer clock;
    clock.start();
    testutil::spin(150);
    const qint64 second = FirstFrame::msSinceProcessStart();
    // Milliseconds, not clock ticks or seconds: the two clocks agree on the time that passed.
    EXPECT_NEAR(double(second - first), double(clock.elapsed()), 25.0);
}

TEST(FirstFrameTest, ReportsOnceWhenTheWidgetIsFirstDrawn) {
    QWidget widget;
    widget.resize(100, 100);
    int calls = 0;
    qint64 reported = -1;
    auto* watcher = new FirstFrame(&widget, [&](qint64 ms) {
        ++calls;
        reported = ms;
    });
    testutil::spin(100);
    EXPECT_EQ(calls, 0) << "nothing was drawn yet";

    const qint64 shownAt = FirstFrame::msSinceProcessStart();
    widget.show();
    ASSERT_TRUE(testutil::waitUntil([&] { return calls > 0; }));
    EXPECT_TRUE(watcher->hasReported());
    EXPECT_GE(reported, shownAt);

    widget.repaint();
    widget.update();
    testutil::spin(100);
    EXPECT_EQ(calls, 1) << "later frames are not first frames";
    delete watcher;
}

TEST(FirstFrameTest, AGoneWatcherNeverCallsAndTheCallbackMayDestroyIt) {
    QWidget widget;
    widget.resize(100, 100);
    widget.show();
    ASSERT_TRUE(testutil::waitUntil([&] { return widget.isVisible(); }));

    // Destroyed between the paint and the report that follows it.
    int calls = 0;
    auto* gone = new FirstFrame(&widget, [&](qint64) { ++calls; });
    widget.repaint();
    delete gone;
    testutil::spin(100);
    EXPECT_EQ(calls, 0);

    // The callback ends the watcher's owner, as quitting the application does.
    auto* owner = new QObject;
    bool reported = false;
    new FirstFrame(
        &widget,
        [&](qint64) {
            reported = true;
            delete owner;
        },
        owner);
    widget.repaint();
    EXPECT_TRUE(testutil::waitUntil([&] { return reported; }));
}

TEST(ThumbnailTest, WritesASmallOpaqueCopyWithTheSameProportions) {
    QTemporaryDir dir;
    QImage shot(640, 1136, QImage::Format_ARGB32);
    shot.fill(Qt::transparent);
    {
        QPainter p(&shot);
        p.fillRect(0, 0, 320, 1136, QColor(200, 40, 30));
        p.fillRect(320, 0, 320, 1136, QColor(30, 40, 200));
    }
    const QString source = dir.filePath(QStringLiteral("shot.png"));
    const QString target = dir.filePath(QStringLiteral("small.png"));
    ASSERT_TRUE(shot.save(source));

    QString error;
    ASSERT_TRUE(Thumbnail::write(source, target, 160, &error)) << qPrintable(error);
    const QImage small(target);
    ASSERT_FALSE(small.isNull());
    EXPECT_EQ(small.size(), QSize(160, 284));
    EXPECT_FALSE(small.hasAlphaChannel());
    EXPECT_EQ(QColor(small.pixel(20, 140)), QColor(200, 40, 30));
    EXPECT_EQ(QColor(small.pixel(140, 140)), QColor(30, 40, 200));
}

TEST(ThumbnailTest, AFailureSaysWhyAndLeavesTheTargetAlone) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("small.png"));
    QFile kept(target);
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("the last good picture");
    kept.close();

    QString error;
    const QString missing = dir.filePath(QStringLiteral("no-such-step.png"));
    EXPECT_FALSE(Thumbnail::write(missing, target, 160, &error));
    EXPECT_TRUE(error.contains(missing)) << qPrintable(error);

    QImage shot(64, 64, QImage::Format_RGB32);
    shot.fill(Qt::white);
    const QString source = dir.filePath(QStringLiteral("shot.png"));
    ASSERT_TRUE(shot.save(source));
    error.clear();
    EXPECT_FALSE(Thumbnail::write(source, target, 0, &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(
        Thumbnail::write(source, dir.filePath(QStringLiteral("no/such/dir/x.png")), 16, &error));
    EXPECT_FALSE(error.isEmpty());

    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("the last good picture"));
}
