#include "platform/ui/Window.h"

#include <QPainter>
#include <QPainterPath>

#include "platform/Clock.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/ViewController.h"

QPointer<Window> Window::key_;

namespace {
int& screenHeightRef() {
    static int h = Window::kTallHeight;
    return h;
}
} // namespace

Window::Window(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Window"));
    setFixedSize(kWidth, screenHeight());
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setWindowTitle(QStringLiteral("folia"));
}

Window::~Window() {
    // The root goes first, while the window still exists for its screens' clean-up.
    delete root_.data();
}

void Window::setScreenHeight(int points) {
    screenHeightRef() = points == kShortHeight ? kShortHeight : kTallHeight;
}

int Window::screenHeight() {
    return screenHeightRef();
}

QRect Window::screenBounds() {
    return QRect(0, 0, kWidth, screenHeight());
}

QRect Window::applicationFrame() {
    return QRect(0, kStatusBarHeight, kWidth, screenHeight() - kStatusBarHeight);
}

QSize Window::screenModeSize() {
    return QSize(kWidth * 2, screenHeight() * 2);
}

void Window::setRootViewController(ViewController* controller) {
    if (root_ == controller)
        return;
    if (root_) {
        root_->beginDisappearance(false);
        root_->hide();
        root_->endDisappearance(false);
    }
    root_ = controller;
    if (!controller)
        return;
    controller->setParent(this);
    controller->loadViewIfNeeded();
    layoutRoot();
    controller->lower();
    if (isVisible()) {
        controller->beginAppearance(false);
        controller->show();
        controller->endAppearance(false);
    } else {
        controller->show();
    }
}

void Window::makeKeyAndVisible() {
    key_ = this;
    const bool wasVisible = isVisible();
    if (root_ && !wasVisible)
        root_->beginAppearance(false);
    show();
    if (root_ && !wasVisible)
        root_->endAppearance(false);
}

Window* Window::keyWindow() {
    return key_.data();
}

void Window::setStatusBarHidden(bool hidden) {
    statusBarHidden_ = hidden;
    update();
}

QList<QWidget*> Window::overlays() const {
    QList<QWidget*> result;
    for (QObject* child : children()) {
        if (qobject_cast<AlertView*>(child) || qobject_cast<ActionSheet*>(child) ||
            qobject_cast<ProgressHUD*>(child))
            result.append(static_cast<QWidget*>(child));
    }
    return result;
}

void Window::resizeEvent(QResizeEvent*) {
    layoutRoot();
}

void Window::layoutRoot() {
    if (root_)
        root_->setGeometry(applicationFrame());
}

void Window::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (statusBarHidden_)
        return;
    // The status strip: a dark band with the carrier, the time and the battery.
    const QRect strip(0, 0, width(), kStatusBarHeight);
    p.fillRect(strip, QColor(0x1d, 0x1a, 0x17));
    p.setRenderHint(QPainter::Antialiasing);
    QFont f = font();
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(strip.adjusted(6, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("folia"));
    p.drawText(strip, Qt::AlignCenter,
               Clock::now().toLocalTime().toString(QStringLiteral("HH:mm")));
    // Battery.
    const QRectF body(width() - 32, 6, 22, 9);
    p.setPen(QPen(QColor(255, 255, 255, 220), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body, 2, 2);
    p.fillRect(QRectF(body.right() + 1, 8.5, 2, 4), QColor(255, 255, 255, 220));
    p.fillRect(body.adjusted(2, 2, -6, -2), QColor(255, 255, 255, 220));
}
