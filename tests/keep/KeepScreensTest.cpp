// "缓存全本" on the book detail screen: its rules, the progress it shows, cancelling.
#include <atomic>
#include <gtest/gtest.h>
#include <memory>

#include "catalog/BookDetailViewController.h"
#include "catalog/BookKeeper.h"
#include "catalog/FirstViewController.h"
#include "catalog/KeepProgressBar.h"
#include "engines/HttpRequest.h"
#include "engines/SqlDatabase.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "reader/BookChatperViewController.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "storage/KeepQueue.h"
#include "storage/UserStore.h"
#include "tests/keep/KeepTestSupport.h"
#include "tests/support/FakeService.h"
#include "tests/support/ScreenStage.h"
#include "tests/support/TestUtil.h"
#include "widgets/GMGridViewCell.h"
#include <QElapsedTimer>
#include <QThread>
#include <QToolButton>

using namespace keeptest;

namespace {

const QString kBook = QStringLiteral("91");

class KeepScreensTest : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        service = new FakeService();
        nav = testutil::openStage(window);
    }
    static void TearDownTestSuite() {
        testutil::closeStage(window, nav);
        delete service;
        service = nullptr;
    }

protected:
    void SetUp() override {
        home = std::make_unique<testutil::ScopedHome>();
        ServiceConfig::setBaseUrl(service->baseUrl());
        ServiceConfig::setLookupBase(service->baseUrl());
        service->route("GET", "/lookup",
                       FakeService::Reply::json(R"({"resultCount":0,"results":[]})"));
        HttpRequest::setDefaultTimeOutSeconds(5);
        BookKeeper::internetReachable = [] { return true; };
        BookKeeper::wifiReachable = [] { return true; };
        BookDetailViewController::wifiAvailable = [] { return true; };
        UserDefaults::standard().removeObjectForKey(QStringLiteral("is_open_wifi"));
        UserStore::signIn(QStringLiteral("tok"), {{QStringLiteral("id"), 7}},
                          QStringLiteral("reader@example.com"));
        service->route("GET", "/data/alsoread",
                       FakeService::Reply::json(R"({"result":"ok","books":[]})"));
        service->route("GET", "/data/bookinfo", FakeService::Reply::json(R"({"result":"no"})"));
    }
    void TearDown() override {
        for (AlertView* alert : AlertView::visibleAlerts())
            alert->dismiss();
        for (ViewController* screen : nav->viewControllers()) {
            if (screen->presentedViewController())
                screen->dismissModal(false);
        }
        nav->popToRootViewController(false);
        for (const QString& book : BookKeeper::shared()->queuedBooks())
            BookKeeper::shared()->cancel(book);
        BookDb::waitForBackgroundWrites();
        testutil::spin(20);
        UserStore::signOut();
        UserDefaults::standard().removeObjectForKey(QStringLiteral("is_open_wifi"));
        service->clearRequests();
        home.reset();
    }

    BookDetailViewController* openDetail(const QString& bookId) {
        MyBookList book =
            MyBookList::initWithDictionary({{"book_id", bookId},
                                            {"title", QStringLiteral("Book %1").arg(bookId)},
                                            {"last_chapter_number", 35}});
        auto* detail = new BookDetailViewController();
        detail->setBookInfo(book);
        nav->pushViewController(detail, false);
        detail->loadViewIfNeeded();
        return detail;
    }

    static FakeService* service;
    static Window* window;
    static NavigationController* nav;
    std::unique_ptr<testutil::ScopedHome> home;
};

FakeService* KeepScreensTest::service = nullptr;
Window* KeepScreensTest::window = nullptr;
NavigationController* KeepScreensTest::nav = nullptr;

FirstViewController* openShelf(NavigationController* nav) {
    auto* shelf = new FirstViewController();
    nav->pushViewController(shelf, false);
    testutil::spin(10);
    return shelf;
}

KeepProgressBar* barOf(FirstViewController* shelf, const QString& bookId) {
    for (KeepProgressBar* bar : shelf->gridView()->findChildren<KeepProgressBar*>()) {
        if (bar->bookId() == bookId)
            return bar;
    }
    return nullptr;
}

