// Keeping a 420-chapter book of bookd whole over loopback: the time from the request to the
// last stored chapter, and the longest the main thread went without serving its event loop
// meanwhile (a 1 ms timer notices every gap).
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>

#include "catalog/BookKeeper.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "storage/KeepQueue.h"
#include "tools/bookd/BookServer.h"

namespace {

void BM_KeepWhole420Chapters(benchmark::State& state) {
    QTemporaryDir data;
    BookServerOptions options;
    options.dataDir = data.path();
    options.log = false;
    options.idleSeconds = 1;
    BookServer server(options);
    if (!server.start()) {
        state.SkipWithError("bookd did not start");
        return;
    }
    ServiceConfig::setBaseUrl(server.baseUrl());
    BookKeeper::internetReachable = [] { return true; };
    BookKeeper::wifiReachable = [] { return true; };

    double worstStallMs = 0;
    double stored = 0;
    for (auto _ : state) {
        // Each round keeps the book from nothing.
        BookDb db;
        db.deleteFromBook(QStringLiteral("1"));
        db.deleteFromChapter(QStringLiteral("1"));
        db.deleteChapterMenuByBookid(QStringLiteral("1"));
        KeepQueue().remove(QStringLiteral("1"));

        auto keeper = std::make_unique<BookKeeper>();
        QEventLoop loop;
        QObject::connect(keeper.get(), &BookKeeper::finished, &loop, &QEventLoop::quit);
        QObject::connect(keeper.get(), &BookKeeper::failed, &loop, &QEventLoop::quit);
        QElapsedTimer sinceTick;
        double stallMs = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            stallMs = std::max(stallMs, double(sinceTick.nsecsElapsed()) / 1e6 - 1.0);
            sinceTick.restart();
        });
        QTimer::singleShot(600000, &loop, &QEventLoop::quit);

        QElapsedTimer total;
        total.start();
        sinceTick.start();
        ticker.start();
        keeper->start();
        keeper->keep(QStringLiteral("1"));
        loop.exec();
        ticker.stop();
        const double seconds = double(total.nsecsElapsed()) / 1e9;
        BookDb::waitForBackgroundWrites();
        state.SetIterationTime(seconds);
        worstStallMs = std::max(worstStallMs, stallMs);
        stored = BookDb().getCountFromChapterByBookid(QStringLiteral("1"));
        keeper.reset();
    }
    state.counters["max_main_thread_stall_ms"] = worstStallMs;
    state.counters["chapters_stored"] = stored;
    server.stop();
}

} // namespace

BENCHMARK(BM_KeepWhole420Chapters)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
