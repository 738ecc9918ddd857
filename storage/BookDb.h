#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <memory>

class SqlDatabase;

// The only access path to books.sqlite: the shelf, chapter texts, tables of contents,
// last-read records, bookmarks, cached categories and the search history.
//
// Create one for a task, call its operations on the main thread and drop it. Every
// operation opens the file and closes it again; rows come out as QVariantMap keyed by the
// column names, every value as text (an integer column gives its decimal text).
//
// Three writers (insertChapterAll, insertChapterMenu, insertCategory) answer at once and
// write in the background on a connection of their own, one step after the other. Each
// takes an optional completion callback that runs on the main thread once its writes are
// done, bound to a receiver: when the receiver is gone, the callback is dropped. The flag
// it gets is true when every row was written (or was already there).
class BookDb final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BookDb)

public:
    using Done = std::function<void(bool ok)>;

    explicit BookDb(QObject* parent = nullptr);
    ~BookDb() override;

    QString dbPath() const { return dbPath_; }
    SqlDatabase* fmdb() const { return fmdb_.get(); }

    // --- Books
    bool isExistsTheBook(const QString& bookId);
    // book_id, title, cover, last_chapter_number, download_time, update_time
    bool insertBook(const QVariantMap& book);
    // Sets title, cover, update_time and/or last_chapter_number; false with no option.
    bool updateBook(const QString& bookId, const QVariantMap& options);
    QVariantList selectAllBooks(); // book_id, title, cover, last_chapter_number; newest first
    QVariantMap selectBookByBookid(const QString& bookId); // title, cover, last_chapter_number
    bool deleteFromBook(const QString& bookId);

    // --- Chapters
    // chapterDic is the /data/getcontent answer; its chapters missing from the book are
    // stored and marked downloaded in the table of contents.
    bool insertChapterAll(const QString& bookId, const QVariantMap& chapterDic,
                          const QObject* receiver = nullptr, Done done = {});
    // chapter_number, book_id, title, content
    bool insertChapterOne(const QString& bookId, const QVariantMap& chapterDic);
    bool updateChapter(const QVariantMap& chapter); // title, content, book_id, chapter_id
    QVariantMap selectChapterContent(const QString& bookId, int chapterId); // title, content
    QVariantList selectChaptersByBookid(const QString& bookId);             // chapter_id, title
    bool isExistsInChapter(const QString& bookId, int chapterId);
    // 0 for a book without stored chapters; 1 when the file cannot be opened.
    int getMaxChapterId(const QString& bookId);
    int getMinChapterId(const QString& bookId);
    int getCountFromChapterByBookid(const QString& bookId);
    bool deleteFromChapter(const QString& bookId);

    // --- Table of contents
    // chapterMenu is the /data/menu answer; written only when the book has no entry yet.
    bool insertChapterMenu(const QString& bookId, const QVariantMap& chapterMenu,
                           const QObject* receiver = nullptr, Done done = {});
    // book_id, chapter_number (the chapter_id column), title, downstatus
    QVariantList selectAllChapterMenu(const QString& bookId);
    // The nearest lower chapter number in the table of contents; 0 when there is none.
    int selectLessChapterId(const QString& bookId, int chapterId);
    bool isExistsMenu(const QString& bookId);
    bool deleteChapterMenuByBookid(const QString& bookId);

    // --- Last-read record
    bool isReaded(const QString& bookId);
    bool recordLastRead(const QVariantMap& record); // book_id, chapter_id, page_id, create_time
    QVariantMap selectLastReadRecord(const QString& bookId); // chapter_id, page_id, ...
    bool deleteFromLastReadByBookid(const QString& bookId);

    // --- Bookmarks
    bool isExistsMark(const QVariantMap& mark); // book_id, chapter_id, page_id
    bool addBookMark(const QVariantMap& mark);  // ... title, create_time
    bool deleteMark(const QVariantMap& mark);
    QVariantList selectAllMarkByBookId(const QString& bookId); // newest first
    bool deleteMarkByBookid(const QString& bookId);
    bool cleanAllMark();

    // --- Categories
    bool isExistsCategory();
    bool deleteCategory();
    // The service's list (id, name) replaces the cached one, written in the background.
    bool insertCategory(const QVariantList& categories, const QObject* receiver = nullptr,
                        Done done = {});
    QVariantList selectCategory(); // id (the cate_id column), name; by cate_id

    // --- Search history
    bool isExistsSearchStr(const QString& text);
    bool saveSearchRecords(const QString& text);
    QStringList selectAllSearchRecords(); // newest first
    bool isExistsSearchRecords();
    bool deleteSearchRecord(const QString& text);
    bool deleteAllSearchRecord();

    // Blocks until every background write started so far has finished (tests, shutdown).
    static void waitForBackgroundWrites();

private:
    bool open();
    void close();
    bool canRead(const QString& table);
    bool count(const QString& sql, const QVariantList& args);
    int intValue(const QString& sql, const QVariantList& args, int fallback);
    bool exec(const QString& sql, const QVariantList& args);
    QVariantList rows(const QString& sql, const QVariantList& args);

    QString dbPath_;
    std::unique_ptr<SqlDatabase> fmdb_;
};
