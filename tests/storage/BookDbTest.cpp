#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

#include "app/tooles.h"
#include "engines/SqlDatabase.h"
#include "platform/Clock.h"
#include "storage/BookDb.h"
#include "tests/support/TestUtil.h"

namespace {

QVariantMap chapter(int number, const QString& bookId = QStringLiteral("7"),
                    const QString& content = QStringLiteral("<p>text</p>")) {
    return {{QStringLiteral("chapter_number"), number},
            {QStringLiteral("book_id"), bookId},
            {QStringLiteral("title"), QStringLiteral("Chapter %1").arg(number)},
            {QStringLiteral("content"), content}};
}

QVariantMap getcontent(const QList<int>& numbers, const QString& bookId = QStringLiteral("7")) {
    QVariantList chapters;
    for (int n : numbers)
        chapters << chapter(n, bookId);
    return {{QStringLiteral("chapters"), chapters}};
}

QVariantMap menuAnswer(const QList<int>& numbers) {
    QVariantList list;
    for (int n : numbers)
        list << QVariantMap{{QStringLiteral("chapter_number"), n},
                            {QStringLiteral("title"), QStringLiteral("Entry %1").arg(n)}};
    return {{QStringLiteral("chapter_list"), list}};
}

QVariantMap book(const QString& id, const QString& title, qint64 updated) {
    return {{QStringLiteral("book_id"), id},
            {QStringLiteral("title"), title},
            {QStringLiteral("cover"), id + ".jpg"},
            {QStringLiteral("last_chapter_number"), 100},
            {QStringLiteral("download_time"), updated},
            {QStringLiteral("update_time"), updated}};
}

QList<int> storedNumbers(BookDb& db, const QString& bookId) {
    QList<int> numbers;
    for (const QVariant& row : db.selectChaptersByBookid(bookId))
        numbers << row.toMap().value(QStringLiteral("chapter_id")).toInt();
    return numbers;
}

// Stores a table of contents and waits for it to be written.
void storeMenu(BookDb& db, const QString& bookId, const QList<int>& numbers) {
    QObject receiver;
    bool done = false;
    ASSERT_TRUE(db.insertChapterMenu(bookId, menuAnswer(numbers), &receiver,
                                     [&](bool ok) { done = ok; }));
    ASSERT_TRUE(testutil::waitUntil([&] { return done; }));
}

// The downloaded marks of the table of contents, in chapter order.
QStringList marks(BookDb& db, const QString& bookId) {
    QStringList marks;
    for (const QVariant& row : db.selectAllChapterMenu(bookId))
        marks << row.toMap().value("downstatus").toString();
    return marks;
}

// Runs insertChapterAll and waits for its completion report: "all", "not all" or "none"
// when it did not start or never reported.
std::string storeBatch(BookDb& db, const QString& bookId, const QVariantMap& answer) {
    QObject receiver;
    int reports = 0;
    bool ok = false;
    if (!db.insertChapterAll(bookId, answer, &receiver, [&](bool done) {
            ++reports;
            ok = done;
        }))
        return "none";
    if (!testutil::waitUntil([&] { return reports == 1; }))
        return "none";
    return ok ? "all" : "not all";
}

class BookDbTest : public ::testing::Test {
protected:
    void TearDown() override {
        BookDb::waitForBackgroundWrites();
        Clock::reset();
    }
    testutil::ScopedHome home;
};

} // namespace

TEST_F(BookDbTest, PreparedFileIsCopiedWritableInWalMode) {
    BookDb db;
    EXPECT_EQ(db.dbPath(), QDir(home.path()).filePath(QStringLiteral("documents/books.sqlite")));
    ASSERT_TRUE(QFile::exists(db.dbPath()));
    EXPECT_TRUE(QFileInfo(db.dbPath()).isWritable());

    SqlDatabase raw(db.dbPath());
    ASSERT_TRUE(raw.open(SqlDatabase::Mode::ExistingOnly));
    SqlStatement mode = raw.prepare(QStringLiteral("PRAGMA journal_mode"));
    ASSERT_TRUE(mode.next());
    EXPECT_EQ(mode.text(0), QStringLiteral("wal"));

}

