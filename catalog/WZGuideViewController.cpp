#include "catalog/WZGuideViewController.h"

#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QScroller>

#include "platform/Application.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Window.h"

namespace {
// Status bar orientations: portrait, upside down, landscape right, landscape left. The phone
// window only ever stands upright.
constexpr int kPortrait = 1;

QMutex& guideLock() {
    static QMutex lock;
    return lock;
}

QPointer<WZGuideViewController>& guideSlot() {
    static QPointer<WZGuideViewController> guide;
    return guide;
}

bool tallScreen() {
    return Window::screenModeSize() == QSize(640, 1136);
}
} // namespace

WZGuideViewController* WZGuideViewController::sharedGuide() {
    QMutexLocker locker(&guideLock());
    // The window it sits in may take it along when it goes; a new one is made then.
    if (!guideSlot())
        guideSlot() = new WZGuideViewController();
    return guideSlot().data();
}

WZGuideViewController::WZGuideViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("WZGuideViewController"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x2b, 0x24, 0x20));
    setPalette(pal);
    ViewController::hide();
    buildPages();
}

WZGuideViewController::~WZGuideViewController() = default;

QStringList WZGuideViewController::pageImageNames() {
    const QString prefix = tallScreen() ? QStringLiteral("I5") : QStringLiteral("I4");
    QStringList names;
    for (int i = 1; i <= 3; ++i)
        names.append(QStringLiteral("%1_yindao_buzhou%2").arg(prefix).arg(i));
    return names;
}

void WZGuideViewController::buildPages() {
    const QRect frame = Window::applicationFrame();
    resize(frame.size());
    pageScroll_ = new QScrollArea(this);
    pageScroll_->setObjectName(QStringLiteral("pageScroll"));
    pageScroll_->setFrameShape(QFrame::NoFrame);
    pageScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pageScroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pageScroll_->setGeometry(0, 0, frame.width(), frame.height());
    auto* content = new QWidget();
    const QStringList names = pageImageNames();
    content->resize(frame.width() * int(names.size()), frame.height());
    for (int i = 0; i < names.size(); ++i) {
        auto* page = new ImageView(content);
        page->setObjectName(QStringLiteral("guidePage%1").arg(i + 1));
        page->setImageNamed(names[i]);
        page->setGeometry(i * frame.width(), 0, frame.width(), frame.height());
    }
    startButton_ = new Button(content);
    startButton_->setObjectName(QStringLiteral("startButton"));
    startButton_->setBackgroundImageNamed(QStringLiteral("yindao_start_btn"),
                                          QStringLiteral("yindao_start_btn"));
    const int centreY = tallScreen() ? 320 : 280;
    const int lastPageX = (int(names.size()) - 1) * frame.width();
    startButton_->setGeometry(lastPageX + (frame.width() - 180) / 2, centreY - 20, 180, 40);
    connect(startButton_, &QAbstractButton::clicked, this, [this] { pressEnterButton(); });
    pageScroll_->setWidget(content);

    // Paging: a drag moves like a finger and settles on whole pages.
    QScroller::grabGesture(pageScroll_->viewport(), QScroller::LeftMouseButtonGesture);
    QScroller* scroller = QScroller::scroller(pageScroll_->viewport());
    QList<qreal> snaps;
    for (int i = 0; i < names.size(); ++i)
        snaps.append(qreal(i * frame.width()));
    scroller->setSnapPositionsX(snaps);
    QScrollerProperties props = scroller->scrollerProperties();
    props.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy,
                          QScrollerProperties::OvershootAlwaysOff);
    scroller->setScrollerProperties(props);
}

int WZGuideViewController::currentPage() const {
    const int w = pageScroll_->viewport()->width();
    if (w <= 0)
        return 0;
    return (pageScroll_->horizontalScrollBar()->value() + w / 2) / w;
}

void WZGuideViewController::scrollToPage(int page) {
    const int last = pageCount() - 1;
    page = std::clamp(page, 0, last);
    pageScroll_->horizontalScrollBar()->setValue(page * pageScroll_->viewport()->width());
}

QWidget* WZGuideViewController::mainWindow() {
    if (ApplicationDelegate* delegate = Application::shared().delegate()) {
        if (QWidget* window = delegate->mainWindow())
            return window;
    }
    return Window::keyWindow();
}

QPoint WZGuideViewController::outsidePosition(const QRect& frame, int orientation) {
    switch (orientation) {
    case 2:
        return frame.topLeft() - QPoint(0, frame.height());
    case 3:
        return frame.topLeft() - QPoint(frame.width(), 0);
    case 4:
        return frame.topLeft() + QPoint(frame.width(), 0);
    default:
        return frame.topLeft() + QPoint(0, frame.height());
    }
}

void WZGuideViewController::show() {
    WZGuideViewController* guide = sharedGuide();
    guide->scrollToPage(0);
    guide->slideIn();
}

void WZGuideViewController::hide() {
    sharedGuide()->slideOut();
}

void WZGuideViewController::slideIn() {
    QWidget* window = mainWindow();
    if (animating_ || parentWidget() || !window)
        return;
    const QRect frame = Window::applicationFrame();
    setParent(window);
    setGeometry(QRect(outsidePosition(frame, kPortrait), frame.size()));
    ViewController::show();
    raise();
    scrollToPage(0);
    animating_ = true;
    Animation::animate(this, "pos", frame.topLeft(), kSlideMs, [this] { animating_ = false; });
}

void WZGuideViewController::slideOut() {
    if (animating_ || !parentWidget())
        return;
    animating_ = true;
    const QRect frame = Window::applicationFrame();
    Animation::animate(this, "pos", outsidePosition(frame, kPortrait), kSlideMs, [this] {
        animating_ = false;
        ViewController::hide();
        setParent(nullptr);
    });
}

void WZGuideViewController::pressEnterButton() {
    slideOut();
    UserDefaults& defaults = UserDefaults::standard();
    defaults.setObject(QStringLiteral("firstLaunch"), false);
    defaults.synchronize();
}
