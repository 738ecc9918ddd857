#include "engines/SqlDatabase.h"

#include <QByteArray>
#include <sqlite3.h>

SqlDatabase::SqlDatabase(const QString& path) : path_(path) {}

SqlDatabase::~SqlDatabase() {
    close();
}

bool SqlDatabase::open(Mode mode, int busyTimeoutMs) {
    if (db_)
        return true;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == Mode::CreateIfMissing)
        flags |= SQLITE_OPEN_CREATE;
    sqlite3* db = nullptr;
    lastStatus_ = sqlite3_open_v2(path_.toUtf8().constData(), &db, flags, nullptr);
    if (lastStatus_ != SQLITE_OK) {
        // A handle comes back even on most failures and must be released.
        sqlite3_close_v2(db);
        return false;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busyTimeoutMs);
    db_ = db;
    return true;
}

void SqlDatabase::close() {
    if (!db_)
        return;
    // close_v2 defers the close until a statement still alive somewhere is finalized.
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

SqlStatement SqlDatabase::prepare(const QString& sql) {
    if (!db_) {
        lastStatus_ = SQLITE_MISUSE;
        return SqlStatement(nullptr, nullptr, lastStatus_);
    }
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    lastStatus_ = sqlite3_prepare_v2(db_, utf8.constData(), static_cast<int>(utf8.size() + 1),
                                     &stmt, nullptr);
    if (lastStatus_ != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return SqlStatement(db_, nullptr, lastStatus_);
    }
    return SqlStatement(db_, stmt, SQLITE_OK);
}

bool SqlDatabase::executeUpdate(const QString& sql, const QVariantList& args) {
    SqlStatement stmt = prepare(sql);
    if (!stmt.isValid())
        return false;
    const bool ok = stmt.bind(args) && stmt.execute();
    lastStatus_ = stmt.status();
    return ok;
}

bool SqlDatabase::executeScript(const QString& sql) {
    if (!db_) {
        lastStatus_ = SQLITE_MISUSE;
        return false;
    }
    lastStatus_ = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    return lastStatus_ == SQLITE_OK;
}

QString SqlDatabase::lastError() const {
    if (db_)
        return QString::fromUtf8(sqlite3_errmsg(db_));
    return QString::fromUtf8(sqlite3_errstr(lastStatus_));
}
