#include "storage/BookDb.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QThread>
#include <QThreadPool>
#include <QtDebug>
#include <algorithm>
#include <map>

#include "app/tooles.h"
#include "engines/SqlDatabase.h"

namespace {

const QString kFileName = QStringLiteral("books.sqlite");

// Background connections wait this long on a lock before their batch is started again, and
// give up on a batch only after the file has stayed busy for kGiveUpMs.
constexpr int kBackgroundBusyMs = 250;
constexpr int kRetryPauseMs = 20;
constexpr int kGiveUpMs = 120000;

QThreadPool* writers() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool(QCoreApplication::instance());
        p->setMaxThreadCount(4);
        return p;
    }();
    return pool;
}

// Keeps one idle connection to each database file for the life of the process. Operations
// still open and close their own connection; without one connection staying open, every
// close of the last one would tear down the write-ahead log's shared index and every open
// rebuild it, which costs more than the statement itself. The idle connection holds no
// lock. Main thread only.
void keepWarm(const QString& path) {
    static std::map<QString, std::unique_ptr<SqlDatabase>> warm;
    auto it = warm.find(path);
    if (it != warm.end() && it->second->isOpen())
        return;
    auto db = std::make_unique<SqlDatabase>(path);
    if (!db->open(SqlDatabase::Mode::ExistingOnly))
        return;
    // A first read maps the log's index; the statement ends at once and frees its lock.
    db->prepare(QStringLiteral("SELECT 1 FROM sqlite_master LIMIT 1")).next();
    warm[path] = std::move(db);
}

QString sqlOf(const char* text) {
    return QString::fromUtf8(text);
}

const char* const kCountChapter =
    "SELECT COUNT(*) AS count FROM `chapter` WHERE `book_id`=? AND `chapter_id`=?";
const char* const kCountChapterSpaced =
    "SELECT COUNT(*) AS count FROM `chapter` WHERE `book_id`=? AND `chapter_id`=? ";
const char* const kInsertChapter =
    "INSERT INTO `chapter` (chapter_id,book_id,title,content) VALUES (?,?,?,?)";

// Reports the end of a background batch on the main thread; dropped when the receiver
// went away meanwhile.
struct Completion {
    bool bound = false;
    QPointer<const QObject> receiver;
    BookDb::Done done;

    void post(bool ok) const {
        if (!done)
            return;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [bound = bound, receiver = receiver, done = done, ok] {
                if (!bound || receiver)
                    done(ok);
            },
            Qt::QueuedConnection);
    }
};

Completion completionFor(const QObject* receiver, BookDb::Done done) {
    return Completion{receiver != nullptr, QPointer<const QObject>(receiver), std::move(done)};
}

// One connection of a background writer. A batch runs in one transaction, each of its steps
// inside a savepoint of its own: a step that fails leaves the others alone, the batch costs
// one commit however many rows it writes, and while another connection keeps the file busy
// the batch is started again from its beginning, so a busy file delays rows but never
// drops them.
class BackgroundConnection final {
public:
    explicit BackgroundConnection(const QString& path) : db_(path) {}
    ~BackgroundConnection() {
        statements_.clear(); // before the connection closes
    }

    bool open() {
        QDeadlineTimer deadline(kGiveUpMs);
        while (!db_.open(SqlDatabase::Mode::ExistingOnly, kBackgroundBusyMs)) {
            if (!SqlStatement::isBusyStatus(db_.lastStatus()) || deadline.hasExpired())
                return false;
            QThread::msleep(kRetryPauseMs);
        }
        return true;
    }