// Rows of the book in the chapter, chaptermenu and keepqueue tables.
QList<int> keptRowsOf(const QString& bookId) {
    SqlDatabase db(BookDb().dbPath());
    QList<int> counts;
    if (!db.open(SqlDatabase::Mode::ExistingOnly))
        return counts;
    for (const char* table : {"book", "chapter", "chaptermenu", "keepqueue"}) {
        SqlStatement stmt = db.prepare(
            QStringLiteral("SELECT COUNT(*) FROM %1 WHERE book_id=?").arg(QLatin1String(table)));
        counts << ((stmt.bind({bookId}) && stmt.next()) ? int(stmt.integer(0)) : -1);
    }
    return counts;
}

bool presentsLogin(ViewController* screen) {
    auto* shown = qobject_cast<NavigationController*>(screen->presentedViewController());
    return shown && shown->rootViewController() &&
           qstrcmp(shown->rootViewController()->metaObject()->className(), "LoginViewController") ==
               0;
}

} // namespace

TEST_F(KeepScreensTest, DetailShowsTheProgressAndTheEndOfTheDownload) {
    seedStoredBook(kBook, 35, 10);
    ServedBook served(*service, kBook, 35);
    served.holdRunsStartingAt(31);
    BookDetailViewController* detail = openDetail(kBook);
    Button* keep = detail->btnKeep();
    ASSERT_NE(keep, nullptr);
    EXPECT_EQ(keep->text(), QStringLiteral("缓存全本"));
    EXPECT_TRUE(keep->isEnabled());

    keep->click();
    ASSERT_TRUE(testutil::waitUntil([&] { return keep->text() == QStringLiteral("已缓存 30/35"); }))
        << keep->text().toStdString();
    EXPECT_TRUE(keep->isEnabled());

    served.holdRunsStartingAt(0);
    // The held run is let go: a new screen over the same book follows the same download.
    ASSERT_TRUE(
        testutil::waitUntil([&] { return keep->text() == QStringLiteral("已缓存全本"); }, 15000))
        << keep->text().toStdString();
    EXPECT_FALSE(keep->isEnabled());
    EXPECT_EQ(detail->notice()->text(), QStringLiteral("完成"));
    EXPECT_EQ(storedChapters(kBook), numbers(1, 35));
    // The detail screen's own reading path finds the kept book on the shelf.
    EXPECT_TRUE(BookDb().isExistsTheBook(kBook));
    // A new screen over the whole book shows it kept.
    detail = openDetail(kBook);
    EXPECT_EQ(detail->btnKeep()->text(), QStringLiteral("已缓存全本"));
    EXPECT_FALSE(detail->btnKeep()->isEnabled());
}

TEST_F(KeepScreensTest, MissingChaptersAreNamedWhenTheDownloadEnds) {
    seedStoredBook(kBook, 12, 0);
    ServedBook served(*service, kBook, 12);
    served.neverServe(4);
    BookDetailViewController* detail = openDetail(kBook);
    detail->btnKeep()->click();
    ASSERT_TRUE(testutil::waitUntil([&] {
        return detail->notice()->text() == QStringLiteral("完成，1章缺失");
    })) << detail->notice()->text().toStdString();
    // Not whole: the button offers the download again.
    EXPECT_EQ(detail->btnKeep()->text(), QStringLiteral("缓存全本"));
    EXPECT_EQ(storedChapters(kBook).size(), 11);
}

