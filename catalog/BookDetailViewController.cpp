#include "catalog/BookDetailViewController.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QScrollEvent>
#include <QScroller>
#include <QSet>

#include "account/LoginViewController.h"
#include "app/tooles.h"
#include "catalog/BookKeeper.h"
#include "catalog/CoverFiles.h"
#include "catalog/RecommendCell.h"
#include "catalog/SourceSiteViewController.h"
#include "engines/HttpRequest.h"
#include "platform/Images.h"
#include "platform/Localizable.h"
#include "platform/Timing.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "reader/ReadbooksViewController.h"
#include "service/Endpoints.h"
#include "service/Service.h"
#include "storage/BookDb.h"
#include "storage/UserStore.h"
#include "widgets/EGOImageView.h"

namespace {

constexpr int kContentWidth = 320;
constexpr int kIntroTop = 258;
constexpr int kIntroHeight = 40; // about two lines of Arial 14
constexpr int kMaxIntroHeight = 2000;
const QColor kInk(74, 52, 38);
const QColor kSoftInk(122, 98, 78);

QLabel* label(const QString& text, int points, bool bold, const QColor& color, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(points);
    font.setBold(bold);
    l->setFont(font);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, color);
    l->setPalette(palette);
    return l;
}

QFont introFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    return font;
}

// The screens whose back buttons lead out of a chain of detail screens.
bool isListScreen(const ViewController* controller) {
    static const QSet<QString> names = {
        QStringLiteral("CategoryDetailViewController"), QStringLiteral("ReadRecordViewController"),
        QStringLiteral("SearchDetailViewController"),   QStringLiteral("SecondViewController"),
        QStringLiteral("ThirdViewController"),          QStringLiteral("MyFavoriteViewController")};
    return controller && names.contains(QString::fromLatin1(controller->metaObject()->className()));
}

} // namespace

std::function<bool()> BookDetailViewController::wifiAvailable = [] {
    return tooles::IsEnableWIFI();
};

BookDetailViewController::BookDetailViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("BookDetailViewController"));
    setTitle(L("Book detail"));
    setHidesBottomBarWhenPushed(true);
}

BookDetailViewController::~BookDetailViewController() {
    for (HttpRequest* r : {asiRequest.data(), asiRequest2.data(), asiRequest3.data(),
                           asiRequestAlsoread.data(), asiRequest5.data()}) {
        if (r)
            r->clearDelegatesAndCancel();
    }
    if (asiRequest2)
        tooles::removeHUD();
    if (myTableView)
        myTableView->setPullingDelegate(nullptr);
}

BookDetailViewController* BookDetailViewController::pushFrom(ViewController* from,
                                                             const MyBookList& book) {
    auto* nav = from ? from->navigationController() : nullptr;
    if (!nav)
        return nullptr;
    auto* detail = new BookDetailViewController();
    detail->setBookInfo(book);
    nav->pushViewController(detail, true);
    return detail;
}

QString BookDetailViewController::downloadChapters(const QVariant& lastChapterNumber) {
    const int last = Service::textOf(lastChapterNumber).toInt();
    const QString list = last > 0 ? tooles::getChapterIdStr(0, quint32(last)) : QString();
    return list.isEmpty() ? QStringLiteral("1") : list;
}

// --- View

