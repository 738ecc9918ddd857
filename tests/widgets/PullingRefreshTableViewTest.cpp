#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <gtest/gtest.h>

#include "platform/Localizable.h"
#include "tests/support/TestUtil.h"
#include "widgets/PullLoadingView.h"
#include "widgets/PullingRefreshTableView.h"

namespace {

struct CountingDelegate : PullingRefreshTableViewDelegate {
    int refreshes = 0;
    int loads = 0;
    void pullingTableViewDidStartRefreshing(PullingRefreshTableView*) override { ++refreshes; }
    void pullingTableViewDidStartLoading(PullingRefreshTableView*) override { ++loads; }
};

class PullingRefreshTableViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        table = std::make_unique<PullingRefreshTableView>(QRect(0, 0, 320, 480), &delegate);
        setRows(20); // 20 × 73 = 1460 points of content
        table->show();
        testutil::waitUntil([this] { return table->contentHeight() == 20 * 73; });
    }

    void setRows(int rows) {
        table->setRowCount(rows);
        for (int i = 0; i < rows; ++i)
            table->setRowHeight(i, 73);
    }

    // Pulls and lets go, as a finger would.
    void pullTo(double y) {
        table->setContentOffsetY(y);
        table->tableViewDidScroll();
        table->tableViewDidEndDragging();
    }

    double endOffset() const { return table->contentHeight() - table->height(); }
    int headerState() const { return table->headerView()->state(); }
    int footerState() const { return table->footerView()->state(); }
    // How much of the header shows above the content.
    int headerShown() const { return table->headerView()->geometry().bottom() + 1; }

    CountingDelegate delegate;
    std::unique_ptr<PullingRefreshTableView> table;
};

TEST_F(PullingRefreshTableViewTest, PullDownPastSixtyRefreshesAndKeepsHeaderUntilFinished) {
    pullTo(-59);
    EXPECT_EQ(headerState(), PullLoadingView::Normal);
    EXPECT_EQ(delegate.refreshes, 0);
    EXPECT_EQ(table->headerView()->stateText(), QStringLiteral("下拉刷新"));

    table->setContentOffsetY(-61);
    EXPECT_EQ(headerState(), PullLoadingView::Pulling);
    EXPECT_EQ(table->headerView()->stateText(), L("释放刷新"));
    table->tableViewDidEndDragging();
    EXPECT_EQ(delegate.refreshes, 1);
    EXPECT_EQ(headerState(), PullLoadingView::Loading);
    EXPECT_TRUE(table->headerView()->spinnerVisible());
    EXPECT_FALSE(table->headerView()->arrowVisible());
    EXPECT_EQ(table->contentInsetTop(), 60);

    testutil::spin(50);
    EXPECT_GE(headerShown(), 60) << "the header stays in view while refreshing";
    EXPECT_EQ(table->viewport()->y(), headerShown()) << "the rows move down under the header";
    EXPECT_EQ(headerState(), PullLoadingView::Loading);

    table->tableViewDidFinishedLoading();
    EXPECT_EQ(headerState(), PullLoadingView::Normal);
    EXPECT_FALSE(table->headerView()->loading());
    EXPECT_EQ(table->contentInsetTop(), 0);
    EXPECT_LE(headerShown(), 0);
    testutil::spin(20);
    EXPECT_EQ(table->viewport()->y(), 0);
    EXPECT_TRUE(table->headerView()->dateText().startsWith(L("最后更新") + QStringLiteral(": ")));
}

TEST_F(PullingRefreshTableViewTest, OneRefreshAtATimeAndNoLoadDuringIt) {
    table->launchRefreshing();
    table->launchRefreshing();
    EXPECT_EQ(delegate.refreshes, 1);
    EXPECT_EQ(headerState(), PullLoadingView::Loading);
    pullTo(endOffset() + 100);
    EXPECT_EQ(footerState(), PullLoadingView::Normal);
    EXPECT_EQ(delegate.loads, 0);
    // A second pull-down while refreshing is ignored too.
    pullTo(-100);
    EXPECT_EQ(delegate.refreshes, 1);
}

