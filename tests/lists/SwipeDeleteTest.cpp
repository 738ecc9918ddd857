// Swiping a row of an account list, with the mouse driven through the window as a finger.
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

#include "account/ReadRecordViewController.h"
#include "catalog/RecommendCell.h"
#include "tests/lists/ListsFixture.h"
#include "widgets/EGOImageButton.h"
#include "widgets/PullLoadingView.h"

using namespace liststest;

namespace {

const QString kRecords = QStringLiteral("/data/getreadlog");
const QString kRemoveRecord = QStringLiteral("/site/removeReadrecord");

class SwipeDeleteTest : public ListsTest {
protected:
    ReadRecordViewController* openRecords(int total) {
        routePages(kRecords, [total](int n) { return recordPage(n, total); });
        routeJson(kRemoveRecord, R"({"result":"ok"})");
        auto* records = open<ReadRecordViewController>(kRecords);
        EXPECT_EQ(records->itemCount(), total);
        return records;
    }

    // A mouse event as the window system delivers it: to the window, which finds the widget
    // under the pointer (or the one holding the press) itself.
    static void send(QWidget* in, QEvent::Type type, QPoint at) {
        QWidget* top = in->window();
        const QPoint pos = in->mapTo(top, at);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons buttons =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(pos), QPointF(pos), QPointF(top->mapToGlobal(pos)), button,
                          buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(top->windowHandle(), &event);
    }

    // Presses at from, moves in steps to to and lets go, as a finger does.
    static void drag(QWidget* in, QPoint from, QPoint to, int steps = 10) {
        send(in, QEvent::MouseButtonPress, from);
        for (int i = 1; i <= steps; ++i) {
            testutil::spin(15);
            send(in, QEvent::MouseMove, from + (to - from) * i / steps);
        }
        testutil::spin(15);
        send(in, QEvent::MouseButtonRelease, to);
        testutil::spin(30);
    }
    static void tap(QWidget* w) {
        send(w, QEvent::MouseButtonPress, w->rect().center());
        send(w, QEvent::MouseButtonRelease, w->rect().center());
        testutil::spin(30);
    }

    static QList<int> ids(const ReadRecordViewController* records) {
        QList<int> out;
        for (const MyBookList& b : records->arrListRecords())
            out << b.myId().toInt();
        return out;
    }
};

TEST_F(SwipeDeleteTest, ASwipeToTheLeftRevealsDeleteAndItsTapRemovesTheRecord) {
    auto* records = openRecords(3);
    PullingRefreshTableView* table = records->tableView();
    EditableRowView* row = records->rowView(1);
    ASSERT_NE(row, nullptr);
    const int y = row->height() / 2;

    drag(row, QPoint(row->width() - 30, y), QPoint(row->width() - 190, y + 6));
    EXPECT_TRUE(row->isDeleteShown());
    EXPECT_TRUE(row->deleteButton()->isVisible());
    EXPECT_FALSE(records->rowView(0)->isDeleteShown());
    EXPECT_FALSE(records->rowView(2)->isDeleteShown());
    EXPECT_EQ(table->contentOffsetY(), 0) << "a sideways drag does not scroll the list";
    EXPECT_EQ(nav->topViewController(), records) << "nor opens the book";

    // Swiping back to the right hides it; swiping left again shows it.
    drag(row, QPoint(60, y), QPoint(220, y));
    EXPECT_FALSE(row->isDeleteShown());
    drag(row, QPoint(row->width() - 30, y), QPoint(row->width() - 190, y));
    ASSERT_TRUE(row->isDeleteShown());

    tap(row->deleteButton());
    ASSERT_TRUE(waitUntil([&] { return records->itemCount() == 2; }));
    EXPECT_EQ(ids(records), (QList<int>{1, 3}));
    ASSERT_TRUE(removalAnswered(records, kRemoveRecord, 1));
    ASSERT_EQ(service.requests(kRemoveRecord).size(), 1);
    EXPECT_EQ(service.requests(kRemoveRecord).first().queryValue("book_id"), "2");
    testutil::spin(100);
    EXPECT_EQ(ids(records), (QList<int>{1, 3}));
}

TEST_F(SwipeDeleteTest, AVerticalDragStillScrollsAndPullsTheList) {
    auto* records = openRecords(11);
    PullingRefreshTableView* table = records->tableView();
    ASSERT_GT(table->contentHeight(), table->height());
    // Up from a row's cover, slightly askew: the list scrolls, the cover lets go without opening
    // the book and no row offers its delete button.
    EGOImageButton* cover = records->cell(4)->imagePhoto();
    const QPoint start = cover->rect().center();
    drag(cover, start, start + QPoint(-20, -160));
    EXPECT_GT(table->contentOffsetY(), 60);
    EXPECT_FALSE(cover->isDown());
    for (int i = 0; i < records->itemCount(); ++i)
        EXPECT_FALSE(records->rowView(i)->isDeleteShown()) << i;
    EXPECT_EQ(nav->topViewController(), records);

    // Back to the top and further down: a pull that refreshes.
    table->setContentOffsetY(0);
    QWidget* first = records->rowView(0);
    drag(first, QPoint(first->width() / 2, 10), QPoint(first->width() / 2 + 15, 330), 16);
    ASSERT_TRUE(settled(records, kRecords, 2));
    EXPECT_TRUE(service.requests(kRemoveRecord).isEmpty());
    EXPECT_EQ(nav->topViewController(), records);
}

} // namespace
