// The table of contents and bookmarks, which of its panes shows and how the panes sit on the
// screen's panel, and the three reading-control popovers.
#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSlider>
#include <gtest/gtest.h>

#include "platform/Localizable.h"
#include "platform/UserDefaults.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Button.h"
#include "reader/BookChapterAndMarkViewController.h"
#include "reader/BookChatperViewController.h"
#include "reader/BookMarkViewController.h"
#include "reader/BtnSetFontsizeViewController.h"
#include "reader/BtnSetLightViewController.h"
#include "reader/JumpToViewController.h"
#include "reader/ReaderControlsDelegate.h"
#include "storage/BookDb.h"
#include "app/tooles.h"
#include "tests/reader/ReaderTestSupport.h"
#include "tests/support/TestUtil.h"
#include "widgets/SVSegmentedControl.h"

using namespace readertest;

namespace {

class RecordingDelegate final : public ReaderControlsDelegate {
public:
    QList<double> sizes;
    QStringList luminance;
    QStringList plans;
    void changeFontSize(double size) override { sizes.append(size); }
    void changeLuminance(const QString& value) override { luminance.append(value); }
    void changePlan(const QString& chapter) override { plans.append(chapter); }
};

class ContentsTest : public ReaderScreenTest {};

// The table of contents fetches its menu once and keeps it. A tap on a chapter not stored
// fetches a run that begins with the chapter itself and opens it; answers that cannot be used
// leave the contents open, with a notice where one is due.
TEST_F(ContentsTest, MissingChaptersAreFetchedFromThemselvesAndOpened) {
    seedBook(QStringLiteral("toc"), 100, {50, 51});
    service->route(QStringLiteral("GET"), QStringLiteral("/data/menu"),
                   FakeService::Reply::json(QJsonDocument::fromVariant(menuAnswer(100)).toJson()));
    BookChapterAndMarkViewController* contents = openContents(QStringLiteral("toc"), 50);
    BookChatperViewController* pane = contents->ChatperView();
    ASSERT_TRUE(testutil::waitUntil([&] { return pane->tableView()->count() == 100; }));
    EXPECT_EQ(service->requests(QStringLiteral("/data/menu")).size(), 1);
    // Rows tell the stored chapters (50 and 51) from the others.
    QString stored;
    for (const QVariant& row : pane->chapterList)
        stored += row.toMap().value(QStringLiteral("downstatus")).toString();
    EXPECT_EQ(stored, QString(49, QLatin1Char('0')) + QStringLiteral("11") +
                          QString(49, QLatin1Char('0')));

    const auto tapEnds = [&](const FakeService::Reply& reply, const QString& notice) {
        serveContent(reply);
        service->clearRequests();
        pane->didSelectRow(4);
        EXPECT_TRUE(testutil::waitUntil([] { return !askedRuns().isEmpty(); }));
        testutil::spin(300);
        EXPECT_EQ(topReader(), nullptr);
        EXPECT_EQ(nav->topViewController(), contents);
        EXPECT_TRUE(window->findChildren<ProgressHUD*>().isEmpty());
        QString shown;
        for (NoticeView* n : pane->findChildren<NoticeView*>())
            shown = n->text();
        EXPECT_EQ(shown, notice);
        for (NoticeView* n : pane->findChildren<NoticeView*>())
            n->showBDK(QString(), QStringLiteral("read_refresh_no"));
    };
    tapEnds(FakeService::Reply::json(R"({"result":"error","msg":"no"})"), QString());
    tapEnds(FakeService::Reply::json(R"({"result":"ok","chapters":null})"),
            QStringLiteral("服务器返回错误"));
    tapEnds(FakeService::Reply::dropped(), L("The network is not good"));
    EXPECT_FALSE(BookDb().isExistsInChapter(QStringLiteral("toc"), 5));

    const auto opens = [&](int row, const QString& run) {
        serveContent();
        service->clearRequests();
        pane->didSelectRow(row);
        ASSERT_TRUE(testutil::waitUntil([&] { return topReader() != nullptr; }));
        ReadbooksViewController* reader = track(topReader());
        EXPECT_EQ(askedRuns(), QStringList{run});
        EXPECT_EQ(reader->current_chapter_id, row + 1);
        EXPECT_EQ(reader->currentPage, 1);
        // Closing a reader that is still measuring its page is not safe: wait until it shows.
        ASSERT_TRUE(waitForLayouts(reader, 1));
        EXPECT_EQ(reader->titleLabel()->text(), QStringLiteral("第%1章").arg(row + 1));
    };
    opens(0, QStringLiteral("1,2,3,4,5,6,7,8,9,10"));

    // The menu is stored now: a second table of contents asks the service for nothing.
    BookDb::waitForBackgroundWrites();
    service->clearRequests();
    nav->popToRootViewController(false);
    contents = openContents(QStringLiteral("toc"), 1);
    pane = contents->ChatperView();
    EXPECT_EQ(pane->tableView()->count(), 100);
    testutil::spin(200);
    EXPECT_TRUE(service->requests(QStringLiteral("/data/menu")).isEmpty());
    service->removeRoute(QStringLiteral("GET"), QStringLiteral("/data/menu"));
    opens(24, QStringLiteral("25,26,27,28,29,30,31,32,33,34"));
}

// A bookmark belongs to the page it was set on; from the bookmark pane it opens that page, and
// deleting the last one leaves the empty hint.
TEST_F(ContentsTest, BookmarksSetOnAPageOpenThereAndTheLastOneLeavesTheHint) {
    seedBook(QStringLiteral("marks"), 10, {3}, 6);
    ReadbooksViewController* r = open(QStringLiteral("marks"), 3, 5);
    EXPECT_FALSE(r->isMarked());
    r->action(4);
    EXPECT_TRUE(r->isMarked());
    EXPECT_TRUE(r->viewBookMark()->isVisible());
    EXPECT_EQ(r->notice()->text(), QStringLiteral("添加书签成功"));
    const QVariantList stored = BookDb().selectAllMarkByBookId(QStringLiteral("marks"));
    ASSERT_EQ(stored.size(), 1);
    const QVariantMap mark = stored.first().toMap();
    EXPECT_EQ(mark.value(QStringLiteral("page_id")).toString(), QStringLiteral("5"));
    EXPECT_EQ(mark.value(QStringLiteral("title")).toString(), QStringLiteral("第3章"));
    // Another page of the chapter is not marked.
    r->upPage();
    EXPECT_FALSE(r->viewBookMark()->isVisible());
    r->downPage();
    EXPECT_TRUE(r->viewBookMark()->isVisible());
    ASSERT_TRUE(settle(r));
    r->action(4);
    EXPECT_FALSE(r->isMarked());
    EXPECT_EQ(r->notice()->text(), QStringLiteral("书签清除成功"));
    ASSERT_TRUE(testutil::waitUntil([&] { return !r->viewBookMark()->isVisible(); }));
    EXPECT_TRUE(BookDb().selectAllMarkByBookId(QStringLiteral("marks")).isEmpty());
    ASSERT_TRUE(settle(r));
    r->action(4);
    ASSERT_TRUE(r->isMarked());
    r->upPage(); // the reading record moves on; the bookmark stays at page 5
    nav->popToRootViewController(false);

    BookChapterAndMarkViewController* contents = openContents(QStringLiteral("marks"), 3);
    contents->segmentedControlChangedValue(1);
    BookMarkViewController* marks = contents->MarkView();
    EXPECT_TRUE(marks->isVisible());
    ASSERT_EQ(marks->tableView()->count(), 1);
    marks->didSelectRow(0);
    // The record names the bookmark's page before the reader has shown anything.
    EXPECT_EQ(recorded(QStringLiteral("marks")), QStringLiteral("3/5"));
    ReadbooksViewController* reader = topReader();
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(
        testutil::waitUntil([&] { return reader->allPage == 6 && !reader->isBusy(); }, 60000));
    EXPECT_EQ(reader->currentPage, 5);
    EXPECT_EQ(reader->indexLabel()->text(), QStringLiteral("5/6"));
    EXPECT_TRUE(reader->isMarked());

    // Back in the list, deleting the only bookmark shows the empty state.
    nav->popViewController(false);
    marks->commitDeleteRow(0);
    EXPECT_TRUE(marks->markList.isEmpty());
    EXPECT_FALSE(marks->tableView()->isVisible());
    ASSERT_NE(marks->emptyView(), nullptr);
    EXPECT_TRUE(marks->emptyView()->isVisible());
    EXPECT_TRUE(BookDb().selectAllMarkByBookId(QStringLiteral("marks")).isEmpty());
}

TEST(ReaderControlsTest, FontSizeBrightnessAndJump) {
    testutil::ScopedHome home;
    RecordingDelegate delegate;

    // The segments shown selected: only the stored size's, none for a size not offered.
    const auto selected = [](BtnSetFontsizeViewController& font) {
        QList<int> on;
        for (int i = 0; i < 4; ++i) {
            if (qobject_cast<Button*>(font.segmentedControl()->buttonAt(i))->isSelected())
                on.append(i);
        }
        return on;
    };
    UserDefaults::standard().setObject(QStringLiteral("FontSizeId"), 14);
    {
        BtnSetFontsizeViewController font(&delegate);
        font.loadViewIfNeeded();
        EXPECT_EQ(selected(font), QList<int>{});
    }
    UserDefaults::standard().setObject(QStringLiteral("FontSizeId"), 18);
    {
        BtnSetFontsizeViewController font(&delegate);
        font.loadViewIfNeeded();
        EXPECT_EQ(selected(font), QList<int>{1});
        font.touchUpInsideSegmentIndex(font.segmentedControl(), 3);
        EXPECT_EQ(delegate.sizes, QList<double>{22});
        EXPECT_EQ(UserDefaults::standard().integerForKey(QStringLiteral("FontSizeId")), 22);
    }

    {
        BtnSetLightViewController light(&delegate);
        light.loadViewIfNeeded();
        EXPECT_DOUBLE_EQ(light.value(), 100); // no stored brightness: full
        // Slider values are rounded for the reader and the store alike.
        for (const auto& [at, text] : {std::pair{39.6, "40"}, std::pair{0.4, "0"}}) {
            light.moveSliderTo(at);
            EXPECT_EQ(delegate.luminance.last(), QLatin1String(text));
            EXPECT_EQ(UserDefaults::standard().stringForKey(QStringLiteral("LightSizeId")),
                      QLatin1String(text));
        }
    }

    // Stored chapters 3…12 with 7 missing.
    seedBook(QStringLiteral("slider"), 20, {3, 4, 5, 6, 8, 9, 10, 11, 12});
    {
        JumpToViewController jump(&delegate);
        jump.book_id = QStringLiteral("slider");
        jump.chapter_id = 6;
        jump.loadViewIfNeeded();
        EXPECT_EQ(jump.slider()->minimum(), 3);
        EXPECT_EQ(jump.slider()->maximum(), 12);
        EXPECT_EQ(jump.slider()->value(), 6);
        EXPECT_EQ(jump.label()->text(), QStringLiteral("第6章"));
        jump.nextChatper();
        EXPECT_EQ(jump.chapter_id, 7);
        EXPECT_EQ(jump.label()->text(), QString());
        EXPECT_EQ(delegate.plans.last(), QStringLiteral("7"));
        jump.sliderTouchUpInside(11.6);
        EXPECT_EQ(delegate.plans.last(), QStringLiteral("12"));
        const qsizetype sent = delegate.plans.size();
        jump.nextChatper(); // at the highest stored chapter
        EXPECT_EQ(delegate.plans.size(), sent);
        jump.sliderTouchUpInside(3);
        jump.preChatper(); // at the lowest
        EXPECT_EQ(delegate.plans.last(), QStringLiteral("3"));
        EXPECT_EQ(jump.chapter_id, 3);
    }
}

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

// The contents of a book of 12 chapters, 1…3 stored, at chapter 2: the switch shows one pane at a
// time and keeps it across appearances; the panes lie on the screen's panel, inside it, without a
// scroll bar, and draw nothing of their own over it but the current chapter's row.
TEST_F(ContentsTest, PanesShowOneAtATimeOnThePanel) {
    seedBook(QStringLiteral("panes"), 12, {1, 2, 3});
    BookDb().insertChapterMenu(QStringLiteral("panes"), menuAnswer(12));
    BookDb::waitForBackgroundWrites();
    BookChapterAndMarkViewController* contents = openContents(QStringLiteral("panes"), 2);
    const auto onlyChapters = [&] {
        return contents->ChatperView()->isVisible() && !contents->MarkView()->isVisible();
    };
    const auto onlyBookmarks = [&] {
        return !contents->ChatperView()->isVisible() && contents->MarkView()->isVisible();
    };
    ASSERT_TRUE(contents->isVisible());
    EXPECT_TRUE(onlyChapters());
    QListWidget* table = contents->ChatperView()->tableView();
    ASSERT_EQ(table->count(), 12);
    EXPECT_FALSE(table->verticalScrollBar()->isVisible());

    // A spot in the first row (chapter 1, not the current one) left of its icon: in a grab of
    // the whole window, as screenshots are taken, it must look exactly as the panel does with
    // the pane hidden.
    const auto inRow = [&](int row) {
        const QRect r = table->visualItemRect(table->item(row));
        return table->viewport()->mapTo(window, QPoint(r.left() + 3, r.center().y()));
    };
    const QImage shown = window->grab().toImage();
    contents->ChatperView()->hide();
    const QImage bare = window->grab().toImage();
    contents->ChatperView()->show();
    EXPECT_EQ(shown.pixelColor(inRow(0)), bare.pixelColor(inRow(0)));
    // The current chapter's row stands out in the app's selection colour, and so would a
    // row the list itself selects.
    EXPECT_EQ(shown.pixelColor(inRow(1)), tooles::selectionColor());
    EXPECT_EQ(table->palette().color(QPalette::Active, QPalette::Highlight),
              tooles::selectionColor());

    // The table ends inside the panel it lies on, for either pane.
    QWidget* drawn = contents->findChild<QWidget*>(QStringLiteral("contentPanel"));
    ASSERT_NE(drawn, nullptr);
    const int panelBottom = drawn->mapTo(window, QPoint(0, drawn->height())).y();
    EXPECT_LE(table->mapTo(window, QPoint(0, table->height())).y(), panelBottom);
    EXPECT_LE(contents->MarkView()->mapTo(window, QPoint(0, contents->MarkView()->height())).y(),
              panelBottom);

    SVSegmentedControl* segments = contents->segmentedControl();
    tap(segments, segments->segmentRect(1).center());
    EXPECT_EQ(segments->selectedIndex(), 1);
    EXPECT_TRUE(onlyBookmarks());
    BookMarkViewController* marks = contents->MarkView();
    ASSERT_NE(marks->emptyView(), nullptr);
    EXPECT_TRUE(marks->emptyView()->isVisible());
    // The bookmark pane's empty state, below its hint, is the bare panel too; nothing of an
    // earlier picture may show through it.
    const QPoint below = marks->mapTo(window, QPoint(20, 300));
    const QImage withHint = window->grab().toImage();
    marks->hide();
    const QImage panel = window->grab().toImage();
    marks->show();
    EXPECT_EQ(withHint.pixelColor(below), panel.pixelColor(below));

    // Another screen on top and back again: the bookmark pane is still the only one.
    nav->pushViewController(new ViewController(), false);
    testutil::spin(50);
    EXPECT_FALSE(contents->isVisible());
    nav->popViewController(false);
    testutil::spin(50);
    ASSERT_TRUE(contents->isVisible());
    EXPECT_TRUE(onlyBookmarks());

    // The window hidden and shown again (the app leaving and coming back).
    window->hide();
    window->show();
    testutil::spin(50);
    EXPECT_TRUE(onlyBookmarks());

    tap(segments, segments->segmentRect(0).center());
    EXPECT_EQ(segments->selectedIndex(), 0);
    EXPECT_TRUE(onlyChapters());
}

} // namespace