TEST_F(PullingRefreshTableViewTest, PullUpPastTheEndLoadsTheNextPage) {
    table->setContentOffsetY(endOffset() + 30);
    EXPECT_EQ(footerState(), PullLoadingView::Normal);
    table->setContentOffsetY(endOffset() + 61);
    EXPECT_EQ(footerState(), PullLoadingView::Pulling);
    EXPECT_EQ(table->footerView()->stateText(), L("释放加载更多"));
    table->tableViewDidEndDragging();
    EXPECT_EQ(delegate.loads, 1);
    EXPECT_TRUE(table->isFooterInAction());
    EXPECT_EQ(table->footerView()->stateText(), L("正在加载"));
    EXPECT_EQ(table->contentInsetBottom(), 60);

    setRows(31);
    table->tableViewDidFinishedLoading();
    testutil::spin(50); // the table lays its rows out on the next turn of the event loop
    EXPECT_EQ(footerState(), PullLoadingView::Normal);
    EXPECT_EQ(table->footerView()->stateText(), QStringLiteral("上拉加载更多"));
    // The footer stays directly under the grown content.
    const int contentTop = table->headerView()->geometry().bottom() + 1;
    EXPECT_EQ(table->footerView()->y(), contentTop + 31 * 73);
}

TEST_F(PullingRefreshTableViewTest, ReachedTheEndAndHeaderOnlyBlockLoading) {
    table->setReachedTheEnd(true);
    EXPECT_EQ(table->footerView()->stateText(), QStringLiteral("没有了哦"));
    pullTo(endOffset() + 100);
    EXPECT_EQ(footerState(), PullLoadingView::ReachedTheEnd);
    EXPECT_EQ(delegate.loads, 0);

    table->setReachedTheEnd(false);
    EXPECT_EQ(footerState(), PullLoadingView::Normal);
    pullTo(endOffset() + 100);
    EXPECT_EQ(delegate.loads, 1);
    // Told of the end while the load runs, the footer still says so when it finishes.
    table->setReachedTheEnd(true);
    table->tableViewDidFinishedLoading();
    EXPECT_EQ(table->footerView()->stateText(), QStringLiteral("没有了哦"));

    // A list with a header only never loads.
    table->setReachedTheEnd(false);
    table->setHeaderOnly(true);
    EXPECT_FALSE(table->footerView()->isVisible());
    pullTo(endOffset() + 100);
    EXPECT_EQ(delegate.loads, 1);
}

TEST_F(PullingRefreshTableViewTest, MessageSlidesInOnlyWhenNotEmpty) {
    pullTo(endOffset() + 100);
    ASSERT_EQ(delegate.loads, 1);
    table->tableViewDidFinishedLoadingWithMessage(QString());
    EXPECT_EQ(table->msgLabel(), nullptr);

    pullTo(endOffset() + 100);
    ASSERT_EQ(delegate.loads, 2);
    table->tableViewDidFinishedLoadingWithMessage(QStringLiteral("没有了"));
    ASSERT_NE(table->msgLabel(), nullptr);
    EXPECT_EQ(table->msgLabel()->text(), QStringLiteral("没有了"));
    EXPECT_TRUE(testutil::waitUntil([this] { return table->msgLabel() == nullptr; }));

    // Finishing when nothing runs shows nothing.
    table->tableViewDidFinishedLoadingWithMessage(QStringLiteral("没有了"));
    EXPECT_EQ(table->msgLabel(), nullptr);
}

TEST_F(PullingRefreshTableViewTest, AutoScrollShowsTheNextPageAfterALoad) {
    table->setAutoScrollToNextPage(true);
    pullTo(endOffset() + 100);
    ASSERT_TRUE(table->isFooterInAction());
    const double before = table->contentOffsetY();
    setRows(40);
    testutil::spin(50);
    EXPECT_FALSE(table->isFooterInAction());
    EXPECT_NEAR(table->contentOffsetY(), before + table->viewport()->height(), 1);
}

TEST_F(PullingRefreshTableViewTest, ShortListKeepsFooterBelowTheTable) {
    setRows(2);
    testutil::waitUntil([this] { return table->contentHeight() == 2 * 73; });
    table->setContentOffsetY(0);
    EXPECT_EQ(table->footerView()->y(), table->height());
}

