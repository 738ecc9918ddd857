#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <mutex>
#include <optional>

struct sqlite3;

// bookd's catalog and user data in one SQLite file (DIR/bookd.sqlite), created and seeded
// from SampleCatalog on first open. Every public operation takes the store's lock, so the
// server's worker threads share one connection safely. Book objects come out as the JSON
// the client reads (the thirteen list fields), with cover addresses under coverBase.
class BookStore final {
public:
    using ClockFn = std::function<qint64()>;

    explicit BookStore(ClockFn clock);
    ~BookStore();
    BookStore(const BookStore&) = delete;
    BookStore& operator=(const BookStore&) = delete;

    // Opens (and on first use creates and seeds) the catalog in dataDir.
    bool open(const QString& dataDir);
    QString dataDir() const { return dataDir_; }

    struct Page {
        QJsonArray items;
        int count = 0; // total across all pages
    };
    struct Paging {
        int limit = 11;
        int page = 1;
    };

    // --- catalog
    QJsonArray categories();
    bool categoryExists(int id);
    Page suggest(const QString& list, Paging paging, const QString& coverBase, qint64 userId);
    Page ranked(const QString& order, Paging paging, const QString& coverBase, qint64 userId);
    Page byCategory(int categoryId, Paging paging, const QString& coverBase, qint64 userId);
    Page search(const QString& keyword, Paging paging, const QString& coverBase, qint64 userId);
    std::optional<QJsonObject> book(int bookId, const QString& coverBase, qint64 userId);
    QJsonArray alsoRead(int bookId, const QString& coverBase, qint64 userId);
    QStringList sites(int bookId);
    // Number of chapters of the book, 0 when there is no such book.
    int chapterCount(int bookId);
    // "png", "jpg", or empty when the book has no cover (or does not exist).
    QString coverType(int bookId);

    // --- accounts
    // The user a token belongs to, or 0 for an unknown or signed-out token.
    qint64 userForToken(const QString& token);
    bool mobileTaken(const QString& mobile);
    bool emailTaken(const QString& email);
    // A new six-digit code for the number, valid for ten minutes; replaces an earlier one.
    QString issueCode(const QString& mobile);
    // True (and the code is used up) when a code was sent to the number and has not expired.
    bool consumeCode(const QString& mobile);
    // Creates the user with a salted slow hash of the password and a welcome message;
    // 0 when the account name is taken.
    qint64 createUser(const QString& mobile, const QString& email, const QString& password,
                      const QString& channel);
    // The user whose mobile number or e-mail address is username and whose password matches.
    qint64 checkPassword(const QString& username, const QString& password);
    // Signs the user in: a fresh random token, login_time now.
    QString signIn(qint64 userId);
    bool signOut(const QString& token);
    QJsonObject userInfo(qint64 userId);

    // --- user data
    void setFavourite(qint64 userId, int bookId, bool on);
    Page favourites(qint64 userId, Paging paging, const QString& coverBase);
    void recordRead(qint64 userId, int bookId, int chapter);
    Page readLog(qint64 userId, Paging paging, const QString& coverBase);
    bool removeRead(qint64 userId, int bookId);
    int clearReads(qint64 userId);
    Page messages(qint64 userId, Paging paging);
    // Only the user's own messages can be marked or deleted.
    bool markMessageRead(qint64 userId, qint64 messageId);
    bool deleteMessage(qint64 userId, qint64 messageId);
    void addFeedback(qint64 userId, const QString& type, const QString& content,
                     const QString& email, const QString& qq, const QString& channel);
    void addErrorReport(qint64 userId, int bookId, int chapter, const QString& channel);
    void addDevice(const QString& deviceToken);
    // Rows in one of the store's tables (for diagnostics and tests).
    int rowCount(const QString& table);
    // The text of the feedback received last (for diagnostics and tests); empty when none.
    QString lastFeedback();

private:
    class Statement;
    bool exec(const char* sql);
    bool createSchema();
    bool seed();
    // Values of named parameters (":category" …) in a where clause.
    using NamedBinds = QList<QPair<const char*, QVariant>>;
    // One page of books matching where, with the total. The clause names its parameters:
    // the row query also holds :user, :limit and :offset, and SQLite gives a named parameter
    // the next free number, so a "?1" after :user would share its slot.
    Page bookPage(const QString& where, const NamedBinds& binds, const QString& order,
                  Paging paging, const QString& coverBase, qint64 userId);
    QJsonObject bookJson(Statement& row, const QString& coverBase) const;
    // One page of a reader's rows in table, newest first by order, with the reader's total;
    // item makes each row's entry (an empty object leaves the row out). Called locked.
    Page readerPage(const QString& table, const QString& columns, const QString& order,
                    qint64 userId, Paging paging,
                    const std::function<QJsonObject(Statement&)>& item);
    qint64 now() const { return clock_(); }

    ClockFn clock_;
    QString dataDir_;
    sqlite3* db_ = nullptr;
    std::recursive_mutex mutex_;
};
