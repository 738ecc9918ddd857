// The reader: opening a stored chapter until its first page shows with labels, one page
// turn's own work, and the peak memory with one reader open (web engine processes included).
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "reader/ReadbooksViewController.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"

namespace {

const QString kBook = QStringLiteral("bench-reader");
// Between closing a reader and opening the next one: a user goes back to the shelf and taps.
constexpr int kBetweenBooksMs = 300;

QString chapterText(int bytes) {
    const QString para = QStringLiteral(
        "<p>　　天色将晚，山路上的行人渐渐少了。他背着一只旧包袱，一步一步往镇上走去。</p>");
    QString text;
    while (text.toUtf8().size() < bytes)
        text += para;
    return text;
}

struct Scene {
    Window* window = nullptr;
    NavigationController* nav = nullptr;
    QString text;
};

Scene& scene() {
    static Scene s = [] {
        Scene sc;
        // Reading records go nowhere: a closed port answers at once.
        ServiceConfig::setBaseUrl(QStringLiteral("http://127.0.0.1:9"));
        sc.text = chapterText(8 * 1024);
        BookDb db;
        db.insertBook({{QStringLiteral("book_id"), kBook},
                       {QStringLiteral("title"), QStringLiteral("bench")},
                       {QStringLiteral("cover"), QString()},
                       {QStringLiteral("last_chapter_number"), QStringLiteral("3")},
                       {QStringLiteral("download_time"), QStringLiteral("0")},
                       {QStringLiteral("update_time"), QStringLiteral("0")}});
        QVariantList chapters;
        for (int n = 1; n <= 3; ++n)
            chapters.append(QVariantMap{{QStringLiteral("book_id"), kBook},
                                        {QStringLiteral("chapter_number"), n},
                                        {QStringLiteral("title"), QStringLiteral("第%1章").arg(n)},
                                        {QStringLiteral("content"), sc.text}});
        db.insertChapterAll(kBook, {{QStringLiteral("result"), QStringLiteral("ok")},
                                    {QStringLiteral("chapters"), chapters}});
        BookDb::waitForBackgroundWrites();
        sc.window = new Window();
        sc.nav = new NavigationController(new ViewController());
        sc.window->setRootViewController(sc.nav);
        sc.window->makeKeyAndVisible();
        return sc;
    }();
    return s;
}

// Waits in the event loop, as the application does, instead of polling it: a polling loop
// takes a core from the web engine, which shares the machine's two with it.
bool spinUntil(const std::function<bool()>& done, int ms = 30000) {
    QDeadlineTimer deadline(ms);
    QTimer tick; // wakes the loop to look at done() again
    tick.start(1);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return done();
}

// The application idles for a while, as between closing one book and opening the next.
void idle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

ReadbooksViewController* openReader(int page, bool* laidOut) {
    Scene& s = scene();
    auto* reader = new ReadbooksViewController();
    reader->book_id = kBook;
    reader->current_chapter_id = 2;
    reader->currentPage = page;
    reader->str = s.text;
    *laidOut = false;
    QObject::connect(reader, &ReadbooksViewController::pageLaidOut, reader,
                     [laidOut] { *laidOut = true; });
    s.nav->pushViewController(reader, false);
    return reader;
}

void BM_ReaderOpenStoredChapter8KB(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state) {
        bool laidOut = false;
        QElapsedTimer t;
        t.start();
        openReader(1, &laidOut);
        if (!spinUntil([&] { return laidOut; }))
            state.SkipWithError("the page never laid out");
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        s.nav->popToRootViewController(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        idle(kBetweenBooksMs);
    }
}
BENCHMARK(BM_ReaderOpenStoredChapter8KB)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ReaderPageTurn(benchmark::State& state) {
    Scene& s = scene();
    bool laidOut = false;
    ReadbooksViewController* reader = openReader(2, &laidOut);
    spinUntil([&] { return laidOut; });
    if (reader->allPage < 3) {
        state.SkipWithError("the chapter is too short");
        return;
    }
    bool forward = true;
    for (auto _ : state) {
        if (forward)
            reader->downPage();
        else
            reader->upPage();
        forward = !forward;
    }
    state.counters["pages"] = reader->allPage;
    s.nav->popToRootViewController(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
BENCHMARK(BM_ReaderPageTurn)->Unit(benchmark::kMicrosecond);

// Peak resident memory (VmHWM) of a process, in kB.
qint64 peakKb(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

// Every descendant of this process (the web engine's zygote, GPU and renderer processes).
QList<qint64> descendants() {
    QMap<qint64, qint64> parent;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray stat = f.readAll();
        const QList<QByteArray> rest = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (rest.size() > 1)
            parent.insert(pid, rest.at(1).toLongLong());
    }
    QList<qint64> found{qint64(getpid())};
    for (qsizetype i = 0; i < found.size(); ++i)
        for (auto it = parent.cbegin(); it != parent.cend(); ++it)
            if (it.value() == found.at(i))
                found.append(it.key());
    found.removeFirst();
    return found;
}

void BM_ReaderPeakMemory(benchmark::State& state) {
    Scene& s = scene();
    bool laidOut = false;
    for (auto _ : state) {
        ReadbooksViewController* reader = openReader(1, &laidOut);
        spinUntil([&] { return laidOut; });
        for (int i = 0; i < 20; ++i)
            reader->downPage();
        spinUntil([] { return false; }, 500);
    }
    qint64 children = 0;
    for (qint64 pid : descendants())
        children += peakKb(pid);
    const qint64 self = peakKb(getpid());
    state.counters["app_MB"] = double(self) / 1024;
    state.counters["engine_MB"] = double(children) / 1024;
    state.counters["total_MB"] = double(self + children) / 1024;
    s.nav->popToRootViewController(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
BENCHMARK(BM_ReaderPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
