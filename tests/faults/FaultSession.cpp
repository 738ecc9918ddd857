#include "tests/faults/FaultSession.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

#include "account/AccountListViewController.h"
#include "account/FeedbackViewController.h"
#include "account/LoginViewController.h"
#include "account/MsgdetailViewController.h"
#include "account/MyInfoViewController.h"
#include "account/MyMsgboxViewController.h"
#include "account/TextField.h"
#include "app/AppDelegate.h"
#include "app/SettingViewController.h"
#include "app/tooles.h"
#include "catalog/BookDetailViewController.h"
#include "catalog/BookKeeper.h"
#include "catalog/BookListPanel.h"
#include "catalog/CategoryDetailViewController.h"
#include "catalog/FifthViewController.h"
#include "catalog/FirstViewController.h"
#include "catalog/FouthViewController.h"
#include "catalog/SearchDetailViewController.h"
#include "catalog/SecondViewController.h"
#include "catalog/SegmentedBookLists.h"
#include "catalog/ThirdViewController.h"
#include "platform/Application.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "reader/BookChapterAndMarkViewController.h"
#include "reader/BookChatperViewController.h"
#include "reader/BookMarkViewController.h"
#include "reader/ReadbooksViewController.h"
#include "service/ListPager.h"
#include "service/Service.h"
#include "storage/BookDb.h"
#include "storage/UserStore.h"
#include "tests/support/TestUtil.h"
#include "widgets/PullLoadingView.h"
#include "widgets/PullingRefreshTableView.h"

namespace faults {

namespace {

// Long enough for a request that the service drops or answers late, and its notice.
constexpr int kAnswerMs = 20000;
constexpr int kRestMs = 20000;

int shownCount(const NoticeView* notice) {
    return notice ? notice->displayCount() : 0;
}

// A notice still on screen takes no new one: an action that must show one waits for it to go.
void awaitNoticeGone(const NoticeView* notice) {
    if (notice)
        testutil::waitUntil([notice] { return !notice->isAnimating(); }, 5000);
}

template <typename T> T* topOf(NavigationController* nav) {
    return nav ? qobject_cast<T*>(nav->topViewController()) : nullptr;
}

// The screen of that class once it is on top of the stack (pushes may end a moment later).
template <typename T> T* awaitTop(NavigationController* nav, int ms = 3000) {
    testutil::waitUntil([nav] { return topOf<T>(nav) != nullptr; }, ms);
    return topOf<T>(nav);
}

// The user pulls the list up past its end and lets go.
// Pull spinners seen turning: the check that none is left running is not an empty one.
int& spinnersSeen() {
    static int seen = 0;
    return seen;
}

void countSpinner(const PullingRefreshTableView* table) {
    if (table->headerView()->state() == PullLoadingView::Loading ||
        table->footerView()->state() == PullLoadingView::Loading)
        ++spinnersSeen();
}

void pullUp(PullingRefreshTableView* table) {
    QCoreApplication::processEvents();
    table->setContentOffsetY(std::max(0, table->contentHeight() - table->height()) + 70);
    table->tableViewDidEndDragging();
    countSpinner(table);
}

// The user pulls the list down past its top and lets go.
void pullDown(PullingRefreshTableView* table) {
    table->setContentOffsetY(-70);
    table->tableViewDidEndDragging();
    countSpinner(table);
}

// Waits until a page load of the list has ended.
void awaitList(const BookListPanel* panel) {
    testutil::waitUntil(
        [panel] { return !panel->pager().isLoading() && !panel->pager().isPending(); }, kAnswerMs);
}

// Waits for a list's first page and, unless that was all, pulls up once for the next.
void firstTwoPages(BookListPanel* panel) {
    awaitList(panel);
    if (!panel->table()->reachedTheEnd()) {
        pullUp(panel->table());
        awaitList(panel);
    }
}

bool laidOut(const QPointer<ReadbooksViewController>& reader) {
    return testutil::waitUntil([&] { return !reader || !reader->isBusy(); }, 60000) && reader;
}

QString screenOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (qobject_cast<const ViewController*>(w) && !qobject_cast<const NavigationController*>(w))
            return QString::fromLatin1(w->metaObject()->className());
    }
    return QStringLiteral("?");
}

} // namespace

// --- NoticeLog

NoticeLog::NoticeLog() {
    qApp->installEventFilter(this);
}

NoticeLog::~NoticeLog() {
    qApp->removeEventFilter(this);
}