TEST_F(KeepScreensTest, CancelFromTheDetailStopsAndForgetsTheDownload) {
    seedStoredBook(kBook, 35, 10);
    ServedBook served(*service, kBook, 35);
    served.holdRunsStartingAt(21);
    BookDetailViewController* detail = openDetail(kBook);
    detail->btnKeep()->click();
    ASSERT_TRUE(testutil::waitUntil(
        [&] { return detail->btnKeep()->text() == QStringLiteral("已缓存 20/35"); }));

    detail->btnKeep()->click();
    ASSERT_EQ(AlertView::visibleAlerts().size(), 1);
    AlertView::visibleAlerts().first()->clickButtonAtIndex(0); // 取消: goes on
    EXPECT_TRUE(BookKeeper::shared()->isKept(kBook));
    detail->btnKeep()->click();
    ASSERT_EQ(AlertView::visibleAlerts().size(), 1);
    AlertView::visibleAlerts().first()->clickButtonAtIndex(1);
    EXPECT_FALSE(BookKeeper::shared()->isKept(kBook));
    EXPECT_EQ(detail->btnKeep()->text(), QStringLiteral("缓存全本"));
    EXPECT_TRUE(KeepQueue().entry(kBook).bookId.isEmpty());
    served.holdRunsStartingAt(0);
    testutil::spin(200);
    EXPECT_EQ(storedChapters(kBook), numbers(1, 20));
}

TEST_F(KeepScreensTest, SignedOutOrWithoutWifiNothingIsQueued) {
    seedStoredBook(kBook, 12, 0);
    ServedBook served(*service, kBook, 12);
    BookDetailViewController* detail = openDetail(kBook);

    UserDefaults::standard().setObject(QStringLiteral("is_open_wifi"), true);
    BookDetailViewController::wifiAvailable = [] { return false; };
    detail->btnKeep()->click();
    EXPECT_FALSE(BookKeeper::shared()->isKept(kBook));
    EXPECT_FALSE(detail->notice()->text().isEmpty());

    UserStore::signOut();
    BookDetailViewController::wifiAvailable = [] { return true; };
    detail->btnKeep()->click();
    EXPECT_TRUE(presentsLogin(detail));
    EXPECT_FALSE(BookKeeper::shared()->isKept(kBook));
    testutil::spin(100);
    EXPECT_EQ(service->requests(QStringLiteral("/data/getcontent")).size(), 0);
}

TEST_F(KeepScreensTest, ShelfCoverCarriesABarWhileItsBookIsKept) {
    seedStoredBook(kBook, 35, 10);
    seedStoredBook(QStringLiteral("92"), 12, 12);
    ServedBook served(*service, kBook, 35);
    served.holdRunsStartingAt(21);
    BookKeeper::shared()->keep(kBook);
    FirstViewController* shelf = openShelf(nav);
    ASSERT_NE(barOf(shelf, kBook), nullptr);
    EXPECT_EQ(barOf(shelf, QStringLiteral("92")), nullptr);
    ASSERT_TRUE(testutil::waitUntil([&] { return barOf(shelf, kBook)->stored() == 20; }));
    KeepProgressBar* bar = barOf(shelf, kBook);
    EXPECT_EQ(bar->total(), 35);
    // Along the bottom edge of the cover, its whole width.
    EXPECT_EQ(bar->geometry().bottom(), FirstViewController::kItemHeight - 1);
    EXPECT_EQ(bar->width(), FirstViewController::kItemWidth);

    // The held run is on its way: the bar stays until it is stored.
    ASSERT_TRUE(testutil::waitUntil(
        [&] { return askedRuns(*service).contains("21,22,23,24,25,26,27,28,29,30"); }));
    served.holdRunsStartingAt(0);
    testutil::spin(100);
    EXPECT_NE(barOf(shelf, kBook), nullptr);
    ASSERT_TRUE(testutil::waitUntil([&] { return barOf(shelf, kBook) == nullptr; }, 15000));
    EXPECT_EQ(storedChapters(kBook), numbers(1, 35));
}

