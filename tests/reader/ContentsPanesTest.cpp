// Which pane of the table of contents shows, and how the panes sit on the screen's panel.
#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <gtest/gtest.h>

#include "reader/BookChapterAndMarkViewController.h"
#include "reader/BookChatperViewController.h"
#include "reader/BookMarkViewController.h"
#include "storage/BookDb.h"
#include "tests/reader/ReaderTestSupport.h"
#include "tests/support/TestUtil.h"
#include "widgets/SVSegmentedControl.h"

using namespace readertest;

namespace {

void tap(QWidget* widget, const QPoint& at) {
    const QPointF local(at);
    const QPointF global(widget->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

class ContentsPanesTest : public ReaderScreenTest {
protected:
    // A book of 12 chapters, 1…3 stored, its table of contents stored too, at chapter 2.
    BookChapterAndMarkViewController* openBook(const QString& bookId) {
        seedBook(bookId, 12, {1, 2, 3});
        BookDb().insertChapterMenu(bookId, menuAnswer(12));
        BookDb::waitForBackgroundWrites();
        return openContents(bookId, 2);
    }

    static bool onlyChapters(BookChapterAndMarkViewController* c) {
        return c->ChatperView()->isVisible() && !c->MarkView()->isVisible();
    }
    static bool onlyBookmarks(BookChapterAndMarkViewController* c) {
        return !c->ChatperView()->isVisible() && c->MarkView()->isVisible();
    }
};

TEST_F(ContentsPanesTest, TheSwitchShowsOnePaneAtATimeAndKeepsItAcrossAppearances) {
    BookChapterAndMarkViewController* contents = openBook(QStringLiteral("panes"));
    ASSERT_TRUE(contents->isVisible());
    EXPECT_TRUE(onlyChapters(contents));

    SVSegmentedControl* segments = contents->segmentedControl();
    tap(segments, segments->segmentRect(1).center());
    EXPECT_EQ(segments->selectedIndex(), 1);
    EXPECT_TRUE(onlyBookmarks(contents));
    ASSERT_NE(contents->MarkView()->emptyView(), nullptr);
    EXPECT_TRUE(contents->MarkView()->emptyView()->isVisible());

    // Another screen on top and back again: the bookmark pane is still the only one.
    nav->pushViewController(new ViewController(), false);
    testutil::spin(50);
    EXPECT_FALSE(contents->isVisible());
    nav->popViewController(false);
    testutil::spin(50);
    ASSERT_TRUE(contents->isVisible());
    EXPECT_TRUE(onlyBookmarks(contents));

    // The window hidden and shown again (the app leaving and coming back).
    window->hide();
    window->show();
    testutil::spin(50);
    EXPECT_TRUE(onlyBookmarks(contents));

    tap(segments, segments->segmentRect(0).center());
    EXPECT_EQ(segments->selectedIndex(), 0);
    EXPECT_TRUE(onlyChapters(contents));
}

TEST_F(ContentsPanesTest, PanesLieOnThePanelWithoutAScrollBar) {
    BookChapterAndMarkViewController* contents = openBook(QStringLiteral("look"));
    QListWidget* table = contents->ChatperView()->tableView();
    ASSERT_EQ(table->count(), 12);
    EXPECT_FALSE(table->verticalScrollBar()->isVisible());

    // A spot in the first row (chapter 1, not the current one) left of its icon: in a grab of
    // the whole window, as screenshots are taken, it must look exactly as the panel does with
    // the pane hidden.
    const QRect row = table->visualItemRect(table->item(0));
    const QPoint spot = table->viewport()->mapTo(window, QPoint(row.left() + 3, row.center().y()));
    const QImage shown = window->grab().toImage();
    contents->ChatperView()->hide();
    const QImage bare = window->grab().toImage();
    contents->ChatperView()->show();
    EXPECT_EQ(shown.pixelColor(spot), bare.pixelColor(spot))
        << "row " << qPrintable(shown.pixelColor(spot).name()) << " panel "
        << qPrintable(bare.pixelColor(spot).name());

    // The current chapter's row stands out in blue.
    const QRect current = table->visualItemRect(table->item(1));
    const QPoint inCurrent =
        table->viewport()->mapTo(window, QPoint(current.left() + 3, current.center().y()));
    EXPECT_EQ(shown.pixelColor(inCurrent), QColor(0, 122, 255));

    // The bookmark pane's empty state, below its hint, is the bare panel too; nothing of an
    // earlier picture may show through it.
    contents->segmentedControlChangedValue(1);
    BookMarkViewController* marks = contents->MarkView();
    const QPoint below = marks->mapTo(window, QPoint(20, 300));
    const QImage withHint = window->grab().toImage();
    marks->hide();
    const QImage panel = window->grab().toImage();
    marks->show();
    EXPECT_EQ(withHint.pixelColor(below), panel.pixelColor(below))
        << "pane " << qPrintable(withHint.pixelColor(below).name()) << " panel "
        << qPrintable(panel.pixelColor(below).name());
}

} // namespace