TEST_F(BookDbTest, ChapterNumbersAndLimitsBehaveAsNumbers) {
    BookDb db;
    // No stored chapter: 0, not the 1 that means "could not open".
    EXPECT_EQ(db.getMaxChapterId(QStringLiteral("7")), 0);
    EXPECT_EQ(db.getMinChapterId(QStringLiteral("7")), 0);
    EXPECT_EQ(db.getCountFromChapterByBookid(QStringLiteral("7")), 0);

    // Numbers that arrive as text still sort and compare as integers.
    for (const char* n : {"9", "10", "2"}) {
        QVariantMap c = chapter(0);
        c[QStringLiteral("chapter_number")] = QString::fromLatin1(n);
        ASSERT_TRUE(db.insertChapterOne(QStringLiteral("7"), c));
    }
    EXPECT_EQ(storedNumbers(db, QStringLiteral("7")), (QList<int>{2, 9, 10}));
    EXPECT_EQ(db.getMaxChapterId(QStringLiteral("7")), 10);
    EXPECT_EQ(db.getMinChapterId(QStringLiteral("7")), 2);
    EXPECT_EQ(db.getCountFromChapterByBookid(QStringLiteral("7")), 3);
    EXPECT_TRUE(db.isExistsInChapter(QStringLiteral("7"), 10));
    EXPECT_FALSE(db.isExistsInChapter(QStringLiteral("7"), 3));
    EXPECT_EQ(db.selectChapterContent(QStringLiteral("7"), 9).value("title"),
              QStringLiteral("Chapter 0"));
    EXPECT_TRUE(db.selectChapterContent(QStringLiteral("7"), 3).isEmpty());

    // The table of contents: the nearest lower number, 0 before the first chapter.
    storeMenu(db, QStringLiteral("7"), {1, 2, 3, 11});
    EXPECT_EQ(db.selectLessChapterId(QStringLiteral("7"), 11), 3);
    EXPECT_EQ(db.selectLessChapterId(QStringLiteral("7"), 2), 1);
    EXPECT_EQ(db.selectLessChapterId(QStringLiteral("7"), 1), 0);
}

TEST_F(BookDbTest, InsertChapterAllWritesOnlyMissingChaptersAndMarksThem) {
    BookDb db;
    const QString b = QStringLiteral("7");
    storeMenu(db, b, {1, 2, 3, 4});

    ASSERT_EQ(storeBatch(db, b, getcontent({1, 2})), "all");
    // Stored texts are never replaced: the second batch brings other content for 2.
    QVariantMap answer = getcontent({2, 3, 5});
    QVariantList chapters = answer.value("chapters").toList();
    QVariantMap changed = chapters[0].toMap();
    changed[QStringLiteral("content")] = QStringLiteral("replaced");
    chapters[0] = changed;
    chapters.insert(1, QVariantMap()); // empty elements are skipped
    answer[QStringLiteral("chapters")] = chapters;
    ASSERT_EQ(storeBatch(db, b, answer), "all");

    EXPECT_EQ(storedNumbers(db, b), (QList<int>{1, 2, 3, 5})); // 5 is not in the menu
    EXPECT_EQ(db.selectChapterContent(b, 2).value("content"), QStringLiteral("<p>text</p>"));
    EXPECT_EQ(marks(db, b), (QStringList{"1", "1", "1", "0"}));

    // All stored already: the batch completes and writes nothing.
    ASSERT_EQ(storeBatch(db, b, getcontent({1, 2, 3})), "all");
    EXPECT_EQ(db.getCountFromChapterByBookid(b), 4);
}

TEST_F(BookDbTest, AChapterThatCannotBeStoredIsNotMarkedAndSparesTheOthers) {
    BookDb db;
    const QString b = QStringLiteral("7");
    storeMenu(db, b, {1, 2, 3});

    QVariantMap answer = getcontent({1, 2, 3});
    QVariantList chapters = answer.value("chapters").toList();
    QVariantMap broken = chapters[1].toMap();
    broken.remove(QStringLiteral("book_id")); // its row cannot be written
    chapters[1] = broken;
    answer[QStringLiteral("chapters")] = chapters;
    EXPECT_EQ(storeBatch(db, b, answer), "not all");

    EXPECT_EQ(storedNumbers(db, b), (QList<int>{1, 3}));
    EXPECT_EQ(marks(db, b), (QStringList{"1", "0", "1"}));
}