void BookDetailViewController::viewDidLoad() {
    QWidget* background = tooles::bgView(true, false, this);
    background->lower();
    bookid_ = Service::textOf(bookInfo_.myId());

    Button* back = tooles::barButton(this, QString(), QStringLiteral("public_toolBg_Button_back"),
                                     L("back"), TagBack, [this](int tag) { action(tag); });
    back->hide();
    setLeftBarButton(back);
    setHidesBackButton(true);

    myScrollView = new QScrollArea(this);
    myScrollView->setObjectName(QStringLiteral("myScrollView"));
    myScrollView->setFrameShape(QFrame::NoFrame);
    myScrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    myScrollView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    myScrollView->setAutoFillBackground(false);
    myScrollView->viewport()->setAutoFillBackground(false);
    myScrollView->setWidgetResizable(false);
    content_ = new QWidget;
    content_->setObjectName(QStringLiteral("detailContent"));
    content_->setAutoFillBackground(false);
    myScrollView->setWidget(content_);
    const QRect screen = Window::screenBounds();
    myScrollView->setGeometry(0, 0, screen.width(),
                              screen.height() - Window::kStatusBarHeight -
                                  NavigationController::kBarHeight);
    GestureRecognizer::scrollLikeAFinger(myScrollView);
    // Pulling the whole page down past its top refreshes the related books.
    myScrollView->installEventFilter(this);
    if (QScroller* scroller = QScroller::scroller(myScrollView->viewport())) {
        connect(scroller, &QScroller::stateChanged, this, [this](QScroller::State state) {
            if (state == QScroller::Dragging) {
                dragging_ = true;
            } else if (dragging_) {
                dragging_ = false;
                if (myTableView)
                    myTableView->tableViewDidEndDragging();
            }
        });
    }

    buildFacts(content_);
    buildRelatedList(content_);
    content_->resize(kContentWidth, myTableView->geometry().bottom() + 1);

    notify = new NoticeView(this, 20);
    arrReadMore_.clear();
    watchKeeper();
    myTableView->launchRefreshing();
}

void BookDetailViewController::buildFacts(QWidget* content) {
    cover_ = new EGOImageView(Images::named(QStringLiteral("books_nobook")), nullptr, content);
    cover_->setObjectName(QStringLiteral("cover"));
    cover_->setGeometry(15, 15, 80, 110);
    if (!bookInfo_.myCover().isEmpty())
        cover_->setImageURL(QUrl(bookInfo_.myCover()));

    const QStringList texts = {
        bookInfo_.myTitle(), QStringLiteral("作者：%1").arg(bookInfo_.myAuthor()),
        QStringLiteral("分类: %1")
            .arg(bookInfo_.myCategory().value(QStringLiteral("name")).toString()),
        QStringLiteral("更新: %1").arg(bookInfo_.myLast_update_time()),
        QStringLiteral("状态: %1").arg(bookInfo_.myStatus())};
    int y = 14;
    for (int i = 0; i < texts.size(); ++i) {
        QLabel* l = i == 0 ? label(texts.at(i), 18, true, kInk, content)
                           : label(texts.at(i), 13, false, kSoftInk, content);
        l->setGeometry(105, y, 205, i == 0 ? 26 : 20);
        y += i == 0 ? 30 : 21;
        facts_.append(l);
    }

    btnOnlineRead = tooles::createButtonWithTitle(
        QStringLiteral("开始阅读"), Qt::white, 18, this, [this](int tag) { action(tag); },
        QRect(15, 140, 96, 36), QStringLiteral("books_Button_orange"), QString(), TagRead, content);
    btnOnlineRead->setObjectName(QStringLiteral("btnOnlineRead"));
    btnKeep_ = tooles::createButtonWithTitle(
        QStringLiteral("缓存全本"), kInk, 14, this, [this](int tag) { action(tag); },
        QRect(115, 140, 86, 36), QStringLiteral("books_Button_keep"), QString(), TagKeep, content);
    btnKeep_->setObjectName(QStringLiteral("btnKeep"));

    btnFavoritesNo = new Button(content);
    btnFavoritesNo->setObjectName(QStringLiteral("btnFavoritesNo"));
    btnFavoritesNo->setTag(TagFavAdd);
    btnFavoritesNo->setBackgroundImageNamed(QStringLiteral("books_Button_collect_no"));
    btnFavoritesNo->setGeometry(205, 140, 100, 36);
    btnFavoritesNo->setAction(this, [this](int tag) { action(tag); });
    btnFavoritesYes = new Button(content);
    btnFavoritesYes->setObjectName(QStringLiteral("btnFavoritesYes"));
    btnFavoritesYes->setTag(TagFavRemove);
    btnFavoritesYes->setBackgroundImageNamed(QStringLiteral("books_Button_collect_yes"));
    btnFavoritesYes->setGeometry(205, 140, 100, 36);
    btnFavoritesYes->setAction(this, [this](int tag) { action(tag); });
    setFavoriteShown(bookInfo_.myFavorite() == QLatin1String("1"));

    btnSiteRss = new Button(content);
    btnSiteRss->setObjectName(QStringLiteral("btnSiteRss"));
    btnSiteRss->setTag(TagSiteRss);
    btnSiteRss->setGeometry(10, 188, 300, 36);
    btnSiteRss->setAction(this, [this](int tag) { action(tag); });
    QLabel* siteHead = label(QStringLiteral("来源站点:"), 14, false, kSoftInk, btnSiteRss);
    siteHead->setGeometry(6, 0, 70, 36);
    labelReadSite_ = label(bookInfo_.mySource_site_name(), 14, true, kInk, btnSiteRss);
    labelReadSite_->setObjectName(QStringLiteral("labelReadSite"));
    labelReadSite_->setGeometry(76, 0, 150, 36);
    labelSiteNums_ = label(bookInfo_.mySource_site_nums(), 13, false, kSoftInk, btnSiteRss);
    labelSiteNums_->setGeometry(226, 0, 50, 36);
    labelSiteNums_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* arrow = new QLabel(btnSiteRss);
    arrow->setPixmap(Images::named(QStringLiteral("books_siteRss_more")));
    arrow->setGeometry(284, 11, 9, 14);
    for (QWidget* w : btnSiteRss->findChildren<QWidget*>())
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* line = new QWidget(content);
    line->setGeometry(15, 226, 290, 1);
    line->setStyleSheet(QStringLiteral("background: rgba(122, 98, 78, 60);"));

    QLabel* introHead = label(QStringLiteral("内容简介"), 15, true, kInk, content);
    introHead->setGeometry(15, 234, 200, 20);
    labelIntroContent_ =
        label(QStringLiteral("    %1").arg(tooles::flattenHTML(bookInfo_.myIntro())), 14, false,
              kInk, content);
    labelIntroContent_->setObjectName(QStringLiteral("labelIntroContent"));
    labelIntroContent_->setWordWrap(true);
    labelIntroContent_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    labelIntroContent_->setGeometry(15, kIntroTop, 290, kIntroHeight);

    btnOpenAll_ = tooles::createButtonWithTitle(
        QStringLiteral("(全部展开)"), QColor(196, 120, 40), 13, this,
        [this](int tag) { action(tag); }, QRect(225, kIntroTop + kIntroHeight, 80, 20), QString(),
        QString(), TagOpenAll, content);
    btnOpenAll_->setObjectName(QStringLiteral("btnOpenAll"));
}

