#include "catalog/BookKeeper.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QNetworkInformation>
#include <QtDebug>
#include <algorithm>

#include "app/tooles.h"
#include "catalog/CoverFiles.h"
#include "engines/HttpRequest.h"
#include "engines/Reachability.h"
#include "platform/UserDefaults.h"
#include "service/Service.h"
#include "storage/BookDb.h"
#include "storage/KeepQueue.h"

namespace {

// Consecutive failed requests of a book before the whole queue waits for the network, and
// refused answers before the book's download is given up.
constexpr int kNetworkFailuresBeforePause = 3;
constexpr int kRefusalsBeforeGivingUp = 8;
constexpr int kMaxRetryDelayMs = 30000;
constexpr int kDefaultPollMs = 5000;

QString joinNumbers(const QList<int>& numbers) {
    QStringList parts;
    for (int n : numbers)
        parts << QString::number(n);
    return parts.join(QLatin1Char(','));
}

} // namespace

struct BookKeeper::Job {
    quint64 serial = 0;
    QString bookId;
    QString titleHint;
    bool loaded = false; // pending and total read from the database
    QList<int> pending;  // chapters still to ask for, in asking order
    QSet<int> tried;     // asked once without an answer
    QList<int> missing;  // given up
    QList<int> run;      // the chapters of the request in flight
    int total = 0;
    int stored = 0;
    QPointer<HttpRequest> request;
    bool storing = false; // an answer is being written
    int failures = 0;     // consecutive failed requests
    int refusals = 0;     // consecutive refused answers
    QDeadlineTimer notBefore{0};

    bool busy() const { return request || storing; }
};

std::function<bool()> BookKeeper::internetReachable = [] {
    return Reachability::isInternetReachable();
};
std::function<bool()> BookKeeper::wifiReachable = [] { return tooles::IsEnableWIFI(); };

BookKeeper::BookKeeper(QObject* parent) : QObject(parent) {
    poll_.setInterval(kDefaultPollMs);
    connect(&poll_, &QTimer::timeout, this, &BookKeeper::networkChanged);
}

BookKeeper::~BookKeeper() {
    for (const auto& job : jobs_) {
        if (job->request)
            job->request->clearDelegatesAndCancel();
    }
}

BookKeeper* BookKeeper::shared() {
    static QPointer<BookKeeper> keeper;
    if (!keeper) {
        keeper = new BookKeeper(QCoreApplication::instance());
        keeper->start();
    }
    return keeper;
}

void BookKeeper::setPollIntervalMs(int ms) {
    poll_.setInterval(ms);
}

void BookKeeper::start() {
    if (started_)
        return;
    started_ = true;
    KeepQueue queue;
    queue.ensureKeepQueueTable();
    for (const KeepQueue::Entry& e : queue.entries(true)) {
        auto job = std::make_unique<Job>();
        job->serial = nextSerial_++;
        job->bookId = e.bookId;
        job->tried = QSet<int>(e.tried.cbegin(), e.tried.cend());
        job->missing = e.missing;
        jobs_.push_back(std::move(job));
    }
    if (!jobs_.empty())
        qInfo().noquote() << "BookKeeper: resuming" << jobs_.size() << "kept book(s)";
    // Reachability has loaded its backend once asked; its changes pause and resume us.
    internetReachable();
    if (QNetworkInformation* info = QNetworkInformation::instance()) {
        connect(info, &QNetworkInformation::reachabilityChanged, this, &BookKeeper::networkChanged);
        connect(info, &QNetworkInformation::transportMediumChanged, this,
                &BookKeeper::networkChanged);
    }
    pump();
}

bool BookKeeper::keep(const QString& bookId, const QString& titleHint) {
    if (bookId.isEmpty())
        return false;
    start();
    if (Job* job = jobByBook(bookId)) {
        if (!titleHint.isEmpty())
            job->titleHint = titleHint;
        return true;
    }
    if (!KeepQueue().enqueue(bookId, tooles::currentTimeStr().toLongLong()))
        return false;
    auto job = std::make_unique<Job>();
    job->serial = nextSerial_++;
    job->bookId = bookId;
    job->titleHint = titleHint;
    jobs_.push_back(std::move(job));
    Q_EMIT stateChanged();
    pump();
    return true;
}

void BookKeeper::cancel(const QString& bookId) {
    KeepQueue().remove(bookId);
    Job* job = jobByBook(bookId);
    if (!job)
        return;
    stopJob(*job);
    Q_EMIT stateChanged();
    pump();
}

bool BookKeeper::isKept(const QString& bookId) const {
    return jobByBook(bookId) != nullptr;
}