bool NoticeLog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        if (qobject_cast<ProgressHUD*>(watched))
            ++overlays_;
        if (auto* notice = qobject_cast<NoticeView*>(watched)) {
            bool covered = false;
            if (QWidget* window = notice->window()) {
                for (const ProgressHUD* hud : window->findChildren<ProgressHUD*>())
                    covered = covered || (hud->isVisible() && !hud->isHiding());
            }
            notices_.append({screenOf(notice), notice->text(), notice->imageName(), covered});
        } else if (auto* alert = qobject_cast<AlertView*>(watched))
            alerts_.append(alert->title().isEmpty()
                               ? alert->message()
                               : alert->title() + QStringLiteral(": ") + alert->message());
    }
    return false;
}

QMap<QString, int> NoticeLog::countsByText() const {
    QMap<QString, int> counts;
    for (const ShownNotice& shown : notices_)
        ++counts[shown.text];
    return counts;
}

// --- SessionReport

QString SessionReport::summary() const {
    QStringList lines;
    lines << QStringLiteral("fault session: %1 s, %2 rounds, %3 steps, %4 failures injected")
                 .arg(elapsedMs / 1000.0, 0, 'f', 1)
                 .arg(rounds)
                 .arg(steps)
                 .arg(failuresInjected);
    QStringList byStep;
    for (auto it = stepsByName.cbegin(); it != stepsByName.cend(); ++it)
        byStep << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    lines << QStringLiteral("  steps: ") + byStep.join(QStringLiteral(", "));
    lines << QStringLiteral("  road: %1 books downloaded, %2 deleted, %3 chapters crossed, "
                            "%4 favorite switches, %5 sign-ins, %6 sign-outs")
                 .arg(booksDownloaded)
                 .arg(booksDeleted)
                 .arg(chaptersCrossed)
                 .arg(favoriteSwitches)
                 .arg(signIns)
                 .arg(signOuts);
    lines << QStringLiteral("  rows deleted from the member center's lists: %1").arg(rowsDeleted);
    lines << QStringLiteral("  progress overlays shown: %1, pull spinners seen turning: %2")
                 .arg(overlaysShown)
                 .arg(spinnersSeen);
    for (auto it = silentFailures.cbegin(); it != silentFailures.cend(); ++it)
        lines << QStringLiteral("  failed without a notice, as designed: %1 × %2")
                     .arg(it.value())
                     .arg(it.key());
    lines << QStringLiteral("  notices:");
    for (auto it = noticesByText.cbegin(); it != noticesByText.cend(); ++it)
        lines << QStringLiteral("    %1 × \"%2\"").arg(it.value(), 4).arg(it.key());
    lines << QStringLiteral("  alerts:");
    for (auto it = alertsByText.cbegin(); it != alertsByText.cend(); ++it)
        lines << QStringLiteral("    %1 × \"%2\"").arg(it.value(), 4).arg(it.key());
    for (int i = 0; i < checkpoints.size(); ++i)
        lines << QStringLiteral("  library after round %1: %2")
                     .arg(i + 1)
                     .arg(checkpoints.at(i).summary());
    lines << QStringLiteral("  library at the end: ") + library.summary();
    for (const QString& problem : library.problems)
        lines << QStringLiteral("    ") + problem;
    lines << QStringLiteral("  faults: %1").arg(faults.size());
    for (const QString& f : faults)
        lines << QStringLiteral("    ") + f;
    return lines.join(QLatin1Char('\n'));
}

// --- FaultSession

FaultSession::FaultSession(Options options)
    : options_(std::move(options)), random_(options_.seed) {}

FaultSession::~FaultSession() {
    Application::shared().setDelegate(nullptr);
    delete app_;
    delete log_;
}

bool FaultSession::timeIsUp() const {
    return clock_.elapsed() >= qint64(options_.seconds) * 1000;
}

int FaultSession::pick(int below) {
    return below <= 1 ? 0 : std::uniform_int_distribution<int>(0, below - 1)(random_);
}

TabBarController* FaultSession::tabs() const {
    return app_ ? app_->tabbarcontroller() : nullptr;
}

NavigationController* FaultSession::stack(int tab) const {
    TabBarController* bar = tabs();
    if (!bar || tab >= bar->viewControllers().size())
        return nullptr;
    return qobject_cast<NavigationController*>(bar->viewControllers().at(tab));
}

ViewController* FaultSession::selectTab(int tab) {
    NavigationController* nav = stack(tab);
    if (!nav)
        return nullptr;
    nav->popToRootViewController(false);
    tabs()->setSelectedIndex(tab);
    QCoreApplication::processEvents();
    return nav->rootViewController();
}

void FaultSession::dismissAlerts() {
    QCoreApplication::processEvents();
    for (AlertView* alert : AlertView::visibleAlerts())
        alert->dismiss();
    QCoreApplication::processEvents();
}

bool FaultSession::atRest() const {
    const Window* window = app_ ? app_->window() : nullptr;
    if (!window)
        return true;
    for (const ProgressHUD* hud : window->findChildren<ProgressHUD*>()) {
        if (hud->isVisible() && !hud->isHiding())
            return false;
    }
    for (const PullLoadingView* strip : window->findChildren<PullLoadingView*>()) {
        if (strip->state() == PullLoadingView::Loading)
            return false;
    }
    return true;
}