TEST_F(BookDbTest, InsertChapterMenuNeverExtendsAnExistingMenu) {
    BookDb db;
    const QString b = QStringLiteral("8");
    QVariantMap c = chapter(2, b);
    ASSERT_TRUE(db.insertChapterOne(b, c));

    int reports = 0;
    QObject receiver;
    ASSERT_TRUE(db.insertChapterMenu(b, menuAnswer({1, 2}), &receiver, [&](bool) { ++reports; }));
    ASSERT_TRUE(testutil::waitUntil([&] { return reports == 1; }));
    ASSERT_TRUE(
        db.insertChapterMenu(b, menuAnswer({1, 2, 3, 4}), &receiver, [&](bool) { ++reports; }));
    ASSERT_TRUE(testutil::waitUntil([&] { return reports == 2; }));

    const QVariantList menu = db.selectAllChapterMenu(b);
    ASSERT_EQ(menu.size(), 2);
    const QVariantMap second = menu[1].toMap();
    EXPECT_EQ(QSet<QString>(second.keyBegin(), second.keyEnd()),
              (QSet<QString>{"book_id", "chapter_number", "title", "downstatus"}));
    EXPECT_EQ(second.value("chapter_number"), QStringLiteral("2"));
    EXPECT_EQ(second.value("downstatus"), QStringLiteral("1")); // its text was stored
    EXPECT_EQ(menu[0].toMap().value("downstatus"), QStringLiteral("0"));
    EXPECT_TRUE(db.isExistsMenu(b));
    EXPECT_TRUE(db.deleteChapterMenuByBookid(b));
    EXPECT_FALSE(db.isExistsMenu(b));
}

TEST_F(BookDbTest, UpdateBookBindsItsValues) {
    BookDb db;
    ASSERT_TRUE(db.insertBook(book("1", "First", 100)));
    ASSERT_TRUE(db.insertBook(book("2", "Second", 200)));
    EXPECT_FALSE(db.updateBook(QStringLiteral("1"), {}));

    const QString quoted = QStringLiteral("O'Brien's \"tale\"");
    ASSERT_TRUE(db.updateBook(QStringLiteral("1"), {{"title", quoted}, {"cover", "c.png"}}));
    EXPECT_EQ(db.selectBookByBookid(QStringLiteral("1")).value("title"), quoted);
    EXPECT_EQ(db.selectBookByBookid(QStringLiteral("1")).value("cover"), QStringLiteral("c.png"));

    // A value that would rewrite a statement built by pasting text stays a plain value.
    const QString hostile = QStringLiteral("x' WHERE 1=1; --");
    ASSERT_TRUE(db.updateBook(QStringLiteral("1"), {{"title", hostile}}));
    EXPECT_EQ(db.selectBookByBookid(QStringLiteral("1")).value("title"), hostile);
    EXPECT_EQ(db.selectBookByBookid(QStringLiteral("2")).value("title"), QStringLiteral("Second"));
    EXPECT_TRUE(db.updateBook(QStringLiteral("1' OR '1'='1"), {{"title", "nobody"}}));
    EXPECT_EQ(db.selectBookByBookid(QStringLiteral("2")).value("title"), QStringLiteral("Second"));

    // updateReadTime brings a book to the front of the shelf.
    Clock::setNow(QDateTime::fromSecsSinceEpoch(1000));
    tooles::updateReadTime(QStringLiteral("1"));
    const QVariantList shelf = db.selectAllBooks();
    ASSERT_EQ(shelf.size(), 2);
    EXPECT_EQ(shelf[0].toMap().value("book_id"), QStringLiteral("1"));
    EXPECT_EQ(shelf[0].toMap().size(), 4);
}

