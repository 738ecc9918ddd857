// The bookshelf coming into view with 100 stored books with covers, and "开始阅读" on a book
// not yet stored until the reader shows its first page, against a local bookd.
#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

#include "catalog/BookDetailViewController.h"
#include "catalog/CoverFiles.h"
#include "catalog/FirstViewController.h"
#include "engines/HttpRequest.h"
#include "platform/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "reader/ReadbooksViewController.h"
#include "service/Endpoints.h"
#include "service/Service.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "storage/UserStore.h"
#include "tools/bookd/BookServer.h"

namespace {

bool spinUntil(const std::function<bool()>& done, int ms = 30000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

struct ShelfScene {
    Window* window = nullptr;
    NavigationController* nav = nullptr;
    FirstViewController* shelf = nullptr;
};

ShelfScene& shelfScene() {
    static ShelfScene s = [] {
        ShelfScene sc;
        // The version check is not part of what is measured.
        UserDefaults::standard().setObject(QStringLiteral("nomore_remind"), true);
        QImage image(180, 240, QImage::Format_RGB32);
        QByteArray jpeg;
        for (int i = 1; i <= 100; ++i) {
            image.fill(QColor::fromHsv((i * 37) % 360, 120, 180));
            jpeg.clear();
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "JPEG", 85);
            const QString id = QString::number(900000 + i);
            const QString cover = CoverFiles::coverName(id, QStringLiteral("http://h/c.jpg"));
            CoverFiles::save(jpeg, cover);
            BookDb().insertBook(
                {{QStringLiteral("book_id"), id},
                 {QStringLiteral("title"), QStringLiteral("书架上的第%1本书").arg(i)},
                 {QStringLiteral("cover"), cover},
                 {QStringLiteral("last_chapter_number"), QStringLiteral("30")},
                 {QStringLiteral("download_time"), QString::number(1700000000 + i)},
                 {QStringLiteral("update_time"), QString::number(1700000000 + i)}});
        }
        sc.window = new Window();
        sc.shelf = new FirstViewController();
        sc.nav = new NavigationController(sc.shelf);
        sc.window->setRootViewController(sc.nav);
        sc.window->makeKeyAndVisible();
        spinUntil([] { return false; }, 200);
        return sc;
    }();
    return s;
}

void BM_ShelfAppear100Covers(benchmark::State& state) {
    ShelfScene& s = shelfScene();
    for (auto _ : state) {
        s.shelf->beginAppearance(false);
        s.shelf->endAppearance(false);
        benchmark::DoNotOptimize(s.shelf->gridView()->numberOfItems());
        state.PauseTiming();
        if (s.shelf->gridView()->numberOfItems() < 100)
            state.SkipWithError("the shelf lost books");
        s.shelf->beginDisappearance(false);
        s.shelf->endDisappearance(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ShelfAppear100Covers)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The same, after another book was read: the order changed and every cell is built anew.
void BM_ShelfAppear100CoversReordered(benchmark::State& state) {
    ShelfScene& s = shelfScene();
    // Later than every stamp so far, across repetitions too.
    static qint64 stamp = 1900000000;
    static int book = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString id = QString::number(900001 + book++ % 100);
        BookDb().updateBook(id, {{QStringLiteral("update_time"), QString::number(++stamp)}});
        state.ResumeTiming();
        s.shelf->beginAppearance(false);
        s.shelf->endAppearance(false);
        state.PauseTiming();
        if (s.shelf->gridView()->numberOfItems() < 100 ||
            s.shelf->bookArr().first().toMap().value(QStringLiteral("book_id")).toString() != id) {
            state.SkipWithError("the shelf did not follow the reading order");
            break;
        }
        s.shelf->beginDisappearance(false);
        s.shelf->endDisappearance(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ShelfAppear100CoversReordered)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

struct ReadScene {
    QTemporaryDir data;
    std::unique_ptr<BookServer> server;
    Window* window = nullptr;
    NavigationController* nav = nullptr;
    QList<MyBookList> books;
};

Service::Answer call(const char* path, const QVariantMap& params) {
    QObject owner;
    HttpRequest* request =
        Service::request(Service::signedUrl(QLatin1String(path), params), &owner);
    request->startSynchronous();
    return Service::decode(request);
}

ReadScene* readScene() {
    static ReadScene* s = [] {
        auto* sc = new ReadScene;
        BookServerOptions options;
        options.dataDir = sc->data.path();
        options.log = false;
        options.idleSeconds = 1;
        sc->server = std::make_unique<BookServer>(options);
        if (!sc->server->start())
            return sc;
        ServiceConfig::setBaseUrl(sc->server->baseUrl());
        const QString mobile = QStringLiteral("13812345678");
        call(Endpoints::sendValidateCode, {{QStringLiteral("mobile"), mobile}});
        const Service::Answer reg =
            call(Endpoints::reg, {{QStringLiteral("mobile"), mobile},
                                  {QStringLiteral("password"), QStringLiteral("bench123")},
                                  {QStringLiteral("channel"), QStringLiteral("IP_4S")}});
        UserStore::signIn(Service::textOf(reg.dict.value(QStringLiteral("token"))),
                          reg.dict.value(QStringLiteral("userinfo")).toMap(), mobile);
        for (int page = 1; page <= 3; ++page) {
            QVariantMap params{{QStringLiteral("order"), QStringLiteral("read")},
                               {QStringLiteral("limit"), QStringLiteral("11")},
                               {QStringLiteral("page"), QString::number(page)}};
            Service::addToken(params);
            for (const QVariant& b : call(Endpoints::booklist, params).dict.value("books").toList())
                sc->books.append(MyBookList::initWithDictionary(b.toMap()));
        }
        sc->window = new Window();
        sc->nav = new NavigationController(new ViewController());
        sc->window->setRootViewController(sc->nav);
        sc->window->makeKeyAndVisible();
        return sc;
    }();
    return s;
}

// The stored book goes again, so that the next tap downloads it anew.
void forget(const QString& bookId) {
    BookDb::waitForBackgroundWrites();
    BookDb db;
    db.deleteFromBook(bookId);
    db.deleteFromChapter(bookId);
    db.deleteFromLastReadByBookid(bookId);
    db.deleteChapterMenuByBookid(bookId);
}

void BM_StartReadingNewBook(benchmark::State& state) {
    ReadScene* s = readScene();
    if (s->books.isEmpty()) {
        state.SkipWithError("no local bookd");
        return;
    }
    int i = 0;
    for (auto _ : state) {
        const MyBookList book = s->books.at(i++ % s->books.size());
        forget(Service::textOf(book.myId()));
        auto* detail = new BookDetailViewController();
        detail->setBookInfo(book);
        s->nav->pushViewController(detail, false);
        spinUntil([] { return false; }, 50);
        bool shown = false;
        QObject::connect(detail, &BookDetailViewController::downloadEnded, detail, [&](bool) {
            if (ReadbooksViewController* reader = detail->openedReader())
                QObject::connect(reader, &ReadbooksViewController::pageLaidOut, reader,
                                 [&shown] { shown = true; });
        });
        QElapsedTimer t;
        t.start();
        detail->action(BookDetailViewController::TagRead);
        if (!spinUntil([&] { return shown; }))
            state.SkipWithError("the reader never showed its page");
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        spinUntil(
            [detail] { return !detail->openedReader() || !detail->openedReader()->isBusy(); });
        s->nav->popToRootViewController(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(BM_StartReadingNewBook)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(8)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace
