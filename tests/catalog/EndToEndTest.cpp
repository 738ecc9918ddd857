// From a book of the reference service to reading it offline: download from its detail
// screen, the reader on its first chapter, the book first on the shelf with its cover, and
// reading it again with the service gone.
#include <QJsonArray>

#include "catalog/BookDetailViewController.h"
#include "catalog/FirstViewController.h"
#include "catalog/ShelfBookFace.h"
#include "platform/ui/Button.h"
#include "platform/ui/NoticeView.h"
#include "reader/ReadbooksViewController.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "storage/UserStore.h"
#include "tests/bookd/BookdHarness.h"
#include "tests/catalog/CatalogTestSupport.h"
#include "tests/support/TestUtil.h"
#include "widgets/GMGridViewCell.h"

using namespace catalogtest;

namespace {

class EndToEndTest : public CatalogScreenTest {
protected:
    void TearDown() override {
        CatalogScreenTest::TearDown();
        ServiceConfig::setBaseUrl(service->baseUrl());
        ServiceConfig::setLookupBase(service->baseUrl());
    }
    // Waits until the reader has shown a page and is idle.
    static bool laidOut(ReadbooksViewController* reader) {
        if (!reader)
            return false;
        auto shown = std::make_shared<bool>(false);
        QObject::connect(reader, &ReadbooksViewController::pageLaidOut, reader,
                         [shown] { *shown = true; });
        return testutil::waitUntil([&] { return *shown && !reader->isBusy(); }, 60000);
    }
};

TEST_F(EndToEndTest, DownloadReadShelveAndReadAgainOffline) {
    bookdtest::LocalBookd bookd;
    ASSERT_TRUE(bookd.started());
    ServiceConfig::setBaseUrl(bookd.base());
    ServiceConfig::setLookupBase(bookd.base());

    // Signed in as the app does it: a new account, its token kept in the user defaults.
    const QString token =
        bookdtest::registerByMobile(QStringLiteral("13900001111"), QStringLiteral("secret12"));
    ASSERT_FALSE(token.isEmpty());
    UserStore::signIn(token, {{QStringLiteral("id"), 1}}, QStringLiteral("13900001111"));

    const bookdtest::Reply list =
        bookdtest::call(QStringLiteral("/data/booklist"),
                        bookdtest::page({{QStringLiteral("order"), QStringLiteral("read")},
                                         {QStringLiteral("token"), token}},
                                        1));
    ASSERT_TRUE(list.ok());
    const QJsonArray books = list.json.value(QStringLiteral("books")).toArray();
    ASSERT_FALSE(books.isEmpty());
    const MyBookList book = MyBookList::initWithDictionary(books.first().toObject().toVariantMap());
    const QString bookId = Service::textOf(book.myId());
    ASSERT_FALSE(book.myCover().isEmpty());

    BookDetailViewController* detail = openDetail(book);
    bool ended = false;
    QObject::connect(detail, &BookDetailViewController::downloadEnded, detail,
                     [&](bool) { ended = true; });
    detail->action(BookDetailViewController::TagRead);
    ASSERT_TRUE(testutil::waitUntil([&] { return ended; }, 20000));
    ReadbooksViewController* reader = topReader();
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(laidOut(reader));
    EXPECT_EQ(reader->book_id, bookId);
    EXPECT_EQ(reader->current_chapter_id, 1);
    const QString first =
        BookDb().selectChapterContent(bookId, 1).value(QStringLiteral("content")).toString();
    EXPECT_FALSE(first.isEmpty());
    EXPECT_EQ(reader->str, first);
    ASSERT_TRUE(testutil::waitUntil([detail] { return detail->coverSettled(); }, 20000));

    nav->popToRootViewController(false);
    auto* shelf = new FirstViewController();
    nav->pushViewController(shelf, false);
    ASSERT_FALSE(shelf->bookArr().isEmpty());
    EXPECT_EQ(shelf->bookArr().first().toMap().value(QStringLiteral("book_id")).toString(), bookId);
    auto* cover = shelf->gridView()->cellForItemAtIndex(0)->findChild<ShelfBookFace*>(
        QStringLiteral("coverButton"));
    ASSERT_NE(cover, nullptr);
    EXPECT_TRUE(cover->showsCover());

    // The service goes away; the stored book still reads.
    bookd.server().stop();
    reader = shelf->readBook(bookId);
    ASSERT_TRUE(laidOut(reader));
    EXPECT_EQ(reader->current_chapter_id, 1);
    EXPECT_EQ(reader->str, first);
    EXPECT_TRUE(!reader->notice() || reader->notice()->displayCount() == 0);
}

} // namespace
