#include "tools/bookd/BookStore.h"

#include "tools/bookd/SampleCatalog.h"

#include <QDateTime>
#include <QDir>
#include <QTimeZone>
#include <QtDebug>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <sqlite3.h>

namespace {

constexpr int kSchemaVersion = 1;
constexpr int kPbkdf2Rounds = 60000;
constexpr int kCodeLifetime = 600; // ten minutes

QByteArray randomBytes(int n) {
    QByteArray bytes(n, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), n) != 1)
        qWarning("bookd: no random bytes from the system");
    return bytes;
}

QByteArray hashPassword(const QString& password, const QByteArray& salt) {
    const QByteArray utf8 = password.toUtf8();
    QByteArray out(32, '\0');
    PKCS5_PBKDF2_HMAC(utf8.constData(), int(utf8.size()),
                      reinterpret_cast<const unsigned char*>(salt.constData()), int(salt.size()),
                      kPbkdf2Rounds, EVP_sha256(), int(out.size()),
                      reinterpret_cast<unsigned char*>(out.data()));
    return out;
}

QString timeText(qint64 secs) {
    // The service writes its times in China Standard Time, as its readers expect.
    return QDateTime::fromSecsSinceEpoch(secs, QTimeZone(8 * 3600))
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// LIKE pattern for a keyword: its own % and _ match themselves.
QString likePattern(const QString& keyword) {
    QString escaped = keyword;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('%'), QLatin1String("\\%"));
    escaped.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

const char kBookColumns[] =
    "SELECT b.id, b.title, b.author, b.category_id, c.name, b.chapters, b.update_time, "
    "b.cover_type, b.site_name, b.status, b.intro, "
    "(SELECT COUNT(*) FROM sites s WHERE s.book_id = b.id), "
    "(SELECT COUNT(*) FROM favourites f WHERE f.book_id = b.id AND f.user_id = :user) "
    "FROM books b JOIN categories c ON c.id = b.category_id ";

} // namespace

// One prepared statement; binds QVariants by position or name and steps through rows.
class BookStore::Statement {
public:
    Statement(sqlite3* db, const QString& sql) {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt_, nullptr) !=
            SQLITE_OK) {
            qWarning("bookd: cannot prepare statement: %s", sqlite3_errmsg(db));
            stmt_ = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }

    Statement& bind(int index, const QVariant& value) {
        if (!stmt_)
            return *this;
        if (value.isNull()) {
            sqlite3_bind_null(stmt_, index);
        } else if (value.typeId() == QMetaType::QString) {
            const QByteArray utf8 = value.toString().toUtf8();
            sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        } else if (value.typeId() == QMetaType::QByteArray) {
            const QByteArray bytes = value.toByteArray();
            sqlite3_bind_blob(stmt_, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_int64(stmt_, index, value.toLongLong());
        }
        return *this;
    }
    Statement& bind(const char* name, const QVariant& value) {
        if (stmt_) {
            const int index = sqlite3_bind_parameter_index(stmt_, name);
            if (index > 0)
                bind(index, value);
        }
        return *this;
    }
    Statement& bindAll(const QVariantList& values) {
        for (int i = 0; i < values.size(); ++i)
            bind(i + 1, values.at(i));
        return *this;
    }

    // True while there is a row.
    bool next() { return stmt_ && sqlite3_step(stmt_) == SQLITE_ROW; }
    // Runs a statement that returns no rows.
    bool run() {
        if (!stmt_)
            return false;
        const int rc = sqlite3_step(stmt_);
        return rc == SQLITE_DONE || rc == SQLITE_ROW;
    }

    qint64 integer(int col) const { return sqlite3_column_int64(stmt_, col); }
    bool isNull(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }
    QString text(int col) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
        return p ? QString::fromUtf8(p, sqlite3_column_bytes(stmt_, col)) : QString();
    }
    QByteArray blob(int col) const {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, col));
        return p ? QByteArray(p, sqlite3_column_bytes(stmt_, col)) : QByteArray();
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

BookStore::BookStore(ClockFn clock) : clock_(std::move(clock)) {
    if (!clock_)
        clock_ = [] { return QDateTime::currentSecsSinceEpoch(); };
}

BookStore::~BookStore() {
    if (db_)
        sqlite3_close(db_);
}

bool BookStore::exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        qWarning("bookd: SQL failed: %s", error ? error : "?");
        sqlite3_free(error);
        return false;
    }
    return true;
}