    // Runs step(i, *this) for i in [0, count) and answers each step's status (kOk or the
    // failure); a batch that could not be committed gives every step the failure.
    template <typename Step> QList<int> runBatch(int count, Step&& step) {
        QDeadlineTimer deadline(kGiveUpMs);
        for (;;) {
            QList<int> statuses(count, SqlStatement::kOk);
            int failure = SqlStatement::kOk;
            if (!db_.executeScript(QStringLiteral("BEGIN IMMEDIATE"))) {
                failure = db_.lastStatus();
            } else {
                for (int i = 0; i < count && failure == SqlStatement::kOk; ++i) {
                    if (!db_.executeScript(QStringLiteral("SAVEPOINT step"))) {
                        failure = db_.lastStatus();
                        break;
                    }
                    const int status = step(i, *this);
                    if (SqlStatement::isBusyStatus(status)) {
                        failure = status;
                    } else if (status != SqlStatement::kOk) {
                        statuses[i] = status;
                        db_.executeScript(QStringLiteral("ROLLBACK TO step"));
                    }
                    db_.executeScript(QStringLiteral("RELEASE step"));
                }
                if (failure == SqlStatement::kOk && !db_.executeScript(QStringLiteral("COMMIT")))
                    failure = db_.lastStatus();
                if (failure != SqlStatement::kOk)
                    db_.executeScript(QStringLiteral("ROLLBACK"));
            }
            if (failure == SqlStatement::kOk)
                return statuses;
            if (!SqlStatement::isBusyStatus(failure) || deadline.hasExpired())
                return QList<int>(count, failure);
            QThread::msleep(kRetryPauseMs);
        }
    }

    int exec(const char* sql, const QVariantList& args) {
        SqlStatement& stmt = statement(sql);
        if (!stmt.isValid())
            return db_.lastStatus();
        if (!stmt.bind(args))
            return stmt.status();
        stmt.execute();
        return stmt.status();
    }

    int count(const char* sql, const QVariantList& args, qint64* out) {
        SqlStatement& stmt = statement(sql);
        if (!stmt.isValid())
            return db_.lastStatus();
        if (!stmt.bind(args))
            return stmt.status();
        if (!stmt.next())
            return stmt.status() == SqlStatement::kOk ? SqlStatement::kNoRow : stmt.status();
        *out = stmt.integer(0);
        stmt.reset();
        return SqlStatement::kOk;
    }

private:
    // Each statement is compiled once per batch and rewound before every use.
    SqlStatement& statement(const char* sql) {
        auto it = statements_.find(sql);
        if (it == statements_.end() || !it->second.isValid())
            it = statements_.insert_or_assign(sql, db_.prepare(sqlOf(sql))).first;
        it->second.reset();
        return it->second;
    }

    SqlDatabase db_;
    std::map<const char*, SqlStatement> statements_;
};

bool isNonEmptyMap(const QVariant& value) {
    return value.typeId() == QMetaType::QVariantMap && !value.toMap().isEmpty();
}

} // namespace

BookDb::BookDb(QObject* parent)
    : QObject(parent), dbPath_(tooles::readyDatabase(kFileName)),
      fmdb_(std::make_unique<SqlDatabase>(dbPath_)) {
    keepWarm(dbPath_);
}

BookDb::~BookDb() = default;

void BookDb::waitForBackgroundWrites() {
    writers()->waitForDone();
}

// --- Plumbing

bool BookDb::open() {
    // Never create the file here: an empty database in its place would stop
    // readyDatabase from ever copying the prepared one.
    return fmdb_->open(SqlDatabase::Mode::ExistingOnly);
}

void BookDb::close() {
    fmdb_->close();
}

bool BookDb::canRead(const QString& table) {
    if (!open())
        return false;
    // Opening is lazy; compiling a statement reads the file and its schema.
    const bool readable =
        fmdb_->prepare(QStringLiteral("SELECT 1 FROM `%1` LIMIT 0").arg(table)).isValid();
    close();
    return readable;
}

bool BookDb::count(const QString& sql, const QVariantList& args) {
    if (!open())
        return false;
    bool found = false;
    {
        SqlStatement stmt = fmdb_->prepare(sql);
        if (stmt.bind(args) && stmt.next())
            found = stmt.integer(0) > 0;
    }
    close();
    return found;
}

