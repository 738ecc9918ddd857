// The book detail screen: its texts, favorites, related books, and the road from a book of
// the service to the reader (stored book, download and its failures, back navigation).
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLabel>
#include <QScrollArea>
#include <atomic>
#include <chrono>
#include <thread>

#include "catalog/BookDetailViewController.h"
#include "catalog/CoverFiles.h"
#include "catalog/FirstViewController.h"
#include "catalog/RecommendCell.h"
#include "catalog/SecondViewController.h"
#include "platform/Localizable.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Button.h"
#include "platform/ui/NoticeView.h"
#include "reader/ReadbooksViewController.h"
#include "service/Service.h"
#include "storage/BookDb.h"
#include "storage/UserStore.h"
#include "tests/catalog/CatalogTestSupport.h"
#include "tests/support/TestUtil.h"
#include "widgets/EGOImageButton.h"
#include "widgets/PullingRefreshTableView.h"
#include <QMouseEvent>

using namespace catalogtest;

namespace {

MyBookList book(const QString& id, int lastChapter = 25) {
    return MyBookList::initWithDictionary(bookJson(id, QStringLiteral("书") + id, lastChapter));
}

class DetailTest : public CatalogScreenTest {
protected:
    // Taps "开始阅读" and waits for the download to end; true when it opened the reader.
    static bool download(BookDetailViewController* detail) {
        bool ended = false;
        bool opened = false;
        QObject::connect(detail, &BookDetailViewController::downloadEnded, detail, [&](bool o) {
            ended = true;
            opened = o;
        });
        detail->action(BookDetailViewController::TagRead);
        EXPECT_TRUE(testutil::waitUntil([&] { return ended; }, 20000));
        return opened;
    }
    static QString noticeText(BookDetailViewController* detail) {
        return detail->notice() && detail->notice()->displayCount() > 0 ? detail->notice()->text()
                                                                        : QString();
    }
    static void settleReader() {
        auto* reader = qobject_cast<ReadbooksViewController*>(nav->topViewController());
        if (reader) {
            EXPECT_TRUE(testutil::waitUntil([reader] { return !reader->isBusy(); }, 60000));
        }
    }
};

TEST_F(DetailTest, DownloadAsksForTheFirstTenChaptersAtMost) {
    EXPECT_EQ(BookDetailViewController::downloadChapters(QVariant()), QStringLiteral("1"));
    EXPECT_EQ(BookDetailViewController::downloadChapters(0), QStringLiteral("1"));
    EXPECT_EQ(BookDetailViewController::downloadChapters(QStringLiteral("3")),
              QStringLiteral("1,2,3"));
    EXPECT_EQ(BookDetailViewController::downloadChapters(25),
              QStringLiteral("1,2,3,4,5,6,7,8,9,10"));
}

TEST_F(DetailTest, ShowsTheBookAndItsRelatedBooks) {
    QVariantMap other = bookJson(QStringLiteral("602"), QStringLiteral("相关的书"));
    other.insert(QStringLiteral("author"), QStringLiteral("乙"));
    const QVariantMap answer{{QStringLiteral("result"), QStringLiteral("ok")},
                             {QStringLiteral("books"), QVariantList{other}}};
    service->route(QStringLiteral("GET"), QStringLiteral("/data/alsoread"),
                   FakeService::Reply::json(QJsonDocument::fromVariant(answer).toJson()));
    BookDetailViewController* detail = openDetail(book(QStringLiteral("601")));
    EXPECT_EQ(detail->factTexts(),
              QStringList({QStringLiteral("书601"), QStringLiteral("作者：作者601"),
                           QStringLiteral("分类: 玄幻"), QStringLiteral("更新: 2026-11-30"),
                           QStringLiteral("状态: 连载中")}));
    EXPECT_EQ(detail->labelIntroContent()->text(), QStringLiteral("    一段简介。"));
    EXPECT_EQ(detail->labelReadSite()->text(), QStringLiteral("甲站"));
    ASSERT_TRUE(testutil::waitUntil([detail] { return detail->arrReadMore().size() == 1; }));
    EXPECT_EQ(detail->arrReadMore().first().myTitle(), QStringLiteral("相关的书"));
    EXPECT_EQ(detail->tableView()->rowCount(), 1);
    EXPECT_TRUE(detail->tableView()->reachedTheEnd());
    EXPECT_EQ(service->requests(QStringLiteral("/data/alsoread")).first().queryValue("book_id"),
              QStringLiteral("601"));
    // Signed out: no book info is asked for.
    EXPECT_TRUE(service->requests(QStringLiteral("/data/bookinfo")).isEmpty());

    // A tap on the row opens that book's detail; so does a tap on its cover.
    auto* row = qobject_cast<RecommendCell*>(detail->tableView()->cellWidget(0, 0));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->bookNameLabel()->text(), QStringLiteral("相关的书"));
    for (int way = 0; way < 2; ++way) {
        if (way == 0) {
            const QPoint at(200, 30);
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), row->mapToGlobal(QPointF(at)),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at),
                                row->mapToGlobal(QPointF(at)), Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier);
            QCoreApplication::sendEvent(row, &press);
            QCoreApplication::sendEvent(row, &release);
        } else {
            row->imagePhoto()->click();
        }
        testutil::spin(30);
        auto* opened = qobject_cast<BookDetailViewController*>(nav->topViewController());
        ASSERT_NE(opened, nullptr);
        ASSERT_NE(opened, detail);
        EXPECT_EQ(opened->bookInfo().myTitle(), QStringLiteral("相关的书"));
        EXPECT_TRUE(opened->hidesBottomBarWhenPushed());
        nav->popViewController(false);
        testutil::spin(30);
    }
}

