#include "platform/ui/NavigationController.h"

#include <QResizeEvent>

#include "platform/ui/Animation.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/ToolBar.h"

namespace {
constexpr int kSlideMs = 350;
constexpr int kBarMs = 250;
} // namespace

NavigationController::NavigationController(ViewController* root, QWidget* parent)
    : ViewController(parent) {
    setObjectName(QStringLiteral("NavigationController"));
    bar_ = new NavigationBar(this);
    toolbar_ = new ToolBar(this);
    toolbar_->hide();
    if (root) {
        root->setParent(this);
        root->setNavigationControllerInternal(this);
        root->hide();
        stack_.append(root);
        connect(root, &ViewController::navigationItemChanged, this, [this] { updateBar(); });
        setTabBarItem(root->tabBarItem());
    }
    layoutChildren();
}

NavigationController::~NavigationController() {
    // Screens go top first, each cancelling what it started.
    for (qsizetype i = stack_.size() - 1; i >= 0; --i) {
        if (stack_[i]) {
            stack_[i]->shutDown();
            delete stack_[i].data();
        }
    }
}

QList<ViewController*> NavigationController::viewControllers() const {
    QList<ViewController*> result;
    for (const auto& c : stack_) {
        if (c)
            result.append(c.data());
    }
    return result;
}

ViewController* NavigationController::topViewController() const {
    for (qsizetype i = stack_.size() - 1; i >= 0; --i) {
        if (stack_[i])
            return stack_[i].data();
    }
    return nullptr;
}

ViewController* NavigationController::rootViewController() const {
    return stack_.isEmpty() ? nullptr : stack_.first().data();
}

QRect NavigationController::contentRect() const {
    int top = 0;
    if (!barHidden_ && !translucent_)
        top = kBarHeight;
    int bottom = height();
    if (!toolbarHidden_ && !toolbarTranslucent_)
        bottom -= kBarHeight;
    return QRect(0, top, width(), std::max(0, bottom - top));
}

void NavigationController::pushViewController(ViewController* controller, bool animated) {
    if (!controller || stack_.contains(controller))
        return;
    ViewController* previous = topViewController();
    controller->setParent(this);
    controller->setNavigationControllerInternal(this);
    controller->loadViewIfNeeded();
    stack_.append(controller);
    connect(controller, &ViewController::navigationItemChanged, this, [this] { updateBar(); });
    const QRect frame = contentRect();
    const bool onScreen = isAppearing();
    controller->setGeometry(frame.translated(animated ? width() : 0, 0));
    if (onScreen) {
        if (previous)
            previous->beginDisappearance(animated);
        controller->beginAppearance(animated);
    }
    controller->show();
    controller->raise();
    bar_->raise();
    toolbar_->raise();
    updateBar();
    notifyStackChanged();
    layoutChildren();
    controller->setGeometry(contentRect().translated(animated ? width() : 0, 0));
    QPointer<ViewController> prev(previous);
    QPointer<ViewController> next(controller);
    if (previous && animated)
        Animation::animate(previous, "pos", QPoint(-width() / 3, previous->y()), kSlideMs);
    Animation::animate(controller, "pos", contentRect().topLeft(), animated ? kSlideMs : 0,
                       [prev, next, animated, onScreen, this] {
                           if (prev && next && topViewController() != prev.data()) {
                               prev->hide();
                               if (onScreen)
                                   prev->endDisappearance(animated);
                           }
                           if (next && onScreen && topViewController() == next.data())
                               next->endAppearance(animated);
                       });
}

ViewController* NavigationController::popViewController(bool animated) {
    if (stack_.size() < 2)
        return nullptr;
    ViewController* top = topViewController();
    popAbove(int(stack_.size()) - 2, animated);
    return top;
}

void NavigationController::popToViewController(ViewController* controller, bool animated) {
    const int index = int(stack_.indexOf(controller));
    if (index < 0)
        return;
    popAbove(index, animated);
}

bool NavigationController::popToFirst(const std::function<bool(ViewController*)>& test,
                                      bool animated) {
    for (int i = 0; i < stack_.size(); ++i) {
        if (stack_[i] && test(stack_[i].data())) {
            popAbove(i, animated);
            return true;
        }
    }
    return false;
}

void NavigationController::popToRootViewController(bool animated) {
    popAbove(0, animated);
}

