#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement of a SqlDatabase. Owns its handle and finalizes it when it goes
// away; a statement that failed to prepare is simply invalid and every call on it fails.
class SqlStatement final {
public:
    SqlStatement() = default;
    ~SqlStatement();
    SqlStatement(SqlStatement&& other) noexcept;
    SqlStatement& operator=(SqlStatement&& other) noexcept;
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    bool isValid() const { return stmt_ != nullptr; }

    // Binds the positional ? parameters in order. A null or invalid QVariant binds NULL;
    // integral numbers (also a double without a fraction) bind as integers, other doubles
    // as reals, byte arrays as blobs, everything else as its text. False when the count
    // does not match or a value cannot be bound.
    bool bind(const QVariantList& args);

    // Advances to the next row: true while there is one. A finished statement or an
    // error gives false; status() tells them apart.
    bool next();
    // Runs the statement to its end; true when it completed without error.
    bool execute();

    // The result code of the last step: kOk, or SQLite's (extended) error code.
    int status() const { return status_; }
    bool isBusy() const { return isBusyStatus(status_); }

    static constexpr int kOk = 0;
    // Not SQLite's: a query that had to give a row gave none.
    static constexpr int kNoRow = -1;
    // Another connection holds the lock the call needed (busy or locked).
    static bool isBusyStatus(int status);
    // A unique key (or primary key) refused the row: it is there already.
    static bool isUniqueViolation(int status);

    int columnCount() const;
    QString columnName(int index) const;
    // The column as text (an integer gives its decimal text); a null QString for NULL.
    QString text(int index) const;
    qint64 integer(int index) const;
    bool isNull(int index) const;

    // Rewinds the statement for another run; the bound values stay.
    void reset();

private:
    friend class SqlDatabase;
    SqlStatement(sqlite3* db, sqlite3_stmt* stmt, int status);

    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    int status_ = 0;
};