void BookDetailViewController::buildRelatedList(QWidget* content) {
    labelReadMore_ = label(QStringLiteral("看过此书的用户还看了"), 15, true, kInk, content);
    labelReadMore_->setObjectName(QStringLiteral("labelReadMore"));
    labelReadMore_->setGeometry(15, kIntroTop + kIntroHeight + 20, 290, 22);

    myTableView = new PullingRefreshTableView(
        QRect(10, labelReadMore_->geometry().bottom() + 4, 300, kListHeight), this, content);
    myTableView->setObjectName(QStringLiteral("myTableView"));
    myTableView->setColumnCount(1);
    myTableView->horizontalHeader()->hide();
    myTableView->verticalHeader()->hide();
    myTableView->horizontalHeader()->setStretchLastSection(true);
    myTableView->verticalHeader()->setMinimumSectionSize(1);
    myTableView->setShowGrid(false);
    myTableView->setSelectionMode(QAbstractItemView::SingleSelection);
    myTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    myTableView->setStyleSheet(QStringLiteral(
        "QTableWidget { background: transparent; border: none; }"
        "QTableWidget::item { border-bottom: 1px solid rgb(222, 212, 192); padding: 0; }"
        "QTableWidget::item:selected { background: rgba(196, 150, 80, 60); }"));
    myTableView->viewport()->setAutoFillBackground(false);
    myTableView->setHeaderOnly(true);
    // The page scrolls, not the list.
    QScroller::ungrabGesture(myTableView->viewport());
    myTableView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(myTableView, &QTableWidget::cellClicked, this, [this](int row, int) {
        myTableView->clearSelection();
        openRelated(row);
    });
}