TEST_F(DetailTest, EmptyRelatedAnswerAndExpandingTheIntroduction) {
    bool loaded = false;
    QVariantMap long_ = bookJson(QStringLiteral("621"), QStringLiteral("长简介"));
    long_.insert(QStringLiteral("intro"), QString(400, QChar(0x5B57)));
    auto* detail = openDetail(MyBookList::initWithDictionary(long_));
    QObject::connect(detail, &BookDetailViewController::relatedLoaded, detail,
                     [&] { loaded = true; });
    ASSERT_TRUE(testutil::waitUntil([&] { return loaded; }));
    EXPECT_TRUE(detail->arrReadMore().isEmpty());
    EXPECT_EQ(detail->tableView()->rowCount(), 0);
    EXPECT_EQ(noticeText(detail), QString());

    // Expanding the introduction moves the list below it.
    const int before = detail->labelIntroContent()->height();
    detail->action(BookDetailViewController::TagOpenAll);
    testutil::spin(30);
    EXPECT_FALSE(detail->btnOpenAll()->isVisible());
    EXPECT_GT(detail->labelIntroContent()->height(), before * 4);
    EXPECT_EQ(detail->labelReadMore()->y(), detail->labelIntroContent()->geometry().bottom() + 1);
    EXPECT_GT(detail->tableView()->y(), detail->labelReadMore()->geometry().bottom());
    EXPECT_EQ(detail->scrollView()->widget()->height(),
              detail->tableView()->geometry().bottom() + 1);
}

TEST_F(DetailTest, SignedOutFavoriteAndDownloadPresentTheLogin) {
    serveBook(QStringLiteral("631"), QString());
    BookDetailViewController* detail = openDetail(book(QStringLiteral("631")));
    detail->action(BookDetailViewController::TagFavAdd);
    EXPECT_TRUE(presentsLogin(detail));
    detail->dismissModal(false);
    testutil::spin(20);
    detail->action(BookDetailViewController::TagRead);
    EXPECT_TRUE(presentsLogin(detail));
    testutil::spin(50);
    EXPECT_TRUE(service->requests(QStringLiteral("/data/getcontent")).isEmpty());
    EXPECT_TRUE(service->requests(QStringLiteral("/site/favouite")).isEmpty());
}

