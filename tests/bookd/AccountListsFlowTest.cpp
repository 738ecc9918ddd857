// The account lists against bookd: what a reader reads, marks and receives shows in the
// reading records, the favorites and the message box, and what is removed there goes.
#include <QLabel>

#include "account/MsgdetailViewController.h"
#include "account/MyFavoriteViewController.h"
#include "account/MyMsgBoxCell.h"
#include "account/MyMsgboxViewController.h"
#include "account/ReadRecordViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "storage/UserStore.h"
#include "tests/bookd/BookdHarness.h"

using namespace bookdtest;
using testutil::waitUntil;

namespace {

class AccountListsFlow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(shared().started());
        static int next = 0;
        token = registerByMobile(QString("1381000%1").arg(++next, 4, 10, QChar('0')), "secret88");
        ASSERT_FALSE(token.isEmpty());
        UserStore::signIn(token, {{"id", 1}}, "reader");
        window = new Window();
        root = new ViewController();
        nav = new NavigationController(root);
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
    }
    void TearDown() override {
        delete window;
        UserStore::signOut();
    }

    Reply as(const QString& path, QVariantMap params) const {
        params.insert("token", token);
        return call(path, params);
    }

    // Pushes a list and waits until its first page is in.
    template <class T> T* open() {
        auto* screen = new T();
        nav->pushViewController(screen, false);
        EXPECT_TRUE(waitUntil([&] { return screen->loadsEnded() == 1; }, 20000));
        return screen;
    }
    void refresh(AccountListViewController* screen) {
        const int ended = screen->loadsEnded();
        screen->tableView()->setContentOffsetY(-61);
        screen->tableView()->tableViewDidEndDragging();
        EXPECT_TRUE(waitUntil([&] { return screen->loadsEnded() > ended; }, 20000));
    }

    QString token;
    Window* window = nullptr;
    ViewController* root = nullptr;
    NavigationController* nav = nullptr;
};

QStringList titles(const QList<MyBookList>& books) {
    QStringList out;
    for (const MyBookList& b : books)
        out << Service::textOf(b.myId()) + ":" + b.myTitle();
    return out;
}

} // namespace

TEST_F(AccountListsFlow, ABookReadAndMarkedShowsInRecordsAndFavorites) {
    ASSERT_TRUE(as("/site/readchapter", {{"book_id", "3"}, {"chapter", "2"}}).ok());
    ASSERT_TRUE(as("/site/favouite", {{"book_id", "3"}, {"fav", "1"}}).ok());
    const QString title =
        call("/data/bookinfo", {{"book_id", "3"}}).json["book"].toObject()["title"].toString();
    ASSERT_FALSE(title.isEmpty());

    auto* records = open<ReadRecordViewController>();
    EXPECT_EQ(titles(records->arrListRecords()), QStringList{"3:" + title});
    EXPECT_EQ(records->lastMessage(), QString());
    EXPECT_TRUE(records->editButton()->isEnabled());
    nav->popViewController(false);

    auto* favorites = open<MyFavoriteViewController>();
    EXPECT_EQ(titles(favorites->myFavouriteList()), QStringList{"3:" + title});
    // Removed in the list, removed on the service.
    favorites->commitDeleteRow(0);
    ASSERT_TRUE(waitUntil([&] { return !favorites->removalRequest(); }, 20000));
    EXPECT_EQ(favorites->itemCount(), 0);
    EXPECT_EQ(text(as("/data/getfavouite", page({}, 1)).json.value("count")), "0");
}

TEST_F(AccountListsFlow, TheWelcomeMessageIsListedOpenedReadAndDeleted) {
    auto* box = open<MyMsgboxViewController>();
    ASSERT_EQ(box->itemCount(), 1);
    ASSERT_NE(box->cell(0), nullptr);
    EXPECT_TRUE(box->cell(0)->isUnread());
    const QVariantMap welcome = box->itemAt(0).toMap();

    box->didSelectRow(0);
    auto* detail = qobject_cast<MsgdetailViewController*>(nav->topViewController());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->data_content, welcome.value("content").toString());
    EXPECT_EQ(detail->labelTitle()->text(), welcome.value("title").toString());
    ASSERT_TRUE(waitUntil([&] { return !box->readRequest(); }, 20000));
    detail->action(0);
    ASSERT_TRUE(waitUntil([&] { return nav->topViewController() == box; }));

    refresh(box);
    ASSERT_EQ(box->itemCount(), 1);
    EXPECT_EQ(box->itemAt(0).toMap().value("status").toString(), "1") << "the service's status";
    EXPECT_FALSE(box->cell(0)->isUnread());

    box->commitDeleteRow(0);
    ASSERT_TRUE(waitUntil([&] { return !box->removalRequest(); }, 20000));
    EXPECT_EQ(box->itemCount(), 0);
    EXPECT_EQ(as("/msg/mymsg", page({}, 1)).json["msgs"].toObject()["count"].toString(), "0");
    refresh(box);
    EXPECT_EQ(box->itemCount(), 0);
    EXPECT_FALSE(box->editButton()->isEnabled());
}
