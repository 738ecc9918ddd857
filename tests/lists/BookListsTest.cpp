// Reading records and favorites, against the fake service.
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "widgets/EGOImageButton.h"

#include "account/MyFavoriteViewController.h"
#include "account/ReadRecordViewController.h"
#include "catalog/BookDetailViewController.h"
#include "catalog/RecommendCell.h"
#include "platform/ui/Button.h"
#include "tests/lists/ListsFixture.h"

using namespace liststest;

namespace {

const QString kRecords = QStringLiteral("/data/getreadlog");
const QString kRemoveRecord = QStringLiteral("/site/removeReadrecord");
const QString kClearAll = QStringLiteral("/site/delete_read_record");
const QString kFavorites = QStringLiteral("/data/getfavouite");
const QString kFavorite = QStringLiteral("/site/favouite");

// Page n of total favorites, ids counted from 1.
QJsonObject favoritePage(int n, int total) {
    QJsonArray books;
    for (int id = (n - 1) * 11 + 1; id <= qMin(total, n * 11); ++id)
        books.append(book(id));
    return {{"result", "ok"}, {"books", books}, {"count", QString::number(total)}};
}

QList<int> ids(const QList<MyBookList>& books) {
    QList<int> out;
    for (const MyBookList& b : books)
        out << b.myId().toInt();
    return out;
}

class BookListsTest : public ListsTest {
protected:
    BookDetailViewController* shownDetail() const {
        return qobject_cast<BookDetailViewController*>(nav->topViewController());
    }
};

} // namespace

TEST_F(BookListsTest, RecordsPageAndEndWithTheirOwnTexts) {
    routePages(kRecords, [](int n) {
        return n == 1 ? recordPage(1, 12) : QJsonObject{{"result", "no"}};
    });
    auto* records = open<ReadRecordViewController>(kRecords);
    EXPECT_EQ(ids(records->arrListRecords()).size(), 11);
    EXPECT_EQ(records->cell(0)->bookNameLabel()->text(), QStringLiteral("书 1"));

    pullUp(records->tableView());
    ASSERT_TRUE(settled(records, kRecords, 2));
    EXPECT_EQ(records->lastMessage(), QStringLiteral("没有更多记录"));
    EXPECT_TRUE(records->tableView()->reachedTheEnd());
    EXPECT_EQ(records->itemCount(), 11) << "a refused page keeps what was held";
}

TEST_F(BookListsTest, RecordsEditButtonFollowsWhetherARecordIsHeld) {
    routeJson(kRecords, R"({"result":"ok","chapters":[],"count":null})");
    routeJson(kRemoveRecord, R"({"result":"ok"})");
    auto* records = open<ReadRecordViewController>(kRecords);
    EXPECT_FALSE(records->editButton()->isEnabled());
    EXPECT_EQ(records->lastMessage(), QStringLiteral("没有了"));

    // Identifiers as text with leading zeros and as a number both go out as plain decimals.
    routeJson(kRecords,
              R"({"result":"ok","count":2,"chapters":[)"
              R"({"book":{"book_id":"0042","title":"a"}},{"book":{"book_id":17,"title":"b"}}]})");
    pullDown(records->tableView());
    ASSERT_TRUE(settled(records, kRecords, 2));
    ASSERT_EQ(records->itemCount(), 2);
    EXPECT_TRUE(records->editButton()->isEnabled());

    records->commitDeleteRow(0);
    EXPECT_TRUE(records->editButton()->isEnabled());
    ASSERT_TRUE(removalAnswered(records, kRemoveRecord, 1));
    records->commitDeleteRow(0);
    EXPECT_FALSE(records->editButton()->isEnabled());
    ASSERT_TRUE(removalAnswered(records, kRemoveRecord, 2));
    const QList<FakeService::Request> sent = service.requests(kRemoveRecord);
    EXPECT_EQ(sent[0].queryValue("book_id"), "42");
    EXPECT_EQ(sent[1].queryValue("book_id"), "17");
    EXPECT_EQ(sent[1].queryValue("token"), kToken);
    testutil::spin(100);
    EXPECT_EQ(records->itemCount(), 0);
}

TEST_F(BookListsTest, ClearAllSendsAllAndOnlyAConfirmedClearEmptiesTheList) {
    routePages(kRecords, [](int n) { return recordPage(n, 3); });
    routeJson(kClearAll, R"({"result":"fail","msg":"busy"})");
    auto* records = open<ReadRecordViewController>(kRecords);
    ASSERT_EQ(records->itemCount(), 3);

    records->action(AccountListViewController::TagEdit);
    EXPECT_TRUE(records->isEditing());
    EXPECT_EQ(records->leftBarButton(), records->deleteAllButton());
    EXPECT_EQ(records->rightBarButton(), records->okButton());

    records->action(ReadRecordViewController::TagDeleteAll);
    ASSERT_TRUE(waitUntil([&] { return service.requests(kClearAll).size() == 1; }));
    ASSERT_TRUE(waitUntil([&] { return !records->clearAllRequest(); }));
    EXPECT_EQ(service.requests(kClearAll).first().queryValue("book_id"), "ALL");
    EXPECT_EQ(service.requests(kClearAll).first().queryValue("token"), kToken);
    EXPECT_EQ(records->itemCount(), 3) << "refused: nothing changes";
    EXPECT_TRUE(records->isEditing());
    EXPECT_TRUE(records->editButton()->isEnabled());

    routeJson(kClearAll, R"({"result":"ok","msg":"cleared"})");
    records->action(ReadRecordViewController::TagDeleteAll);
    ASSERT_TRUE(waitUntil([&] { return records->itemCount() == 0; }));
    EXPECT_EQ(records->tableView()->rowCount(), 0);
    EXPECT_FALSE(records->isEditing());
    EXPECT_EQ(records->leftBarButton(), records->backButton());
    EXPECT_EQ(records->rightBarButton(), records->editButton());
    EXPECT_FALSE(records->editButton()->isEnabled());

    // The next pull asks for the first page again.
    pullUp(records->tableView());
    ASSERT_TRUE(settled(records, kRecords, 2));
    EXPECT_EQ(pagesAsked(kRecords), (QStringList{"1", "1"}));
}

TEST_F(BookListsTest, RowsAndCoversOpenTheBookRowsOnlyOutsideEditMode) {
    routePages(kRecords, [](int n) { return recordPage(n, 2); });
    auto* records = open<ReadRecordViewController>(kRecords);
    ASSERT_EQ(records->itemCount(), 2);

    records->action(AccountListViewController::TagEdit);
    records->didSelectRow(1);
    EXPECT_EQ(nav->topViewController(), records);
    // The cover opens the book in edit mode too.
    records->cell(1)->imagePhoto()->click();
    ASSERT_NE(shownDetail(), nullptr);
    EXPECT_EQ(shownDetail()->bookInfo().myId().toInt(), 2);
    nav->popViewController(false);
    ASSERT_TRUE(waitUntil([&] { return nav->topViewController() == records; }));

    records->action(AccountListViewController::TagConfirm);
    // A click on the row's texts, as the mouse delivers it.
    EditableRowView* row = records->rowView(0);
    QWidget* under = row->childAt(200, 36);
    ASSERT_NE(under, nullptr);
    const QPoint at = under->mapFrom(row, QPoint(200, 36));
    const QPoint global = under->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, {});
    QApplication::sendEvent(under, &press);
    QApplication::sendEvent(under, &release);
    ASSERT_TRUE(waitUntil([&] { return shownDetail() != nullptr; }));
    EXPECT_EQ(shownDetail()->bookInfo().myTitle(), QStringLiteral("书 1"));
}

TEST_F(BookListsTest, FavoritesEndTextAndEditModeWithoutALeftButton) {
    routePages(kFavorites, [](int n) {
        return n == 1 ? favoritePage(1, 11) : QJsonObject{{"result", "no"}};
    });
    auto* favorites = open<MyFavoriteViewController>(kFavorites);
    EXPECT_EQ(favorites->itemCount(), 11);
    EXPECT_FALSE(favorites->tableView()->reachedTheEnd());

    favorites->action(AccountListViewController::TagEdit);
    EXPECT_EQ(favorites->leftBarButton(), nullptr);
    EXPECT_TRUE(favorites->hidesBackButton());
    EXPECT_EQ(favorites->rightBarButton(), favorites->confirmButton());
    favorites->action(AccountListViewController::TagConfirm);
    EXPECT_EQ(favorites->leftBarButton(), favorites->backButton());

    pullUp(favorites->tableView());
    ASSERT_TRUE(settled(favorites, kFavorites, 2));
    EXPECT_EQ(favorites->lastMessage(), QStringLiteral("没有更多收藏"));
    EXPECT_TRUE(favorites->tableView()->reachedTheEnd());
}