QString FaultSession::whatIsRunning() const {
    QStringList running;
    const Window* window = app_ ? app_->window() : nullptr;
    if (!window)
        return {};
    for (const ProgressHUD* hud : window->findChildren<ProgressHUD*>()) {
        if (hud->isVisible() && !hud->isHiding())
            running << QStringLiteral("progress overlay \"%1\"").arg(hud->labelText());
    }
    for (const PullLoadingView* strip : window->findChildren<PullLoadingView*>()) {
        if (strip->state() == PullLoadingView::Loading)
            running << QStringLiteral("pull spinner on %1").arg(screenOf(strip));
    }
    return running.join(QStringLiteral(", "));
}

void FaultSession::fault(const QString& step, const QString& what) {
    const QString line = QStringLiteral("round %1, %2: %3").arg(report_.rounds).arg(step, what);
    qWarning("fault session: %s", qPrintable(line));
    report_.faults.append(line);
}

void FaultSession::checkpoint(const QString& step) {
    ++report_.steps;
    ++report_.stepsByName[step];
    dismissAlerts();
    if (!testutil::waitUntil([this] { return atRest(); }, kRestMs)) {
        fault(step, QStringLiteral("left running once its requests were done: ") + whatIsRunning());
        // Taken down so that the next step starts clean and reports its own.
        tooles::removeHUD();
    }
}

SessionReport FaultSession::run() {
    // A launch past the guide, with the settings a first launch writes.
    UserDefaults& defaults = UserDefaults::standard();
    defaults.setObject(QStringLiteral("everLaunched"), true);
    defaults.setObject(QStringLiteral("firstLaunch"), false);
    defaults.setObject(QStringLiteral("FontSizeId"), QStringLiteral("18"));
    defaults.setObject(QStringLiteral("LightSizeId"), QStringLiteral("100"));
    defaults.setObject(QStringLiteral("ReadType"), 1);
    defaults.setObject(QStringLiteral("is_open_wifi"), false);
    defaults.synchronize();
    BookDetailViewController::wifiAvailable = [] { return true; };
    BookKeeper::internetReachable = [] { return true; };
    BookKeeper::wifiReachable = [] { return true; };
    BookKeeper::shared()->setRetryDelayMs(200);

    log_ = new NoticeLog();
    app_ = new AppDelegate();
    Application::shared().setDelegate(app_);
    Application::shared().launch();
    clock_.start();

    while (!timeIsUp()) {
        ++report_.rounds;
        const std::function<void()> road[] = {
            [this] { signInStep(); },
            [this] { shelfStep(); },
            [this] { listsStep(1, QStringLiteral("recommendations")); },
            [this] { listsStep(2, QStringLiteral("rankings")); },
            [this] { categoriesStep(); },
            [this] { searchStep(); },
            [this] {
                BookDetailViewController* detail = openDetailFromRankings();
                QPointer<ReadbooksViewController> reader = downloadStep(detail);
                if (reader && !timeIsUp())
                    readStep(reader, QStringLiteral("read"));
                if (reader && !timeIsUp())
                    contentsStep(reader);
                if (reader && !timeIsUp() && pick(4) == 0) {
                    // The reader stays open on its tab while its book leaves the shelf.
                    const QString bookId = reader->book_id;
                    deleteFromShelf(bookId);
                    tabs()->setSelectedIndex(2);
                    testutil::waitUntil([&] { return !reader; }, 2000);
                    if (reader)
                        fault(QStringLiteral("delete"),
                              QStringLiteral("the reader of deleted book %1 stayed open on its "
                                             "tab")
                                  .arg(bookId));
                    checkpoint(QStringLiteral("delete while reading"));
                }
                selectTab(2);
            },
            [this] { keepStep(); },
            [this] { memberStep(); },
            [this] { signOutStep(); },
        };
        for (const auto& step : road) {
            if (timeIsUp())
                break;
            step();
        }
        if (options_.checkpointEveryRounds > 0 &&
            report_.rounds % options_.checkpointEveryRounds == 0)
            report_.checkpoints.append(checkLibrary(options_.serviceText));
    }

    // The session ends: whatever was asked gets its answer, then the app must be at rest.
    for (int tab = 0; tab < 5; ++tab)
        selectTab(tab);
    selectTab(0);
    checkpoint(QStringLiteral("end"));
    BookKeeper* keeper = BookKeeper::shared();
    for (const QString& book : keeper->queuedBooks())
        keeper->cancel(book);
    testutil::spin(200);

    report_.elapsedMs = clock_.elapsed();
    report_.library = checkLibrary(options_.serviceText);
    report_.noticesByText = log_->countsByText();
    for (const QString& alert : log_->alerts())
        ++report_.alertsByText[alert];
    report_.failuresInjected = options_.failuresInjected ? options_.failuresInjected() : 0;
    report_.notices = log_->notices();
    report_.overlaysShown = log_->overlaysShown();
    report_.spinnersSeen = spinnersSeen();
    return report_;
}