int BookDb::intValue(const QString& sql, const QVariantList& args, int fallback) {
    if (!open())
        return fallback;
    int value = fallback;
    {
        SqlStatement stmt = fmdb_->prepare(sql);
        if (stmt.bind(args) && stmt.next())
            value = static_cast<int>(stmt.integer(0));
    }
    close();
    return value;
}

bool BookDb::exec(const QString& sql, const QVariantList& args) {
    if (!open())
        return false;
    const bool ok = fmdb_->executeUpdate(sql, args);
    close();
    return ok;
}

QVariantList BookDb::rows(const QString& sql, const QVariantList& args) {
    QVariantList result;
    if (!open())
        return result;
    {
        SqlStatement stmt = fmdb_->prepare(sql);
        if (stmt.bind(args)) {
            // Columns in key order, so each row's map is built by appending at its end.
            QList<std::pair<QString, int>> columns;
            for (int i = 0; i < stmt.columnCount(); ++i)
                columns.append({stmt.columnName(i), i});
            std::sort(columns.begin(), columns.end());
            while (stmt.next()) {
                QVariantMap row;
                for (const auto& [name, index] : columns)
                    row.insert(row.cend(), name, stmt.text(index));
                result.append(std::move(row));
            }
        }
    }
    close();
    return result;
}

// --- Books

bool BookDb::isExistsTheBook(const QString& bookId) {
    return count(QStringLiteral("SELECT COUNT(*) AS count FROM `book` WHERE `book_id`=?"),
                 {bookId});
}

bool BookDb::insertBook(const QVariantMap& book) {
    return exec(
        QStringLiteral("INSERT INTO `book` "
                       "(book_id,title,cover,last_chapter_number,download_time,update_"
                       "time) VALUES (?,?,?,?,?,?)"),
        {book.value(QStringLiteral("book_id")), book.value(QStringLiteral("title")),
         book.value(QStringLiteral("cover")), book.value(QStringLiteral("last_chapter_number")),
         book.value(QStringLiteral("download_time")), book.value(QStringLiteral("update_time"))});
}

bool BookDb::updateBook(const QString& bookId, const QVariantMap& options) {
    // Values are bound, never written into the text: a title with a quote in it is
    // stored as it is and no value can change what the statement does.
    QStringList assignments;
    QVariantList args;
    for (const char* key : {"title", "cover", "update_time", "last_chapter_number"}) {
        const QString name = QString::fromLatin1(key);
        if (options.contains(name)) {
            assignments << QStringLiteral(" `%1`=? ").arg(name);
            args << options.value(name);
        }
    }
    args << bookId;
    const QString sql = QStringLiteral("UPDATE `book` SET ") + assignments.join(QLatin1Char(',')) +
                        QStringLiteral(" WHERE `book_id`=? ");
    return exec(sql, args);
}

QVariantList BookDb::selectAllBooks() {
    return rows(QStringLiteral("SELECT `book_id`,`title`,`cover`,`last_chapter_number` FROM "
                               "`book` ORDER BY `update_time` DESC"),
                {});
}

QVariantMap BookDb::selectBookByBookid(const QString& bookId) {
    const QVariantList found =
        rows(QStringLiteral(
                 "SELECT `title`,`cover`,`last_chapter_number` FROM `book` WHERE `book_id`=?"),
             {bookId});
    return found.isEmpty() ? QVariantMap() : found.first().toMap();
}

bool BookDb::deleteFromBook(const QString& bookId) {
    return exec(QStringLiteral("DELETE FROM `book` WHERE `book_id`=?"), {bookId});
}

// --- Chapters

