// The reading position follows the text: a type-size change, a last-read record written at
// another size on another screen, and a bookmark all come back to the same sentence; the
// page arithmetic of character offsets; and a database from before the position tables.
#include <QJsonDocument>
#include <QListWidget>
#include <gtest/gtest.h>

#include "engines/HttpRequest.h"
#include "engines/SqlDatabase.h"
#include "platform/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"
#include "reader/BookChapterAndMarkViewController.h"
#include "reader/BookChatperViewController.h"
#include "reader/BookMarkViewController.h"
#include "reader/ReadbooksViewController.h"
#include "reader/TextPosition.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "storage/ReadingPositions.h"
#include "tests/support/FakeService.h"
#include "tests/support/ScreenStage.h"
#include "tests/support/TestUtil.h"

namespace {

// Sentences that fill eight pages at 18 points on the tall screen.
constexpr int kEightPagesAt18 = 56;

// A chapter of numbered sentences, a paragraph each, one line long at 18 points and two at 22,
// so that the larger type moves a sentence pages further on. Each sentence is a span of its
// own so the page can say which sentences it shows.
QString sentences(int count) {
    QString body;
    for (int i = 1; i <= count; ++i)
        body += QStringLiteral("<p><span id=\"s%1\">第%2句，江上的风吹过旧城长街。</span></p>")
                    .arg(i)
                    .arg(i % 100, 2, 10, QLatin1Char('0'));
    return body;
}

void seedChapter(const QString& bookId, int chapter, const QString& content) {
    BookDb db;
    if (!db.isExistsTheBook(bookId)) {
        ASSERT_TRUE(db.insertBook({{QStringLiteral("book_id"), bookId},
                                   {QStringLiteral("title"), QStringLiteral("书") + bookId},
                                   {QStringLiteral("cover"), QString()},
                                   {QStringLiteral("last_chapter_number"), QStringLiteral("5")},
                                   {QStringLiteral("download_time"), QStringLiteral("1700000000")},
                                   {QStringLiteral("update_time"), QStringLiteral("1700000000")}}));
    }
    const QVariantMap answer{
        {QStringLiteral("result"), QStringLiteral("ok")},
        {QStringLiteral("chapters"),
         QVariantList{QVariantMap{{QStringLiteral("book_id"), bookId},
                                  {QStringLiteral("chapter_number"), chapter},
                                  {QStringLiteral("title"), QStringLiteral("第%1章").arg(chapter)},
                                  {QStringLiteral("content"), content}}}}};
    ASSERT_TRUE(db.insertChapterAll(bookId, answer));
    BookDb::waitForBackgroundWrites();
}

QVariant evaluate(WebView* view, const QString& script) {
    QVariant result;
    bool done = false;
    view->stringByEvaluatingJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    testutil::waitUntil([&] { return done; }, 10000);
    return result;
}

// The ids of the sentences the page on screen shows a part of, read from the rendered page
// itself: a sentence is shown when one of its line boxes has its middle inside the view.
QStringList shownSentences(ReadbooksViewController* r) {
    const QString script = QStringLiteral(
        "(function(){var top=window.scrollY,h=window.innerHeight,out=[];"
        "document.querySelectorAll('span[id]').forEach(function(s){"
        "var q=s.getClientRects();for(var i=0;i<q.length;i++){var m=(q[i].top+q[i].bottom)/2+top;"
        "if(m>=top&&m<top+h){out.push(s.id);break;}}});return out;})()");
    // The page is shown by scroll offset; wait until it stands where the reader put it.
    testutil::waitUntil([&] {
        return evaluate(r->webView(), QStringLiteral("Math.round(window.scrollY)")).toInt() ==
               r->metrics().offsetOfPage(r->currentPage);
    });
    return evaluate(r->webView(), script).toStringList();
}

class ReadingPositionTest : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        service = new FakeService();
        ServiceConfig::setBaseUrl(service->baseUrl());
        HttpRequest::setDefaultTimeOutSeconds(5);
        service->route(QStringLiteral("GET"), QStringLiteral("/site/readchapter"),
                       FakeService::Reply::json(R"({"result":"ok"})"));
        Window::setScreenHeight(Window::kTallHeight);
        nav = testutil::openStage(window);
    }
    static void TearDownTestSuite() {
        testutil::closeStage(window, nav);
        delete service;
        service = nullptr;
    }