void BookDetailViewController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        // The reader leaves the bar translucent; this screen lies below it.
        nav->setNavigationBarTranslucent(false);
        nav->setNavigationBarHidden(false, animated);
        nav->setToolbarHidden(true, animated);
        nav->setNavigationBarBackgroundImage(QStringLiteral("public_toolBg"));
    }
    if (notify)
        notify->hideNotice();
    // The reader may have stored chapters meanwhile.
    refreshKeep();
}

void BookDetailViewController::viewDidAppear(bool) {
    // Also after the login screen went away, so the favorite state follows the new user.
    if (UserStore::isSignedIn())
        sendBookInfo();
}

ReadbooksViewController* BookDetailViewController::openedReader() const {
    return reader_.data();
}

bool BookDetailViewController::isDownloading() const {
    return downloading_;
}

QStringList BookDetailViewController::factTexts() const {
    QStringList texts;
    for (QLabel* l : facts_)
        texts.append(l->text());
    return texts;
}

// --- Buttons

void BookDetailViewController::action(int tag) {
    switch (tag) {
    case TagBack:
        goBack();
        break;
    case TagFavAdd:
    case TagFavRemove:
        if (UserStore::isSignedIn())
            sendFavorite(tag == TagFavAdd);
        else
            LoginViewController::presentFrom(this);
        break;
    case TagRead:
        startReading();
        break;
    case TagOpenAll:
        openAll();
        break;
    case TagSiteRss:
        openSourceSites();
        break;
    case TagKeep:
        keepWhole();
        break;
    default:
        break;
    }
}

void BookDetailViewController::goBack() {
    NavigationController* nav = navigationController();
    if (!nav)
        return;
    // Detail screens opened from one another are all left at once. Opened from anywhere else
    // (the bookshelf, the walk), back is one level rather than a dead button.
    if (!nav->popToFirst([](ViewController* c) { return isListScreen(c); }, true))
        nav->popViewController(true);
}

void BookDetailViewController::openSourceSites() {
    auto* sites = new SourceSiteViewController();
    sites->book_id = bookid_;
    sites->sourceSite = labelReadSite_->text();
    sites->delegate = this;
    sites->setHidesBottomBarWhenPushed(true);
    if (NavigationController* nav = navigationController())
        nav->pushViewController(sites, true);
    else
        delete sites;
}

void BookDetailViewController::GetSourceSite(const QString& siteName) {
    labelReadSite_->setText(siteName);
}

void BookDetailViewController::openAll() {
    btnOpenAll_->hide();
    const QRect introRect = labelIntroContent_->geometry();
    const QRect needed =
        QFontMetrics(introFont())
            .boundingRect(QRect(0, 0, introRect.width(), kMaxIntroHeight),
                          Qt::TextWordWrap | Qt::AlignLeft, labelIntroContent_->text());
    const int height = qMin(kMaxIntroHeight, qMax(kIntroHeight, needed.height() + 4));
    const QRect intro(introRect.topLeft(), QSize(introRect.width(), height));
    const QRect heading(QPoint(labelReadMore_->x(), intro.bottom() + 1), labelReadMore_->size());
    const QRect list(QPoint(myTableView->x(), heading.bottom() + 5), myTableView->size());
    content_->resize(kContentWidth, list.bottom() + 1);
    Animation::animate(labelIntroContent_, "geometry", intro, 300);
    Animation::animate(labelReadMore_, "geometry", heading, 300);
    Animation::animate(myTableView, "geometry", list, 300);
}

// --- Favorite state

void BookDetailViewController::setFavoriteShown(bool favorite) {
    favoriteShown_ = favorite;
    btnFavoritesYes->setVisible(favorite);
    btnFavoritesNo->setVisible(!favorite);
}

void BookDetailViewController::sendBookInfo() {
    if (asiRequest) {
        asiRequest->clearDelegatesAndCancel();
        asiRequest->deleteLater();
    }
    QVariantMap params{{QStringLiteral("book_id"), bookid_}};
    Service::addToken(params);
    HttpRequest* request = Service::request(Service::signedUrl(Endpoints::bookinfo, params), this);
    asiRequest = request;
    request->setDidFinish([this](HttpRequest* r) {
        r->deleteLater();
        const Service::Answer answer = Service::decode(r);
        const QString fav = Service::textOf(
            answer.dict.value(QStringLiteral("book")).toMap().value(QStringLiteral("is_favouite")));
        if (answer.ok && fav == QLatin1String("1"))
            setFavoriteShown(true);
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        showNetworkNotice();
    });
    request->startAsynchronous();
}

void BookDetailViewController::sendFavorite(bool add) {
    // The answer of an earlier switch would be read against the newer one.
    if (asiRequest3) {
        asiRequest3->clearDelegatesAndCancel();
        asiRequest3->deleteLater();
    }
    currentAction = add ? QStringLiteral("fav") : QStringLiteral("nofav");
    QVariantMap params{{QStringLiteral("book_id"), bookid_},
                       {QStringLiteral("fav"), add ? QStringLiteral("1") : QStringLiteral("0")}};
    Service::addToken(params);
    HttpRequest* request = Service::request(Service::signedUrl(Endpoints::favouite, params), this);
    asiRequest3 = request;
    request->setDidFinish([this, add](HttpRequest* r) {
        r->deleteLater();
        const Service::Answer answer = Service::decode(r);
        if (answer.ok) {
            setFavoriteShown(add);
            showBDK(QStringLiteral("操作成功"), QStringLiteral("read_refresh_yes"));
        } else {
            // The service refuses a sign-in it no longer knows; an error page or a broken body
            // is not its answer and says nothing about the sign-in, which stays.
            if (answer.dict.contains(QStringLiteral("result")))
                tooles::cleanUserToken();
            showBDK(QStringLiteral("操作失败"), QStringLiteral("read_refresh_no"));
        }
        displayNotification();
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        showBDK(QStringLiteral("网络错误"), QStringLiteral("read_refresh_no"));
        displayNotification();
    });
    request->startAsynchronous();
}

// --- Related books

void BookDetailViewController::pullingTableViewDidStartRefreshing(PullingRefreshTableView*) {
    refreshing_ = true;
    Timing::after(1000, this, [this] { getData(); });
}

void BookDetailViewController::pullingTableViewDidStartLoading(PullingRefreshTableView*) {
    Timing::after(1000, this, [this] { getData(); });
}

void BookDetailViewController::getData() {
    if (refreshing_) {
        refreshing_ = false;
        arrReadMore_.clear();
    }
    // Only the newest request's answer fills the list.
    if (asiRequestAlsoread) {
        asiRequestAlsoread->clearDelegatesAndCancel();
        asiRequestAlsoread->deleteLater();
    }
    HttpRequest* request = Service::request(Service::alsoreadUrl(bookid_), this);
    asiRequestAlsoread = request;
    request->setDidFinish([this](HttpRequest* r) {
        r->deleteLater();
        const Service::Answer answer = Service::decode(r);
        if (answer.ok) {
            for (const QVariant& item : answer.dict.value(QStringLiteral("books")).toList()) {
                if (item.typeId() == QMetaType::QVariantMap)
                    arrReadMore_.append(MyBookList::initWithDictionary(item.toMap()));
            }
        }
        reloadRelated();
        myTableView->tableViewDidFinishedLoading();
        myTableView->setReachedTheEnd(true);
        Q_EMIT relatedLoaded();
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        myTableView->tableViewDidFinishedLoading();
        myTableView->setReachedTheEnd(true);
        showNetworkNotice();
        Q_EMIT relatedLoaded();
    });
    request->startAsynchronous();
}

void BookDetailViewController::reloadRelated() {
    myTableView->clearContents();
    myTableView->setRowCount(int(arrReadMore_.size()));
    for (int i = 0; i < arrReadMore_.size(); ++i) {
        myTableView->setRowHeight(i, kRowHeight);
        auto* row = new RecommendCell();
        row->setBook(arrReadMore_.at(i));
        row->setCoverTag(i);
        connect(row, &RecommendCell::coverTapped, this, [this](int index) { openRelated(index); });
        myTableView->setCellWidget(i, 0, row);
    }
}

void BookDetailViewController::openRelated(int row) {
    if (row < 0 || row >= arrReadMore_.size())
        return;
    pushFrom(this, arrReadMore_.at(row));
}

bool BookDetailViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == myScrollView && event->type() == QEvent::Scroll && myTableView) {
        auto* scroll = static_cast<QScrollEvent*>(event);
        // Only a pull past the page's top concerns the list; it is told once when it ends.
        const double y = qMin(0.0, scroll->contentPos().y() + scroll->overshootDistance().y());
        if (y < 0 || pulled_) {
            pulled_ = y < 0;
            myTableView->setContentOffsetY(y);
            myTableView->tableViewDidScroll();
        }
    }
    return ViewController::eventFilter(watched, event);
}

// --- Reading

void BookDetailViewController::startReading() {
    // One download at a time, until its chapters are stored: a second tap would store the book
    // twice or open it half stored.
    if (downloading_)
        return;
    if (BookDb().isExistsTheBook(bookid_)) {
        openStoredBook();
        return;
    }
    if (!mayDownload())
        return;
    download();
}

ReadbooksViewController* BookDetailViewController::openStoredBook() {
    BookDb db;
    tooles::updateReadTime(bookid_);
    const QVariantMap record = db.selectLastReadRecord(bookid_);
    const bool read = db.isReaded(bookid_);
    int chapter =
        read ? record.value(QStringLiteral("chapter_id")).toInt() : db.getMinChapterId(bookid_);
    if (chapter < 1)
        chapter = 1;
    int page = read ? record.value(QStringLiteral("page_id")).toInt() : 1;
    if (page < 1)
        page = 1;
    const QVariantMap stored = db.selectChapterContent(bookid_, chapter);
    return openReader(stored.contains(QStringLiteral("content"))
                          ? stored.value(QStringLiteral("content")).toString()
                          : QString(),
                      chapter, page);
}

ReadbooksViewController* BookDetailViewController::openReader(const QString& text, int chapter,
                                                              int page) {
    NavigationController* nav = navigationController();
    if (!nav)
        return nullptr;
    auto* reader = new ReadbooksViewController();
    reader->str = text;
    reader->book_id = bookid_;
    reader->current_chapter_id = chapter < 1 ? 1 : chapter;
    reader->currentPage = page < 1 ? 1 : page;
    reader->setHidesBottomBarWhenPushed(true);
    reader_ = reader;
    nav->pushViewController(reader, true);
    return reader;
}

void BookDetailViewController::endDownload(bool opened) {
    downloading_ = false;
    Q_EMIT downloadEnded(opened);
}

void BookDetailViewController::download() {
    downloading_ = true;
    tooles::showHUD(QString());
    HttpRequest* request = Service::request(
        Service::getcontentUrl(bookid_, downloadChapters(bookInfo_.myLast_chapter_number())), this);
    request->setShouldContinueWhenAppEntersBackground(true);
    asiRequest2 = request;
    request->setDidFinish([this](HttpRequest* r) {
        r->deleteLater();
        asiRequest2 = nullptr;
        tooles::removeHUD();
        downOk(r);
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        asiRequest2 = nullptr;
        tooles::removeHUD();
        showNetworkNotice();
        endDownload(false);
    });
    request->startAsynchronous();
}

void BookDetailViewController::downOk(HttpRequest* request) {
    const Service::Answer answer = Service::decode(request);
    if (!answer.ok) {
        showNetworkNotice();
        endDownload(false);
        return;
    }
    const QVariant chapters = answer.dict.value(QStringLiteral("chapters"));
    if (!chapters.isValid() || chapters.isNull() || chapters.typeId() != QMetaType::QVariantList) {
        showBDK(QStringLiteral("服务器返回错误"), QStringLiteral("read_refresh_no"));
        displayNotification();
        endDownload(false);
        return;
    }
    const QVariantMap book = answer.dict.value(QStringLiteral("book")).toMap();
    const QString coverUrl = Service::textOf(book.value(QStringLiteral("coverimg")));
    const QString now = tooles::currentTimeStr();
    // The rows of the book all go under the id this screen asked for.
    QString title = Service::textOf(book.value(QStringLiteral("title")));
    if (title.isEmpty())
        title = bookInfo_.myTitle();
    const QVariantMap record{{QStringLiteral("book_id"), bookid_},
                             {QStringLiteral("title"), title},
                             {QStringLiteral("last_chapter_number"),
                              Service::textOf(book.value(QStringLiteral("last_chapter_number")))},
                             {QStringLiteral("download_time"), now},
                             {QStringLiteral("update_time"), now},
                             {QStringLiteral("cover"), CoverFiles::coverName(bookid_, coverUrl)}};
    BookDb db;
    // The keeper may have put the book on the shelf while this download was on its way: the
    // book keeps its one record, and its stored chapters are not this download's to drop.
    const bool onShelfAlready = db.isExistsTheBook(bookid_);
    if (!onShelfAlready && !db.insertBook(record)) {
        db.deleteFromBook(bookid_);
        showNetworkNotice();
        endDownload(false);
        return;
    }
    const QVariantMap stored = answer.dict;
    const bool started =
        db.insertChapterAll(bookid_, stored, this, [this, stored, onShelfAlready](bool ok) {
            chaptersStored(stored, ok, onShelfAlready);
        });
    if (!started)
        chaptersStored(stored, false, onShelfAlready);
}

void BookDetailViewController::chaptersStored(const QVariantMap& answer, bool ok,
                                              bool onShelfAlready) {
    if (!ok) {
        // The book record stays; the shelf opens it and the reader fetches what is missing.
        if (!onShelfAlready)
            BookDb().deleteFromChapter(bookid_);
        showNetworkNotice();
        endDownload(false);
        return;
    }
    const QVariantMap book = answer.value(QStringLiteral("book")).toMap();
    const QString coverUrl = Service::textOf(book.value(QStringLiteral("coverimg")));
    CoverFiles::ensureDirectory();
    if (!coverUrl.isEmpty()) {
        coverSettled_ = false;
        CoverFiles::fetch(QUrl(coverUrl), CoverFiles::coverName(bookid_, coverUrl), bookid_, this,
                          [this](bool) { coverSettled_ = true; });
    }
    getMenu();

    for (const QVariant& item : answer.value(QStringLiteral("chapters")).toList()) {
        const QVariantMap chapter = item.toMap();
        if (item.typeId() != QMetaType::QVariantMap || chapter.isEmpty())
            continue;
        openReader(chapter.value(QStringLiteral("content")).toString(),
                   Service::textOf(chapter.value(QStringLiteral("chapter_number"))).toInt(), 1);
        endDownload(true);
        return;
    }
    endDownload(false);
}

void BookDetailViewController::getMenu() {
    if (asiRequest5) {
        asiRequest5->clearDelegatesAndCancel();
        asiRequest5->deleteLater();
    }
    HttpRequest* request = Service::request(Service::menuUrl(bookid_), this);
    request->setShouldContinueWhenAppEntersBackground(true);
    asiRequest5 = request;
    const QString book = bookid_;
    request->setDidFinish([this, book](HttpRequest* r) {
        r->deleteLater();
        const Service::Answer answer = Service::decode(r);
        if (!answer.ok)
            return;
        BookDb db;
        // A book deleted from the shelf meanwhile gets no table of contents back.
        if (!db.isExistsTheBook(book))
            return;
        if (db.insertChapterMenu(book, answer.dict))
            qInfo("insertChapterMenuOK");
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        showNetworkNotice();
    });
    request->startAsynchronous();
}

// --- Keeping the whole book

void BookDetailViewController::watchKeeper() {
    BookKeeper* keeper = BookKeeper::shared();
    connect(keeper, &BookKeeper::progressChanged, this, [this](const QString& book, int, int) {
        if (book == bookid_)
            refreshKeep();
    });
    connect(keeper, &BookKeeper::stateChanged, this, [this] { refreshKeep(); });
    connect(keeper, &BookKeeper::finished, this, [this](const QString& book, int missing) {
        if (book != bookid_)
            return;
        refreshKeep();
        showBDK(missing > 0 ? QStringLiteral("完成，%1章缺失").arg(missing)
                            : QStringLiteral("完成"),
                QStringLiteral("read_refresh_yes"));
        displayNotification();
    });
    connect(keeper, &BookKeeper::failed, this, [this](const QString& book) {
        if (book != bookid_)
            return;
        refreshKeep();
        showBDK(QStringLiteral("服务器返回错误"), QStringLiteral("read_refresh_no"));
        displayNotification();
    });
    refreshKeep();
}

void BookDetailViewController::refreshKeep() {
    if (!btnKeep_)
        return;
    BookKeeper* keeper = BookKeeper::shared();
    if (keeper->isKept(bookid_)) {
        const BookKeeper::Progress p = keeper->progressOf(bookid_);
        btnKeep_->setText(p.total > 0 ? QStringLiteral("已缓存 %1/%2").arg(p.stored).arg(p.total)
                                      : QStringLiteral("已缓存 0/…"));
        btnKeep_->setFontSize(p.total >= 100 ? 11 : 12);
        btnKeep_->setTitleColor(kInk);
        btnKeep_->setEnabled(true);
    } else if (BookKeeper::isComplete(bookid_)) {
        btnKeep_->setText(QStringLiteral("已缓存全本"));
        btnKeep_->setFontSize(13);
        btnKeep_->setTitleColor(kSoftInk);
        btnKeep_->setEnabled(false);
    } else {
        btnKeep_->setText(QStringLiteral("缓存全本"));
        btnKeep_->setFontSize(14);
        btnKeep_->setTitleColor(kInk);
        btnKeep_->setEnabled(true);
    }
}

void BookDetailViewController::keepWhole() {
    BookKeeper* keeper = BookKeeper::shared();
    if (keeper->isKept(bookid_)) {
        // Chapters stored so far stay; a later tap goes on from there.
        auto* alert = new AlertView(QStringLiteral("提示"), QStringLiteral("停止缓存全本吗？"),
                                    nullptr, QStringLiteral("取消"), {QStringLiteral("确定")});
        alert->setClickHandler(this, [this](AlertView*, int index) {
            if (index == 1)
                BookKeeper::shared()->cancel(bookid_);
            refreshKeep();
        });
        alert->show();
        return;
    }
    if (BookKeeper::isComplete(bookid_))
        return;
    if (!mayDownload())
        return;
    if (!keeper->keep(bookid_, bookInfo_.myTitle()))
        showNetworkNotice();
    refreshKeep();
}

// --- Notices

void BookDetailViewController::showBDK(const QString& text, const QString& imageName) {
    if (!notify)
        notify = new NoticeView(this, 20);
    notify->showBDK(text, imageName);
}

void BookDetailViewController::displayNotification() {
    if (!notify)
        return;
    notify->raise();
    notify->displayNotification();
}

bool BookDetailViewController::mayDownload() {
    if (!UserStore::isSignedIn()) {
        LoginViewController::presentFrom(this);
        return false;
    }
    if (UserDefaults::standard().boolForKey(QStringLiteral("is_open_wifi")) &&
        !(wifiAvailable && wifiAvailable())) {
        showBDK(L("Please open settings not limited wifi download"),
                QStringLiteral("read_refresh_no"));
        displayNotification();
        return false;
    }
    return true;
}

void BookDetailViewController::showNetworkNotice() {
    showBDK(L("The network is not good"), QStringLiteral("read_refresh_no"));
    displayNotification();
}