TEST_F(DetailTest, FavoriteSwitchFollowsTheServiceAndARefusalSignsOut) {
    signIn(QStringLiteral("tok-fav"));
    service->route(QStringLiteral("GET"), QStringLiteral("/data/bookinfo"),
                   FakeService::Reply::json(R"({"result":"ok","book":{"is_favouite":"1"}})"));
    service->route(QStringLiteral("GET"), QStringLiteral("/site/favouite"),
                   FakeService::Reply::json(R"({"result":"ok"})"));
    BookDetailViewController* detail = openDetail(book(QStringLiteral("641")));
    ASSERT_TRUE(testutil::waitUntil([detail] { return detail->showsFavorite(); }));
    EXPECT_EQ(service->requests(QStringLiteral("/data/bookinfo")).first().queryValue("token"),
              QStringLiteral("tok-fav"));

    detail->action(BookDetailViewController::TagFavRemove);
    ASSERT_TRUE(testutil::waitUntil([detail] { return !detail->showsFavorite(); }));
    const FakeService::Request sent = service->requests(QStringLiteral("/site/favouite")).first();
    EXPECT_EQ(sent.queryValue("fav"), QStringLiteral("0"));
    EXPECT_EQ(sent.queryValue("book_id"), QStringLiteral("641"));
    EXPECT_EQ(noticeText(detail), QStringLiteral("操作成功"));
    ASSERT_TRUE(testutil::waitUntil([detail] { return !detail->notice()->isAnimating(); }));

    service->route(QStringLiteral("GET"), QStringLiteral("/site/favouite"),
                   FakeService::Reply::json(R"({"result":"error","msg":"请重新登录"})"));
    detail->action(BookDetailViewController::TagFavAdd);
    ASSERT_TRUE(testutil::waitUntil([] { return !UserStore::isSignedIn(); }));
    EXPECT_FALSE(detail->showsFavorite());
    EXPECT_EQ(noticeText(detail), QStringLiteral("操作失败"));
}

TEST_F(DetailTest, AStoredBookOpensWithoutTheServiceWhileSignedOut) {
    seedBook(QStringLiteral("651"), QStringLiteral("已在书架"), QString(), 1);
    seedChapters(QStringLiteral("651"), {2, 3});
    ASSERT_TRUE(BookDb().recordLastRead({{QStringLiteral("book_id"), QStringLiteral("651")},
                                         {QStringLiteral("chapter_id"), QStringLiteral("3")},
                                         {QStringLiteral("page_id"), QStringLiteral("2")},
                                         {QStringLiteral("create_time"), QStringLiteral("1")}}));
    BookDetailViewController* detail = openDetail(book(QStringLiteral("651")));
    testutil::spin(50);
    service->clearRequests();
    detail->action(BookDetailViewController::TagRead);
    ReadbooksViewController* reader = topReader();
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->current_chapter_id, 3);
    EXPECT_EQ(reader->currentPage, 2);
    EXPECT_EQ(reader->str, chapterText(QStringLiteral("651"), 3));
    EXPECT_FALSE(presentsLogin(detail));
    EXPECT_TRUE(service->requests(QStringLiteral("/data/getcontent")).isEmpty());
    settleReader();
}

TEST_F(DetailTest, WifiOnlyDownloadsWaitForWifi) {
    signIn();
    serveBook(QStringLiteral("661"), QString());
    UserDefaults::standard().setObject(QStringLiteral("is_open_wifi"), true);
    BookDetailViewController::wifiAvailable = [] { return false; };
    BookDetailViewController* detail = openDetail(book(QStringLiteral("661")));
    detail->action(BookDetailViewController::TagRead);
    testutil::spin(100);
    EXPECT_TRUE(service->requests(QStringLiteral("/data/getcontent")).isEmpty());
    EXPECT_EQ(noticeText(detail), L("Please open settings not limited wifi download"));
    EXPECT_FALSE(BookDb().isExistsTheBook(QStringLiteral("661")));

    // Without the setting any network will do.
    UserDefaults::standard().setObject(QStringLiteral("is_open_wifi"), false);
    EXPECT_TRUE(download(detail));
    EXPECT_EQ(service->requests(QStringLiteral("/data/getcontent")).size(), 1);
    settleReader();
}