TEST(PullLoadingViewText, LastUpdateDayWords) {
    const QDateTime now(QDate(2026, 3, 10), QTime(8, 30));
    auto text = [&](const QDateTime& t) { return PullLoadingView::refreshDateText(t, now); };
    EXPECT_EQ(text(QDateTime(QDate(2026, 3, 10), QTime(7, 5))), L("今天") + " 07:05");
    EXPECT_EQ(text(QDateTime(QDate(2026, 3, 9), QTime(12, 0))), L("昨天") + " 12:00");
    // Last night is yesterday even though fewer than 24 hours have passed.
    EXPECT_EQ(text(QDateTime(QDate(2026, 3, 9), QTime(23, 0))), L("昨天") + " 23:00");
    EXPECT_EQ(text(QDateTime(QDate(2026, 3, 8), QTime(9, 15))), L("前天") + " 09:15");
    EXPECT_EQ(text(QDateTime(QDate(2026, 3, 7), QTime(9, 15))), QStringLiteral("2026-03-07 09:15"));
    EXPECT_EQ(text(QDateTime(QDate(2026, 3, 10), QTime(9, 0))), L("今天") + " 09:00");
    EXPECT_EQ(text(QDateTime(QDate(2025, 3, 10), QTime(9, 0))), QStringLiteral("2025-03-10 09:00"));
}

void mouse(QWidget* w, QEvent::Type type, const QPoint& pos) {
    QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

TEST_F(PullingRefreshTableViewTest, AMouseDragPullsTheListLikeAFinger) {
    QWidget* viewport = table->viewport();
    mouse(viewport, QEvent::MouseButtonPress, QPoint(160, 20));
    for (int y = 20; y <= 420; y += 20) {
        testutil::spin(15);
        mouse(viewport, QEvent::MouseMove, QPoint(160, y));
    }
    testutil::spin(15);
    EXPECT_LT(table->contentOffsetY(), -60);
    EXPECT_EQ(headerState(), PullLoadingView::Pulling);
    mouse(viewport, QEvent::MouseButtonRelease, QPoint(160, 420));
    ASSERT_TRUE(testutil::waitUntil([this] { return delegate.refreshes == 1; }, 3000));
    EXPECT_EQ(headerState(), PullLoadingView::Loading);
    // The list settles with the header in view.
    testutil::waitUntil([this] { return table->contentOffsetY() >= -60.5; }, 3000);
    EXPECT_NEAR(table->contentOffsetY(), -60, 1);
}

TEST_F(PullingRefreshTableViewTest, ASidewaysDragIsTheRowsAndTheNextTapIsATap) {
    QList<std::pair<int, int>> swipes;
    QObject::connect(table.get(), &PullingRefreshTableView::rowSwiped, [&swipes](int row, int dx) {
        swipes.append({row, dx});
    });
    int clicked = -1;
    QObject::connect(table.get(), &QTableWidget::cellClicked,
                     [&clicked](int row, int) { clicked = row; });
    QWidget* viewport = table->viewport();

    // Leftwards across the third row, drifting a little down: the list does not move.
    mouse(viewport, QEvent::MouseButtonPress, QPoint(300, 2 * 73 + 30));
    for (int x = 280; x >= 100; x -= 20) {
        testutil::spin(15);
        mouse(viewport, QEvent::MouseMove, QPoint(x, 2 * 73 + 30 + (300 - x) / 20));
        EXPECT_EQ(table->contentOffsetY(), 0) << x;
    }
    testutil::spin(15);
    mouse(viewport, QEvent::MouseButtonRelease, QPoint(100, 2 * 73 + 40));
    testutil::spin(30);
    ASSERT_EQ(swipes.size(), 1);
    EXPECT_EQ(swipes.first().first, 2);
    EXPECT_LE(swipes.first().second, -150);
    EXPECT_EQ(clicked, -1) << "a swipe is not a tap";
    EXPECT_EQ(table->contentOffsetY(), 0);
    EXPECT_EQ(delegate.refreshes + delegate.loads, 0);

    mouse(viewport, QEvent::MouseButtonPress, QPoint(160, 4 * 73 + 30));
    mouse(viewport, QEvent::MouseButtonRelease, QPoint(160, 4 * 73 + 30));
    ASSERT_TRUE(testutil::waitUntil([&] { return clicked == 4; }, 2000));
    EXPECT_EQ(swipes.size(), 1);
}

} // namespace
