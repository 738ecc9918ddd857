#pragma once

#include <QString>
#include <QVariantList>

#include "engines/SqlStatement.h"

struct sqlite3;

// A connection to one SQLite database file. Closed on destruction; every statement made
// from it must be gone before it closes. One connection is used by one thread at a time.
class SqlDatabase final {
public:
    explicit SqlDatabase(const QString& path);
    ~SqlDatabase();
    SqlDatabase(const SqlDatabase&) = delete;
    SqlDatabase& operator=(const SqlDatabase&) = delete;

    QString path() const { return path_; }

    enum class Mode { CreateIfMissing, ExistingOnly };

    // Opens the file (ExistingOnly: fails when it is missing). Every connection waits up
    // to busyTimeoutMs for a lock another connection holds instead of failing at once.
    bool open(Mode mode = Mode::CreateIfMissing, int busyTimeoutMs = kDefaultBusyTimeoutMs);
    void close();
    bool isOpen() const { return db_ != nullptr; }

    // An invalid statement when the connection is closed or the text does not compile.
    SqlStatement prepare(const QString& sql);
    // Prepares, binds and runs a statement that returns no rows; true on success.
    bool executeUpdate(const QString& sql, const QVariantList& args = {});
    // Runs one or more statements without parameters (schema, pragmas, transactions).
    bool executeScript(const QString& sql);

    // The result code and message of the last failed call on this connection.
    int lastStatus() const { return lastStatus_; }
    QString lastError() const;

    static constexpr int kDefaultBusyTimeoutMs = 5000;

private:
    QString path_;
    sqlite3* db_ = nullptr;
    int lastStatus_ = 0;
};
