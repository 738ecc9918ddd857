#pragma once

#include <QList>
#include <QString>

// The queue of books kept whole for offline reading, in a table of its own in books.sqlite
// (`keepqueue`), and the few chapter queries the keeper needs. One row per book asked for:
// when it was asked, whether its download ended, which chapters were asked once without an
// answer and which were given up. The table is created when missing, so a prepared file or a
// copy from an older version gains it on first use.
//
// Like BookDb, every call opens the file and closes it again; main thread only.
class KeepQueue final {
public:
    struct Entry {
        QString bookId;
        qint64 queuedTime = 0;
        bool done = false;
        QList<int> tried;   // asked once, not answered yet: one more try each
        QList<int> missing; // asked twice without an answer: given up
    };

    KeepQueue();

    // Creates the `keepqueue` table in books.sqlite when it is missing; false when the file
    // cannot be opened or written.
    bool ensureKeepQueueTable();

    // Adds the book to the end of the queue, or puts an existing row back to "not done" with
    // its tries and missing chapters forgotten (a new request tries every chapter again).
    bool enqueue(const QString& bookId, qint64 queuedTime);
    // Saves the retry state of a book and whether its download ended.
    bool update(const Entry& entry);
    bool remove(const QString& bookId);
    // Every row, oldest request first; only the unfinished ones with pendingOnly.
    QList<Entry> entries(bool pendingOnly = false);
    // The row of a book; bookId empty when there is none.
    Entry entry(const QString& bookId);

    // Chapters of the book's table of contents whose text is not stored, ascending.
    QList<int> unstoredChapters(const QString& bookId);
    // Of the given chapters, those whose text is stored.
    QList<int> storedAmong(const QString& bookId, const QList<int>& chapters);
    // Stored chapter texts of the book that its table of contents lists, and the number of
    // entries in that table.
    int storedCount(const QString& bookId);
    int menuCount(const QString& bookId);

private:
    QString path_;
};