TEST_F(KeepScreensTest, DeletingAKeptBookMidDownloadLeavesNoRowsOfIt) {
    seedStoredBook(kBook, 45, 10);
    ServedBook served(*service, kBook, 45);
    served.setDelayMs(150);
    BookKeeper::shared()->keep(kBook);
    FirstViewController* shelf = openShelf(nav);
    // Delete while a run is on its way, after at least one was stored.
    ASSERT_TRUE(
        testutil::waitUntil([&] { return BookKeeper::shared()->progressOf(kBook).stored >= 20; }));
    shelf->presentOptions();
    ASSERT_EQ(shelf->gridView()->numberOfItems(), 1);
    shelf->gridView()->cellForItemAtIndex(0)->deleteButton()->click();
    testutil::spin(20);
    EXPECT_FALSE(BookKeeper::shared()->isKept(kBook));
    const int asked = int(service->requests(QStringLiteral("/data/getcontent")).size());
    testutil::spin(500); // the run in flight would have been answered by now
    BookDb::waitForBackgroundWrites();
    testutil::spin(20);
    EXPECT_EQ(keptRowsOf(kBook), (QList<int>{0, 0, 0, 0}));
    EXPECT_EQ(service->requests(QStringLiteral("/data/getcontent")).size(), asked);
    shelf->presentOptions();
}

TEST_F(KeepScreensTest, ReadingABookTheKeeperPutOnTheShelfMeanwhileStoresItOnce) {
    // Not on the shelf: "开始阅读" downloads, and its answer is held until the keeper has put the
    // same book on the shelf.
    ServedBook served(*service, kBook, 35);
    struct Gate {
        std::atomic<int> calls{0};
        std::atomic<bool> open{false};
    };
    auto gate = std::make_shared<Gate>();
    served.beforeAnswer([gate](const QString&) {
        if (gate->calls.fetch_add(1) == 0) {
            QElapsedTimer waited;
            waited.start();
            while (!gate->open && waited.elapsed() < 15000)
                QThread::msleep(10);
        }
        return true;
    });
    BookDetailViewController* detail = openDetail(kBook);
    bool ended = false;
    bool opened = false;
    QObject::connect(detail, &BookDetailViewController::downloadEnded, detail, [&](bool o) {
        ended = true;
        opened = o;
    });
    detail->action(BookDetailViewController::TagRead);
    ASSERT_TRUE(testutil::waitUntil([&] { return gate->calls.load() == 1; }));
    detail->btnKeep()->click();
    ASSERT_TRUE(testutil::waitUntil([&] { return BookDb().isExistsTheBook(kBook); }, 10000));
    gate->open = true;
    ASSERT_TRUE(testutil::waitUntil([&] { return ended; }, 15000));
    EXPECT_TRUE(opened);
    ASSERT_TRUE(testutil::waitUntil(
        [&] { return detail->btnKeep()->text() == QStringLiteral("已缓存全本"); }, 15000))
        << detail->btnKeep()->text().toStdString();
    BookDb::waitForBackgroundWrites();
    const QList<int> rows = keptRowsOf(kBook);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows.at(0), 1);  // one book record
    EXPECT_EQ(rows.at(1), 35); // each chapter once
    EXPECT_EQ(storedChapters(kBook), numbers(1, 35));
    EXPECT_EQ(markedChapters(kBook), numbers(1, 35));
}

TEST_F(KeepScreensTest, ContentsPaneOffersTheSameForTheBookBeingRead) {
    seedStoredBook(kBook, 25, 10);
    ServedBook served(*service, kBook, 25);
    served.holdRunsStartingAt(21);
    BookChatperViewController pane;
    pane.bookid = kBook;
    pane.currentChatperId = 3;
    pane.resize(320, 400);
    pane.loadViewIfNeeded();
    auto* keep = pane.findChild<Button*>(QStringLiteral("btnKeep"));
    ASSERT_NE(keep, nullptr);
    EXPECT_EQ(keep->text(), QStringLiteral("缓存全本"));
    keep->click();
    ASSERT_TRUE(testutil::waitUntil([&] { return keep->text() == QStringLiteral("已缓存 20/25"); }))
        << keep->text().toStdString();
    ASSERT_TRUE(
        testutil::waitUntil([&] { return askedRuns(*service).contains("21,22,23,24,25"); }));
    served.holdRunsStartingAt(0);
    ASSERT_TRUE(
        testutil::waitUntil([&] { return keep->text() == QStringLiteral("已缓存全本"); }, 15000));
    EXPECT_FALSE(keep->isEnabled());
    EXPECT_EQ(storedChapters(kBook), numbers(1, 25));
}
