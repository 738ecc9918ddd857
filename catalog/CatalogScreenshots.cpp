#include "catalog/CatalogScreenshots.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTcpServer>

#include "app/tooles.h"
#include "catalog/BookDetailViewController.h"
#include "catalog/BookKeeper.h"
#include "catalog/FirstViewController.h"
#include "catalog/KeepProgressBar.h"
#include "catalog/SourceSiteViewController.h"
#include "engines/HttpRequest.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScreenshotWalk.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "reader/ReadbooksViewController.h"
#include "reader/ReaderScreenshots.h"
#include "service/Endpoints.h"
#include "service/Service.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "storage/UserStore.h"

namespace {

using Context = ScreenshotWalk::Context;
constexpr int kOrder = 100;

bool waitFor(Context& ctx, const std::function<bool()>& done, int ms = 15000) {
    return ctx.waitFor(done, ms);
}

// Whether the reader came to rest on a page that shows its text (or went) within 30 s.
bool readerSettles(Context& ctx, const QPointer<ReadbooksViewController>& reader) {
    return waitFor(
        ctx, [&] { return !reader || (!reader->isBusy() && readerShowsText(reader)); }, 30000);
}

// One signed call to the service, waited for.
Service::Answer call(const char* path, const QVariantMap& params) {
    QObject owner;
    HttpRequest* request =
        Service::request(Service::signedUrl(QLatin1String(path), params), &owner);
    request->startSynchronous();
    return Service::decode(request);
}

// Signs in the way the app does: a throw-away account registered with a fresh number, then
// a login with it, its token and profile kept in the user defaults.
bool ensureSignedIn() {
    if (UserStore::isSignedIn())
        return true;
    const QString mobile =
        QStringLiteral("137") + QString::number(QDateTime::currentMSecsSinceEpoch() % 100000000)
                                    .rightJustified(8, QLatin1Char('0'));
    const QString password = QStringLiteral("shelf-walk1");
    if (!call(Endpoints::sendValidateCode, {{QStringLiteral("mobile"), mobile}}).ok)
        return false;
    if (!call(Endpoints::reg, {{QStringLiteral("mobile"), mobile},
                               {QStringLiteral("password"), password},
                               {QStringLiteral("channel"), QStringLiteral("IP_4S")}})
             .ok)
        return false;
    const Service::Answer login = call(Endpoints::login, {{QStringLiteral("username"), mobile},
                                                          {QStringLiteral("password"), password}});
    const QString token = Service::textOf(login.dict.value(QStringLiteral("token")));
    if (!login.ok || token.isEmpty())
        return false;
    UserStore::signIn(token, login.dict.value(QStringLiteral("userinfo")).toMap(), mobile);
    return true;
}

// The service's most read books that have a cover, as a list screen receives them.
QList<MyBookList> serviceBooks() {
    static QList<MyBookList> books;
    if (!books.isEmpty())
        return books;
    QVariantMap params{{QStringLiteral("order"), QStringLiteral("read")},
                       {QStringLiteral("limit"), QStringLiteral("11")},
                       {QStringLiteral("page"), QStringLiteral("1")}};
    Service::addToken(params);
    const Service::Answer answer = call(Endpoints::booklist, params);
    for (const QVariant& item : answer.dict.value(QStringLiteral("books")).toList()) {
        const MyBookList book = MyBookList::initWithDictionary(item.toMap());
        if (!book.myCover().isEmpty())
            books.append(book);
    }
    return books;
}

FirstViewController* shelfOf(Context& ctx) {
    auto* tabs = qobject_cast<TabBarController*>(ctx.window()->rootViewController());
    auto* nav =
        tabs ? qobject_cast<NavigationController*>(tabs->selectedViewController()) : nullptr;
    return nav ? qobject_cast<FirstViewController*>(nav->rootViewController()) : nullptr;
}

// The update alert of the version check is not what these shots are about.
void dismissAlerts(Context& ctx) {
    ctx.settle(200);
    for (AlertView* alert : AlertView::visibleAlerts())
        alert->dismiss();
    ctx.settle(100);
}

// A detail screen of the index-th service book, its related books shown.
BookDetailViewController* openDetail(Context& ctx, int index) {
    if (!ensureSignedIn()) {
        ctx.fail(QStringLiteral("could not sign in through the service"));
        return nullptr;
    }
    const QList<MyBookList> books = serviceBooks();
    if (books.size() <= index) {
        ctx.fail(QStringLiteral("the service lists too few books"));
        return nullptr;
    }
    auto* detail = new BookDetailViewController();
    detail->setBookInfo(books.at(index));
    QPointer<BookDetailViewController> guard(detail);
    bool loaded = false;
    QObject::connect(detail, &BookDetailViewController::relatedLoaded, detail,
                     [&loaded] { loaded = true; });
    ctx.push(detail);
    if (!waitFor(ctx, [&] { return loaded || !guard; }))
        ctx.fail(QStringLiteral("the related books did not arrive"));
    ctx.settle(400);
    return guard;
}

// Downloads the index-th service book from its detail screen; the reader it opened.
ReadbooksViewController* download(Context& ctx, int index) {
    BookDetailViewController* detail = openDetail(ctx, index);
    if (!detail)
        return nullptr;
    QPointer<BookDetailViewController> guard(detail);
    bool ended = false;
    QObject::connect(detail, &BookDetailViewController::downloadEnded, detail,
                     [&ended](bool) { ended = true; });
    detail->action(BookDetailViewController::TagRead);
    if (!waitFor(ctx, [&] { return ended || !guard; }) || !guard || !guard->openedReader()) {
        ctx.fail(QStringLiteral("the download did not open the reader"));
        return nullptr;
    }
    QPointer<ReadbooksViewController> reader = guard->openedReader();
    if (!readerSettles(ctx, reader))
        ctx.fail(QStringLiteral("the reader did not show its first page"));
    waitFor(ctx, [&] { return !guard || guard->coverSettled(); });
    ctx.settle(300);
    // What the download stored is what the shelf and an offline read rely on.
    const QString bookId = Service::textOf(serviceBooks().at(index).myId());
    BookDb db;
    ctx.require(db.isExistsTheBook(bookId), QStringLiteral("no book record stored"));
    ctx.require(db.getCountFromChapterByBookid(bookId) > 0 &&
                    !db.selectChapterContent(bookId, db.getMinChapterId(bookId))
                         .value(QStringLiteral("content"))
                         .toString()
                         .isEmpty(),
                QStringLiteral("no chapter text stored"));
    requireReaderText(ctx, reader);
    return reader;
}

// --- Keeping a whole book

// The book kept whole in the walk: a service book past the two the shelf steps download, with
// enough chapters for its download to be caught half way.
int keptIndex() {
    const QList<MyBookList> books = serviceBooks();
    for (int i = 2; i < books.size(); ++i) {
        if (Service::textOf(books.at(i).myLast_chapter_number()).toInt() >= 40)
            return i;
    }
    return 2;
}

QString keptBookId() {
    const QList<MyBookList> books = serviceBooks();
    const int index = keptIndex();
    return index < books.size() ? Service::textOf(books.at(index).myId()) : QString();
}

// What the keeper reads for the network while the walk holds it paused; empty when it does not.
std::function<bool()>& heldReachable() {
    static std::function<bool()> saved;
    return saved;
}

void holdKeeper() {
    if (heldReachable())
        return;
    heldReachable() = BookKeeper::internetReachable;
    BookKeeper::internetReachable = [] { return false; };
    BookKeeper::shared()->networkChanged();
}

void releaseKeeper() {
    if (!heldReachable())
        return;
    BookKeeper::internetReachable = heldReachable();
    heldReachable() = nullptr;
    BookKeeper::shared()->networkChanged();
}

// Opens the kept book's detail screen and has its whole-book download running but held half way
// (the keeper waits for a network that the walk withholds), so that its progress stays put for
// the shot. The detail screen, or null.
BookDetailViewController* keepHalfWay(Context& ctx) {
    BookDetailViewController* detail = openDetail(ctx, keptIndex());
    if (!detail)
        return nullptr;
    const QString bookId = keptBookId();
    BookKeeper* keeper = BookKeeper::shared();
    if (keeper->isKept(bookId) && keeper->isPaused())
        return detail;
    if (BookKeeper::isComplete(bookId)) {
        ctx.fail(QStringLiteral("the book is kept whole already"));
        return detail;
    }
    QObject hold;
    QObject::connect(keeper, &BookKeeper::progressChanged, &hold,
                     [bookId](const QString& book, int stored, int total) {
                         // Held from about a third on: the run on its way still lands, then
                         // no more.
                         if (book == bookId && stored * 3 >= total && stored < total)
                             holdKeeper();
                     });
    if (!keeper->isKept(bookId))
        detail->btnKeep()->click();
    if (!waitFor(ctx, [&] { return keeper->isPaused() || !keeper->isKept(bookId); }))
        ctx.fail(QStringLiteral("the download did not get under way"));
    if (!keeper->isKept(bookId))
        ctx.fail(QStringLiteral("the download ended before it could be held half way"));
    ctx.settle(400);
    detail->refreshKeep();
    return detail;
}

// A free local port with nothing listening on it.
quint16 closedPort() {
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 9;
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

} // namespace

void registerCatalogScreenshots() {
    ScreenshotWalk::add(QStringLiteral("catalog_shelf_empty"), kOrder, [](Context& ctx) {
        ctx.selectTab(0);
        dismissAlerts(ctx);
    });
    ScreenshotWalk::add(QStringLiteral("catalog_detail"), kOrder + 1,
                        [](Context& ctx) { openDetail(ctx, 0); });
    ScreenshotWalk::add(QStringLiteral("catalog_detail_intro_expanded"), kOrder + 2,
                        [](Context& ctx) {
                            BookDetailViewController* detail = openDetail(ctx, 0);
                            if (!detail)
                                return;
                            detail->action(BookDetailViewController::TagOpenAll);
                            ctx.settle(300);
                        });
    ScreenshotWalk::add(QStringLiteral("catalog_source_sites"), kOrder + 3, [](Context& ctx) {
        BookDetailViewController* detail = openDetail(ctx, 0);
        if (!detail)
            return;
        detail->action(BookDetailViewController::TagSiteRss);
        auto* nav = detail->navigationController();
        auto* sites =
            nav ? qobject_cast<SourceSiteViewController*>(nav->topViewController()) : nullptr;
        if (!sites || !waitFor(ctx, [sites] { return !sites->isLoading(); }) ||
            sites->arrSites().isEmpty())
            ctx.fail(QStringLiteral("no source sites listed"));
        ctx.settle(400);
    });
    ScreenshotWalk::add(QStringLiteral("catalog_download_reader"), kOrder + 4,
                        [](Context& ctx) { download(ctx, 0); });
    ScreenshotWalk::add(QStringLiteral("catalog_shelf_books"), kOrder + 5, [](Context& ctx) {
        // A second book, so that the shelf holds more than one.
        download(ctx, 1);
        if (auto* tabs = qobject_cast<TabBarController*>(ctx.window()->rootViewController())) {
            if (auto* nav = qobject_cast<NavigationController*>(tabs->selectedViewController()))
                nav->popToRootViewController(false);
        }
        ctx.selectTab(0);
        dismissAlerts(ctx);
        FirstViewController* shelf = shelfOf(ctx);
        if (!shelf || shelf->bookArr().size() < 2)
            ctx.fail(QStringLiteral("fewer than two books on the shelf"));
    });
    ScreenshotWalk::add(QStringLiteral("catalog_shelf_editing"), kOrder + 6, [](Context& ctx) {
        ctx.selectTab(0);
        dismissAlerts(ctx);
        FirstViewController* shelf = shelfOf(ctx);
        if (!shelf)
            return;
        if (!shelf->isEditing())
            shelf->presentOptions();
        QPointer<FirstViewController> guard(shelf);
        ctx.addCleanUp([guard] {
            if (guard && guard->isEditing())
                guard->presentOptions();
        });
        ctx.settle(200);
    });
    ScreenshotWalk::add(
        QStringLiteral("catalog_keep_detail_progress"), kOrder + 7, [](Context& ctx) {
            BookDetailViewController* detail = keepHalfWay(ctx);
            if (detail && !detail->btnKeep()->text().startsWith(QStringLiteral("已缓存 ")))
                ctx.fail(QStringLiteral("no progress shown"));
            // The download stays held for the shelf's shot; that step lets it go.
        });
    ScreenshotWalk::add(QStringLiteral("catalog_keep_shelf_bar"), kOrder + 8, [](Context& ctx) {
        ctx.addCleanUp([] { releaseKeeper(); });
        if (!keepHalfWay(ctx))
            return;
        if (auto* tabs = qobject_cast<TabBarController*>(ctx.window()->rootViewController())) {
            if (auto* nav = qobject_cast<NavigationController*>(tabs->selectedViewController()))
                nav->popToRootViewController(false);
        }
        ctx.selectTab(0);
        dismissAlerts(ctx);
        FirstViewController* shelf = shelfOf(ctx);
        bool barShown = false;
        if (shelf) {
            for (KeepProgressBar* bar : shelf->findChildren<KeepProgressBar*>())
                barShown = barShown || bar->bookId() == keptBookId();
        }
        if (!barShown)
            ctx.fail(QStringLiteral("no progress bar on the kept book's cover"));
    });
    ScreenshotWalk::add(QStringLiteral("catalog_keep_read_offline"), kOrder + 9, [](Context& ctx) {
        releaseKeeper();
        const QString bookId = keptBookId();
        BookKeeper* keeper = BookKeeper::shared();
        if (!bookId.isEmpty() && !BookKeeper::isComplete(bookId) && !keeper->isKept(bookId))
            keeper->keep(bookId);
        if (!waitFor(
                ctx, [&] { return !keeper->isKept(bookId); }, 60000) ||
            !BookKeeper::isComplete(bookId)) {
            ctx.fail(QStringLiteral("the book was not kept whole"));
            return;
        }
        // The service goes away: everything below comes from what is stored.
        const QString service = ServiceConfig::baseUrl();
        ServiceConfig::setBaseUrl(QStringLiteral("http://127.0.0.1:%1").arg(closedPort()));
        ctx.addCleanUp([service] { ServiceConfig::setBaseUrl(service); });
        // Opened from the shelf at the last chapter, which only the whole-book download stored.
        const int last = BookDb().getMaxChapterId(bookId);
        BookDb().recordLastRead({{QStringLiteral("book_id"), bookId},
                                 {QStringLiteral("chapter_id"), last},
                                 {QStringLiteral("page_id"), 1},
                                 {QStringLiteral("create_time"), tooles::currentTimeStr()}});
        if (auto* tabs = qobject_cast<TabBarController*>(ctx.window()->rootViewController())) {
            if (auto* nav = qobject_cast<NavigationController*>(tabs->selectedViewController()))
                nav->popToRootViewController(false);
        }
        ctx.selectTab(0);
        dismissAlerts(ctx);
        FirstViewController* shelf = shelfOf(ctx);
        QPointer<ReadbooksViewController> reader = shelf ? shelf->readBook(bookId) : nullptr;
        if (!reader) {
            ctx.fail(QStringLiteral("the shelf did not open the book"));
            return;
        }
        if (!readerSettles(ctx, reader))
            ctx.fail(QStringLiteral("the reader did not show the stored chapter"));
        ctx.settle(300);
        if (reader && reader->current_chapter_id != last)
            ctx.fail(QStringLiteral("the reader is not at the last chapter"));
        requireReaderText(ctx, reader);
    });
}