bool BookKeeper::isActive(const QString& bookId) const {
    for (std::size_t i = 0; i < jobs_.size() && i < std::size_t(kMaxBooks); ++i) {
        if (jobs_[i]->bookId == bookId)
            return true;
    }
    return false;
}

QStringList BookKeeper::queuedBooks() const {
    QStringList books;
    for (const auto& job : jobs_)
        books << job->bookId;
    return books;
}

BookKeeper::Progress BookKeeper::progressOf(const QString& bookId) const {
    if (const Job* job = jobByBook(bookId); job && job->loaded)
        return {job->stored, job->total};
    KeepQueue queue;
    return {queue.storedCount(bookId), queue.menuCount(bookId)};
}

bool BookKeeper::isComplete(const QString& bookId) {
    KeepQueue queue;
    const int total = queue.menuCount(bookId);
    return total > 0 && queue.storedCount(bookId) >= total;
}

BookKeeper::Job* BookKeeper::jobBySerial(quint64 serial) const {
    for (const auto& job : jobs_) {
        if (job->serial == serial)
            return job.get();
    }
    return nullptr;
}

BookKeeper::Job* BookKeeper::jobByBook(const QString& bookId) const {
    for (const auto& job : jobs_) {
        if (job->bookId == bookId)
            return job.get();
    }
    return nullptr;
}

// --- Network

bool BookKeeper::networkAllowed(bool* wifiRule) const {
    if (wifiRule)
        *wifiRule = false;
    if (!(internetReachable && internetReachable()))
        return false;
    if (UserDefaults::standard().boolForKey(QStringLiteral("is_open_wifi")) &&
        !(wifiReachable && wifiReachable())) {
        if (wifiRule)
            *wifiRule = true;
        return false;
    }
    return true;
}

void BookKeeper::networkChanged() {
    bool wifiRule = false;
    const bool allowed = networkAllowed(&wifiRule);
    if (!allowed) {
        if (!jobs_.empty())
            setPaused(true, wifiRule);
        return;
    }
    if (paused_) {
        // A new chance for every book: the network that failed them is back.
        for (const auto& job : jobs_) {
            job->failures = 0;
            job->notBefore = QDeadlineTimer(0);
        }
        setPaused(false, false);
    }
    pump();
}

void BookKeeper::setPaused(bool paused, bool forWifi) {
    const bool changed = paused != paused_ || forWifi != pausedForWifi_;
    paused_ = paused;
    pausedForWifi_ = paused && forWifi;
    if (paused) {
        if (!poll_.isActive())
            poll_.start();
    } else {
        poll_.stop();
    }
    if (changed) {
        qInfo().noquote() << "BookKeeper:"
                          << (paused ? (forWifi ? "paused, waiting for Wi-Fi"
                                                : "paused, waiting for the network")
                                     : "resumed");
        Q_EMIT stateChanged();
    }
}

// --- The queue

void BookKeeper::pump() {
    // Called again from inside a step (a finished book lets the next one in): one loop does it.
    if (!started_ || pumping_)
        return;
    pumping_ = true;
    bool again = true;
    while (again) {
        again = false;
        if (jobs_.empty()) {
            if (paused_)
                setPaused(false, false);
            break;
        }
        bool wifiRule = false;
        if (!networkAllowed(&wifiRule)) {
            setPaused(true, wifiRule);
            break;
        }
        if (paused_)
            break; // a failure paused us; the poll resumes
        const std::size_t active = std::min(jobs_.size(), std::size_t(kMaxBooks));
        for (std::size_t i = 0; i < active; ++i) {
            Job& job = *jobs_[i];
            if (job.busy() || !job.notBefore.hasExpired())
                continue;
            const std::size_t before = jobs_.size();
            step(job);
            if (jobs_.size() != before) {
                again = true; // a book ended: the next one may start
                break;
            }
        }
    }
    pumping_ = false;
}

void BookKeeper::step(Job& job) {
    if (!job.loaded) {
        if (!BookDb().isExistsMenu(job.bookId)) {
            askMenu(job);
            return;
        }
        loadPending(job);
    }
    if (job.pending.isEmpty()) {
        finish(job);
        return;
    }
    askRun(job);
}

void BookKeeper::loadPending(Job& job) {
    KeepQueue queue;
    const QSet<int> missing(job.missing.cbegin(), job.missing.cend());
    job.pending.clear();
    for (int chapter : queue.unstoredChapters(job.bookId)) {
        if (!missing.contains(chapter))
            job.pending << chapter;
    }
    job.total = queue.menuCount(job.bookId);
    job.loaded = true;
    emitProgress(job);
}