bool BookDb::insertChapterAll(const QString& bookId, const QVariantMap& chapterDic,
                              const QObject* receiver, Done done) {
    if (!canRead(QStringLiteral("chapter")))
        return false;

    QVariantList chapters;
    for (const QVariant& item : chapterDic.value(QStringLiteral("chapters")).toList()) {
        if (isNonEmptyMap(item))
            chapters << item;
    }
    const Completion completion = completionFor(receiver, std::move(done));
    writers()->start([path = dbPath_, bookId, chapters, completion] {
        BackgroundConnection db(path);
        if (!db.open()) {
            completion.post(false);
            return;
        }
        // The count, the downloaded mark and the text of a chapter go together, so the
        // table of contents never marks a chapter whose text did not get stored.
        const QList<int> statuses =
            db.runBatch(chapters.size(), [&](int i, BackgroundConnection& c) {
                const QVariantMap d = chapters.at(i).toMap();
                const QVariant number = d.value(QStringLiteral("chapter_number"));
                qint64 stored = 0;
                int s = c.count(kCountChapter, {bookId, number}, &stored);
                if (s != SqlStatement::kOk || stored != 0)
                    return s;
                s = c.exec("UPDATE `chaptermenu` SET `downstatus`='1'  WHERE `book_id`=? AND "
                           "`chapter_id`=?",
                           {bookId, number});
                if (s != SqlStatement::kOk)
                    return s;
                s = c.exec(kInsertChapter,
                           {number, d.value(QStringLiteral("book_id")),
                            d.value(QStringLiteral("title")), d.value(QStringLiteral("content"))});
                // Another writer stored the same chapter first: it is stored once, as meant.
                return SqlStatement::isUniqueViolation(s) ? int(SqlStatement::kOk) : s;
            });
        bool ok = true;
        for (int i = 0; i < statuses.size(); ++i) {
            if (statuses.at(i) != SqlStatement::kOk) {
                qWarning().noquote()
                    << "insertChapterAll: chapter"
                    << chapters.at(i).toMap().value(QStringLiteral("chapter_number")).toString()
                    << "of book" << bookId << "not stored, status" << statuses.at(i);
                ok = false;
            }
        }
        completion.post(ok);
    });
    return true;
}

bool BookDb::insertChapterOne(const QString& bookId, const QVariantMap& chapterDic) {
    if (isExistsTheBook(bookId))
        deleteFromChapter(bookId);
    return exec(sqlOf(kInsertChapter), {chapterDic.value(QStringLiteral("chapter_number")),
                                        chapterDic.value(QStringLiteral("book_id")),
                                        chapterDic.value(QStringLiteral("title")),
                                        chapterDic.value(QStringLiteral("content"))});
}

bool BookDb::updateChapter(const QVariantMap& chapter) {
    if (!open())
        return false;
    const QVariant title = chapter.value(QStringLiteral("title"));
    const QVariant bookId = chapter.value(QStringLiteral("book_id"));
    const QVariant chapterId = chapter.value(QStringLiteral("chapter_id"));
    const bool ok =
        fmdb_->executeUpdate(
            QStringLiteral("UPDATE `chapter` SET `title`=?,`content`=? WHERE "
                           "`book_id`=? AND `chapter_id`=?"),
            {title, chapter.value(QStringLiteral("content")), bookId, chapterId}) &&
        fmdb_->executeUpdate(QStringLiteral("UPDATE `chaptermenu` SET `title`=?,`downstatus`=1 "
                                            "WHERE `book_id`=? AND `chapter_id`=?"),
                             {title, bookId, chapterId});
    close();
    if (ok)
        qInfo("updateChapterok");
    return ok;
}

QVariantMap BookDb::selectChapterContent(const QString& bookId, int chapterId) {
    const QVariantList found = rows(QStringLiteral("SELECT `title`,`content` FROM `chapter` "
                                                   "WHERE `book_id`=? AND `chapter_id`=?"),
                                    {bookId, chapterId});
    return found.isEmpty() ? QVariantMap() : found.first().toMap();
}

QVariantList BookDb::selectChaptersByBookid(const QString& bookId) {
    return rows(QStringLiteral("SELECT `chapter_id`,`title` FROM `chapter` WHERE `book_id`=? "
                               "ORDER BY `chapter_id` ASC"),
                {bookId});
}