TEST_F(DetailTest, DownloadStoresTheBookAndOpensItsFirstChapter) {
    signIn();
    serveBook(QStringLiteral("1"), QStringLiteral("/covers/1.png"));
    BookDetailViewController* detail = openDetail(book(QStringLiteral("1")));
    bool ended = false;
    QObject::connect(detail, &BookDetailViewController::downloadEnded, detail,
                     [&](bool) { ended = true; });
    detail->action(BookDetailViewController::TagRead);
    // A second tap while the first download runs starts nothing.
    detail->action(BookDetailViewController::TagRead);
    ASSERT_TRUE(testutil::waitUntil([&] { return ended; }));
    testutil::spin(50);
    EXPECT_EQ(service->requests(QStringLiteral("/data/getcontent")).size(), 1);
    EXPECT_EQ(service->requests(QStringLiteral("/data/getcontent")).first().queryValue("chapters"),
              QStringLiteral("1,2,3,4,5,6,7,8,9,10"));
    int readers = 0;
    for (ViewController* screen : nav->viewControllers())
        readers += qobject_cast<ReadbooksViewController*>(screen) ? 1 : 0;
    EXPECT_EQ(readers, 1);

    ReadbooksViewController* reader = topReader();
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->book_id, QStringLiteral("1"));
    EXPECT_EQ(reader->current_chapter_id, 1);
    EXPECT_EQ(reader->currentPage, 1);
    EXPECT_EQ(reader->str, chapterText(QStringLiteral("1"), 1));

    const QString cover = GetMD5(QStringLiteral("1")) + QStringLiteral(".png");
    const QVariantMap stored = BookDb().selectBookByBookid(QStringLiteral("1"));
    EXPECT_EQ(stored.value(QStringLiteral("title")).toString(), QStringLiteral("下载的书"));
    EXPECT_EQ(stored.value(QStringLiteral("last_chapter_number")).toString(), QStringLiteral("25"));
    EXPECT_EQ(stored.value(QStringLiteral("cover")).toString(), cover);
    EXPECT_EQ(BookDb().getCountFromChapterByBookid(QStringLiteral("1")), 10);
    ASSERT_TRUE(testutil::waitUntil([detail] { return detail->coverSettled(); }));
    EXPECT_FALSE(QImage(CoverFiles::directory() + QLatin1Char('/') + cover).isNull());
    ASSERT_TRUE(testutil::waitUntil([] {
        BookDb::waitForBackgroundWrites();
        return BookDb().selectAllChapterMenu(QStringLiteral("1")).size() == 25;
    }));
    // The chapters stored are marked downloaded in the table of contents.
    EXPECT_EQ(BookDb().selectAllChapterMenu(QStringLiteral("1")).at(9).toMap().value("downstatus"),
              QStringLiteral("1"));
    settleReader();
}

