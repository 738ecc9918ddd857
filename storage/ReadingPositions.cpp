#include "storage/ReadingPositions.h"

#include <QSet>
#include <QtDebug>
#include <algorithm>
#include <climits>

#include "engines/SqlDatabase.h"
#include "engines/SqlStatement.h"
#include "storage/BookDb.h"

namespace {

const char* const kCreateTables =
    "CREATE TABLE IF NOT EXISTS `readposition` (`book_id` TEXT NOT NULL,"
    " `chapter_id` INTEGER NOT NULL, `page_id` INTEGER NOT NULL, `char_offset` INTEGER NOT NULL,"
    " PRIMARY KEY (`book_id`, `chapter_id`));"
    "CREATE TABLE IF NOT EXISTS `markposition` (`book_id` TEXT NOT NULL,"
    " `chapter_id` INTEGER NOT NULL, `page_id` INTEGER NOT NULL, `char_offset` INTEGER NOT NULL,"
    " PRIMARY KEY (`book_id`, `chapter_id`, `page_id`));";

// Files this process has already given the tables, so a page turn costs one statement.
QSet<QString>& preparedFiles() {
    static QSet<QString> files;
    return files;
}

} // namespace

ReadingPositions::ReadingPositions() : db_(new BookDb()) {}

ReadingPositions::~ReadingPositions() {
    delete db_;
}

bool ReadingPositions::open() {
    // Never creates the file: only the prepared database may be put in its place.
    return db_->fmdb()->open(SqlDatabase::Mode::ExistingOnly);
}

bool ReadingPositions::ensureTables() {
    if (preparedFiles().contains(db_->dbPath()))
        return true;
    if (!open())
        return false;
    const bool ok = db_->fmdb()->executeScript(QString::fromUtf8(kCreateTables));
    if (!ok)
        qWarning("Reading positions: the position tables cannot be created: %s",
                 qPrintable(db_->fmdb()->lastError()));
    db_->fmdb()->close();
    if (ok)
        preparedFiles().insert(db_->dbPath());
    return ok;
}

int ReadingPositions::offsetOf(const QString& sql, const QVariantList& args) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!ensureTables() || !open())
            return -1;
        bool compiled = false;
        int offset = -1;
        {
            SqlStatement stmt = db_->fmdb()->prepare(sql);
            compiled = stmt.isValid();
            if (stmt.bind(args) && stmt.next() && !stmt.isNull(0))
                offset = static_cast<int>(std::clamp<qint64>(stmt.integer(0), -1, INT_MAX));
        }
        db_->fmdb()->close();
        if (compiled)
            return offset;
        // The file was replaced since the tables were made (a fresh copy of the prepared one).
        preparedFiles().remove(db_->dbPath());
    }
    return -1;
}

bool ReadingPositions::write(const QString& sql, const QVariantList& args) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!ensureTables() || !open())
            return false;
        // A position is worth less than a page turn's time: its commit does not wait for the
        // disk (the write-ahead log still keeps the file whole; at worst a power cut loses
        // the last turns' positions, and the page numbers decide for those).
        db_->fmdb()->executeScript(QStringLiteral("PRAGMA synchronous=NORMAL"));
        const bool compiled = db_->fmdb()->prepare(sql).isValid();
        const bool ok = compiled && db_->fmdb()->executeUpdate(sql, args);
        if (!ok && compiled)
            qWarning("Reading positions: a position was not stored: %s",
                     qPrintable(db_->fmdb()->lastError()));
        db_->fmdb()->close();
        if (compiled)
            return ok;
        preparedFiles().remove(db_->dbPath());
    }
    return false;
}

bool ReadingPositions::saveLastRead(const QString& bookId, int chapterId, int pageId, int offset) {
    if (offset < 0)
        return forgetLastRead(bookId, chapterId);
    return write(QStringLiteral("INSERT OR REPLACE INTO `readposition` (`book_id`, `chapter_id`,"
                                " `page_id`, `char_offset`) VALUES (?,?,?,?)"),
                 {bookId, chapterId, pageId, offset});
}

int ReadingPositions::lastReadOffset(const QString& bookId, int chapterId, int pageId) {
    return offsetOf(QStringLiteral("SELECT `char_offset` FROM `readposition` WHERE `book_id`=?"
                                   " AND `chapter_id`=? AND `page_id`=?"),
                    {bookId, chapterId, pageId});
}

int ReadingPositions::resumeOffset(const QString& bookId, int chapterId, int pageId) {
    const QVariantMap record = db_->selectLastReadRecord(bookId);
    if (record.value(QStringLiteral("chapter_id")).toString().toInt() != chapterId ||
        record.value(QStringLiteral("page_id")).toString().toInt() != pageId)
        return -1;
    return lastReadOffset(bookId, chapterId, pageId);
}

bool ReadingPositions::forgetLastRead(const QString& bookId, int chapterId) {
    return write(QStringLiteral("DELETE FROM `readposition` WHERE `book_id`=? AND `chapter_id`=?"),
                 {bookId, chapterId});
}

bool ReadingPositions::saveMark(const QString& bookId, int chapterId, int pageId, int offset) {
    if (offset < 0)
        return forgetMark(bookId, chapterId, pageId);
    return write(QStringLiteral("INSERT OR REPLACE INTO `markposition` (`book_id`, `chapter_id`,"
                                " `page_id`, `char_offset`) VALUES (?,?,?,?)"),
                 {bookId, chapterId, pageId, offset});
}

int ReadingPositions::markOffset(const QString& bookId, int chapterId, int pageId) {
    return offsetOf(QStringLiteral("SELECT `char_offset` FROM `markposition` WHERE `book_id`=?"
                                   " AND `chapter_id`=? AND `page_id`=?"),
                    {bookId, chapterId, pageId});
}

bool ReadingPositions::forgetMark(const QString& bookId, int chapterId, int pageId) {
    return write(QStringLiteral("DELETE FROM `markposition` WHERE `book_id`=? AND `chapter_id`=?"
                                " AND `page_id`=?"),
                 {bookId, chapterId, pageId});
}