TEST_F(BookDbTest, RecordsBookmarksSearchesAndCategories) {
    BookDb db;
    ASSERT_TRUE(db.recordLastRead(
        {{"book_id", "5"}, {"chapter_id", 3}, {"page_id", 1}, {"create_time", 10}}));
    ASSERT_TRUE(db.recordLastRead(
        {{"book_id", "5"}, {"chapter_id", 4}, {"page_id", 2}, {"create_time", 11}}));
    EXPECT_EQ(db.selectLastReadRecord(QStringLiteral("5")),
              (QVariantMap{{"chapter_id", "4"}, {"page_id", "2"}}));
    EXPECT_TRUE(db.deleteFromLastReadByBookid(QStringLiteral("5")));
    EXPECT_FALSE(db.isReaded(QStringLiteral("5")));

    const QVariantMap mark{{"book_id", 5},
                           {"chapter_id", 3},
                           {"page_id", 2},
                           {"title", "here"},
                           {"create_time", 1000}};
    EXPECT_FALSE(db.isExistsMark(mark));
    ASSERT_TRUE(db.addBookMark(mark));
    EXPECT_TRUE(db.isExistsMark(mark));
    EXPECT_EQ(db.selectAllMarkByBookId(QStringLiteral("5")).value(0).toMap().value("chapter_id"),
              QStringLiteral("3"));
    EXPECT_TRUE(db.deleteMark(mark));
    EXPECT_FALSE(db.isExistsMark(mark));

    Clock::setNow(QDateTime::fromSecsSinceEpoch(1000));
    ASSERT_TRUE(db.saveSearchRecords(QStringLiteral("alpha")));
    Clock::advance(5);
    ASSERT_TRUE(db.saveSearchRecords(QStringLiteral("beta")));
    Clock::advance(5);
    ASSERT_TRUE(db.saveSearchRecords(QStringLiteral("alpha")));
    EXPECT_EQ(db.selectAllSearchRecords(), (QStringList{"alpha", "beta"}));
    EXPECT_TRUE(db.deleteSearchRecord(QStringLiteral("beta")));
    EXPECT_EQ(db.selectAllSearchRecords(), (QStringList{"alpha"}));

    int reports = 0;
    QObject receiver;
    const QVariantList categories{QVariantMap{{"id", 12}, {"name", "B"}},
                                  QVariantMap{{"id", 3}, {"name", "A"}}};
    ASSERT_TRUE(db.insertCategory(categories, &receiver, [&](bool) { ++reports; }));
    // A second list right behind the first replaces it and never doubles it.
    ASSERT_TRUE(db.insertCategory(categories, &receiver, [&](bool) { ++reports; }));
    ASSERT_TRUE(testutil::waitUntil([&] { return reports == 2; }));
    const QVariantList stored = db.selectCategory();
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[0].toMap(), (QVariantMap{{"id", "3"}, {"name", "A"}}));
}

TEST_F(BookDbTest, MissingOrUnreadableFileGivesFailureValues) {
    auto expectFailureValues = [](BookDb& db) {
        EXPECT_FALSE(db.isExistsTheBook(QStringLiteral("1")));
        EXPECT_FALSE(db.insertBook(book("1", "t", 1)));
        EXPECT_TRUE(db.selectAllBooks().isEmpty());
        EXPECT_TRUE(db.selectBookByBookid(QStringLiteral("1")).isEmpty());
        EXPECT_EQ(db.getMaxChapterId(QStringLiteral("1")), 1);
        EXPECT_EQ(db.getMinChapterId(QStringLiteral("1")), 1);
        EXPECT_EQ(db.getCountFromChapterByBookid(QStringLiteral("1")), 0);
        EXPECT_EQ(db.selectLessChapterId(QStringLiteral("1"), 5), 0);
        EXPECT_FALSE(db.updateChapter(chapter(1)));
        EXPECT_FALSE(db.recordLastRead({{"book_id", "1"}}));
        EXPECT_FALSE(db.saveSearchRecords(QStringLiteral("x")));
        EXPECT_TRUE(db.selectAllSearchRecords().isEmpty());
        EXPECT_FALSE(db.insertChapterMenu(QStringLiteral("1"), menuAnswer({1})));
        EXPECT_FALSE(db.insertChapterAll(QStringLiteral("1"), getcontent({1})));
    };

    {
        // Removed after creation: nothing is created in its place, and the next BookDb
        // copies the prepared file again.
        BookDb db;
        ASSERT_TRUE(QFile::remove(db.dbPath()));
        expectFailureValues(db);
        EXPECT_FALSE(QFile::exists(db.dbPath()));
        BookDb again;
        EXPECT_EQ(again.getMaxChapterId(QStringLiteral("1")), 0);
    }
    {
        // Not a database at all.
        BookDb db;
        QFile file(db.dbPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(8192, 'z'));
        file.close();
        QFile::remove(db.dbPath() + QStringLiteral("-wal"));
        QFile::remove(db.dbPath() + QStringLiteral("-shm"));
        expectFailureValues(db);
        ASSERT_TRUE(QFile::remove(db.dbPath()));
    }
    {
        // A folder where the file should be: the copy cannot happen either.
        ASSERT_TRUE(
            QDir().mkpath(QDir(home.path()).filePath(QStringLiteral("documents/books.sqlite"))));
        BookDb db;
        expectFailureValues(db);
    }
}