bool BookDb::isExistsInChapter(const QString& bookId, int chapterId) {
    return count(sqlOf(kCountChapterSpaced), {bookId, chapterId});
}

int BookDb::getMaxChapterId(const QString& bookId) {
    return intValue(
        QStringLiteral("SELECT MAX(`chapter_id`) as max FROM `chapter` WHERE `book_id`=?"),
        {bookId}, 1);
}

int BookDb::getMinChapterId(const QString& bookId) {
    return intValue(
        QStringLiteral("SELECT MIN(`chapter_id`) as min FROM `chapter` WHERE `book_id`=?"),
        {bookId}, 1);
}

int BookDb::getCountFromChapterByBookid(const QString& bookId) {
    return intValue(QStringLiteral("SELECT COUNT(`id`) AS count FROM `chapter` WHERE `book_id`=?"),
                    {bookId}, 0);
}

bool BookDb::deleteFromChapter(const QString& bookId) {
    return exec(QStringLiteral("DELETE FROM `chapter` WHERE `book_id`=?"), {bookId});
}

// --- Table of contents

bool BookDb::insertChapterMenu(const QString& bookId, const QVariantMap& chapterMenu,
                               const QObject* receiver, Done done) {
    if (!open())
        return false;
    qint64 entries = -1;
    {
        SqlStatement stmt = fmdb_->prepare(
            QStringLiteral("SELECT COUNT(`id`) AS count FROM `chaptermenu` WHERE `book_id`=?"));
        if (stmt.bind({bookId}) && stmt.next())
            entries = stmt.integer(0);
    }
    close();
    if (entries < 0)
        return false;
    const Completion completion = completionFor(receiver, std::move(done));
    if (entries != 0) {
        // An existing table of contents is never extended or replaced here.
        completion.post(true);
        return true;
    }

    QVariantList entriesToWrite;
    for (const QVariant& item : chapterMenu.value(QStringLiteral("chapter_list")).toList()) {
        if (isNonEmptyMap(item))
            entriesToWrite << item;
    }
    writers()->start([path = dbPath_, bookId, entriesToWrite, completion] {
        BackgroundConnection db(path);
        if (!db.open()) {
            completion.post(false);
            return;
        }
        const QList<int> statuses =
            db.runBatch(entriesToWrite.size(), [&](int i, BackgroundConnection& c) {
                const QVariantMap e = entriesToWrite.at(i).toMap();
                const QVariant number = e.value(QStringLiteral("chapter_number"));
                qint64 stored = 0;
                const int s = c.count(kCountChapterSpaced, {bookId, number}, &stored);
                if (s != SqlStatement::kOk)
                    return s;
                return c.exec("REPLACE INTO `chaptermenu` (chapter_id,book_id,title,downstatus) "
                              "VALUES (?,?,?,?)",
                              {number, bookId, e.value(QStringLiteral("title")),
                               stored >= 1 ? QStringLiteral("1") : QStringLiteral("0")});
            });
        bool ok = true;
        for (int i = 0; i < statuses.size(); ++i) {
            if (statuses.at(i) != SqlStatement::kOk) {
                qWarning().noquote()
                    << "insertChapterMenu: entry"
                    << entriesToWrite.at(i)
                           .toMap()
                           .value(QStringLiteral("chapter_number"))
                           .toString()
                    << "of book" << bookId << "not stored, status" << statuses.at(i);
                ok = false;
            }
        }
        completion.post(ok);
    });
    return true;
}

QVariantList BookDb::selectAllChapterMenu(const QString& bookId) {
    QVariantList menu = rows(QStringLiteral("SELECT `book_id`,`chapter_id`,`title`,`downstatus` "
                                            "FROM `chaptermenu` WHERE `book_id`=? ORDER BY "
                                            "`chapter_id` ASC"),
                             {bookId});
    for (QVariant& item : menu) {
        QVariantMap row = item.toMap();
        row.insert(QStringLiteral("chapter_number"), row.take(QStringLiteral("chapter_id")));
        item = row;
    }
    return menu;
}