bool BookStore::open(const QString& dataDir) {
    std::lock_guard lock(mutex_);
    if (!QDir().mkpath(dataDir)) {
        qWarning("bookd: cannot create the data folder %s", qPrintable(dataDir));
        return false;
    }
    dataDir_ = dataDir;
    const QByteArray path = QDir(dataDir).filePath(QStringLiteral("bookd.sqlite")).toUtf8();
    if (sqlite3_open_v2(path.constData(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        qWarning("bookd: cannot open %s: %s", path.constData(), sqlite3_errmsg(db_));
        return false;
    }
    sqlite3_busy_timeout(db_, 5000);
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA foreign_keys=ON");

    Statement version(db_, QStringLiteral("PRAGMA user_version"));
    const int current = version.next() ? int(version.integer(0)) : 0;
    if (current == kSchemaVersion)
        return true;
    if (current != 0) {
        qWarning("bookd: %s has an unknown layout (version %d)", path.constData(), current);
        return false;
    }
    if (!exec("BEGIN"))
        return false;
    if (!createSchema() || !seed()) {
        exec("ROLLBACK");
        return false;
    }
    exec("PRAGMA user_version=1");
    return exec("COMMIT");
}

bool BookStore::createSchema() {
    return exec(R"(
CREATE TABLE categories (id INTEGER PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE books (
    id INTEGER PRIMARY KEY, title TEXT NOT NULL, author TEXT NOT NULL,
    category_id INTEGER NOT NULL REFERENCES categories(id), status TEXT NOT NULL,
    intro TEXT NOT NULL, chapters INTEGER NOT NULL, update_time INTEGER NOT NULL,
    cover_type TEXT NOT NULL, site_name TEXT, read_count INTEGER NOT NULL,
    fav_count INTEGER NOT NULL, daily_rank INTEGER, popular_rank INTEGER);
CREATE TABLE sites (book_id INTEGER NOT NULL REFERENCES books(id), position INTEGER NOT NULL,
    name TEXT NOT NULL, PRIMARY KEY (book_id, position));
CREATE TABLE users (
    id INTEGER PRIMARY KEY AUTOINCREMENT, mobile TEXT UNIQUE, email TEXT UNIQUE,
    nickname TEXT NOT NULL, salt BLOB NOT NULL, hash BLOB NOT NULL, channel TEXT,
    created INTEGER NOT NULL, login_time INTEGER NOT NULL DEFAULT 0);
CREATE TABLE tokens (token TEXT PRIMARY KEY, user_id INTEGER NOT NULL REFERENCES users(id),
    created INTEGER NOT NULL);
CREATE TABLE codes (mobile TEXT PRIMARY KEY, code TEXT NOT NULL, expires INTEGER NOT NULL);
CREATE TABLE favourites (user_id INTEGER NOT NULL, book_id INTEGER NOT NULL,
    created INTEGER NOT NULL, PRIMARY KEY (user_id, book_id));
CREATE TABLE readlog (user_id INTEGER NOT NULL, book_id INTEGER NOT NULL,
    chapter INTEGER NOT NULL, read_time INTEGER NOT NULL, PRIMARY KEY (user_id, book_id));
CREATE TABLE messages (id INTEGER PRIMARY KEY AUTOINCREMENT, user_id INTEGER NOT NULL,
    title TEXT NOT NULL, content TEXT NOT NULL, status INTEGER NOT NULL DEFAULT 0,
    send_time INTEGER NOT NULL);
CREATE TABLE feedback (id INTEGER PRIMARY KEY AUTOINCREMENT, user_id INTEGER, type TEXT,
    content TEXT, email TEXT, qq TEXT, channel TEXT, created INTEGER NOT NULL);
CREATE TABLE error_reports (id INTEGER PRIMARY KEY AUTOINCREMENT, user_id INTEGER,
    book_id INTEGER, chapter INTEGER, channel TEXT, created INTEGER NOT NULL);
CREATE TABLE devices (device_token TEXT PRIMARY KEY, created INTEGER NOT NULL);
)");
}

bool BookStore::seed() {
    for (const SampleCategory& c : SampleCatalog::categories()) {
        Statement insert(db_, QStringLiteral("INSERT INTO categories (id, name) VALUES (?, ?)"));
        if (!insert.bind(1, c.id).bind(2, c.name).run())
            return false;
    }
    for (const SampleBook& b : SampleCatalog::books()) {
        Statement insert(
            db_, QStringLiteral("INSERT INTO books (id, title, author, category_id, status, "
                                "intro, chapters, update_time, cover_type, site_name, "
                                "read_count, fav_count, daily_rank, popular_rank) VALUES "
                                "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        insert.bindAll({b.id, b.title, b.author, b.categoryId, b.status, b.intro, b.chapters,
                        b.updateTime, b.coverType,
                        b.hasSiteName ? QVariant(b.sites.value(0)) : QVariant(), b.readCount,
                        b.favCount, b.dailyRank ? QVariant(b.dailyRank) : QVariant(),
                        b.popularRank ? QVariant(b.popularRank) : QVariant()});
        if (!insert.run())
            return false;
        for (int i = 0; i < b.sites.size(); ++i) {
            Statement site(
                db_,
                QStringLiteral("INSERT INTO sites (book_id, position, name) VALUES (?, ?, ?)"));
            if (!site.bindAll({b.id, i, b.sites.at(i)}).run())
                return false;
        }
    }
    return true;
}

QJsonObject BookStore::bookJson(Statement& row, const QString& coverBase) const {
    // The service mixes types as it always has: identifiers and counters as numbers,
    // the last chapter's number as text.
    const int id = int(row.integer(0));
    const int chapters = int(row.integer(5));
    const QString cover = row.text(7);
    QJsonObject book;
    book.insert(QStringLiteral("book_id"), id);
    book.insert(QStringLiteral("title"), row.text(1));
    book.insert(QStringLiteral("author"), row.text(2));
    book.insert(QStringLiteral("coverimg"),
                cover.isEmpty()
                    ? QString()
                    : QStringLiteral("%1/covers/%2.%3").arg(coverBase).arg(id).arg(cover));
    book.insert(QStringLiteral("category"), QJsonObject{{QStringLiteral("id"), int(row.integer(3))},
                                                        {QStringLiteral("name"), row.text(4)}});
    book.insert(QStringLiteral("last_chapter_number"), QString::number(chapters));
    book.insert(QStringLiteral("last_chapter_title"), SampleCatalog::chapterTitle(id, chapters));
    book.insert(QStringLiteral("last_update_time"), timeText(row.integer(6)));
    book.insert(QStringLiteral("status"), row.text(9));
    book.insert(QStringLiteral("intro"), row.text(10));
    book.insert(QStringLiteral("source_site_name"),
                row.isNull(8) ? QJsonValue(QJsonValue::Null) : QJsonValue(row.text(8)));
    book.insert(QStringLiteral("is_favouite"), row.integer(12) > 0 ? 1 : 0);
    book.insert(QStringLiteral("source_site_nums"), int(row.integer(11)));
    return book;
}

BookStore::Page BookStore::bookPage(const QString& where, const NamedBinds& binds,
                                    const QString& order, Paging paging, const QString& coverBase,
                                    qint64 userId) {
    Page page;
    Statement count(db_, QStringLiteral("SELECT COUNT(*) FROM books b ") + where);
    for (const auto& [name, value] : binds)
        count.bind(name, value);
    if (count.next())
        page.count = int(count.integer(0));

    Statement rows(db_, QLatin1String(kBookColumns) + where + QStringLiteral(" ORDER BY ") + order +
                            QStringLiteral(" LIMIT :limit OFFSET :offset"));
    for (const auto& [name, value] : binds)
        rows.bind(name, value);
    rows.bind(":user", userId);
    rows.bind(":limit", paging.limit);
    rows.bind(":offset", qint64(paging.page - 1) * paging.limit);
    while (rows.next())
        page.items.append(bookJson(rows, coverBase));
    return page;
}

QJsonArray BookStore::categories() {
    std::lock_guard lock(mutex_);
    QJsonArray list;
    Statement rows(db_, QStringLiteral("SELECT id, name FROM categories ORDER BY id"));
    while (rows.next()) {
        // Identifiers as numeric strings, as the service has always sent them.
        list.append(QJsonObject{{QStringLiteral("id"), QString::number(rows.integer(0))},
                                {QStringLiteral("name"), rows.text(1)}});
    }
    return list;
}

bool BookStore::categoryExists(int id) {
    std::lock_guard lock(mutex_);
    Statement row(db_, QStringLiteral("SELECT 1 FROM categories WHERE id = ?"));
    return row.bind(1, id).next();
}

BookStore::Page BookStore::suggest(const QString& list, Paging paging, const QString& coverBase,
                                   qint64 userId) {
    std::lock_guard lock(mutex_);
    const QString column = list == QLatin1String("daily") ? QStringLiteral("b.daily_rank")
                                                          : QStringLiteral("b.popular_rank");
    return bookPage(QStringLiteral("WHERE ") + column + QStringLiteral(" IS NOT NULL"), {}, column,
                    paging, coverBase, userId);
}

BookStore::Page BookStore::ranked(const QString& order, Paging paging, const QString& coverBase,
                                  qint64 userId) {
    std::lock_guard lock(mutex_);
    const QString by = order == QLatin1String("favouite") ? QStringLiteral("b.fav_count DESC")
                                                          : QStringLiteral("b.read_count DESC");
    return bookPage(QString(), {}, by + QStringLiteral(", b.id"), paging, coverBase, userId);
}

BookStore::Page BookStore::byCategory(int categoryId, Paging paging, const QString& coverBase,
                                      qint64 userId) {
    std::lock_guard lock(mutex_);
    return bookPage(QStringLiteral("WHERE b.category_id = :category"), {{":category", categoryId}},
                    QStringLiteral("b.update_time DESC, b.id"), paging, coverBase, userId);
}

BookStore::Page BookStore::search(const QString& keyword, Paging paging, const QString& coverBase,
                                  qint64 userId) {
    std::lock_guard lock(mutex_);
    return bookPage(
        QStringLiteral("WHERE b.title LIKE :keyword ESCAPE '\\' OR b.author LIKE :keyword "
                       "ESCAPE '\\'"),
        {{":keyword", likePattern(keyword)}}, QStringLiteral("b.read_count DESC, b.id"), paging,
        coverBase, userId);
}

std::optional<QJsonObject> BookStore::book(int bookId, const QString& coverBase, qint64 userId) {
    std::lock_guard lock(mutex_);
    Statement row(db_, QLatin1String(kBookColumns) + QStringLiteral("WHERE b.id = :id"));
    row.bind(":id", bookId).bind(":user", userId);
    if (!row.next())
        return std::nullopt;
    return bookJson(row, coverBase);
}

QJsonArray BookStore::alsoRead(int bookId, const QString& coverBase, qint64 userId) {
    std::lock_guard lock(mutex_);
    // Readers of a book mostly read others of its category; the most read of those come first.
    Statement rows(db_, QLatin1String(kBookColumns) +
                            QStringLiteral("WHERE b.id <> :id AND b.category_id = (SELECT "
                                           "category_id FROM books WHERE id = :id) "
                                           "ORDER BY b.read_count DESC LIMIT 6"));
    rows.bind(":id", bookId).bind(":user", userId);
    QJsonArray list;
    while (rows.next())
        list.append(bookJson(rows, coverBase));
    return list;
}

QStringList BookStore::sites(int bookId) {
    std::lock_guard lock(mutex_);
    Statement rows(db_,
                   QStringLiteral("SELECT name FROM sites WHERE book_id = ? ORDER BY position"));
    rows.bind(1, bookId);
    QStringList names;
    while (rows.next())
        names << rows.text(0);
    return names;
}

int BookStore::chapterCount(int bookId) {
    std::lock_guard lock(mutex_);
    Statement row(db_, QStringLiteral("SELECT chapters FROM books WHERE id = ?"));
    return row.bind(1, bookId).next() ? int(row.integer(0)) : 0;
}

QString BookStore::coverType(int bookId) {
    std::lock_guard lock(mutex_);
    Statement row(db_, QStringLiteral("SELECT cover_type FROM books WHERE id = ?"));
    return row.bind(1, bookId).next() ? row.text(0) : QString();
}

qint64 BookStore::userForToken(const QString& token) {
    if (token.isEmpty())
        return 0;
    std::lock_guard lock(mutex_);
    Statement row(db_, QStringLiteral("SELECT user_id FROM tokens WHERE token = ?"));
    return row.bind(1, token).next() ? row.integer(0) : 0;
}

bool BookStore::mobileTaken(const QString& mobile) {
    std::lock_guard lock(mutex_);
    Statement row(db_, QStringLiteral("SELECT 1 FROM users WHERE mobile = ?"));
    return row.bind(1, mobile).next();
}

bool BookStore::emailTaken(const QString& email) {
    std::lock_guard lock(mutex_);
    Statement row(db_, QStringLiteral("SELECT 1 FROM users WHERE email = ? COLLATE NOCASE"));
    return row.bind(1, email).next();
}

QString BookStore::issueCode(const QString& mobile) {
    const QByteArray bytes = randomBytes(4);
    quint32 n = 0;
    for (char b : bytes)
        n = (n << 8) | quint8(b);
    const QString code = QStringLiteral("%1").arg(n % 1000000, 6, 10, QLatin1Char('0'));
    std::lock_guard lock(mutex_);
    Statement insert(
        db_,
        QStringLiteral("INSERT OR REPLACE INTO codes (mobile, code, expires) VALUES (?, ?, ?)"));
    insert.bindAll({mobile, code, now() + kCodeLifetime}).run();
    return code;
}

bool BookStore::consumeCode(const QString& mobile) {
    std::lock_guard lock(mutex_);
    Statement row(db_, QStringLiteral("SELECT expires FROM codes WHERE mobile = ?"));
    if (!row.bind(1, mobile).next())
        return false;
    const bool valid = now() <= row.integer(0);
    Statement drop(db_, QStringLiteral("DELETE FROM codes WHERE mobile = ?"));
    if (valid)
        drop.bind(1, mobile).run();
    return valid;
}

qint64 BookStore::createUser(const QString& mobile, const QString& email, const QString& password,
                             const QString& channel) {
    const QByteArray salt = randomBytes(16);
    const QByteArray hash = hashPassword(password, salt);
    std::lock_guard lock(mutex_);
    QString nickname;
    if (!mobile.isEmpty())
        nickname = QStringLiteral("书友%1").arg(mobile.right(4));
    else
        nickname = email.section(QLatin1Char('@'), 0, 0);
    Statement insert(db_, QStringLiteral("INSERT INTO users (mobile, email, nickname, salt, hash, "
                                         "channel, created) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    insert.bindAll({mobile.isEmpty() ? QVariant() : QVariant(mobile),
                    email.isEmpty() ? QVariant() : QVariant(email), nickname, salt, hash, channel,
                    now()});
    if (!insert.run())
        return 0; // the UNIQUE columns refuse a second account with the same name
    const qint64 id = sqlite3_last_insert_rowid(db_);

    Statement message(db_, QStringLiteral("INSERT INTO messages (user_id, title, content, status, "
                                          "send_time) VALUES (?, ?, ?, 0, ?)"));
    message.bindAll({id, QString::fromUtf8(SampleCatalog::kWelcomeTitle),
                     SampleCatalog::welcomeText(nickname), now()});
    message.run();
    return id;
}

qint64 BookStore::checkPassword(const QString& username, const QString& password) {
    QByteArray salt, hash;
    qint64 id = 0;
    {
        std::lock_guard lock(mutex_);
        Statement row(db_, QStringLiteral("SELECT id, salt, hash FROM users WHERE mobile = ?1 OR "
                                          "email = ?1 COLLATE NOCASE"));
        if (!row.bind(1, username).next())
            return 0;
        id = row.integer(0);
        salt = row.blob(1);
        hash = row.blob(2);
    }
    // The slow hash runs outside the lock so that one sign-in does not stall every reader.
    const QByteArray given = hashPassword(password, salt);
    if (given.size() != hash.size() ||
        CRYPTO_memcmp(given.constData(), hash.constData(), size_t(hash.size())) != 0)
        return 0;
    return id;
}

QString BookStore::signIn(qint64 userId) {
    const QString token = QString::fromLatin1(randomBytes(16).toHex());
    std::lock_guard lock(mutex_);
    Statement insert(
        db_, QStringLiteral("INSERT INTO tokens (token, user_id, created) VALUES (?, ?, ?)"));
    if (!insert.bindAll({token, userId, now()}).run())
        return {};
    Statement update(db_, QStringLiteral("UPDATE users SET login_time = ? WHERE id = ?"));
    update.bindAll({now(), userId}).run();
    return token;
}

bool BookStore::signOut(const QString& token) {
    std::lock_guard lock(mutex_);
    Statement drop(db_, QStringLiteral("DELETE FROM tokens WHERE token = ?"));
    drop.bind(1, token).run();
    return sqlite3_changes(db_) > 0;
}

QJsonObject BookStore::userInfo(qint64 userId) {
    std::lock_guard lock(mutex_);
    Statement row(
        db_, QStringLiteral("SELECT id, mobile, email, nickname, created, login_time FROM users "
                            "WHERE id = ?"));
    if (!row.bind(1, userId).next())
        return {};
    return QJsonObject{
        {QStringLiteral("id"), row.integer(0)},
        {QStringLiteral("username"), row.isNull(1) ? row.text(2) : row.text(1)},
        {QStringLiteral("nickname"), row.text(3)},
        {QStringLiteral("mobile"), row.text(1)},
        {QStringLiteral("email"), row.text(2)},
        {QStringLiteral("avatar"), QString()},
        {QStringLiteral("level"), 1},
        {QStringLiteral("reg_time"), QString::number(row.integer(4))},
        {QStringLiteral("login_time"), row.integer(5)},
    };
}

void BookStore::setFavourite(qint64 userId, int bookId, bool on) {
    std::lock_guard lock(mutex_);
    if (on) {
        Statement insert(db_, QStringLiteral("INSERT OR IGNORE INTO favourites (user_id, book_id, "
                                             "created) VALUES (?, ?, ?)"));
        insert.bindAll({userId, bookId, now()}).run();
    } else {
        Statement drop(db_,
                       QStringLiteral("DELETE FROM favourites WHERE user_id = ? AND book_id = ?"));
        drop.bindAll({userId, bookId}).run();
    }
    if (sqlite3_changes(db_) > 0) {
        Statement count(db_, QStringLiteral("UPDATE books SET fav_count = MAX(0, fav_count + ?) "
                                            "WHERE id = ?"));
        count.bindAll({on ? 1 : -1, bookId}).run();
    }
}

BookStore::Page BookStore::favourites(qint64 userId, Paging paging, const QString& coverBase) {
    std::lock_guard lock(mutex_);
    return bookPage(QStringLiteral("JOIN favourites mine ON mine.book_id = b.id AND "
                                   "mine.user_id = :owner"),
                    {{":owner", userId}}, QStringLiteral("mine.created DESC, b.id"), paging,
                    coverBase, userId);
}

void BookStore::recordRead(qint64 userId, int bookId, int chapter) {
    std::lock_guard lock(mutex_);
    Statement upsert(db_, QStringLiteral("INSERT OR REPLACE INTO readlog (user_id, book_id, "
                                         "chapter, read_time) VALUES (?, ?, ?, ?)"));
    upsert.bindAll({userId, bookId, chapter, now()}).run();
    Statement count(db_,
                    QStringLiteral("UPDATE books SET read_count = read_count + 1 WHERE id = ?"));
    count.bind(1, bookId).run();
}

BookStore::Page BookStore::readLog(qint64 userId, Paging paging, const QString& coverBase) {
    std::lock_guard lock(mutex_);
    return readerPage(
        QStringLiteral("readlog"), QStringLiteral("book_id, chapter, read_time"),
        QStringLiteral("read_time DESC, rowid DESC"), userId, paging, [&](Statement& records) {
            const int bookId = int(records.integer(0));
            const int chapter = int(records.integer(1));
            Statement row(db_, QLatin1String(kBookColumns) + QStringLiteral("WHERE b.id = :id"));
            row.bind(":id", bookId).bind(":user", userId);
            if (!row.next())
                return QJsonObject();
            return QJsonObject{
                {QStringLiteral("book_id"), bookId},
                {QStringLiteral("chapter_number"), chapter},
                {QStringLiteral("chapter_title"), SampleCatalog::chapterTitle(bookId, chapter)},
                {QStringLiteral("read_time"), timeText(records.integer(2))},
                {QStringLiteral("book"), bookJson(row, coverBase)},
            };
        });
}

bool BookStore::removeRead(qint64 userId, int bookId) {
    std::lock_guard lock(mutex_);
    Statement drop(db_, QStringLiteral("DELETE FROM readlog WHERE user_id = ? AND book_id = ?"));
    drop.bindAll({userId, bookId}).run();
    return sqlite3_changes(db_) > 0;
}

int BookStore::clearReads(qint64 userId) {
    std::lock_guard lock(mutex_);
    Statement drop(db_, QStringLiteral("DELETE FROM readlog WHERE user_id = ?"));
    drop.bind(1, userId).run();
    return sqlite3_changes(db_);
}

BookStore::Page BookStore::messages(qint64 userId, Paging paging) {
    std::lock_guard lock(mutex_);
    return readerPage(
        QStringLiteral("messages"), QStringLiteral("id, title, content, status, send_time"),
        QStringLiteral("send_time DESC, id DESC"), userId, paging, [](Statement& rows) {
            return QJsonObject{
                {QStringLiteral("id"), QString::number(rows.integer(0))},
                {QStringLiteral("title"), rows.text(1)},
                {QStringLiteral("content"), rows.text(2)},
                {QStringLiteral("status"), QString::number(rows.integer(3))},
                {QStringLiteral("send_time"), timeText(rows.integer(4))},
            };
        });
}

BookStore::Page BookStore::readerPage(const QString& table, const QString& columns,
                                      const QString& order, qint64 userId, Paging paging,
                                      const std::function<QJsonObject(Statement&)>& item) {
    Page page;
    Statement count(db_, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE user_id = ?").arg(table));
    if (count.bind(1, userId).next())
        page.count = int(count.integer(0));
    Statement rows(db_, QStringLiteral("SELECT %1 FROM %2 WHERE user_id = ? ORDER BY %3 "
                                       "LIMIT ? OFFSET ?")
                            .arg(columns, table, order));
    rows.bindAll({userId, paging.limit, qint64(paging.page - 1) * paging.limit});
    while (rows.next()) {
        const QJsonObject entry = item(rows);
        if (!entry.isEmpty())
            page.items.append(entry);
    }
    return page;
}

bool BookStore::markMessageRead(qint64 userId, qint64 messageId) {
    std::lock_guard lock(mutex_);
    Statement update(db_,
                     QStringLiteral("UPDATE messages SET status = 1 WHERE id = ? AND user_id = ?"));
    update.bindAll({messageId, userId}).run();
    return sqlite3_changes(db_) > 0;
}

bool BookStore::deleteMessage(qint64 userId, qint64 messageId) {
    std::lock_guard lock(mutex_);
    Statement drop(db_, QStringLiteral("DELETE FROM messages WHERE id = ? AND user_id = ?"));
    drop.bindAll({messageId, userId}).run();
    return sqlite3_changes(db_) > 0;
}

void BookStore::addFeedback(qint64 userId, const QString& type, const QString& content,
                            const QString& email, const QString& qq, const QString& channel) {
    std::lock_guard lock(mutex_);
    Statement insert(db_, QStringLiteral("INSERT INTO feedback (user_id, type, content, email, qq, "
                                         "channel, created) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    insert
        .bindAll({userId ? QVariant(userId) : QVariant(), type, content, email, qq, channel, now()})
        .run();
}

void BookStore::addErrorReport(qint64 userId, int bookId, int chapter, const QString& channel) {
    std::lock_guard lock(mutex_);
    Statement insert(db_, QStringLiteral("INSERT INTO error_reports (user_id, book_id, chapter, "
                                         "channel, created) VALUES (?, ?, ?, ?, ?)"));
    insert.bindAll({userId ? QVariant(userId) : QVariant(), bookId, chapter, channel, now()}).run();
}

void BookStore::addDevice(const QString& deviceToken) {
    std::lock_guard lock(mutex_);
    Statement insert(db_, QStringLiteral("INSERT OR REPLACE INTO devices (device_token, created) "
                                         "VALUES (?, ?)"));
    insert.bindAll({deviceToken, now()}).run();
}

int BookStore::rowCount(const QString& table) {
    static const QStringList known = {
        QStringLiteral("books"),    QStringLiteral("categories"),    QStringLiteral("users"),
        QStringLiteral("tokens"),   QStringLiteral("favourites"),    QStringLiteral("readlog"),
        QStringLiteral("messages"), QStringLiteral("feedback"),      QStringLiteral("devices"),
        QStringLiteral("sites"),    QStringLiteral("error_reports"), QStringLiteral("codes")};
    if (!known.contains(table))
        return -1;
    std::lock_guard lock(mutex_);
    Statement row(db_, QStringLiteral("SELECT COUNT(*) FROM ") + table);
    return row.next() ? int(row.integer(0)) : -1;
}

QString BookStore::lastFeedback() {
    std::lock_guard lock(mutex_);
    Statement row(db_, QStringLiteral("SELECT content FROM feedback ORDER BY id DESC LIMIT 1"));
    return row.next() ? row.text(0) : QString();
}
