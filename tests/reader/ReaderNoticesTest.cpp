// What the reader tells the user and the service when fetches and reports go wrong, and what
// it does when asked for more while a page or a fetch is still under way.
#include <gtest/gtest.h>

#include "engines/SqlDatabase.h"
#include "platform/Localizable.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ProgressHUD.h"
#include "storage/BookDb.h"
#include "storage/UserStore.h"
#include "tests/reader/ReaderTestSupport.h"
#include "tests/support/TestUtil.h"

using namespace readertest;

namespace {

class ReaderNoticesTest : public ReaderScreenTest {
protected:
    // Sends the error report as confirmed; true when it ends with the notice expected.
    bool reportEndsWith(ReadbooksViewController* r, const QString& expected) {
        if (r->notice())
            r->notice()->showBDK(QString(), QStringLiteral("read_refresh_no"));
        r->showAlert();
        AlertView::visibleAlerts().last()->clickButtonAtIndex(1);
        const bool shown = testutil::waitUntil(
            [&] { return r->notice() && r->notice()->text() == expected; }, 20000);
        settle(r);
        return shown;
    }
};

TEST_F(ReaderNoticesTest, SignedInRecordsAndReportsCarryTheTokenAndReportsSayHowTheyEnded) {
    UserStore::signIn(QStringLiteral("tok-42"), {{QStringLiteral("user_id"), QStringLiteral("9")}},
                      QStringLiteral("reader@example.invalid"));
    seedBook(QStringLiteral("signed"), 10, {1, 2});
    ReadbooksViewController* r = open(QStringLiteral("signed"), 2, 1);
    ASSERT_TRUE(service->waitForRequests(1));
    const auto records = service->requests(QStringLiteral("/site/readchapter"));
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.first().queryValue(QStringLiteral("token")), QStringLiteral("tok-42"));
    EXPECT_EQ(records.first().queryValue(QStringLiteral("chapter")), QStringLiteral("2"));

    EXPECT_TRUE(reportEndsWith(r, QStringLiteral("感谢你的提交！")));
    const auto reports = service->requests(QStringLiteral("/feedback/reporterror"));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports.first().queryValue(QStringLiteral("token")), QStringLiteral("tok-42"));

    service->route(QStringLiteral("GET"), QStringLiteral("/feedback/reporterror"),
                   FakeService::Reply::json(R"({"result":"error","msg":"no"})"));
    EXPECT_TRUE(reportEndsWith(r, QStringLiteral("提交失败！")));
    service->route(QStringLiteral("GET"), QStringLiteral("/feedback/reporterror"),
                   FakeService::Reply::dropped());
    EXPECT_TRUE(reportEndsWith(r, L("The network is not good")));
    for (const auto& q : service->requests(QStringLiteral("/feedback/reporterror")))
        EXPECT_EQ(q.queryValue(QStringLiteral("token")), QStringLiteral("tok-42"));
}

TEST_F(ReaderNoticesTest, RefreshRefusedOrOfAChapterNeverStored) {
    seedBook(QStringLiteral("refresh"), 10, {2});
    ReadbooksViewController* r = open(QStringLiteral("refresh"), 2, 1);
    service->route(QStringLiteral("GET"), QStringLiteral("/data/getcontent"),
                   FakeService::Reply::json(R"({"result":"error","msg":"busy"})"));
    r->showPop(1);
    ASSERT_TRUE(testutil::waitUntil(
        [&] { return r->notice() && r->notice()->text() == QStringLiteral("更新本章失败"); }));
    ASSERT_TRUE(settle(r));
    EXPECT_EQ(storedText(QStringLiteral("refresh"), 2), r->str);

    // A reader opened on text that was never stored: the refresh stores the chapter.
    nav->popToRootViewController(false);
    auto* loose = new ReadbooksViewController();
    loose->book_id = QStringLiteral("refresh");
    loose->current_chapter_id = 5;
    loose->str = QStringLiteral("<p>旧文</p>");
    nav->pushViewController(track(loose), false);
    ASSERT_TRUE(waitForLayouts(loose, 1));
    serveContent(2);
    loose->showPop(1);
    ASSERT_TRUE(waitForLayouts(loose, 2));
    ASSERT_TRUE(settle(loose));
    EXPECT_EQ(loose->notice()->text(), QStringLiteral("更新本章成功"));
    EXPECT_TRUE(BookDb().isExistsInChapter(QStringLiteral("refresh"), 5));
    EXPECT_EQ(loose->str, storedText(QStringLiteral("refresh"), 5));
    EXPECT_EQ(loose->allPage, 2);
}