void NavigationController::popAbove(int index, bool animated) {
    if (index < 0 || index >= stack_.size() - 1)
        return;
    const bool onScreen = isAppearing();
    ViewController* leaving = topViewController();
    ViewController* next = stack_[index].data();
    // Screens between the target and the top leave at once, without a transition.
    while (stack_.size() > index + 2) {
        QPointer<ViewController> c = stack_.takeAt(index + 1);
        if (c) {
            c->shutDown();
            c->hide();
            c->deleteLater();
        }
    }
    stack_.removeLast();
    if (leaving) {
        disconnect(leaving, nullptr, this, nullptr);
        leaving->shutDown();
        leaving->setEnabled(false);
    }
    if (onScreen) {
        if (leaving)
            leaving->beginDisappearance(animated);
        if (next)
            next->beginAppearance(animated);
    }
    updateBar();
    notifyStackChanged();
    layoutChildren();
    if (next) {
        next->setGeometry(contentRect().translated(animated ? -width() / 3 : 0, 0));
        next->show();
        if (leaving)
            leaving->raise();
        bar_->raise();
        toolbar_->raise();
        Animation::animate(next, "pos", contentRect().topLeft(), animated ? kSlideMs : 0);
    }
    QPointer<ViewController> back(next);
    if (!leaving)
        return;
    Animation::animate(leaving, "pos", QPoint(width(), leaving->y()), animated ? kSlideMs : 0,
                       [leaving, back, animated, onScreen] {
                           leaving->hide();
                           if (onScreen)
                               leaving->endDisappearance(animated);
                           leaving->deleteLater();
                           if (back && onScreen)
                               back->endAppearance(animated);
                       });
}

void NavigationController::setNavigationBarHidden(bool hidden, bool animated) {
    if (hidden == barHidden_ && bar_->isHidden() == hidden)
        return;
    barHidden_ = hidden;
    if (!hidden) {
        bar_->show();
        bar_->raise();
    }
    const QPoint target(0, hidden ? -kBarHeight : 0);
    if (!hidden && animated && bar_->y() >= 0)
        bar_->move(0, -kBarHeight);
    QPointer<NavigationBar> bar(bar_);
    Animation::animate(bar_, "pos", target, animated ? kBarMs : 0, [this, bar] {
        if (bar && barHidden_)
            bar->hide();
    });
    if (auto* top = topViewController())
        top->setGeometry(contentRect());
}

void NavigationController::setNavigationBarBackgroundImage(const QString& imageName) {
    bar_->setBackgroundImageNamed(imageName);
}

QString NavigationController::navigationBarBackgroundImage() const {
    return bar_->backgroundImageName();
}

void NavigationController::setNavigationBarTranslucent(bool translucent) {
    translucent_ = translucent;
    if (auto* top = topViewController())
        top->setGeometry(contentRect());
}

void NavigationController::setToolbarHidden(bool hidden, bool animated) {
    if (hidden == toolbarHidden_ && toolbar_->isHidden() == hidden)
        return;
    toolbarHidden_ = hidden;
    const int shownY = height() - kBarHeight;
    if (!hidden) {
        if (!toolbar_->isVisible())
            toolbar_->setGeometry(0, animated ? height() : shownY, width(), kBarHeight);
        toolbar_->show();
        toolbar_->raise();
    }
    QPointer<ToolBar> bar(toolbar_);
    Animation::animate(toolbar_, "pos", QPoint(0, hidden ? height() : shownY),
                       animated ? kBarMs : 0, [this, bar] {
                           if (bar && toolbarHidden_)
                               bar->hide();
                       });
    if (auto* top = topViewController())
        top->setGeometry(contentRect());
}

void NavigationController::setToolbarBackgroundImage(const QString& imageName) {
    toolbar_->setBackgroundImageNamed(imageName);
}

void NavigationController::setToolbarTranslucent(bool translucent) {
    toolbarTranslucent_ = translucent;
    if (auto* top = topViewController())
        top->setGeometry(contentRect());
}

QWidget* NavigationController::toolbar() const {
    return toolbar_;
}

bool NavigationController::wantsBottomBarHidden() const {
    for (int i = 1; i < stack_.size(); ++i) {
        if (stack_[i] && stack_[i]->hidesBottomBarWhenPushed())
            return true;
    }
    return false;
}

void NavigationController::resizeEvent(QResizeEvent*) {
    layoutChildren();
}

void NavigationController::layoutChildren() {
    bar_->setGeometry(0, barHidden_ ? -kBarHeight : 0, width(), kBarHeight);
    bar_->setVisible(!barHidden_);
    toolbar_->setGeometry(0, toolbarHidden_ ? height() : height() - kBarHeight, width(),
                          kBarHeight);
    toolbar_->setVisible(!toolbarHidden_);
    if (auto* top = topViewController())
        top->setGeometry(contentRect());
    bar_->raise();
    toolbar_->raise();
}

void NavigationController::updateBar() {
    ViewController* top = topViewController();
    bar_->showItemsOf(top, stack_.size() > 1, [this] { popViewController(true); });
}

void NavigationController::notifyStackChanged() {
    if (auto* tabs = tabBarController())
        tabs->childStackChanged();
}

void NavigationController::viewWillAppear(bool animated) {
    if (auto* top = topViewController()) {
        top->setGeometry(contentRect());
        top->show();
        top->beginAppearance(animated);
    }
    updateBar();
}

void NavigationController::viewDidAppear(bool animated) {
    if (auto* top = topViewController())
        top->endAppearance(animated);
}

void NavigationController::viewWillDisappear(bool animated) {
    if (auto* top = topViewController())
        top->beginDisappearance(animated);
}

void NavigationController::viewDidDisappear(bool animated) {
    if (auto* top = topViewController())
        top->endDisappearance(animated);
}