// --- The road

bool FaultSession::signInStep() {
    const QString step = QStringLiteral("sign-in");
    if (UserStore::isSignedIn())
        return true;
    auto* shelf = qobject_cast<FirstViewController*>(selectTab(0));
    if (!shelf)
        return false;
    shelf->toMyCenter();
    QPointer<LoginViewController> login;
    testutil::waitUntil(
        [&] {
            for (LoginViewController* l : app_->window()->findChildren<LoginViewController*>())
                login = l;
            return !login.isNull();
        },
        5000);
    if (!login) {
        fault(step, QStringLiteral("the shelf's user button did not open the login screen"));
        return false;
    }
    for (int attempt = 0; attempt < 5 && login && !UserStore::isSignedIn(); ++attempt) {
        login->usernameTextfield()->setText(options_.account);
        login->passwordTextfield()->setText(options_.password);
        awaitNoticeGone(login->notify());
        const int before = shownCount(login->notify());
        login->action(3);
        testutil::waitUntil(
            [&] {
                return !login || UserStore::isSignedIn() ||
                       (shownCount(login->notify()) > before && atRest());
            },
            kAnswerMs);
        if (login && !UserStore::isSignedIn() && shownCount(login->notify()) == before)
            fault(step, QStringLiteral("a failed sign-in showed no notice"));
    }
    testutil::waitUntil([&] { return !login || !UserStore::isSignedIn(); }, 5000);
    if (login) {
        if (UserStore::isSignedIn())
            fault(step, QStringLiteral("the login screen stayed after signing in"));
        login->action(1);
    }
    if (UserStore::isSignedIn())
        ++report_.signIns;
    checkpoint(step);
    return UserStore::isSignedIn();
}

void FaultSession::deleteFromShelf(const QString& bookId) {
    auto* shelf = qobject_cast<FirstViewController*>(stack(0)->rootViewController());
    tabs()->setSelectedIndex(0);
    QCoreApplication::processEvents();
    const QVariantList books = shelf->bookArr();
    for (int i = 0; i < books.size(); ++i) {
        if (books.at(i).toMap().value(QStringLiteral("book_id")).toString() != bookId)
            continue;
        shelf->presentOptions();
        shelf->GMGridViewDeleteItemAtIndex(shelf->gridView(), i);
        shelf->presentOptions();
        ++report_.booksDeleted;
        break;
    }
    if (!BookDb().selectBookByBookid(bookId).isEmpty())
        fault(QStringLiteral("delete"), QStringLiteral("book %1 stayed on the shelf").arg(bookId));
}

void FaultSession::shelfStep() {
    const QString step = QStringLiteral("shelf");
    auto* shelf = qobject_cast<FirstViewController*>(selectTab(0));
    dismissAlerts();
    // Now and then a book goes, whole book downloads included.
    if (shelf && shelf->bookArr().size() >= 3 && pick(3) == 0) {
        const QStringList kept = BookKeeper::shared()->queuedBooks();
        deleteFromShelf(!kept.isEmpty() ? kept.first()
                                        : shelf->bookArr()
                                              .at(pick(int(shelf->bookArr().size())))
                                              .toMap()
                                              .value(QStringLiteral("book_id"))
                                              .toString());
        checkpoint(QStringLiteral("delete"));
    }
    if (shelf && !shelf->bookArr().isEmpty()) {
        const QVariantList books = shelf->bookArr();
        const QString bookId =
            books.at(pick(int(books.size()))).toMap().value(QStringLiteral("book_id")).toString();
        QPointer<ReadbooksViewController> reader = shelf->readBook(bookId);
        if (!reader)
            fault(step, QStringLiteral("the shelf did not open book %1").arg(bookId));
        else if (laidOut(reader))
            readStep(reader, step);
        selectTab(0);
    }
    checkpoint(step);
}

