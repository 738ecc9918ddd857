#pragma once

// A phone window with a navigation stack over the fake book service, and a seeded book
// database, for the bookshelf, book detail and source-site screen tests. One window and one
// service per test binary; each test starts from an empty database.
#include <QByteArray>
#include <QString>
#include <QVariantMap>
#include <gtest/gtest.h>

#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "storage/MyBookList.h"
#include "tests/support/FakeService.h"

class BookDetailViewController;
class ReadbooksViewController;

namespace catalogtest {

// A small PNG image (the bytes of a real image file).
QByteArray pngBytes(const QColor& color = Qt::darkRed);
// A book record as the shelf stores it; `updated` orders the shelf (newest first).
void seedBook(const QString& bookId, const QString& title, const QString& cover, qint64 updated);
// Stored chapters of a book, each with the text "<p>book B chapter N</p>".
void seedChapters(const QString& bookId, const QList<int>& numbers);
QString chapterText(const QString& bookId, int number);
// Writes a cover file of that name into the covers folder.
void writeCover(const QString& name);
// Rows of a book in each table: book, chapter, chaptermenu, lastreadrecord, mark.
QList<int> rowsOf(const QString& bookId);
// Removes every row of every table the shelf uses, and the covers folder.
void clearLibrary();
// A list element of the service describing a book.
QVariantMap bookJson(const QString& bookId, const QString& title, int lastChapter = 25);

class CatalogScreenTest : public ::testing::Test {
public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void SetUp() override;
    void TearDown() override;

    static void signIn(const QString& token = QStringLiteral("tok-1"));
    // A detail screen for the book pushed on the stack, its view loaded.
    BookDetailViewController* openDetail(const MyBookList& book);
    // The reader on top of the stack, if any.
    ReadbooksViewController* topReader() const;
    // The login screen presented over the given screen, if any.
    static bool presentsLogin(ViewController* screen);
    // Routes of a service book: getcontent with chapters 1…n of the asked, menu, alsoread.
    static void serveBook(const QString& bookId, const QString& coverPath);

    static FakeService* service;
    static Window* window;
    static NavigationController* nav;
};

} // namespace catalogtest
