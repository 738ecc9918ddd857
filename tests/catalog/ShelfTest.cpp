// The bookshelf: the grid and its shelves, opening a book where reading stopped, editing and
// deleting, the user button and the version check.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "account/MyInfoViewController.h"
#include "app/VersionCheck.h"
#include "catalog/CoverFiles.h"
#include "catalog/FirstViewController.h"
#include "catalog/ShelfBookFace.h"
#include "platform/Application.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "reader/ReadbooksViewController.h"
#include "storage/BookDb.h"
#include "storage/UserStore.h"
#include "tests/catalog/CatalogTestSupport.h"
#include "tests/support/TestUtil.h"
#include "widgets/GMGridViewCell.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>

using namespace catalogtest;

namespace {

void mouse(QWidget* w, QEvent::Type type, const QPoint& at) {
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

class ShelfTest : public CatalogScreenTest {
protected:
    FirstViewController* openShelf() {
        auto* shelf = new FirstViewController();
        nav->pushViewController(shelf, false);
        testutil::spin(10);
        return shelf;
    }
    static QStringList shelfIds(const FirstViewController* shelf) {
        QStringList ids;
        for (const QVariant& b : shelf->bookArr())
            ids.append(b.toMap().value(QStringLiteral("book_id")).toString());
        return ids;
    }
    static void seedBooks(int from, int to) {
        for (int i = from; i <= to; ++i)
            seedBook(QString::number(i), QStringLiteral("书%1").arg(i), QString(), 1700000000 + i);
    }
    // The reader opened by a tap, its values, after it has settled; then it is closed.
    QString readerState(ReadbooksViewController* reader) {
        if (!reader)
            return QStringLiteral("no reader");
        const QString state = QStringLiteral("%1/%2/%3")
                                  .arg(reader->current_chapter_id)
                                  .arg(reader->currentPage)
                                  .arg(reader->str.isNull() ? QStringLiteral("null") : reader->str);
        EXPECT_TRUE(testutil::waitUntil([reader] { return !reader->isBusy(); }, 60000));
        nav->popViewController(false);
        testutil::spin(20);
        return state;
    }
};

TEST_F(ShelfTest, RowsAndShelvesFollowTheBookCount) {
    FirstViewController* shelf = openShelf();
    EXPECT_EQ(shelf->gridView()->numberOfItems(), 0);
    EXPECT_EQ(shelf->shelfImages().size(), 4);
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());

    seedBooks(1, 7);
    shelf->reloadShelf();
    EXPECT_EQ(shelf->gridView()->numberOfItems(), 7);
    EXPECT_EQ(shelf->gridView()->columns(), 3);
    EXPECT_EQ(shelf->rows(), 3);
    EXPECT_EQ(shelf->shelfImages().size(), 4);
    // Newest first.
    EXPECT_EQ(shelfIds(shelf).first(), QStringLiteral("7"));

    seedBooks(8, 13);
    shelf->reloadShelf();
    EXPECT_EQ(shelf->rows(), 5);
    const QList<ImageView*> shelves = shelf->shelfImages();
    ASSERT_EQ(shelves.size(), 5);
    // The extra board lies under the fifth row: the row's covers end on it.
    const QRect lastRow = shelf->gridView()->rectForItemAtIndex(12);
    EXPECT_GT(shelves.last()->geometry().bottom(), lastRow.bottom());
    EXPECT_LT(shelves.last()->geometry().top(), lastRow.bottom());
}

TEST_F(ShelfTest, OpeningABookFollowsTheLastReadRecord) {
    seedBook(QStringLiteral("21"), QStringLiteral("从未读过"), QString(), 1700000001);
    seedChapters(QStringLiteral("21"), {4, 5, 6});
    seedBook(QStringLiteral("22"), QStringLiteral("没有章节"), QString(), 1700000002);
    seedBook(QStringLiteral("23"), QStringLiteral("读到一半"), QString(), 1700000003);
    seedChapters(QStringLiteral("23"), {1, 2, 3});
    ASSERT_TRUE(BookDb().recordLastRead({{QStringLiteral("book_id"), QStringLiteral("23")},
                                         {QStringLiteral("chapter_id"), QStringLiteral("3")},
                                         {QStringLiteral("page_id"), QStringLiteral("0")},
                                         {QStringLiteral("create_time"), QStringLiteral("1")}}));
    FirstViewController* shelf = openShelf();

    EXPECT_EQ(readerState(shelf->readBook(QStringLiteral("21"))),
              QStringLiteral("4/1/") + chapterText(QStringLiteral("21"), 4));
    // Back from the reader the shelf lies below an opaque bar again.
    EXPECT_FALSE(nav->isNavigationBarTranslucent());
    EXPECT_FALSE(nav->isNavigationBarHidden());
    // The book opened comes to the front of the shelf.
    shelf->reloadShelf();
    EXPECT_EQ(shelfIds(shelf).first(), QStringLiteral("21"));
    EXPECT_EQ(readerState(shelf->readBook(QStringLiteral("22"))), QStringLiteral("1/1/null"));
    EXPECT_EQ(readerState(shelf->readBook(QStringLiteral("23"))),
              QStringLiteral("3/1/") + chapterText(QStringLiteral("23"), 3));
}

TEST_F(ShelfTest, EditingStopsTapsAndLongPressToggles) {
    seedBooks(1, 2);
    FirstViewController* shelf = openShelf();
    EXPECT_EQ(shelf->rightBarButton(), shelf->editBtn());
    EXPECT_EQ(shelf->leftBarButton(), shelf->mineBtn());

    shelf->presentOptions();
    EXPECT_TRUE(shelf->isEditing());
    EXPECT_EQ(shelf->rightBarButton(), shelf->confirmBtn());
    EXPECT_EQ(shelf->leftBarButton(), nullptr);
    EXPECT_EQ(shelf->readBook(QStringLiteral("1")), nullptr);
    shelf->GMGridViewDidTapOnItemAtIndex(shelf->gridView(), 0);
    EXPECT_EQ(nav->topViewController(), shelf);

    // A long press on a cover leaves editing; letting go of it opens nothing.
    auto* cover = shelf->gridView()->cellForItemAtIndex(0)->findChild<ShelfBookFace*>(
        QStringLiteral("coverButton"));
    ASSERT_NE(cover, nullptr);
    mouse(cover, QEvent::MouseButtonPress, QPoint(20, 20));
    ASSERT_TRUE(testutil::waitUntil([shelf] { return !shelf->isEditing(); }, 5000));
    mouse(cover, QEvent::MouseButtonRelease, QPoint(20, 20));
    testutil::spin(20);
    EXPECT_EQ(nav->topViewController(), shelf);
    EXPECT_EQ(shelf->rightBarButton(), shelf->editBtn());
    EXPECT_EQ(shelf->leftBarButton(), shelf->mineBtn());
    // An ordinary tap after it opens the book.
    mouse(cover, QEvent::MouseButtonPress, QPoint(20, 20));
    mouse(cover, QEvent::MouseButtonRelease, QPoint(20, 20));
    EXPECT_NE(topReader(), nullptr);
    EXPECT_NE(readerState(topReader()), QStringLiteral("no reader"));
}

TEST_F(ShelfTest, DeleteRemovesEveryRowAndTheCoverAndMovesTheBadge) {
    const QString cover =
        CoverFiles::coverName(QStringLiteral("31"), QStringLiteral("http://h/c.png"));
    seedBook(QStringLiteral("31"), QStringLiteral("要删的书"), cover, 1700000009);
    seedBook(QStringLiteral("32"), QStringLiteral("留下的书"), QString(), 1700000001);
    seedChapters(QStringLiteral("31"), {1, 2});
    writeCover(cover);
    BookDb db;
    ASSERT_TRUE(db.insertChapterMenu(
        QStringLiteral("31"),
        {{QStringLiteral("result"), QStringLiteral("ok")},
         {QStringLiteral("chapter_list"),
          QVariantList{QVariantMap{{QStringLiteral("chapter_number"), 1},
                                   {QStringLiteral("title"), QStringLiteral("一")}}}}}));
    ASSERT_TRUE(db.recordLastRead({{QStringLiteral("book_id"), QStringLiteral("31")},
                                   {QStringLiteral("chapter_id"), QStringLiteral("2")},
                                   {QStringLiteral("page_id"), QStringLiteral("3")},
                                   {QStringLiteral("create_time"), QStringLiteral("1")}}));
    ASSERT_TRUE(db.addBookMark({{QStringLiteral("book_id"), QStringLiteral("31")},
                                {QStringLiteral("chapter_id"), QStringLiteral("2")},
                                {QStringLiteral("page_id"), QStringLiteral("3")},
                                {QStringLiteral("title"), QStringLiteral("书签")},
                                {QStringLiteral("create_time"), QStringLiteral("1")}}));
    ASSERT_EQ(rowsOf(QStringLiteral("31")), QList<int>({1, 2, 1, 1, 1}));

    FirstViewController* shelf = openShelf();
    EXPECT_TRUE(shelf->dataPics().contains(cover));
    GMGridView* grid = shelf->gridView();
    EXPECT_EQ(grid->cellForItemAtIndex(0)
                  ->findChild<ShelfBookFace*>(QStringLiteral("coverButton"))
                  ->showsCover(),
              true);
    EXPECT_NE(grid->cellForItemAtIndex(0)->findChild<QWidget*>(QStringLiteral("readBadge")),
              nullptr);
    EXPECT_EQ(grid->cellForItemAtIndex(1)->findChild<QWidget*>(QStringLiteral("readBadge")),
              nullptr);

    shelf->presentOptions();
    QToolButton* remove = grid->cellForItemAtIndex(0)->deleteButton();
    ASSERT_NE(remove, nullptr);
    // The icon sits on the cover's corner, within a finger's reach of the cover.
    EXPECT_TRUE(remove->geometry().intersects(grid->cellForItemAtIndex(0)->geometry()));
    remove->click();
    testutil::spin(20);

    EXPECT_EQ(rowsOf(QStringLiteral("31")), QList<int>({0, 0, 0, 0, 0}));
    EXPECT_FALSE(QFileInfo::exists(CoverFiles::directory() + QLatin1Char('/') + cover));
    EXPECT_EQ(shelfIds(shelf), QStringList{QStringLiteral("32")});
    EXPECT_EQ(grid->numberOfItems(), 1);
    shelf->presentOptions();
    shelf->reloadShelf();
    EXPECT_NE(grid->cellForItemAtIndex(0)->findChild<QWidget*>(QStringLiteral("readBadge")),
              nullptr);
    EXPECT_EQ(grid->cellForItemAtIndex(0)
                  ->findChild<ShelfBookFace*>(QStringLiteral("coverButton"))
                  ->showsCover(),
              false);
}

TEST_F(ShelfTest, DeleteNeverRemovesAFileOutsideTheCovers) {
    // A cover value that names a path is not a cover file name.
    QFile outside(QDir(CoverFiles::directory()).filePath(QStringLiteral("../keep.png")));
    QDir().mkpath(CoverFiles::directory());
    ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
    outside.write(pngBytes());
    outside.close();
    seedBook(QStringLiteral("41"), QStringLiteral("怪名字"), QStringLiteral("../keep.png"), 1);
    seedBook(QStringLiteral("42"), QStringLiteral("库名字"), QStringLiteral("../books.sqlite"), 2);
    FirstViewController* shelf = openShelf();
    shelf->GMGridViewDeleteItemAtIndex(shelf->gridView(), 0);
    shelf->GMGridViewDeleteItemAtIndex(shelf->gridView(), 0);
    EXPECT_TRUE(shelf->bookArr().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(outside.fileName()));
    EXPECT_TRUE(QFileInfo::exists(BookDb().dbPath()));
    EXPECT_EQ(rowsOf(QStringLiteral("41")).first(), 0);
}

TEST_F(ShelfTest, DeleteDuringAPendingChapterWriteLeavesNoRows) {
    seedBook(QStringLiteral("51"), QStringLiteral("正在下载"), QString(), 1);
    FirstViewController* shelf = openShelf();
    // Chapters still on their way into the database when the delete comes.
    QVariantList chapters;
    for (int n = 1; n <= 200; ++n)
        chapters.append(QVariantMap{{QStringLiteral("book_id"), QStringLiteral("51")},
                                    {QStringLiteral("chapter_number"), n},
                                    {QStringLiteral("title"), QStringLiteral("章")},
                                    {QStringLiteral("content"), QString(2000, QLatin1Char('x'))}});
    ASSERT_TRUE(BookDb().insertChapterAll(QStringLiteral("51"),
                                          {{QStringLiteral("result"), QStringLiteral("ok")},
                                           {QStringLiteral("chapters"), chapters}}));
    shelf->GMGridViewDeleteItemAtIndex(shelf->gridView(), 0);
    EXPECT_EQ(rowsOf(QStringLiteral("51")), QList<int>({0, 0, 0, 0, 0}));
}

TEST_F(ShelfTest, UserButtonLeadsToTheMemberCenterOrTheLogin) {
    FirstViewController* shelf = openShelf();
    shelf->toMyCenter();
    EXPECT_TRUE(presentsLogin(shelf));
    EXPECT_EQ(nav->topViewController(), shelf);
    shelf->dismissModal(false);
    testutil::spin(20);

    signIn();
    shelf->toMyCenter();
    auto* center = qobject_cast<MyInfoViewController*>(nav->topViewController());
    ASSERT_NE(center, nullptr);
    EXPECT_TRUE(center->hidesBottomBarWhenPushed());
}

TEST_F(ShelfTest, VersionCheckRunsOnEveryAppearanceUntilNoMoreReminders) {
    service->route(QStringLiteral("GET"), QStringLiteral("/lookup"),
                   FakeService::Reply::json(
                       R"({"resultCount":1,"results":[{"version":"99.0",)"
                       R"("trackViewUrl":"https://apps.example.com/x","description":"新"}]})"));
    FirstViewController* shelf = openShelf();
    ASSERT_TRUE(testutil::waitUntil([] { return AlertView::visibleAlerts().size() == 1; }));
    EXPECT_EQ(AlertView::visibleAlerts().first()->title(), QStringLiteral("升级提醒"));
    AlertView::visibleAlerts().first()->clickButtonAtIndex(1); // 稍候再说
    testutil::spin(20);
    EXPECT_FALSE(UserDefaults::standard().boolForKey(QStringLiteral("nomore_remind")));

    // Coming back into view asks again.
    auto* over = new ViewController();
    nav->pushViewController(over, false);
    nav->popViewController(false);
    ASSERT_TRUE(testutil::waitUntil([] { return AlertView::visibleAlerts().size() == 1; }));
    EXPECT_EQ(service->requests(QStringLiteral("/lookup")).size(), 2);
    AlertView::visibleAlerts().first()->clickButtonAtIndex(2); // 不再提醒
    testutil::spin(20);
    EXPECT_TRUE(UserDefaults::standard().boolForKey(QStringLiteral("nomore_remind")));

    over = new ViewController();
    nav->pushViewController(over, false);
    nav->popViewController(false);
    testutil::spin(300);
    EXPECT_EQ(service->requests(QStringLiteral("/lookup")).size(), 2);
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
    Q_UNUSED(shelf);
}

} // namespace