void FaultSession::listsStep(int tab, const QString& name) {
    ViewController* screen = selectTab(tab);
    SegmentedBookLists* lists = nullptr;
    const int segment = pick(2);
    if (auto* second = qobject_cast<SecondViewController*>(screen)) {
        second->segmentedControlChangedValue(segment);
        lists = second->lists();
    } else if (auto* third = qobject_cast<ThirdViewController*>(screen)) {
        third->segmentedControlChangedValue(segment);
        lists = third->lists();
    }
    BookListPanel* panel = lists ? lists->panel(segment) : nullptr;
    if (!panel) {
        fault(name, QStringLiteral("no list to show"));
        return;
    }
    awaitList(panel);
    // Pages further on, and once from the top again.
    const int pulls = 1 + pick(3);
    for (int i = 0; i < pulls && !panel->table()->reachedTheEnd(); ++i) {
        pullUp(panel->table());
        awaitList(panel);
    }
    if (panel->books().isEmpty() || pick(2) == 0) {
        pullDown(panel->table());
        if (pick(3) == 0) {
            // The other segment while this one still loads, and back.
            lists->segmentedControlChangedValue(1 - segment);
            awaitList(lists->panel(1 - segment));
            lists->segmentedControlChangedValue(segment);
        }
        awaitList(panel);
    }
    if (panel->table()->rowCount() != panel->books().size())
        fault(name, QStringLiteral("the list shows %1 rows for %2 books")
                        .arg(panel->table()->rowCount())
                        .arg(panel->books().size()));
    checkpoint(name);
}

void FaultSession::categoriesStep() {
    const QString step = QStringLiteral("categories");
    auto* categories = qobject_cast<FouthViewController*>(selectTab(3));
    if (!categories)
        return;
    // A failed fetch is asked again the next time the tab comes into view.
    for (int attempt = 0; attempt < 3 && categories->categoryArr.isEmpty(); ++attempt) {
        testutil::waitUntil([&] { return !categories->isLoading(); }, kAnswerMs);
        if (categories->categoryArr.isEmpty()) {
            selectTab(0);
            selectTab(3);
        }
    }
    testutil::waitUntil([&] { return !categories->isLoading(); }, kAnswerMs);
    const QList<Button*> buttons = categories->categoryButtons();
    if (!buttons.isEmpty()) {
        categories->onClick(buttons.at(pick(int(buttons.size())))->tag());
        if (auto* detail = awaitTop<CategoryDetailViewController>(stack(3))) {
            detail->loadViewIfNeeded();
            firstTwoPages(detail->list());
        } else {
            fault(step, QStringLiteral("a category did not open its books"));
        }
    }
    checkpoint(step);
    selectTab(3);
}

void FaultSession::searchStep() {
    const QString step = QStringLiteral("search");
    auto* search = qobject_cast<FifthViewController*>(selectTab(4));
    if (!search)
        return;
    static const char* const keywords[] = {"剑", "仙", "城", "山"};
    if (!search->searchResultList.isEmpty() && pick(2) == 0) {
        search->didSelectRow(pick(int(search->searchResultList.size())));
    } else {
        search->searchBarTextDidBeginEditing();
        search->searchBar()->setText(QString::fromUtf8(keywords[pick(4)]));
        search->searchBarSearchButtonClicked();
    }
    if (auto* results = awaitTop<SearchDetailViewController>(stack(4))) {
        results->loadViewIfNeeded();
        firstTwoPages(results->list());
    } else {
        fault(step, QStringLiteral("a search did not open its results"));
    }
    checkpoint(step);
    selectTab(4);
}

BookDetailViewController* FaultSession::openDetailFromRankings() {
    const QString step = QStringLiteral("detail");
    auto* ranking = qobject_cast<ThirdViewController*>(selectTab(2));
    if (!ranking)
        return nullptr;
    ranking->segmentedControlChangedValue(0);
    BookListPanel* panel = ranking->lists()->panel(0);
    awaitList(panel);
    for (int attempt = 0; attempt < 4 && panel->books().isEmpty(); ++attempt) {
        pullDown(panel->table());
        awaitList(panel);
    }
    if (panel->books().isEmpty())
        return nullptr;
    // The first page holds the books with few enough chapters to read across several.
    panel->openBook(pick(int(std::min<qsizetype>(panel->books().size(), 11))));
    QPointer<BookDetailViewController> detail = awaitTop<BookDetailViewController>(stack(2));
    if (!detail) {
        fault(step, QStringLiteral("a book's row did not open its detail"));
        return nullptr;
    }
    bool related = false;
    QObject::connect(detail, &BookDetailViewController::relatedLoaded, detail,
                     [&related] { related = true; });
    detail->loadViewIfNeeded();
    if (pick(5) == 0) {
        // Back before the answers are in; the next book is opened instead.
        testutil::spin(20);
        ranking->navigationController()->popToRootViewController(false);
        checkpoint(QStringLiteral("detail left early"));
        panel->openBook(pick(int(std::min<qsizetype>(panel->books().size(), 11))));
        detail = awaitTop<BookDetailViewController>(stack(2));
        if (!detail)
            return nullptr;
        QObject::connect(detail, &BookDetailViewController::relatedLoaded, detail,
                         [&related] { related = true; });
        detail->loadViewIfNeeded();
    }
    testutil::waitUntil([&] { return !detail || related; }, kAnswerMs);
    if (detail && UserStore::isSignedIn() && pick(2) == 0) {
        // The favorite switch. The service refuses it only for a sign-in it no longer knows,
        // which this session never has: whatever fails, the reader stays signed in.
        awaitNoticeGone(detail->notice());
        const int before = shownCount(detail->notice());
        detail->action(detail->showsFavorite() ? BookDetailViewController::TagFavRemove
                                               : BookDetailViewController::TagFavAdd);
        testutil::waitUntil([&] { return !detail || shownCount(detail->notice()) > before; },
                            kAnswerMs);
        ++report_.favoriteSwitches;
        if (detail && shownCount(detail->notice()) == before)
            fault(QStringLiteral("favorite"), QStringLiteral("the switch showed no notice"));
        if (!UserStore::isSignedIn())
            fault(QStringLiteral("favorite"),
                  QStringLiteral("a failed favorite switch signed the reader out (notice \"%1\")")
                      .arg(detail && detail->notice() ? detail->notice()->text() : QString()));
    }
    checkpoint(step);
    return detail;
}

