#include "tests/keep/KeepTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <mutex>

#include "storage/BookDb.h"

namespace keeptest {

struct ServedBook::State {
    QString bookId;
    int chapters = 0;
    QSet<int> never;
    QSet<int> late;
    int delayMs = 0;
    int holdAt = 0;
    std::function<bool(const QString&)> before;
    std::function<void()> after;
    QMap<QString, int> answered;
};

namespace {

std::mutex& lock() {
    static std::mutex m;
    return m;
}

// Every served book by id; the routes look the asked book up here.
QMap<QString, std::weak_ptr<ServedBook::State>>& books() {
    static QMap<QString, std::weak_ptr<ServedBook::State>> map;
    return map;
}

std::shared_ptr<ServedBook::State> find(const QString& bookId) {
    std::lock_guard guard(lock());
    return books().value(bookId).lock();
}

QString servedText(const QString& bookId, int chapter) {
    return QStringLiteral("<p>served %1 chapter %2</p>").arg(bookId).arg(chapter);
}

FakeService::Reply menu(const FakeService::Request& request) {
    const auto book = find(request.queryValue(QStringLiteral("book_id")));
    if (!book)
        return FakeService::Reply::json(R"({"result":"no"})");
    QJsonArray list;
    for (int n = 1; n <= book->chapters; ++n)
        list.append(QJsonObject{{"chapter_number", QString::number(n)},
                                {"title", QStringLiteral("第%1章").arg(n)}});
    return FakeService::Reply::json(
        QJsonDocument(
            QJsonObject{{"result", "ok"}, {"book_id", book->bookId}, {"chapter_list", list}})
            .toJson(QJsonDocument::Compact));
}

FakeService::Reply content(const FakeService::Request& request) {
    const auto book = find(request.queryValue(QStringLiteral("book_id")));
    if (!book)
        return FakeService::Reply::json(R"({"result":"no"})");
    const QString asked = request.queryValue(QStringLiteral("chapters"));
    std::function<bool(const QString&)> before;
    std::function<void()> after;
    int delay = 0;
    QSet<int> leaveOut;
    const QStringList parts = asked.split(QLatin1Char(','), Qt::SkipEmptyParts);
    {
        std::lock_guard guard(lock());
        before = book->before;
        after = book->after;
        delay = book->delayMs;
        if (book->holdAt > 0 && !parts.isEmpty() && parts.first().toInt() == book->holdAt)
            delay = 4000;
        leaveOut = book->never;
        for (const QString& p : parts) {
            if (book->late.remove(p.toInt()))
                leaveOut.insert(p.toInt());
        }
    }
    if (before && !before(asked))
        return FakeService::Reply::dropped();
    if (delay > 0)
        QThread::msleep(delay);
    QJsonArray list;
    for (const QString& p : parts) {
        const int n = p.toInt();
        if (n < 1 || n > book->chapters || leaveOut.contains(n))
            continue;
        list.append(QJsonObject{{"book_id", book->bookId},
                                {"chapter_number", n},
                                {"title", QStringLiteral("第%1章").arg(n)},
                                {"content", servedText(book->bookId, n)}});
    }
    {
        std::lock_guard guard(lock());
        book->answered[asked] += 1;
    }
    if (after)
        after();
    const QJsonObject summary{{"book_id", book->bookId},
                              {"title", QStringLiteral("Served %1").arg(book->bookId)},
                              {"last_chapter_number", QString::number(book->chapters)},
                              {"coverimg", ""}};
    return FakeService::Reply::json(
        QJsonDocument(QJsonObject{{"result", "ok"},
                                  {"chapters", list.isEmpty() ? QJsonValue() : QJsonValue(list)},
                                  {"book", summary}})
            .toJson(QJsonDocument::Compact));
}

} // namespace

QList<int> numbers(int from, int to) {
    QList<int> list;
    for (int n = from; n <= to; ++n)
        list << n;
    return list;
}

QString chapterTextFor(const QString& bookId, int number) {
    return QStringLiteral("<p>book %1 chapter %2</p>").arg(bookId).arg(number);
}

void seedStoredBook(const QString& bookId, int total, int stored) {
    BookDb db;
    db.insertBook({{"book_id", bookId},
                   {"title", QStringLiteral("Book %1").arg(bookId)},
                   {"cover", QString()},
                   {"last_chapter_number", QString::number(total)},
                   {"download_time", "1"},
                   {"update_time", "1"}});
    QVariantList menu;
    for (int n = 1; n <= total; ++n)
        menu << QVariantMap{{"chapter_number", QString::number(n)},
                            {"title", QStringLiteral("第%1章").arg(n)}};
    db.insertChapterMenu(bookId, {{"result", "ok"}, {"chapter_list", menu}});
    BookDb::waitForBackgroundWrites();
    QVariantList chapters;
    for (int n = 1; n <= stored; ++n)
        chapters << QVariantMap{{"book_id", bookId},
                                {"chapter_number", n},
                                {"title", QStringLiteral("第%1章").arg(n)},
                                {"content", chapterTextFor(bookId, n)}};
    if (!chapters.isEmpty())
        db.insertChapterAll(bookId, {{"result", "ok"}, {"chapters", chapters}});
    BookDb::waitForBackgroundWrites();
}

QList<int> storedChapters(const QString& bookId) {
    QList<int> list;
    for (const QVariant& row : BookDb().selectChaptersByBookid(bookId))
        list << row.toMap().value("chapter_id").toInt();
    std::sort(list.begin(), list.end());
    return list;
}

QList<int> markedChapters(const QString& bookId) {
    QList<int> list;
    for (const QVariant& row : BookDb().selectAllChapterMenu(bookId)) {
        const QVariantMap m = row.toMap();
        if (m.value("downstatus").toString() == QLatin1String("1"))
            list << m.value("chapter_number").toInt();
    }
    std::sort(list.begin(), list.end());
    return list;
}

QStringList askedRuns(const FakeService& service) {
    QStringList runs;
    for (const auto& r : service.requests(QStringLiteral("/data/getcontent")))
        runs << r.queryValue(QStringLiteral("chapters"));
    return runs;
}

QStringList askedRunsOf(const FakeService& service, const QString& bookId) {
    QStringList runs;
    for (const auto& r : service.requests(QStringLiteral("/data/getcontent"))) {
        if (r.queryValue(QStringLiteral("book_id")) == bookId)
            runs << r.queryValue(QStringLiteral("chapters"));
    }
    return runs;
}

ServedBook::ServedBook(FakeService& service, const QString& bookId, int chapters)
    : state_(std::make_shared<State>()) {
    state_->bookId = bookId;
    state_->chapters = chapters;
    {
        std::lock_guard guard(lock());
        books().insert(bookId, state_);
    }
    service.route(QStringLiteral("GET"), QStringLiteral("/data/menu"), menu);
    service.route(QStringLiteral("GET"), QStringLiteral("/data/getcontent"), content);
}

ServedBook::~ServedBook() {
    std::lock_guard guard(lock());
    books().remove(state_->bookId);
}

QString ServedBook::textOf(int chapter) const {
    return servedText(state_->bookId, chapter);
}

void ServedBook::neverServe(int chapter) {
    std::lock_guard guard(lock());
    state_->never.insert(chapter);
}

void ServedBook::serveLate(int chapter) {
    std::lock_guard guard(lock());
    state_->late.insert(chapter);
}

void ServedBook::setDelayMs(int ms) {
    std::lock_guard guard(lock());
    state_->delayMs = ms;
}

void ServedBook::holdRunsStartingAt(int chapter) {
    std::lock_guard guard(lock());
    state_->holdAt = chapter;
}

void ServedBook::beforeAnswer(std::function<bool(const QString&)> hook) {
    std::lock_guard guard(lock());
    state_->before = std::move(hook);
}

void ServedBook::afterAnswer(std::function<void()> hook) {
    std::lock_guard guard(lock());
    state_->after = std::move(hook);
}

int ServedBook::answered(const QString& chapters) const {
    std::lock_guard guard(lock());
    return state_->answered.value(chapters);
}

} // namespace keeptest