protected:
    void TearDown() override {
        nav->popToRootViewController(false);
        testutil::spin(50);
        Window::setScreenHeight(Window::kTallHeight);
        UserDefaults::standard().removeObjectForKey(QStringLiteral("FontSizeId"));
    }

    static void setFontSize(int size) {
        UserDefaults::standard().setObject(QStringLiteral("FontSizeId"), size);
    }

    static ReadbooksViewController* track(ReadbooksViewController* reader) {
        QObject::connect(reader, &ReadbooksViewController::pageLaidOut, reader, [reader] {
            reader->setProperty("layouts", reader->property("layouts").toInt() + 1);
        });
        return reader;
    }
    static bool waitForLayouts(ReadbooksViewController* r, int count) {
        return testutil::waitUntil(
            [&] { return r->property("layouts").toInt() >= count && !r->isBusy(); }, 60000);
    }
    // Opens a chapter the way the shelf does: at the page its last-read record names.
    ReadbooksViewController* openFromRecord(const QString& bookId) {
        const QVariantMap record = BookDb().selectLastReadRecord(bookId);
        return open(bookId, record.value(QStringLiteral("chapter_id")).toInt(),
                    record.value(QStringLiteral("page_id")).toInt());
    }
    ReadbooksViewController* open(const QString& bookId, int chapter, int page) {
        auto* reader = new ReadbooksViewController();
        reader->str = BookDb()
                          .selectChapterContent(bookId, chapter)
                          .value(QStringLiteral("content"))
                          .toString();
        reader->book_id = bookId;
        reader->current_chapter_id = chapter;
        reader->currentPage = page;
        nav->pushViewController(track(reader), false);
        EXPECT_TRUE(waitForLayouts(reader, 1));
        return reader;
    }
    static QString recorded(const QString& bookId) {
        const QVariantMap record = BookDb().selectLastReadRecord(bookId);
        return record.value(QStringLiteral("chapter_id")).toString() + QLatin1Char('/') +
               record.value(QStringLiteral("page_id")).toString();
    }

    static FakeService* service;
    static Window* window;
    static NavigationController* nav;
};

FakeService* ReadingPositionTest::service = nullptr;
Window* ReadingPositionTest::window = nullptr;
NavigationController* ReadingPositionTest::nav = nullptr;

TEST_F(ReadingPositionTest, ATypeSizeChangeKeepsTheSentenceAndChangingBackKeepsThePage) {
    seedChapter(QStringLiteral("size"), 2, sentences(kEightPagesAt18));
    setFontSize(18);
    ReadbooksViewController* r = open(QStringLiteral("size"), 2, 5);
    ASSERT_EQ(r->allPage, 8);
    ASSERT_EQ(r->currentPage, 5);
    const QStringList before = shownSentences(r);
    ASSERT_FALSE(before.isEmpty());
    const QString first = before.first();

    r->changeFontSize(22);
    ASSERT_TRUE(waitForLayouts(r, 2));
    EXPECT_GT(r->allPage, 8);
    // At the larger size page 5 holds earlier text; the reader is on the page with the sentence.
    EXPECT_NE(r->currentPage, 5);
    EXPECT_TRUE(shownSentences(r).contains(first)) << first.toStdString();
    // What is shown and stored names that page.
    EXPECT_EQ(r->indexLabel()->text(), QStringLiteral("%1/%2").arg(r->currentPage).arg(r->allPage));
    EXPECT_EQ(r->remainLabel()->text(),
              QStringLiteral("剩余%1页").arg(r->allPage - r->currentPage));
    EXPECT_EQ(recorded(QStringLiteral("size")), QStringLiteral("2/%1").arg(r->currentPage));

    r->changeFontSize(18);
    ASSERT_TRUE(waitForLayouts(r, 3));
    EXPECT_EQ(r->allPage, 8);
    EXPECT_EQ(r->currentPage, 5);
    EXPECT_EQ(shownSentences(r).value(0), first);
    EXPECT_EQ(recorded(QStringLiteral("size")), QStringLiteral("2/5"));

    // A turn moves the position to the first sentence of the new page.
    r->downPage();
    EXPECT_EQ(r->currentPage, 6);
    const QString sixth = shownSentences(r).value(0);
    r->changeFontSize(22);
    ASSERT_TRUE(waitForLayouts(r, 4));
    EXPECT_TRUE(shownSentences(r).contains(sixth)) << sixth.toStdString();
    // Here the larger page starts sentences before the sixth page did; back at 18 points the
    // reader is on the sixth page, not on the one that held the larger page's first line.
    r->changeFontSize(18);
    ASSERT_TRUE(waitForLayouts(r, 5));
    EXPECT_EQ(r->currentPage, 6);
    EXPECT_EQ(shownSentences(r).value(0), sixth);
}