ReadbooksViewController* FaultSession::downloadStep(BookDetailViewController* detailScreen) {
    const QString step = QStringLiteral("download");
    QPointer<BookDetailViewController> detail = detailScreen;
    if (!detail)
        return nullptr;
    const bool stored =
        !BookDb().selectBookByBookid(Service::textOf(detail->bookInfo().myId())).isEmpty();
    for (int attempt = 0; attempt < 4 && detail; ++attempt) {
        bool ended = false, opened = false;
        QObject::connect(detail, &BookDetailViewController::downloadEnded, detail, [&](bool o) {
            ended = true;
            opened = o;
        });
        awaitNoticeGone(detail->notice());
        const int before = shownCount(detail->notice());
        detail->action(BookDetailViewController::TagRead);
        testutil::waitUntil(
            [&] {
                return !detail || ended || (detail->openedReader() && !detail->isDownloading());
            },
            kAnswerMs);
        if (!detail)
            break;
        QObject::disconnect(detail, &BookDetailViewController::downloadEnded, nullptr, nullptr);
        if (QPointer<ReadbooksViewController> reader = detail->openedReader()) {
            if (!stored && opened)
                ++report_.booksDownloaded;
            const bool shown = laidOut(reader);
            checkpoint(step);
            return shown ? reader.data() : nullptr;
        }
        testutil::waitUntil([&] { return !detail || atRest(); }, kRestMs);
        if (detail && ended && shownCount(detail->notice()) == before)
            fault(step, QStringLiteral("a failed download showed no notice"));
    }
    checkpoint(step);
    return nullptr;
}

void FaultSession::readStep(ReadbooksViewController* readerScreen, const QString& step) {
    QPointer<ReadbooksViewController> reader = readerScreen;
    const int turns = 6 + pick(12);
    for (int turn = 0; turn < turns && reader && !timeIsUp(); ++turn) {
        const int chapter = reader->current_chapter_id;
        const int page = reader->currentPage;
        const bool atTheEnd = chapter >= reader->getLastChapterNumber() && page >= reader->allPage;
        awaitNoticeGone(reader->notice());
        const int before = shownCount(reader->notice());
        // Mostly forward, now and then back, a chapter on or back, a jump ahead, a refresh.
        const int move = pick(20);
        bool mustShowNotice = false;
        if (move < 14) {
            reader->downPage();
        } else if (move < 16) {
            reader->upPage();
        } else if (move == 16) {
            reader->action(2);
        } else if (move == 17) {
            reader->action(1);
        } else if (move == 18) {
            const int target = std::min(reader->getLastChapterNumber(), chapter + 2 + pick(10));
            if (target != chapter)
                reader->changePlan(QString::number(target));
            else
                reader->downPage();
        } else {
            reader->showPop(1);
            mustShowNotice = true;
        }
        if (!laidOut(reader))
            break;
        testutil::waitUntil([&] { return !reader || atRest(); }, kRestMs);
        if (!reader)
            break;
        if (reader->current_chapter_id != chapter)
            ++report_.chaptersCrossed;
        const bool moved = reader->current_chapter_id != chapter || reader->currentPage != page;
        if ((!moved || mustShowNotice) && shownCount(reader->notice()) == before)
            fault(step,
                  QStringLiteral("move %1 from chapter %2 page %3 of book %4 did "
                                 "nothing and showed no notice%5")
                      .arg(move)
                      .arg(chapter)
                      .arg(page)
                      .arg(reader->book_id, atTheEnd ? QStringLiteral(" at the end") : QString()));
    }
    checkpoint(step);
}