TEST_F(BookDbTest, ReadyDatabaseLogsAFailedCopyAndLeavesNoFile) {
    const QString target = QDir(home.path()).filePath(QStringLiteral("documents/books.sqlite"));
    // The copy goes through a side file; a folder in its way makes the copy fail.
    ASSERT_TRUE(QDir().mkpath(target + QStringLiteral(".part")));
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { logged << text; });
    const QString path = tooles::readyDatabase(QStringLiteral("books.sqlite"));
    qInstallMessageHandler(previous);

    EXPECT_EQ(path, target);
    EXPECT_FALSE(QFile::exists(target));
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged[0].startsWith(
        QStringLiteral("Failed to create writable database file with message '")));
    EXPECT_TRUE(logged[0].endsWith(QStringLiteral("'.")));
}

TEST_F(BookDbTest, RacingBatchesUnderAHeldWriteLockStoreEveryChapterOnce) {
    BookDb db;
    const QString b = QStringLiteral("9");
    QList<int> menu;
    for (int n = 1; n <= 30; ++n)
        menu << n;
    storeMenu(db, b, menu);
    QObject receiver;

    // Another connection keeps the write lock for longer than a background connection
    // waits on it, so the writers must retry.
    SqlDatabase holder(db.dbPath());
    ASSERT_TRUE(holder.open(SqlDatabase::Mode::ExistingOnly));
    ASSERT_TRUE(holder.executeScript(QStringLiteral("BEGIN IMMEDIATE")));

    QList<int> first, second;
    for (int n = 1; n <= 20; ++n)
        first << n;
    for (int n = 11; n <= 30; ++n)
        second << n;
    int reports = 0;
    int failures = 0;
    auto done = [&](bool ok) {
        ++reports;
        failures += ok ? 0 : 1;
    };
    ASSERT_TRUE(db.insertChapterAll(b, getcontent(first, b), &receiver, done));
    BookDb other;
    ASSERT_TRUE(other.insertChapterAll(b, getcontent(second, b), &receiver, done));

    // Reads on the main thread go on while the lock is held.
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(db.getMaxChapterId(b), 0);
        EXPECT_EQ(db.selectAllChapterMenu(b).size(), 30);
        testutil::spin(80);
    }
    EXPECT_EQ(reports, 0);
    ASSERT_TRUE(holder.executeScript(QStringLiteral("COMMIT")));
    holder.close();

    ASSERT_TRUE(testutil::waitUntil([&] {
        db.getCountFromChapterByBookid(b); // reads interleave with the writers
        return reports == 2;
    }));
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(storedNumbers(db, b), menu);
    EXPECT_EQ(marks(db, b), QStringList(30, QStringLiteral("1")));
}

TEST_F(BookDbTest, CompletionIsDroppedWithItsReceiver) {
    BookDb db;
    bool called = false;
    auto* receiver = new QObject;
    ASSERT_TRUE(db.insertChapterAll(QStringLiteral("4"), getcontent({1, 2}, "4"), receiver,
                                    [&](bool) { called = true; }));
    delete receiver;
    BookDb::waitForBackgroundWrites();
    testutil::spin(50);
    EXPECT_FALSE(called);
    EXPECT_EQ(db.getCountFromChapterByBookid(QStringLiteral("4")), 2);
}