int BookDb::selectLessChapterId(const QString& bookId, int chapterId) {
    return intValue(QStringLiteral("SELECT MAX(`chapter_id`) max FROM `chaptermenu` WHERE "
                                   "`book_id`=? AND `chapter_id`<?"),
                    {bookId, chapterId}, 0);
}

bool BookDb::isExistsMenu(const QString& bookId) {
    return count(QStringLiteral("SELECT COUNT(*) AS count FROM `chaptermenu` WHERE `book_id`=?"),
                 {bookId});
}

bool BookDb::deleteChapterMenuByBookid(const QString& bookId) {
    return exec(QStringLiteral("DELETE FROM `chaptermenu` WHERE `book_id`=?"), {bookId});
}

// --- Last-read record

bool BookDb::isReaded(const QString& bookId) {
    return count(QStringLiteral("SELECT COUNT(*) AS count FROM `lastreadrecord` WHERE `book_id`=?"),
                 {bookId});
}

bool BookDb::recordLastRead(const QVariantMap& record) {
    const QVariant bookId = record.value(QStringLiteral("book_id"));
    const QVariant chapterId = record.value(QStringLiteral("chapter_id"));
    const QVariant pageId = record.value(QStringLiteral("page_id"));
    const QVariant createTime = record.value(QStringLiteral("create_time"));
    if (!isReaded(bookId.toString())) {
        return exec(QStringLiteral("INSERT INTO `lastreadrecord` "
                                   "(`book_id`,`chapter_id`,`page_id`,`create_time`)VALUES(?,?,?,"
                                   "?)"),
                    {bookId, chapterId, pageId, createTime});
    }
    return exec(QStringLiteral("UPDATE `lastreadrecord` SET "
                               "`chapter_id`=?,`page_id`=?,`create_time`=? WHERE `book_id`=?"),
                {chapterId, pageId, createTime, bookId});
}

QVariantMap BookDb::selectLastReadRecord(const QString& bookId) {
    const QVariantList found =
        rows(QStringLiteral("SELECT * FROM `lastreadrecord` WHERE `book_id`=?"), {bookId});
    if (found.isEmpty())
        return {};
    const QVariantMap row = found.first().toMap();
    return {{QStringLiteral("chapter_id"), row.value(QStringLiteral("chapter_id"))},
            {QStringLiteral("page_id"), row.value(QStringLiteral("page_id"))}};
}

bool BookDb::deleteFromLastReadByBookid(const QString& bookId) {
    return exec(QStringLiteral("DELETE FROM `lastreadrecord` WHERE `book_id`=?"), {bookId});
}

// --- Bookmarks

bool BookDb::isExistsMark(const QVariantMap& mark) {
    return count(QStringLiteral("SELECT count(`id`) as count FROM `mark` WHERE `book_id`=? AND "
                                "`chapter_id`=? AND `page_id`=?"),
                 {mark.value(QStringLiteral("book_id")), mark.value(QStringLiteral("chapter_id")),
                  mark.value(QStringLiteral("page_id"))});
}

bool BookDb::addBookMark(const QVariantMap& mark) {
    return exec(QStringLiteral("INSERT INTO `mark` "
                               "(`book_id`,`chapter_id`,`page_id`,`title`,`create_time`)VALUES(?,"
                               "?,?,?,?)"),
                {mark.value(QStringLiteral("book_id")), mark.value(QStringLiteral("chapter_id")),
                 mark.value(QStringLiteral("page_id")), mark.value(QStringLiteral("title")),
                 mark.value(QStringLiteral("create_time"))});
}

