#include "platform/ui/ViewController.h"

#include <QTimer>

#include "engines/HttpRequest.h"
#include "platform/ui/Animation.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"

namespace {
constexpr int kModalMs = 300;

// Puts item in one of screen's bar slots, hiding the one it replaces; an item without a parent
// becomes the screen's.
void putBarItem(ViewController* screen, QPointer<QWidget>& slot, QWidget* item) {
    if (slot && slot != item)
        slot->hide();
    slot = item;
    if (item && !item->parent())
        item->setParent(screen);
}
} // namespace

ViewController::ViewController(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

ViewController::~ViewController() {
    if (presented_)
        delete presented_.data();
    // Bar items live in the navigation bar while shown; they go with their screen.
    for (QWidget* item : {left_.data(), right_.data(), titleView_.data()})
        delete item;
}

void ViewController::loadViewIfNeeded() {
    if (loaded_)
        return;
    loaded_ = true;
    viewDidLoad();
}

void ViewController::setTitle(const QString& title) {
    title_ = title;
    Q_EMIT navigationItemChanged();
}

void ViewController::setLeftBarButton(QWidget* button) {
    putBarItem(this, left_, button);
    Q_EMIT navigationItemChanged();
}

void ViewController::setRightBarButton(QWidget* button) {
    putBarItem(this, right_, button);
    Q_EMIT navigationItemChanged();
}

void ViewController::setTitleView(QWidget* view) {
    putBarItem(this, titleView_, view);
    Q_EMIT navigationItemChanged();
}

void ViewController::setHidesBackButton(bool hides) {
    hidesBackButton_ = hides;
    Q_EMIT navigationItemChanged();
}

void ViewController::setTabBarItem(const TabBarItem& item) {
    tabBarItem_ = item;
    Q_EMIT navigationItemChanged();
}

NavigationController* ViewController::navigationController() const {
    if (nav_)
        return nav_.data();
    return nullptr;
}

void ViewController::setNavigationControllerInternal(NavigationController* nav) {
    nav_ = nav;
}

TabBarController* ViewController::tabBarController() const {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<TabBarController*>(w))
            return tabs;
    }
    return nullptr;
}

Window* ViewController::window() const {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* win = qobject_cast<Window*>(w))
            return win;
    }
    return Window::keyWindow();
}

void ViewController::beginAppearance(bool animated) {
    loadViewIfNeeded();
    visibleState_ = true;
    // A notice left over from the last visit does not greet the user again.
    for (NoticeView* notice : findChildren<NoticeView*>(Qt::FindDirectChildrenOnly))
        notice->hideNotice();
    viewWillAppear(animated);
}

void ViewController::endAppearance(bool animated) {
    viewDidAppear(animated);
}

void ViewController::beginDisappearance(bool animated) {
    viewWillDisappear(animated);
}

void ViewController::endDisappearance(bool animated) {
    visibleState_ = false;
    viewDidDisappear(animated);
}

void ViewController::shutDown() {
    for (HttpRequest* request : findChildren<HttpRequest*>())
        request->clearDelegatesAndCancel();
    for (QTimer* timer : findChildren<QTimer*>())
        timer->stop();
    if (presented_) {
        presented_->shutDown();
        presented_->deleteLater();
        presented_ = nullptr;
    }
}

void ViewController::presentModal(ViewController* controller, bool animated) {
    Window* win = window();
    if (!controller || !win || presented_)
        return;
    presented_ = controller;
    controller->presenting_ = this;
    controller->setParent(win);
    controller->loadViewIfNeeded();
    const QRect frame = Window::applicationFrame();
    controller->setGeometry(frame.translated(0, animated ? frame.height() : 0));
    controller->raise();
    // Overlays stay above presented screens.
    for (QWidget* overlay : win->overlays())
        overlay->raise();
    beginDisappearance(animated);
    controller->beginAppearance(animated);
    controller->show();
    QPointer<ViewController> self(this);
    QPointer<ViewController> shown(controller);
    Animation::animate(controller, "pos", frame.topLeft(), animated ? kModalMs : 0,
                       [self, shown, animated] {
                           if (self)
                               self->endDisappearance(animated);
                           if (shown)
                               shown->endAppearance(animated);
                       });
}

void ViewController::dismissModal(bool animated) {
    ViewController* presenter = presented_ ? this : presenting_.data();
    if (!presenter || !presenter->presented_)
        return;
    ViewController* leaving = presenter->presented_.data();
    presenter->presented_ = nullptr;
    leaving->presenting_ = nullptr;
    leaving->beginDisappearance(animated);
    presenter->beginAppearance(animated);
    leaving->shutDown();
    leaving->setEnabled(false);
    QPointer<ViewController> back(presenter);
    const QRect frame = Window::applicationFrame();
    Animation::animate(leaving, "pos", QPoint(frame.left(), frame.bottom() + 1),
                       animated ? kModalMs : 0, [leaving, back, animated] {
                           leaving->endDisappearance(animated);
                           leaving->hide();
                           leaving->deleteLater();
                           if (back)
                               back->endAppearance(animated);
                       });
}