TEST_F(ReadingPositionTest, ARecordWrittenOnTheTallScreenOpensAtItsSentenceOnTheShortOne) {
    seedChapter(QStringLiteral("screen"), 1, sentences(kEightPagesAt18));
    setFontSize(16);
    ReadbooksViewController* r = open(QStringLiteral("screen"), 1, 4);
    ASSERT_EQ(r->currentPage, 4);
    const QString first = shownSentences(r).value(0);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(recorded(QStringLiteral("screen")), QStringLiteral("1/4"));
    nav->popToRootViewController(false);
    testutil::spin(50);

    Window::setScreenHeight(Window::kShortHeight);
    setFontSize(22);
    r = openFromRecord(QStringLiteral("screen"));
    EXPECT_EQ(r->metrics().P, 384);
    EXPECT_GT(r->currentPage, 4);
    EXPECT_TRUE(shownSentences(r).contains(first)) << first.toStdString();
    EXPECT_EQ(recorded(QStringLiteral("screen")), QStringLiteral("1/%1").arg(r->currentPage));
    EXPECT_EQ(r->indexLabel()->text(), QStringLiteral("%1/%2").arg(r->currentPage).arg(r->allPage));
}

TEST_F(ReadingPositionTest, ABookmarkKeepsItsSentenceAcrossATypeSizeChange) {
    seedChapter(QStringLiteral("mark"), 3, sentences(kEightPagesAt18));
    setFontSize(18);
    ReadbooksViewController* r = open(QStringLiteral("mark"), 3, 6);
    const QString first = shownSentences(r).value(0);
    ASSERT_FALSE(first.isEmpty());
    r->action(4);
    ASSERT_TRUE(r->isMarked());
    // Reading on elsewhere moves the last-read record away from the bookmark.
    r->upPage();
    r->upPage();
    EXPECT_EQ(recorded(QStringLiteral("mark")), QStringLiteral("3/4"));
    nav->popToRootViewController(false);
    testutil::spin(50);

    setFontSize(22);
    auto* contents = new BookChapterAndMarkViewController();
    contents->book_id = QStringLiteral("mark");
    contents->currentChatperId = 3;
    nav->pushViewController(contents, false);
    testutil::spin(50);
    contents->segmentedControlChangedValue(1);
    BookMarkViewController* marks = contents->MarkView();
    ASSERT_EQ(marks->markList.size(), 1);
    marks->didSelectRow(0);
    auto* reader = qobject_cast<ReadbooksViewController*>(nav->topViewController());
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(testutil::waitUntil(
        [&] { return reader->allPage > 8 && !reader->isBusy() && reader->readingOffset() >= 0; },
        60000));
    EXPECT_NE(reader->currentPage, 6);
    EXPECT_TRUE(shownSentences(reader).contains(first)) << first.toStdString();
    EXPECT_EQ(recorded(QStringLiteral("mark")), QStringLiteral("3/%1").arg(reader->currentPage));

    // Removing the bookmark removes its position: a bookmark added again on that page at
    // another size is not sent to the old sentence.
    nav->popToRootViewController(false);
    testutil::spin(50);
    setFontSize(18);
    r = open(QStringLiteral("mark"), 3, 6);
    ASSERT_TRUE(r->isMarked());
    r->action(4);
    EXPECT_FALSE(r->isMarked());
    EXPECT_EQ(ReadingPositions().markOffset(QStringLiteral("mark"), 3, 6), -1);
}