void BookKeeper::emitProgress(Job& job) {
    job.stored = KeepQueue().storedCount(job.bookId);
    Q_EMIT progressChanged(job.bookId, job.stored, job.total);
}

HttpRequest* BookKeeper::requestFor(Job& job, const QUrl& url) {
    HttpRequest* request = Service::request(url, this);
    request->setShouldContinueWhenAppEntersBackground(true);
    job.request = request;
    const quint64 serial = job.serial;
    request->setDidFail([this, serial](HttpRequest* r) {
        r->deleteLater();
        if (Job* job = jobBySerial(serial)) {
            job->request = nullptr;
            requestFailed(serial, true);
        }
    });
    return request;
}

void BookKeeper::askMenu(Job& job) {
    HttpRequest* request = requestFor(job, Service::menuUrl(job.bookId));
    const quint64 serial = job.serial;
    request->setDidFinish([this, serial](HttpRequest* r) {
        r->deleteLater();
        Job* job = jobBySerial(serial);
        if (!job)
            return;
        job->request = nullptr;
        const Service::Answer answer = Service::decode(r);
        const QVariantList list = answer.dict.value(QStringLiteral("chapter_list")).toList();
        if (!answer.ok || list.isEmpty()) {
            qWarning().noquote() << "BookKeeper: no table of contents for book" << job->bookId;
            requestFailed(serial, false);
            return;
        }
        job->failures = 0;
        job->storing = true;
        const bool started =
            BookDb().insertChapterMenu(job->bookId, answer.dict, this, [this, serial](bool ok) {
                Job* job = jobBySerial(serial);
                if (!job)
                    return;
                job->storing = false;
                if (!ok) {
                    requestFailed(serial, false);
                    return;
                }
                pump();
            });
        if (!started) {
            job->storing = false;
            requestFailed(serial, false);
        }
    });
    request->startAsynchronous();
}

void BookKeeper::askRun(Job& job) {
    job.run = job.pending.mid(0, kRunSize);
    HttpRequest* request =
        requestFor(job, Service::getcontentUrl(job.bookId, joinNumbers(job.run)));
    const quint64 serial = job.serial;
    request->setDidFinish([this, serial](HttpRequest* r) {
        r->deleteLater();
        if (Job* job = jobBySerial(serial)) {
            job->request = nullptr;
            runAnswered(serial, r);
        }
    });
    request->startAsynchronous();
}

void BookKeeper::runAnswered(quint64 serial, HttpRequest* request) {
    Job* job = jobBySerial(serial);
    const Service::Answer answer = Service::decode(request);
    if (!answer.ok) {
        requestFailed(serial, false);
        return;
    }
    job->failures = 0;
    job->refusals = 0;
    // Only what this run asked for, with its text, under this book: an entry for another
    // chapter or another book is not taken for one of ours.
    const QSet<int> asked(job->run.cbegin(), job->run.cend());
    QVariantList chapters;
    for (const QVariant& item : answer.dict.value(QStringLiteral("chapters")).toList()) {
        if (item.typeId() != QMetaType::QVariantMap)
            continue;
        QVariantMap chapter = item.toMap();
        bool isNumber = false;
        const int number =
            Service::textOf(chapter.value(QStringLiteral("chapter_number"))).toInt(&isNumber);
        const QVariant content = chapter.value(QStringLiteral("content"));
        if (!isNumber || !asked.contains(number) || content.typeId() != QMetaType::QString)
            continue;
        chapter.insert(QStringLiteral("chapter_number"), number);
        chapter.insert(QStringLiteral("book_id"), job->bookId);
        chapters << chapter;
    }
    if (chapters.isEmpty()) {
        runStored(serial, true);
        return;
    }
    ensureBookRecord(*job, answer.dict.value(QStringLiteral("book")).toMap());
    job->storing = true;
    const QVariantMap batch{{QStringLiteral("result"), QStringLiteral("ok")},
                            {QStringLiteral("chapters"), chapters}};
    if (!BookDb().insertChapterAll(job->bookId, batch, this,
                                   [this, serial](bool ok) { runStored(serial, ok); }))
        runStored(serial, false);
}

