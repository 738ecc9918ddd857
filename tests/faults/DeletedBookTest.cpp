// A book deleted from the shelf while its reader is still open on another tab: the reader and
// its contents close, and nothing of the book comes back into the database.
#include <QPointer>
#include <gtest/gtest.h>

#include "catalog/FirstViewController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "reader/BookChapterAndMarkViewController.h"
#include "reader/ReadbooksViewController.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "tests/faults/LibraryCheck.h"
#include "tests/support/TestUtil.h"

namespace {

void seedBook(const QString& bookId, int chapters) {
    BookDb db;
    ASSERT_TRUE(db.insertBook({{"book_id", bookId},
                               {"title", QStringLiteral("将被删除的书")},
                               {"cover", QString()},
                               {"last_chapter_number", QString::number(chapters)},
                               {"download_time", "1"},
                               {"update_time", "1"}}));
    QVariantList list;
    for (int n = 1; n <= chapters; ++n)
        list.append(QVariantMap{{"book_id", bookId},
                                {"chapter_number", n},
                                {"title", QStringLiteral("第%1章").arg(n)},
                                {"content", QStringLiteral("<p>第%1章的正文。</p>").arg(n)}});
    ASSERT_TRUE(db.insertChapterAll(bookId, {{"result", "ok"}, {"chapters", list}}));
    BookDb::waitForBackgroundWrites();
}

} // namespace

TEST(DeletedBookTest, ItsReaderAndContentsOnAnotherTabCloseAndStoreNothing) {
    testutil::ScopedHome home;
    // Nothing listens there: the reader's read-ahead and the shelf's version check fail quietly.
    ServiceConfig::setBaseUrl(QStringLiteral("http://127.0.0.1:9"));
    ServiceConfig::setLookupBase(QStringLiteral("http://127.0.0.1:9"));
    const QString bookId = QStringLiteral("4242");
    seedBook(bookId, 3);

    auto* window = new Window();
    auto* shelf = new FirstViewController();
    auto* shelfStack = new NavigationController(shelf);
    auto* otherStack = new NavigationController(new ViewController());
    auto* tabs = new TabBarController();
    tabs->setViewControllers({shelfStack, otherStack});
    window->setRootViewController(tabs);
    window->makeKeyAndVisible();

    // Read on the second tab, with the contents open over the reader.
    tabs->setSelectedIndex(1);
    auto* reader = new ReadbooksViewController();
    reader->book_id = bookId;
    reader->current_chapter_id = 1;
    reader->currentPage = 1;
    reader->str = BookDb().selectChapterContent(bookId, 1).value("content").toString();
    otherStack->pushViewController(reader, false);
    QPointer<ReadbooksViewController> readerGuard(reader);
    ASSERT_TRUE(testutil::waitUntil([&] { return !reader->isBusy(); }, 60000));
    reader->action(3);
    QPointer<BookChapterAndMarkViewController> contents =
        qobject_cast<BookChapterAndMarkViewController*>(otherStack->topViewController());
    ASSERT_TRUE(contents);

    tabs->setSelectedIndex(0);
    shelf->reloadShelf();
    ASSERT_EQ(shelf->bookArr().size(), 1);
    shelf->presentOptions();
    shelf->GMGridViewDeleteItemAtIndex(shelf->gridView(), 0);
    shelf->presentOptions();

    EXPECT_EQ(otherStack->viewControllers().size(), 1);
    EXPECT_TRUE(testutil::waitUntil([&] { return !readerGuard && !contents; }));
    testutil::spin(200);
    BookDb::waitForBackgroundWrites();
    BookDb db;
    EXPECT_TRUE(db.selectBookByBookid(bookId).isEmpty());
    EXPECT_EQ(db.getCountFromChapterByBookid(bookId), 0);
    EXPECT_TRUE(db.selectLastReadRecord(bookId).isEmpty());
    const faults::LibraryCheck library = faults::checkLibrary();
    EXPECT_TRUE(library.sound()) << library.problems.join('\n').toStdString();
    delete window;
}
