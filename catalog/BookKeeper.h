#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class HttpRequest;
class QUrl;

// Keeps whole books for offline reading: one queue for every book asked for, downloaded in
// the background through /data/getcontent.
//
// The chapters of a book that are not stored are asked for in ascending order, ten to a
// request, one request at a time per book and at most two books at once; each answer is
// stored through BookDb exactly as the reader stores its own (chapter rows, the table of
// contents' downloaded marks). A chapter the service leaves out of an answer is asked once
// more in a later request, then counted as missing. The table of contents comes from
// /data/menu first when the book has none. Progress is what the database holds, so a chapter
// counts only once its text is stored.
//
// The queue lives in books.sqlite (KeepQueue), so a download picks up where it stopped when
// the application starts again. Downloads pause while the network is gone or the Wi-Fi-only
// setting (is_open_wifi) forbids them, and resume by themselves when it allows again. They
// run beside the reader's own fetches, which never wait for them: the reader's requests are
// separate, and a chapter both fetch is stored once.
//
// Main thread only. Answers that arrive for a cancelled book are dropped.
class BookKeeper final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BookKeeper)

public:
    static constexpr int kRunSize = 10;
    static constexpr int kMaxBooks = 2;

    struct Progress {
        int stored = 0; // chapters of the table of contents whose text is stored
        int total = 0;  // entries of the table of contents (0 while it is not known)
    };

    explicit BookKeeper(QObject* parent = nullptr);
    ~BookKeeper() override;

    // The application's keeper, started on first use.
    static BookKeeper* shared();

    // Loads the unfinished downloads of the queue and starts them. Once; later calls do nothing.
    void start();
    // Adds a book to the queue (a book already queued stays where it is); titleHint names a
    // book not on the shelf yet until the service's answer does. False when the queue cannot
    // be written.
    bool keep(const QString& bookId, const QString& titleHint = QString());
    // Stops a book's download and forgets its queue row. Nothing of an answer still on its
    // way is stored afterwards; chapters stored before stay (the shelf delete removes them).
    void cancel(const QString& bookId);

    // Queued or downloading (not finished, not cancelled).
    bool isKept(const QString& bookId) const;
    // Among the books downloading now (the first kMaxBooks of the queue).
    bool isActive(const QString& bookId) const;
    QStringList queuedBooks() const;
    // What the database holds for a book, queued or not.
    Progress progressOf(const QString& bookId) const;
    // Every chapter of the table of contents is stored.
    static bool isComplete(const QString& bookId);

    // Waiting for the network or for Wi-Fi.
    bool isPaused() const { return paused_; }
    bool waitsForWifi() const { return paused_ && pausedForWifi_; }

    // Reachability changed (also called by a timer while paused): pause or resume.
    void networkChanged();

    // The network state as the keeper reads it; tests replace them.
    static std::function<bool()> internetReachable;
    static std::function<bool()> wifiReachable;
    // Base of the retry delays after a failed request, and the period of the check for the
    // network while paused.
    void setRetryDelayMs(int ms) { retryDelayMs_ = ms; }
    void setPollIntervalMs(int ms);

Q_SIGNALS:
    // A run of a book was stored (or its table of contents arrived).
    void progressChanged(const QString& bookId, int stored, int total);
    // Queued, cancelled, paused or resumed.
    void stateChanged();
    // The download of a book ended; missing chapters the service never sent.
    void finished(const QString& bookId, int missing);
    // The service kept refusing; the download stopped (its row stays, ended).
    void failed(const QString& bookId);

private:
    struct Job;

    Job* jobBySerial(quint64 serial) const;
    Job* jobByBook(const QString& bookId) const;
    bool networkAllowed(bool* wifiRule = nullptr) const;
    void pump();
    void step(Job& job);
    void loadPending(Job& job);
    // A request of the job's, kept as its one request; a failure to reach the service counts
    // against the job.
    HttpRequest* requestFor(Job& job, const QUrl& url);
    void askMenu(Job& job);
    void askRun(Job& job);
    void runAnswered(quint64 serial, HttpRequest* request);
    void runStored(quint64 serial, bool ok);
    void ensureBookRecord(const Job& job, const QVariantMap& book);
    void requestFailed(quint64 serial, bool network);
    void setPaused(bool paused, bool forWifi);
    void finish(Job& job);
    void stopJob(Job& job);
    void save(const Job& job, bool done);
    void emitProgress(Job& job);

    std::vector<std::unique_ptr<Job>> jobs_; // queue order
    quint64 nextSerial_ = 1;
    bool started_ = false;
    bool paused_ = false;
    bool pausedForWifi_ = false;
    bool pumping_ = false;
    int retryDelayMs_ = 500;
    QTimer poll_;
    QTimer retry_;
};