// Jumps, type sizes and chapter buttons used faster than a page loads: the count is that of
// the page last asked for, and its last page can be reached.
TEST_F(ReaderNoticesTest, QuickJumpsEndWithTheCountOfTheLastChapter) {
    seedBook(QStringLiteral("quick"), 9, {2, 3}, 3);
    seedBook(QStringLiteral("quick"), 9, {4}, 7);
    seedBook(QStringLiteral("quick"), 9, {5}, 1);
    for (int gapMs : {0, 10, 30}) {
        SCOPED_TRACE(gapMs);
        ReadbooksViewController* r = open(QStringLiteral("quick"), 2, 1);
        r->changePlan(QStringLiteral("3"));
        testutil::spin(gapMs);
        r->changePlan(QStringLiteral("5"));
        testutil::spin(gapMs);
        r->changePlan(QStringLiteral("4"));
        ASSERT_TRUE(testutil::waitUntil([&] { return !r->isBusy(); }, 60000));
        testutil::spin(300);
        ASSERT_FALSE(r->isBusy());
        EXPECT_EQ(r->current_chapter_id, 4);
        EXPECT_EQ(r->allPage, 7);
        EXPECT_EQ(r->indexLabel()->text(), QStringLiteral("1/7"));
        for (int i = 0; i < 6; ++i)
            r->downPage();
        EXPECT_EQ(r->indexLabel()->text(), QStringLiteral("7/7"));
        EXPECT_EQ(recorded(QStringLiteral("quick")), QStringLiteral("4/7"));
        nav->popToRootViewController(false);
        testutil::spin(50);
    }
}

// A batch the database refuses (here: its chapter table is away while the answer travels)
// must not leave the reader busy for good.
TEST_F(ReaderNoticesTest, ARefusedReadAheadBatchDoesNotLeaveTheReaderBusy) {
    seedBook(QStringLiteral("refused"), 30, {1, 2, 3, 4, 5});
    ReadbooksViewController* r = open(QStringLiteral("refused"), 1, 1);
    service->route(QStringLiteral("GET"), QStringLiteral("/data/getcontent"),
                   [](const FakeService::Request& q) {
                       FakeService::Reply reply = contentAnswer(q, 1);
                       reply.delayMs = 600;
                       return reply;
                   });
    r->downPage(); // into chapter 2, and the read-ahead of 6…15
    ASSERT_TRUE(testutil::waitUntil([] { return !askedRuns().isEmpty(); }));
    EXPECT_EQ(askedRuns(), QStringList{QStringLiteral("6,7,8,9,10,11,12,13,14,15")});
    SqlDatabase db(BookDb().dbPath());
    ASSERT_TRUE(db.open());
    ASSERT_TRUE(db.executeScript(QStringLiteral("ALTER TABLE `chapter` RENAME TO `chapter_away`")));
    const bool settled = testutil::waitUntil([&] { return !r->isBusy(); }, 10000);
    ASSERT_TRUE(db.executeScript(QStringLiteral("ALTER TABLE `chapter_away` RENAME TO `chapter`")));
    db.close();
    EXPECT_TRUE(settled);
    EXPECT_FALSE(BookDb().isExistsInChapter(QStringLiteral("refused"), 6));
    EXPECT_EQ(r->current_chapter_id, 2);
}

// The progress overlay of a blocking fetch goes with the reader that started it.
TEST_F(ReaderNoticesTest, ClosingTheReaderDuringABlockingFetchTakesTheOverlayAway) {
    seedBook(QStringLiteral("hud"), 30, {1});
    ReadbooksViewController* r = open(QStringLiteral("hud"), 1, 1);
    FakeService::Reply slow = FakeService::Reply::json(R"({"result":"ok","chapters":[]})");
    slow.delayMs = 20000;
    serveContent(slow);
    r->changePlan(QStringLiteral("9"));
    ASSERT_TRUE(testutil::waitUntil([] { return !askedRuns().isEmpty(); }));
    ASSERT_EQ(window->findChildren<ProgressHUD*>().size(), 1);
    QPointer<ReadbooksViewController> gone(r);
    nav->popToRootViewController(false);
    ASSERT_TRUE(testutil::waitUntil([&] { return gone.isNull(); }));
    EXPECT_TRUE(testutil::waitUntil([&] { return window->findChildren<ProgressHUD*>().isEmpty(); }));
}

} // namespace