void FaultSession::contentsStep(ReadbooksViewController* readerScreen) {
    const QString step = QStringLiteral("contents");
    QPointer<ReadbooksViewController> reader = readerScreen;
    NavigationController* nav = reader->navigationController();
    const QString bookId = reader->book_id;

    // A bookmark on the page shown (or taken off again), then the contents.
    awaitNoticeGone(reader->notice());
    const int before = shownCount(reader->notice());
    reader->action(4);
    if (shownCount(reader->notice()) == before)
        fault(step, QStringLiteral("the bookmark button showed no notice"));
    reader->action(3);
    QPointer<BookChapterAndMarkViewController> contents =
        awaitTop<BookChapterAndMarkViewController>(nav);
    if (!contents) {
        fault(step, QStringLiteral("the contents did not open"));
        return;
    }
    contents->loadViewIfNeeded();
    BookChatperViewController* chapters = contents->ChatperView();
    testutil::waitUntil([&] { return !contents || atRest(); }, kRestMs);
    if (!contents)
        return;
    // A chapter that is not stored yet, fetched from the list.
    QList<int> missing;
    for (int row = 0; row < chapters->tableView()->count(); ++row) {
        if (chapters->chapterList.value(row)
                .toMap()
                .value(QStringLiteral("downstatus"))
                .toString() != QLatin1String("1"))
            missing.append(row);
    }
    if (!missing.isEmpty()) {
        const int row = missing.at(pick(int(std::min<qsizetype>(missing.size(), 20))));
        chapters->didSelectRow(row);
        // The fetch runs under the progress overlay; its end opens a reader or shows a notice.
        testutil::spin(50);
        testutil::waitUntil([&] { return !contents || atRest(); }, kAnswerMs);
        if (QPointer<ReadbooksViewController> opened =
                awaitTop<ReadbooksViewController>(nav, 500)) {
            if (laidOut(opened))
                readStep(opened, QStringLiteral("read from the contents"));
        }
    }
    checkpoint(step);

    // The bookmarks: the one set above opens without the network.
    auto* top = topOf<ReadbooksViewController>(nav);
    if (!top || timeIsUp())
        return;
    top->action(3);
    contents = awaitTop<BookChapterAndMarkViewController>(nav);
    if (!contents)
        return;
    contents->loadViewIfNeeded();
    contents->segmentedControlChangedValue(1);
    BookMarkViewController* marks = contents->MarkView();
    if (!marks->markList.isEmpty()) {
        marks->didSelectRow(0);
        QPointer<ReadbooksViewController> opened = awaitTop<ReadbooksViewController>(nav);
        if (!opened || !laidOut(opened) || opened->book_id != bookId)
            fault(QStringLiteral("bookmarks"), QStringLiteral("a bookmark did not open its page"));
    }
    checkpoint(QStringLiteral("bookmarks"));
}

void FaultSession::keepStep() {
    const QString step = QStringLiteral("keep");
    if (!UserStore::isSignedIn())
        return;
    QPointer<BookDetailViewController> detail = openDetailFromRankings();
    if (!detail)
        return;
    if (detail->btnKeep() && detail->btnKeep()->isEnabled())
        detail->action(BookDetailViewController::TagKeep);
    // The keeper goes on in the background; a little of it is watched here.
    testutil::spin(2000);
    checkpoint(step);
    selectTab(2);
}

MyInfoViewController* FaultSession::openMemberCenter() {
    auto* shelf = qobject_cast<FirstViewController*>(selectTab(0));
    if (!shelf)
        return nullptr;
    shelf->toMyCenter();
    MyInfoViewController* center = awaitTop<MyInfoViewController>(stack(0));
    if (center)
        center->loadViewIfNeeded();
    return center;
}

