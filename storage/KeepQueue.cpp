#include "storage/KeepQueue.h"

#include <QSet>
#include <QStringList>
#include <QtDebug>
#include <algorithm>

#include "engines/SqlDatabase.h"
#include "storage/BookDb.h"

namespace {

QString joinNumbers(const QList<int>& numbers) {
    QStringList parts;
    for (int n : numbers)
        parts << QString::number(n);
    return parts.join(QLatin1Char(','));
}

QList<int> splitNumbers(const QString& text) {
    QList<int> numbers;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = part.trimmed().toInt(&ok);
        if (ok)
            numbers << n;
    }
    return numbers;
}

// Files whose table is known to be there in this process.
QSet<QString>& readyFiles() {
    static QSet<QString> files;
    return files;
}

} // namespace

KeepQueue::KeepQueue() : path_(BookDb().dbPath()) {}

bool KeepQueue::ensureKeepQueueTable() {
    SqlDatabase db(path_);
    if (!db.open(SqlDatabase::Mode::ExistingOnly))
        return false;
    const bool ok = db.executeScript(QStringLiteral("CREATE TABLE IF NOT EXISTS keepqueue ("
                                                    " book_id INTEGER NOT NULL PRIMARY KEY,"
                                                    " queued_time INTEGER,"
                                                    " done INTEGER NOT NULL DEFAULT 0,"
                                                    " tried TEXT NOT NULL DEFAULT '',"
                                                    " missing TEXT NOT NULL DEFAULT '')"));
    if (!ok)
        qWarning().noquote() << "KeepQueue: cannot create the keepqueue table:" << db.lastError();
    else
        readyFiles().insert(path_);
    return ok;
}

bool KeepQueue::enqueue(const QString& bookId, qint64 queuedTime) {
    if (!readyFiles().contains(path_) && !ensureKeepQueueTable())
        return false;
    SqlDatabase db(path_);
    if (!db.open(SqlDatabase::Mode::ExistingOnly))
        return false;
    // A book asked again keeps its place in the queue.
    return db.executeUpdate(
        QStringLiteral("INSERT INTO keepqueue (book_id,queued_time,done,tried,missing) "
                       "VALUES (?,?,0,'','') ON CONFLICT(book_id) DO UPDATE SET done=0, "
                       "tried='', missing=''"),
        {bookId, queuedTime});
}

bool KeepQueue::update(const Entry& entry) {
    if (!readyFiles().contains(path_) && !ensureKeepQueueTable())
        return false;
    SqlDatabase db(path_);
    if (!db.open(SqlDatabase::Mode::ExistingOnly))
        return false;
    return db.executeUpdate(
        QStringLiteral("UPDATE keepqueue SET done=?, tried=?, missing=? WHERE book_id=?"),
        {entry.done ? 1 : 0, joinNumbers(entry.tried), joinNumbers(entry.missing), entry.bookId});
}

bool KeepQueue::remove(const QString& bookId) {
    if (!readyFiles().contains(path_) && !ensureKeepQueueTable())
        return false;
    SqlDatabase db(path_);
    if (!db.open(SqlDatabase::Mode::ExistingOnly))
        return false;
    return db.executeUpdate(QStringLiteral("DELETE FROM keepqueue WHERE book_id=?"), {bookId});
}

QList<KeepQueue::Entry> KeepQueue::entries(bool pendingOnly) {
    QList<Entry> list;
    if (!readyFiles().contains(path_) && !ensureKeepQueueTable())
        return list;
    SqlDatabase db(path_);
    if (!db.open(SqlDatabase::Mode::ExistingOnly))
        return list;
    SqlStatement stmt =
        db.prepare(QStringLiteral("SELECT book_id,queued_time,done,tried,missing FROM keepqueue %1 "
                                  "ORDER BY queued_time ASC, rowid ASC")
                       .arg(pendingOnly ? QStringLiteral("WHERE done=0") : QString()));
    while (stmt.next()) {
        Entry e;
        e.bookId = stmt.text(0);
        e.queuedTime = stmt.integer(1);
        e.done = stmt.integer(2) != 0;
        e.tried = splitNumbers(stmt.text(3));
        e.missing = splitNumbers(stmt.text(4));
        list << e;
    }
    return list;
}

KeepQueue::Entry KeepQueue::entry(const QString& bookId) {
    for (const Entry& e : entries()) {
        if (e.bookId == bookId)
            return e;
    }
    return {};
}

QList<int> KeepQueue::unstoredChapters(const QString& bookId) {
    QList<int> list;
    SqlDatabase db(path_);
    if (!db.open(SqlDatabase::Mode::ExistingOnly))
        return list;
    SqlStatement stmt = db.prepare(QStringLiteral(
        "SELECT m.chapter_id FROM chaptermenu m WHERE m.book_id=? AND NOT EXISTS "
        "(SELECT 1 FROM chapter c WHERE c.book_id=m.book_id AND c.chapter_id=m.chapter_id) "
        "ORDER BY m.chapter_id ASC"));
    if (stmt.bind({bookId})) {
        while (stmt.next())
            list << int(stmt.integer(0));
    }
    return list;
}

QList<int> KeepQueue::storedAmong(const QString& bookId, const QList<int>& chapters) {
    QList<int> list;
    if (chapters.isEmpty())
        return list;
    SqlDatabase db(path_);
    if (!db.open(SqlDatabase::Mode::ExistingOnly))
        return list;
    // Numbers only go into the text, never anything the service sent as text.
    SqlStatement stmt = db.prepare(QStringLiteral("SELECT chapter_id FROM chapter WHERE "
                                                  "book_id=? AND chapter_id IN (%1) ORDER BY "
                                                  "chapter_id ASC")
                                       .arg(joinNumbers(chapters)));
    if (stmt.bind({bookId})) {
        while (stmt.next())
            list << int(stmt.integer(0));
    }
    return list;
}

int KeepQueue::storedCount(const QString& bookId) {
    SqlDatabase db(path_);
    if (!db.open(SqlDatabase::Mode::ExistingOnly))
        return 0;
    SqlStatement stmt = db.prepare(
        QStringLiteral("SELECT COUNT(*) FROM chaptermenu m JOIN chapter c ON "
                       "c.book_id=m.book_id AND c.chapter_id=m.chapter_id WHERE m.book_id=?"));
    if (stmt.bind({bookId}) && stmt.next())
        return int(stmt.integer(0));
    return 0;
}

int KeepQueue::menuCount(const QString& bookId) {
    SqlDatabase db(path_);
    if (!db.open(SqlDatabase::Mode::ExistingOnly))
        return 0;
    SqlStatement stmt =
        db.prepare(QStringLiteral("SELECT COUNT(*) FROM chaptermenu WHERE book_id=?"));
    if (stmt.bind({bookId}) && stmt.next())
        return int(stmt.integer(0));
    return 0;
}