void BookKeeper::runStored(quint64 serial, bool ok) {
    Job* job = jobBySerial(serial);
    if (!job)
        return; // cancelled meanwhile
    job->storing = false;
    const QList<int> run = job->run;
    job->run.clear();
    const QList<int> stored = KeepQueue().storedAmong(job->bookId, run);
    const QSet<int> done(stored.cbegin(), stored.cend());
    // Every chapter of a run was unstored when it was asked: what is stored now is new.
    job->pending.removeIf([&](int c) { return done.contains(c); });
    job->stored = std::min(job->total, job->stored + int(done.size()));
    if (!ok) {
        // The database refused: the rest of the run is asked again later, no try counted.
        qWarning().noquote() << "BookKeeper: chapters of book" << job->bookId << "not stored";
        requestFailed(serial, false);
        Q_EMIT progressChanged(job->bookId, job->stored, job->total);
        return;
    }
    bool retriesChanged = false;
    for (int c : run) {
        if (done.contains(c))
            continue;
        job->pending.removeOne(c);
        retriesChanged = true;
        if (job->tried.contains(c)) {
            job->tried.remove(c);
            job->missing << c;
        } else {
            // One more try, after the chapters not asked yet.
            job->tried.insert(c);
            job->pending << c;
        }
    }
    for (int c : stored)
        retriesChanged = job->tried.remove(c) || retriesChanged;
    // The queue row changes only with the retries; the stored chapters speak for themselves.
    if (retriesChanged)
        save(*job, false);
    Q_EMIT progressChanged(job->bookId, job->stored, job->total);
    pump();
}

void BookKeeper::ensureBookRecord(const Job& job, const QVariantMap& book) {
    BookDb db;
    if (db.isExistsTheBook(job.bookId))
        return;
    // A book kept whole before it was on the shelf goes on the shelf with its first chapters.
    const QString coverUrl = Service::textOf(book.value(QStringLiteral("coverimg")));
    QString title = Service::textOf(book.value(QStringLiteral("title")));
    if (title.isEmpty())
        title = job.titleHint;
    QString last = Service::textOf(book.value(QStringLiteral("last_chapter_number")));
    if (last.isEmpty())
        last = QString::number(job.total);
    const QString now = tooles::currentTimeStr();
    const QString cover = CoverFiles::coverName(job.bookId, coverUrl);
    if (!db.insertBook({{QStringLiteral("book_id"), job.bookId},
                        {QStringLiteral("title"), title},
                        {QStringLiteral("cover"), cover},
                        {QStringLiteral("last_chapter_number"), last},
                        {QStringLiteral("download_time"), now},
                        {QStringLiteral("update_time"), now}})) {
        qWarning().noquote() << "BookKeeper: book" << job.bookId << "could not be put on the shelf";
        return;
    }
    CoverFiles::ensureDirectory();
    if (!coverUrl.isEmpty())
        CoverFiles::fetch(QUrl(coverUrl), cover, job.bookId);
}

void BookKeeper::requestFailed(quint64 serial, bool network) {
    Job* job = jobBySerial(serial);
    if (!job)
        return;
    job->run.clear();
    if (network) {
        ++job->failures;
        if (!networkAllowed() || job->failures >= kNetworkFailuresBeforePause) {
            qInfo().noquote() << "BookKeeper: book" << job->bookId << "could not reach the service";
            bool wifiRule = false;
            networkAllowed(&wifiRule);
            setPaused(true, wifiRule);
            return;
        }
    } else if (++job->refusals >= kRefusalsBeforeGivingUp) {
        qWarning().noquote() << "BookKeeper: the service keeps refusing book" << job->bookId
                             << "; its download stops";
        const QString bookId = job->bookId;
        save(*job, true);
        stopJob(*job);
        Q_EMIT failed(bookId);
        pump();
        return;
    }
    const int attempts = std::max(job->failures, job->refusals);
    const int delay = std::min(kMaxRetryDelayMs, retryDelayMs_ << std::min(attempts - 1, 10));
    job->notBefore = QDeadlineTimer(delay);
    QTimer::singleShot(delay + 1, this, [this] { pump(); });
}

void BookKeeper::finish(Job& job) {
    const QString bookId = job.bookId;
    const int missing = int(job.missing.size());
    save(job, true);
    emitProgress(job);
    qInfo().noquote() << "BookKeeper: book" << bookId << "kept whole," << missing
                      << "chapter(s) missing";
    stopJob(job);
    Q_EMIT finished(bookId, missing);
}

void BookKeeper::stopJob(Job& job) {
    if (job.request) {
        job.request->clearDelegatesAndCancel();
        job.request->deleteLater();
    }
    const quint64 serial = job.serial;
    jobs_.erase(std::remove_if(jobs_.begin(), jobs_.end(),
                               [serial](const auto& j) { return j->serial == serial; }),
                jobs_.end());
}

void BookKeeper::save(const Job& job, bool done) {
    KeepQueue::Entry entry;
    entry.bookId = job.bookId;
    entry.done = done;
    entry.tried = done ? QList<int>() : QList<int>(job.tried.cbegin(), job.tried.cend());
    std::sort(entry.tried.begin(), entry.tried.end());
    entry.missing = job.missing;
    KeepQueue().update(entry);
}
