// Reading across chapters: the chapter buttons, turning back into a missing chapter and the end
// notices, read-ahead and blocking fetches with the exact chapter runs, jumps, the refresh, the
// reading record and the error report, and what a network failure leaves on screen.
#include <gtest/gtest.h>

#include "platform/Localizable.h"
#include "platform/ui/AlertView.h"
#include "storage/BookDb.h"
#include "tests/reader/ReaderTestSupport.h"
#include "tests/support/TestUtil.h"

using namespace readertest;

namespace {

// The chapters parameter as the service expects it: "11,12".
QString run(int from, int to) {
    QStringList r;
    for (int c = from; c <= to; ++c)
        r.append(QString::number(c));
    return r.join(QLatin1Char(','));
}

class ReaderFetchTest : public ReaderScreenTest {};

// Turning back or pressing a chapter button into a chapter not stored fetches it alone; the
// ends of the book and of what is stored are told, and nothing is fetched for them.
TEST_F(ReaderFetchTest, ChapterButtonsTurnsIntoGapsAndTheEndsOfTheBook) {
    // The service has chapters 1…6, three pages each; the device holds 2, 4 and 6, one page each.
    seedBook(QStringLiteral("ends"), 6, {2, 4, 6});
    serveContent(3);
    ReadbooksViewController* r = open(QStringLiteral("ends"), 4, 1);
    r->upPage(); // into the missing 3, shown at its last page
    ASSERT_TRUE(waitForLayouts(r, 2));
    ASSERT_TRUE(settle(r));
    EXPECT_EQ(askedRuns(), QStringList{QStringLiteral("3")});
    EXPECT_EQ(r->current_chapter_id, 3);
    EXPECT_EQ(r->allPage, 3);
    EXPECT_EQ(r->currentPage, 3);
    EXPECT_EQ(r->indexLabel()->text(), QStringLiteral("3/3"));
    EXPECT_EQ(recorded(QStringLiteral("ends")), QStringLiteral("3/3"));

    r->action(1);
    ASSERT_TRUE(waitForLayouts(r, 3));
    EXPECT_EQ(r->current_chapter_id, 2);
    EXPECT_EQ(r->titleLabel()->text(), QStringLiteral("第2章"));
    r->upPage();
    EXPECT_EQ(r->notice()->text(), QStringLiteral("已翻至第一页"));
    ASSERT_TRUE(settle(r));
    r->action(1);
    EXPECT_EQ(r->notice()->text(), QStringLiteral("已经是第一章！"));
    EXPECT_EQ(r->current_chapter_id, 2);
    ASSERT_TRUE(settle(r));

    r->action(2);
    ASSERT_TRUE(waitForLayouts(r, 4));
    r->action(2);
    ASSERT_TRUE(waitForLayouts(r, 5));
    r->action(2); // chapter 5 is not stored
    ASSERT_TRUE(waitForLayouts(r, 6));
    ASSERT_TRUE(settle(r));
    EXPECT_EQ(askedRuns(), (QStringList{QStringLiteral("3"), QStringLiteral("5")}));
    EXPECT_EQ(r->current_chapter_id, 5);
    EXPECT_EQ(r->indexLabel()->text(), QStringLiteral("1/3"));
    EXPECT_TRUE(BookDb().isExistsInChapter(QStringLiteral("ends"), 5));

    r->action(2);
    ASSERT_TRUE(waitForLayouts(r, 7));
    r->downPage();
    EXPECT_EQ(r->notice()->text(), QStringLiteral("已翻至最终页"));
    EXPECT_EQ(r->current_chapter_id, 6);
    EXPECT_EQ(r->currentPage, 1);
    ASSERT_TRUE(settle(r));
    r->action(2);
    EXPECT_EQ(r->notice()->text(), QStringLiteral("已经是最后一章！"));
    EXPECT_EQ(r->current_chapter_id, 6);
    EXPECT_EQ(askedRuns().size(), 2);
}

TEST_F(ReaderFetchTest, ReadAheadAndBlockingFetchesAskForTheRightRuns) {
    const struct Case {
        const char* book;
        int last;
        QList<int> stored;
        int at;
        const char* method;
        int from, to, opens;
    } cases[] = {
        // Highest stored 14, at chapter 10 of 100: read ahead 15…24 by GET, chapter 11 opens.
        {"ahead", 100, {9, 10, 11, 12, 13, 14}, 10, "GET", 15, 24, 11},
        // Highest stored 10 at chapter 10 of 12: a blocking POST of 11,12, then chapter 11.
        {"block", 12, {9, 10}, 10, "POST", 11, 12, 11},
        // Chapters 1…8 and 20 stored, at 8: the gap is fetched from 9 on.
        {"gap", 100, {1, 2, 3, 4, 5, 6, 7, 8, 20}, 8, "POST", 9, 18, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.book);
        const QString id = QString::fromLatin1(c.book);
        seedBook(id, c.last, c.stored);
        ReadbooksViewController* r = open(id, c.at, 1);
        r->downPage();
        ASSERT_TRUE(waitForLayouts(r, 2));
        ASSERT_TRUE(settle(r));
        ASSERT_TRUE(testutil::waitUntil([&] { return BookDb().isExistsInChapter(id, c.to); }));
        const auto asked = service->requests(QStringLiteral("/data/getcontent"));
        ASSERT_EQ(asked.size(), 1);
        EXPECT_EQ(asked.first().method, QString::fromLatin1(c.method));
        EXPECT_TRUE(asked.first().body.isEmpty());
        EXPECT_EQ(asked.first().queryValue(QStringLiteral("chapters")), run(c.from, c.to));
        EXPECT_EQ(r->current_chapter_id, c.opens);
        EXPECT_EQ(r->currentPage, 1);
        EXPECT_EQ(recorded(id), QStringLiteral("%1/1").arg(c.opens));
        if (asked.first().method == QStringLiteral("POST")) {
            EXPECT_EQ(r->notice()->text(), QStringLiteral("更新成功！"));
        }
        nav->popToRootViewController(false);
        service->clearRequests();
    }
}

TEST_F(ReaderFetchTest, AnAnswerWithoutTheNeededChapterEndsTheTurn) {
    seedBook(QStringLiteral("empty"), 30, {10});
    service->route(QStringLiteral("POST"), QStringLiteral("/data/getcontent"),
                   FakeService::Reply::json(R"({"result":"ok","chapters":[]})"));
    ReadbooksViewController* r = open(QStringLiteral("empty"), 10, 1);
    r->downPage();
    ASSERT_TRUE(settle(r));
    testutil::spin(300);
    EXPECT_EQ(askedRuns().size(), 1); // no second try by itself
    EXPECT_EQ(r->notice()->text(), QStringLiteral("更新失败！"));
    EXPECT_EQ(r->current_chapter_id, 10);
}

TEST_F(ReaderFetchTest, JumpsRefreshRecordsAndReportsWithoutASignedInUser) {
    seedBook(QStringLiteral("jump"), 30, {3, 4, 5, 6, 8, 9});
    ReadbooksViewController* r = open(QStringLiteral("jump"), 3, 1);
    ASSERT_TRUE(service->waitForRequests(1));
    r->changePlan(QStringLiteral("7"));
    ASSERT_TRUE(waitForLayouts(r, 2));
    ASSERT_TRUE(settle(r));
    EXPECT_EQ(askedRuns(), QStringList{QStringLiteral("7")});
    EXPECT_EQ(r->current_chapter_id, 7);
    EXPECT_EQ(r->currentPage, 1);
    EXPECT_TRUE(BookDb().isExistsInChapter(QStringLiteral("jump"), 7));
    ASSERT_TRUE(testutil::waitUntil(
        [&] { return service->requests(QStringLiteral("/site/readchapter")).size() == 2; }));
    const auto records = service->requests(QStringLiteral("/site/readchapter"));
    EXPECT_EQ(records[0].queryValue(QStringLiteral("chapter")), QStringLiteral("3"));
    EXPECT_EQ(records[1].queryValue(QStringLiteral("chapter")), QStringLiteral("7"));
    for (const auto& q : records) {
        EXPECT_FALSE(q.hasQueryKey(QStringLiteral("token")));
        EXPECT_TRUE(q.hasQueryKey(QStringLiteral("checksum")));
    }

    // "更新" replaces the stored text of the chapter shown and shows page 1.
    service->route(QStringLiteral("GET"), QStringLiteral("/data/getcontent"),
                   FakeService::Reply::json(
                       R"({"result":"ok","chapters":[{"book_id":"jump","chapter_number":"7",)"
                       R"("title":"第7章（修订）","content":"<p>修订后的正文</p>"}]})"));
    service->clearRequests();
    r->showPop(1);
    ASSERT_TRUE(waitForLayouts(r, 3));
    ASSERT_TRUE(settle(r));
    EXPECT_EQ(service->requests(QStringLiteral("/data/getcontent")).first().method,
              QStringLiteral("GET"));
    EXPECT_EQ(storedText(QStringLiteral("jump"), 7), QStringLiteral("<p>修订后的正文</p>"));
    EXPECT_EQ(r->notice()->text(), QStringLiteral("更新本章成功"));
    EXPECT_EQ(r->currentPage, 1);
    EXPECT_EQ(r->titleLabel()->text(), QStringLiteral("第7章（修订）"));
    // A refresh of the same chapter sends no reading record.
    testutil::spin(200);
    EXPECT_TRUE(service->requests(QStringLiteral("/site/readchapter")).isEmpty());

    // The error report goes only once confirmed, and without a token.
    r->showAlert();
    ASSERT_FALSE(AlertView::visibleAlerts().isEmpty());
    EXPECT_EQ(AlertView::visibleAlerts().last()->message(),
              QStringLiteral("你确定要提交当前页面的错误报告吗？"));
    AlertView::visibleAlerts().last()->clickButtonAtIndex(0);
    testutil::spin(300);
    EXPECT_TRUE(service->requests(QStringLiteral("/feedback/reporterror")).isEmpty());
    r->showAlert();
    AlertView::visibleAlerts().last()->clickButtonAtIndex(1);
    ASSERT_TRUE(testutil::waitUntil(
        [&] { return r->notice() && r->notice()->text() == QStringLiteral("感谢你的提交！"); }));
    const auto sent = service->requests(QStringLiteral("/feedback/reporterror"));
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent.first().queryValue(QStringLiteral("chapter_number")), QStringLiteral("7"));
    EXPECT_FALSE(sent.first().hasQueryKey(QStringLiteral("token")));
    EXPECT_FALSE(sent.first().queryValue(QStringLiteral("channel")).isEmpty());
}