TEST_F(ReadingPositionTest, AnOlderDatabaseWithoutThePositionTablesOpensAtTheRecordedPage) {
    seedChapter(QStringLiteral("old"), 1, sentences(kEightPagesAt18));
    {
        // The file as written before positions were kept.
        BookDb db;
        SqlDatabase* sql = db.fmdb();
        ASSERT_TRUE(sql->open(SqlDatabase::Mode::ExistingOnly));
        ASSERT_TRUE(sql->executeScript(QStringLiteral(
            "DROP TABLE IF EXISTS `readposition`; DROP TABLE IF EXISTS `markposition`;")));
        sql->close();
        ASSERT_TRUE(db.recordLastRead({{QStringLiteral("book_id"), QStringLiteral("old")},
                                       {QStringLiteral("chapter_id"), QStringLiteral("1")},
                                       {QStringLiteral("page_id"), QStringLiteral("3")},
                                       {QStringLiteral("create_time"), QStringLiteral("1")}}));
    }
    setFontSize(22);
    ReadbooksViewController* r = openFromRecord(QStringLiteral("old"));
    EXPECT_EQ(r->currentPage, 3);
    EXPECT_EQ(r->indexLabel()->text(), QStringLiteral("3/%1").arg(r->allPage));
    EXPECT_EQ(recorded(QStringLiteral("old")), QStringLiteral("1/3"));
    // The tables are back, and the page on screen has its position stored with it.
    const int third = r->textPosition().startOfPage(3);
    EXPECT_GT(third, 0);
    EXPECT_EQ(ReadingPositions().lastReadOffset(QStringLiteral("old"), 1, 3), third);
    // A position written for another page than the record's is not taken.
    EXPECT_EQ(ReadingPositions().resumeOffset(QStringLiteral("old"), 1, 4), -1);
}

TEST_F(ReadingPositionTest, AChapterChosenFromTheContentsOpensAtItsFirstPage) {
    seedChapter(QStringLiteral("toc"), 1, sentences(kEightPagesAt18));
    BookDb().insertChapterMenu(
        QStringLiteral("toc"),
        {{QStringLiteral("result"), QStringLiteral("ok")},
         {QStringLiteral("chapter_list"),
          QVariantList{QVariantMap{{QStringLiteral("chapter_number"), QStringLiteral("1")},
                                   {QStringLiteral("title"), QStringLiteral("第1章")}}}}});
    BookDb::waitForBackgroundWrites();
    setFontSize(18);
    // A position held on page 1 at a smaller size lies pages further on at this one.
    ReadbooksViewController* r = open(QStringLiteral("toc"), 1, 3);
    const int third = r->textPosition().startOfPage(3);
    ASSERT_GT(third, 0);
    nav->popToRootViewController(false);
    testutil::spin(50);
    ASSERT_TRUE(ReadingPositions().saveLastRead(QStringLiteral("toc"), 1, 1, third));

    auto* contents = new BookChapterAndMarkViewController();
    contents->book_id = QStringLiteral("toc");
    contents->currentChatperId = 1;
    nav->pushViewController(contents, false);
    testutil::spin(50);
    ASSERT_EQ(contents->ChatperView()->tableView()->count(), 1);
    contents->ChatperView()->didSelectRow(0);
    auto* reader = qobject_cast<ReadbooksViewController*>(nav->topViewController());
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(waitForLayouts(track(reader), 1));
    EXPECT_EQ(reader->currentPage, 1);
    EXPECT_EQ(reader->indexLabel()->text(), QStringLiteral("1/8"));
}

} // namespace