void FaultSession::memberStep() {
    const QString step = QStringLiteral("member");
    if (!UserStore::isSignedIn())
        return;
    NavigationController* nav = stack(0);
    QPointer<MyInfoViewController> center = openMemberCenter();
    if (!center) {
        fault(step, QStringLiteral("the user button did not open the member center"));
        return;
    }

    // Reading records, favorites and messages, each paged once further.
    static const char* const names[] = {"records", "favorites", "messages"};
    for (int row = 0; row < 3 && center && !timeIsUp(); ++row) {
        center->didSelectRow(row);
        QPointer<AccountListViewController> list = awaitTop<AccountListViewController>(nav);
        if (!list) {
            fault(step, QStringLiteral("the member center did not open its %1").arg(names[row]));
            continue;
        }
        list->loadViewIfNeeded();
        if (pick(5) == 0) {
            // Back while the first page is on its way, then in again.
            testutil::spin(20);
            nav->popToViewController(center, false);
            checkpoint(QStringLiteral("list left early"));
            center->didSelectRow(row);
            list = awaitTop<AccountListViewController>(nav);
            if (!list)
                continue;
            list->loadViewIfNeeded();
        }
        testutil::waitUntil([&] { return !list || list->loadsEnded() > 0; }, kAnswerMs);
        if (list && !list->tableView()->reachedTheEnd()) {
            const int ended = list->loadsEnded();
            pullUp(list->tableView());
            testutil::waitUntil([&] { return !list || list->loadsEnded() > ended; }, kAnswerMs);
        }
        if (list && list->itemCount() > 0 && pick(3) == 0) {
            // One row deleted: it goes at once, and comes back with "删除失败" when the
            // service does not confirm.
            list->action(AccountListViewController::TagEdit);
            awaitNoticeGone(list->notice());
            const int rows = list->itemCount();
            const int before = shownCount(list->notice());
            list->commitDeleteRow(0);
            testutil::waitUntil([&] { return !list || (!list->removalRequest() && atRest()); },
                                kAnswerMs);
            if (list) {
                const bool gone = list->itemCount() == rows - 1;
                const bool back = list->itemCount() == rows && shownCount(list->notice()) > before;
                if (!gone && !back)
                    fault(QString::fromLatin1(names[row]),
                          QStringLiteral("a deletion left %1 rows of %2 and showed %3 notices")
                              .arg(list->itemCount())
                              .arg(rows)
                              .arg(shownCount(list->notice()) - before));
                ++report_.rowsDeleted;
                list->action(AccountListViewController::TagConfirm);
            }
        }
        if (auto* box = qobject_cast<MyMsgboxViewController*>(list.data());
            box && box->itemCount() > 0) {
            box->didSelectRow(0);
            if (!awaitTop<MsgdetailViewController>(nav))
                fault(QStringLiteral("messages"), QStringLiteral("a message did not open"));
        }
        checkpoint(QString::fromLatin1(names[row]));
        if (center)
            nav->popToViewController(center, false);
    }

    // Feedback: every outcome shows its notice.
    if (center && !timeIsUp()) {
        center->didSelectRow(3);
        if (QPointer<FeedbackViewController> form = awaitTop<FeedbackViewController>(nav)) {
            form->loadViewIfNeeded();
            if (pick(2))
                form->change2();
            form->textFeedback()->setPlainText(QStringLiteral("翻页时希望能有一点纸张的声音。"));
            awaitNoticeGone(form->notify());
            const int before = shownCount(form->notify());
            form->action(1);
            testutil::waitUntil(
                [&] { return !form || (shownCount(form->notify()) > before && atRest()); },
                kAnswerMs);
            if (form && shownCount(form->notify()) == before)
                fault(QStringLiteral("feedback"), QStringLiteral("sending showed no notice"));
        } else {
            fault(QStringLiteral("feedback"), QStringLiteral("the feedback form did not open"));
        }
        checkpoint(QStringLiteral("feedback"));
        if (center)
            nav->popToViewController(center, false);
    }
    selectTab(0);
}

void FaultSession::signOutStep() {
    const QString step = QStringLiteral("sign-out");
    if (!UserStore::isSignedIn())
        return;
    NavigationController* nav = stack(0);
    QPointer<MyInfoViewController> center = openMemberCenter();
    if (!center)
        return;
    center->action(2);
    QPointer<SettingViewController> settings = awaitTop<SettingViewController>(nav);
    if (!settings) {
        fault(step, QStringLiteral("the settings did not open"));
        return;
    }
    settings->loadViewIfNeeded();
    if (pick(2) == 0) {
        // The reading records kept by the service cleared: every outcome shows a notice.
        awaitNoticeGone(settings->findChild<NoticeView*>());
        const int before = shownCount(settings->findChild<NoticeView*>());
        settings->didSelectRow(2, 0);
        testutil::waitUntil(
            [&] { return !settings || shownCount(settings->findChild<NoticeView*>()) > before; },
            kAnswerMs);
        if (settings && shownCount(settings->findChild<NoticeView*>()) == before)
            fault(QStringLiteral("clear records"), QStringLiteral("showed no notice"));
        checkpoint(QStringLiteral("clear records"));
    }
    for (int attempt = 0; attempt < 5 && settings && UserStore::isSignedIn(); ++attempt) {
        const int before = shownCount(settings->findChild<NoticeView*>());
        settings->actionBtn(2);
        testutil::waitUntil([&] { return !settings || !UserStore::isSignedIn() || atRest(); },
                            kAnswerMs);
        testutil::waitUntil([&] { return atRest(); }, kRestMs);
        // A refusal (an answer other than "ok") leaves the reader signed in without a word.
        if (settings && UserStore::isSignedIn() &&
            shownCount(settings->findChild<NoticeView*>()) == before)
            ++report_.silentFailures[step];
    }
    if (!UserStore::isSignedIn()) {
        ++report_.signOuts;
        if (nav->topViewController() != nav->rootViewController())
            fault(step, QStringLiteral("signing out left the member center's screens open"));
    }
    checkpoint(step);
    selectTab(0);
}

} // namespace faults