TEST_F(DetailTest, ABookDeletedWhileItsMenuAndCoverAreOnTheWayStaysGone) {
    signIn();
    serveBook(QStringLiteral("1"), QStringLiteral("/covers/1.png"));
    // The table of contents and the cover are held back until the book is deleted.
    auto released = std::make_shared<std::atomic<bool>>(false);
    auto heldBack = [released](FakeService::Reply reply) {
        return [released, reply](const FakeService::Request&) {
            for (int i = 0; i < 1000 && !*released; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return reply;
        };
    };
    service->route(QStringLiteral("GET"), QStringLiteral("/data/menu"),
                   heldBack(FakeService::Reply::json(
                       R"({"result":"ok","chapter_list":[{"chapter_number":"1","title":"一"}]})")));
    service->route(QStringLiteral("GET"), QStringLiteral("/covers/1.png"),
                   heldBack(FakeService::Reply::text(pngBytes(), "image/png")));

    BookDetailViewController* detail = openDetail(book(QStringLiteral("1")));
    ASSERT_TRUE(download(detail));
    // Back from the reader to the shelf, where the book is deleted at once.
    settleReader();
    nav->popViewController(false);
    auto* shelf = new FirstViewController();
    shelf->reloadShelf();
    ASSERT_EQ(shelf->bookArr().size(), 1);
    shelf->GMGridViewDeleteItemAtIndex(shelf->gridView(), 0);
    delete shelf;
    *released = true;

    ASSERT_TRUE(testutil::waitUntil([detail] { return detail->coverSettled(); }));
    ASSERT_TRUE(testutil::waitUntil(
        [] { return service->requests(QStringLiteral("/data/menu")).size() == 1; }));
    testutil::spin(1000);
    EXPECT_EQ(rowsOf(QStringLiteral("1")), QList<int>({0, 0, 0, 0, 0}));
    EXPECT_TRUE(QDir(CoverFiles::directory()).entryList(QDir::Files).isEmpty());
}

TEST_F(DetailTest, CoversWithoutAUsableExtensionSaveNoFile) {
    signIn();
    // No cover address at all: the digest and a full stop, no file.
    serveBook(QStringLiteral("671"), QString());
    BookDetailViewController* detail = openDetail(book(QStringLiteral("671")));
    ASSERT_TRUE(download(detail));
    settleReader();
    EXPECT_EQ(BookDb().selectBookByBookid(QStringLiteral("671")).value("cover").toString(),
              GetMD5(QStringLiteral("671")) + QStringLiteral("."));
    // An extension that is no image type of ours: the value is kept, nothing is written.
    nav->popToRootViewController(false);
    serveBook(QStringLiteral("672"), QStringLiteral("/covers/1.gif"));
    service->route(QStringLiteral("GET"), QStringLiteral("/covers/1.gif"),
                   FakeService::Reply::text(pngBytes(), "image/gif"));
    detail = openDetail(book(QStringLiteral("672")));
    ASSERT_TRUE(download(detail));
    ASSERT_TRUE(testutil::waitUntil([detail] { return detail->coverSettled(); }));
    settleReader();
    EXPECT_TRUE(QDir(CoverFiles::directory()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(CoverFiles::directory()).exists());
}

TEST_F(DetailTest, FailedDownloadsStoreNothingOrOnlyTheBook) {
    signIn();
    BookDetailViewController* detail = openDetail(book(QStringLiteral("681")));

    // The service has nothing for these chapters.
    service->route(QStringLiteral("GET"), QStringLiteral("/data/getcontent"),
                   FakeService::Reply::json(R"({"result":"ok","chapters":null,"book":{}})"));
    EXPECT_FALSE(download(detail));
    EXPECT_EQ(noticeText(detail), QStringLiteral("服务器返回错误"));
    EXPECT_EQ(rowsOf(QStringLiteral("681")), QList<int>({0, 0, 0, 0, 0}));
    ASSERT_TRUE(testutil::waitUntil([detail] { return !detail->notice()->isAnimating(); }));

    // A refusal.
    service->route(QStringLiteral("GET"), QStringLiteral("/data/getcontent"),
                   FakeService::Reply::json(R"({"result":"error","msg":"没有此书"})"));
    EXPECT_FALSE(download(detail));
    EXPECT_EQ(noticeText(detail), L("The network is not good"));
    EXPECT_EQ(rowsOf(QStringLiteral("681")), QList<int>({0, 0, 0, 0, 0}));
    ASSERT_TRUE(testutil::waitUntil([detail] { return !detail->notice()->isAnimating(); }));

    // No answer at all.
    service->route(QStringLiteral("GET"), QStringLiteral("/data/getcontent"),
                   FakeService::Reply::dropped());
    const int shown = detail->notice()->displayCount();
    EXPECT_FALSE(download(detail));
    EXPECT_EQ(detail->notice()->displayCount(), shown + 1);
    EXPECT_EQ(detail->notice()->text(), L("The network is not good"));
    EXPECT_EQ(rowsOf(QStringLiteral("681")), QList<int>({0, 0, 0, 0, 0}));
    EXPECT_EQ(topReader(), nullptr);
    ASSERT_TRUE(testutil::waitUntil([detail] { return !detail->notice()->isAnimating(); }));

    // A chapter the database refuses (no number): the book stays, its chapters go.
    const QByteArray answer =
        R"({"result":"ok","book":{"book_id":681,"title":"坏章节",)"
        R"("last_chapter_number":2,"coverimg":""},"chapters":[)"
        R"({"book_id":681,"chapter_number":1,"title":"一","content":"<p>1</p>"},)"
        R"({"book_id":681,"title":"二","content":"<p>2</p>"}]})";
    service->route(QStringLiteral("GET"), QStringLiteral("/data/getcontent"),
                   FakeService::Reply::json(answer));
    EXPECT_FALSE(download(detail));
    EXPECT_EQ(rowsOf(QStringLiteral("681")), QList<int>({1, 0, 0, 0, 0}));
    EXPECT_EQ(topReader(), nullptr);
    EXPECT_EQ(detail->notice()->text(), L("The network is not good"));
}

TEST_F(DetailTest, BackFromAChainOfDetailsLandsOnTheListOrOneLevelUp) {
    auto* list = new SecondViewController();
    nav->pushViewController(list, false);
    BookDetailViewController* first = openDetail(book(QStringLiteral("691")));
    BookDetailViewController* second =
        BookDetailViewController::pushFrom(first, book(QStringLiteral("692")));
    ASSERT_NE(second, nullptr);
    testutil::spin(50);
    EXPECT_EQ(nav->topViewController(), second);
    second->action(BookDetailViewController::TagBack);
    testutil::spin(50);
    EXPECT_EQ(nav->topViewController(), list);

    // Without a list screen below, back goes one level.
    nav->popToRootViewController(false);
    testutil::spin(30);
    auto* below = new ViewController();
    nav->pushViewController(below, false);
    BookDetailViewController* detail = openDetail(book(QStringLiteral("695")));
    detail->action(BookDetailViewController::TagBack);
    testutil::spin(50);
    EXPECT_EQ(nav->topViewController(), below);
}

} // namespace