bool BookDb::deleteMark(const QVariantMap& mark) {
    return exec(QStringLiteral("DELETE FROM `mark` WHERE `book_id`=? AND `chapter_id`=? AND "
                               "`page_id`=?"),
                {mark.value(QStringLiteral("book_id")), mark.value(QStringLiteral("chapter_id")),
                 mark.value(QStringLiteral("page_id"))});
}

QVariantList BookDb::selectAllMarkByBookId(const QString& bookId) {
    return rows(QStringLiteral("SELECT `chapter_id`,`page_id`,`title`,`create_time` FROM `mark` "
                               "WHERE `book_id`=? ORDER BY `create_time` DESC"),
                {bookId});
}

bool BookDb::deleteMarkByBookid(const QString& bookId) {
    return exec(QStringLiteral("DELETE FROM `mark` WHERE `book_id`=?"), {bookId});
}

bool BookDb::cleanAllMark() {
    return exec(QStringLiteral("DELETE FROM `mark`"), {});
}

// --- Categories

bool BookDb::isExistsCategory() {
    return count(QStringLiteral("SELECT COUNT(*) AS count FROM `category`"), {});
}

bool BookDb::deleteCategory() {
    return exec(QStringLiteral("DELETE FROM `category`"), {});
}

bool BookDb::insertCategory(const QVariantList& categories, const QObject* receiver, Done done) {
    if (isExistsCategory())
        deleteCategory();
    if (!canRead(QStringLiteral("category")))
        return false;
    const Completion completion = completionFor(receiver, std::move(done));
    writers()->start([path = dbPath_, categories, completion] {
        BackgroundConnection db(path);
        if (!db.open()) {
            completion.post(false);
            return;
        }
        const QList<int> statuses = db.runBatch(categories.size(), [&](int i,
                                                                       BackgroundConnection& c) {
            const QVariantMap item = categories.at(i).toMap();
            return c.exec("INSERT INTO category (cate_id, name) VALUES (?,?)",
                          {item.value(QStringLiteral("id")), item.value(QStringLiteral("name"))});
        });
        bool ok = true;
        for (int status : statuses) {
            if (status == SqlStatement::kOk) {
                qInfo("ok");
            } else {
                qInfo("no");
                ok = false;
            }
        }
        completion.post(ok);
    });
    return true;
}

QVariantList BookDb::selectCategory() {
    QVariantList list = rows(QStringLiteral("SELECT * FROM `category` ORDER BY `cate_id` ASC"), {});
    for (QVariant& item : list) {
        QVariantMap row = item.toMap();
        row.insert(QStringLiteral("id"), row.take(QStringLiteral("cate_id")));
        item = row;
    }
    return list;
}

// --- Search history

bool BookDb::isExistsSearchStr(const QString& text) {
    return count(QStringLiteral("SELECT COUNT(*) AS count FROM `search` WHERE `title`=?"), {text});
}

bool BookDb::saveSearchRecords(const QString& text) {
    const QString now = tooles::currentTimeStr();
    if (isExistsSearchStr(text))
        return exec(QStringLiteral("UPDATE `search` SET `time`=? WHERE `title`=?"), {now, text});
    return exec(QStringLiteral("INSERT INTO `search` (title,time) VALUES (?,?)"), {text, now});
}

QStringList BookDb::selectAllSearchRecords() {
    QStringList titles;
    for (const QVariant& row :
         rows(QStringLiteral("SELECT `title` FROM `search` ORDER BY `time` DESC"), {}))
        titles << row.toMap().value(QStringLiteral("title")).toString();
    return titles;
}

bool BookDb::isExistsSearchRecords() {
    return count(QStringLiteral("SELECT COUNT(*) AS count FROM `search`"), {});
}

bool BookDb::deleteSearchRecord(const QString& text) {
    return exec(QStringLiteral("DELETE FROM `search` WHERE `title`=?"), {text});
}

bool BookDb::deleteAllSearchRecord() {
    return exec(QStringLiteral("DELETE FROM `search`"), {});
}