TEST_F(BookListsTest, RemovingFavoritesSendsFavZeroAndTheEditButtonFollows) {
    routePages(kFavorites, [](int n) { return favoritePage(n, 1); });
    routeJson(kFavorite, R"({"result":"ok"})");
    auto* favorites = open<MyFavoriteViewController>(kFavorites);
    ASSERT_EQ(favorites->itemCount(), 1);

    // While a row's delete button shows, its title makes room for it.
    EditableRowView* row = favorites->rowView(0);
    QLabel* title = favorites->cell(0)->bookNameLabel();
    const int fullWidth = title->width();
    ASSERT_GT(fullWidth, 200);
    row->setDeleteShown(true);
    const int room = row->deleteButton()->x() - title->x() - 4;
    EXPECT_EQ(title->width(), qMin(200, room));
    EXPECT_LT(title->mapTo(row, QPoint(title->width(), 0)).x(), row->deleteButton()->x());
    row->setDeleteShown(false);
    EXPECT_EQ(title->width(), fullWidth);

    row->setDeleteShown(true);
    row->deleteButton()->click();
    EXPECT_EQ(favorites->itemCount(), 0);
    EXPECT_FALSE(favorites->editButton()->isEnabled());
    ASSERT_TRUE(removalAnswered(favorites, kFavorite, 1));
    const FakeService::Request sent = service.requests(kFavorite).first();
    EXPECT_EQ(sent.queryValue("book_id"), "1");
    EXPECT_EQ(sent.queryValue("fav"), "0");
    EXPECT_EQ(sent.queryValue("token"), kToken);
    testutil::spin(100);
    EXPECT_EQ(favorites->itemCount(), 0);

    routePages(kFavorites, [](int n) { return favoritePage(n, 2); });
    pullDown(favorites->tableView());
    ASSERT_TRUE(settled(favorites, kFavorites, 2));
    EXPECT_EQ(ids(favorites->myFavouriteList()), (QList<int>{1, 2}));
    EXPECT_TRUE(favorites->editButton()->isEnabled());
}

TEST_F(BookListsTest, RemovalsNotConfirmedPutTheBookBackWithANotice) {
    routePages(kRecords, [](int n) { return recordPage(n, 3); });
    routePages(kFavorites, [](int n) { return favoritePage(n, 3); });
    routeJson(kRemoveRecord, R"({"result":"fail"})");
    service.route("GET", kFavorite, FakeService::Reply::dropped());

    auto* records = open<ReadRecordViewController>(kRecords);
    records->commitDeleteRow(1);
    records->commitDeleteRow(0);
    EXPECT_EQ(ids(records->arrListRecords()), QList<int>{3});
    ASSERT_TRUE(waitUntil([&] { return records->itemCount() == 3; }));
    EXPECT_EQ(ids(records->arrListRecords()), (QList<int>{1, 2, 3})) << "each in its place";
    EXPECT_EQ(records->cell(1)->tag(), 2);
    EXPECT_EQ(records->notice()->text(), QStringLiteral("删除失败"));
    EXPECT_TRUE(records->editButton()->isEnabled());
    nav->popViewController(false);

    auto* favorites = open<MyFavoriteViewController>(kFavorites);
    favorites->commitDeleteRow(2);
    EXPECT_EQ(favorites->itemCount(), 2);
    ASSERT_TRUE(waitUntil([&] { return favorites->itemCount() == 3; }, 20000));
    EXPECT_EQ(ids(favorites->myFavouriteList()), (QList<int>{1, 2, 3}));
    EXPECT_EQ(favorites->notice()->text(), QStringLiteral("删除失败"));
    EXPECT_EQ(favorites->notice()->imageName(), QStringLiteral("read_refresh_no"));
}