// Every fetch the user waits for shows the network notice on a failure and leaves the page,
// the chapter and the page number as they were.
TEST_F(ReaderFetchTest, NetworkFailuresLeaveThePageAsItWas) {
    seedBook(QStringLiteral("offline"), 40, {10, 11, 12}, 2);
    serveContent(FakeService::Reply::dropped());
    ReadbooksViewController* r = open(QStringLiteral("offline"), 11, 1);
    const auto failedAt = [&](const char* step, int chapter, int page) {
        SCOPED_TRACE(step);
        ASSERT_TRUE(settle(r));
        EXPECT_EQ(r->notice()->text(), L("The network is not good"));
        EXPECT_EQ(r->current_chapter_id, chapter);
        EXPECT_EQ(r->currentPage, page);
    };
    r->changePlan(QStringLiteral("10"));
    ASSERT_TRUE(waitForLayouts(r, 2));
    EXPECT_TRUE(askedRuns().isEmpty());

    // Forward at the last page of 12 (highest stored): blocking fetch fails.
    r->changePlan(QStringLiteral("12"));
    ASSERT_TRUE(waitForLayouts(r, 3));
    r->downPage();
    EXPECT_EQ(r->currentPage, 2);
    r->downPage();
    failedAt("turn forward", 12, 2);
    r->changePlan(QStringLiteral("30"));
    failedAt("jump to a missing chapter", 12, 2);
    r->action(2);
    failedAt("next chapter past the highest stored", 12, 2);
    r->reDownloadBookByChatper();
    failedAt("refresh", 12, 2);

    // Turning back from chapter 10's first page into the missing 9 is not possible: 10 is the
    // lowest stored chapter. Store 8 so that 9 is a gap, then turn back.
    seedBook(QStringLiteral("offline"), 40, {8}, 2);
    r->changePlan(QStringLiteral("10"));
    ASSERT_TRUE(waitForLayouts(r, 4));
    r->upPage();
    failedAt("turn back", 10, 1);
    EXPECT_TRUE(r->currentAction.isNull());
    EXPECT_EQ(storedText(QStringLiteral("offline"), 10), r->str);
}

} // namespace
