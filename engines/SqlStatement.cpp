#include "engines/SqlStatement.h"

#include <QByteArray>
#include <cmath>
#include <sqlite3.h>
#include <utility>

SqlStatement::SqlStatement(sqlite3* db, sqlite3_stmt* stmt, int status)
    : db_(db), stmt_(stmt), status_(status) {}

SqlStatement::~SqlStatement() {
    if (stmt_)
        sqlite3_finalize(stmt_);
}

SqlStatement::SqlStatement(SqlStatement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), stmt_(std::exchange(other.stmt_, nullptr)),
      status_(other.status_) {}

SqlStatement& SqlStatement::operator=(SqlStatement&& other) noexcept {
    if (this != &other) {
        if (stmt_)
            sqlite3_finalize(stmt_);
        db_ = std::exchange(other.db_, nullptr);
        stmt_ = std::exchange(other.stmt_, nullptr);
        status_ = other.status_;
    }
    return *this;
}

namespace {
int bindOne(sqlite3_stmt* stmt, int index, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return sqlite3_bind_null(stmt, index);
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return sqlite3_bind_int64(stmt, index, value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return sqlite3_bind_int64(stmt, index, static_cast<sqlite3_int64>(value.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float: {
        // Numbers decoded from JSON arrive as doubles; identifiers are whole numbers.
        const double d = value.toDouble();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.0e15)
            return sqlite3_bind_int64(stmt, index, static_cast<sqlite3_int64>(d));
        return sqlite3_bind_double(stmt, index, d);
    }
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(stmt, index, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
    }
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        return sqlite3_bind_text64(stmt, index, utf8.constData(), utf8.size(), SQLITE_TRANSIENT,
                                   SQLITE_UTF8);
    }
    }
}
} // namespace

bool SqlStatement::bind(const QVariantList& args) {
    if (!stmt_)
        return false;
    if (sqlite3_bind_parameter_count(stmt_) != args.size()) {
        status_ = SQLITE_RANGE;
        return false;
    }
    sqlite3_clear_bindings(stmt_);
    for (int i = 0; i < args.size(); ++i) {
        status_ = bindOne(stmt_, i + 1, args.at(i));
        if (status_ != SQLITE_OK)
            return false;
    }
    return true;
}

bool SqlStatement::next() {
    if (!stmt_)
        return false;
    status_ = sqlite3_step(stmt_);
    if (status_ == SQLITE_ROW)
        return true;
    if (status_ == SQLITE_DONE)
        status_ = SQLITE_OK;
    return false;
}

bool SqlStatement::execute() {
    if (!stmt_)
        return false;
    while (next()) {
    }
    return status_ == SQLITE_OK;
}

bool SqlStatement::isBusyStatus(int status) {
    const int primary = status & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

bool SqlStatement::isUniqueViolation(int status) {
    return status == SQLITE_CONSTRAINT_UNIQUE || status == SQLITE_CONSTRAINT_PRIMARYKEY;
}

int SqlStatement::columnCount() const {
    return stmt_ ? sqlite3_column_count(stmt_) : 0;
}

QString SqlStatement::columnName(int index) const {
    if (!stmt_)
        return {};
    return QString::fromUtf8(sqlite3_column_name(stmt_, index));
}

QString SqlStatement::text(int index) const {
    if (!stmt_ || sqlite3_column_type(stmt_, index) == SQLITE_NULL)
        return {};
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
    const int size = sqlite3_column_bytes(stmt_, index);
    if (!data)
        return {};
    return QString::fromUtf8(data, size);
}

qint64 SqlStatement::integer(int index) const {
    return stmt_ ? sqlite3_column_int64(stmt_, index) : 0;
}

bool SqlStatement::isNull(int index) const {
    return !stmt_ || sqlite3_column_type(stmt_, index) == SQLITE_NULL;
}

void SqlStatement::reset() {
    if (stmt_)
        sqlite3_reset(stmt_);
    status_ = SQLITE_OK;
}
