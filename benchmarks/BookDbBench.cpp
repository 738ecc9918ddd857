// The book database: a fetched batch of chapters to its completion report beside the
// floor of raw SQLite, and the reader's and the shelf's lookups as the library grows.
#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <sqlite3.h>

#include "platform/Paths.h"
#include "storage/BookDb.h"

namespace {

constexpr int kBatch = 10;
const QString kChapterText = QString(8 * 1024, QLatin1Char('x'));

QVariantMap batch(int bookId) {
    QVariantList chapters;
    for (int n = 1; n <= kBatch; ++n)
        chapters << QVariantMap{{QStringLiteral("chapter_number"), n},
                                {QStringLiteral("book_id"), bookId},
                                {QStringLiteral("title"), QStringLiteral("Chapter %1").arg(n)},
                                {QStringLiteral("content"), kChapterText}};
    return {{QStringLiteral("chapters"), chapters}};
}

// A documents directory of its own with a fresh copy of the prepared database.
struct Library {
    Library() {
        Paths::setHome(dir.path());
        db = std::make_unique<BookDb>();
    }
    ~Library() {
        BookDb::waitForBackgroundWrites();
        db.reset();
        Paths::setHome(QString());
    }
    QTemporaryDir dir;
    std::unique_ptr<BookDb> db;
};

void BM_BookDb_InsertChapterAll(benchmark::State& state) {
    Library lib;
    QObject receiver;
    int book = 0;
    for (auto _ : state) {
        ++book;
        // Sleeps until the completion report arrives on this (the main) thread.
        QEventLoop loop;
        lib.db->insertChapterAll(QString::number(book), batch(book), &receiver,
                                 [&loop](bool) { loop.quit(); });
        loop.exec();
    }
    state.counters["chapters/s"] =
        benchmark::Counter(double(state.iterations()) * kBatch, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BookDb_InsertChapterAll)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The floor: the same ten rows by raw SQLite, one connection, one transaction.
void BM_BookDb_InsertChapterAllFloor(benchmark::State& state) {
    Library lib;
    const QByteArray path = lib.db->dbPath().toUtf8();
    const QByteArray text = kChapterText.toUtf8();
    int book = 0;
    for (auto _ : state) {
        ++book;
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(
            db, "INSERT INTO `chapter` (chapter_id,book_id,title,content) VALUES (?,?,?,?)", -1,
            &stmt, nullptr);
        for (int n = 1; n <= kBatch; ++n) {
            const QByteArray title = QStringLiteral("Chapter %1").arg(n).toUtf8();
            sqlite3_bind_int(stmt, 1, n);
            sqlite3_bind_int(stmt, 2, book);
            sqlite3_bind_text(stmt, 3, title.constData(), int(title.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(stmt, 4, text.constData(), int(text.size()), SQLITE_STATIC);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
}
BENCHMARK(BM_BookDb_InsertChapterAllFloor)->Unit(benchmark::kMicrosecond)->UseRealTime();

// books × chapters of 1 KB, written straight into the file.
void fill(const QString& dbPath, int books, int chaptersPerBook) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(dbPath.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* book = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO book (book_id,title,cover,last_chapter_number,download_time,"
                       "update_time) VALUES (?,'A title','cover.jpg',?,?,?)",
                       -1, &book, nullptr);
    sqlite3_stmt* chapter = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO chapter (chapter_id,book_id,title,content) VALUES "
                       "(?,?,'Chapter',?)",
                       -1, &chapter, nullptr);
    const QByteArray text(1024, 'y');
    for (int b = 1; b <= books; ++b) {
        sqlite3_bind_int(book, 1, b);
        sqlite3_bind_int(book, 2, chaptersPerBook);
        sqlite3_bind_int(book, 3, 1'400'000'000 + b);
        sqlite3_bind_int(book, 4, 1'400'000'000 + b);
        sqlite3_step(book);
        sqlite3_reset(book);
        for (int c = 1; c <= chaptersPerBook; ++c) {
            sqlite3_bind_int(chapter, 1, c);
            sqlite3_bind_int(chapter, 2, b);
            sqlite3_bind_text(chapter, 3, text.constData(), int(text.size()), SQLITE_STATIC);
            sqlite3_step(chapter);
            sqlite3_reset(chapter);
        }
    }
    sqlite3_finalize(book);
    sqlite3_finalize(chapter);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Times one lookup after another in a library of state.range(0) books of 100 chapters each,
// going round the books and chapters.
template <typename Lookup> void timeLookups(benchmark::State& state, Lookup lookup) {
    const int books = int(state.range(0));
    Library lib;
    fill(lib.db->dbPath(), books, 100);
    int i = 0;
    for (auto _ : state) {
        ++i;
        const auto result = lookup(*lib.db, QString::number(1 + i % books), 1 + i % 100);
        benchmark::DoNotOptimize(result);
    }
    state.SetLabel(QStringLiteral("%1 books x 100 chapters").arg(books).toStdString());
}

void BM_BookDb_SelectChapterContent(benchmark::State& state) {
    timeLookups(state, [](BookDb& db, const QString& bookId, int chapter) {
        return db.selectChapterContent(bookId, chapter);
    });
}
BENCHMARK(BM_BookDb_SelectChapterContent)->Arg(20)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_BookDb_GetMaxChapterId(benchmark::State& state) {
    timeLookups(state,
                [](BookDb& db, const QString& bookId, int) { return db.getMaxChapterId(bookId); });
}
BENCHMARK(BM_BookDb_GetMaxChapterId)->Arg(20)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_BookDb_SelectAllBooks(benchmark::State& state) {
    const int books = int(state.range(0));
    Library lib;
    fill(lib.db->dbPath(), books, 0);
    for (auto _ : state) {
        const QVariantList shelf = lib.db->selectAllBooks();
        benchmark::DoNotOptimize(shelf);
    }
    state.SetLabel(QStringLiteral("%1 books").arg(books).toStdString());
}
BENCHMARK(BM_BookDb_SelectAllBooks)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace
