#include "reader/ReadbooksViewController.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "app/tooles.h"
#include "engines/HttpRequest.h"
#include "platform/Images.h"
#include "platform/Localizable.h"
#include "platform/Timing.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"
#include "reader/BookChapterAndMarkViewController.h"
#include "reader/ChapterPolicy.h"
#include "reader/ReaderPopovers.h"
#include "reader/ReaderSettings.h"
#include "reader/ReaderToolbarItems.h"
#include "service/Endpoints.h"
#include "service/Service.h"
#include "storage/BookDb.h"
#include "storage/ReadingPositions.h"

namespace {

constexpr int kTurnMs = 600;
constexpr int kBarsMs = 300;
constexpr int kMarkMs = 300;
constexpr int kErrorButtonSize = 49;
constexpr int kMarkX = 284;
const QSize kMarkSize(20, 41);

const char kUpdateOk[] = "更新成功！";
const char kUpdateFailed[] = "更新失败！";

// The first non-empty chapter object of a /data/getcontent answer; empty when there is none.
QVariantMap firstChapter(const QVariantMap& answer) {
    for (const QVariant& v : answer.value(QStringLiteral("chapters")).toList()) {
        const QVariantMap entry = v.toMap();
        if (!entry.isEmpty())
            return entry;
    }
    return {};
}

bool hasChapterList(const QVariantMap& answer) {
    const QVariant chapters = answer.value(QStringLiteral("chapters"));
    return chapters.isValid() && !chapters.isNull() && chapters.typeId() == QMetaType::QVariantList;
}

QLabel* makeLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: #808080; background: transparent;"));
    return label;
}

Button* makeBarButton(QWidget* parent, const QString& image, const QString& title, int tag,
                      const QSize& size, QObject* receiver, std::function<void(int)> action) {
    auto* b = new Button(parent);
    b->setTag(tag);
    b->setBackgroundImageNamed(image);
    if (!title.isEmpty()) {
        b->setText(title);
        b->setTitleColor(Qt::white);
        b->setFontSize(12);
    }
    b->resize(size);
    b->setAction(receiver, std::move(action));
    return b;
}

} // namespace

ReadbooksViewController::ReadbooksViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("ReadbooksViewController"));
    setHidesBottomBarWhenPushed(true);
}

ReadbooksViewController::~ReadbooksViewController() {
    // The toolbar items and the bookmark ribbon may be lent to the navigation stack's bars.
    if (toolbarItems_ && toolbarItems_->parent() != this)
        delete toolbarItems_;
    if (viewBookMark_ && viewBookMark_->parent() != this)
        delete viewBookMark_;
}

// --- Building the screen

void ReadbooksViewController::viewDidLoad() {
    metrics_ = PageMetrics::forScreen(Window::screenBounds().size());
    UserDefaults& defaults = UserDefaults::standard();
    isWhiteBlack = ReaderSettings::readType(defaults.objectForKey(QStringLiteral("ReadType")));
    setBackground();
    fontSize = ReaderSettings::fontSize(defaults.objectForKey(QStringLiteral("FontSizeId")));
    fontColor = ReaderSettings::fontColor(isWhiteBlack);

    auto act = [this](int tag) { action(tag); };
    setLeftBarButton(makeBarButton(this, QStringLiteral("read_top_toolBg_Button_back"), L("back"),
                                   0, QSize(52, 30), this, act));
    titleButtons_ = new QWidget(this);
    titleButtons_->resize(136, 30);
    auto* prev = makeBarButton(titleButtons_, QStringLiteral("read_top_toolBg_Button_chapter"),
                               QStringLiteral("上一章"), 1, QSize(64, 30), this, act);
    prev->setObjectName(QStringLiteral("previousChapterButton"));
    auto* next = makeBarButton(titleButtons_, QStringLiteral("read_top_toolBg_Button_chapter"),
                               QStringLiteral("下一章"), 2, QSize(64, 30), this, act);
    next->setObjectName(QStringLiteral("nextChapterButton"));
    prev->move(0, 0);
    next->move(72, 0);
    setTitleView(titleButtons_);
    auto* right = new QWidget(this);
    right->resize(76, 30);
    auto* column = makeBarButton(right, QStringLiteral("read_top_toolBg_Button_column"), QString(),
                                 3, QSize(34, 30), this, act);
    column->setObjectName(QStringLiteral("contentsButton"));
    auto* mark = makeBarButton(right, QStringLiteral("read_top_toolBg_Button_bookmark"), QString(),
                               4, QSize(34, 30), this, act);
    mark->setObjectName(QStringLiteral("bookmarkButton"));
    column->move(0, 0);
    mark->move(42, 0);
    setRightBarButton(right);
    setHidesBackButton(true);

    toolbarItems_ = new ReaderToolbarItems(this);
    toolbarItems_->setNightStyle(isWhiteBlack != 1);
    toolbarItems_->setTapHandler([this](double x) { showPopAction(x); });
    toolbarItems_->hide();

    lightView_ = new QWidget(this);
    lightView_->setObjectName(QStringLiteral("lightView"));
    lightView_->setAttribute(Qt::WA_TransparentForMouseEvents);
    lightView_->setAttribute(Qt::WA_StyledBackground);
    alphaSize = ReaderSettings::brightness(defaults.objectForKey(QStringLiteral("LightSizeId")));
    changeLuminance(QString::number(alphaSize));

    page_ = new QWidget(this);
    page_->setObjectName(QStringLiteral("readerPage"));
    page_->installEventFilter(this);
    webView_ = new WebView(page_);
    webView_->setObjectName(QStringLiteral("readerWebView"));
    webView_->setUserStyleSheet(ReaderSettings::lineGridStyleSheet());
    // Where the pages start is found as each load finishes, in the same trip to the page.
    webView_->setLoadMeasurement(TextPosition::startsScript(metrics_.P));
    connect(webView_, &WebView::didFinishLoad, this,
            &ReadbooksViewController::webViewDidFinishLoad);

    titleLabel_ = makeLabel(this, QStringLiteral("chapterTitleLabel"));
    indexLabel_ = makeLabel(this, QStringLiteral("pageIndexLabel"));
    remainLabel_ = makeLabel(this, QStringLiteral("remainingPagesLabel"));
    for (QLabel* l : {titleLabel_, indexLabel_, remainLabel_})
        l->installEventFilter(this);

    errorButton_ = new Button(page_);
    errorButton_->setObjectName(QStringLiteral("errorReportButton"));
    errorButton_->setTag(5);
    errorButton_->setImageNamed(QStringLiteral("read_error"));
    errorButton_->setAction(this, act);
    errorButton_->hide();

    viewBookMark_ = new QLabel(this);
    viewBookMark_->setObjectName(QStringLiteral("viewBookMark"));
    viewBookMark_->setPixmap(Images::named(QStringLiteral("public_Icon_bookmark"), kMarkSize));
    viewBookMark_->resize(kMarkSize);
    viewBookMark_->setAttribute(Qt::WA_TransparentForMouseEvents);
    viewBookMark_->hide();

    layoutScreen();
    shownChapterId_ = current_chapter_id;
    titleLabel_->setText(getChatperName());
    fillLabels();
    // The record's page may hold other text at this size or on this screen: the character
    // it was written for decides, when it is known.
    nextAnchor_ = ReadingPositions().resumeOffset(book_id, current_chapter_id, currentPage);
    loadWebview();
    readRecord();
}

void ReadbooksViewController::setBackground() {
    QWidget* old = readBg_;
    readBg_ = tooles::setReadBg(isWhiteBlack, this);
    if (readBg_) {
        readBg_->setObjectName(QStringLiteral("readBg"));
        readBg_->setGeometry(rect());
        readBg_->setAttribute(Qt::WA_TransparentForMouseEvents);
        readBg_->show();
        readBg_->lower();
    }
    delete old;
}

void ReadbooksViewController::layoutScreen() {
    if (!page_)
        return;
    const PageMetrics& m = metrics_;
    if (readBg_)
        readBg_->setGeometry(rect());
    lightView_->setGeometry(rect());
    page_->setGeometry(0, m.T, m.W, m.P);
    webView_->setGeometry(0, 0, m.W, m.P);
    titleLabel_->setGeometry(0, 0, m.W, m.T);
    indexLabel_->setGeometry(110, m.bottomStripY(), 100, m.T);
    remainLabel_->setGeometry(220, m.bottomStripY(), 100, m.T);
    errorButton_->setGeometry(10, (m.P - kErrorButtonSize) / 2, kErrorButtonSize, kErrorButtonSize);
    if (viewBookMark_->parent() == this)
        viewBookMark_->move(kMarkX, 0);
}

void ReadbooksViewController::resizeEvent(QResizeEvent* event) {
    ViewController::resizeEvent(event);
    layoutScreen();
}

QWidget* ReadbooksViewController::toolbarItems() const {
    return toolbarItems_;
}

void ReadbooksViewController::viewWillAppear(bool animated) {
    Q_UNUSED(animated);
    if (notify_)
        notify_->hideNotice();
    navBarState = false;
    if (errorButton_)
        errorButton_->hide();
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(true, false);
        nav->setToolbarHidden(true, false);
        nav->setToolbarBackgroundImage(QStringLiteral("read_bottom_toolBg.png"));
        if (toolbarItems_ && nav->toolbar()) {
            toolbarItems_->setParent(nav->toolbar());
            toolbarItems_->setGeometry(nav->toolbar()->rect());
            toolbarItems_->show();
        }
    }
    updateMarkIndicator();
}

void ReadbooksViewController::viewDidAppear(bool animated) {
    Q_UNUSED(animated);
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarBackgroundImage(QStringLiteral("read_top_toolBg"));
        nav->setNavigationBarTranslucent(true);
        nav->setToolbarTranslucent(true);
        if (toolbarItems_ && nav->toolbar())
            toolbarItems_->setGeometry(nav->toolbar()->rect());
    }
}

void ReadbooksViewController::viewWillDisappear(bool animated) {
    Q_UNUSED(animated);
    if (toolbarItems_ && toolbarItems_->parent() != this) {
        toolbarItems_->hide();
        toolbarItems_->setParent(this);
    }
    if (viewBookMark_ && viewBookMark_->parent() != this) {
        viewBookMark_->hide();
        viewBookMark_->setParent(this);
    }
}

// --- The page

void ReadbooksViewController::loadWebview() {
    if (!webView_)
        return;
    // The text on screen goes; the new one finds where its pages start once it has loaded.
    ++loadSerial_;
    measuring_ = false;
    position_.clear();
    shownAnchor_ = nextAnchor_;
    nextAnchor_ = -1;
    if (shownAnchor_ < 0)
        anchor_.reset();
    loadedColor_ = fontColor;
    webView_->loadHTMLString(ReaderSettings::pageDocument(fontSize, fontColor, str));
}

void ReadbooksViewController::webViewDidFinishLoad(bool ok) {
    // A document that failed to load keeps the previous count and position.
    if (!ok)
        return;
    // Day and night switched while the page loaded: the switch coloured the document that
    // was going away, the new one still has the colour it was composed with.
    if (loadedColor_ != fontColor) {
        webView_->stringByEvaluatingJavaScript(
            QStringLiteral("document.body.style.color='%1'").arg(fontColor));
        loadedColor_ = fontColor;
    }
    // The web view measured the document as the load finished.
    allPage = metrics_.pageCount(webView_->loadedDocumentHeight());
    const QVariant starts = webView_->loadedMeasurement();
    if (!starts.isNull()) {
        takePageStarts(starts);
        return;
    }
    measuring_ = true;
    const int serial = loadSerial_;
    QPointer<ReadbooksViewController> self(this);
    webView_->stringByEvaluatingJavaScript(
        TextPosition::startsScript(metrics_.P), [self, serial](const QVariant& answer) {
            // A measurement of a page that has been replaced since says nothing of this one.
            if (!self || serial != self->loadSerial_)
                return;
            self->measuring_ = false;
            self->takePageStarts(answer);
        });
}

void ReadbooksViewController::takePageStarts(const QVariant& answer) {
    if (!position_.setStarts(answer, allPage))
        qInfo("Reader: the page did not tell where its pages start; it opens by number");
    layOutLoadedPage();
}

void ReadbooksViewController::layOutLoadedPage() {
    if (!currentAction.isNull()) {
        currentPage = allPage;
    } else if (shownAnchor_ >= 0 && position_.isKnown()) {
        // The page that now holds the character the reader was at.
        currentPage = position_.pageOfOffset(shownAnchor_);
        anchor_.pin(shownAnchor_, current_chapter_id, currentPage);
    }
    shownAnchor_ = -1;
    // A smaller type or a shorter text may leave the page beyond the chapter.
    currentPage = clampPage(currentPage, allPage);
    recordLastRead();
    showCurrentPage();
    titleLabel_->raise();
    indexLabel_->raise();
    remainLabel_->raise();
    titleLabel_->setText(getChatperName());
    fillLabels();
    updateMarkIndicator();
    Q_EMIT pageLaidOut();
}

void ReadbooksViewController::showCurrentPage() {
    webView_->setScrollOffset(metrics_.offsetOfPage(currentPage));
}

void ReadbooksViewController::fillLabels() {
    indexLabel_->setText(PageLabels::index(currentPage, allPage));
    remainLabel_->setText(PageLabels::remaining(currentPage, allPage));
}

double ReadbooksViewController::lightAlpha() const {
    return ReaderSettings::overlayAlpha(alphaSize);
}

// The page turn stands in for a page curl: a picture of the page leaves to the left for a
// forward turn (the next page comes from the right) and to the right for a backward one.
void ReadbooksViewController::exchangeAnimate(int direction) {
    if (Timing::speed() <= 0 || !isVisible())
        return;
    auto* sheet = new QLabel(this);
    sheet->setPixmap(grab());
    sheet->setGeometry(rect());
    sheet->setAttribute(Qt::WA_TransparentForMouseEvents);
    sheet->show();
    sheet->raise();
    transitioning_ = true;
    const QPoint end(direction == 0 ? -width() : width(), 0);
    QPointer<ReadbooksViewController> self(this);
    Animation::animate(
        sheet, "pos", end, kTurnMs,
        [self, sheet] {
            sheet->deleteLater();
            if (self)
                self->transitioning_ = false;
        },
        QEasingCurve::InOutQuad);
}

// --- Page turns

void ReadbooksViewController::downPage() {
    currentAction = QString();
    if (currentPage >= allPage) {
        const ChapterPolicy::Forward f =
            ChapterPolicy::forward(currentPage, allPage, current_chapter_id, getLastChapterNumber(),
                                   getMaxChapterId(), isExistsInChapter());
        if (f.kind == ChapterPolicy::Forward::EndOfBook) {
            showBDK(QStringLiteral("已翻至最终页"), QStringLiteral("read_page_last.png"));
            displayNotification();
            return;
        }
        if (!f.readAhead.isEmpty())
            downData(ChapterPolicy::join(f.readAhead));
        if (f.kind == ChapterPolicy::Forward::Fetch) {
            downDatalast(f.fetch.first() - 1);
            return;
        }
        if (f.kind == ChapterPolicy::Forward::NextChapter) {
            currentPage = 0;
            current_chapter_id += 1;
            openStoredChapter();
        }
    }
    exchangeAnimate(0);
    currentPage += 1;
    recordLastRead();
    updateMarkIndicator();
    showCurrentPage();
    fillLabels();
}

void ReadbooksViewController::upPage() {
    currentAction = QString();
    if (currentPage < 1)
        return;
    if (currentPage == 1) {
        if (current_chapter_id <= 1 || current_chapter_id == getMinChapterId()) {
            showBDK(QStringLiteral("已翻至第一页"), QStringLiteral("read_page_first.png"));
            displayNotification();
            return;
        }
        currentAction = QStringLiteral("UP");
        current_chapter_id -= 1;
        if (!BookDb().isExistsInChapter(book_id, current_chapter_id)) {
            downLastChapter();
            return;
        }
        openStoredChapter();
    }
    exchangeAnimate(1);
    currentPage -= 1;
    recordLastRead();
    updateMarkIndicator();
    showCurrentPage();
    fillLabels();
}

// Places the stored text of current_chapter_id into the page and tells the service.
void ReadbooksViewController::openStoredChapter() {
    const QVariantMap chapter = getChapter();
    titleLabel_->setText(chapter.value(QStringLiteral("title")).toString());
    str = chapter.value(QStringLiteral("content")).toString();
    shownChapterId_ = current_chapter_id;
    loadWebview();
    readRecord();
}

void ReadbooksViewController::moveChapter(int chapter) {
    current_chapter_id = chapter;
    if (!getChapter().isEmpty()) {
        currentPage = 1;
        openStoredChapter();
        updateMarkIndicator();
        titleLabel_->setText(getChatperName());
    } else {
        // The page stays as it is until the chapter arrives.
        downCurrentChapter();
    }
}

// --- Actions

void ReadbooksViewController::action(int tag) {
    switch (tag) {
    case 0: {
        if (viewBookMark_)
            viewBookMark_->hide();
        NavigationController* nav = navigationController();
        if (!nav)
            return;
        nav->setNavigationBarTranslucent(false);
        nav->setToolbarHidden(true, false);
        const bool popped = nav->popToFirst([](ViewController* c) {
            const QByteArray name = c->metaObject()->className();
            return name == "FirstViewController" || name == "BookDetailViewController";
        });
        if (!popped)
            nav->popViewController();
        return;
    }
    case 1:
        if (current_chapter_id <= 1 || current_chapter_id == getMinChapterId()) {
            showBDK(QStringLiteral("已经是第一章！"), QStringLiteral("read_refresh_no"));
            displayNotification();
            updateMarkIndicator();
            return;
        }
        moveChapter(current_chapter_id - 1);
        return;
    case 2:
        if (current_chapter_id == getLastChapterNumber()) {
            showBDK(QStringLiteral("已经是最后一章！"), QStringLiteral("read_refresh_no"));
            displayNotification();
            updateMarkIndicator();
            return;
        }
        moveChapter(current_chapter_id + 1);
        return;
    case 3: {
        NavigationController* nav = navigationController();
        if (!nav)
            return;
        nav->setToolbarHidden(true, true);
        viewBookMark_->hide();
        errorButton_->hide();
        auto* contents = new BookChapterAndMarkViewController();
        contents->book_id = book_id;
        contents->currentChatperId = current_chapter_id;
        contents->setHidesBottomBarWhenPushed(true);
        nav->pushViewController(contents);
        return;
    }
    case 4: {
        const QVariantMap mark = returnMarkOptions();
        BookDb db;
        if (db.isExistsMark(mark)) {
            if (!db.deleteMark(mark))
                return;
            ReadingPositions().forgetMark(book_id, current_chapter_id, currentPage);
            QPointer<QLabel> ribbon(viewBookMark_);
            Animation::setOpacity(ribbon, 1.0);
            Animation::animate(ribbon, "pos", ribbon->pos() + QPoint(0, kMarkSize.height()),
                               kMarkMs, {}, QEasingCurve::InOutQuad);
            Animation::fade(ribbon, 0.0, kMarkMs, [ribbon] {
                if (ribbon) {
                    ribbon->hide();
                    Animation::setOpacity(ribbon, 1.0);
                }
            });
            showBDK(QStringLiteral("书签清除成功"), QStringLiteral("read_refresh_yes"));
        } else {
            if (!db.addBookMark(mark))
                return;
            ReadingPositions().saveMark(book_id, current_chapter_id, currentPage,
                                        anchor_.follow(position_, current_chapter_id, currentPage));
            updateMarkIndicator();
            Animation::setOpacity(viewBookMark_, 1.0);
            viewBookMark_->move(kMarkX, kMarkSize.height());
            Animation::animate(viewBookMark_, "pos", QPoint(kMarkX, 0), kMarkMs, {},
                               QEasingCurve::InOutQuad);
            showBDK(QStringLiteral("添加书签成功"), QStringLiteral("read_refresh_yes"));
        }
        displayNotification();
        return;
    }
    case 5:
        showAlert();
        return;
    default:
        return;
    }
}

void ReadbooksViewController::changePlan(const QString& chapter) {
    bool ok = false;
    const int n = chapter.trimmed().toInt(&ok);
    if (!ok || n < 1)
        return;
    moveChapter(n);
}

// --- Bars and gestures

void ReadbooksViewController::hideNavAndToolbar() {
    NavigationController* nav = navigationController();
    if (!nav)
        return;
    navBarState = nav->isNavigationBarHidden();
    nav->setNavigationBarHidden(!navBarState, true);
    nav->setToolbarHidden(!navBarState, true);
    Q_UNUSED(kBarsMs);
    errorButton_->setVisible(navBarState);
    if (navBarState)
        errorButton_->raise();
    updateMarkIndicator();
}

void ReadbooksViewController::handleBackgroundTap(const QPointF& point) {
    switch (PageTaps::tap(point.x(), point.y(), metrics_, navBarState)) {
    case PageGesture::PreviousPage:
        upPage();
        break;
    case PageGesture::NextPage:
        downPage();
        break;
    case PageGesture::ToggleBars:
        hideNavAndToolbar();
        break;
    }
}

void ReadbooksViewController::handleSwipeFrom(bool toLeft) {
    if (navBarState)
        hideNavAndToolbar();
    else if (toLeft)
        downPage();
    else
        upPage();
}

void ReadbooksViewController::actionLabel1(double x) {
    if (PageTaps::titleLabelTap(x, metrics_) == PageGesture::PreviousPage)
        upPage();
    else
        downPage();
}

void ReadbooksViewController::actionLabel2() {
    downPage();
}

void ReadbooksViewController::actionLabel3() {
    downPage();
}

bool ReadbooksViewController::eventFilter(QObject* watched, QEvent* event) {
    const bool page = watched == page_;
    const bool label = watched == titleLabel_ || watched == indexLabel_ || watched == remainLabel_;
    if (!page && !label)
        return ViewController::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        pressPoint_ = static_cast<QMouseEvent*>(event)->position();
        pressed_ = true;
        return true;
    }
    if (event->type() != QEvent::MouseButtonRelease || !pressed_)
        return ViewController::eventFilter(watched, event);
    pressed_ = false;
    const QPointF at = static_cast<QMouseEvent*>(event)->position();
    const QPointF d = at - pressPoint_;
    if (label) {
        if (watched == titleLabel_)
            actionLabel1(at.x());
        else if (watched == indexLabel_)
            actionLabel2();
        else
            actionLabel3();
        return true;
    }
    if (std::abs(d.x()) > 40 && std::abs(d.x()) > 2 * std::abs(d.y()))
        handleSwipeFrom(d.x() < 0);
    else if (std::abs(d.x()) < 12 && std::abs(d.y()) < 12)
        handleBackgroundTap(at);
    return true;
}

// --- Toolbar and popovers

void ReadbooksViewController::showPopAction(double x) {
    const int item = PageTaps::toolbarItemAt(x);
    if (item != 0)
        showPop(item);
}

void ReadbooksViewController::showPop(int tag) {
    if (popoverController_) {
        ReaderPopovers::dismiss(popoverController_);
        popoverController_ = nullptr;
    }
    // The popover points at the tapped item.
    QWidget* from = toolbarItems_ ? static_cast<QWidget*>(toolbarItems_) : this;
    const QRect anchor =
        toolbarItems_ ? toolbarItems_->itemRect(tag) : QRect(0, height() - 44, 64, 44);
    switch (tag) {
    case 1:
        reDownloadBookByChatper();
        return;
    case 2:
        popoverController_ = ReaderPopovers::showFontSize(this, from, anchor);
        return;
    case 3:
        popoverController_ = ReaderPopovers::showLight(this, from, anchor);
        return;
    case 4: {
        isWhiteBlack = ReaderSettings::toggledReadType(isWhiteBlack);
        UserDefaults& defaults = UserDefaults::standard();
        defaults.setObject(QStringLiteral("ReadType"), isWhiteBlack);
        defaults.synchronize();
        setBackground();
        fontColor = ReaderSettings::fontColor(isWhiteBlack);
        // Colours the page on screen; a page still loading gets it when it has loaded.
        if (!webView_->isLoading()) {
            webView_->stringByEvaluatingJavaScript(
                QStringLiteral("document.body.style.color='%1'").arg(fontColor));
            loadedColor_ = fontColor;
        }
        lightView_->raise();
        page_->raise();
        titleLabel_->raise();
        indexLabel_->raise();
        remainLabel_->raise();
        if (viewBookMark_->parent() == this)
            viewBookMark_->raise();
        fillLabels();
        toolbarItems_->setNightStyle(isWhiteBlack != 1);
        return;
    }
    case 5:
        popoverController_ =
            ReaderPopovers::showJump(this, from, anchor, book_id, current_chapter_id);
        return;
    default:
        return;
    }
}

void ReadbooksViewController::popoverControllerDidDismissPopover(WEPopoverController* popover) {
    if (popover)
        popover->deleteLater();
    popoverController_ = nullptr;
}

bool ReadbooksViewController::popoverControllerShouldDismissPopover(WEPopoverController*) {
    return true;
}

void ReadbooksViewController::changeFontSize(double size) {
    fontSize = size;
    // The reader stays at the character it is at; a page still loading keeps the one it was
    // going to show.
    nextAnchor_ = anchor_.offset() >= 0 ? anchor_.offset() : shownAnchor_;
    webView_->stringByEvaluatingJavaScript(
        QStringLiteral("document.body.style.fontSize=%1").arg(QString::asprintf("%f", size)));
    loadWebview();
}

void ReadbooksViewController::changeLuminance(const QString& value) {
    bool ok = false;
    const double v = value.trimmed().toDouble(&ok);
    if (ok)
        alphaSize = std::clamp(v, 0.0, 100.0);
    const int alpha = qRound(lightAlpha() * 255);
    lightView_->setStyleSheet(QStringLiteral("background-color: rgba(0,0,0,%1);").arg(alpha));
}

// --- Records and database views

void ReadbooksViewController::recordLastRead() {
    // Page 0 only exists while the previous chapter loads; the record keeps the page on screen.
    if (currentPage < 1)
        return;
    QVariantMap record;
    record.insert(QStringLiteral("book_id"), book_id);
    record.insert(QStringLiteral("chapter_id"), QString::number(current_chapter_id));
    record.insert(QStringLiteral("page_id"), QString::number(currentPage));
    record.insert(QStringLiteral("create_time"), tooles::currentTimeStr());
    BookDb().recordLastRead(record);
    ReadingPositions().saveLastRead(book_id, current_chapter_id, currentPage,
                                    anchor_.follow(position_, current_chapter_id, currentPage));
}

void ReadbooksViewController::readRecord() {
    QVariantMap params;
    params.insert(QStringLiteral("book_id"), book_id);
    params.insert(QStringLiteral("chapter"), QString::number(current_chapter_id));
    Service::addToken(params);
    HttpRequest* request =
        Service::request(Service::signedUrl(Endpoints::readchapter, params), this);
    readRecordRequest = request;
    request->setDidFinish([](HttpRequest* r) { r->deleteLater(); });
    request->setDidFail([](HttpRequest* r) { r->deleteLater(); });
    request->startAsynchronous();
}

QVariantMap ReadbooksViewController::getChapter() {
    return BookDb().selectChapterContent(book_id, current_chapter_id);
}

QString ReadbooksViewController::getChatperName() {
    return getChapter().value(QStringLiteral("title")).toString();
}

int ReadbooksViewController::getMinChapterId() {
    return BookDb().getMinChapterId(book_id);
}

int ReadbooksViewController::getMaxChapterId() {
    return BookDb().getMaxChapterId(book_id);
}

int ReadbooksViewController::getLastChapterNumber() {
    return Service::textOf(
               BookDb().selectBookByBookid(book_id).value(QStringLiteral("last_chapter_number")))
        .toInt();
}

bool ReadbooksViewController::isExistsInChapter() {
    return BookDb().isExistsInChapter(book_id, current_chapter_id + 1);
}

QVariantMap ReadbooksViewController::returnMarkOptions() {
    QVariantMap mark;
    mark.insert(QStringLiteral("book_id"), book_id);
    mark.insert(QStringLiteral("chapter_id"), QString::number(current_chapter_id));
    mark.insert(QStringLiteral("page_id"), QString::number(currentPage));
    mark.insert(QStringLiteral("title"), getChatperName());
    mark.insert(QStringLiteral("create_time"), tooles::currentTimeStr());
    return mark;
}

bool ReadbooksViewController::isMarked() {
    // A bookmark is found by book, chapter and page; the title is not needed to look.
    QVariantMap key;
    key.insert(QStringLiteral("book_id"), book_id);
    key.insert(QStringLiteral("chapter_id"), QString::number(current_chapter_id));
    key.insert(QStringLiteral("page_id"), QString::number(currentPage));
    return BookDb().isExistsMark(key);
}

void ReadbooksViewController::updateMarkIndicator() {
    if (!viewBookMark_)
        return;
    if (!isMarked()) {
        viewBookMark_->hide();
        return;
    }
    NavigationController* nav = navigationController();
    QWidget* host = (navBarState && nav && nav->navigationBar())
                        ? static_cast<QWidget*>(nav->navigationBar())
                        : static_cast<QWidget*>(this);
    if (viewBookMark_->parent() != host)
        viewBookMark_->setParent(host);
    viewBookMark_->move(kMarkX, 0);
    Animation::setOpacity(viewBookMark_, 1.0);
    viewBookMark_->show();
    viewBookMark_->raise();
}

// --- Notices

void ReadbooksViewController::showBDK(const QString& text, const QString& imageName) {
    if (!notify_)
        notify_ = new NoticeView(this, 20);
    notify_->showBDK(text, imageName);
}

void ReadbooksViewController::displayNotification() {
    if (notify_) {
        notify_->raise();
        notify_->displayNotification();
    }
}

// --- Fetching chapters

HttpRequest* ReadbooksViewController::contentRequest(const QString& chapters, bool blocking) {
    HttpRequest* request = Service::request(Service::getcontentUrl(book_id, chapters), this);
    if (blocking) {
        request->setRequestMethod(QStringLiteral("POST"));
        request->setShouldAttemptPersistentConnection(false);
        tooles::showHUD(QString(), this);
    }
    asiRequest = request;
    ++pendingFetches_;
    return request;
}

void ReadbooksViewController::downData(const QString& chapters) {
    HttpRequest* request = contentRequest(chapters, false);
    const QString book = book_id;
    request->setDidFinish([this, book](HttpRequest* r) {
        r->deleteLater();
        const Service::Answer answer = Service::decode(r);
        // A batch the database refuses has no completion to wait for.
        if (!answer.ok || !hasChapterList(answer.dict) ||
            !BookDb().insertChapterAll(book, answer.dict, this, [this](bool) { --pendingFetches_; }))
            --pendingFetches_;
    });
    request->setDidFail([this, chapters](HttpRequest* r) {
        r->deleteLater();
        --pendingFetches_;
        qInfo("Read-ahead of chapters %s failed: %s", qPrintable(chapters),
              qPrintable(r->errorString()));
    });
    request->startAsynchronous();
}

void ReadbooksViewController::downDatalast(int start) {
    const QList<int> run = ChapterPolicy::runAfter(start, getLastChapterNumber());
    HttpRequest* request = contentRequest(ChapterPolicy::join(run), true);
    request->setDidFinish([this](HttpRequest* r) {
        r->deleteLater();
        tooles::removeHUD();
        const Service::Answer answer = Service::decode(r);
        if (!answer.ok || !hasChapterList(answer.dict)) {
            fetchFailed(QString::fromUtf8(kUpdateFailed));
            return;
        }
        const bool opened = BookDb().insertChapterAll(book_id, answer.dict, this, [this](bool) {
            --pendingFetches_;
            // Turn on only when the chapter the turn needs is now stored: an answer
            // without it would otherwise fetch the same run again and again.
            if (isExistsInChapter()) {
                downPage();
                showBDK(QString::fromUtf8(kUpdateOk), QStringLiteral("read_refresh_yes"));
            } else {
                showBDK(QString::fromUtf8(kUpdateFailed), QStringLiteral("read_refresh_no"));
            }
            displayNotification();
        });
        if (!opened)
            fetchFailed(QString::fromUtf8(kUpdateFailed));
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        tooles::removeHUD();
        fetchFailed(L("The network is not good"));
    });
    request->startAsynchronous();
}

void ReadbooksViewController::downLastChapter() {
    HttpRequest* request = contentRequest(QString::number(current_chapter_id), true);
    request->setDidFinish([this](HttpRequest* r) {
        r->deleteLater();
        tooles::removeHUD();
        const Service::Answer answer = Service::decode(r);
        if (!answer.ok || !hasChapterList(answer.dict)) {
            restoreShownChapter(true);
            fetchFailed(QString::fromUtf8(kUpdateFailed));
            return;
        }
        const bool opened = BookDb().insertChapterAll(book_id, answer.dict, this, [this](bool) {
            --pendingFetches_;
            if (!getChapter().isEmpty()) {
                current_chapter_id += 1;
                currentPage = 1;
                upPage();
                showBDK(QString::fromUtf8(kUpdateOk), QStringLiteral("read_refresh_yes"));
            } else {
                restoreShownChapter(true);
                showBDK(QString::fromUtf8(kUpdateFailed), QStringLiteral("read_refresh_no"));
            }
            displayNotification();
        });
        if (!opened) {
            restoreShownChapter(true);
            fetchFailed(QString::fromUtf8(kUpdateFailed));
        }
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        tooles::removeHUD();
        restoreShownChapter(true);
        fetchFailed(L("The network is not good"));
    });
    request->startAsynchronous();
}

void ReadbooksViewController::downCurrentChapter() {
    HttpRequest* request = contentRequest(QString::number(current_chapter_id), true);
    request->setDidFinish([this](HttpRequest* r) {
        r->deleteLater();
        tooles::removeHUD();
        const Service::Answer answer = Service::decode(r);
        const QVariantMap first = firstChapter(answer.dict);
        if (!answer.ok || first.isEmpty()) {
            restoreShownChapter();
            fetchFailed(QString::fromUtf8(kUpdateFailed));
            return;
        }
        // The chapter opens once it is stored, so that its title and bookmarks are found.
        const bool opened =
            BookDb().insertChapterAll(book_id, answer.dict, this, [this, first](bool) {
                --pendingFetches_;
                titleLabel_->setText(first.value(QStringLiteral("title")).toString());
                str = first.value(QStringLiteral("content")).toString();
                current_chapter_id =
                    Service::textOf(first.value(QStringLiteral("chapter_number"))).toInt();
                currentPage = 1;
                shownChapterId_ = current_chapter_id;
                loadWebview();
                readRecord();
                updateMarkIndicator();
                showBDK(QString::fromUtf8(kUpdateOk), QStringLiteral("read_refresh_yes"));
                displayNotification();
            });
        if (!opened) {
            restoreShownChapter();
            fetchFailed(QString::fromUtf8(kUpdateFailed));
        }
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        tooles::removeHUD();
        restoreShownChapter();
        fetchFailed(L("The network is not good"));
    });
    request->startAsynchronous();
}

void ReadbooksViewController::fetchFailed(const QString& notice) {
    --pendingFetches_;
    showBDK(notice, QStringLiteral("read_refresh_no"));
    displayNotification();
}

// A chapter that could not be fetched leaves the reader on the chapter it shows.
void ReadbooksViewController::restoreShownChapter(bool backwardTurn) {
    // The backward turn that failed did not happen: nothing waits for the previous chapter.
    if (backwardTurn)
        currentAction = QString();
    current_chapter_id = shownChapterId_;
}

void ReadbooksViewController::reDownloadBookByChatper() {
    HttpRequest* request = Service::request(
        Service::getcontentUrl(book_id, QString::number(current_chapter_id)), this);
    asiHttpRequest2 = request;
    ++pendingFetches_;
    tooles::showHUD(QStringLiteral("正在更新本章"), this);
    const QString failed = QStringLiteral("更新本章失败");
    request->setDidFinish([this, failed](HttpRequest* r) {
        r->deleteLater();
        tooles::removeHUD();
        const Service::Answer answer = Service::decode(r);
        const QVariantMap first = firstChapter(answer.dict);
        if (!answer.ok || first.isEmpty()) {
            fetchFailed(failed);
            return;
        }
        const QString title = first.value(QStringLiteral("title")).toString();
        const QString content = first.value(QStringLiteral("content")).toString();
        auto succeeded = [this, content] {
            --pendingFetches_;
            showBDK(QStringLiteral("更新本章成功"), QStringLiteral("read_refresh_yes"));
            displayNotification();
            str = content;
            currentPage = 1;
            loadWebview();
        };
        BookDb db;
        const int number = Service::textOf(first.value(QStringLiteral("chapter_number"))).toInt();
        if (db.isExistsInChapter(book_id, number)) {
            QVariantMap chapter;
            chapter.insert(QStringLiteral("title"), title);
            chapter.insert(QStringLiteral("content"), content);
            chapter.insert(QStringLiteral("book_id"), book_id);
            chapter.insert(QStringLiteral("chapter_id"), QString::number(number));
            if (db.updateChapter(chapter))
                succeeded();
            else
                fetchFailed(failed);
            return;
        }
        // A chapter that was never stored has no row to update: store it instead.
        const bool opened = db.insertChapterAll(book_id, answer.dict, this,
                                                [this, number, succeeded, failed](bool) {
                                                    if (BookDb().isExistsInChapter(book_id, number))
                                                        succeeded();
                                                    else
                                                        fetchFailed(failed);
                                                });
        if (!opened)
            fetchFailed(failed);
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        tooles::removeHUD();
        fetchFailed(L("The network is not good"));
    });
    request->startAsynchronous();
}

// --- The error report

void ReadbooksViewController::showAlert() {
    auto* alert =
        new AlertView(QStringLiteral("提示"), QStringLiteral("你确定要提交当前页面的错误报告吗？"),
                      this, QStringLiteral("取消"), {QStringLiteral("确定")});
    alert->setOffset(QPoint(0, -20));
    alert->show();
}

void ReadbooksViewController::alertViewClickedButtonAtIndex(AlertView* alert, int index) {
    Q_UNUSED(alert);
    if (index != 1)
        return;
    QVariantMap params;
    params.insert(QStringLiteral("book_id"), book_id);
    params.insert(QStringLiteral("chapter_number"), QString::number(current_chapter_id));
    params.insert(QStringLiteral("channel"), tooles::deviceString());
    Service::addToken(params);
    HttpRequest* request =
        Service::request(Service::signedUrl(Endpoints::reporterror, params), this);
    asiHttpRequest = request;
    request->setDidFinish([this](HttpRequest* r) {
        r->deleteLater();
        if (Service::decode(r).ok)
            showBDK(QStringLiteral("感谢你的提交！"), QStringLiteral("read_refresh_yes"));
        else
            showBDK(QStringLiteral("提交失败！"), QStringLiteral("read_refresh_no"));
        displayNotification();
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        showBDK(L("The network is not good"), QStringLiteral("read_refresh_no"));
        displayNotification();
    });
    request->startAsynchronous();
}

bool ReadbooksViewController::isBusy() const {
    return pendingFetches_ > 0 || transitioning_ || measuring_ ||
           (webView_ && webView_->isLoading());
}
